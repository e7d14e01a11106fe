// Screen list, menu enabling, key handling and the order of closing.
#include "main_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ScreenMenuTest, EachScreenEnablesItsOwnCommands)
{
    const struct {
        int nScreen;
        SScreenMenu menu;
    } cases[] = {
        {SCREEN_SUPPORT, {false, false, false, false, false}},
        {SCREEN_CONTROL, {false, true, true, false, false}},
        {SCREEN_LOGO, {false, true, false, true, false}},
        {SCREEN_CURSOR, {true, true, false, false, true}},
        {-1, {false, false, false, false, false}}, // no selection: nothing to act on
        {SCREEN_COUNT, {false, false, false, false, false}},
    };
    for (const auto& c : cases) {
        SScreenMenu m = GetScreenMenu(c.nScreen);
        SCOPED_TRACE(c.nScreen);
        EXPECT_EQ(c.menu.bNew, m.bNew);
        EXPECT_EQ(c.menu.bFile, m.bFile);
        EXPECT_EQ(c.menu.bTestPattern, m.bTestPattern);
        EXPECT_EQ(c.menu.bSendLogo, m.bSendLogo);
        EXPECT_EQ(c.menu.bSendCursor, m.bSendCursor);
    }
}

TEST(ScreenListTest, RebuildKeepsWhatIsStillOffered)
{
    const struct {
        int nSelected;
        bool bOpen;
        bool bStack;
        int nCount;
        int nNewSelected;
    } cases[] = {
        {0, false, false, 1, 0}, {3, false, false, 1, 0}, // closed link: back to Presentation Support
        {1, false, true, 1, 0},  {0, true, false, 4, 0},  {1, true, false, 4, 1}, {3, true, false, 4, 3},
        {1, true, true, 2, 1},   {2, true, true, 2, 0},   // a stack offers no logo or cursor screen
        {3, true, true, 2, 0},   {-1, true, false, 4, 0}, // nothing selected
        {9, true, false, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nSelected << " open=" << c.bOpen << " stack=" << c.bStack);
        SScreenList list = RebuildScreenList(c.nSelected, c.bOpen, c.bStack);
        EXPECT_EQ(c.nCount, list.nCount);
        EXPECT_EQ(c.nNewSelected, list.nSelected);
    }
}

TEST(KeyTest, EnterAndEscapeNeverCloseAndTabCrossesIntoTheScreen)
{
    const struct {
        unsigned int vk;
        bool bShift, bFirst, bLast;
        EKeyAction action;
    } cases[] = {
        {kVkReturn, false, false, false, KEY_SWALLOW},
        {kVkEscape, false, false, false, KEY_SWALLOW},
        {kVkEscape, true, true, true, KEY_SWALLOW},
        {kVkTab, false, false, true, KEY_FOCUS_SCREEN_FIRST},
        {kVkTab, true, true, false, KEY_FOCUS_SCREEN_LAST},
        {kVkTab, false, true, false, KEY_DEFAULT},
        {kVkTab, true, false, true, KEY_DEFAULT},
        {kVkTab, false, false, false, KEY_DEFAULT},
        {'A', false, true, true, KEY_DEFAULT},
        {0x20, false, false, false, KEY_DEFAULT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.action, ClassifyKeyDown(c.vk, c.bShift, c.bFirst, c.bLast))
            << c.vk << " shift=" << c.bShift << " first=" << c.bFirst << " last=" << c.bLast;
}

class CRecordingSteps : public ICloseSteps {
public:
    ESaveAnswer m_LogoAnswer = SAVE_NO;
    ESaveAnswer m_CursorAnswer = SAVE_NO;
    bool m_bLogoSaves = true, m_bCursorSaves = true;
    std::vector<std::string> m_Calls;

    ESaveAnswer AskSaveLogo() override
    {
        m_Calls.push_back("ask logo");
        return m_LogoAnswer;
    }
    bool SaveLogo() override
    {
        m_Calls.push_back("save logo");
        return m_bLogoSaves;
    }
    ESaveAnswer AskSaveCursorSet() override
    {
        m_Calls.push_back("ask cursor");
        return m_CursorAnswer;
    }
    bool SaveCursorSet() override
    {
        m_Calls.push_back("save cursor");
        return m_bCursorSaves;
    }
    void EndEffect() override { m_Calls.push_back("end effect"); }
    void ReleasePcLinkMode() override { m_Calls.push_back("link mode 0"); }
    void CloseLink() override { m_Calls.push_back("close link"); }
    void DestroyScreens() override { m_Calls.push_back("destroy screens"); }
    void ReleaseIconsAndHook() override { m_Calls.push_back("icons and hook"); }
    void SaveFileSettings() override { m_Calls.push_back("save files"); }
};

using Calls = std::vector<std::string>;

TEST(CloseSequenceTest, AnswersDecideHowFarItGoes)
{
    const Calls tail = {"end effect", "link mode 0", "close link", "destroy screens", "icons and hook", "save files"};
    auto with = [](Calls head, const Calls& rest) {
        head.insert(head.end(), rest.begin(), rest.end());
        return head;
    };
    const struct {
        ESaveAnswer logo, cursor;
        bool bLogoSaves, bCursorSaves;
        bool bClosed;
        Calls calls;
    } cases[] = {
        {SAVE_NO, SAVE_NO, true, true, true, with({"ask logo", "ask cursor"}, tail)},
        {SAVE_YES, SAVE_YES, true, true, true, with({"ask logo", "save logo", "ask cursor", "save cursor"}, tail)},
        // Cancel keeps the projector in PC link mode and the port open.
        {SAVE_CANCEL, SAVE_YES, true, true, false, {"ask logo"}},
        {SAVE_YES, SAVE_CANCEL, true, true, false, {"ask logo", "save logo", "ask cursor"}},
        // A Yes whose save did not happen (Save As cancelled, write failed) stops like Cancel.
        {SAVE_YES, SAVE_YES, false, true, false, {"ask logo", "save logo"}},
        {SAVE_NO, SAVE_YES, true, false, false, {"ask logo", "ask cursor", "save cursor"}},
        // Only a Yes saves: a failing save that is not asked for stops nothing.
        {SAVE_NO, SAVE_NO, false, false, true, with({"ask logo", "ask cursor"}, tail)},
    };
    for (const auto& c : cases) {
        CRecordingSteps steps;
        steps.m_LogoAnswer = c.logo;
        steps.m_CursorAnswer = c.cursor;
        steps.m_bLogoSaves = c.bLogoSaves;
        steps.m_bCursorSaves = c.bCursorSaves;
        EXPECT_EQ(c.bClosed, RunCloseSequence(steps));
        EXPECT_EQ(c.calls, steps.m_Calls);
    }
}

TEST(CloseSequenceTest, EndOfSessionAsksFirstAndClosesWithoutAsking)
{
    CRecordingSteps steps;
    steps.m_LogoAnswer = SAVE_YES;
    EXPECT_TRUE(RunSaveQuestions(steps));
    EXPECT_EQ((Calls{"ask logo", "save logo", "ask cursor"}), steps.m_Calls);

    steps.m_Calls.clear();
    RunClosingSteps(steps);
    EXPECT_EQ((Calls{"end effect", "link mode 0", "close link", "destroy screens", "icons and hook", "save files"}),
              steps.m_Calls);

    CRecordingSteps cancelled;
    cancelled.m_CursorAnswer = SAVE_CANCEL;
    EXPECT_FALSE(RunSaveQuestions(cancelled));

    // The end of the session is refused when a Yes could not save.
    CRecordingSteps unsaved;
    unsaved.m_CursorAnswer = SAVE_YES;
    unsaved.m_bCursorSaves = false;
    EXPECT_FALSE(RunSaveQuestions(unsaved));
}

TEST(SaveQuestionTest, NewAndOpenGoOnOnlyWhenNothingIsLost)
{
    const struct {
        ESaveAnswer answer;
        bool bSaves;
        bool bGoesOn, bSaveTried;
    } cases[] = {
        {SAVE_NO, false, true, false},
        {SAVE_YES, true, true, true},
        {SAVE_YES, false, false, true},
        {SAVE_CANCEL, true, false, false},
    };
    for (const auto& c : cases) {
        bool saved = false;
        EXPECT_EQ(c.bGoesOn, MayGoOnAfterSaveQuestion(c.answer,
                                                      [&] {
                                                          saved = true;
                                                          return c.bSaves;
                                                      }))
            << c.answer << " " << c.bSaves;
        EXPECT_EQ(c.bSaveTried, saved) << c.answer << " " << c.bSaves;
    }
}

} // namespace

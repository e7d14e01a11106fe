// The adjustment pages' choices, preset registration, the SRS pair and the Video enabling.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "page_rules.h"

namespace {

// A projector behind the page: commands are recorded; a registration takes effect in the
// projector, and the page sees it only after the preset table was queried again.
struct CFakeModel : IPageModel {
    bool SendItem(uint16_t item, int32_t value, unsigned int width) override
    {
        sent.push_back({item, value});
        if (refuse.count(item))
            return false;
        if (item == 0x030F && !registrationIgnored)
            inProjector.insert(static_cast<unsigned int>(value));
        held[item] = value;
        return true;
    }
    bool QueryItem(uint16_t item) override
    {
        queried.push_back(item);
        if (item == 0x0311)
            registered = inProjector;
        return true;
    }
    // The table follows the answers: the last value the projector took.
    int32_t ItemValue(uint16_t item) const override { return held.count(item) ? held.at(item) : 0; }
    bool IsItemLocked(uint16_t item) const override { return locked.count(item) != 0; }
    bool IsPresetRegistered(unsigned int n) const override { return registered.count(n) != 0; }
    bool SendGammaParameters(unsigned int g) override
    {
        gamma.push_back(g);
        return gammaFails.count(g) == 0;
    }
    void Registered(std::set<unsigned int> presets) { registered = inProjector = std::move(presets); }

    std::vector<std::pair<uint16_t, int32_t>> sent;
    std::vector<uint16_t> queried;
    std::vector<unsigned int> gamma;
    std::set<uint16_t> refuse;
    std::set<uint16_t> locked;
    std::set<unsigned int> registered, inProjector;
    std::set<unsigned int> gammaFails; // radio indices whose parameters are not taken
    std::map<uint16_t, int32_t> held;
    bool registrationIgnored = false;
};

struct CAnswers : IPresetQuestions {
    bool AskRegister(unsigned int n) override
    {
        asked.push_back("register " + std::to_string(n));
        return yes;
    }
    bool AskOverwrite(unsigned int n) override
    {
        asked.push_back("overwrite " + std::to_string(n));
        return yes;
    }
    bool yes = true;
    std::vector<std::string> asked;
};

using Sent = std::vector<std::pair<uint16_t, int32_t>>;

TEST(Choices, EveryButtonMapsToItsValueAndBack)
{
    struct Case {
        uint16_t item;
        unsigned int control;
        int32_t value;
    };
    const Case cases[] = {
        {0x0604, 1085, 0}, {0x0604, 1086, 1}, {0x0604, 1087, 2},                    // A/V Mute
        {0x0608, 1101, 2}, {0x0608, 1102, 0}, {0x0608, 1103, 1},                    // Gamma
        {0x0609, 1083, 0}, {0x0609, 1084, 1},                                       // BNC
        {0x0611, 1079, 0}, {0x0611, 1081, 1}, {0x0611, 1082, 2}, {0x0611, 1080, 3}, // Message
        {0x0708, 1075, 0}, {0x0708, 1076, 1},                                       // P in P
        {0x0010, 1096, 2}, {0x0010, 1097, 1}, {0x0010, 1098, 0},                    // Cursor Speed
        {0x050A, 1089, 0}, {0x050A, 1090, 1},                                       // Color Setting
    };
    for (const Case& c : cases) {
        const SChoiceItem* choice = ChoiceItemOfControl(c.control);
        ASSERT_NE(choice, nullptr) << c.control;
        EXPECT_EQ(choice->wItem, c.item) << c.control;
        EXPECT_EQ(choice, FindChoiceItem(c.item));
        int32_t value = -99;
        ASSERT_TRUE(ChoiceValue(*choice, c.control, true, value));
        EXPECT_EQ(value, c.value) << c.control;
        EXPECT_EQ(ChoiceControl(*choice, c.value), c.control) << c.item << " = " << c.value;
    }
    // Values no button stands for select nothing.
    EXPECT_EQ(ChoiceControl(*FindChoiceItem(0x0611), 4), 0u);
    EXPECT_EQ(ChoiceControl(*FindChoiceItem(0x0608), -1), 0u);
    EXPECT_EQ(ChoiceItemOfControl(1118), nullptr) << "a slider is no choice";
}

TEST(Choices, CheckBoxesSendTheirState)
{
    const std::pair<uint16_t, unsigned int> boxes[] = {
        {0x0603, 1133}, {0x0612, 1077}, {0x0610, 1094}, {0x0502, 1095}, {0x0503, 1078}};
    for (const auto& box : boxes) {
        const SChoiceItem* choice = ChoiceItemOfControl(box.second);
        ASSERT_NE(choice, nullptr);
        EXPECT_EQ(choice->wItem, box.first);
        EXPECT_TRUE(choice->bCheckBox);
        int32_t value = -1;
        ChoiceValue(*choice, box.second, true, value);
        EXPECT_EQ(value, 1);
        ChoiceValue(*choice, box.second, false, value);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(ChoiceControl(*choice, 2), 0u) << "2 is out of a check box's range";
    }
}

TEST(Choices, OneCommandPerChangeAndTheOldChoiceOnFailure)
{
    const SChoiceItem& message = *FindChoiceItem(0x0611);
    CFakeModel model;
    EXPECT_EQ(ChooseValue(message, 2, 2, model), 2);
    EXPECT_TRUE(model.sent.empty()) << "the stored choice again sends nothing";

    EXPECT_EQ(ChooseValue(message, 2, 3, model), 3);
    EXPECT_EQ(model.sent, (Sent{{0x0611, 3}}));

    model.refuse.insert(0x0611);
    EXPECT_EQ(ChooseValue(message, 3, 0, model), 3) << "refused: back to the old choice";
    EXPECT_TRUE(model.gamma.empty());
}

TEST(Choices, GammaSendsItsParametersAndUndoesTheChoiceWhenOneFails)
{
    const SChoiceItem& gamma = *FindChoiceItem(0x0608);
    struct Case {
        unsigned int control;
        unsigned int g;
        int32_t sent;
    };
    for (const Case& c : {Case{1101, 0, 2}, Case{1102, 1, 0}, Case{1103, 2, 1}}) {
        CFakeModel model;
        int32_t chosen;
        ChoiceValue(gamma, c.control, true, chosen);
        int32_t stored = c.sent == 2 ? 0 : 2;
        EXPECT_EQ(ChooseValue(gamma, stored, chosen, model), c.sent);
        EXPECT_EQ(model.sent, (Sent{{0x0608, c.sent}}));
        EXPECT_EQ(model.gamma, std::vector<unsigned int>{c.g}) << "the table row is the radio index";

        CFakeModel refused;
        refused.refuse.insert(0x0608);
        EXPECT_EQ(ChooseValue(gamma, stored, chosen, refused), stored);
        EXPECT_TRUE(refused.gamma.empty()) << "no parameters after a refused choice";
    }
    EXPECT_EQ(GammaIndexOfValue(3), -1);
}

TEST(Choices, GammaParametersNotTakenLeaveThePageOnWhatTheProjectorHolds)
{
    const SChoiceItem& gamma = *FindChoiceItem(0x0608);
    // Gamma2 (value 0, index 1) was chosen and Gamma1 (value 2, index 0) is asked for; the
    // projector takes 0x0608 but not every parameter of the rows listed as failing.
    struct Case {
        const char* name;
        int32_t stored;
        std::set<unsigned int> fails;
        int32_t shown;
        Sent sent;
        std::vector<unsigned int> rows;
    } cases[] = {
        {"old choice restored", 0, {0}, 0, {{0x0608, 2}, {0x0608, 0}}, {0, 1}},
        {"old parameters refused too", 0, {0, 1}, 0, {{0x0608, 2}, {0x0608, 0}}, {0, 1}},
        {"no old choice to restore", 7, {0}, 2, {{0x0608, 2}}, {0}},
    };
    for (const Case& c : cases) {
        CFakeModel model;
        model.gammaFails = c.fails;
        int32_t shown = ChooseValue(gamma, c.stored, 2, model);
        EXPECT_EQ(shown, c.shown) << c.name;
        EXPECT_EQ(shown, model.ItemValue(0x0608)) << c.name << ": the page shows what the projector holds";
        EXPECT_EQ(model.sent, c.sent) << c.name;
        EXPECT_EQ(model.gamma, c.rows) << c.name;
    }
}

TEST(Resolution, SignalsAndRegisteredPresetsAreSentAsTheirValues)
{
    CFakeModel model;
    CAnswers answers;
    model.Registered({2});
    EXPECT_EQ(ChooseResolution(5, 0, model, answers), 5);
    EXPECT_EQ(ChooseResolution(0, 5, model, answers), 0);
    EXPECT_EQ(ChooseResolution(35, 0, model, answers), 35);
    EXPECT_EQ(model.sent, (Sent{{0x030E, 5}, {0x030E, 0}, {0x030E, 130}}));
    EXPECT_TRUE(answers.asked.empty());

    model.refuse.insert(0x030E);
    EXPECT_EQ(ChooseResolution(7, 35, model, answers), 35) << "refused: the previous entry again";
    EXPECT_EQ(ChooseResolution(38, 35, model, answers), 35) << "past the list";
}

TEST(Resolution, AnUnregisteredPresetIsRegisteredFirstWhenTheUserAgrees)
{
    struct Case {
        const char* name;
        bool yes;
        bool refuseRegistration;
        bool registrationIgnored;
        int shown;
        Sent sent;
        std::vector<uint16_t> queried;
    };
    const Case cases[] = {
        {"No", false, false, false, 4, {}, {}},
        {"Yes", true, false, false, 34, {{0x030F, 1}, {0x030E, 129}}, {0x0311}},
        {"Yes, registration refused", true, true, false, 4, {{0x030F, 1}}, {}},
        {"Yes, still empty after it", true, false, true, 4, {{0x030F, 1}}, {0x0311}},
    };
    for (const Case& c : cases) {
        CFakeModel model;
        CAnswers answers;
        answers.yes = c.yes;
        model.registrationIgnored = c.registrationIgnored;
        if (c.refuseRegistration)
            model.refuse.insert(0x030F);
        EXPECT_EQ(ChooseResolution(34, 4, model, answers), c.shown) << c.name;
        EXPECT_EQ(answers.asked, std::vector<std::string>{"register 1"}) << c.name;
        EXPECT_EQ(model.sent, c.sent) << c.name;
        EXPECT_EQ(model.queried, c.queried) << c.name;
    }
}

TEST(Presets, RegisteringAsksOnlyBeforeOverwriting)
{
    CFakeModel model;
    CAnswers answers;
    EXPECT_TRUE(RegisterPreset(0, model, answers));
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(model.sent, (Sent{{0x030F, 0}}));
    EXPECT_EQ(model.queried, std::vector<uint16_t>{0x0311}) << "the records are read again";

    answers.yes = false;
    EXPECT_FALSE(RegisterPreset(0, model, answers));
    EXPECT_EQ(answers.asked, std::vector<std::string>{"overwrite 0"});
    EXPECT_EQ(model.sent.size(), 1u) << "No sends nothing";

    answers.yes = true;
    model.refuse.insert(0x030F);
    EXPECT_FALSE(RegisterPreset(0, model, answers));
    EXPECT_EQ(model.queried.size(), 1u) << "a refused registration is not followed by a query";
    EXPECT_FALSE(RegisterPreset(5, model, answers)) << "there are five presets";
}

TEST(Presets, QuestionTextsNumberFromOne)
{
    EXPECT_EQ(PresetQuestionText("Preset%d will be overwritten, OK?", 2), "Preset3 will be overwritten, OK?");
    EXPECT_EQ(PresetQuestionText("Preset%d is not registered yet. Do you save the present setting in the preset%d?", 1),
              "Preset2 is not registered yet. Do you save the present setting in the preset2?");
    EXPECT_EQ(PresetQuestionText("100%", 0), "100%");
}

TEST(SrsPair, CenterFollowsSpaceAndKeepsItsValue)
{
    CSrsPair pair;
    CSrsPair::SCenter c = pair.OnSpace(3, false);
    c = pair.OnCenter(4, false);
    EXPECT_EQ(c.nShown, 4);
    EXPECT_TRUE(c.bEnabled);

    c = pair.OnSpace(0, false);
    EXPECT_EQ(c.nShown, 0) << "OFF";
    EXPECT_FALSE(c.bEnabled);
    EXPECT_EQ(pair.Kept(), 4);

    c = pair.OnCenter(5, false);
    EXPECT_EQ(c.nShown, 0) << "a reported CENTER waits behind SPACE 0";
    c = pair.OnSpace(2, false);
    EXPECT_EQ(c.nShown, 5);
    EXPECT_TRUE(c.bEnabled);

    c = pair.OnSpace(2, true);
    EXPECT_FALSE(c.bEnabled) << "a locked CENTER stays disabled";
}

TEST(VideoEnabling, SignalLocksInputOtherAndTint)
{
    struct Case {
        uint16_t item;
        SVideoState state;
        bool locked;
        bool enabled;
    };
    const SVideoState computer{true, 16, false};
    const SVideoState other{true, 64, false};
    const SVideoState noSignal{false, 16, true};
    const SVideoState video{true, 33, true};
    const Case cases[] = {
        {0x0300, computer, false, true},
        {0x0300, computer, true, false},
        {0x0300, noSignal, false, false},
        {0x0303, computer, false, true},
        {0x0303, other, false, false},
        {0x0302, other, false, false},
        {0x030E, other, false, false},
        {0x030F, other, false, false},
        {0x030F, computer, false, true},
        {0x0300, other, false, true},
        {0x030D, other, false, true},
        {0x0500, other, false, true},
        {0x0501, noSignal, false, false},
        {0x0404, video, false, true},
        {0x0404, {true, 33, false}, false, false},
        {0x0404, video, true, false},
        {0x0403, {true, 33, false}, false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsVideoControlEnabled(c.item, c.state, c.locked), c.enabled)
            << std::hex << c.item << " input " << std::dec << c.state.nInputCode << " signal " << c.state.bSignalValid
            << " locked " << c.locked;
}

TEST(LockMarks, AMarkShowsForAnyOfItsItemsUnlessTheWholePageIsLocked)
{
    using Marks = std::vector<unsigned int>;
    CFakeModel model;
    EXPECT_EQ(ShownLockMarks(PAGE_VIDEO_COMPUTER, false, model), Marks{});
    model.locked = {0x0307};
    EXPECT_EQ(ShownLockMarks(PAGE_VIDEO_COMPUTER, false, model), Marks{1256}) << "G locked: the RGB mark";
    model.locked = {0x0501, 0x0302};
    EXPECT_EQ(ShownLockMarks(PAGE_VIDEO_COMPUTER, false, model), (Marks{1248, 1252})) << "either position item";
    EXPECT_EQ(ShownLockMarks(PAGE_VIDEO_COMPUTER, true, model), Marks{}) << "the page lock icon instead";
    EXPECT_EQ(ShownLockMarks(PAGE_VIDEO_VIDEO, false, model), Marks{1248}) << "Sync. is not on the video page";
    model.locked = {0x0509};
    EXPECT_EQ(ShownLockMarks(PAGE_ADVANCED, false, model), Marks{1242}) << "White Level under Color Setting";
    model.locked = {0x0209, 0x0604};
    EXPECT_EQ(ShownLockMarks(PAGE_AUDIO, false, model), Marks{1270});
    EXPECT_EQ(ShownLockMarks(PAGE_SETTING, false, model), Marks{1264});
    EXPECT_EQ(ShownLockMarks(PAGE_GAMMA, false, model), Marks{}) << "the Gamma page has its lock icon only";
}

TEST(PageRules, ColorLevelsAndProjectionPicture)
{
    EXPECT_TRUE(IsColorLevelEnabled(1, false));
    EXPECT_FALSE(IsColorLevelEnabled(0, false));
    EXPECT_FALSE(IsColorLevelEnabled(1, true));
    EXPECT_EQ(ProjectionBitmap(0, 0), 228u);
    EXPECT_EQ(ProjectionBitmap(1, 0), 229u);
    EXPECT_EQ(ProjectionBitmap(0, 1), 230u);
    EXPECT_EQ(ProjectionBitmap(1, 1), 231u);
}

} // namespace

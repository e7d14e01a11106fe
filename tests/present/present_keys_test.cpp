// Key texts: keyboard kinds, key-name tables, the capture field, shortcut parsing and the
// conversion of key events through the key-text converter.
#include "effects.h"
#include "input_gate.h"
#include "key_capture.h"
#include "key_names.h"
#include "key_texts.h"

#include "core/key_converter.h"
#include "core/key_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int UsScan(char c)
{
    return tapline::CUsKeyLayout().KeyScan(c);
}

int Convert(const char* text, int* codes, int* count)
{
    static const tapline::CUsKeyLayout layout;
    int written = 0;
    int result = tapline::ConvertKeyText(text, codes, *count, written, layout);
    *count = written;
    return result;
}

std::vector<int> ToVector(const KeyCodeArray& a)
{
    return std::vector<int>(a.nCodes, a.nCodes + a.nCount);
}

TEST(KeyboardKindTest, TypeSubTypeAndLanguageDecide)
{
    struct SCase {
        int nType, nSubType;
        const char* pszLanguage;
        int nKind;
    } cases[] = {
        {7, 0x0400, "jpn", 1},      {7, 0x0D00, "enu", 1}, {7, 0x0002, "jpn", 0},
        {7, 0x0500, "jpn", 0},      {4, 1, "fra", 2},      {4, 0, "FRB", 3},
        {4, 0, "french-swiss", 3},  {4, 0, "Swiss", 4},    {4, 0, "deu", 4},
        {4, 0, "italian-swiss", 5}, {4, 0, "ita", 5},      {4, 0, "plk", 6},
        {4, 0, "ptb", 6},           {4, 0, "esm", 7},      {4, 0, "spanish", 7},
        {4, 0, "jpn", 2},           {4, 0, "enu", 2},      {4, 0, "", 2},
        {4, 0, "frenc", 2},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.nKind, KeyboardKind(c.nType, c.nSubType, c.pszLanguage))
            << c.nType << " " << c.nSubType << " " << c.pszLanguage;
}

TEST(KeyNameTableTest, SpotRowsOfEachKind)
{
    struct SRow {
        int nKind, nCode;
        const char* pszName; // null: not in the table
    } rows[] = {
        {0, 8, "Back space"},
        {0, 117, "F6 "},
        {0, 108, " "},
        {0, 222, "^"},
        {0, 226, "\\"},
        {0, 192, "@"},
        {0, 146, nullptr},
        {1, 33, "ROLL DOWN"},
        {1, 18, "GRAPH"},
        {1, 112,
         "f\xA5"
         "1"},
        {1, 121,
         "f\xA5"
         "10"},
        {1, 126,
         "vf\xA5"
         "5"},
        {1, 146, "Num ="},
        {1, 186, ":"},
        {1, 105, "Num 9"},
        {2, 33, "Page Up"},
        {2, 222, "'"},
        {2, 192, "`"},
        {2, 187, "="},
        {2, 226, nullptr},
        {2, 124, nullptr},
        {3, 192, "\xF9\xA0"},
        {3, 223, "!"},
        {3, 216, ")"},
        {4, 219, "\xDF"},
        {4, 221, "\xB4"},
        {4, 186, "\xFC\xA0"},
        {4, 222, "\xE4\xA0"},
        {4, 191, "#"},
        {5, 221, "\xEC\xA0"},
        {5, 191, "\xF9\xA0"},
        {5, 222, "\xE0\xA0"},
        {6, 222, "'"},
        {6, 220, "\\"},
        {6, 192, nullptr},
        {7, 221, "\xBF"},
        {7, 192, "\xF1\xA0"},
        {7, 222, "{"},
        {7, 191, "}"},
        {9, 192, "`"}, // unknown kinds read like kind 2
    };
    for (const SRow& r : rows) {
        const std::string* name = FindKeyName(KeyNameTable(r.nKind), r.nCode);
        if (!r.pszName) {
            EXPECT_EQ(nullptr, name) << "kind " << r.nKind << " code " << r.nCode;
        } else {
            ASSERT_NE(nullptr, name) << "kind " << r.nKind << " code " << r.nCode;
            EXPECT_EQ(r.pszName, *name) << "kind " << r.nKind << " code " << r.nCode;
        }
    }
    EXPECT_EQ(58u, KeyNameTable(0).size());
    EXPECT_EQ(57u, KeyNameTable(2).size());
    EXPECT_EQ(56u, KeyNameTable(3).size());
}

// One key event of a capture field and what the field shows after it.
struct SStep {
    enum EKind { DOWN, UP, FOCUS_LOST, CLICK } kind;
    int nCode;           // DOWN only
    const char* pszMods; // "c", "a", "s" held (after the event for UP)
    const char* pszText;
    bool bComplete;
};

struct SCaptureCase {
    const char* pszName;
    CKeyCapture::EMode mode;
    int nKind;
    const char* pszStart; // the complete text before the first step
    std::vector<SStep> steps;
};

SModifiers Mods(const char* m)
{
    SModifiers mods;
    for (const char* p = m; *p; ++p) {
        if (*p == 'c')
            mods.bCtrl = true;
        if (*p == 'a')
            mods.bAlt = true;
        if (*p == 's')
            mods.bShift = true;
    }
    return mods;
}

const SCaptureCase kCaptureCases[] = {
    {"Ctrl+Shift+P",
     CKeyCapture::CAPTURE_SHORTCUT,
     2,
     "",
     {{SStep::DOWN, 17, "c", "Ctrl + ", false},
      {SStep::DOWN, 16, "cs", "Ctrl + Shift + ", false},
      {SStep::DOWN, 'P', "cs", "Ctrl + Shift + P", true},
      {SStep::UP, 0, "c", "Ctrl + Shift + P", true}}},
    {"F6 alone keeps its blank", CKeyCapture::CAPTURE_SHORTCUT, 2, "Ctrl + A", {{SStep::DOWN, 117, "", "F6 ", true}}},
    {"Ctrl+F5 then release",
     CKeyCapture::CAPTURE_SHORTCUT,
     2,
     "Ctrl + A",
     {{SStep::DOWN, 17, "c", "Ctrl + ", false},
      {SStep::DOWN, 116, "c", "Ctrl + ", false},
      {SStep::UP, 0, "c", "Ctrl + ", false},
      {SStep::UP, 0, "", "Ctrl + A", true}}},
    {"Shift+A is refused",
     CKeyCapture::CAPTURE_SHORTCUT,
     2,
     "F3",
     {{SStep::DOWN, 16, "s", "", false}, {SStep::DOWN, 'A', "s", "F3", true}}},
    {"a plain letter is refused", CKeyCapture::CAPTURE_SHORTCUT, 2, "F3", {{SStep::DOWN, 'A', "", "F3", true}}},
    {"Backspace empties", CKeyCapture::CAPTURE_SHORTCUT, 2, "Ctrl + A", {{SStep::DOWN, 8, "", "", true}}},
    {"Delete empties", CKeyCapture::CAPTURE_SHORTCUT, 2, "Ctrl + A", {{SStep::DOWN, 46, "", "", true}}},
    {"F1 is not a shortcut", CKeyCapture::CAPTURE_SHORTCUT, 2, "F3", {{SStep::DOWN, 112, "", "F3", true}}},
    {"F13 has no name: unchanged",
     CKeyCapture::CAPTURE_SHORTCUT,
     2,
     "F3",
     {{SStep::DOWN, 17, "c", "Ctrl + ", false}, {SStep::UP, 0, "", "F3", true}, {SStep::DOWN, 124, "", "F3", true}}},
    {"Ctrl+G shows the last text",
     CKeyCapture::CAPTURE_SHORTCUT,
     2,
     "Alt + 1",
     {{SStep::DOWN, 17, "c", "Ctrl + ", false}, {SStep::DOWN, 'G', "c", "Alt + 1", true}}},
    {"Ctrl+Alt and a click",
     CKeyCapture::CAPTURE_SHORTCUT,
     2,
     "F4",
     {{SStep::DOWN, 18, "ca", "Ctrl + Alt + ", false}, {SStep::CLICK, 0, "", "F4", true}}},
    {"focus lost while incomplete",
     CKeyCapture::CAPTURE_SHORTCUT,
     2,
     "F4",
     {{SStep::DOWN, 17, "c", "Ctrl + ", false}, {SStep::FOCUS_LOST, 0, "", "F4", true}}},
    {"PC-98 Graph",
     CKeyCapture::CAPTURE_SHORTCUT,
     1,
     "",
     {{SStep::DOWN, 18, "a", "Graph + ", false}, {SStep::DOWN, '7', "a", "Graph + 7", true}}},
    {"key event Tab and Esc",
     CKeyCapture::CAPTURE_KEY_EVENT,
     2,
     "",
     {{SStep::DOWN, 9, "", "Tab", true}, {SStep::DOWN, 27, "", "Esc", true}}},
    {"key event Shift alone counts",
     CKeyCapture::CAPTURE_KEY_EVENT,
     2,
     "",
     {{SStep::DOWN, 16, "s", "Shift + ", false}, {SStep::DOWN, '1', "s", "Shift + 1", true}}},
    {"key event named keys",
     CKeyCapture::CAPTURE_KEY_EVENT,
     2,
     "",
     {{SStep::DOWN, 33, "", "Page Up", true},
      {SStep::DOWN, 115, "a", "Alt + F4", true},
      {SStep::DOWN, 'G', "c", "Ctrl + G", true},
      {SStep::DOWN, 190, "", ".", true}}},
    {"key event without a name",
     CKeyCapture::CAPTURE_KEY_EVENT,
     2,
     "Tab",
     {{SStep::DOWN, 226, "", "\xE2", true}, {SStep::DOWN, 144, "", "\xE2", true}}},
    {"PC-98 key event",
     CKeyCapture::CAPTURE_KEY_EVENT,
     1,
     "",
     {{SStep::DOWN, 33, "", "ROLL DOWN", true},
      {SStep::DOWN, 18, "a", "Graph + ", false},
      {SStep::UP, 0, "", "ROLL DOWN", true}}},
};

TEST(KeyCaptureTest, EventTables)
{
    for (const SCaptureCase& c : kCaptureCases) {
        SCOPED_TRACE(c.pszName);
        CKeyCapture capture(c.mode, c.nKind);
        capture.SetText(c.pszStart);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const SStep& s = c.steps[i];
            SCOPED_TRACE(i);
            bool completed = false;
            switch (s.kind) {
            case SStep::DOWN:
                completed = capture.OnKeyDown(s.nCode, Mods(s.pszMods));
                break;
            case SStep::UP:
                capture.OnKeyUp(Mods(s.pszMods));
                break;
            case SStep::FOCUS_LOST:
                capture.OnFocusLost();
                break;
            case SStep::CLICK:
                capture.OnLeftClick();
                break;
            }
            EXPECT_EQ(s.pszText, capture.GetText());
            EXPECT_EQ(s.bComplete, capture.IsComplete());
            if (s.kind == SStep::DOWN && completed)
                EXPECT_TRUE(s.bComplete);
        }
    }
}

TEST(ShortcutTextTest, ParsesBackIntoCodes)
{
    struct SCase {
        const char* pszText;
        std::vector<int> codes;
    } cases[] = {
        {"", {}},
        {"Ctrl + Shift + P", {17, 16, 80}},
        {"Ctrl + Alt + 5", {17, 18, 53}},
        {"Graph + 7", {18, 55}},
        {"F6 ", {117}},
        {"F12", {123}},
        {"Ctrl + Page Up", {17, 33}},
        {"f\xA5"
         "3",
         {114}},
        {"Ctrl + ;", {17, 186}},
        {"Alt + :", {18, 16, 186}}, // typed with Shift on this layout
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.codes, ToVector(ParseShortcutText(c.pszText, UsScan))) << c.pszText;
    EXPECT_EQ("F6 ", RestoreShortcutText("F6"));
    EXPECT_EQ("Ctrl + F6 ", RestoreShortcutText("Ctrl + F6"));
    EXPECT_EQ("F7", RestoreShortcutText("F7"));
    EXPECT_EQ("", RestoreShortcutText(""));
}

TEST(KeyEventTextTest, ConvertsThroughTheConverter)
{
    struct SCase {
        const char* pszText;
        const char* pszTokens;
        std::vector<int> codes;
    } cases[] = {
        {"Ctrl + Shift + P", "^+p", {17, 16, 80, 16, 17}},
        {"Alt + F4", "%{F4}", {18, 115, 18}},
        {"Page Up", "{PGUP}", {33}},
        {"Shift + 1", "+1", {16, 49, 16}},
        {"ROLL DOWN", "{PGUP}", {33}},
        {"Graph + F6 ", "%{F6}", {18, 117, 18}},
        {"Tab", "{TAB}", {9}},
        {"Num 5", "{NUMPAD5}", {101}},
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(c.pszTokens, KeyEventTokenText(c.pszText)) << c.pszText;
        EXPECT_EQ(c.codes, ToVector(ConvertKeyEventText(c.pszText, Convert))) << c.pszText;
    }
}

// The Key page keeps the codes of the whole captured text, however short the shown text is.
TEST(KeyEventTextTest, EntryConvertsTheWholeCapturedText)
{
    const std::string text = "Ctrl + Alt + Shift + Page Down";
    ASSERT_EQ(30u, text.size());
    SKeyEventEntry entry = MakeKeyEventEntry(text, CKeyEffect::kMaxTextLength, Convert);
    EXPECT_EQ((std::vector<int>{17, 16, 18, 34, 18, 16, 17}), ToVector(entry.codes));
    EXPECT_EQ(text.substr(0, CKeyEffect::kMaxTextLength), entry.strText);

    entry = MakeKeyEventEntry("Alt + F4", CKeyEffect::kMaxTextLength, Convert);
    EXPECT_EQ((std::vector<int>{18, 115, 18}), ToVector(entry.codes));
    EXPECT_EQ("Alt + F4", entry.strText);
}

std::vector<int> Repeated(int code, int times)
{
    return std::vector<int>(static_cast<size_t>(times), code);
}

std::vector<int> Joined(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A sequence longer than a key event holds is cut where no modifier is down.
TEST(KeyEventTextTest, CutAtTheCapacityLeavesNoModifierDown)
{
    struct SCase {
        const char* pszText;
        std::vector<int> codes;
    } cases[] = {
        {"{a 300}", Repeated(65, 256)},
        {"{a 250}+{b 10}", Repeated(65, 250)},
        {"{a 250}^%{b 3}", Repeated(65, 250)},
        {"{a 250}^%{b 2}", Joined(Repeated(65, 250), {17, 18, 66, 66, 18, 17})},
        {"{a 249}+{b 3}", Joined(Repeated(65, 249), {16, 66, 66, 66, 16})},
        {"{a 252}+b+c", Joined(Repeated(65, 252), {16, 66, 16})},
        {"+{a 300}", {}},
        {"{a 254}{A 2}", Repeated(65, 254)},
    };
    for (const SCase& c : cases) {
        std::vector<int> codes = ToVector(ConvertKeyEventText(c.pszText, Convert));
        EXPECT_EQ(c.codes, codes) << c.pszText;
        EXPECT_LE(codes.size(), static_cast<size_t>(KeyCodeArray::kMaxCodes)) << c.pszText;
    }
}

} // namespace

TEST(InstallerKey, OnlyCtrlIGoingDown)
{
    struct SCase {
        unsigned int key;
        uint32_t flags;
        bool ctrl, shift, alt, opens;
    } cases[] = {
        {0x49, 0, true, false, false, true},   {0x49, 0x80000000u, true, false, false, false}, // going up
        {0x49, 0, false, false, false, false}, {0x49, 0, true, true, false, false},
        {0x49, 0, true, false, true, false},   {0x4A, 0, true, false, false, false},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(IsInstallerKey(c.key, c.flags, c.ctrl, c.shift, c.alt), c.opens) << c.key << " " << c.flags;
}

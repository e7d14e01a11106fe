// Creation defaults of every type, the colour buttons, the number ranges and the names a
// function setting may take.
#include "effect_types.h"
#include "effects.h"
#include "page_values.h"
#include "setting_names.h"

#include <gtest/gtest.h>

namespace {

TEST(EffectTypeTest, TokensIdsAndCaseSensitiveLookup)
{
    const char* tokens[] = {"FREE_LINE",     "LINE",  "ELLIPSE",    "RECT",         "BAR", "STAMP",
                            "CUSTOM_CURSOR", "SOUND", "SPOT_LIGHT", "CLEAR_SCREEN", "KEY"};
    const unsigned int descriptions[] = {430, 431, 432, 433, 434, 435, 438, 436, 437, 439, 440};
    for (int i = 0; i < kEffectTypeCount; ++i) {
        EXPECT_EQ(i, EffectTypeFromToken(tokens[i]));
        EXPECT_EQ(110u + i, kEffectTypes[i].nNameId);
        EXPECT_EQ(250u + i, kEffectTypes[i].nIconId);
        EXPECT_EQ(descriptions[i], kEffectTypes[i].nDescId) << tokens[i];
    }
    EXPECT_EQ(kNoEffectType, EffectTypeFromToken("key"));
    EXPECT_EQ(kNoEffectType, EffectTypeFromToken("NOTHING"));
    EXPECT_EQ(kNoEffectType, EffectTypeFromToken("BAR "));
}

TEST(EffectDefaultsTest, FreshDefinitionsPerType)
{
    struct SCase {
        int nType;
        int nColor, nWidth, nGrid, nTransparent, nFill, nTrack, nVertical; // -1: not a field
    } cases[] = {
        {EFFECT_FREE_LINE, 0x0000FF, 5, -1, 0, -1, -1, -1}, {EFFECT_LINE, 0xFF00FF, 20, 20, 1, -1, -1, -1},
        {EFFECT_ELLIPSE, 0x0000FF, 10, -1, 0, 0, -1, -1},   {EFFECT_RECT, 0x00FF00, 10, -1, 1, 1, 1, -1},
        {EFFECT_BAR, 0x00FFFF, 4, -1, 1, -1, -1, 0},        {EFFECT_SPOT_LIGHT, 0x000000, 200, -1, 1, -1, -1, -1},
    };
    SEffectContext context{"C:\\K\\", 2};
    for (const SCase& c : cases) {
        SCOPED_TRACE(kEffectTypes[c.nType].pszToken);
        std::unique_ptr<CEffect> e = CreateEffect(c.nType, context);
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(c.nType, e->GetType());
        auto* shape = static_cast<CShapeEffect*>(e.get());
        const std::pair<EEffectParam, int> expected[] = {
            {PARAM_COLOR, c.nColor},      {PARAM_WIDTH, c.nWidth},
            {PARAM_GRID, c.nGrid},        {PARAM_TRANSPARENT, c.nTransparent},
            {PARAM_FILL, c.nFill},        {PARAM_TRACK, c.nTrack},
            {PARAM_VERTICAL, c.nVertical}};
        for (const auto& p : expected) {
            EXPECT_EQ(p.second >= 0, shape->HasParam(p.first)) << p.first;
            if (p.second >= 0) {
                EXPECT_EQ(p.second, shape->GetParam(p.first)) << p.first;
            }
        }
        std::unique_ptr<CEffect> copy = e->Clone();
        for (const auto& p : expected) {
            if (p.second >= 0) {
                EXPECT_EQ(p.second, static_cast<CShapeEffect*>(copy.get())->GetParam(p.first));
            }
        }
    }

    auto stamp = CreateEffect(EFFECT_STAMP, context);
    EXPECT_EQ("C:\\K\\stamp\\00.stp", static_cast<CPictureEffect*>(stamp.get())->GetPath());
    EXPECT_EQ(1, static_cast<CPictureEffect*>(stamp.get())->IsStamp());
    auto cursor = CreateEffect(EFFECT_CUSTOM_CURSOR, context);
    EXPECT_EQ("C:\\K\\cursor\\00.crs", static_cast<CPictureEffect*>(cursor.get())->GetPath());
    EXPECT_EQ(EFFECT_CUSTOM_CURSOR, CPictureEffect(0, "x").GetType());
    EXPECT_EQ(EFFECT_STAMP, CPictureEffect(1, "x").GetType());
    EXPECT_EQ("", static_cast<CSoundEffect*>(CreateEffect(EFFECT_SOUND, context).get())->GetPath());
    EXPECT_EQ(EFFECT_CLEAR_SCREEN, CreateEffect(EFFECT_CLEAR_SCREEN, context)->GetType());
    EXPECT_EQ(nullptr, CreateEffect(kNoEffectType, context));

    auto key = CreateEffect(EFFECT_KEY, context);
    auto* k = static_cast<CKeyEffect*>(key.get());
    ASSERT_EQ(1u, k->GetEvents().size());
    EXPECT_EQ(33, k->GetEvents()[0].nCodes[0]);
    EXPECT_EQ(1, k->GetEvents()[0].nCount);
    EXPECT_EQ("Page Up", k->GetTexts()[0]);
    auto pc98 = CreateEffect(EFFECT_KEY, SEffectContext{"", 1});
    EXPECT_EQ("ROLL DOWN", static_cast<CKeyEffect*>(pc98.get())->GetTexts()[0]);
}

TEST(EffectDefaultsTest, WidthsAreSixteenBitAndKeyListsStayPaired)
{
    CBarEffect bar;
    bar.SetParam(PARAM_WIDTH, 65536 + 7);
    EXPECT_EQ(7, bar.GetLineWidth());

    CKeyEffect key;
    KeyCodeArray a;
    a.Append(65);
    key.SetLists({a, a, a}, {"exactly twenty-nine characters", "B"});
    ASSERT_EQ(2u, key.GetEvents().size());
    ASSERT_EQ(2u, key.GetTexts().size());
    EXPECT_EQ(29u, key.GetTexts()[0].size());

    KeyCodeArray full;
    for (int i = 0; i < KeyCodeArray::kMaxCodes; ++i)
        EXPECT_TRUE(full.Append(i));
    EXPECT_FALSE(full.Append(1));
    EXPECT_EQ(256, full.nCount);
}

TEST(ColorButtonTest, IndexesAndTheDepthRuleForBlue)
{
    struct SCase {
        int nIndex;
        int nBits;
        COLORVALUE color;
    } cases[] = {
        {0, 8, 0xFF0000},  {0, 4, 0xFF0000},  {0, 16, 0xFF4040}, {0, 32, 0xFF4040}, {1, 16, 0x0000FF}, {2, 8, 0x00FF00},
        {3, 32, 0x00FFFF}, {4, 32, 0x000000}, {5, 32, 0xFFFF00}, {6, 32, 0xFF00FF}, {7, 8, 0xFFFFFF},
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(c.color, ColorOfIndex(c.nIndex, c.nBits)) << c.nIndex << "@" << c.nBits;
        EXPECT_EQ(c.nIndex, IndexOfColor(c.color, 5));
    }
    EXPECT_EQ(5, IndexOfColor(0x123456, 5)) << "an unknown colour keeps the previous button";
}

TEST(ValueRangeTest, DigitsWithinTheRange)
{
    struct SCase {
        const char* pszText;
        const SValueRange* pRange;
        bool bOk;
        int nValue;
    } cases[] = {
        {"1", &kLineWidthRange, true, 1},           {"32", &kLineWidthRange, true, 32},
        {"33", &kLineWidthRange, false, 0},         {"0", &kLineWidthRange, false, 0},
        {"", &kLineWidthRange, false, 0},           {"1a", &kLineWidthRange, false, 0},
        {"-3", &kLineWidthRange, false, 0},         {"100", &kGridWidthRange, true, 100},
        {"101", &kGridWidthRange, false, 0},        {"300", &kBarWidthRange, true, 300},
        {"500", &kDiameterRange, true, 500},        {"501", &kDiameterRange, false, 0},
        {"99999999999", &kDiameterRange, false, 0}, {"007", &kLineWidthRange, true, 7},
    };
    for (const SCase& c : cases) {
        int value = 0;
        EXPECT_EQ(c.bOk, ParseRangeValue(c.pszText, *c.pRange, value)) << c.pszText;
        if (c.bOk) {
            EXPECT_EQ(c.nValue, value) << c.pszText;
        }
    }
}

TEST(SettingNameTest, RefusedCharactersTrimmingAndReservedNames)
{
    for (char c : std::string(";=[]"))
        EXPECT_TRUE(IsRefusedNameChar(c)) << c;
    for (char c : std::string("aZ0 _-.()"))
        EXPECT_FALSE(IsRefusedNameChar(c)) << c;
    // Pasted text loses them; whether it did decides the beep.
    struct SPaste {
        const char* pszIn;
        const char* pszOut;
        bool bRemoved;
    } pastes[] = {{"Talk", "Talk", false}, {"[Talk]", "Talk", true}, {"a=b;c", "abc", true}, {";=[]", "", true}};
    for (const SPaste& p : pastes) {
        bool removed = !p.bRemoved;
        EXPECT_EQ(p.pszOut, WithoutRefusedNameChars(p.pszIn, &removed)) << p.pszIn;
        EXPECT_EQ(p.bRemoved, removed) << p.pszIn;
        EXPECT_EQ(p.bRemoved, HasRefusedNameChar(p.pszIn)) << p.pszIn;
    }

    // The lead bytes of a Japanese system and of a Western one, which has none.
    const LeadByteTest shiftJis = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
    const LeadByteTest western = [](unsigned char) { return false; };
    struct STrim {
        const LeadByteTest* pIsLead;
        const char* pszIn;
        const char* pszOut;
    } trims[] = {
        {&shiftJis, "  Talk  ", "Talk"},
        {&shiftJis, "\x81\x40Talk\x81\x40 ", "Talk"},
        {&shiftJis, "My Talk", "My Talk"},
        {&shiftJis, "\x81\x40\x81\x40", ""},
        {&shiftJis, "\x88\x81\x40", "\x88\x81\x40"}, // 0x81 here is a trail byte
        {&shiftJis, "\x82\xA0 ", "\x82\xA0"},
        {&shiftJis, "\x88\x20", "\x88\x20"},         // a trail byte equal to a space stays
        {&shiftJis, " \x88\x20 ", "\x88\x20"},
        {&shiftJis, "\xE9\x20", "\xE9\x20"},         // in Shift-JIS this is one character
        {&shiftJis, "\x89\xE0\x81\x40", "\x89\xE0"}, // a trail byte that is a lead byte too
        {&western, "Caf\xE9 ", "Caf\xE9"},
        {&western, " Caf\xE9  ", "Caf\xE9"},
        {&western, "\x81\x40Talk", "\x81\x40Talk"}, // no double-byte blank without lead bytes
        {&western, "\x88\x20", "\x88"},
    };
    for (const STrim& t : trims)
        EXPECT_EQ(t.pszOut, TrimSettingName(t.pszIn, *t.pIsLead)) << t.pszIn;

    // The names of a Key effect's sub-sections, "<section>_Struct<slot><event>", in any case.
    for (const char* n : {"defaults", "Defaults", "TEMPORARY", "sectionname", "CurrentSection", "Initial Setting",
                          "PRESENT SETTING", "Temporary_Struct10", "Talk_struct5", "X_STRUCT123", "_Struct0"})
        EXPECT_TRUE(IsReservedSettingName(n)) << n;
    for (const char* n : {"Default", "Initial", "Temporary1", "Talk", "Talk_Struct", "Talk_Struct1a", "Talk_Structs1",
                          "TalkStruct10", "Struct10", "_Struct 1"})
        EXPECT_FALSE(IsReservedSettingName(n)) << n;

    EXPECT_EQ("Initial Setting", DisplayNameOf("Support_Defaults"));
    EXPECT_EQ("Present Setting", DisplayNameOf("Support_Temporary"));
    EXPECT_EQ("Talk", DisplayNameOf("Support_Talk"));
    EXPECT_EQ("Support_Talk", SectionOf("Talk"));
    EXPECT_EQ("Support_Defaults", SectionOf("Initial Setting"));
}

TEST(SoundDialogTest, StartsInTheFolderOfTheLastFile)
{
    const char* kDefault = "C:\\Kestrel\\sound\\";
    struct SCase {
        const char* pszRemembered;
        const char* pszFolder;
    } cases[] = {
        {"", kDefault},
        {"D:\\media\\gong.wav", "D:\\media\\"},
        {"D:\\media\\", "D:\\media\\"}, // a folder, as earlier versions kept it
        {"gong.wav", kDefault}, // no folder to go by
    };
    for (const SCase& c : cases)
        EXPECT_EQ(c.pszFolder, SoundDialogFolder(c.pszRemembered, kDefault)) << c.pszRemembered;
}

} // namespace

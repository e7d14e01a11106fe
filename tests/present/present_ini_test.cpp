// Function settings in "Kestrel4.ini": slot layout, the list of settings, registering and
// deleting, shortcuts, and whole-operation updates. Held against both profile backends.
#include "effect_ini.h"
#include "setting_names.h"
#include "support_settings.h"
#include "test_profiles.h"

#include "core/key_layout.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Write permission taken from everyone, or given back to the owner.
void SetReadOnly(const std::string& path, bool readOnly)
{
    using std::filesystem::perms;
    std::filesystem::permissions(path, readOnly ? perms::owner_read | perms::group_read | perms::others_read
                                                : perms::owner_read | perms::owner_write);
}

const char kFolder[] = "C:\\Kestrel\\";

int UsScan(char c)
{
    return tapline::CUsKeyLayout().KeyScan(c);
}

KeyCodeArray Codes(std::initializer_list<int> codes)
{
    KeyCodeArray a;
    for (int c : codes)
        a.Append(c);
    return a;
}

bool Yes(const std::string&)
{
    return true;
}

int IndexOf(const CSupportSettings& s, const std::string& name)
{
    const std::vector<std::string>& names = s.GetNames();
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

// Everything the screen shows, in one text for readable differences.
std::string Snapshot(const CSupportSettings& s)
{
    std::string out = "names:";
    for (const std::string& name : s.GetNames())
        out += " [" + name + "]";
    out += " selected: " + std::to_string(s.GetSelected()) + " sections: " + std::to_string(s.GetSectionCount());
    for (int i = 0; i < kSlotCount; ++i)
        out += " | slot " + std::to_string(i + 1) + ": " +
               std::to_string(s.GetSlot(i) ? s.GetSlot(i)->GetType() : kNoEffectType) + "/" +
               std::to_string(s.GetChosenType(i)) + " [" + s.GetShortcutText(i) + "]";
    return out;
}

// Watches the definitions reported as outgoing: each must still be in its slot when told.
struct SReplacementWatch {
    std::vector<const CEffect*> reported;
    std::vector<const CEffect*> before;

    void Watch(CSupportSettings& s)
    {
        before.clear();
        for (int i = 0; i < kSlotCount; ++i)
            before.push_back(s.GetSlot(i));
        s.OnSlotReplacing([this, &s](const CEffect& outgoing) {
            bool inPlace = false;
            for (int i = 0; i < kSlotCount; ++i)
                inPlace = inPlace || s.GetSlot(i) == &outgoing;
            EXPECT_TRUE(inPlace) << "told after it left its slot";
            reported.push_back(&outgoing);
        });
    }
    // Every definition that left its slot since Watch was reported.
    void ExpectAllReported(const CSupportSettings& s) const
    {
        for (int i = 0; i < kSlotCount; ++i) {
            const CEffect* old = before[static_cast<size_t>(i)];
            if (old && s.GetSlot(i) != old) {
                EXPECT_NE(reported.end(), std::find(reported.begin(), reported.end(), old))
                    << "slot " << i + 1 << " replaced unreported";
            }
        }
    }
};

// Every write fails, as on a read-only or full disk.
struct SFailingProfile : CPortableProfile {
    using CPortableProfile::CPortableProfile;
    bool WriteString(const char*, const char*, const char*) override { return false; }
};

class PresentIniTest : public ::testing::TestWithParam<EProfileKind> {
protected:
    void SetUp() override
    {
        m_Context.strProgramFolder = kFolder;
        UseFreshFile();
    }
    // A new ini of its own, and a page opened on it.
    void UseFreshFile()
    {
        m_strPath = FreshIniPath();
        m_pIni.reset(
            new CIniFile(m_strPath, [this](const std::string& path) { return MakeProfile(GetParam(), path); }));
        NewSettings();
    }
    // A page opened afresh on the same file, as at the next start.
    CSupportSettings& NewSettings()
    {
        m_pSettings.reset(new CSupportSettings(*m_pIni, m_Context, UsScan, m_IsLeadByte));
        return *m_pSettings;
    }
    std::string Get(const char* section, const char* key)
    {
        return m_pIni->Read().GetString(section, key, "NOTHING", 512);
    }
    std::string Get(const std::string& section, const std::string& key) { return Get(section.c_str(), key.c_str()); }
    std::vector<std::string> Names() { return m_pSettings->GetNames(); }

    std::string m_strPath;
    std::unique_ptr<CIniFile> m_pIni;
    SEffectContext m_Context;
    // The code page typed names come in: Japanese unless a test says otherwise.
    LeadByteTest m_IsLeadByte = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
    std::unique_ptr<CSupportSettings> m_pSettings;
};

TEST_P(PresentIniTest, FreshIniShowsInitialSettingOnlyAndNothingIsCurrent)
{
    CSupportSettings& s = *m_pSettings;
    s.Open();
    EXPECT_EQ(std::vector<std::string>{"Initial Setting"}, Names());
    EXPECT_EQ(-1, s.GetSelected());
    EXPECT_FALSE(s.CanDelete());
    for (int i = 0; i <= kTestSlot; ++i)
        EXPECT_EQ(nullptr, s.GetSlot(i)) << i;
    for (int i = 0; i < kSlotCount; ++i)
        EXPECT_EQ(kNoEffectType, s.GetChosenType(i));

    // An ini that exists but is empty takes changes as well.
    std::ofstream(m_strPath, std::ios::trunc).close();
    s.ChooseType(0, EFFECT_BAR);
    EXPECT_TRUE(s.SaveAsPresentSetting());
    EXPECT_EQ("BAR", Get("Support_Temporary", "Effect1"));
}

TEST_P(PresentIniTest, KeyEffectWritesEventKeysAndSubSections)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(1, EFFECT_KEY);
    auto* key = static_cast<CKeyEffect*>(s.GetSlot(1));
    key->SetLists({Codes({17, 16, 80, 16, 17}), Codes({33}), Codes({18, 115, 18})},
                  {"Ctrl + Shift + P", "Page Up", "Alt + F4"});
    ASSERT_TRUE(s.SaveAsPresentSetting());

    EXPECT_EQ("KEY", Get("Support_Temporary", "Effect2"));
    const char* texts[] = {"Ctrl + Shift + P", "Page Up", "Alt + F4"};
    const std::vector<std::vector<int>> codes = {{17, 16, 80, 16, 17}, {33}, {18, 115, 18}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        std::string sub = "Support_Temporary_Struct2" + std::to_string(i);
        EXPECT_EQ(sub, Get("Support_Temporary", "E2KeyEffectVKeyArrayString" + std::to_string(i)));
        EXPECT_EQ(texts[i], Get("Support_Temporary", "E2KeyEffectKeyEventString" + std::to_string(i)));
        EXPECT_EQ(std::to_string(codes[i].size()), Get(sub, "VirtualKeyCodeSize"));
        for (size_t c = 0; c < codes[i].size(); ++c)
            EXPECT_EQ(std::to_string(codes[i][c]), Get(sub, "VirtualKeyCode" + std::to_string(c)));
        EXPECT_EQ("NOTHING", Get(sub, "VirtualKeyCode" + std::to_string(codes[i].size())));
    }
    EXPECT_EQ("NOTHING", Get("Support_Temporary", "E2KeyEffectVKeyArrayString3"));
    EXPECT_EQ("NOTHING", Get("Support_Temporary", "E2KeyEffectKeyEventString3"));
    // The other slots are empty.
    for (const char* k : {"Effect1", "Effect3", "Effect4", "Effect5"})
        EXPECT_EQ("NOTHING", Get("Support_Temporary", k));
    EXPECT_EQ("1", Get("Support_CurrentSection", "Support_Temporary"));

    std::vector<std::string> savedTexts = key->GetTexts();
    std::vector<KeyCodeArray> savedEvents = key->GetEvents();
    CSupportSettings& again = NewSettings();
    again.Open();
    auto* loaded = static_cast<const CKeyEffect*>(again.GetSlot(1));
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(savedTexts, loaded->GetTexts());
    EXPECT_EQ(savedEvents, loaded->GetEvents());
}

TEST_P(PresentIniTest, DeletingASettingDeletesItsKeySubSections)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(0, EFFECT_KEY);
    s.ChooseType(3, EFFECT_KEY);
    static_cast<CKeyEffect*>(s.GetSlot(3))->SetLists({Codes({65}), Codes({66})}, {"A", "B"});
    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("Talk", [](const std::string&) { return true; }));
    ASSERT_EQ("Support_Talk_Struct10", Get("Support_Talk", "E1KeyEffectVKeyArrayString0"));
    ASSERT_EQ("1", Get("Support_Talk_Struct41", "VirtualKeyCodeSize"));

    ASSERT_TRUE(s.DeleteEntry(0));
    std::string text = ReadText(m_strPath);
    EXPECT_EQ(std::string::npos, text.find("Support_Talk")) << text;
    EXPECT_EQ("1", Get("Support_CurrentSection", "Support_Defaults"));
    EXPECT_EQ(std::vector<std::string>{"Initial Setting"}, Names());
}

TEST_P(PresentIniTest, DeletingASettingLeavesSectionsItsKeyValuesNameAlone)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(0, EFFECT_KEY);
    static_cast<CKeyEffect*>(s.GetSlot(0))->SetLists({Codes({65}), Codes({66}), Codes({67})}, {"A", "B", "C"});
    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("Talk", [](const std::string&) { return true; }));
    // Values edited by hand or damaged: they name other sections, or another slot's.
    ASSERT_TRUE(m_pIni->Update([](IProfileFile& ini) {
        return ini.WriteString("Support_Talk", "E1KeyEffectVKeyArrayString0", "ConnectStatus") &&
               ini.WriteString("Support_Talk", "E1KeyEffectVKeyArrayString1", "Support_Defaults") &&
               ini.WriteString("Support_Talk", "E1KeyEffectVKeyArrayString2", "Support_Talk_Struct2x") &&
               ini.WriteString("ConnectStatus", "Kept", "1") && ini.WriteString("Support_Defaults", "Kept", "1") &&
               ini.WriteString("Support_Talk_Struct2x", "Kept", "1");
    }));
    ASSERT_TRUE(s.DeleteEntry(0));
    EXPECT_EQ("1", Get("ConnectStatus", "Kept"));
    EXPECT_EQ("1", Get("Support_Talk_Struct2x", "Kept"));
    EXPECT_EQ("1", Get("Support_Defaults", "Kept"));
}

TEST_P(PresentIniTest, DeletingTheMiddleEntryClosesTheGap)
{
    WriteText(m_strPath, "[Support_SectionName]\r\nSectionNum=3\r\nSectionName0=Support_Defaults\r\n"
                         "SectionName1=Support_A\r\nSectionName2=Support_B\r\n"
                         "[Support_CurrentSection]\r\nSupport_Defaults=0\r\nSupport_A=1\r\nSupport_B=0\r\n"
                         "[Support_A]\r\nEffect1=CLEAR_SCREEN\r\n[Support_B]\r\nEffect1=LINE\r\n");
    CSupportSettings& s = *m_pSettings;
    s.Open();
    ASSERT_EQ((std::vector<std::string>{"B", "A", "Initial Setting"}), Names());
    ASSERT_EQ(1, s.GetSelected());
    ASSERT_TRUE(s.DeleteEntry(1));

    EXPECT_EQ("2", Get("Support_SectionName", "SectionNum"));
    EXPECT_EQ("Support_Defaults", Get("Support_SectionName", "SectionName0"));
    EXPECT_EQ("Support_B", Get("Support_SectionName", "SectionName1"));
    EXPECT_EQ("NOTHING", Get("Support_SectionName", "SectionName2"));
    EXPECT_EQ("NOTHING", Get("Support_CurrentSection", "Support_A"));
    EXPECT_EQ("NOTHING", Get("Support_A", "Effect1"));
    EXPECT_EQ((std::vector<std::string>{"B", "Initial Setting"}), Names());
}

TEST_P(PresentIniTest, ADamagedSettingCountShowsTheSettingsThereAreAndSavesAfterThem)
{
    struct SCase {
        const char* count;
        std::vector<std::string> names;
    } cases[] = {
        {"2000000000", {"B", "A", "Initial Setting"}}, {"-3", {"B", "A", "Initial Setting"}},
        {"0", {"B", "A", "Initial Setting"}},          {"many", {"B", "A", "Initial Setting"}},
        {"7", {"B", "A", "Initial Setting"}},          {"2", {"A", "Initial Setting"}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.count);
        UseFreshFile();
        WriteText(m_strPath, std::string("[Support_SectionName]\r\nSectionNum=") + c.count +
                                 "\r\nSectionName0=Support_Defaults\r\nSectionName1=Support_A\r\n"
                                 "SectionName2=Support_B\r\n[Support_A]\r\nEffect1=LINE\r\n[Support_B]\r\n"
                                 "Effect1=BAR\r\n");
        m_pIni->Read().Refresh();
        CSupportSettings& s = NewSettings();
        s.Open();
        EXPECT_EQ(c.names, Names());
        ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("New", [](const std::string&) { return true; }));
        const std::string count = std::to_string(c.names.size() + 1);
        EXPECT_EQ(count, Get("Support_SectionName", "SectionNum"));
        EXPECT_EQ("Support_New", Get("Support_SectionName", ("SectionName" + std::to_string(c.names.size())).c_str()));
        if (c.names.size() == 3)
            EXPECT_EQ("Support_B", Get("Support_SectionName", "SectionName2")) << "overwritten";
    }
}

TEST_P(PresentIniTest, CompactionOfADamagedListStopsAtTheOldLength)
{
    // Four counted, but entry 1 is missing: the walk must not run past index 3.
    WriteText(m_strPath, "[Support_SectionName]\r\nSectionNum=4\r\nSectionName0=Support_Defaults\r\n"
                         "SectionName2=Support_X\r\nSectionName3=Support_Y\r\nSectionName9=Support_Far\r\n");
    CSupportSettings& s = *m_pSettings;
    s.Open();
    IProfileFile& ini = m_pIni->Read();
    s.DeleteSetting(ini, "Support_X");
    EXPECT_EQ("3", Get("Support_SectionName", "SectionNum"));
    EXPECT_EQ("Support_Defaults", Get("Support_SectionName", "SectionName0"));
    EXPECT_EQ("Support_Y", Get("Support_SectionName", "SectionName1"));
    EXPECT_EQ("Support_Far", Get("Support_SectionName", "SectionName9"));
}

TEST_P(PresentIniTest, LoadRulesForTokensAndMissingKeys)
{
    WriteText(m_strPath,
              "[Support_SectionName]\r\nSectionNum=1\r\nSectionName0=Support_Defaults\r\n"
              "[Support_CurrentSection]\r\nSupport_Defaults=1\r\n"
              "[Support_Defaults]\r\n"
              "Effect1=SOUND\r\nE1SoundEffectFileName=NOT_FOUND\r\n"
              "Effect2=line\r\n" // tokens are case-sensitive
              "Effect3=BAR\r\n"  // every key missing: the ini defaults
              "Effect4=STAMP\r\nE4StampEffectFileName=C:\\elsewhere\\07.stp\r\n"
              "Effect5=CUSTOM_CURSOR\r\n");
    CSupportSettings& s = *m_pSettings;
    s.Open();
    ASSERT_NE(nullptr, s.GetSlot(0));
    EXPECT_EQ("C:\\Kestrel\\sound\\00.wav", static_cast<const CSoundEffect*>(s.GetSlot(0))->GetPath());
    EXPECT_EQ(nullptr, s.GetSlot(1));
    EXPECT_EQ(kNoEffectType, s.GetChosenType(1));
    auto* bar = static_cast<const CShapeEffect*>(s.GetSlot(2));
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(0u, bar->GetColor());
    EXPECT_EQ(1, bar->GetLineWidth());
    EXPECT_FALSE(bar->IsTransparent());
    EXPECT_EQ(0, bar->GetParam(PARAM_VERTICAL));
    // The stamp folder is fixed; the stored name is taken as it stands after it.
    EXPECT_EQ("C:\\Kestrel\\stamp\\C:\\elsewhere\\07.stp", static_cast<const CPictureEffect*>(s.GetSlot(3))->GetPath());
    EXPECT_EQ("C:\\Kestrel\\cursor\\00.crs", static_cast<const CPictureEffect*>(s.GetSlot(4))->GetPath());
}

// Hand-edited or damaged numbers: each lands in the range its page lets the user choose.
TEST_P(PresentIniTest, NumbersBeyondWhatThePagesAllowAreHeldToTheirRanges)
{
    const struct {
        const char* token;
        const char* key; // after "E1"
        const char* stored;
        EEffectParam param;
        int expected;
    } cases[] = {
        {"FREE_LINE", "FreeLineEffectLineWidth", "0", PARAM_WIDTH, 1},
        {"FREE_LINE", "FreeLineEffectLineWidth", "33", PARAM_WIDTH, 32},
        {"FREE_LINE", "FreeLineEffectLineWidth", "70000", PARAM_WIDTH, 32}, // would wrap to 4464
        {"ELLIPSE", "EllipseEffectLineWidth", "-5", PARAM_WIDTH, 1},
        {"RECT", "RectEffectLineWidth", "99999999999", PARAM_WIDTH, 32},
        {"LINE", "LineEffectGridWidth", "101", PARAM_GRID, 100},
        {"LINE", "LineEffectGridWidth", "-1", PARAM_GRID, 1},
        {"BAR", "BarEffectLineWidth", "300", PARAM_WIDTH, 300},
        {"BAR", "BarEffectLineWidth", "301", PARAM_WIDTH, 300},
        {"SPOT_LIGHT", "SpotLightEffectDiameter", "501", PARAM_WIDTH, 500},
        {"SPOT_LIGHT", "SpotLightEffectDiameter", "-200", PARAM_WIDTH, 1},
        {"FREE_LINE", "FreeLineEffectColor", "-1", PARAM_COLOR, 0},
        {"LINE", "LineEffectColor", "16777216", PARAM_COLOR, 0xFFFFFF},
        {"SPOT_LIGHT", "SpotLightEffectColor", "4294967295", PARAM_COLOR, 0xFFFFFF},
        {"BAR", "BarEffectColor", "65535", PARAM_COLOR, 65535},
        {"FREE_LINE", "FreeLineEffectClear", "7", PARAM_TRANSPARENT, 1},
        {"LINE", "LineEffectClear", "-3", PARAM_TRANSPARENT, 0},
        {"ELLIPSE", "EllipseEffectFill", "2", PARAM_FILL, 1},
        {"RECT", "RectEffectTrack", "-1", PARAM_TRACK, 0},
        {"BAR", "BarEffectVertical", "5", PARAM_VERTICAL, 1},
    };
    std::string text;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        text += "[Support_Case" + std::to_string(i) + "]\r\nEffect1=" + cases[i].token + "\r\nE1" + cases[i].key + "=" +
                cases[i].stored + "\r\n";
    // Key: a negative count, a count beyond the codes there are, codes that name no key, and
    // more events than the page takes.
    text += "[Support_Keys]\r\nEffect1=KEY\r\n";
    for (int e = 0; e < 20; ++e)
        text += "E1KeyEffectVKeyArrayString" + std::to_string(e) + "=Support_Keys_Struct1" + std::to_string(e) +
                "\r\nE1KeyEffectKeyEventString" + std::to_string(e) + "=Event " + std::to_string(e) + "\r\n";
    text += "[Support_Keys_Struct10]\r\nVirtualKeyCodeSize=-3\r\nVirtualKeyCode0=65\r\n"
            "[Support_Keys_Struct11]\r\nVirtualKeyCodeSize=100000\r\nVirtualKeyCode0=17\r\nVirtualKeyCode1=67\r\n"
            "VirtualKeyCode2=17\r\n"
            "[Support_Keys_Struct12]\r\nVirtualKeyCodeSize=5\r\nVirtualKeyCode0=300\r\nVirtualKeyCode1=-1\r\n"
            "VirtualKeyCode2=0\r\nVirtualKeyCode3=255\r\nVirtualKeyCode4=65\r\n";
    WriteText(m_strPath, text);

    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(std::string(cases[i].key) + "=" + cases[i].stored);
        CSupportSettings& s = NewSettings();
        s.LoadSetting(m_pIni->Read(), "Support_Case" + std::to_string(i));
        auto* shape = static_cast<const CShapeEffect*>(s.GetSlot(0));
        ASSERT_NE(nullptr, shape);
        EXPECT_EQ(cases[i].expected, shape->GetParam(cases[i].param));
    }

    CSupportSettings& s = NewSettings();
    s.LoadSetting(m_pIni->Read(), "Support_Keys");
    auto* key = static_cast<const CKeyEffect*>(s.GetSlot(0));
    ASSERT_NE(nullptr, key);
    ASSERT_EQ(CKeyEffect::kMaxEvents, key->GetEvents().size());
    EXPECT_EQ(CKeyEffect::kMaxEvents, key->GetTexts().size());
    EXPECT_EQ(Codes({}), key->GetEvents()[0]);
    EXPECT_EQ(Codes({17, 67, 17}), key->GetEvents()[1]);
    EXPECT_EQ(Codes({65}), key->GetEvents()[2]);
}

TEST_P(PresentIniTest, TheTestSlotIsNeitherSavedNorLoaded)
{
    CSupportSettings& s = *m_pSettings;
    s.Open();
    s.SetTestEffect(CreateEffect(EFFECT_SPOT_LIGHT, m_Context));
    ASSERT_TRUE(s.SaveAsPresentSetting());
    EXPECT_EQ(EFFECT_SPOT_LIGHT, s.GetSlot(kTestSlot)->GetType());
    EXPECT_EQ(std::string::npos, ReadText(m_strPath).find("SPOT_LIGHT"));
    s.ChooseEntry(1); // Initial Setting: the slots are loaded again, the test slot stays
    EXPECT_EQ(EFFECT_SPOT_LIGHT, s.GetSlot(kTestSlot)->GetType());
    s.ResetSlot(kTestSlot);
    EXPECT_EQ(nullptr, s.GetSlot(kTestSlot));
}

TEST_P(PresentIniTest, NothingAndUnknownTokensKeepWhatTheSlotHeld)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(0, EFFECT_ELLIPSE);
    s.ChooseType(1, EFFECT_SOUND);
    WriteText(m_strPath, "[Support_X]\r\nEffect1=NOTHING\r\nEffect2=SPOTLIGHT\r\nEffect3=CLEAR_SCREEN\r\n");
    s.LoadSetting(m_pIni->Read(), "Support_X");
    EXPECT_EQ(EFFECT_ELLIPSE, s.GetSlot(0)->GetType());
    EXPECT_EQ(EFFECT_SOUND, s.GetSlot(1)->GetType());
    EXPECT_EQ(EFFECT_CLEAR_SCREEN, s.GetChosenType(2));
}

TEST_P(PresentIniTest, ChoosingASettingEmptiesTheSlotsItLeavesEmpty)
{
    WriteText(m_strPath, "[Support_SectionName]\r\nSectionNum=2\r\nSectionName0=Support_Defaults\r\n"
                         "SectionName1=Support_A\r\n[Support_CurrentSection]\r\nSupport_Defaults=1\r\n"
                         "[Support_Defaults]\r\nEffect1=LINE\r\nEffect2=BAR\r\n"
                         "[Support_A]\r\nEffect1=NOTHING\r\nEffect2=CLEAR_SCREEN\r\n");
    CSupportSettings& s = *m_pSettings;
    s.Open();
    ASSERT_NE(nullptr, s.GetSlot(0));
    ASSERT_EQ(0, IndexOf(s, "A"));
    ASSERT_TRUE(s.ChooseEntry(0));
    EXPECT_EQ(nullptr, s.GetSlot(0)) << "the previous line stayed in slot 1";
    EXPECT_EQ(kNoEffectType, s.GetChosenType(0));
    ASSERT_NE(nullptr, s.GetSlot(1));
    EXPECT_EQ(EFFECT_CLEAR_SCREEN, s.GetSlot(1)->GetType());
}

// Each type with values that differ from both default sets.
struct SRoundTrip {
    int nType;
    std::vector<std::pair<EEffectParam, int>> params;
    std::vector<std::pair<const char*, const char*>> keys; // as stored for slot 3
};

const SRoundTrip kRoundTrips[] = {
    {EFFECT_FREE_LINE,
     {{PARAM_COLOR, 0xFFFF00}, {PARAM_WIDTH, 31}, {PARAM_TRANSPARENT, 1}},
     {{"E3FreeLineEffectColor", "16776960"}, {"E3FreeLineEffectLineWidth", "31"}, {"E3FreeLineEffectClear", "1"}}},
    {EFFECT_LINE,
     {{PARAM_COLOR, 0xFF4040}, {PARAM_WIDTH, 3}, {PARAM_GRID, 77}, {PARAM_TRANSPARENT, 0}},
     {{"E3LineEffectColor", "16728128"},
      {"E3LineEffectLineWidth", "3"},
      {"E3LineEffectGridWidth", "77"},
      {"E3LineEffectClear", "0"}}},
    {EFFECT_ELLIPSE,
     {{PARAM_COLOR, 0xFFFFFF}, {PARAM_WIDTH, 2}, {PARAM_TRANSPARENT, 1}, {PARAM_FILL, 1}},
     {{"E3EllipseEffectColor", "16777215"},
      {"E3EllipseEffectLineWidth", "2"},
      {"E3EllipseEffectClear", "1"},
      {"E3EllipseEffectFill", "1"}}},
    {EFFECT_RECT,
     {{PARAM_COLOR, 0x0000FF}, {PARAM_WIDTH, 32}, {PARAM_TRANSPARENT, 0}, {PARAM_FILL, 0}, {PARAM_TRACK, 0}},
     {{"E3RectEffectColor", "255"},
      {"E3RectEffectLineWidth", "32"},
      {"E3RectEffectClear", "0"},
      {"E3RectEffectFill", "0"},
      {"E3RectEffectTrack", "0"}}},
    {EFFECT_BAR,
     {{PARAM_COLOR, 0xFF00FF}, {PARAM_WIDTH, 300}, {PARAM_TRANSPARENT, 0}, {PARAM_VERTICAL, 1}},
     {{"E3BarEffectColor", "16711935"},
      {"E3BarEffectLineWidth", "300"},
      {"E3BarEffectClear", "0"},
      {"E3BarEffectVertical", "1"}}},
    {EFFECT_SPOT_LIGHT,
     {{PARAM_COLOR, 0x00FF00}, {PARAM_WIDTH, 499}, {PARAM_TRANSPARENT, 0}},
     {{"E3SpotLightEffectColor", "65280"}, {"E3SpotLightEffectDiameter", "499"}, {"E3SpotLightEffectClear", "0"}}},
};

TEST_P(PresentIniTest, ShapeEffectsRoundTripWithTheirKeys)
{
    for (const SRoundTrip& rt : kRoundTrips) {
        SCOPED_TRACE(kEffectTypes[rt.nType].pszToken);
        CSupportSettings& s = NewSettings();
        s.ChooseType(2, rt.nType);
        auto* shape = static_cast<CShapeEffect*>(s.GetSlot(2));
        for (const auto& p : rt.params)
            shape->SetParam(p.first, p.second);
        std::string section = std::string("Support_") + kEffectTypes[rt.nType].pszToken;
        ASSERT_TRUE(m_pIni->Update([&](IProfileFile& ini) {
            s.SaveSetting(ini, section);
            return true;
        }));
        EXPECT_EQ(kEffectTypes[rt.nType].pszToken, Get(section, "Effect3"));
        for (const auto& k : rt.keys)
            EXPECT_EQ(k.second, Get(section.c_str(), k.first)) << k.first;

        CSupportSettings& back = NewSettings();
        back.LoadSetting(m_pIni->Read(), section);
        auto* loaded = static_cast<const CShapeEffect*>(back.GetSlot(2));
        ASSERT_NE(nullptr, loaded);
        EXPECT_EQ(rt.nType, back.GetChosenType(2));
        for (const auto& p : rt.params)
            EXPECT_EQ(p.second, loaded->GetParam(p.first)) << p.first;
    }
}

TEST_P(PresentIniTest, FileEffectsClearScreenAndEmptySlotsRoundTrip)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(0, EFFECT_STAMP);
    static_cast<CPictureEffect*>(s.GetSlot(0))->SetPath("C:\\Kestrel\\stamp\\05.stp");
    s.ChooseType(1, EFFECT_CUSTOM_CURSOR);
    static_cast<CPictureEffect*>(s.GetSlot(1))->SetPath("C:\\Kestrel\\cursor\\03.crs");
    s.ChooseType(2, EFFECT_SOUND);
    static_cast<CSoundEffect*>(s.GetSlot(2))->SetPath("D:\\media\\gong.wav");
    s.ChooseType(3, EFFECT_CLEAR_SCREEN);
    ASSERT_TRUE(s.SaveAsPresentSetting());

    EXPECT_EQ("05.stp", Get("Support_Temporary", "E1StampEffectFileName"));
    EXPECT_EQ("03.crs", Get("Support_Temporary", "E2CustomCursorEffectFileName"));
    EXPECT_EQ("D:\\media\\gong.wav", Get("Support_Temporary", "E3SoundEffectFileName"));
    EXPECT_EQ("CLEAR_SCREEN", Get("Support_Temporary", "Effect4"));
    EXPECT_EQ("NOTHING", Get("Support_Temporary", "Effect5"));
    std::vector<SProfileLine> lines = ParseProfileText(ReadText(m_strPath));
    EXPECT_GE(FindProfileKey(lines, "Support_Temporary", "Effect5"), 0) << "an empty slot is written";

    CSupportSettings& back = NewSettings();
    back.Open();
    EXPECT_EQ("C:\\Kestrel\\stamp\\05.stp", static_cast<const CPictureEffect*>(back.GetSlot(0))->GetPath());
    EXPECT_EQ(1, static_cast<const CPictureEffect*>(back.GetSlot(0))->IsStamp());
    EXPECT_EQ("C:\\Kestrel\\cursor\\03.crs", static_cast<const CPictureEffect*>(back.GetSlot(1))->GetPath());
    EXPECT_EQ(0, static_cast<const CPictureEffect*>(back.GetSlot(1))->IsStamp());
    EXPECT_EQ("D:\\media\\gong.wav", static_cast<const CSoundEffect*>(back.GetSlot(2))->GetPath());
    EXPECT_EQ(EFFECT_CLEAR_SCREEN, back.GetSlot(3)->GetType());
    EXPECT_EQ(nullptr, back.GetSlot(4));
}

TEST_P(PresentIniTest, PictureSlotsFollowTheirItemsWhenALibraryIsRenumbered)
{
    CSupportSettings& s = *m_pSettings;
    const char* stamps[] = {"04.stp", "02.stp", "01.stp", "05.stp"};
    for (int slot = 0; slot < 4; ++slot) {
        s.ChooseType(slot, EFFECT_STAMP);
        static_cast<CPictureEffect*>(s.GetSlot(slot))->SetItemName(stamps[slot]);
    }
    s.ChooseType(4, EFFECT_CUSTOM_CURSOR);
    static_cast<CPictureEffect*>(s.GetSlot(4))->SetItemName("04.crs");
    s.SetTestEffect(s.GetSlot(0)->Clone());
    const std::vector<std::string> before = {"00.stp", "01.stp", "02.stp", "03.stp", "04.stp", "05.stp"};

    ASSERT_TRUE(s.RenumberItems(EFFECT_STAMP, before, 2));
    auto name = [&s](int slot) { return static_cast<const CPictureEffect*>(s.GetSlot(slot))->GetItemName(); };
    EXPECT_EQ("03.stp", name(0)) << "a later item moved down";
    EXPECT_EQ("02.stp", name(1)) << "the deleted item: the one now in its place";
    EXPECT_EQ("01.stp", name(2)) << "an earlier item is left";
    EXPECT_EQ("04.stp", name(3));
    EXPECT_EQ("04.crs", name(4)) << "the other library is not touched";
    EXPECT_EQ("03.stp", name(kTestSlot));
    EXPECT_EQ("C:\\Kestrel\\stamp\\03.stp", static_cast<const CPictureEffect*>(s.GetSlot(0))->GetPath());
    EXPECT_FALSE(s.RenumberItems(EFFECT_CUSTOM_CURSOR, {"00.crs", "01.crs", "02.crs", "03.crs", "04.crs", "05.crs"}, 5))
        << "an item before the deleted one changes nothing";

    ASSERT_TRUE(s.SaveAsPresentSetting());
    EXPECT_EQ("03.stp", Get("Support_Temporary", "E1StampEffectFileName"));
    EXPECT_EQ("02.stp", Get("Support_Temporary", "E2StampEffectFileName"));
}

TEST_P(PresentIniTest, RegisteredSettingsFollowTheirItemsWhenALibraryIsRenumbered)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(0, EFFECT_STAMP);
    static_cast<CPictureEffect*>(s.GetSlot(0))->SetItemName("04.stp");
    s.ChooseType(1, EFFECT_STAMP);
    static_cast<CPictureEffect*>(s.GetSlot(1))->SetItemName("02.stp");
    s.ChooseType(2, EFFECT_CUSTOM_CURSOR);
    static_cast<CPictureEffect*>(s.GetSlot(2))->SetItemName("04.crs");
    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("Talk", [](const std::string&) { return true; }));
    // The working slots move on to other pictures; the registered setting keeps its own.
    static_cast<CPictureEffect*>(s.GetSlot(0))->SetItemName("00.stp");
    static_cast<CPictureEffect*>(s.GetSlot(1))->SetItemName("00.stp");
    ASSERT_TRUE(s.SaveAsPresentSetting());

    const std::vector<std::string> before = {"00.stp", "01.stp", "02.stp", "03.stp", "04.stp"};
    s.RenumberItems(EFFECT_STAMP, before, 2);
    EXPECT_EQ("03.stp", Get("Support_Talk", "E1StampEffectFileName")) << "a later item moved down";
    EXPECT_EQ("02.stp", Get("Support_Talk", "E2StampEffectFileName")) << "the deleted one: its successor";
    EXPECT_EQ("04.crs", Get("Support_Talk", "E3CustomCursorEffectFileName")) << "the other library";
    EXPECT_EQ("00.stp", Get("Support_Temporary", "E1StampEffectFileName"));

    CSupportSettings& back = NewSettings();
    back.Open();
    const std::vector<std::string>& names = back.GetNames();
    auto talk = std::find(names.begin(), names.end(), "Talk");
    ASSERT_NE(talk, names.end());
    ASSERT_TRUE(back.ChooseEntry(static_cast<int>(talk - names.begin())));
    EXPECT_EQ("03.stp", static_cast<const CPictureEffect*>(back.GetSlot(0))->GetItemName());
}

TEST_P(PresentIniTest, ChangingATypeLeavesTheFormerTypesKeys)
{
    CSupportSettings& s = *m_pSettings;
    s.Open();
    s.ChooseType(0, EFFECT_FREE_LINE);
    ASSERT_TRUE(s.SaveAsPresentSetting());
    ASSERT_TRUE(s.ChooseType(0, EFFECT_BAR));
    ASSERT_TRUE(s.SaveAsPresentSetting());
    EXPECT_EQ("BAR", Get("Support_Temporary", "Effect1"));
    EXPECT_EQ("65535", Get("Support_Temporary", "E1BarEffectColor"));
    EXPECT_EQ("4", Get("Support_Temporary", "E1BarEffectLineWidth"));
    EXPECT_EQ("1", Get("Support_Temporary", "E1BarEffectClear"));
    EXPECT_EQ("0", Get("Support_Temporary", "E1BarEffectVertical"));
    // Present Setting is rewritten whole, so only one list entry and one current flag.
    EXPECT_EQ("2", Get("Support_SectionName", "SectionNum"));
    EXPECT_EQ((std::vector<std::string>{"Present Setting", "Initial Setting"}), Names());
    EXPECT_FALSE(s.ChooseType(0, EFFECT_BAR)) << "the same type again changes nothing";
}

// On a Western system an accented last letter is a character of its own, and the blank
// after it is cut like any other.
TEST_P(PresentIniTest, RegisteringTrimsByTheSystemCodePage)
{
    m_IsLeadByte = [](unsigned char) { return false; };
    CSupportSettings& s = NewSettings();
    s.Open();
    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("Caf\xE9 ", [](const std::string&) { return true; }));
    EXPECT_EQ("Caf\xE9", Names()[0]);
    EXPECT_EQ("Support_Caf\xE9", Get("Support_SectionName", "SectionName1"));
}

TEST_P(PresentIniTest, RegisteringChoosingAndDeletingNamedSettings)
{
    CSupportSettings& s = *m_pSettings;
    s.Open();
    s.ChooseType(0, EFFECT_RECT);
    ASSERT_TRUE(s.SaveAsPresentSetting());
    ASSERT_EQ((std::vector<std::string>{"Present Setting", "Initial Setting"}), Names());
    EXPECT_FALSE(s.CanDelete());

    auto never = [](const std::string&) -> bool {
        ADD_FAILURE() << "no question expected";
        return false;
    };
    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("  Lecture\x81\x40", never));
    EXPECT_EQ((std::vector<std::string>{"Lecture", "Initial Setting"}), Names());
    EXPECT_EQ(0, s.GetSelected());
    EXPECT_TRUE(s.CanDelete());
    EXPECT_EQ("RECT", Get("Support_Lecture", "Effect1"));
    EXPECT_EQ("NOTHING", Get("Support_Temporary", "Effect1")) << "Present Setting goes";
    EXPECT_EQ("2", Get("Support_SectionName", "SectionNum"));
    // The fresh list's implicit first entry is kept in the file.
    EXPECT_EQ("Support_Defaults", Get("Support_SectionName", "SectionName0"));
    EXPECT_EQ("Support_Lecture", Get("Support_SectionName", "SectionName1"));
    EXPECT_EQ("1", Get("Support_CurrentSection", "Support_Lecture"));
    EXPECT_EQ("0", Get("Support_CurrentSection", "Support_Defaults"));

    // A second name, then back to the first by choosing it.
    s.ChooseType(0, EFFECT_LINE);
    ASSERT_TRUE(s.SaveAsPresentSetting());
    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("Demo", never));
    ASSERT_EQ((std::vector<std::string>{"Demo", "Lecture", "Initial Setting"}), Names());
    ASSERT_TRUE(s.ChooseEntry(1));
    EXPECT_EQ(EFFECT_RECT, s.GetSlot(0)->GetType());
    EXPECT_EQ("1", Get("Support_CurrentSection", "Support_Lecture"));
    EXPECT_EQ("0", Get("Support_CurrentSection", "Support_Demo"));

    // Editing makes Present Setting; choosing a named one removes it again.
    s.ChooseType(4, EFFECT_SOUND);
    ASSERT_TRUE(s.SaveAsPresentSetting());
    ASSERT_EQ((std::vector<std::string>{"Present Setting", "Demo", "Lecture", "Initial Setting"}), Names());
    ASSERT_TRUE(s.ChooseEntry(1));
    EXPECT_EQ((std::vector<std::string>{"Demo", "Lecture", "Initial Setting"}), Names());
    EXPECT_EQ(0, s.GetSelected());
    EXPECT_EQ("3", Get("Support_SectionName", "SectionNum"));

    // The list as the next start builds it.
    CSupportSettings& again = NewSettings();
    again.Open();
    EXPECT_EQ((std::vector<std::string>{"Demo", "Lecture", "Initial Setting"}), again.GetNames());
    EXPECT_EQ(0, again.GetSelected());
    EXPECT_EQ(EFFECT_LINE, again.GetSlot(0)->GetType());

    ASSERT_TRUE(again.DeleteEntry(0));
    EXPECT_EQ((std::vector<std::string>{"Lecture", "Initial Setting"}), again.GetNames());
    EXPECT_EQ(1, again.GetSelected()) << "Initial Setting becomes current";
    EXPECT_EQ("1", Get("Support_CurrentSection", "Support_Defaults"));
    EXPECT_EQ("0", Get("Support_CurrentSection", "Support_Lecture"));
    EXPECT_FALSE(again.DeleteEntry(1)) << "Initial Setting stays";
}

TEST_P(PresentIniTest, ReservedAndDuplicateNames)
{
    CSupportSettings& s = *m_pSettings;
    s.Open();
    std::vector<std::string> asked;
    auto decline = [&](const std::string& name) {
        asked.push_back(name);
        return false;
    };
    for (const char* reserved :
         {"Defaults", "TEMPORARY", "Initial Setting", "present setting", "SectionName", "currentSection"})
        EXPECT_EQ(CSupportSettings::REGISTER_RESERVED, s.Register(reserved, decline)) << reserved;
    EXPECT_EQ(CSupportSettings::REGISTER_EMPTY, s.Register(" \x81\x40 ", decline));
    EXPECT_TRUE(asked.empty());

    s.ChooseType(0, EFFECT_BAR);
    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("Talk", decline));
    EXPECT_TRUE(asked.empty());
    s.ChooseType(0, EFFECT_ELLIPSE);
    // The ini's section names ignore case: each of these would overwrite "Talk".
    for (const char* same : {"Talk", "talk", "TALK"})
        EXPECT_EQ(CSupportSettings::REGISTER_DECLINED, s.Register(same, decline)) << same;
    EXPECT_EQ((std::vector<std::string>{"Talk", "talk", "TALK"}), asked);
    EXPECT_EQ("BAR", Get("Support_Talk", "Effect1"));

    ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("talk", Yes));
    EXPECT_EQ("ELLIPSE", Get("Support_talk", "Effect1"));
    EXPECT_EQ((std::vector<std::string>{"talk", "Initial Setting"}), Names());
    EXPECT_EQ("2", Get("Support_SectionName", "SectionNum"));
    EXPECT_EQ("Support_talk", Get("Support_SectionName", "SectionName1"));
    EXPECT_EQ("NOTHING", Get("Support_SectionName", "SectionName2"));

    CSupportSettings& again = NewSettings();
    again.Open();
    EXPECT_EQ((std::vector<std::string>{"talk", "Initial Setting"}), again.GetNames());
    EXPECT_EQ(0, again.GetSelected());
    EXPECT_EQ(EFFECT_ELLIPSE, again.GetSlot(0)->GetType());
}

TEST_P(PresentIniTest, NamesThatWouldBreakOrTakeOverSectionsAreNotRegistered)
{
    CSupportSettings& s = *m_pSettings;
    s.Open();
    s.ChooseType(0, EFFECT_KEY); // Present Setting's slot 1 keeps its event in Support_Temporary_Struct10
    ASSERT_TRUE(s.SaveAsPresentSetting());
    ASSERT_EQ("33", Get("Support_Temporary_Struct10", "VirtualKeyCode0"));
    const std::string before = ReadText(m_strPath);
    auto never = [](const std::string&) -> bool {
        ADD_FAILURE() << "no question expected";
        return false;
    };
    const struct {
        const char* pszName;
        CSupportSettings::ERegisterResult result;
    } cases[] = {
        {"a=b", CSupportSettings::REGISTER_REFUSED_CHAR},   {"x;y", CSupportSettings::REGISTER_REFUSED_CHAR},
        {"[Talk]", CSupportSettings::REGISTER_REFUSED_CHAR}, {"Talk]", CSupportSettings::REGISTER_REFUSED_CHAR},
        {" =1 ", CSupportSettings::REGISTER_REFUSED_CHAR},   {"Temporary_Struct10", CSupportSettings::REGISTER_RESERVED},
        {"temporary_STRUCT10", CSupportSettings::REGISTER_RESERVED},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, s.Register(c.pszName, never)) << c.pszName;
    EXPECT_EQ(before, ReadText(m_strPath)) << "nothing written";
    EXPECT_EQ((std::vector<std::string>{"Present Setting", "Initial Setting"}), Names());
}

TEST_P(PresentIniTest, ShortcutsAreCheckedForDuplicatesAndWrittenTogether)
{
    CSupportSettings& s = *m_pSettings;
    s.Open();
    ASSERT_EQ(CSupportSettings::SHORTCUT_SET, s.SetShortcut(1, "Ctrl + Shift + P"));
    EXPECT_EQ("Ctrl + Shift + P", Get("ExecuteEffectKey", "Effect2"));
    EXPECT_EQ(Codes({17, 16, 80}), s.GetShortcut(1));
    for (const char* k : {"Effect1", "Effect3", "Effect4", "Effect5"})
        EXPECT_EQ("", Get("ExecuteEffectKey", k)) << k;

    EXPECT_EQ(CSupportSettings::SHORTCUT_DUPLICATE, s.SetShortcut(3, "Ctrl + Shift + P"));
    EXPECT_EQ("", s.GetShortcutText(3));
    EXPECT_EQ("", Get("ExecuteEffectKey", "Effect4"));
    ASSERT_EQ(CSupportSettings::SHORTCUT_SET, s.SetShortcut(3, "F6 "));
    ASSERT_EQ(CSupportSettings::SHORTCUT_SET, s.SetShortcut(4, ""));
    ASSERT_EQ(CSupportSettings::SHORTCUT_SET, s.SetShortcut(0, "")); // empty texts never clash

    // The blank of "F6 " does not survive the profile functions; the page puts it back.
    CSupportSettings& again = NewSettings();
    again.Open();
    EXPECT_EQ("F6 ", again.GetShortcutText(3));
    EXPECT_EQ(Codes({117}), again.GetShortcut(3));
    EXPECT_EQ(Codes({17, 16, 80}), again.GetShortcut(1));
    EXPECT_EQ(0, again.GetShortcut(4).nCount);
    EXPECT_EQ(CSupportSettings::SHORTCUT_DUPLICATE, again.SetShortcut(0, "F6 "));
}

TEST_P(PresentIniTest, AFailedUpdateLeavesTheFileAsItWas)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(0, EFFECT_BAR);
    ASSERT_TRUE(s.SaveAsPresentSetting());
    std::string before = ReadText(m_strPath);

    // A change that gives up half-way: nothing of it reaches the file.
    EXPECT_FALSE(m_pIni->Update([&](IProfileFile& ini) {
        ini.WriteString("Support_Temporary", "Effect1", "LINE");
        ini.DeleteSection("Support_SectionName");
        return false;
    }));
    EXPECT_EQ(before, ReadText(m_strPath));
    EXPECT_FALSE(std::ifstream(m_strPath + ".edit").good()) << "the copy is removed";

    // A write that fails (the copy cannot be written) also keeps the old file.
    std::ofstream(m_strPath + ".edit").close();
    struct SFailingProfile : CPortableProfile {
        using CPortableProfile::CPortableProfile;
        bool WriteString(const char* section, const char* key, const char* value) override
        {
            return std::string(key) == "SectionNum" ? false : CPortableProfile::WriteString(section, key, value);
        }
    };
    CIniFile failing(m_strPath,
                     [](const std::string& p) { return std::unique_ptr<IProfileFile>(new SFailingProfile(p)); });
    CSupportSettings other(failing, m_Context, UsScan, m_IsLeadByte);
    other.Open();
    other.ChooseType(2, EFFECT_LINE);
    EXPECT_FALSE(other.SaveAsPresentSetting());
    EXPECT_EQ(before, ReadText(m_strPath));
    EXPECT_EQ(2, other.GetSectionCount()) << "the count is read back from the file";
}

TEST_P(PresentIniTest, AReadOnlyIniIsNotReplaced)
{
    CSupportSettings& s = *m_pSettings;
    s.ChooseType(0, EFFECT_BAR);
    ASSERT_TRUE(s.SaveAsPresentSetting());
    const std::string before = ReadText(m_strPath);
    SetReadOnly(m_strPath, true);
    EXPECT_FALSE(m_pIni->Update([](IProfileFile& ini) { return ini.WriteString("Support_Temporary", "Effect1", "LINE"); }));
    EXPECT_EQ(before, ReadText(m_strPath));
    EXPECT_FALSE(std::ifstream(m_strPath + ".edit").good()) << "the copy is removed";
    SetReadOnly(m_strPath, false);
}

TEST_P(PresentIniTest, AnIniThatCannotBeReadIsNotTakenForAnEmptyOne)
{
#ifdef _WIN32
    GTEST_SKIP() << "needs a file whose reads fail";
#else
    // A file that opens but cannot be read: its link must not become one operation's keys.
    const std::string path = FreshIniPath();
    ASSERT_EQ(0, symlink("/proc/self/mem", path.c_str()));
    CIniFile ini(path, [](const std::string& p) { return MakeProfile(GetParam(), p); });
    EXPECT_FALSE(ini.Update([](IProfileFile& f) { return f.WriteString("Support_EffectKeys", "Effect1", "F1"); }));
    struct stat status;
    ASSERT_EQ(0, lstat(path.c_str(), &status));
    EXPECT_TRUE(S_ISLNK(status.st_mode)) << "replaced";
    std::remove(path.c_str());
#endif
}

TEST_P(PresentIniTest, FailedWritesLeaveTheScreenAsTheFileHasIt)
{
    const struct {
        const char* pszName;
        std::function<bool(CSupportSettings&)> run;
    } cases[] = {
        {"a value changed",
         [](CSupportSettings& s) {
             s.ChooseType(1, EFFECT_ELLIPSE);
             return s.SaveAsPresentSetting();
         }},
        {"an entry chosen", [](CSupportSettings& s) { return s.ChooseEntry(IndexOf(s, "Talk")); }},
        {"a name registered",
         [](CSupportSettings& s) { return s.Register("Demo", Yes) == CSupportSettings::REGISTER_DONE; }},
        {"a name registered over another",
         [](CSupportSettings& s) { return s.Register("TALK", Yes) == CSupportSettings::REGISTER_DONE; }},
        {"an entry deleted", [](CSupportSettings& s) { return s.DeleteEntry(IndexOf(s, "Talk")); }},
        {"a shortcut set",
         [](CSupportSettings& s) { return s.SetShortcut(0, "F7") == CSupportSettings::SHORTCUT_SET; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        UseFreshFile();
        CSupportSettings& ok = *m_pSettings;
        ok.ChooseType(0, EFFECT_RECT);
        ASSERT_EQ(CSupportSettings::REGISTER_DONE, ok.Register("Talk", Yes));
        ok.ChooseType(1, EFFECT_BAR);
        ASSERT_TRUE(ok.SaveAsPresentSetting());
        ASSERT_EQ(CSupportSettings::SHORTCUT_SET, ok.SetShortcut(0, "F6 "));
        const std::string before = ReadText(m_strPath);

        CIniFile failing(m_strPath,
                         [](const std::string& p) { return std::unique_ptr<IProfileFile>(new SFailingProfile(p)); });
        CSupportSettings s(failing, m_Context, UsScan, m_IsLeadByte);
        s.Open();
        SReplacementWatch watch;
        watch.Watch(s);
        EXPECT_FALSE(c.run(s));
        EXPECT_EQ(before, ReadText(m_strPath));
        watch.ExpectAllReported(s);

        CSupportSettings& stored = NewSettings();
        stored.Open();
        EXPECT_EQ(Snapshot(stored), Snapshot(s));
    }
}

TEST_P(PresentIniTest, EveryReplacedDefinitionIsReportedWhileItStillExists)
{
    const struct {
        const char* pszName;
        std::function<void(CSupportSettings&)> run;
    } cases[] = {
        {"a type chosen", [](CSupportSettings& s) { s.ChooseType(1, EFFECT_LINE); }},
        {"a slot reset", [](CSupportSettings& s) { s.ResetSlot(1); }},
        {"an entry chosen", [](CSupportSettings& s) { ASSERT_TRUE(s.ChooseEntry(IndexOf(s, "Talk"))); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        UseFreshFile();
        CSupportSettings& s = *m_pSettings;
        s.ChooseType(0, EFFECT_RECT);
        s.ChooseType(1, EFFECT_SOUND);
        ASSERT_EQ(CSupportSettings::REGISTER_DONE, s.Register("Talk", Yes));
        s.ChooseType(0, EFFECT_KEY);
        ASSERT_TRUE(s.SaveAsPresentSetting());

        SReplacementWatch watch;
        watch.Watch(s);
        c.run(s);
        EXPECT_FALSE(watch.reported.empty());
        watch.ExpectAllReported(s);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, PresentIniTest, KESTREL_PROFILE_KINDS, ProfileKindName);

} // namespace

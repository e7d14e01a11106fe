// The ini layer: start-up defaults and seeding, last-used files, ConnectMode.
#include "kestrel_ini.h"
#include "main_logic.h"
#include "network_port.h"
#include "test_profiles.h"

#include <vector>

namespace {

class KestrelIniTest : public ::testing::TestWithParam<EProfileKind> {
protected:
    void SetUp() override
    {
        m_strPath = FreshIniPath();
        m_pIni = MakeProfile(GetParam(), m_strPath);
    }
    bool Has(const char* section, const char* key) { return m_pIni->GetString(section, key, "NOTHING") != "NOTHING"; }
    std::string Get(const char* section, const char* key) { return m_pIni->GetString(section, key, "NOTHING"); }
    // A profile of its own over a fresh file holding text.
    std::unique_ptr<IProfileFile> ProfileOf(const std::string& text)
    {
        std::string path = FreshIniPath();
        WriteText(path, text);
        return MakeProfile(GetParam(), path);
    }

    std::string m_strPath;
    std::unique_ptr<IProfileFile> m_pIni;
};

TEST_P(KestrelIniTest, DeletedIniIsRecreatedWithDefaultsAndSeed)
{
    EnsureIniDefaults(*m_pIni);

    EXPECT_EQ("0", Get("ConnectStatus", "ConnectMode"));
    EXPECT_EQ(0, ReadConnectMode(*m_pIni));
    for (const char* key : {"Effect1", "Effect2", "Effect3", "Effect4", "Effect5"})
        EXPECT_EQ("", Get("ExecuteEffectKey", key)) << key;
    for (const char* key : {"SoundFile", "ControlFile", "PatternFile", "UserlogoFile"})
        EXPECT_EQ("", Get("CurrentDirectry", key)) << key;
    EXPECT_FALSE(Has("CurrentDirectry", "CursorStampFile"));

    std::vector<SProfileLine> lines = ParseProfileText(ReadText(m_strPath));
    int previous = -1;
    for (const SIniDefault& seed : kSupportSeed) {
        SCOPED_TRACE(std::string(seed.pszSection) + "/" + seed.pszKey);
        EXPECT_EQ(seed.pszValue, Get(seed.pszSection, seed.pszKey));
        int at = FindProfileKey(lines, seed.pszSection, seed.pszKey);
        EXPECT_GT(at, previous) << "seed written out of order";
        previous = at;
    }
}

TEST_P(KestrelIniTest, SecondStartChangesNothing)
{
    EnsureIniDefaults(*m_pIni);
    std::string first = ReadText(m_strPath);
    EnsureIniDefaults(*m_pIni);
    EXPECT_EQ(first, ReadText(m_strPath));
}

TEST_P(KestrelIniTest, ExistingSupportDefaultsEffect1LeavesSeedingAlone)
{
    WriteText(m_strPath, "[Support_Defaults]\r\nEffect1=LINE\r\n");
    EnsureIniDefaults(*m_pIni);

    EXPECT_EQ("LINE", Get("Support_Defaults", "Effect1"));
    for (const SIniDefault& seed : kSupportSeed) {
        if (std::string(seed.pszKey) == "Effect1")
            continue;
        EXPECT_FALSE(Has(seed.pszSection, seed.pszKey)) << seed.pszSection << "/" << seed.pszKey;
    }
    // The other three checks still run.
    EXPECT_EQ("0", Get("ConnectStatus", "ConnectMode"));
    EXPECT_TRUE(Has("ExecuteEffectKey", "Effect5"));
    EXPECT_TRUE(Has("CurrentDirectry", "UserlogoFile"));
}

TEST_P(KestrelIniTest, PresentValuesSurviveDamagedGroups)
{
    WriteText(m_strPath, "[connectstatus]\r\nConnectMode=1\r\n"
                         "[ExecuteEffectKey]\r\nEffect3=Ctrl + Shift + P\r\n"
                         "[CurrentDirectry]\r\nPatternFile=C:\\Patterns\\grid.bmp\r\n"
                         "[Support_SectionName]\r\nSectionNum=3\r\n");
    EnsureIniDefaults(*m_pIni);

    EXPECT_EQ(1, ReadConnectMode(*m_pIni));
    EXPECT_EQ("Ctrl + Shift + P", Get("ExecuteEffectKey", "Effect3"));
    EXPECT_EQ("", Get("ExecuteEffectKey", "Effect1"));
    EXPECT_EQ("", Get("ExecuteEffectKey", "Effect5"));
    EXPECT_EQ("C:\\Patterns\\grid.bmp", Get("CurrentDirectry", "PatternFile"));
    EXPECT_EQ("", Get("CurrentDirectry", "SoundFile"));
    EXPECT_EQ("3", Get("Support_SectionName", "SectionNum"));
    EXPECT_EQ("CUSTOM_CURSOR", Get("Support_Defaults", "Effect1"));
}

TEST_P(KestrelIniTest, GroupWithItsFirstKeyPresentIsNotTouched)
{
    WriteText(m_strPath, "[ExecuteEffectKey]\r\nEffect1=F6\r\n[CurrentDirectry]\r\nSoundFile=a.wav\r\n");
    EnsureIniDefaults(*m_pIni);
    EXPECT_FALSE(Has("ExecuteEffectKey", "Effect2"));
    EXPECT_FALSE(Has("CurrentDirectry", "ControlFile"));
}

TEST_P(KestrelIniTest, ConnectModeAtStartUp)
{
    const struct {
        const char* pszFile;
        int nMode;
        EStartConnect start;
    } cases[] = {
        {"[ConnectStatus]\r\nConnectMode=0\r\n", 0, START_CONNECT},
        {"[ConnectStatus]\r\nConnectMode=1\r\n", 1, START_UNCONNECTED},
        {"[ConnectStatus]\r\nConnectMode=7\r\n", 7, START_NEITHER},
        {"[ConnectStatus]\r\nConnectMode=\r\n", 1, START_UNCONNECTED},
        {"[ConnectStatus]\r\nConnectMode=yes\r\n", 0, START_CONNECT},
        {"[Other]\r\nConnectMode=0\r\n", 1, START_UNCONNECTED},
        {"", 1, START_UNCONNECTED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszFile);
        auto ini = ProfileOf(c.pszFile);
        int mode = ReadConnectMode(*ini);
        EXPECT_EQ(c.nMode, mode);
        EXPECT_EQ(c.start, GetStartConnect(mode));
    }
}

TEST_P(KestrelIniTest, KeptPortIsReadWithFallbackOne)
{
    const struct {
        const char* pszFile;
        unsigned int nPort;
    } cases[] = {
        {"", 1},
        {"[ConnectStatus]\r\nConnectMode=0\r\n", 1},
        {"[ConnectStatus]\r\nPort=7\r\n", 7},
        {"[ConnectStatus]\r\nPort=256\r\n", 256},
        {"[ConnectStatus]\r\nPort=257\r\n", 1},
        {"[ConnectStatus]\r\nPort=0\r\n", 1},
        {"[ConnectStatus]\r\nPort=-3\r\n", 1},
        {"[ConnectStatus]\r\nPort=COM7\r\n", 1},
        {"[Other]\r\nPort=7\r\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszFile);
        auto ini = ProfileOf(c.pszFile);
        EXPECT_EQ(c.nPort, ReadKeptPort(*ini).nPort);
    }
}

TEST_P(KestrelIniTest, KeptNetworkPortNeedsASoundAddress)
{
    // Port names the network port; without a sound NetworkPort the serial ports are searched
    // from COM1, never a half-read address.
    const struct {
        const char* pszFile;
        unsigned int nPort;
        const char* pszAddress;
    } cases[] = {
        {"[ConnectStatus]\r\nPort=Network\r\nNetworkPort=10.0.0.5:4001\r\n", kNetworkPort, "10.0.0.5:4001"},
        {"[ConnectStatus]\r\nPort=network\r\nNetworkPort=server-3.example:23\r\n", kNetworkPort, "server-3.example:23"},
        {"[ConnectStatus]\r\nPort=Network\r\nNetworkPort= 127.0.0.1:0080 \r\n", kNetworkPort, "127.0.0.1:80"},
        {"[ConnectStatus]\r\nPort=Network\r\n", 1, ""},
        {"[ConnectStatus]\r\nPort=Network\r\nNetworkPort=\r\n", 1, ""},
        {"[ConnectStatus]\r\nPort=Network\r\nNetworkPort=10.0.0.5\r\n", 1, ""},
        {"[ConnectStatus]\r\nPort=Network\r\nNetworkPort=10.0.0.5:70000\r\n", 1, ""},
        {"[ConnectStatus]\r\nPort=Network\r\nNetworkPort=bad host:23\r\n", 1, ""},
        {"[ConnectStatus]\r\nPort=Network\r\nNetworkPort=\x01\xff:23\r\n", 1, ""},
        // A COM port kept: the address stays to be offered again.
        {"[ConnectStatus]\r\nPort=3\r\nNetworkPort=10.0.0.5:4001\r\n", 3, "10.0.0.5:4001"},
        {"[ConnectStatus]\r\nPort=Networks\r\nNetworkPort=10.0.0.5:4001\r\n", 1, "10.0.0.5:4001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszFile);
        auto ini = ProfileOf(c.pszFile);
        SKeptPort kept = ReadKeptPort(*ini);
        EXPECT_EQ(c.nPort, kept.nPort);
        EXPECT_EQ(c.pszAddress, kept.strNetworkAddress);
    }
}

TEST_P(KestrelIniTest, KeptNetworkPortRoundTripsAndAComPortKeepsTheAddress)
{
    EnsureIniDefaults(*m_pIni);
    EXPECT_TRUE(WriteKeptPort(*m_pIni, kNetworkPort, "10.0.0.5:4001"));
    EXPECT_EQ("Network", Get("ConnectStatus", "Port"));
    EXPECT_EQ("10.0.0.5:4001", Get("ConnectStatus", "NetworkPort"));
    SKeptPort kept = ReadKeptPort(*m_pIni);
    EXPECT_EQ(kNetworkPort, kept.nPort);
    EXPECT_EQ("10.0.0.5:4001", kept.strNetworkAddress);

    EXPECT_TRUE(WriteKeptPort(*m_pIni, 7, "10.0.0.5:4001"));
    EXPECT_EQ("7", Get("ConnectStatus", "Port"));
    EXPECT_EQ("10.0.0.5:4001", Get("ConnectStatus", "NetworkPort"));
    EXPECT_EQ(7u, ReadKeptPort(*m_pIni).nPort);
}

TEST_P(KestrelIniTest, KeptPortIsWrittenBesideConnectMode)
{
    EnsureIniDefaults(*m_pIni);
    EXPECT_FALSE(Has("ConnectStatus", "Port")) << "a fresh file keeps today's COM1 by absence";
    EXPECT_TRUE(WriteKeptPort(*m_pIni, 12, ""));
    EXPECT_EQ("12", Get("ConnectStatus", "Port"));
    EXPECT_FALSE(Has("ConnectStatus", "NetworkPort"));
    EXPECT_EQ(12u, ReadKeptPort(*m_pIni).nPort);
    EXPECT_EQ("0", Get("ConnectStatus", "ConnectMode"));
    ToggleConnectMode(*m_pIni, 0);
    EXPECT_EQ(12u, ReadKeptPort(*m_pIni).nPort) << "the toggle leaves the port alone";
}

TEST_P(KestrelIniTest, DefaultsOfAFreshFileMakeItConnect)
{
    EnsureIniDefaults(*m_pIni);
    EXPECT_EQ(START_CONNECT, GetStartConnect(ReadConnectMode(*m_pIni)));
}

TEST_P(KestrelIniTest, ToggleWritesTheNewModeAtOnce)
{
    const struct {
        int nCurrent;
        int nNew;
        const char* pszStored;
    } cases[] = {
        {1, 0, "0"},
        {0, 1, "1"},
        {7, 1, "1"},
        {-1, 1, "1"},
    };
    EnsureIniDefaults(*m_pIni);
    for (const auto& c : cases) {
        EXPECT_EQ(c.nNew, ToggleConnectMode(*m_pIni, c.nCurrent));
        EXPECT_EQ(c.pszStored, Get("ConnectStatus", "ConnectMode"));
        EXPECT_EQ(c.nNew, ReadConnectMode(*m_pIni));
    }
}

TEST_P(KestrelIniTest, EffectMonitorChoiceRoundTripsUnderItsOwnKey)
{
    EnsureIniDefaults(*m_pIni);
    EXPECT_EQ(0, ReadEffectMonitor(*m_pIni));
    ASSERT_TRUE(WriteEffectMonitor(*m_pIni, 1));
    EXPECT_EQ("1", Get("ExecuteEffectKey", "EffectMonitor"));
    EXPECT_EQ(1, ReadEffectMonitor(*m_pIni));
    // The shortcuts beside it stay as they were.
    for (const char* key : {"Effect1", "Effect2", "Effect3", "Effect4", "Effect5"})
        EXPECT_EQ("", Get("ExecuteEffectKey", key)) << key;
    ASSERT_TRUE(WriteEffectMonitor(*m_pIni, 0));
    EXPECT_EQ(0, ReadEffectMonitor(*m_pIni));
    m_pIni->WriteString("ExecuteEffectKey", "EffectMonitor", "7");
    EXPECT_EQ(0, ReadEffectMonitor(*m_pIni));
}

TEST_P(KestrelIniTest, FileSettingsRoundTrip)
{
    EnsureIniDefaults(*m_pIni);
    SKestrelSettings saved;
    saved.strSoundFile = "C:\\Sounds\\chime.wav";
    saved.strControlFile = "D:\\Shows\\hall a.kst";
    saved.strPatternFile = "";
    saved.strLogoFile = "E:\\logo=new.lgo";
    saved.strCursorStampFile = "C:\\Kestrel\\set1.csp";
    ASSERT_TRUE(SaveFileSettings(*m_pIni, saved));

    SKestrelSettings loaded;
    loaded.strPatternFile = "stale";
    LoadFileSettings(*m_pIni, loaded);
    EXPECT_EQ(saved.strSoundFile, loaded.strSoundFile);
    EXPECT_EQ(saved.strControlFile, loaded.strControlFile);
    EXPECT_EQ(saved.strPatternFile, loaded.strPatternFile);
    EXPECT_EQ(saved.strLogoFile, loaded.strLogoFile);
    EXPECT_EQ(saved.strCursorStampFile, loaded.strCursorStampFile);

    // Saving again rewrites the keys instead of adding more.
    saved.strSoundFile = "C:\\other.wav";
    ASSERT_TRUE(SaveFileSettings(*m_pIni, saved));
    std::vector<SProfileLine> lines = ParseProfileText(ReadText(m_strPath));
    int soundKeys = 0;
    for (const SProfileLine& l : lines)
        soundKeys += l.kind == SProfileLine::KEY && l.strName == "SoundFile";
    EXPECT_EQ(1, soundKeys);
    LoadFileSettings(*m_pIni, loaded);
    EXPECT_EQ("C:\\other.wav", loaded.strSoundFile);
}

TEST_P(KestrelIniTest, LoadingTakesOnlyTheFileKeys)
{
    WriteText(m_strPath,
              "[CurrentDirectry]\r\nSoundFile=s.wav\r\nConnectMode=0\r\n[ConnectStatus]\r\nConnectMode=0\r\n");
    SKestrelSettings settings;
    settings.strLogoFile = "stale";
    LoadFileSettings(*m_pIni, settings);
    EXPECT_EQ("s.wav", settings.strSoundFile);
    EXPECT_EQ("", settings.strLogoFile);
    EXPECT_EQ("", settings.strCursorStampFile);
    EXPECT_EQ(1, settings.nConnectMode) << "file settings must not read ConnectMode";
}

TEST_P(KestrelIniTest, LongFileNamesAreCutToThePathLimit)
{
    std::string longName = "C:\\" + std::string(400, 'n') + ".wav";
    WriteText(m_strPath, "[CurrentDirectry]\r\nSoundFile=" + longName + "\r\n");
    SKestrelSettings settings;
    LoadFileSettings(*m_pIni, settings);
    EXPECT_EQ(longName.substr(0, kIniMaxPath - 1), settings.strSoundFile);
}

TEST_P(KestrelIniTest, DamagedFilesStillGiveDefaults)
{
    const std::string damaged[] = {
        "\x01\x02\xff\xfe garbage without lines",
        "[ConnectStatus\r\nConnectMode=1\r\n", // broken header: key has no section
        "ConnectMode=1\r\nSoundFile=x\r\n",    // keys before any section
        "[]\r\n=\r\n==\r\n[\r\n]\r\n",
        std::string(10000, '['),
    };
    for (const std::string& text : damaged) {
        SCOPED_TRACE(text);
        auto ini = ProfileOf(text);
        EnsureIniDefaults(*ini);
        EXPECT_EQ(0, ReadConnectMode(*ini));
        EXPECT_EQ("CUSTOM_CURSOR", ini->GetString("Support_Defaults", "Effect1", ""));
        SKestrelSettings settings;
        LoadFileSettings(*ini, settings);
        EXPECT_EQ("", settings.strSoundFile);
    }
}

TEST_P(KestrelIniTest, UnwritableFileKeepsDefaultsInEffect)
{
    auto ini = MakeProfile(GetParam(), ::testing::TempDir() + "k4_missing_folder/x/Kestrel4.ini");
    EnsureIniDefaults(*ini);
    EXPECT_EQ(1, ReadConnectMode(*ini));
    SKestrelSettings settings;
    settings.strSoundFile = "a.wav";
    EXPECT_FALSE(SaveFileSettings(*ini, settings));
    LoadFileSettings(*ini, settings);
    EXPECT_EQ("", settings.strSoundFile);
}

INSTANTIATE_TEST_SUITE_P(Backends, KestrelIniTest, KESTREL_PROFILE_KINDS, ProfileKindName);

TEST(GetIniPathTest, BesideTheProgramFile)
{
    const struct {
        const char* pszModule;
        const char* pszIni;
    } cases[] = {
        {"C:\\Program Files\\Kestrel\\Kestrel4.exe", "C:\\Program Files\\Kestrel\\Kestrel4.ini"},
        {"\\\\server\\share\\k\\KESTREL4.EXE", "\\\\server\\share\\k\\Kestrel4.ini"},
        {"/opt/kestrel/bin/kestrel4", "/opt/kestrel/bin/Kestrel4.ini"},
        {"C:Kestrel4.exe", "C:Kestrel4.ini"},
        {"Kestrel4.exe", "Kestrel4.ini"},
        {"C:\\dir.with.dots\\prog", "C:\\dir.with.dots\\Kestrel4.ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszIni, GetIniPath(c.pszModule)) << c.pszModule;
}

TEST(GetIniPathTest, TooLongForThePathLimitGivesNoPath)
{
    std::string folder = "C:\\" + std::string(kIniMaxPath - 1 - 3 - 1 - 12, 'd') + "\\";
    EXPECT_EQ(kIniMaxPath - 1, GetIniPath(folder + "Kestrel4.exe").size());
    EXPECT_EQ("", GetIniPath("C:\\" + std::string(kIniMaxPath, 'd') + "\\Kestrel4.exe"));
    EXPECT_EQ("", GetIniPath(folder + "x\\Kestrel4.exe"));
}

#ifdef _WIN32
TEST(GetIniPathTest, RunningProgramsFolder)
{
    std::string module = GetModulePath();
    std::string ini = GetIniPath(module);
    ASSERT_FALSE(ini.empty());
    EXPECT_EQ(module.substr(0, module.find_last_of('\\') + 1) + "Kestrel4.ini", ini);
}
#endif

} // namespace

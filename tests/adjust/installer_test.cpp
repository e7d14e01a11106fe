// The installer-only mode, setting files and page resets against the simulated projector.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

#include "installer_rules.h"
#include "model_fixture.h"
#include "page_reset.h"
#include "setting_file.h"
#include "zelq_items.h"

namespace {

const uint16_t kLockWord0 = 0x1D00;

class Installer : public SettingModelFixture {
protected:
    ~Installer() override
    {
        for (const std::string& path : m_Paths) {
            std::remove(path.c_str());
            std::remove((path + ".new").c_str());
            rmdir((path + ".new").c_str());
            rmdir(path.c_str());
        }
    }
    void ConnectChain(int projectors)
    {
        SSimulatorOptions options;
        options.nProjectors = projectors;
        ConnectWith(options);
    }
    int Establish(bool on)
    {
        const unsigned char bytes[2] = {0, static_cast<unsigned char>(on ? 1 : 0)};
        if (!m_Model.SetItem(1, 1, kItemStackEstablish, bytes, 2))
            return 0;
        const unsigned char zero = 0;
        return m_Link.Transact(1, 2, 1, kItemStackQuery, &zero, 1);
    }
    std::string TempPath(const char* name)
    {
        std::string path = testing::TempDir() + "kestrel_" + name + "_" + std::to_string(getpid()) + ".kst";
        m_Paths.push_back(path);
        return path;
    }
    static std::vector<unsigned char> FileBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
    // The items of the set commands with their parameters.
    std::vector<SSeen> Sets() const
    {
        std::vector<SSeen> sets;
        for (const SSeen& s : Received())
            if (!s.apply && s.attr == 1)
                sets.push_back(s);
        return sets;
    }

    // A file whose listed slots hold a projector each: Volume 10, every other cell 0.
    static std::vector<unsigned char> Image(std::vector<int> slots = {1})
    {
        std::vector<unsigned char> image(CSettingTable::kBytes, 0);
        for (int slot : slots)
            Put(image, slot, kItemVolume, 10);
        return image;
    }
    static void Put(std::vector<unsigned char>& image, int slot, uint16_t code, int32_t value)
    {
        size_t at = (slot - 1) * 4096 + (code >> 8) * 128 + (code & 0xFF) * 4;
        for (int i = 0; i < 4; ++i)
            image[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
    }

    std::vector<std::string> m_Paths;
};

// ---- stacks ----

TEST_F(Installer, StackStateFollowsEstablishAndCancel)
{
    ConnectChain(3);
    EXPECT_EQ(m_Connection.IsStackMode(), 0);
    EXPECT_EQ(m_Connection.ProjectorCount(), 1);

    ASSERT_EQ(Establish(true), 1);
    EXPECT_EQ(m_Connection.IsStackMode(), 1);
    EXPECT_EQ(m_Connection.ProjectorCount(), 3);
    EXPECT_EQ(m_Model.GetItemValue(kItemStackPosition, 1), 0x21 + 0x20 * 3) << "(0x20 x 4) + 1";
    EXPECT_EQ(m_Model.GetItemValue(kItemStackPosition, 3), 0x80);
    EXPECT_EQ(m_Model.GetItemValue(kItemStackPosition, 4), 0);

    // Stacked, the panel adjusts projector 2 through stack frames to it.
    m_Connection.SelectProjector(2);
    ASSERT_EQ(m_Model.SetItemValue(1, -1, kItemBrightness, 12), 1);
    EXPECT_TRUE(Received().back().stack);
    EXPECT_EQ(Received().back().to, 2);
    long long value = 0;
    ASSERT_TRUE(m_pSim->GetValue(2, kItemBrightness, value));
    EXPECT_EQ(value, 12);
    ASSERT_TRUE(m_pSim->GetValue(1, kItemBrightness, value));
    EXPECT_EQ(value, 0);

    m_Connection.SelectProjector(3);
    ASSERT_EQ(Establish(false), 1);
    EXPECT_EQ(m_Connection.IsStackMode(), 0) << "byte 1 = 0x11 is no stack";
    EXPECT_EQ(m_Connection.ProjectorCount(), 1);
    EXPECT_EQ(m_Connection.CurrentProjector(), 1) << "projector 3 is gone";
}

TEST_F(Installer, ConnectingReadsAnEstablishedStack)
{
    ConnectChain(4);
    ASSERT_EQ(Establish(true), 1);
    m_Link.Close();
    ASSERT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(m_Connection.IsStackMode(), 1);
    EXPECT_EQ(m_Connection.ProjectorCount(), 4);
}

// ---- locks ----

TEST_F(Installer, ReadLockSettingsSkipsByModel)
{
    struct SCase {
        const char* model;
        size_t entries;
        bool srs, blackWhite;
    } cases[] = {{"KT-C310", 56, true, true}, {"KT-B212", 52, false, false}};
    for (const SCase& c : cases) {
        Connect(c.model);
        m_Model.ReadLockSettings();
        std::vector<SSeen> gets;
        for (const SSeen& s : Received())
            if (!s.apply && s.attr == 2 && s.item == kItemLock)
                gets.push_back(s);
        EXPECT_EQ(gets.size(), c.entries) << c.model;
        bool srs = false, blackWhite = false;
        for (const SSeen& s : gets) {
            uint16_t code = static_cast<uint16_t>(s.param[0] << 8 | s.param[1]);
            srs = srs || code == kItemSrsSpace || code == kItemSrsCenter;
            blackWhite = blackWhite || code == kItemBlackLevel || code == kItemWhiteLevel;
        }
        EXPECT_EQ(srs, c.srs) << c.model;
        EXPECT_EQ(blackWhite, c.blackWhite) << c.model;
    }
}

TEST_F(Installer, BigKeyLocksTheProjectorAndTheMasksFollow)
{
    ConnectChain(2);
    ASSERT_EQ(Establish(true), 1);
    ASSERT_EQ(m_Model.ReadAllLockSettings(), 1);
    ASSERT_EQ(SendLockEntries(m_Model, 2, BigKeyEntries(FUNCTION_AUDIO, m_Connection.Model()), true), 1);
    EXPECT_EQ(m_pSim->GetLock(2, kItemVolume, 0), 1);
    EXPECT_EQ(m_pSim->GetLock(2, kLockResetAudio, 0), 1);
    EXPECT_EQ(m_pSim->GetLock(1, kItemVolume, 0), 0) << "locks are per projector";
    EXPECT_TRUE(IsFunctionLocked(m_Model, 2, FUNCTION_AUDIO));
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 2), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 1), 0);

    // Read back into a fresh table: the masks come from the projector.
    m_Model.Table().Clear();
    ASSERT_EQ(m_Model.ReadLockSettings(2), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 2), 1);

    std::vector<SInstallerItem> items = FunctionItems(FUNCTION_AUDIO);
    ASSERT_EQ(SendLockEntries(m_Model, 2, SmallKeyEntries(items[0]), false), 1);
    EXPECT_FALSE(IsItemLockedFor(m_Model, 2, items[0]));
    EXPECT_TRUE(IsItemLockedFor(m_Model, 2, items[1]));
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 2), 0);
}

TEST_F(Installer, GammaLocksFollowTheProjectorAndFiles)
{
    Connect();
    ASSERT_EQ(m_Model.ReadLockSettings(), 1);
    ASSERT_EQ(SendLockEntries(m_Model, 1, SmallKeyEntries(FunctionItems(FUNCTION_GAMMA)[0]), true), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_GAMMA, 1), 1);

    // Started again: every mask comes from the projector, the gamma parameters' too.
    m_Link.Close();
    ASSERT_EQ(m_Connection.Connect(), 1);
    m_Model.Table().Clear();
    ASSERT_EQ(m_Model.ReadLockSettings(), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_GAMMA, 1), 1);
    EXPECT_TRUE(IsFunctionLocked(m_Model, 1, FUNCTION_GAMMA));

    // Opened with locks, a file frees or locks all four codes on the projector.
    const uint16_t gamma[] = {kItemGamma, kItemGammaParameter1, kItemGammaParameter2, kItemGammaParameter3};
    std::vector<unsigned char> image = Image();
    ASSERT_TRUE(ApplySettingFile(m_Model, image, true).Complete());
    for (uint16_t code : gamma)
        EXPECT_EQ(m_pSim->GetLock(1, code, 0), 0) << std::hex << code;
    EXPECT_FALSE(IsFunctionLocked(m_Model, 1, FUNCTION_GAMMA));
    image[0x1D * 128 + 6 * 4 + 1] = 0x71; // group 6: bits 8, 12, 13 and 14
    ASSERT_TRUE(ApplySettingFile(m_Model, image, true).Complete());
    for (uint16_t code : gamma)
        EXPECT_EQ(m_pSim->GetLock(1, code, 0), 1) << std::hex << code;
    EXPECT_EQ(m_Model.IsPageLocked(TAB_GAMMA, 1), 1);
}

TEST_F(Installer, ReportsDuringLockWalksStartNoWalkOfTheirOwn)
{
    Connect();
    ASSERT_EQ(m_Model.ReadLockSettings(), 1);
    ASSERT_TRUE(m_pSim->SetValue(1, kItemInput, 33));
    struct SWalk {
        const char* name;
        std::function<int()> run;
    } walks[] = {
        {"read back", [&] { return m_Model.ReadLockSettings(1); }},
        {"sent from the table", [&] { return m_Model.SendLockSettings(1); }},
        {"Big Key", [&] { return SendLockEntries(m_Model, 1, BigKeyEntries(FUNCTION_SETTING, m_Connection.Model()), true); }},
    };
    for (const SWalk& w : walks) {
        SCOPED_TRACE(w.name);
        m_Model.PutItemValue(kItemInput, 16, 1);
        m_pSim->Log().Clear();
        // The input report comes while the walk's first command waits for its answer.
        m_pSim->PushFaults({{EFault::Late, 400}});
        m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, kItemInput, {33}}, 100);
        EXPECT_EQ(w.run(), 1);
        EXPECT_EQ(m_Model.GetItemValue(kItemInput, 1), 33) << "the report was taken";
        for (uint16_t item : Commands(2))
            EXPECT_EQ(item, kItemLock) << "a query of the input's items inside the walk";
    }
}

TEST_F(Installer, LocksAreInForceOnceReadBackFromEachProjector)
{
    ConnectChain(3);
    ASSERT_EQ(Establish(true), 1);
    ASSERT_EQ(SendLockEntries(m_Model, 2, BigKeyEntries(FUNCTION_AUDIO, m_Connection.Model()), true), 1);
    ASSERT_EQ(SendLockEntries(m_Model, 1, {{kItemKeystone, 0}}, true), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 2), 0) << "not read back yet";
    EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, 1), 0);

    ASSERT_EQ(m_Model.ReadProjectorSettings(), 1);
    int asked[5] = {};
    for (const SSeen& s : Received())
        if (!s.apply && s.attr == 2 && s.item == kItemLock && s.to >= 1 && s.to <= 4)
            ++asked[s.to];
    EXPECT_EQ(asked[1], 56);
    EXPECT_EQ(asked[2], 56);
    EXPECT_EQ(asked[3], 56);
    EXPECT_EQ(asked[4], 0);

    struct SCase {
        int projector;
        int audioPage, keystone;
    } read[] = {{1, 0, 1}, {2, 1, 0}, {3, 0, 0}};
    for (const SCase& c : read) {
        EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, c.projector), c.audioPage) << c.projector;
        EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, c.projector), c.keystone) << c.projector;
        // The pages ask for the projector they show.
        m_Connection.SelectProjector(c.projector);
        EXPECT_EQ(m_Model.IsItemLocked(kItemVolume, 0, -1), c.audioPage) << c.projector;
    }

    ASSERT_EQ(Establish(false), 1);
    EXPECT_EQ(m_Model.IsItemLocked(kItemVolume, 0, 2), 0) << "projector 2 is no longer addressed";
    EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, 1), 1);

    // Identified again: the masks may be another projector's until they are read back.
    ASSERT_EQ(Establish(true), 1);
    m_Link.Close();
    ASSERT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 2), 0);
    EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, 1), 0);
    ASSERT_EQ(m_Model.ReadAllLockSettings(), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 2), 1);
    EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, 1), 1);

    // A read that breaks off leaves that projector's locks out of force.
    m_pSim->PushFaults({{EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    EXPECT_EQ(m_Model.ReadLockSettings(1), 0);
    EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, 1), 0);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 2), 1);
}

TEST_F(Installer, RefusedOrUnansweredLockEntriesFail)
{
    // A projector without the installer-only mode refuses every entry; the walk goes on.
    Connect("KT-B212");
    EXPECT_EQ(SendLockEntries(m_Model, 1, BigKeyEntries(FUNCTION_SETTING, m_Connection.Model()), true), 0);
    EXPECT_EQ(Commands(1).size(), BigKeyEntries(FUNCTION_SETTING, m_Connection.Model()).size());

    // Without an answer it stops at once.
    Connect();
    m_pSim->PushFault({EFault::AckOnly, 0});
    EXPECT_EQ(SendLockEntries(m_Model, 1, BigKeyEntries(FUNCTION_SETTING, m_Connection.Model()), true), 0);
    EXPECT_EQ(m_pSim->GetLock(1, kItemKeystone, 0), 1) << "taken, but the answer never came";
    EXPECT_EQ(m_pSim->GetLock(1, kItemPictureInPicture, 0), 0) << "nothing after the unanswered entry";
}

TEST_F(Installer, PasswordAndSettingComplete)
{
    Connect();
    m_pSim->SetPassword("secret");
    auto padded = [](const std::string& text) {
        std::vector<unsigned char> bytes(16, 0);
        std::copy(text.begin(), text.end(), bytes.begin());
        return bytes;
    };
    EXPECT_EQ(m_Model.SetItem(0, 1, kItemPassword, padded("wrong").data(), 16), 0);
    EXPECT_EQ(m_Model.SetItem(0, 1, kItemPassword, padded("secret").data(), 16), 1);
    ASSERT_EQ(m_Model.QueryItem(0, 1, kItemPasswordChange), 1);
    EXPECT_EQ(std::vector<unsigned char>(m_Connection.Receiver().Reply().Parameter,
                                         m_Connection.Receiver().Reply().Parameter + 16),
              padded("secret"));
    EXPECT_EQ(m_Model.SetItem(0, 1, kItemPasswordChange, padded("other").data(), 16), 1);
    EXPECT_EQ(m_pSim->Password(), "other");
    EXPECT_EQ(m_Model.SetItem(0, 1, kItemSettingComplete, nullptr, 0), 1);
    EXPECT_EQ(m_pSim->SettingCompletes(), 1u);
}

TEST_F(Installer, SetPointsReachTheProjector)
{
    Connect();
    ASSERT_EQ(SendSetPoint(m_Model, 1, kItemBlackLevel, 40), 1);
    std::vector<SSeen> sets = Sets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].item, kItemColorSetting);
    long long value = 0;
    ASSERT_TRUE(m_pSim->GetValue(1, kItemBlackLevel, value));
    EXPECT_EQ(value, 40);
    ASSERT_EQ(SendSetPoint(m_Model, 1, kItemTracking, -300), 1);
    ASSERT_TRUE(m_pSim->GetValue(1, kItemTracking, value));
    EXPECT_EQ(value, -300);
    EXPECT_EQ(SendSetPoint(m_Model, 1, kItemResolution, 35), 0) << "preset 3 is empty: refused";
    EXPECT_EQ(Sets().back().param, std::vector<uint8_t>{130});
}

// ---- setting files ----

TEST_F(Installer, FileSendsEverySendableItemAndKeepsTheLocks)
{
    Connect();
    ASSERT_EQ(m_Model.ReadLockSettings(), 1);
    m_Model.PutItemValue(kLockWord0 + 3, 0x01, 1); // Brightness of the computer input locked
    m_Model.PutItemValue(kItemVolume, 20, 1);
    ASSERT_TRUE(ApplySettingFile(m_Model, Image(), false).Complete());
    EXPECT_EQ(m_Model.GetItemValue(kLockWord0 + 3, 1), 0x01);

    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    std::vector<SSeen> sets = Sets();
    size_t sent = 0;
    for (unsigned int i = 0; i < count; ++i) {
        if (!list[i].bSent || !IsItemOfModel(list[i].wCode, m_Connection.Model()))
            continue;
        bool found = false;
        for (const SSeen& s : sets)
            if (s.item == list[i].wCode) {
                found = true;
                for (uint8_t b : s.param)
                    EXPECT_EQ(b, s.item == kItemVolume ? 10 : 0) << std::hex << s.item;
            }
        EXPECT_EQ(found, list[i].wCode != kItemBrightness) << std::hex << list[i].wCode;
        sent += found;
    }
    EXPECT_EQ(sets.size(), sent) << "nothing but the sendable items";
    EXPECT_FALSE(Has(Commands(1), kItemLock));
    EXPECT_FALSE(Commands(2).empty()) << "read back after sending";
}

TEST_F(Installer, ShortFileChangesOnlyItsLeadingPart)
{
    Connect();
    m_Model.PutItemValue(kItemVolume, 9, 1);     // group 2: offset 256
    m_Model.PutItemValue(kItemBrightness, 7, 1); // group 3: offset 384
    std::vector<unsigned char> head(300, 0);
    head[256] = 5;
    EXPECT_TRUE(ApplySettingFile(m_Model, head, false).Complete());
    long long value = 0;
    ASSERT_TRUE(m_pSim->GetValue(1, kItemVolume, value));
    EXPECT_EQ(value, 5);
    ASSERT_TRUE(m_pSim->GetValue(1, kItemBrightness, value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(m_Model.GetItemValue(kItemVolume, 1), 5);
    EXPECT_EQ(m_Model.GetItemValue(kItemBrightness, 1), 7);
}

TEST_F(Installer, WalksOnAClosedLinkFailEvenAfterAnAnswer)
{
    Connect();
    ASSERT_EQ(m_Model.QueryItem(0, 1, kItemVolume), 1);
    EXPECT_EQ(m_Connection.Receiver().ReplyState(), REPLY_ANSWERED);
    m_Link.Close();
    EXPECT_EQ(m_Connection.Receiver().ReplyState(), 0);
    EXPECT_EQ(ApplySettingFile(m_Model, Image(), false).ok, 0);
    EXPECT_EQ(m_Model.SendAllSettings(1), 0);
    EXPECT_EQ(m_Model.QueryAllSettings(1), 0);
    EXPECT_EQ(m_Model.ReadLockSettings(), 0);

    Connect();
    ASSERT_EQ(m_Model.QueryItem(0, 1, kItemVolume), 1);
    EXPECT_EQ(m_Model.QueryItem(0, 7, kItemVolume), 0);
    EXPECT_EQ(m_Connection.Receiver().ReplyState(), 0) << "a bad projector sends nothing and hears nothing";
}

TEST_F(Installer, SaveAndReadFiles)
{
    Connect();
    std::string path = TempPath("save");
    m_Model.PutItemValue(kItemVolume, 17, 1);
    m_Model.PutItemValue(kItemTracking, -2, 2);
    ASSERT_TRUE(SaveSettingFile(m_Model, path));
    std::vector<unsigned char> bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), CSettingTable::kBytes);
    EXPECT_EQ(bytes[0x0200 / 256 * 128 + 0], 17);
    const size_t tracking = 4096 + 3 * 128 + 3 * 4;
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + tracking, bytes.begin() + tracking + 4),
              (std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF}));

    std::vector<unsigned char> read;
    ASSERT_TRUE(ReadSettingFile(path, read));
    EXPECT_EQ(read, bytes);

    // A save that cannot write leaves the previous file byte for byte.
    m_Model.PutItemValue(kItemVolume, 3, 1);
    ASSERT_EQ(mkdir((path + ".new").c_str(), 0700), 0);
    EXPECT_FALSE(SaveSettingFile(m_Model, path));
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_FALSE(SaveSettingFile(m_Model, testing::TempDir() + "no/such/folder/x.kst"));

    // A read that fails leaves the buffer as it was.
    std::vector<unsigned char> kept = {1, 2, 3};
    EXPECT_FALSE(ReadSettingFile(path + ".new", kept)) << "a folder cannot be read";
    EXPECT_FALSE(ReadSettingFile(path + ".missing", kept));
    EXPECT_EQ(kept, (std::vector<unsigned char>{1, 2, 3}));
}

TEST_F(Installer, SavingKeepsTheTargetsProtections)
{
    Connect();
    m_Model.PutItemValue(kItemVolume, 17, 1);
    const std::vector<unsigned char> old(CSettingTable::kBytes, 7);
    auto make = [&](const char* name, mode_t mode) {
        std::string path = TempPath(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(old.data()), old.size());
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        return path;
    };
    // Read-only: refused, untouched.
    std::string locked = make("readonly", 0444);
    EXPECT_FALSE(SaveSettingFile(m_Model, locked));
    EXPECT_EQ(FileBytes(locked), old);
    chmod(locked.c_str(), 0644);

    // Its permissions stay.
    std::string kept = make("mode", 0640);
    ASSERT_TRUE(SaveSettingFile(m_Model, kept));
    struct stat status;
    ASSERT_EQ(stat(kept.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(FileBytes(kept)[2 * 128], 17);

    // Through a symbolic link: the target is replaced, the link stays.
    std::string target = make("target", 0644);
    std::string link = TempPath("link");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(SaveSettingFile(m_Model, link));
    ASSERT_EQ(lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode)) << "the link was replaced by a file";
    EXPECT_EQ(FileBytes(target)[2 * 128], 17);
}

TEST_F(Installer, OpeningWithLocksSendsAndReadsThemBack)
{
    ConnectChain(2);
    ASSERT_EQ(Establish(true), 1);
    std::vector<unsigned char> image = Image({1, 2});
    // Projector 2's slot locks Keystone (group 6, item 0x0F).
    const size_t keystone = 4096 + 0x1D * 128 + 6 * 4;
    image[keystone + 1] = 0x80;
    ASSERT_TRUE(ApplySettingFile(m_Model, image, true).Complete());
    EXPECT_EQ(m_pSim->GetLock(2, kItemKeystone, 0), 1);
    EXPECT_EQ(m_pSim->GetLock(1, kItemKeystone, 0), 0);
    EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, 2), 1);
}

TEST_F(Installer, OpeningWithLocksReachesASingleProjector)
{
    Connect();
    std::vector<unsigned char> image = Image();
    image[0x1D * 128 + 6 * 4 + 1] = 0x80; // Keystone of projector 1
    ASSERT_TRUE(ApplySettingFile(m_Model, image, true).Complete());
    EXPECT_EQ(m_pSim->GetLock(1, kItemKeystone, 0), 1);
    EXPECT_EQ(m_Model.IsItemLocked(kItemKeystone, 0, -1), 1) << "read back, so in force";
}

TEST_F(Installer, EmptySlotsAreNeitherSentNorTaken)
{
    // A slot holds a projector when any of its 4096 bytes is not 0.
    const std::vector<unsigned char> image = Image({2});
    struct SCase {
        std::vector<unsigned char> bytes;
        int slot;
        bool empty;
    } cases[] = {
        {image, 1, true},  {image, 2, false}, {image, 3, true}, {image, 0, true}, {image, 5, true},
        {std::vector<unsigned char>(300, 0), 1, true}, {std::vector<unsigned char>(4097, 1), 2, false},
        {std::vector<unsigned char>(4096, 1), 2, true},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(IsEmptySlot(c.bytes, c.slot), c.empty) << c.bytes.size() << " bytes, slot " << c.slot;

    // A file saved from projector 2 opened into a stack: projector 1 keeps its own values.
    ConnectChain(2);
    ASSERT_EQ(Establish(true), 1);
    ASSERT_TRUE(m_pSim->SetValue(1, kItemVolume, 16));
    ASSERT_TRUE(m_pSim->SetValue(1, kItemKeystone, 5));
    ASSERT_EQ(m_Model.QueryAllSettings(1), 1);
    m_pSim->Log().Clear();
    SFileResult result = ApplySettingFile(m_Model, image, false);
    EXPECT_TRUE(result.Complete());
    EXPECT_EQ(result.skipped, std::vector<int>{1});
    EXPECT_FALSE(Sets().empty());
    for (const SSeen& s : Sets())
        EXPECT_EQ(s.to, 2) << std::hex << s.item;
    for (uint16_t code : {kItemVolume, kItemKeystone}) {
        long long value = 0;
        ASSERT_TRUE(m_pSim->GetValue(1, code, value));
        EXPECT_EQ(value, code == kItemVolume ? 16 : 5) << std::hex << code;
        EXPECT_EQ(m_Model.GetItemValue(code, 1), value) << std::hex << code;
    }
    EXPECT_EQ(m_Model.GetItemValue(kItemVolume, 2), 10);

    // A single projector whose slot is empty gets nothing at all.
    Connect();
    result = ApplySettingFile(m_Model, image, false);
    EXPECT_EQ(result.skipped, std::vector<int>{1});
    EXPECT_TRUE(Sets().empty());
}

TEST_F(Installer, ADamagedFileSendsNothingAndLeavesThePagesAsTheyWere)
{
    // Brightness and Volume go in one signed byte: 255 would arrive as -1, 200 as -56.
    const struct {
        uint16_t item;
        int32_t value;
    } cases[] = {{kItemBrightness, 255}, {kItemVolume, 200}, {kItemBrightness, -129}};
    Connect();
    ASSERT_TRUE(m_pSim->SetValue(1, kItemBrightness, 2));
    ASSERT_EQ(m_Model.QueryAllSettings(1), 1);
    const int32_t volume = m_Model.GetItemValue(kItemVolume, 1);
    for (const auto& c : cases) {
        std::vector<unsigned char> image = Image();
        Put(image, 1, kItemVolume, volume + 1);
        Put(image, 1, c.item, c.value);
        m_pSim->Log().Clear();
        SFileResult result = ApplySettingFile(m_Model, image, false);
        EXPECT_TRUE(result.damaged) << std::hex << c.item << " " << std::dec << c.value;
        EXPECT_FALSE(result.Complete());
        EXPECT_TRUE(Sets().empty()) << "nothing of a damaged file goes out";
        EXPECT_EQ(m_Model.GetItemValue(kItemBrightness, 1), 2);
        EXPECT_EQ(m_Model.GetItemValue(kItemVolume, 1), volume);
    }
    // The same file undamaged goes whole.
    std::vector<unsigned char> image = Image();
    Put(image, 1, kItemBrightness, -5);
    EXPECT_TRUE(ApplySettingFile(m_Model, image, false).Complete());
    EXPECT_EQ(m_Model.GetItemValue(kItemBrightness, 1), -5);
}

TEST_F(Installer, ALongerFileShowsAsOne)
{
    std::string path = TempPath("long");
    std::ofstream(path, std::ios::binary) << std::string(20000, '\1');
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ReadSettingFile(path, bytes));
    EXPECT_GT(bytes.size(), CSettingTable::kBytes) << "a file that is not a table must not pass for one";
}

TEST_F(Installer, AFileNotTakenWholeLeavesTheProjectorsValues)
{
    Connect();
    ASSERT_TRUE(m_pSim->SetValue(1, kItemBrightness, 2));
    ASSERT_EQ(m_Model.QueryAllSettings(1), 1);
    const int32_t input = m_Model.GetItemValue(kItemInput, 1);
    std::vector<unsigned char> image = Image();
    Put(image, 1, kItemBrightness, 9);
    Put(image, 1, kItemInput, input == 33 ? 16 : 33);

    // A refused value: the rest goes, the refusal is named, the table is the projector's.
    ASSERT_EQ(m_pSim->Execute("range 0x0300 0 5"), "");
    SFileResult refused = ApplySettingFile(m_Model, image, false);
    EXPECT_EQ(refused.ok, 1);
    EXPECT_FALSE(refused.Complete());
    ASSERT_EQ(refused.refused.size(), 1u);
    EXPECT_EQ(refused.refused[0].wCode, kItemBrightness);
    EXPECT_EQ(m_Model.GetItemValue(kItemBrightness, 1), 2);
    EXPECT_EQ(m_Model.GetItemValue(kItemVolume, 1), 10) << "the values it took";

    // A link lost midway: the file's input and values are not shown as the projector's.
    m_pSim->PushFaults({SFault(), SFault(), SFault{EFault::AckOnly}});
    SFileResult lost = ApplySettingFile(m_Model, image, false);
    EXPECT_EQ(lost.ok, 0);
    EXPECT_EQ(m_Model.GetItemValue(kItemInput, 1), input);
    EXPECT_EQ(m_Model.GetItemValue(kItemBrightness, 1), 2);
}

TEST_F(Installer, AFileCutOffMidwayLeavesWhatTheProjectorTookOnThePages)
{
    Connect();
    ASSERT_TRUE(m_pSim->SetValue(1, kItemTracking, -50));
    ASSERT_TRUE(m_pSim->SetValue(1, kItemSync, 5));
    ASSERT_EQ(m_Model.QueryAllSettings(1), 1);
    const int32_t volume = m_Model.GetItemValue(kItemVolume, 1);
    std::vector<unsigned char> image = Image();
    Put(image, 1, kItemTracking, 100);
    Put(image, 1, kItemSync, 20);
    // Tracking and Sync. are the first values sent and taken; then answers stop, for the
    // third value and for the first query of the read that should follow.
    m_pSim->PushFaults({SFault(), SFault(), SFault{EFault::AckOnly}, SFault{EFault::AckOnly}});
    SFileResult lost = ApplySettingFile(m_Model, image, false);
    EXPECT_EQ(lost.ok, 0);
    for (uint16_t code : {kItemTracking, kItemSync}) {
        long long held = 0;
        ASSERT_TRUE(m_pSim->GetValue(1, code, held));
        EXPECT_EQ(held, code == kItemTracking ? 100 : 20) << std::hex << code;
        EXPECT_EQ(m_Model.GetItemValue(code, 1), held) << std::hex << code << ": the projector took it";
    }
    EXPECT_EQ(m_Model.GetItemValue(kItemVolume, 1), volume) << "never sent: the value read before";
}

TEST_F(Installer, OpeningWithLocksSendsTheValuesBeforeTheLocks)
{
    Connect();
    ASSERT_EQ(m_Model.ReadLockSettings(), 1);
    m_pSim->Log().Clear();
    std::vector<unsigned char> image = Image();
    Put(image, 1, kItemKeystone, 5);
    Put(image, 1, kLockWord0 + 6, 0x8000); // Keystone locked
    ASSERT_TRUE(ApplySettingFile(m_Model, image, true).Complete());
    long long keystone = 0;
    ASSERT_TRUE(m_pSim->GetValue(1, kItemKeystone, keystone));
    EXPECT_EQ(keystone, 5) << "the locked set point is the file's";
    EXPECT_EQ(m_pSim->GetLock(1, kItemKeystone, 0), 1);

    // The lock walk breaks off at its first entry: no mask counts as the projector's.
    size_t values = 0;
    for (const SSeen& s : Sets()) {
        if (s.item == kItemLock)
            break;
        ++values;
    }
    ASSERT_GT(values, 0u);
    std::vector<SFault> faults(values);
    faults.push_back({EFault::AckOnly});
    m_pSim->PushFaults(faults);
    Put(image, 1, kLockWord0 + 3, 0x01); // Brightness locked too
    EXPECT_EQ(ApplySettingFile(m_Model, image, true).ok, 0);
    EXPECT_FALSE(m_Model.LocksInForce(1));
    EXPECT_EQ(m_Model.IsItemLocked(kItemBrightness, 0, 1), 0);
}

TEST_F(Installer, FilesLeaveTheRuntimeStateAlone)
{
    Connect();
    struct SCell {
        uint16_t code;
        int32_t held, file;
    } cells[] = {
        {kItemPower, 0x01, 0x11},         {kItemResetAll, 1, 0}, {kItemWarnings, 0, 4},
        {kItemStackPosition, 0x21, 0x80}, {0x1B00, 7, 9},        {0x1B0F, 3, 1},
    };
    std::vector<unsigned char> image = Image();
    for (const SCell& c : cells) {
        m_Model.PutItemValue(c.code, c.held, 1);
        Put(image, 1, c.code, c.file);
    }
    ASSERT_TRUE(ApplySettingFile(m_Model, image, false).Complete());
    for (const SCell& c : cells)
        EXPECT_EQ(m_Model.GetItemValue(c.code, 1), c.held) << std::hex << c.code;
}

// ---- page resets ----

class PageReset : public Installer, public IItemListener {
protected:
    PageReset() { m_Connection.SetItemListener(this); }
    ~PageReset() override { m_Connection.SetItemListener(nullptr); }
    void OnItemChanged(uint16_t item, bool fromProjector, int) override { m_Wait.OnItemChanged(item, fromProjector); }
    std::vector<uint16_t> Resets(EResetPage page)
    {
        m_pSim->Log().Clear();
        EXPECT_EQ(ResetPage(m_Model, page, m_Wait, 20000), 1);
        return Commands(3);
    }
    CResolutionWait m_Wait;
};

TEST_F(PageReset, ListsAndTheirExceptions)
{
    Connect();
    using Codes = std::vector<uint16_t>;
    m_Model.PutItemValue(kItemInput, 16, 1);
    // NTSC: Tint available. The projector's value too: the resolution's signal report re-reads it.
    m_Model.PutItemValue(kItemVideoSignal, 1, 1);
    m_pSim->SetValue(1, kItemVideoSignal, 1);
    EXPECT_EQ(Resets(RESET_SETTING), (Codes{0x060F, 0x0603, 0x0612, 0x0708, 0x0611, 0x0604})) << "never BNC";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Resets(RESET_VIDEO_COMPUTER),
              (Codes{0x030E, 0x0303, 0x0302, 0x0300, 0x0301, 0x030D, 0x0306, 0x0307, 0x0308, 0x0500, 0x0501}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << "the signal report ends the wait";
    EXPECT_FALSE(m_Wait.IsWaiting());
    EXPECT_EQ(Resets(RESET_VIDEO_VIDEO), (Codes{0x0400, 0x0401, 0x0403, 0x0404, 0x0402, 0x0500, 0x0501}));
    EXPECT_EQ(Resets(RESET_AUDIO), (Codes{0x0200, 0x0207, 0x0206, 0x0208, 0x0209}));
    EXPECT_EQ(Resets(RESET_ADVANCED), (Codes{0x0610, 0x050A, 0x0504, 0x0508, 0x0509, 0x0502, 0x0503, 0x0010, 0x0405}));
    EXPECT_EQ(Resets(RESET_GAMMA), (Codes{0x0608}));

    m_Model.PutItemValue(kItemInput, 64, 1);
    EXPECT_EQ(Resets(RESET_VIDEO_COMPUTER), (Codes{0x0302, 0x0300, 0x0301, 0x030D, 0x0306, 0x0307, 0x0500, 0x0501}));
    m_Model.PutItemValue(kItemVideoSignal, 0, 1);
    m_Model.PutItemValue(kItemSignal, 0, 1);
    m_pSim->SetValue(1, kItemVideoSignal, 0);
    EXPECT_FALSE(Has(Resets(RESET_VIDEO_VIDEO), kItemTint)) << "no Tint without a signal that has it";
}

TEST_F(PageReset, LocksSkipItemsAndEnableTheButton)
{
    Connect();
    ASSERT_EQ(m_Model.ReadLockSettings(), 1);
    ASSERT_EQ(SendLockEntries(m_Model, 1, {{kItemKeystone, 0}, {kItemGamma, 0}}, true), 1);
    EXPECT_FALSE(Has(Resets(RESET_SETTING), kItemKeystone));
    EXPECT_EQ(Resets(RESET_GAMMA), std::vector<uint16_t>{kItemGamma}) << "Gamma without the lock test";

    m_Model.PutItemValue(kItemSignal, 1, 1);
    struct SCase {
        int tab;
        bool enabled;
    } open[] = {{TAB_VIDEO, true},    {TAB_AUDIO, true},  {TAB_SETTING, true},
                {TAB_ADVANCED, true}, {TAB_ABOUT, false}, {TAB_GAMMA, false}};
    for (const SCase& c : open)
        EXPECT_EQ(IsResetEnabled(m_Model, c.tab), c.enabled) << c.tab;
    ASSERT_EQ(SendLockEntries(
                  m_Model, 1,
                  {{kLockResetVideo, 0}, {kLockResetAudio, 0}, {kLockResetSetting, 0}, {kLockResetAdvanced, 0}}, true),
              1);
    EXPECT_FALSE(IsResetEnabled(m_Model, TAB_VIDEO));
    EXPECT_FALSE(IsResetEnabled(m_Model, TAB_AUDIO));
    EXPECT_FALSE(IsResetEnabled(m_Model, TAB_SETTING));
    EXPECT_TRUE(IsResetEnabled(m_Model, TAB_ADVANCED)) << "Advanced needs the effect reset locked too";
    ASSERT_EQ(SendLockEntries(m_Model, 1, {{kLockResetEffect, 0}}, true), 1);
    EXPECT_FALSE(IsResetEnabled(m_Model, TAB_ADVANCED));
}

TEST_F(PageReset, AnUnansweredResetStopsTheWalk)
{
    Connect();
    m_pSim->Log().Clear();
    m_pSim->PushFaults({SFault(), SFault{EFault::AckOnly}});
    EXPECT_EQ(ResetPage(m_Model, RESET_AUDIO, m_Wait, 1000), 0);
    EXPECT_EQ(Commands(3).size(), 2u);
}

TEST_F(PageReset, ResetAllStartsTheBusyReports)
{
    SSimulatorOptions options;
    options.timing.bTimed = true;
    options.timing.nBusyMs = 200;
    options.nPower = 0x01;
    ConnectWith(options);
    m_Model.PutItemValue(kItemVolume, 5, 1);
    // The busy report follows the answer at once and must not hide it.
    EXPECT_EQ(ResetAll(m_Model), 1);
    ASSERT_FALSE(Sets().empty());
    EXPECT_EQ(Sets().back().item, kItemResetAll);
    EXPECT_EQ(Sets().back().param, std::vector<uint8_t>{0});
    ASSERT_TRUE(m_Link.WaitUntil([&] { return m_Model.GetItemValue(kItemResetAll, 1) == 1; }, 5000));
}

} // namespace

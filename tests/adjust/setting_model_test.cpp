// The setting model against the simulated projector, wired as the main window wires it:
// the connection's receiving handlers feed the model.
#include "model_fixture.h"
#include "zelq_items.h"

namespace {

using SettingModel = SettingModelFixture;

// ---- values and projector arguments ----

TEST_F(SettingModel, SignedValuesSurviveSetsQueriesAndReports)
{
    Connect();
    ASSERT_EQ(m_Model.SetItemValue(0, 1, 0x0300, -10), 1);
    EXPECT_EQ(Received().back().param, std::vector<uint8_t>{0xF6});
    EXPECT_EQ(m_Model.GetItemValue(0x0300, 1), -10) << "the answer to a set stores the sent value, signed";
    ASSERT_EQ(m_Model.SetItemValue(0, 1, 0x0500, -200), 1);
    EXPECT_EQ(Received().back().param, (std::vector<uint8_t>{0xFF, 0x38}));
    EXPECT_EQ(m_Model.GetItemValue(0x0500, 1), -200);

    m_pSim->SetValue(1, 0x0303, -200);
    ASSERT_EQ(m_Model.QueryItem(0, 1, 0x0303), 1);
    EXPECT_EQ(m_Model.GetItemValue(0x0303, 1), -200);
    Report(0x0700, {0xF6});
    EXPECT_EQ(m_Model.GetItemValue(0x0700, 1), -10);

    struct SCase {
        uint16_t item;
        std::vector<uint8_t> bytes;
        int32_t stored;
    } cases[] = {
        {0x0700, {0xFF, 0xFF, 0xFE}, 0xFFFFFE},
        {0x0700, {0xFF, 0xFF, 0xFF, 0xF6}, -10},
        {0x030E, {0x82}, 130}, // a preset choice is not a negative number
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(Apply(2, c.item, c.bytes), 1);
        EXPECT_EQ(m_Model.GetItemValue(c.item, 2), c.stored) << std::hex << c.item << " " << c.bytes.size();
    }
}

TEST_F(SettingModel, ProjectorArgumentsAddressesAndChainedOk)
{
    Connect();
    m_Connection.SelectProjector(0);
    m_Model.PutItemValue(0x0301, 7, 0);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(m_Model.GetItemValue(0x0301, p), 7) << "projector 0 writes every slot";
    m_Model.PutItemValue(0x0301, 3, 1);
    m_Model.PutItemValue(0x0301, 4, 3);
    EXPECT_EQ(m_Model.GetItemValue(0x0301, -1), 3) << "no current projector reads slot 0";
    EXPECT_EQ(m_Model.GetItemValue(0x0301, 0), 3);
    m_Connection.SelectProjector(3);
    EXPECT_EQ(m_Model.GetItemValue(0x0301, -1), 4);

    m_Model.PutItemValue(0x0301, 99, 5);
    m_Model.PutItemValue(0x0301, 99, -2);
    for (int p = 1; p <= 4; ++p)
        EXPECT_NE(m_Model.GetItemValue(0x0301, p), 99);
    EXPECT_EQ(m_Model.GetItemValue(0x0301, 5), -1);
    EXPECT_EQ(m_Model.GetItemValue(0x0301, -7), -1);

    EXPECT_EQ(m_Model.SetItemValue(0, 5, 0x0301, 1), 0);
    EXPECT_EQ(m_Model.QueryItem(0, -2, 0x0301), 0);
    EXPECT_EQ(m_Model.IsItemLocked(0x0301, 0, 5), -1);

    // ok = 0 sends nothing either.
    EXPECT_EQ(m_Model.SetItemValue(1, 2, 0x0301, 5, 0), 0);
    EXPECT_EQ(m_Model.QueryItem(1, 2, 0x0301, 0), 0);
    EXPECT_EQ(m_Model.ResetItem(1, 2, 0x0301, 0), 0);
    EXPECT_EQ(m_Model.SendAllSettings(1, 0), 0);
    EXPECT_EQ(m_Model.QueryAllSettings(1, 0), 0);
    EXPECT_EQ(m_Model.QueryInputItems(1, 0), 0);
    EXPECT_EQ(m_Model.QuerySignalItems(1, 0), 0);
    EXPECT_TRUE(Received().empty());

    // Addresses: the current projector, and 0xFF for all.

    m_Connection.SelectProjector(3);
    EXPECT_EQ(m_Model.SetItemValue(1, -1, 0x0301, 5), 1);
    EXPECT_EQ(m_Model.SetItemValue(1, 0, 0x0302, 9), 1);
    std::vector<SSeen> seen = Received();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].to, 3);
    EXPECT_EQ(seen[1].to, 0x0F) << "projector 0 is address 0xFF";
    EXPECT_EQ(m_Model.GetItemValue(0x0301, 3), 5);
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(m_Model.GetItemValue(0x0302, p), 9) << "an answer from address 0 is every projector's";

    m_pSim->SetValue(3, 0x0301, 12);
    EXPECT_EQ(m_Model.ResetItem(1, 3, 0x0301), 1);
    EXPECT_EQ(m_Model.GetItemValue(0x0301, 3), 0) << "the reset answer carries the factory value";
}

// ---- what the model takes from the projector ----

TEST_F(SettingModel, AcceptanceRules)
{
    Connect();
    struct SCase {
        uint16_t item;
        std::vector<uint8_t> bytes;
        int input;
        int taken;
        ESettingPage page;
    } cases[] = {
        {0x0003, {0x01}, 16, 1, PAGE_NONE},
        {0x0003, {0x00, 0x01}, 16, 0, PAGE_NONE},
        {0x030E, {0x00, 0x05}, 16, 0, PAGE_NONE},
        {0x030F, {0x02}, 16, 1, PAGE_VIDEO_COMPUTER},
        {0x0009, {0x05, 0xDC}, 16, 1, PAGE_ABOUT},
        {0x0009, {0x05}, 16, 0, PAGE_NONE},
        {0x0310, {1, 0, 2}, 16, 1, PAGE_ABOUT},
        {0x0310, {0, 2}, 16, 0, PAGE_NONE},
        {0x0304, {0x05, 0x40}, 16, 1, PAGE_VIDEO_COMPUTER},
        {0x0304, {0x05}, 16, 0, PAGE_NONE},
        {0x0012, {0x00}, 16, 0, PAGE_NONE},
        {0x0012, {0x80}, 16, 1, PAGE_NONE},
        {0x030A, {0, 0, 0x12, 0xE5}, 16, 0, PAGE_NONE},
        {0x030B, {0x04}, 16, 0, PAGE_NONE},
        {0x0302, {70}, 16, 0, PAGE_NONE},
        {0x0302, {63}, 16, 1, PAGE_VIDEO_COMPUTER},
        {0x0303, {0x7F, 0xFF}, 16, 0, PAGE_NONE},
        {0x0303, {0x7F, 0xFE}, 16, 1, PAGE_VIDEO_COMPUTER},
        {0x0509, {0x01}, 16, 0, PAGE_NONE},
        {0x0509, {0xC1}, 16, 1, PAGE_ADVANCED},
        {0x0608, {0x03}, 16, 0, PAGE_NONE},
        {0x0405, {0x09}, 16, 0, PAGE_NONE},
        {0x0500, {0xFF, 0x38}, 16, 1, PAGE_VIDEO_COMPUTER},
        {0x0501, {0x00, 0x10}, 33, 1, PAGE_VIDEO_VIDEO},
        {0x0500, {0x00, 0x01, 0x00, 0x00}, 16, 0, PAGE_NONE},
        {0x0404, {0xF1}, 34, 1, PAGE_VIDEO_VIDEO},
        {0x0720, {1, 2, 3, 4}, 16, 1, PAGE_NONE},
    };
    for (const SCase& c : cases) {
        m_Model.PutItemValue(0x0100, c.input, 1);
        m_Model.PutItemValue(c.item, 0x5A5A, 1);
        m_View.shown.clear();
        SCOPED_TRACE(testing::Message() << std::hex << "item " << c.item << " bytes " << c.bytes.size());
        EXPECT_EQ(Apply(1, c.item, c.bytes), c.taken);
        if (!c.taken) {
            EXPECT_EQ(m_Model.GetItemValue(c.item, 1), 0x5A5A) << "refused values are not stored";
            EXPECT_TRUE(m_View.shown.empty());
            continue;
        }
        EXPECT_NE(m_Model.GetItemValue(c.item, 1), 0x5A5A);
        if (c.page == PAGE_NONE) {
            EXPECT_TRUE(m_View.shown.empty());
        } else {
            ASSERT_EQ(m_View.shown.size(), 1u);
            EXPECT_EQ(m_View.shown[0].page, c.page);
        }
    }
}

TEST_F(SettingModel, ReportsAreAnsweredAndShownOnlyForTheCurrentProjector)
{
    Connect();
    Report(0x0302, {70});
    Report(0x0302, {10});
    std::vector<SSeen> answers;
    for (const SSeen& s : Received())
        if (s.apply)
            answers.push_back(s);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_TRUE(answers[0].refused) << "70 is beyond Sync.";
    EXPECT_FALSE(answers[1].refused);
    EXPECT_EQ(m_Model.GetItemValue(0x0302, 1), 10);
    ASSERT_EQ(m_View.shown.size(), 1u);

    Report(0x0302, {20}, true, 2);
    EXPECT_EQ(m_Model.GetItemValue(0x0302, 2), 20);
    EXPECT_EQ(m_Model.GetItemValue(0x0302, 1), 10);
    EXPECT_EQ(m_View.shown.size(), 1u) << "projector 2 is not the one the pages show";
}

TEST_F(SettingModel, MultiByteReplies)
{
    Connect();
    // The answers to the queries, as the projector wrote them.
    ASSERT_EQ(m_Model.QueryItem(0, 1, 0x030A), 1);
    ASSERT_EQ(m_Model.QueryItem(0, 1, 0x030B), 1);
    std::vector<uint8_t> frequencies = Written(0x030A), resolution = Written(0x030B);
    ASSERT_EQ(frequencies.size(), 8u);
    ASSERT_EQ(resolution.size(), 8u);
    auto word = [](const std::vector<uint8_t>& b, size_t at) {
        return static_cast<int32_t>(uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]);
    };
    EXPECT_EQ(m_Model.GetItemValue(0x1A00, 1), word(frequencies, 0));
    EXPECT_EQ(m_Model.GetItemValue(0x1A01, 1), word(frequencies, 4));
    EXPECT_EQ(m_Model.GetItemValue(0x1A02, 1), word(resolution, 0));
    EXPECT_EQ(m_Model.GetItemValue(0x1A03, 1), word(resolution, 4));
    Report(0x030A, {0, 0, 0x12, 0xE5, 0, 0, 0x17, 0x6A}, true, 3);
    EXPECT_EQ(m_Model.GetItemValue(0x1A00, 3), 4837);
    EXPECT_EQ(m_Model.GetItemValue(0x1A01, 3), 5994);

    // Preset 1 registered, the others empty; reported from address 0, so every slot.
    std::vector<uint8_t> presets;
    for (int n = 0; n < 5; ++n) {
        std::vector<uint8_t> record(15, 0);
        record[0] = record[1] = 0xFF;
        if (n == 1)
            record = {0x04, 0x00, 0x03, 0x00, 0x00, 0x00, 0x12, 0xE5, 0x17, 0x70, 0x00, 0x01, 0x00, 0x02, 0x03};
        presets.insert(presets.end(), record.begin(), record.end());
    }
    Report(0x0311, presets, true, 0);
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(m_Model.GetItemValue(0x1C04, p), 0x03000400);
        EXPECT_EQ(m_Model.GetItemValue(0x1C05, p), 0x000012E5);
        EXPECT_EQ(m_Model.GetItemValue(0x1C06, p), 0x00011770);
        EXPECT_EQ(m_Model.GetItemValue(0x1C07, p), 0x00030002);
        EXPECT_EQ(m_Model.IsPresetRegistered(0, p), 0);
        EXPECT_EQ(m_Model.IsPresetRegistered(1, p), 1);
    }

    std::vector<uint8_t> sets(48);
    for (size_t i = 0; i < sets.size(); ++i)
        sets[i] = static_cast<uint8_t>(i + 1);
    Report(0x000D, sets);
    EXPECT_EQ(m_Model.GetItemValue(0x1B00, 1), 0x010203);
    EXPECT_EQ(m_Model.GetItemValue(0x1B0F, 1), 0x2E2F30);

    // Wrong lengths store nothing.
    int32_t before = m_Model.GetItemValue(0x1C04, 1);
    presets.pop_back();
    Report(0x0311, presets);
    Report(0x030A, {0, 0, 0, 1, 0, 0, 0}, true, 3);
    sets.push_back(0);
    Report(0x000D, sets);
    EXPECT_EQ(m_Model.GetItemValue(0x1C04, 1), before);
    EXPECT_EQ(m_Model.GetItemValue(0x1A00, 3), 4837);
    EXPECT_EQ(m_Model.GetItemValue(0x1B00, 1), 0x010203);
}

TEST_F(SettingModel, ResolutionChoiceFromTheProjector)
{
    Connect();
    struct SCase {
        int value;
        int index;
    } cases[] = {{130, 35}, {40, -1}, {32, 32}, {132, 37}};
    for (const SCase& c : cases) {
        ASSERT_TRUE(m_pSim->SetValue(1, 0x030E, c.value));
        ASSERT_EQ(m_Model.QueryItem(0, 1, 0x030E), 1);
        EXPECT_EQ(ResolutionIndex(m_Model.GetItemValue(0x030E, 1)), c.index) << c.value;
        if (c.index >= 0) {
            EXPECT_EQ(ResolutionValue(c.index), c.value);
        }
    }
}

// ---- input and signal ----

TEST_F(SettingModel, InputAndSignalState)
{
    Connect();
    struct SCase {
        uint8_t input, signal, standard;
        int computer, valid, tint;
    } cases[] = {
        {16, 1, 0, 1, 1, 0},   {64, 1, 0, 1, 1, 0},   {33, 224, 0, 0, 1, 1}, {34, 225, 0, 0, 1, 1},
        {33, 231, 0, 0, 1, 1}, {33, 226, 0, 0, 1, 0}, {33, 233, 0, 0, 1, 0}, {33, 234, 0, 0, 0, 0},
        {33, 223, 0, 0, 0, 0}, {33, 0, 1, 0, 0, 1},   {33, 0, 2, 0, 0, 1},   {33, 0, 8, 0, 0, 1},
        {33, 224, 3, 0, 1, 0}, {16, 2, 0, 1, 0, 0},
    };
    m_Connection.SelectProjector(2);
    for (const SCase& c : cases) {
        // The bytes come as the projector sends them: 224 arrives as a negative byte.
        Apply(2, 0x0100, {c.input});
        Apply(2, 0x0101, {c.signal});
        Apply(2, 0x0405, {c.standard});
        SCOPED_TRACE(testing::Message() << int(c.input) << "/" << int(c.signal) << "/" << int(c.standard));
        EXPECT_EQ(m_Model.GetInputCode(), c.input);
        EXPECT_EQ(m_Model.IsComputerInput(), c.computer);
        EXPECT_EQ(m_Model.IsSignalValid(), c.valid);
        EXPECT_EQ(m_Model.IsTintAvailable(), c.tint);
    }
}

// ---- bulk walks ----

TEST_F(SettingModel, SignalAndInputItemsFollowTheInput)
{
    Connect();
    const std::vector<uint16_t> video = {0x0500, 0x0501, 0x0405, 0x0101};
    const std::vector<uint16_t> computer = {0x0500, 0x0501, 0x0304, 0x0303, 0x0302, 0x030E,
                                            0x0311, 0x030A, 0x030B, 0x0310, 0x0405, 0x0101};
    for (int input : {16, 33, 34, 64}) {
        m_Model.PutItemValue(0x0100, input, 1);
        m_pSim->Log().Clear();
        EXPECT_EQ(m_Model.QuerySignalItems(1), 1);
        EXPECT_EQ(Commands(2), input == 33 || input == 34 ? video : computer) << input;
    }

    // The input walk reads the input last, so the projector's own input decides the signal walk.
    m_Model.PutItemValue(0x0100, 33, 1);
    ASSERT_TRUE(m_pSim->SetValue(1, 0x0100, 33));
    m_pSim->Log().Clear();
    EXPECT_EQ(m_Model.QueryInputItems(1), 1);
    std::vector<uint16_t> asked = Commands(2);
    std::vector<uint16_t> expected = {0x0200, 0x0207, 0x0206, 0x0208, 0x0209, 0x050A, 0x0504, 0x0508,
                                      0x0509, 0x0400, 0x0401, 0x0403, 0x0404, 0x0402, 0x0101, 0x0100};
    expected.insert(expected.end(), video.begin(), video.end());
    EXPECT_EQ(asked, expected);

    m_Model.PutItemValue(0x0100, 16, 1);
    ASSERT_TRUE(m_pSim->SetValue(1, 0x0100, 16));
    m_pSim->Log().Clear();
    EXPECT_EQ(m_Model.QueryInputItems(1), 1);
    asked = Commands(2);
    EXPECT_TRUE(Has(asked, 0x0300) && Has(asked, 0x030D) && Has(asked, 0x0308));
    EXPECT_FALSE(Has(asked, 0x0400) || Has(asked, 0x0404));
}

TEST_F(SettingModel, SendAllSettingsPushesTheTable)
{
    Connect();
    unsigned int count;
    const SMasterEntry* list = MasterList(count);
    // Values inside every range (Tracking's even), negative where the range allows it.
    for (unsigned int i = 0; i < count; ++i) {
        const SSettingItem* item = FindSettingItem(list[i].wCode);
        if (item && item->eRule == RULE_RANGE)
            m_Model.PutItemValue(item->wCode, item->nMin < 0 ? item->nMin + 2 : item->nMax - 1, 1);
    }
    m_Model.PutItemValue(0x030E, 5, 1);
    ASSERT_EQ(m_Model.SendAllSettings(1), 1);
    std::vector<uint16_t> sent = Commands(1);
    EXPECT_FALSE(Has(sent, 0x030E)) << "loading a file keeps the resolution choice";
    EXPECT_TRUE(Has(sent, 0x0608));
    for (uint16_t gamma : {0x060C, 0x060D, 0x060E})
        EXPECT_FALSE(Has(sent, gamma));
    for (uint16_t readOnly : {0x0304, 0x0311, 0x0009, 0x030A, 0x030B, 0x0310, 0x0101, 0x0100})
        EXPECT_FALSE(Has(sent, readOnly)) << std::hex << readOnly;
    EXPECT_EQ(sent.size(), 37u); // 47 items, 9 never sent, 0x0205 not on this model
    for (uint16_t code : sent) {
        long long value = 0;
        ASSERT_TRUE(m_pSim->GetValue(1, code, value));
        EXPECT_EQ(value, m_Model.GetItemValue(code, 1)) << std::hex << code;
    }
}

TEST_F(SettingModel, ModelsNeverSeeItemsTheyLack)
{
    struct SCase {
        const char* model;
        std::vector<uint16_t> lacking;
    } cases[] = {
        {"KT-C310", {0x0205}},
        {"KT-B212", {0x0208, 0x0209, 0x0508, 0x0509}},
    };
    for (const SCase& c : cases) {
        Connect(c.model);
        for (uint16_t code : c.lacking)
            m_Model.PutItemValue(code, 3, 1); // a setting file may hold values for them
        EXPECT_EQ(m_Model.SendAllSettings(1), 1);
        EXPECT_EQ(m_Model.QueryAllSettings(1), 1);
        EXPECT_EQ(m_Model.QueryInputItems(1), 1);
        for (const SSeen& s : Received())
            for (uint16_t code : c.lacking)
                EXPECT_NE(s.item, code) << c.model;
        for (const SSeen& s : Received())
            EXPECT_FALSE(s.apply && s.refused) << c.model << ": the model answers nothing it refused";
    }
}

TEST_F(SettingModel, WalksStopWithoutAnAnswerAndGoOnAfterARefusal)
{
    Connect();
    // Brightness beyond its range: the projector refuses, the walk goes on.
    m_Model.PutItemValue(0x0300, 99, 1);
    EXPECT_EQ(m_Model.SendAllSettings(1), 1);
    std::vector<uint16_t> sent = Commands(1);
    EXPECT_TRUE(Has(sent, 0x0300));
    EXPECT_EQ(sent.back(), 0x0405);

    // The third command is never answered: acknowledged and then silence (the engine gives up
    // after its reply wait), or an answer that does not arrive whole.
    struct SWalk {
        const char* name;
        int attr;
        EFault fault;
        std::function<int(CSettingModel&)> walk;
    } walks[] = {
        {"send", 1, EFault::AckOnly, [](CSettingModel& m) { return m.SendAllSettings(1, 1); }},
        {"query", 2, EFault::BadChecksum, [](CSettingModel& m) { return m.QueryAllSettings(1, 1); }},
        {"input", 2, EFault::Truncated, [](CSettingModel& m) { return m.QueryInputItems(1, 1); }},
        {"signal", 2, EFault::BadChecksum, [](CSettingModel& m) { return m.QuerySignalItems(1, 1); }},
    };
    for (const SWalk& w : walks) {
        m_pSim->Log().Clear();
        m_pSim->PushFaults({SFault(), SFault(), SFault{w.fault}});
        uint32_t start = m_Clock.TickCount();
        int ok = w.walk(m_Model);
        EXPECT_EQ(ok, 0) << w.name;
        // The first two are answered at once; the third waits out the engine's reply time-out
        // of ten seconds, to the first millisecond past it, and no more.
        EXPECT_EQ(m_Clock.TickCount() - start, 10001u) << w.name;
        EXPECT_EQ(Commands(w.attr).size(), 3u) << w.name;
        // A stopped walk makes the chained ones return at once.
        EXPECT_EQ(m_Model.QueryAllSettings(1, ok), 0);
        EXPECT_EQ(Commands(2).size(), w.attr == 2 ? 3u : 0u);
    }
}

TEST_F(SettingModel, InputReportRequeriesAndRefreshes)
{
    Connect();
    ASSERT_TRUE(m_pSim->SetValue(1, 0x0100, 33));
    // The report is answered from inside its handler, after the re-queries it starts.
    Report(0x0100, {33});
    std::vector<uint16_t> asked = Commands(2);
    EXPECT_TRUE(Has(asked, 0x0400) && Has(asked, 0x0405));
    EXPECT_FALSE(Has(asked, 0x0300) || Has(asked, 0x0303)) << "the new input is video";
    EXPECT_EQ(m_View.events, std::vector<std::string>{"refresh"});

    // Stacked: a signal report of projector 1 re-queries every projector, of another only it.
    m_Connection.SetStack(2, 1);
    m_Model.PutItemValue(0x0100, 16, 0);
    struct SCase {
        uint8_t from;
        std::vector<int> asked;
    } cases[] = {{1, {1, 2}}, {2, {2}}};
    for (const SCase& c : cases) {
        m_pSim->Log().Clear();
        Report(0x0101, {1}, true, c.from);
        std::vector<int> addresses;
        for (const SSeen& s : Received())
            if (!s.apply && s.item == 0x0500)
                addresses.push_back(s.to);
        EXPECT_EQ(addresses, c.asked) << int(c.from);
    }
}

TEST_F(SettingModel, AUserSetWithoutAnAnswerIsReadBack)
{
    Connect();
    ASSERT_EQ(m_pSim->Execute("range 0x0300 -5 5"), "");
    struct SCase {
        const char* name;
        std::vector<SFault> faults;
        int32_t brightness;
        int result;
        bool queried;
    } cases[] = {
        {"answered and taken", {}, 2, 1, false},
        {"answered with a refusal", {}, 9, 0, false},
        {"taken, its answer lost", {SFault{EFault::AckOnly}}, -3, 1, true},
        {"never heard", {SFault{EFault::NoAck}, SFault{EFault::NoAck}, SFault{EFault::NoAck}}, 4, 0, true},
        {"taken, the query unanswered too", {SFault{EFault::AckOnly}, SFault{EFault::AckOnly}}, 1, 0, true},
    };
    for (const SCase& c : cases) {
        ASSERT_TRUE(m_pSim->SetValue(1, kItemBrightness, 0));
        m_Model.PutItemValue(kItemBrightness, 0, 1);
        m_pSim->Log().Clear();
        m_View.shown.clear();
        m_pSim->PushFaults(c.faults);
        EXPECT_EQ(m_Model.SetItemValueChecked(0, -1, kItemBrightness, c.brightness), c.result) << c.name;
        EXPECT_EQ(Has(Commands(2), kItemBrightness), c.queried) << c.name;
        long long held = 0;
        ASSERT_TRUE(m_pSim->GetValue(1, kItemBrightness, held));
        if (c.result) {
            EXPECT_EQ(held, c.brightness) << c.name;
        }
        if (c.queried && c.faults.size() < 2) {
            // The page follows what was read back.
            EXPECT_EQ(m_Model.GetItemValue(kItemBrightness, 1), held) << c.name;
            ASSERT_EQ(m_View.shown.size(), 1u) << c.name;
            EXPECT_EQ(m_View.shown[0].value, held) << c.name;
        }
    }
}

TEST_F(SettingModel, ReportsDuringACommandAreRequeriedAfterIt)
{
    Connect();
    ASSERT_TRUE(m_pSim->SetValue(1, 0x0100, 16));
    ASSERT_TRUE(m_pSim->SetValue(1, 0x0101, 1));
    m_Model.PutItemValue(0x0100, 16, 1);
    ASSERT_EQ(m_pSim->Execute("range 0x0300 0 5"), "");
    // The reports come after the set's ACK and before its answer. A re-read inside that wait
    // would take the set's answer for one of its own and the last query's for the set's.
    struct SCase {
        const char* name;
        int32_t brightness;
        int result;
        std::vector<std::pair<uint16_t, uint8_t>> reports;
        bool inputItems; // the input's re-read, which also asks for Volume
    } cases[] = {
        {"refused set, signal report", 7, 0, {{0x0101, 1}}, false},
        {"taken set, signal report", 3, 1, {{0x0101, 1}}, false},
        {"taken set, signal and input reports", 4, 1, {{0x0101, 1}, {0x0100, 16}}, true},
    };
    for (const SCase& c : cases) {
        m_pSim->Log().Clear();
        m_View.events.clear();
        m_pSim->SetReplyDelay(300);
        unsigned int delay = 100;
        for (const auto& report : c.reports)
            m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, report.first, {report.second}}, delay += 20);
        EXPECT_EQ(m_Model.SetItemValue(0, -1, 0x0300, c.brightness), c.result) << c.name;
        m_pSim->SetReplyDelay(0);
        long long held = 0;
        ASSERT_TRUE(m_pSim->GetValue(1, 0x0300, held));
        EXPECT_EQ(m_Model.GetItemValue(0x0300, 1), held) << c.name;
        EXPECT_TRUE(Commands(2).empty()) << c.name << ": nothing is asked inside the set's wait";
        EXPECT_EQ(m_View.events, std::vector<std::string>{"requery later"}) << c.name;

        EXPECT_EQ(m_Model.RunPendingRequery(), 1) << c.name;
        std::vector<uint16_t> asked = Commands(2);
        EXPECT_TRUE(Has(asked, 0x0500) && Has(asked, 0x0101)) << c.name;
        EXPECT_EQ(Has(asked, 0x0200), c.inputItems) << c.name;
        EXPECT_EQ(m_View.events, (std::vector<std::string>{"requery later", "refresh"})) << c.name;
        EXPECT_EQ(m_Model.RunPendingRequery(), 0) << c.name << ": one re-read for the reports of one wait";
    }
}

// ---- locks ----

TEST_F(SettingModel, LockEntriesAndMasks)
{
    Connect();
    m_Connection.SetStack(2, 1);
    ASSERT_EQ(m_Model.ReadAllLockSettings(), 1);
    struct SCase {
        uint16_t code;
        uint8_t sub;
        uint16_t cell;
        uint32_t bit;
    } cases[] = {
        {0x0300, 0, 0x1D03, 1u << 0}, {0x030E, 0, 0x1D03, 1u << 14}, {0x0010, 0, 0x1D00, 1u << 16},
        {0xFF02, 0, 0x1D00, 1u << 2}, {0xFE01, 0, 0x1D00, 1u << 6},  {0x0705, 3, 0x1D01, 1u << 3},
        {0x0608, 0, 0x1D06, 1u << 8},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.code << " sub " << int(c.sub));
        EXPECT_EQ(m_Model.IsItemLocked(c.code, c.sub, 2), 0);
        int32_t before = m_Model.GetItemValue(c.cell, 2);
        EXPECT_EQ(Apply(2, 0x1004, {uint8_t(c.code >> 8), uint8_t(c.code), c.sub, 1}), 1);
        EXPECT_EQ(static_cast<uint32_t>(m_Model.GetItemValue(c.cell, 2)), static_cast<uint32_t>(before) | c.bit);
        EXPECT_EQ(m_Model.IsItemLocked(c.code, c.sub, 2), 1);
        EXPECT_EQ(m_Model.IsItemLocked(c.code, c.sub, 1), 0) << "locks are per projector";
    }
    EXPECT_EQ(m_Model.IsItemLocked(0x0705, 2, 2), 0);
    Apply(2, 0x1004, {0x03, 0x00, 0, 0});
    EXPECT_EQ(m_Model.IsItemLocked(0x0300, 0, 2), 0);
    EXPECT_EQ(m_Model.IsItemLocked(0x030E, 0, 2), 1) << "a free entry clears only its own bit";

    // Pages: every item of the page's list, by the model and the input.
    auto lockAll = [&](EResetPage page) {
        unsigned int n;
        const uint16_t* list = ResetList(page, n);
        for (unsigned int i = 0; i < n; ++i)
            Apply(1, 0x1004, {uint8_t(list[i] >> 8), uint8_t(list[i]), 0, 1});
    };
    lockAll(RESET_AUDIO);
    lockAll(RESET_VIDEO_VIDEO);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 1), 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_VIDEO, 1), 0) << "computer input shows the other Video page";
    m_Model.PutItemValue(0x0100, 33, 1);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_VIDEO, 1), 1);
    Apply(1, 0x1004, {0x02, 0x07, 0, 0});
    EXPECT_EQ(m_Model.IsPageLocked(TAB_AUDIO, 1), 0);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_GAMMA, 1), 0);

    // The same masks mean nothing on a model without the installer-only mode.
    CSettingTable saved = m_Model.Table();
    Connect("KT-B212");
    m_Model.Table() = saved;
    EXPECT_EQ(m_Model.IsItemLocked(0x030E, 0, 2), 0);
    EXPECT_EQ(m_Model.IsPageLocked(TAB_VIDEO, 1), 0);
}

TEST_F(SettingModel, LockedItemsAreQueriedButNotSent)
{
    for (const char* model : {"KT-C310", "KT-B212"}) {
        Connect(model);
        bool inForce = std::string(model) == "KT-C310";
        ASSERT_EQ(m_Model.ReadLockSettings(), 1);
        m_Model.PutItemValue(0x1D03, 1 << 0, 1);          // Brightness
        m_Model.PutItemValue(0x1D05, 1 << 0 | 1 << 1, 1); // both positions
        EXPECT_EQ(m_Model.SendAllSettings(1), 1);
        std::vector<uint16_t> sent = Commands(1);
        for (uint16_t code : {0x0300, 0x0500, 0x0501})
            EXPECT_EQ(Has(sent, code), !inForce) << model << std::hex << " " << code;
        EXPECT_TRUE(Has(sent, 0x0301));
        EXPECT_EQ(m_Model.QueryAllSettings(1), 1);
        EXPECT_TRUE(Has(Commands(2), 0x0300));
    }
}

TEST_F(SettingModel, ReadProjectorSettingsBehindTheDialog)
{
    Connect();
    m_pSim->SetValue(1, 0x0300, -7);
    m_pSim->SetValue(2, 0x0300, 9);
    m_pSim->SetValue(2, 0x0500, -300);
    m_Connection.SetStack(2, 1);
    EXPECT_EQ(m_Model.ReadProjectorSettings(), 1);
    EXPECT_EQ(m_View.events, (std::vector<std::string>{"reading", "refresh", "done"}));
    EXPECT_EQ(m_Model.GetItemValue(0x0300, 1), -7);
    EXPECT_EQ(m_Model.GetItemValue(0x0300, 2), 9);
    EXPECT_EQ(m_Model.GetItemValue(0x0500, 2), -300);

    // Locks of each projector first (56 entries, 0x0705 five times), then the master list for each.
    std::vector<uint16_t> asked = Commands(2);
    ASSERT_GE(asked.size(), 2 * 56u + 2 * 46);
    for (size_t i = 0; i < 2 * 56; ++i)
        EXPECT_EQ(asked[i], 0x1004);
    EXPECT_EQ(asked.size(), 2 * 56u + 2 * 46);

    // Without the installer-only mode, the current projector alone and no locks.
    Connect("KT-A101");
    m_View.events.clear();
    EXPECT_EQ(m_Model.ReadProjectorSettings(), 1);
    asked = Commands(2);
    EXPECT_FALSE(Has(asked, 0x1004));
    EXPECT_EQ(asked.size(), 43u); // no 0x0208, 0x0209, 0x0508, 0x0509
}

TEST_F(SettingModel, GammaParametersFollowTheInput)
{
    Connect();
    struct SCase {
        int input;
        unsigned int g;
        std::vector<std::vector<uint8_t>> params;
    } cases[] = {
        {16, 0, {{0x00, 0x00}, {16}, {0, 0}, {1, 0}, {2, 0}}},
        {16, 1, {{0x00, 0x00}, {0}, {0, 0}, {1, 248}, {2, 0}}},
        {33, 0, {{0x00, 0xFE}, {24}, {0, 0}, {1, 0}, {2, 0}}},
        {64, 2, {{0x00, 0x00}, {8}, {0, 240}, {1, 216}, {2, 218}}},
    };
    for (const SCase& c : cases) {
        m_Model.PutItemValue(0x0100, c.input, 1);
        m_pSim->Log().Clear();
        EXPECT_EQ(m_Model.SendGammaParameters(0, 1, c.g), 1);
        std::vector<std::vector<uint8_t>> params;
        std::vector<uint16_t> items;
        for (const SSeen& s : Received()) {
            items.push_back(s.item);
            params.push_back(s.param);
        }
        EXPECT_EQ(items, (std::vector<uint16_t>{0x060C, 0x060D, 0x060E, 0x060E, 0x060E}));
        EXPECT_EQ(params, c.params) << c.input << " Gamma" << c.g + 1;
    }
    m_pSim->Log().Clear();
    m_pSim->PushFaults({SFault(), SFault{EFault::BadChecksum}});
    EXPECT_EQ(m_Model.SendGammaParameters(0, 1, 0), 0);
    EXPECT_EQ(Commands(1), (std::vector<uint16_t>{0x060C, 0x060D})) << "each only after the previous one";
}

} // namespace

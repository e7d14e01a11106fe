// The projector's own behaviour as the computer sees it: the timed power sequence, reset all,
// re-synchronising, presets, gamma points, remote keys and the changes it reports by itself.
#include "sim_test_support.h"

#include "sim_control.h"

namespace {

const int kWarmMs = 500, kCoolMs = 500, kBusyMs = 150, kSyncMs = 100;

SSimulatorOptions Timed(int power = 0x01)
{
    SSimulatorOptions options;
    options.nPower = power;
    options.timing = {true, kWarmMs, kCoolMs, kBusyMs, kSyncMs};
    return options;
}

Bytes Report(uint16_t item, const Bytes& value)
{
    return ShortFrame(0x02, item, value);
}

TEST_F(SimulatorTest, PowerPassesThroughWarmingAndCooling)
{
    StartSimulator(Timed(0x00));
    Sim().SetReplyDelay(50); // the report must still follow the answer
    long long start = MonotonicMs();
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x01})), ShortAnswer(0x81, 0x0003));
    EXPECT_EQ(Line().ReadUnit(500), Report(0x0003, {0x10}));
    Sim().SetReplyDelay(0);
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0003)), ShortAnswer(0x82, 0x0003, {0x10}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x01})), ShortAnswer(0x81, 0x0003)) << "already on its way";
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x00})), ShortAnswer(0xC1, 0x0003)) << "no off while warming";
    EXPECT_EQ(Line().ReadUnit(2000), Report(0x0003, {0x01}));
    EXPECT_GE(MonotonicMs() - start, kWarmMs - 10);

    start = MonotonicMs();
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x00})), ShortAnswer(0x81, 0x0003));
    EXPECT_EQ(Line().ReadUnit(500), Report(0x0003, {0x11}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x01})), ShortAnswer(0xC1, 0x0003)) << "no on while cooling";
    EXPECT_EQ(Line().ReadUnit(2000), Report(0x0003, {0x00}));
    EXPECT_GE(MonotonicMs() - start, kCoolMs - 10);
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x00})), ShortAnswer(0x81, 0x0003));
    EXPECT_TRUE(Line().ReadUntilQuiet(kWarmMs + 100).empty()) << "standby stays standby, unreported";
}

TEST_F(SimulatorTest, EachProjectorRunsItsOwnPowerSequence)
{
    StartSimulator(Timed(0x00));
    EXPECT_EQ(Line().Transact(StackFrame(0x01, 3, 0, 0x0003, {0x01})), Join({{0x06}, StackFrame(0x81, 0, 3, 0x0003)}));
    EXPECT_EQ(Line().ReadUnit(500), StackFrame(0x02, 0, 3, 0x0003, {0x10}));
    EXPECT_EQ(Line().ReadUnit(2000), StackFrame(0x02, 0, 3, 0x0003, {0x01}));
    long long power = -1;
    ASSERT_TRUE(Sim().GetValue(1, 0x0003, power));
    EXPECT_EQ(power, 0x00);
}

TEST_F(SimulatorTest, StartingOrForcedTransitionsEndByThemselves)
{
    SSimulatorOptions options = Timed(0x10);
    options.nProjectors = 2;
    StartSimulator(options);
    EXPECT_EQ(Line().ReadUnit(2000), Report(0x0003, {0x01}));
    EXPECT_EQ(Line().ReadUnit(500), StackFrame(0x02, 0, 2, 0x0003, {0x01})) << "every projector was warming";
    EXPECT_EQ(Sim().Execute("power cooling 2"), "");
    EXPECT_EQ(Line().ReadUnit(500), StackFrame(0x02, 0, 2, 0x0003, {0x11}));
    EXPECT_EQ(Line().ReadUnit(2000), StackFrame(0x02, 0, 2, 0x0003, {0x00}));

    // Untimed again: a state set by hand stays.
    EXPECT_EQ(Sim().Execute("power-ms off"), "");
    EXPECT_EQ(Sim().Execute("power warming"), "");
    EXPECT_EQ(Line().ReadUnit(500), Report(0x0003, {0x10}));
    EXPECT_TRUE(Line().ReadUntilQuiet(kWarmMs + 200).empty());
}

TEST_F(SimulatorTest, ResetAllIsBusyForItsTime)
{
    StartSimulator(Timed());
    Sim().ChangeValue(1, 0x0100, 33);
    Line().ReadUnit(500);
    Line().Transact(ShortFrame(0x01, 0x0300, {0x05}));
    long long start = MonotonicMs();
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0007, {0x00})), ShortAnswer(0x81, 0x0007));
    EXPECT_EQ(Line().ReadUnit(500), Report(0x0007, {0x00}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0007)), ShortAnswer(0x82, 0x0007, {0x00}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0300)), ShortAnswer(0x82, 0x0300, {0x00}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0100)), ShortAnswer(0x82, 0x0100, {33})) << "the input is no setting";
    EXPECT_EQ(Line().ReadUnit(2000), Report(0x0007, {0x01}));
    EXPECT_GE(MonotonicMs() - start, kBusyMs - 10);
}

TEST_F(SimulatorTest, ResolutionChangeReportsTheSignalAfterResync)
{
    StartSimulator(Timed());
    for (const Bytes& command : {ShortFrame(0x01, 0x030E, {21}), ShortFrame(0x03, 0x030E)}) {
        long long start = MonotonicMs();
        Bytes answer = Line().Transact(command);
        ASSERT_EQ(answer.size(), command[2] == 0x01 ? 7u : 8u) << HexBytes(answer);
        EXPECT_EQ(Line().ReadUnit(1000), Report(0x0101, {0x01})) << HexBytes(command);
        EXPECT_GE(MonotonicMs() - start, kSyncMs - 10);
    }
}

// The corners the item table gives beyond a plain minimum and maximum.
TEST_F(SimulatorTest, SetsOutsideAnItemsValuesAreRefused)
{
    StartModel("KT-C310");
    struct {
        uint16_t wItem;
        Bytes value;
        bool bAccepted;
    } cases[] = {
        {0x030E, {32}, true},          {0x030E, {33}, false},        {0x030E, {127}, false},
        {0x030E, {133}, false},        {0x0303, {0xFF, 0xFE}, true}, {0x0303, {0xFF, 0xFF}, false},
        {0x0303, {0x7F, 0xFF}, false}, {0x060E, {0x02, 0xF8}, true}, {0x060E, {0x03, 0x00}, false},
        {0x060D, {0xF0}, true},        {0x0509, {0xC1}, true},       {0x0509, {0x01}, false},
        {0x0402, {0x06}, true},        {0x0402, {0xFA}, false},      {0x030D, {0x06}, false},
        {0x060F, {0x80}, false},       {0x0000, {0x02}, true},       {0x0100, {16}, false},
    };
    for (const auto& c : cases) {
        Bytes answer = Line().Transact(ShortFrame(0x01, c.wItem, c.value));
        ASSERT_EQ(answer.size(), 7u) << std::hex << c.wItem;
        EXPECT_EQ((answer[3] & 0x40) == 0, c.bAccepted) << std::hex << c.wItem << " " << HexBytes(c.value);
    }
}

TEST_F(SimulatorTest, SignalDataHaveTheirReplyFormats)
{
    StartSimulator();
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x030A)), ShortAnswer(0x82, 0x030A, Hex("00 00 12 E4 00 00 17 70")));
    EXPECT_EQ(Sim().Execute("frequency 3147 5994"), "");
    EXPECT_EQ(Sim().Execute("resolution 640 480 2"), "");
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x030A)), ShortAnswer(0x82, 0x030A, Hex("00 00 0C 4B 00 00 17 6A")));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x030B)), ShortAnswer(0x82, 0x030B, Hex("00 00 04 00 00 00 03 00")));
    EXPECT_EQ(Line().Transact(StackFrame(0x02, 2, 0, 0x030B)),
              Join({{0x06}, StackFrame(0x82, 0, 2, 0x030B, Hex("00 00 02 80 00 00 01 E0"))}));
    Bytes presets = Line().Transact(ShortFrame(0x02, 0x0311));
    ASSERT_EQ(presets.size(), 1u + 75 + 6);
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(Bytes(presets.begin() + 6 + 15 * n, presets.begin() + 8 + 15 * n), Hex("FF FF")) << "empty " << n;
}

TEST_F(SimulatorTest, RegisteredPresetAppearsInTheTableAndCanBeRecalled)
{
    StartSimulator();
    Sim().Execute("frequency 3147 5994");
    Sim().Execute("resolution 640 480");
    Line().Transact(ShortFrame(0x01, 0x0303, {0xFF, 0xFC}));
    Line().Transact(ShortFrame(0x01, 0x0500, {0x00, 0x03}));
    Line().Transact(ShortFrame(0x01, 0x0302, {20}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x030E, {130})), ShortAnswer(0xC1, 0x030E)) << "preset 3 is empty";
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x030F, {2})), ShortAnswer(0x81, 0x030F));

    Bytes presets = Line().Transact(ShortFrame(0x02, 0x0311));
    ASSERT_EQ(presets.size(), 1u + 75 + 6);
    Bytes record(presets.begin() + 6 + 30, presets.begin() + 6 + 45);
    EXPECT_EQ(record, Hex("02 80 01 E0 00 00 0C 4B 17 6A FF FC 00 03 14"));
    for (int n : {0, 1, 3, 4})
        EXPECT_EQ(Bytes(presets.begin() + 6 + 15 * n, presets.begin() + 8 + 15 * n), Hex("FF FF")) << n;

    Line().Transact(ShortFrame(0x01, 0x0303, {0x00, 0x00}));
    Line().Transact(ShortFrame(0x01, 0x0302, {0}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x030E, {130})), ShortAnswer(0x81, 0x030E));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0303)), ShortAnswer(0x82, 0x0303, Hex("FF FC")));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0302)), ShortAnswer(0x82, 0x0302, {20}));
    long long resolution = 0;
    ASSERT_TRUE(Sim().GetValue(1, 0x030E, resolution));
    EXPECT_EQ(resolution, 130);

    // Only a computer signal can be registered.
    for (const char* change : {"input 33", "input 16", "signal 0"}) {
        Sim().Execute(change);
        Line().ReadUnit(500);
    }
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x030F, {0})), ShortAnswer(0xC1, 0x030F)) << "no signal";
    for (const char* change : {"signal 1", "input 34"}) {
        Sim().Execute(change);
        Line().ReadUnit(500);
    }
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x030F, {0})), ShortAnswer(0xC1, 0x030F)) << "video input";
}

TEST_F(SimulatorTest, GammaPointsAreKeptByIndex)
{
    StartSimulator();
    for (const Bytes& point : {Hex("00 F0"), Hex("01 E8"), Hex("02 EA")})
        EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x060E, point)), ShortAnswer(0x81, 0x060E));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x060E, {0x01})), ShortAnswer(0x82, 0x060E, Hex("01 E8")));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x060E, {0x03})), ShortAnswer(0xC2, 0x060E));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x060E)), ShortAnswer(0x82, 0x060E, Hex("02 EA"))) << "the last set";
    int value = 0;
    ASSERT_TRUE(Sim().GetGammaPoint(1, 0, value));
    EXPECT_EQ(value, 0xF0);
    ASSERT_TRUE(Sim().GetGammaPoint(2, 0, value));
    EXPECT_EQ(value, 0) << "another projector's points";
    Line().Transact(ShortFrame(0x03, 0x060E));
    ASSERT_TRUE(Sim().GetGammaPoint(1, 0, value));
    EXPECT_EQ(value, 0);
}

TEST_F(SimulatorTest, RemoteKeysChangeTheInputAndReportIt)
{
    StartSimulator(Timed());
    struct {
        uint8_t nKeys;
        Bytes report; // nothing when the input stays
    } presses[] = {{0x20, Report(0x0100, {33})},
                   {0x20, Report(0x0100, {34})},
                   {0x10, Report(0x0100, {16})},
                   {0x10, {}},
                   {0x00, {}}};
    for (const auto& press : presses) {
        EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x000A, {0, 0, press.nKeys, 0, 0x10})), ShortAnswer(0x81, 0x000A));
        EXPECT_EQ(press.report.empty() ? Line().ReadUntilQuiet(150) : Line().ReadUnit(1000), press.report)
            << int(press.nKeys);
    }
}

TEST_F(SimulatorTest, ChangesFromTestsAreReportedFromTheirProjector)
{
    StartSimulator();
    struct {
        const char* pszCommand;
        Bytes report;
    } cases[] = {
        {"input 33", Report(0x0100, {33})},
        {"signal 226 2", StackFrame(0x02, 0, 2, 0x0101, {226})},
        {"warning 0x09", Report(0x0012, {0x09})},
        {"change 0x0009 2000 4", StackFrame(0x02, 0, 4, 0x0009, Hex("07 D0"))},
        {"power standby", Report(0x0003, {0x00})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sim().Execute(c.pszCommand), "") << c.pszCommand;
        EXPECT_EQ(Line().ReadUnit(500), c.report) << c.pszCommand;
    }
    EXPECT_EQ(Line().Transact(StackFrame(0x02, 2, 0, 0x0101)), Join({{0x06}, StackFrame(0x82, 0, 2, 0x0101, {226})}));

    EXPECT_TRUE(Sim().ChangeValue(3, 0x0012, 0x20));
    EXPECT_EQ(Line().ReadUnit(500), StackFrame(0x02, 0, 3, 0x0012, {0x20}));
    EXPECT_FALSE(Sim().ChangeValue(1, 0x0311, 0)) << "a block is no value";
    EXPECT_TRUE(Line().ReadUntilQuiet(150).empty());
}

} // namespace

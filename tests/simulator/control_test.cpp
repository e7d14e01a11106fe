// Scripting the simulator through the serial line alone, as the Windows tests do.
#include "sim_test_support.h"

#include "sim_control.h"

namespace {

const Bytes kGet = ShortFrame(0x02, 0x0300);
const Bytes kAnswer = ShortFrame(0x82, 0x0300, {0x00});

Bytes Control(uint8_t item, const SimControl::CParameter& parameter = SimControl::CParameter())
{
    unsigned char frame[SimControl::kMaxParameter + 6];
    unsigned int length = SimControl::BuildFrame(item, parameter.Data(), parameter.Size(), frame);
    return Bytes(frame, frame + length);
}

Bytes Accepted(uint8_t item)
{
    return ShortAnswer(0x81, static_cast<uint16_t>(0xEE00 | item));
}

TEST_F(SimulatorTest, PushedFaultsApplyToLaterCommandsNotToControlFrames)
{
    StartSimulator();
    Sim().SetReplyDelay(2000); // would make Transact miss a delayed answer
    SimControl::CParameter faults;
    faults.Fault(SimControl::FAULT_NAK).Fault(SimControl::FAULT_ACK_ONLY);
    EXPECT_EQ(Line().Transact(Control(SimControl::ITEM_PUSH_FAULTS, faults)), Accepted(SimControl::ITEM_PUSH_FAULTS));
    EXPECT_EQ(Line().Transact(Control(SimControl::ITEM_REPLY_DELAY, SimControl::CParameter().Word(0))),
              Accepted(SimControl::ITEM_REPLY_DELAY));
    EXPECT_EQ(Sim().PendingFaults(), 2u);
    Line().Write(kGet);
    EXPECT_EQ(Line().ReadUntilQuiet(200), Bytes{0x15});
    Line().Write(kGet);
    EXPECT_EQ(Line().ReadUntilQuiet(200), Bytes{0x06});

    Sim().PushFault({EFault::NoAck, 0});
    EXPECT_EQ(Line().Transact(Control(SimControl::ITEM_CLEAR_PLAN)), Accepted(SimControl::ITEM_CLEAR_PLAN));
    EXPECT_EQ(Sim().PendingFaults(), 0u);
    EXPECT_EQ(Line().Transact(kGet), Join({{0x06}, kAnswer}));
}

TEST_F(SimulatorTest, ControlSendsFramesAfterItsAnswer)
{
    StartSimulator();
    SimControl::CParameter report;
    report.Frame(150, 0, 1, 0x02, 0x0003).Byte(0x00);
    long long start = MonotonicMs();
    EXPECT_EQ(Line().Transact(Control(SimControl::ITEM_SEND_FRAME, report)), Accepted(SimControl::ITEM_SEND_FRAME));
    EXPECT_EQ(Line().ReadUnit(1000), ShortFrame(0x02, 0x0003, {0x00}));
    EXPECT_GE(MonotonicMs() - start, 140);

    SimControl::CParameter stack;
    stack.Frame(0, 1, 3, 0x02, 0x0012).Byte(0x09);
    Line().Write(Control(SimControl::ITEM_SEND_FRAME, stack));
    EXPECT_EQ(Line().ReadUntilQuiet(200),
              Join({Accepted(SimControl::ITEM_SEND_FRAME), StackFrame(0x02, 0, 3, 0x0012, {0x09})}));

    SimControl::CParameter raw;
    raw.Word(0).Byte(0x1B).Byte(0x03);
    Line().Write(Control(SimControl::ITEM_SEND_RAW, raw));
    EXPECT_EQ(Line().ReadUntilQuiet(200), Join({Accepted(SimControl::ITEM_SEND_RAW), Hex("1B 03")}));
}

TEST_F(SimulatorTest, ControlSetsDelaysValuesAndChance)
{
    StartSimulator();
    Line().Transact(Control(SimControl::ITEM_REPLY_DELAY, SimControl::CParameter().Word(300)));
    long long start = MonotonicMs();
    EXPECT_EQ(Line().Transact(kGet), Join({{0x06}, kAnswer}));
    EXPECT_GE(MonotonicMs() - start, 290);
    Line().Transact(Control(SimControl::ITEM_REPLY_DELAY, SimControl::CParameter().Word(0)));

    SimControl::CParameter store;
    store.Byte(2).Word(0x0009).Word(1000);
    EXPECT_EQ(Line().Transact(Control(SimControl::ITEM_STORE_VALUE, store)), Accepted(SimControl::ITEM_STORE_VALUE));
    EXPECT_EQ(Line().Transact(StackFrame(0x02, 2, 0, 0x0009)),
              Join({{0x06}, StackFrame(0x82, 0, 2, 0x0009, Hex("03 E8"))}));

    SimControl::CParameter chance;
    chance.Byte(0).Byte(0).Byte(0).Byte(7).Byte(100);
    Line().Transact(Control(SimControl::ITEM_RANDOM_FAULTS, chance));
    Line().Write(kGet);
    Line().ReadUntilQuiet(300);
    std::vector<SLogEntry> log = Sim().Log().Entries();
    ASSERT_FALSE(log.empty());
    const SLogEntry* last = nullptr;
    for (const SLogEntry& entry : log)
        if (entry.eKind == ELogKind::RxFrame)
            last = &entry;
    ASSERT_NE(last, nullptr);
    EXPECT_NE(last->strText.find(" fault "), std::string::npos) << last->strText;
}

TEST_F(SimulatorTest, ControlRefusesWhatDoesNotDecode)
{
    StartSimulator();
    struct {
        uint8_t nItem;
        Bytes param;
    } bad[] = {
        {SimControl::ITEM_PUSH_FAULTS, {0x04, 0x01}}, // late without its second byte
        {SimControl::ITEM_PUSH_FAULTS, {0x33}},
        {SimControl::ITEM_SEND_FRAME, {0x00, 0x00, 0x00}},
        {SimControl::ITEM_REPLY_DELAY, {0x01}},
        {SimControl::ITEM_STORE_VALUE, {0x01, 0x03, 0x00, 0x01, 0x02}}, // 0x0300 has one byte
        {SimControl::ITEM_STORE_VALUE, {0x07, 0x03, 0x00, 0x01}},
        {SimControl::ITEM_RANDOM_FAULTS, {0x01}},
        {SimControl::ITEM_TIMING, {0x01, 0x00, 0x64}},
        {SimControl::ITEM_TIMING, {0x02, 0x00, 0x64, 0x00, 0x64}},
        {SimControl::ITEM_CHANGE_VALUE, {0x01, 0x01, 0x00}},
        {SimControl::ITEM_CHANGE_VALUE, {0x05, 0x01, 0x00, 0x21}},
        {0x7E, {}},
    };
    for (const auto& b : bad) {
        SimControl::CParameter parameter;
        parameter.Bytes(b.param.data(), static_cast<unsigned int>(b.param.size()));
        EXPECT_EQ(Line().Transact(Control(b.nItem, parameter)),
                  ShortAnswer(0xC1, static_cast<uint16_t>(0xEE00 | b.nItem)))
            << int(b.nItem) << " " << HexBytes(b.param);
    }
    EXPECT_EQ(Sim().PendingFaults(), 0u);
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0xEE01)), ShortAnswer(0xC2, 0xEE01)) << "only counters are read";
}

TEST_F(SimulatorTest, ControlTimesThePowerAndChangesValuesWithReports)
{
    SSimulatorOptions options;
    options.nPower = 0x00;
    StartSimulator(options);
    SimControl::CParameter timing;
    timing.Byte(1).Word(150).Word(150);
    EXPECT_EQ(Line().Transact(Control(SimControl::ITEM_TIMING, timing)), Accepted(SimControl::ITEM_TIMING));
    EXPECT_EQ(Sim().Timing().nWarmMs, 150u);
    EXPECT_EQ(Sim().Timing().nBusyMs, SStateTiming().nBusyMs) << "left as it was";
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x01})), ShortAnswer(0x81, 0x0003));
    EXPECT_EQ(Line().ReadUnit(500), ShortFrame(0x02, 0x0003, {0x10}));
    EXPECT_EQ(Line().ReadUnit(1000), ShortFrame(0x02, 0x0003, {0x01}));

    // The report follows the control's own answer.
    SimControl::CParameter input;
    input.Item(2, 0x0100).Byte(33);
    Line().Write(Control(SimControl::ITEM_CHANGE_VALUE, input));
    EXPECT_EQ(Line().ReadUntilQuiet(200),
              Join({Accepted(SimControl::ITEM_CHANGE_VALUE), StackFrame(0x02, 0, 2, 0x0100, {33})}));
    SimControl::CParameter cooling;
    cooling.Item(1, 0x0003).Byte(0x11);
    EXPECT_EQ(Line().Transact(Control(SimControl::ITEM_CHANGE_VALUE, cooling)),
              Accepted(SimControl::ITEM_CHANGE_VALUE));
    EXPECT_EQ(Line().ReadUnit(500), ShortFrame(0x02, 0x0003, {0x11}));
    EXPECT_EQ(Line().ReadUnit(1000), ShortFrame(0x02, 0x0003, {0x00})) << "a forced cooling runs its time";
}

TEST_F(SimulatorTest, CountersLeaveOutControlTraffic)
{
    StartSimulator();
    Sim().PushFault({EFault::Nak, 0});
    Line().Transact(Control(SimControl::ITEM_RESET_COUNTERS));
    Line().Write({0x06}); // acknowledges the control answer: not counted
    Line().Write(kGet);
    Line().ReadUntilQuiet(150);
    Line().Transact(kGet);
    Line().Write({0x06});
    Bytes broken = kGet;
    broken.back() ^= 1;
    Line().Write(broken);
    Line().ReadUntilQuiet(150);
    Sim().PushFaults({{EFault::Nak, 0}, {EFault::Nak, 0}});
    // frames 2, bad 1, ACKs 1, NAKs 0, pending 2
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0xEE10)),
              ShortAnswer(0x82, 0xEE10, Hex("00 02 00 01 00 01 00 00 00 02")));
}

TEST_F(SimulatorTest, StackAndAsicControlFramesWork)
{
    StartSimulator();
    SimControl::CParameter faults;
    faults.Fault(SimControl::FAULT_NAK);
    EXPECT_EQ(Line().Transact(StackFrame(0x01, 1, 0, 0xEE01, Bytes(faults.Data(), faults.Data() + faults.Size()))),
              Join({{0x06}, StackFrame(0x81, 0, 1, 0xEE01)}));
    EXPECT_EQ(Sim().PendingFaults(), 1u);

    SSimulatorOptions options;
    options.bAsic = true;
    SBench asic(options);
    CLine& line = *asic.line;
    EXPECT_EQ(line.Transact(AsicFrame(0x01, 0xEE01, {0x02}), true), Join({{0x06}, AsicFrame(0x01, 0xEE01)}));
    line.Write(AsicFrame(0x02, 0x0300));
    EXPECT_EQ(line.ReadUntilQuiet(200), Bytes{0x15});
}

} // namespace

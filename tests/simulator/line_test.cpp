// The simulated projector as the computer sees it over a real pseudo-terminal.
#include "sim_test_support.h"

#include <fstream>

namespace {

const Bytes kIdentRequest = Hex("1B 06 02 00 04 F4");

TEST(Simulator, IdentifiesEveryModelAtLevel4)
{
    struct {
        const char* pszModel;
        Bytes ident;
    } models[] = {
        {"KT-C310", Hex("00 01 43 10")}, {"KT-A120", Hex("00 01 30 11")}, {"KT-B212", Hex("00 01 30 20")},
        {"KT-B213", Hex("00 01 30 21")}, {"KT-A101", Hex("00 01 20 22")}, {"unknown", Hex("00 02 43 10")},
    };
    // The Level 4 reply keeps the request's attribute byte and carries family and model code.
    for (const auto& m : models)
        EXPECT_EQ(SBench(ModelOptions(m.pszModel)).line->Transact(kIdentRequest), ShortAnswer(0x02, 0x0004, m.ident))
            << m.pszModel;
}

TEST_F(SimulatorTest, Level5OnlyModelRefusesLevel4AndIdentifiesByStackGet)
{
    StartModel("level5-only");
    Bytes refusal = Line().Transact(kIdentRequest);
    ASSERT_EQ(refusal.size(), 7u);
    EXPECT_EQ(refusal[0], 0x06);
    EXPECT_TRUE(refusal[3] & 0x40) << "attribute bit 6 marks the refusal";
    EXPECT_EQ(refusal[2], 6) << "no parameter";
    EXPECT_EQ(Line().Transact(StackFrame(0x02, 1, 0, 0x0004)),
              Join({{0x06}, StackFrame(0x82, 0, 1, 0x0004, Hex("00 01 43 10"))}));
}

TEST_F(SimulatorTest, SilentModelAnswersNothing)
{
    StartModel("silent");
    Line().Write(kIdentRequest);
    Line().Write(Hex("1B 06 02 00 04 F5"));
    Line().Write(StackFrame(0x02, 1, 0, 0x0300));
    EXPECT_TRUE(Line().ReadUntilQuiet(400).empty());
    EXPECT_EQ(Sim().Log().Count(ELogKind::RxFrame), 2u) << "yet it logs what it heard";
}

TEST_F(SimulatorTest, AcknowledgesByChecksum)
{
    StartSimulator();
    Bytes shortGet = ShortFrame(0x02, 0x0300);
    Bytes stackGet = StackFrame(0x02, 2, 0, 0x0300);
    for (Bytes frame : {shortGet, stackGet}) {
        EXPECT_EQ(Line().Transact(frame).at(0), 0x06) << HexBytes(frame);
        frame.back() ^= 0x40;
        Line().Write(frame);
        EXPECT_EQ(Line().ReadUntilQuiet(200), Bytes{0x15}) << HexBytes(frame);
    }
    EXPECT_EQ(Sim().Log().Count(ELogKind::RxBadChecksum), 2u);
}

TEST_F(SimulatorTest, GetSetResetAndRefusalsOnShortFrames)
{
    StartModel("KT-C310");
    Sim().SetValue(1, 0x0310, 0x010002);
    struct {
        const char* pszName;
        Bytes command;
        Bytes answer; // without the ACK
    } steps[] = {
        {"get factory", ShortFrame(0x02, 0x0300), ShortFrame(0x82, 0x0300, {0x00})},
        {"set -10", ShortFrame(0x01, 0x0300, {0xF6}), ShortFrame(0x81, 0x0300)},
        {"get after set", ShortFrame(0x02, 0x0300), ShortFrame(0x82, 0x0300, {0xF6})},
        {"set out of range", ShortFrame(0x01, 0x0300, {0x1F}), ShortFrame(0xC1, 0x0300)},
        {"set wrong width", ShortFrame(0x01, 0x0300, {0x00, 0x01}), ShortFrame(0xC1, 0x0300)},
        {"refusals change nothing", ShortFrame(0x02, 0x0300), ShortFrame(0x82, 0x0300, {0xF6})},
        {"reset answers the factory value", ShortFrame(0x03, 0x0300), ShortFrame(0x83, 0x0300, {0x00})},
        {"get after reset", ShortFrame(0x02, 0x0300), ShortFrame(0x82, 0x0300, {0x00})},
        {"two-byte item", ShortFrame(0x01, 0x0303, {0xFF, 0x38}), ShortFrame(0x81, 0x0303)},
        {"two-byte get", ShortFrame(0x02, 0x0303), ShortFrame(0x82, 0x0303, {0xFF, 0x38})},
        {"three-byte get", ShortFrame(0x02, 0x0310), ShortFrame(0x82, 0x0310, {0x01, 0x00, 0x02})},
        {"lamp hours", ShortFrame(0x02, 0x0009), ShortFrame(0x82, 0x0009, {0x01, 0xF4})},
        {"read-only set", ShortFrame(0x01, 0x0009, {0x00, 0x01}), ShortFrame(0xC1, 0x0009)},
        {"unknown item", ShortFrame(0x02, 0x1F1F), ShortFrame(0xC2, 0x1F1F)},
        {"unknown attribute", ShortFrame(0x05, 0x0300), ShortFrame(0xC5, 0x0300)},
        {"check bit is echoed", ShortFrame(0x22, 0x0300), ShortFrame(0xA2, 0x0300, {0x00})},
        {"power on", ShortFrame(0x02, 0x0003), ShortFrame(0x82, 0x0003, {0x01})},
        {"link mode", ShortFrame(0x01, 0x0000, {0x01}), ShortFrame(0x81, 0x0000)},
        {"short get 0x0004 is Level 4", ShortFrame(0x02, 0x0004), ShortFrame(0x02, 0x0004, Hex("00 01 43 10"))},
    };
    for (const auto& step : steps)
        EXPECT_EQ(Line().Transact(step.command), Join({{0x06}, step.answer})) << step.pszName;
}

TEST_F(SimulatorTest, StackFramesReachEachAddress)
{
    SSimulatorOptions options;
    options.nProjectors = 3;
    StartSimulator(options);
    // The answer goes back to the sender's From, from the addressed projector.
    EXPECT_EQ(Line().Transact(StackFrame(0x01, 2, 0, 0x0300, {0xF6})), Join({{0x06}, StackFrame(0x81, 0, 2, 0x0300)}));
    const uint8_t expected[] = {0x00, 0xF6, 0x00};
    for (uint8_t to = 1; to <= 3; ++to)
        EXPECT_EQ(Line().Transact(StackFrame(0x02, to, 0, 0x0300)),
                  Join({{0x06}, StackFrame(0x82, 0, to, 0x0300, {expected[to - 1]})}))
            << int(to);
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0300)), ShortAnswer(0x82, 0x0300, {0x00})) << "short frames go to 1";

    // To every projector: one answer from address 0, and every store changes.
    EXPECT_EQ(Line().Transact(StackFrame(0x01, 0x0F, 0x0F, 0x0301, {0x05})),
              Join({{0x06}, StackFrame(0x81, 0x0F, 0, 0x0301)}));
    for (int address = 1; address <= 3; ++address) {
        long long value = 0;
        EXPECT_TRUE(Sim().GetValue(address, 0x0301, value));
        EXPECT_EQ(value, 5) << address;
    }

    // Nobody at address 4: the line acknowledges, no projector answers.
    Line().Write(StackFrame(0x02, 4, 0, 0x0300));
    EXPECT_EQ(Line().ReadUntilQuiet(300), Bytes{0x06});
}

TEST(Simulator, ModelsLackTheirMissingItems)
{
    struct {
        const char* pszModel;
        uint16_t wItem;
        bool bKnown;
    } cases[] = {
        {"KT-C310", 0x0508, true}, {"KT-B212", 0x0508, false}, {"KT-C310", 0x0205, false},
        {"KT-B212", 0x0205, true}, {"KT-C310", 0x0208, true},  {"KT-A101", 0x0209, false},
        {"KT-A120", 0x1006, true}, {"KT-B213", 0x1006, false}, {"KT-B213", 0x1000, false},
    };
    for (const auto& c : cases) {
        Bytes answer = SBench(ModelOptions(c.pszModel)).line->Transact(StackFrame(0x02, 1, 0, c.wItem, {0x00}));
        ASSERT_GE(answer.size(), 5u) << c.pszModel;
        EXPECT_EQ((answer[4] & 0x40) == 0, c.bKnown) << c.pszModel << " " << std::hex << c.wItem;
    }
}

TEST_F(SimulatorTest, StackStateFollowsEstablishment)
{
    StartModel("KT-C310");
    Bytes query = StackFrame(0x02, 1, 0, 0x1000, {0x00});
    EXPECT_EQ(Line().Transact(query),
              Join({{0x06}, StackFrame(0x82, 0, 1, 0x1000, Hex("04 00 00 00 00 00 00 00 00"))}));
    EXPECT_EQ(Line().Transact(StackFrame(0x01, 1, 0, 0x1001, {0x00, 0x01})),
              Join({{0x06}, StackFrame(0x81, 0, 1, 0x1001)}));
    EXPECT_TRUE(Sim().IsStackEstablished());
    EXPECT_EQ(Line().Transact(query),
              Join({{0x06}, StackFrame(0x82, 0, 1, 0x1000, Hex("04 21 20 20 20 00 00 00 00"))}));
    Line().Transact(StackFrame(0x01, 1, 0, 0x1001, {0x00, 0x00}));
    EXPECT_FALSE(Sim().IsStackEstablished());
}

TEST_F(SimulatorTest, SpeedChangeTakesEffectAfterTheAnswer)
{
    StartSimulator();
    EXPECT_EQ(Sim().GetBaud(), 9600u);
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0006, {0x02})), ShortAnswer(0x81, 0x0006));
    EXPECT_EQ(Sim().GetBaud(), 38400u);
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0006, {0x04})), ShortAnswer(0xC1, 0x0006));
    EXPECT_EQ(Sim().GetBaud(), 38400u) << "a refused index changes nothing";
}

TEST_F(SimulatorTest, ResetAllRestoresFactoryValues)
{
    StartSimulator();
    Line().Transact(ShortFrame(0x01, 0x0300, {0x05}));
    Line().Transact(ShortFrame(0x01, 0x0000, {0x01}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0007, {0x00})), ShortAnswer(0x81, 0x0007));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0300)), ShortAnswer(0x82, 0x0300, {0x00}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0000)), ShortAnswer(0x82, 0x0000, {0x01})) << "link mode stays";
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0007)), ShortAnswer(0x82, 0x0007, {0x01})) << "idle again";
}

TEST_F(SimulatorTest, PowerStateStartsAsConfigured)
{
    SSimulatorOptions options;
    options.nPower = 0x11;
    StartSimulator(options);
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0003)), ShortAnswer(0x82, 0x0003, {0x11}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0003, {0x01})), ShortAnswer(0x81, 0x0003));
    EXPECT_EQ(Line().Transact(ShortFrame(0x03, 0x0003)), ShortAnswer(0xC3, 0x0003));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0003)), ShortAnswer(0x82, 0x0003, {0x01}));
}

TEST_F(SimulatorTest, AnswersFromTheComputerAreOnlyAcknowledged)
{
    StartSimulator();
    Line().Write(ShortFrame(0x82, 0x0003));
    Line().Write(StackFrame(0xC2, 2, 0, 0x0012));
    EXPECT_EQ(Line().ReadUntilQuiet(300), Hex("06 06"));
    EXPECT_EQ(Sim().PendingFaults(), 0u);
}

TEST_F(SimulatorTest, LogsFramesAndTheComputersAcknowledgements)
{
    char path[] = "/tmp/zelqsim-log-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    SSimulatorOptions options;
    options.strLogFile = path;
    StartSimulator(options);

    Bytes get = ShortFrame(0x02, 0x0300);
    Line().Transact(get);
    Line().Write({0x06});
    Line().Transact(get);
    Line().Write(Hex("15 41"));
    ASSERT_TRUE(Sim().Log().WaitForCount(ELogKind::RxStray, 1, 1000));

    std::vector<SLogEntry> log = Sim().Log().Entries();
    std::vector<ELogKind> kinds;
    for (const SLogEntry& entry : log)
        kinds.push_back(entry.eKind);
    std::vector<ELogKind> expected = {ELogKind::RxFrame, ELogKind::Tx,      ELogKind::Tx,
                                      ELogKind::RxAck,   ELogKind::RxFrame, ELogKind::Tx,
                                      ELogKind::Tx,      ELogKind::RxNak,   ELogKind::RxStray};
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(log[0].bytes, get);
    EXPECT_EQ(log[1].bytes, Bytes{0x06});
    EXPECT_EQ(log[2].bytes, ShortFrame(0x82, 0x0300, {0x00}));
    for (size_t i = 1; i < log.size(); ++i)
        EXPECT_GE(log[i].nMicros, log[i - 1].nMicros);
    SSimCounters counters = Sim().Counters();
    EXPECT_EQ(counters.nFrames, 2u);
    EXPECT_EQ(counters.nAcks, 1u);
    EXPECT_EQ(counters.nNaks, 1u);

    Sim().Stop();
    std::ifstream file(path);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    unlink(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), long(log.size()));
    EXPECT_NE(text.find("RX frame  1B 06 02 03 00 F5  short get 0x0300"), std::string::npos) << text;
    EXPECT_NE(text.find("RX NAK  15"), std::string::npos) << text;
}

TEST_F(SimulatorTest, DropsBrokenFramesFromTheComputerWithNak)
{
    SSimulatorOptions options;
    options.nStallLimitMs = 100;
    StartSimulator(options);
    Line().Write(Hex("1B 08 02 03"));
    long long start = MonotonicMs();
    EXPECT_EQ(Line().Read(1, 1000), Bytes{0x15});
    EXPECT_GE(MonotonicMs() - start, 90);
    Line().Write(Hex("1B 04 00 00 00"));
    EXPECT_EQ(Line().Read(1, 1000), Bytes{0x15});
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0300)), ShortAnswer(0x82, 0x0300, {0x00})) << "hunting resumed";
    EXPECT_EQ(Sim().Log().Count(ELogKind::RxStalled), 1u);
    EXPECT_EQ(Sim().Log().Count(ELogKind::RxBadLength), 1u);
    EXPECT_EQ(Sim().Counters().nBadFrames, 2u);
}

TEST_F(SimulatorTest, AsicFramesAreAnsweredWithTheSameItem)
{
    SSimulatorOptions options;
    options.bAsic = true;
    StartSimulator(options);
    EXPECT_EQ(Line().Transact(AsicFrame(0x02, 0x0300), true), Join({{0x06}, AsicFrame(0x02, 0x0300, {0x00})}));
    EXPECT_EQ(Line().Transact(AsicFrame(0x01, 0x0300, {0x07}), true), Join({{0x06}, AsicFrame(0x01, 0x0300, {0x07})}));
    EXPECT_EQ(Line().Transact(AsicFrame(0x02, 0x0300), true), Join({{0x06}, AsicFrame(0x02, 0x0300, {0x07})}));
    EXPECT_EQ(Line().Transact(AsicFrame(0x04, 0x5A5A, Hex("01 02 03")), true),
              Join({{0x06}, AsicFrame(0x04, 0x5A5A, Hex("01 02 03"))}));
    Bytes broken = AsicFrame(0x02, 0x0300);
    broken.back() ^= 1;
    Line().Write(broken);
    EXPECT_EQ(Line().ReadUntilQuiet(200), Bytes{0x15});
}

TEST_F(SimulatorTest, SendsFramesOfItsOwn)
{
    StartSimulator();
    SUnsolicitedFrame power;
    power.wItem = 0x0003;
    power.value = {0x10};
    Sim().SendFrame(power);
    EXPECT_EQ(Line().ReadUnit(1000), ShortFrame(0x02, 0x0003, {0x10}));

    SUnsolicitedFrame warning;
    warning.bStack = true;
    warning.nFrom = 3;
    warning.wItem = 0x0012;
    warning.value = {0x09};
    long long start = MonotonicMs();
    Sim().SendFrame(warning, 150);
    EXPECT_EQ(Line().ReadUnit(1000), StackFrame(0x02, 0, 3, 0x0012, {0x09}));
    EXPECT_GE(MonotonicMs() - start, 140);
}

TEST_F(SimulatorTest, PacesOutputToTheLineRate)
{
    StartSimulator();
    Bytes block(192, 0x41);
    // From the order to the last byte: the line cannot deliver sooner than its rate allows.
    auto transfer = [&] {
        Line().ReadUntilQuiet(50);
        long long start = MonotonicMs();
        Sim().SendRaw(block);
        EXPECT_EQ(Line().Read(block.size(), 3000).size(), block.size());
        return MonotonicMs() - start;
    };
    EXPECT_LT(transfer(), 90) << "unpaced output comes at once";
    Sim().SetPacing(9600);
    long long ms = transfer(); // 192 bytes of 10 bits at 9600: 200 ms
    EXPECT_GE(ms, 195);
    EXPECT_LT(ms, 600);
    Sim().SetPacing(19200);
    ms = transfer();
    EXPECT_GE(ms, 97);
    EXPECT_LT(ms, 300);
}

TEST_F(SimulatorTest, TextCommandsActOnTheLine)
{
    StartSimulator();
    for (const char* bad : {"fault what", "random 5", "delay x", "pace 3", "set 0x0300", "set 0x1F1F 1",
                            "set 0x0300 1 5", "report 0x0003 0g", "power sideways", "jump", "input 300", "signal 1 5",
                            "warning", "change 0x0311 0", "frequency 1", "resolution 1 2 0", "power-ms 100"})
        EXPECT_NE(Sim().Execute(bad), "") << bad;
    for (const char* good : {"fault nak,late:100", "clear", "random 5:10", "random off", "delay 0", "pace off",
                             "set 0x0300 -5", "# comment", ""})
        EXPECT_EQ(Sim().Execute(good), "") << good;
    long long value = 0;
    ASSERT_TRUE(Sim().GetValue(1, 0x0300, value));
    EXPECT_EQ(value, -5);

    // A narrowed range refuses what the item took before, and keeps the stored value.
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0300, {0x06})), Join({{0x06}, ShortFrame(0x81, 0x0300)}));
    EXPECT_EQ(Sim().Execute("range 0x0300 -30 5"), "");
    EXPECT_EQ(Line().Transact(ShortFrame(0x01, 0x0300, {0x07})), Join({{0x06}, ShortFrame(0xC1, 0x0300)}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0300)), Join({{0x06}, ShortFrame(0x82, 0x0300, {0x06})}));
    for (const char* bad : {"range 0x0300 5 -5", "range 0x0311 0 1", "range 0x7777 0 1", "range 0x0300 0"})
        EXPECT_NE(Sim().Execute(bad), "") << bad;

    EXPECT_EQ(Sim().Execute("fault nak"), "");
    Line().Write(ShortFrame(0x02, 0x0300));
    EXPECT_EQ(Line().ReadUntilQuiet(200), Bytes{0x15});

    EXPECT_EQ(Sim().Execute("report stack from 2 flags 0x03 0x0012 04"), "");
    EXPECT_EQ(Line().ReadUnit(1000), StackFrame(0x03, 0, 2, 0x0012, {0x04}));
    EXPECT_EQ(Sim().Execute("raw 0x41 4243"), "");
    EXPECT_EQ(Line().ReadUntilQuiet(200), Hex("41 42 43"));
    EXPECT_EQ(Sim().Execute("power warming"), "");
    EXPECT_EQ(Line().ReadUnit(1000), ShortFrame(0x02, 0x0003, {0x10}));
    EXPECT_EQ(Line().Transact(ShortFrame(0x02, 0x0003)), ShortAnswer(0x82, 0x0003, {0x10}));
    EXPECT_EQ(Sim().Execute("power standby 2"), "");
    EXPECT_EQ(Line().ReadUnit(1000), StackFrame(0x02, 0, 2, 0x0003, {0x00}));
}

} // namespace

// Each fault kind as the computer sees it on the line.
#include "sim_test_support.h"

#include <functional>
#include <sstream>

namespace {

const Bytes kGet = ShortFrame(0x02, 0x0300);
const Bytes kAnswer = ShortFrame(0x82, 0x0300, {0x00});

struct SObserved {
    Bytes bytes;
    long long nAckMs = -1;  // when the first byte came, after the write
    long long nLastMs = -1; // when the last byte came
};

SObserved Observe(CLine& line, const Bytes& command, int quietMs)
{
    SObserved seen;
    long long start = MonotonicMs();
    line.Write(command);
    for (;;) {
        Bytes more = line.ReadSome(quietMs);
        if (more.empty())
            break;
        if (seen.bytes.empty())
            seen.nAckMs = MonotonicMs() - start;
        seen.nLastMs = MonotonicMs() - start;
        seen.bytes.insert(seen.bytes.end(), more.begin(), more.end());
    }
    return seen;
}

bool EndsWith(const Bytes& bytes, const Bytes& tail)
{
    return bytes.size() >= tail.size() && std::equal(tail.begin(), tail.end(), bytes.end() - tail.size());
}

TEST_F(SimulatorTest, EachFaultKindShowsOnTheLine)
{
    StartSimulator();
    struct {
        const char* pszFault;
        std::function<void(const SObserved&)> check;
        int nQuietMs = 250;
    } cases[] = {
        {"normal",
         [](const SObserved& s) {
             EXPECT_EQ(s.bytes, Join({{0x06}, kAnswer}));
         }},
        {"no-ack", [](const SObserved& s) { EXPECT_TRUE(s.bytes.empty()) << HexBytes(s.bytes); }},
        {"nak", [](const SObserved& s) { EXPECT_EQ(s.bytes, Bytes{0x15}); }},
        {"ack-only", [](const SObserved& s) { EXPECT_EQ(s.bytes, Bytes{0x06}); }},
        {"late:400",
         [](const SObserved& s) {
             EXPECT_EQ(s.bytes, Join({{0x06}, kAnswer}));
             EXPECT_LT(s.nAckMs, 150) << "the ACK is not late";
             EXPECT_GE(s.nLastMs, 390);
         },
         500},
        {"bad-checksum",
         [](const SObserved& s) {
             Bytes wrong = Join({{0x06}, kAnswer});
             ASSERT_EQ(s.bytes.size(), wrong.size());
             EXPECT_TRUE(std::equal(wrong.begin(), wrong.end() - 1, s.bytes.begin()));
             EXPECT_NE(s.bytes.back(), wrong.back());
         }},
        {"truncated",
         [](const SObserved& s) {
             EXPECT_EQ(s.bytes, Join({{0x06}, Bytes(kAnswer.begin(), kAnswer.begin() + 5)}));
         }},
        {"garbage:4",
         [](const SObserved& s) {
             ASSERT_EQ(s.bytes.size(), 1 + 4 + kAnswer.size());
             EXPECT_EQ(s.bytes[0], 0x06);
             for (int i = 1; i <= 4; ++i)
                 EXPECT_TRUE(s.bytes[i] != 0x06 && s.bytes[i] != 0x15 && s.bytes[i] != 0x1B && s.bytes[i] != 0x1D);
             EXPECT_TRUE(EndsWith(s.bytes, kAnswer));
         }},
        {"short-length",
         [](const SObserved& s) {
             ASSERT_GE(s.bytes.size(), 3 + kAnswer.size());
             EXPECT_EQ(s.bytes[0], 0x06);
             EXPECT_EQ(s.bytes[1], 0x1B);
             EXPECT_LT(s.bytes[2], 6) << "length below a short frame's minimum";
             EXPECT_TRUE(EndsWith(s.bytes, kAnswer));
         }},
        {"other-item",
         [](const SObserved& s) {
             ASSERT_EQ(s.bytes.size(), 1 + 2 * kAnswer.size());
             Bytes other(s.bytes.begin() + 1, s.bytes.begin() + 1 + kAnswer.size());
             EXPECT_NE(Bytes(other.begin() + 3, other.begin() + 5), Hex("03 00")) << "another group/item";
             EXPECT_EQ(other.back(), Checksum(Bytes(other.begin(), other.end() - 1))) << "but a good frame";
             EXPECT_TRUE(EndsWith(s.bytes, kAnswer));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszFault);
        ASSERT_EQ(Sim().Execute(std::string("fault ") + c.pszFault), "");
        c.check(Observe(Line(), kGet, c.nQuietMs));
        EXPECT_EQ(Sim().PendingFaults(), 0u);
    }
}

TEST_F(SimulatorTest, StackFramesGetStackShapedFaults)
{
    StartSimulator();
    Sim().PushFaults({{EFault::ShortLength, 0}, {EFault::Truncated, 0}});
    Bytes answer = StackFrame(0x82, 0, 2, 0x0300, {0x00});
    SObserved shortLength = Observe(Line(), StackFrame(0x02, 2, 0, 0x0300), 300);
    ASSERT_GE(shortLength.bytes.size(), 4u);
    EXPECT_EQ(shortLength.bytes[1], 0x1D);
    EXPECT_LT(shortLength.bytes[2] << 8 | shortLength.bytes[3], 8);
    EXPECT_TRUE(EndsWith(shortLength.bytes, answer));
    EXPECT_EQ(Observe(Line(), StackFrame(0x02, 2, 0, 0x0300), 300).bytes,
              Join({{0x06}, Bytes(answer.begin(), answer.begin() + 5)}));
}

TEST_F(SimulatorTest, PlanIsConsumedOneEntryPerCommandFrame)
{
    StartSimulator();
    Sim().PushFaults({{EFault::Nak, 0}, {EFault::Normal, 0}, {EFault::NoAck, 0}});
    EXPECT_EQ(Observe(Line(), kGet, 200).bytes, Bytes{0x15});
    Line().Write(Hex("06 15 41")); // acknowledgement and stray bytes are not commands
    Line().Write(Join({{0x1B, 0x06, 0x02, 0x03, 0x00, 0x00}}));
    EXPECT_EQ(Line().ReadUntilQuiet(200), Bytes{0x15}) << "a broken frame is not a command either";
    EXPECT_EQ(Sim().PendingFaults(), 2u);
    EXPECT_EQ(Observe(Line(), kGet, 200).bytes, Join({{0x06}, kAnswer}));
    EXPECT_TRUE(Observe(Line(), kGet, 300).bytes.empty());
    EXPECT_EQ(Observe(Line(), kGet, 200).bytes, Join({{0x06}, kAnswer})) << "an empty plan is normal";
}

TEST_F(SimulatorTest, AckOnlyStillTakesTheSetAndNakDoesNot)
{
    StartSimulator();
    Sim().PushFaults({{EFault::AckOnly, 0}, {EFault::Nak, 0}, {EFault::NoAck, 0}});
    EXPECT_EQ(Observe(Line(), ShortFrame(0x01, 0x0300, {0x03}), 200).bytes, Bytes{0x06});
    Observe(Line(), ShortFrame(0x01, 0x0300, {0x04}), 200);
    Observe(Line(), ShortFrame(0x01, 0x0300, {0x05}), 200);
    long long value = 0;
    ASSERT_TRUE(Sim().GetValue(1, 0x0300, value));
    EXPECT_EQ(value, 3);
}

TEST_F(SimulatorTest, LateReplyDoesNotHoldBackTheNextAck)
{
    StartSimulator();
    Sim().PushFault({EFault::Late, 800});
    long long start = MonotonicMs();
    Line().Write(kGet);
    EXPECT_EQ(Line().Read(1, 300), Bytes{0x06});
    Line().Write(ShortFrame(0x02, 0x0301)); // the computer's retry, meanwhile
    EXPECT_EQ(Line().Read(1 + kAnswer.size(), 300), Join({{0x06}, ShortFrame(0x82, 0x0301, {0x00})}));
    EXPECT_LT(MonotonicMs() - start, 700);
    EXPECT_EQ(Line().Read(kAnswer.size(), 1500), kAnswer) << "the late answer still comes";
    EXPECT_GE(MonotonicMs() - start, 790);
}

TEST(Simulator, RandomFaultsRepeatWithTheirSeed)
{
    auto faultsSeen = [](uint32_t seed) {
        SSimulatorOptions options;
        options.bRandomFaults = true;
        options.nRandomSeed = seed;
        options.nRandomPercent = 60;
        SBench bench(options);
        CProjectorSimulator& simulator = bench.simulator;
        for (int i = 0; i < 25; ++i)
            bench.line->Write(ShortFrame(0x02, 0x0300));
        EXPECT_TRUE(simulator.Log().WaitForCount(ELogKind::RxFrame, 25, 2000));
        std::string faults;
        for (const SLogEntry& entry : simulator.Log().Entries())
            if (entry.eKind == ELogKind::RxFrame) {
                size_t at = entry.strText.find(" fault ");
                faults += (at == std::string::npos ? std::string("normal") : entry.strText.substr(at + 7)) + ",";
            }
        return faults;
    };
    std::string first = faultsSeen(42);
    EXPECT_EQ(first, faultsSeen(42));
    EXPECT_NE(first, faultsSeen(43));
    int faulted = 0;
    std::istringstream entries(first);
    for (std::string entry; std::getline(entries, entry, ',');)
        faulted += entry != "normal";
    EXPECT_GT(faulted, 5) << first;
    EXPECT_LT(faulted, 25) << first;
}

} // namespace

// The Level 5 engine against the simulated projector: automatic ACK/NAK, reply matching,
// attempts and their timing, stack frames, and what it posts in which order.
#include <sys/resource.h>

#include "engine_fixture.h"

namespace {

using Level5 = EngineTest;

const CZelqLevel5Packet* Packet(const SPosted& p)
{
    return reinterpret_cast<const CZelqLevel5Packet*>(p.record);
}

TEST_F(Level5, StackGetIsAnsweredAndAcknowledgedAutomatically)
{
    StartSimulator();
    m_pSim->SetValue(2, 0x0300, -10);
    auto engine = Open<CCommZelqLevel5>();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300, 1, 2), NoParameter(), 1, 1000), 0);
    auto posted = Drain();
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_SENT, UM_ACK_RECEIVED, UM_PACKET_RECEIVED,
                                                        UM_ACK_SENT}));
    EXPECT_EQ(posted[0].source, static_cast<WPARAM>(SOURCE_LEVEL5));
    const CZelqLevel5Packet* reply = Packet(posted[2]);
    EXPECT_TRUE(reply->IsStack());
    EXPECT_TRUE(reply->IsApply());
    EXPECT_FALSE(reply->IsOK());
    EXPECT_EQ(reply->GetFrom(), 2);
    ASSERT_GE(reply->GetParameter()->GetSize(), 1u);
    EXPECT_EQ(static_cast<signed char>(reply->GetParameter()->GetAt(reply->GetParameter()->GetSize() - 1)), -10);
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxAck, 1, 1000)) << "the answer was acknowledged";
}

TEST_F(Level5, BadFrameIsRefusedAndReportedInOrder)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    std::vector<uint8_t> bad = CProjectorSimulator::BuildFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {1}}, false);
    bad.back() ^= 0xFF;
    m_pSim->SendRaw(bad);
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxNak, 1, 1000));
    auto posted = Drain();
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_ERROR, UM_NAK_SENT}));
    EXPECT_EQ(reinterpret_cast<const CErrorPacket*>(posted[0].record)->GetSize(), bad.size());
}

TEST_F(Level5, ReportFromTheProjectorIsAcknowledged)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    m_pSim->SendFrame(SUnsolicitedFrame{true, 3, 0, 0x02, 0x0003, {0x11}});
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxAck, 1, 1000));
    auto posted = Drain();
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_RECEIVED, UM_ACK_SENT}));
    EXPECT_FALSE(Packet(posted[0])->IsApply());
    EXPECT_EQ(Packet(posted[0])->GetFrom(), 3);
}

TEST_F(Level5, NakToEveryAttemptGivesNoAckAfterThreeWrites)
{
    StartSimulator();
    m_pSim->PushFaults({{EFault::Nak}, {EFault::Nak}, {EFault::Nak}});
    auto engine = Open<CCommZelqLevel5>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 1000), ERR_NO_ACK);
    EXPECT_LT(ElapsedMs(start), 500) << "a NAK ends an attempt at once";
    EXPECT_EQ(FrameTimes().size(), 3u);
}

TEST_F(Level5, SilenceGivesNoAckAfterThreeWindows)
{
    StartSimulator();
    m_pSim->PushFaults({{EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    auto engine = Open<CCommZelqLevel5>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 1000), ERR_NO_ACK);
    long took = ElapsedMs(start);
    EXPECT_GE(took, 900);
    EXPECT_LT(took, 1400);
    EXPECT_EQ(FrameTimes().size(), 3u);
}

TEST_F(Level5, NakThenAnswerSucceedsOnTheSecondAttempt)
{
    StartSimulator();
    m_pSim->PushFault({EFault::Nak});
    auto engine = Open<CCommZelqLevel5>();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 1000), 0);
    EXPECT_EQ(FrameTimes().size(), 2u);
}

TEST_F(Level5, MissingReplyEndsAfterOneAcknowledgedWrite)
{
    StartSimulator();
    m_pSim->PushFault({EFault::AckOnly});
    auto engine = Open<CCommZelqLevel5>();
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 1000), ERR_NO_REPLY);
    double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    long took = ElapsedMs(start);
    EXPECT_GE(took, 1000);
    EXPECT_LT(took, 1400);
    EXPECT_EQ(FrameTimes().size(), 1u);
    EXPECT_LT(cpuMs, 0.25 * took) << "waiting must not spin";
}

struct ReplyFaultCase {
    const char* name;
    SFault fault;
    unsigned long timeout;
    int result;
    unsigned int errorsPosted;
};

class Level5ReplyFaults : public EngineTest, public ::testing::WithParamInterface<ReplyFaultCase> {};

TEST_P(Level5ReplyFaults, TheRightReplyIsFoundOrTheWaitEnds)
{
    const ReplyFaultCase& c = GetParam();
    StartSimulator();
    m_pSim->PushFault(c.fault);
    auto engine = Open<CCommZelqLevel5>();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, c.timeout), c.result);
    size_t errors = 0, replies = 0;
    for (const SPosted& p : Drain(1200)) {
        errors += p.message == UM_PACKET_ERROR;
        replies += p.message == UM_PACKET_RECEIVED;
    }
    EXPECT_EQ(errors, c.errorsPosted);
    EXPECT_EQ(FrameTimes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Level5ReplyFaults,
    ::testing::Values(ReplyFaultCase{"other item first", {EFault::OtherItem}, 1000, 0, 0},
                      ReplyFaultCase{"garbage between frames", {EFault::Garbage, 7}, 1000, 0, 0},
                      ReplyFaultCase{"length below the minimum", {EFault::ShortLength}, 2000, 0, 1},
                      ReplyFaultCase{"late within the limit", {EFault::Late, 400}, 1000, 0, 0},
                      ReplyFaultCase{"late beyond the limit", {EFault::Late, 900}, 500, ERR_NO_REPLY, 0},
                      ReplyFaultCase{"wrong checksum", {EFault::BadChecksum}, 800, ERR_NO_REPLY, 1}),
    [](const ::testing::TestParamInfo<ReplyFaultCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST_F(Level5, SetIsStoredByTheProjector)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    SZelqLevel5Header h = GetCommand(0x0300);
    h.Attr = 1;
    unsigned char value = 0xF6; // -10
    EXPECT_EQ(engine->SendCommand(h, CDataInformation(&value, 1), 1, 1000), 0);
    long long stored = 0;
    ASSERT_TRUE(m_pSim->GetValue(1, 0x0300, stored));
    EXPECT_EQ(stored, -10);
}

TEST_F(Level5, ClosingStopsTheReceiveThreadPromptly)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->CloseSerilox(), 0);
    EXPECT_LT(ElapsedMs(start), 1300);
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 100), ERR_DEVICE);
    EXPECT_EQ(engine->OpenSerilox(), 0) << "a closed engine opens again";
}

} // namespace

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
    // The receive thread posts both before it hands the answer to the waiting call.
    auto posted = Queued();
    ASSERT_EQ(Kinds(posted),
              (std::vector<unsigned int>{UM_PACKET_SENT, UM_ACK_RECEIVED, UM_PACKET_RECEIVED, UM_ACK_SENT}));
    EXPECT_EQ(posted[0].source, static_cast<WPARAM>(SOURCE_LEVEL5));
    const CZelqLevel5Packet* reply = Packet(posted[2]);
    EXPECT_TRUE(reply->IsStack());
    EXPECT_TRUE(reply->IsApply());
    EXPECT_FALSE(reply->IsOK());
    EXPECT_EQ(reply->GetFrom(), 2);
    ASSERT_GE(reply->GetParameter()->GetSize(), 1u);
    EXPECT_EQ(static_cast<signed char>(reply->GetParameter()->GetAt(reply->GetParameter()->GetSize() - 1)), -10);
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxAck, 1, kPatienceMs)) << "the answer was acknowledged";
}

TEST_F(Level5, BadFrameIsRefusedAndReportedInOrder)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    std::vector<uint8_t> bad =
        CProjectorSimulator::BuildFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {1}}, false);
    bad.back() ^= 0xFF;
    m_pSim->SendRaw(bad);
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxNak, 1, kPatienceMs));
    auto posted = Await(2);
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_ERROR, UM_NAK_SENT}));
    EXPECT_EQ(reinterpret_cast<const CErrorPacket*>(posted[0].record)->GetSize(), bad.size());
}

TEST_F(Level5, ReportFromTheProjectorIsAcknowledged)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    m_pSim->SendFrame(SUnsolicitedFrame{true, 3, 0, 0x02, 0x0003, {0x11}});
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxAck, 1, kPatienceMs));
    auto posted = Await(2);
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_RECEIVED, UM_ACK_SENT}));
    EXPECT_FALSE(Packet(posted[0])->IsApply());
    EXPECT_EQ(Packet(posted[0])->GetFrom(), 3);
}

TEST_F(Level5, NakToEveryAttemptGivesNoAckAfterThreeWrites)
{
    StartSimulator();
    m_pSim->PushFaults({{EFault::Nak}, {EFault::Nak}, {EFault::Nak}});
    auto engine = Open<CCommZelqLevel5>();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 1000), ERR_NO_ACK);
    // The simulator may log the last write a little after the call has given up on it.
    ASSERT_TRUE(AwaitFrames(3));
    std::vector<double> times = FrameTimes();
    ASSERT_EQ(times.size(), 3u);
    // A NAK ends an attempt at once: all three writes come within the two windows an engine
    // that waited them out would take.
    EXPECT_LT(times[2] - times[0], 2 * kAckWindowMs);
}

TEST_F(Level5, SilenceGivesNoAckAfterThreeWindows)
{
    StartSimulator();
    m_pSim->PushFaults({{EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    auto engine = Open<CCommZelqLevel5>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 1000), ERR_NO_ACK);
    long took = ElapsedMs(start);
    // The simulator may log the last write a little after the call has given up on it.
    ASSERT_TRUE(AwaitFrames(3));
    std::vector<double> times = FrameTimes();
    ASSERT_EQ(times.size(), 3u);
    ExpectSpacing(times, kAckWindowMs);
    EXPECT_GE(took, 3 * kAckWindowMs - 5);
    EXPECT_LT(took, kSlack * 3 * kAckWindowMs);
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
    EXPECT_LT(took, kSlack * (kAckWindowMs + 1000));
    EXPECT_EQ(FrameTimes().size(), 1u);
    EXPECT_LT(cpuMs, 0.25 * took) << "waiting must not spin";
}

struct ReplyFaultCase {
    const char* name;
    SFault fault;
    unsigned long timeout;
    int result;
    unsigned int errorsPosted;
    std::vector<uint16_t> repliesPosted; // items of the frames posted as received, in order
};

class Level5ReplyFaults : public EngineTest, public ::testing::WithParamInterface<ReplyFaultCase> {};

uint16_t ItemOf(const SPosted& p)
{
    return static_cast<uint16_t>(Packet(p)->GetGroupID() << 8 | Packet(p)->GetItemID());
}

TEST_P(Level5ReplyFaults, TheRightReplyIsFoundOrTheWaitEnds)
{
    const ReplyFaultCase& c = GetParam();
    StartSimulator();
    m_pSim->PushFault(c.fault);
    auto engine = Open<CCommZelqLevel5>();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, c.timeout), c.result);
    std::vector<SPosted> posted = Queued();
    if (c.result == 0) {
        // A reply is posted before the waiting call is given it: the one that ended the wait
        // must already be there, and be the command's own.
        ASSERT_FALSE(posted.empty());
        std::vector<uint16_t> items;
        for (const SPosted& p : posted)
            if (p.message == UM_PACKET_RECEIVED)
                items.push_back(ItemOf(p));
        EXPECT_EQ(items, c.repliesPosted) << "posted when the call returned";
    }
    // Late frames too, until as many as the projector sends have been posted.
    std::vector<uint16_t> replies;
    unsigned int errors = 0;
    size_t seen = 0;
    SQueuedMessage m;
    for (;;) {
        for (; seen < posted.size(); ++seen) {
            errors += posted[seen].message == UM_PACKET_ERROR;
            if (posted[seen].message == UM_PACKET_RECEIVED)
                replies.push_back(ItemOf(posted[seen]));
        }
        if ((errors >= c.errorsPosted && replies.size() >= c.repliesPosted.size()) || !m_Queue.Get(m, kPatienceMs))
            break;
        posted.push_back({m.message, m.wParam, m.lParam});
    }
    EXPECT_EQ(errors, c.errorsPosted);
    EXPECT_EQ(replies, c.repliesPosted);
    EXPECT_EQ(FrameTimes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, Level5ReplyFaults,
    ::testing::Values(ReplyFaultCase{"other item first", {EFault::OtherItem}, 1000, 0, 0, {0x0301, 0x0300}},
                      ReplyFaultCase{"garbage between frames", {EFault::Garbage, 7}, 1000, 0, 0, {0x0300}},
                      ReplyFaultCase{"length below the minimum", {EFault::ShortLength}, 2000, 0, 1, {0x0300}},
                      ReplyFaultCase{"late within the limit", {EFault::Late, 400}, 1000, 0, 0, {0x0300}},
                      ReplyFaultCase{"late beyond the limit", {EFault::Late, 900}, 500, ERR_NO_REPLY, 0, {0x0300}},
                      ReplyFaultCase{"wrong checksum", {EFault::BadChecksum}, 800, ERR_NO_REPLY, 1, {}}),
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
    EXPECT_LT(ElapsedMs(start), kSlack * 1000) << "the receive thread looks at the stop request every second";
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), NoParameter(), 1, 100), ERR_DEVICE);
    EXPECT_EQ(engine->OpenSerilox(), 0) << "a closed engine opens again";
}

TEST_F(Level5, StackFrameArrivingInPiecesIsCompleted)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    const std::vector<uint8_t> frame =
        CProjectorSimulator::BuildFrame(SUnsolicitedFrame{true, 2, 0, 0x02, 0x0003, {0x01}}, false);
    ASSERT_EQ(frame.size(), 9u);
    // Split after the start byte and the six bytes read first (then two more complete it),
    // and at other places, each rest arriving well after its head. An ACK byte right behind
    // the frame must be left for the next read, neither taken into the frame nor missing.
    for (size_t at : {7u, 1u, 3u, 8u}) {
        m_pSim->SendRaw(std::vector<uint8_t>(frame.begin(), frame.begin() + at));
        std::vector<uint8_t> rest(frame.begin() + at, frame.end());
        rest.push_back(ZELQ_ACK);
        m_pSim->SendRaw(rest, 300);
        auto posted = Await(3);
        ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_RECEIVED, UM_ACK_SENT, UM_ACK_RECEIVED}))
            << "split at " << at;
        const CDataInformation& got = Packet(posted[0])->FormerData();
        EXPECT_EQ(std::vector<uint8_t>(got.Bytes(), got.Bytes() + got.GetSize()), frame) << "split at " << at;
        EXPECT_EQ(Packet(posted[0])->GetFrom(), 2);
    }
}

TEST_F(Level5, SendThroughTheLevel4InterfaceUsesTheEnginesOwnRecords)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    CCommZelqLevel4& base = *engine;
    CZelqLevel5Packet command;
    command.SetData(GetCommand(0x0300), NoParameter());
    EXPECT_EQ(base.SendCommand(command.FormerData(), 1, 1000), 0);
    SZelqLevel4Header h;
    h.Attr = 2;
    h.GroupID = 0x03;
    h.ItemID = 0x01;
    EXPECT_EQ(base.SendCommand(h, NoParameter(), 1, 1000), 0);
    std::vector<uint16_t> sent;
    for (const SPosted& p : Queued()) {
        EXPECT_EQ(p.source, static_cast<WPARAM>(SOURCE_LEVEL5));
        if (p.message == UM_PACKET_SENT)
            sent.push_back(ItemOf(p));
    }
    EXPECT_EQ(sent, (std::vector<uint16_t>{0x0300, 0x0301}));
    EXPECT_EQ(engine->GetWriteBufferNumber(), 2u);
}

} // namespace

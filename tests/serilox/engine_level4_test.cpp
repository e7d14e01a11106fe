// The Level 4 engine against the simulated projector: acknowledgement window, attempts,
// NAK, reply matching, failed frames and the ring of read records.
#include <future>

#include "engine_fixture.h"

namespace {

const unsigned char kIdentify[] = {0x1B, 0x06, 0x02, 0x00, 0x04, 0xF4};

CDataInformation IdentifyFrame()
{
    return CDataInformation(kIdentify, sizeof kIdentify);
}

using Level4 = EngineTest;

TEST_F(Level4, IdentificationIsAcknowledgedAndAnswered)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel4>();
    SZelqLevel4Header h;
    h.Attr = 2;
    h.GroupID = 0x00;
    h.ItemID = 0x04;
    EXPECT_EQ(engine->SendCommand(h, NoParameter(), 1, 1000), 0);
    // The answer is posted before the call sees it, so all three are there when it returns.
    auto posted = Queued();
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_SENT, UM_ACK_RECEIVED, UM_PACKET_RECEIVED}));
    for (const SPosted& p : posted)
        EXPECT_EQ(p.source, static_cast<WPARAM>(SOURCE_LEVEL4));
    const CZelqLevel4Packet* sent = reinterpret_cast<const CZelqLevel4Packet*>(posted[0].record);
    EXPECT_EQ(sent->FormerData().GetSize(), 6u);
    EXPECT_EQ(sent->FormerData().GetAt(5), 0xF4);
    const CZelqLevel4Packet* reply = reinterpret_cast<const CZelqLevel4Packet*>(posted[2].record);
    ASSERT_EQ(reply->GetParameter()->GetSize(), 4u);
    EXPECT_EQ(reply->GetParameter()->GetAt(2), 0x43);
    EXPECT_EQ(reply->GetParameter()->GetAt(3), 0x10);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(posted[1].record)).size(), 8u) << "a time text";
}

TEST_F(Level4, SilenceMeansThreeWritesThenNoAck)
{
    StartSimulator();
    m_pSim->PushFaults({{EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    auto engine = Open<CCommZelqLevel4>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(IdentifyFrame(), 1, 1000), ERR_NO_ACK);
    long took = ElapsedMs(start);
    // The simulator may log the last write a little after the call has given up on it.
    ASSERT_TRUE(AwaitFrames(3));
    std::vector<double> times = FrameTimes();
    ASSERT_EQ(times.size(), 3u);
    ExpectSpacing(times, kAckWindowMs);
    EXPECT_GE(took, 3 * kAckWindowMs - 5) << "each write waits out the window";
    EXPECT_LT(took, kSlack * 3 * kAckWindowMs);
}

TEST_F(Level4, NakEndsTheCallAtOnceWithoutError)
{
    StartSimulator();
    m_pSim->PushFault({EFault::Nak});
    auto engine = Open<CCommZelqLevel4>();
    EXPECT_EQ(engine->SendCommand(IdentifyFrame(), 1, 1000), 0);
    EXPECT_EQ(FrameTimes().size(), 1u) << "no further attempt";
    EXPECT_EQ(Kinds(Await(2)), (std::vector<unsigned int>{UM_PACKET_SENT, UM_NAK_RECEIVED}));
}

TEST_F(Level4, AcknowledgedWithoutReplyRepeatsTheWholeCommand)
{
    StartSimulator();
    m_pSim->PushFaults({{EFault::AckOnly}, {EFault::AckOnly}, {EFault::AckOnly}});
    auto engine = Open<CCommZelqLevel4>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(IdentifyFrame(), 1, 1000), ERR_NO_REPLY);
    long took = ElapsedMs(start);
    // The simulator may log the last write a little after the call has given up on it.
    ASSERT_TRUE(AwaitFrames(3));
    std::vector<double> times = FrameTimes();
    ASSERT_EQ(times.size(), 3u);
    // Each attempt waits the whole reply time-out after its acknowledgement.
    ExpectSpacing(times, 1000.0);
    EXPECT_GE(took, 3000);
}

TEST_F(Level4, AcknowledgementAloneEndsACallThatWantsNoReply)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel4>();
    EXPECT_EQ(engine->SendCommand(IdentifyFrame(), 0, 1000), 0);
    EXPECT_EQ(FrameTimes().size(), 1u);
}

TEST_F(Level4, ReplyForAnotherItemDoesNotEndTheWait)
{
    StartSimulator();
    // The real answer comes well after a stray frame that arrives right after the ACK, so an
    // engine that ended its wait on any frame would return before the answer is posted.
    m_pSim->SetReplyDelay(400);
    auto engine = Open<CCommZelqLevel4>();
    auto call = std::async(std::launch::async, [&] { return engine->SendCommand(IdentifyFrame(), 1, 2000); });
    std::vector<SPosted> posted = AwaitMessage(UM_ACK_RECEIVED);
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0005, {0x01}});
    EXPECT_EQ(call.get(), 0);
    for (const SPosted& p : Queued())
        posted.push_back(p);
    std::vector<unsigned char> items;
    for (const SPosted& p : posted)
        if (p.message == UM_PACKET_RECEIVED)
            items.push_back(reinterpret_cast<const CZelqLevel4Packet*>(p.record)->GetItemID());
    EXPECT_EQ(items, (std::vector<unsigned char>{0x05, 0x04})) << "the stray frame is posted, the answer ends the wait";
}

TEST_F(Level4, FrameThatStopsMidwayIsPostedAsError)
{
    StartSimulator();
    m_pSim->PushFault({EFault::Truncated});
    auto engine = Open<CCommZelqLevel4>();
    EXPECT_EQ(engine->SendCommand(IdentifyFrame(), 0, 1000), 0);
    SQueuedMessage m;
    const CErrorPacket* error = nullptr;
    auto start = std::chrono::steady_clock::now();
    while (!error && m_Queue.Get(m, kPatienceMs))
        if (m.message == UM_PACKET_ERROR)
            error = reinterpret_cast<const CErrorPacket*>(m.lParam);
    ASSERT_NE(error, nullptr);
    EXPECT_GE(ElapsedMs(start), 900) << "the rest of the frame is awaited for a second";
    EXPECT_EQ(error->GetSize(), 5u) << "start byte and the four header bytes";
    EXPECT_EQ(error->GetAt(0), 0x1B);
}

TEST_F(Level4, SeventeenthFrameOverwritesTheFirstRecord)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel4>();
    for (uint16_t i = 0; i < 17; ++i) {
        SUnsolicitedFrame f;
        f.nFlags = 0x02;
        f.wItem = static_cast<uint16_t>(0x0100 + i);
        f.value = {static_cast<uint8_t>(i)};
        m_pSim->SendFrame(f);
    }
    auto posted = Await(17);
    ASSERT_EQ(posted.size(), 17u);
    EXPECT_EQ(posted[0].record, posted[16].record);
    const CZelqLevel4Packet* first = reinterpret_cast<const CZelqLevel4Packet*>(posted[0].record);
    EXPECT_EQ(first->GetItemID(), 16) << "the first record now holds the seventeenth frame";
    EXPECT_EQ(engine->GetReadBufferNumber(), 17u);
}

TEST_F(Level4, AcknowledgementsSentByTheProgramArePosted)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel4>();
    EXPECT_EQ(engine->SendACK(), 0);
    EXPECT_EQ(engine->SendNAK(), 0);
    EXPECT_EQ(Kinds(Queued()), (std::vector<unsigned int>{UM_ACK_SENT, UM_NAK_SENT}));
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxNak, 1, kPatienceMs));
}

// An engine without its receive thread, so the test feeds frame completion by hand.
class QuietLevel4 : public CCommZelqLevel4 {
public:
    QuietLevel4(HWND window, SeriloxThreadProc) : CCommZelqLevel4(window, &Idle) {}
    static unsigned int Idle(void* self)
    {
        while (static_cast<CSerilox*>(self)->GetCommFlag() != 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return 0;
    }
    static unsigned int ASyncThreadCallBack(void*) { return 0; }
    using CCommZelqLevel4::ObtainCommand;
};

TEST_F(Level4, FrameCompletionResults)
{
    StartSimulator();
    auto engine = Open<QuietLevel4>();
    struct Case {
        const char* name;
        std::vector<uint8_t> rest; // after the start byte
        int result;
        unsigned int kept;
    } cases[] = {
        {"good", {0x06, 0x02, 0x00, 0x04, 0xF4}, 0, 6},
        {"wrong checksum", {0x06, 0x02, 0x00, 0x04, 0xF5}, ERR_CHECKSUM, 6},
        {"length below the minimum", {0x03, 0x02, 0x00, 0x04}, ERR_CHECKSUM, 5},
        {"promises more than arrives", {0x09, 0x02, 0x00, 0x04, 0x01}, ERR_READ_TIMEOUT, 5},
        {"header cut short", {0x06, 0x02}, ERR_READ_TIMEOUT, 1},
    };
    for (const Case& c : cases) {
        m_pSim->SendRaw(c.rest);
        unsigned char start = 0x1B;
        CDataInformation frame(&start, 1, 256);
        EXPECT_EQ(engine->ObtainCommand(frame), c.result) << c.name;
        EXPECT_EQ(frame.GetSize(), c.kept) << c.name;
        // Leftovers of a failed case must not leak into the next one.
        CDataInformation drain(64);
        engine->ReadSerilox(drain, 64, 50);
    }
}

} // namespace

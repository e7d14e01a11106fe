// The ASIC channel: separate acknowledgement and reply limits, either wait on its own.
#include "engine_fixture.h"

namespace {

class Asic : public EngineTest {
protected:
    void SetUp() override
    {
        SSimulatorOptions options;
        options.bAsic = true;
        StartSimulator(options);
    }
    static SZelqLevel4Header Header()
    {
        SZelqLevel4Header h;
        h.Attr = 2;
        h.GroupID = 0x03;
        h.ItemID = 0x00;
        return h;
    }
};

TEST_F(Asic, SilentPeerWithShortAckLimit)
{
    m_pSim->PushFaults({{EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    auto engine = Open<CCommASIC>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(Header(), NoParameter(), 1, 0, 50, 1000), ERR_NO_ACK);
    long took = ElapsedMs(start);
    // The simulator may log the last write a little after the call has given up on it.
    ASSERT_TRUE(AwaitFrames(3));
    std::vector<double> times = FrameTimes();
    ASSERT_EQ(times.size(), 3u);
    // The caller's limit, not the Level 4 window, spaces the attempts.
    ExpectSpacing(times, 50);
    EXPECT_GE(took, 150 - 5);
}

TEST_F(Asic, ReplyWithoutWaitingForTheAcknowledgement)
{
    auto engine = Open<CCommASIC>();
    EXPECT_EQ(engine->SendCommand(Header(), NoParameter(), 0, 1, 300, 1000), 0);
    EXPECT_EQ(FrameTimes().size(), 1u);
    // The reply is posted before the waiting call is given it.
    auto posted = Queued();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted[0].source, static_cast<WPARAM>(SOURCE_ASIC));
    bool replied = false;
    for (const SPosted& p : posted)
        if (p.message == UM_PACKET_RECEIVED) {
            const CASICPacket* reply = reinterpret_cast<const CASICPacket*>(p.record);
            replied = reply->GetGroupID() == 0x03 && reply->GetItemID() == 0x00;
        }
    EXPECT_TRUE(replied);
}

TEST_F(Asic, HeaderFormTakesFlagsThenLimits)
{
    // waitAck 1 with a reply wait of 0 ms would fail if the limits were swapped with the flags.
    m_pSim->PushFaults({{EFault::AckOnly}, {EFault::AckOnly}, {EFault::AckOnly}});
    auto engine = Open<CCommASIC>();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(Header(), NoParameter(), 1, 1, 300, 200), ERR_NO_REPLY);
    long took = ElapsedMs(start);
    // The simulator may log the last write a little after the call has given up on it.
    ASSERT_TRUE(AwaitFrames(3));
    std::vector<double> times = FrameTimes();
    ASSERT_EQ(times.size(), 3u);
    // Acknowledged at once, each attempt then waits the 200 ms reply limit.
    ExpectSpacing(times, 200);
    EXPECT_GE(took, 3 * 200 - 5);
}

TEST_F(Asic, NakEndsTheCall)
{
    m_pSim->PushFault({EFault::Nak});
    auto engine = Open<CCommASIC>();
    EXPECT_EQ(engine->SendCommand(Header(), NoParameter(), 1, 1, 300, 1000), 0);
    EXPECT_EQ(FrameTimes().size(), 1u);
}

TEST_F(Asic, SendThroughTheLevel4InterfaceUsesTheEnginesOwnRecords)
{
    auto engine = Open<CCommASIC>();
    CCommZelqLevel4& base = *engine;
    CASICPacket command;
    command.SetData(Header(), NoParameter());
    EXPECT_EQ(base.SendCommand(command.FormerData(), 1, 1000), 0);
    auto posted = Queued();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted[0].message, static_cast<unsigned int>(UM_PACKET_SENT));
    for (const SPosted& p : posted)
        EXPECT_EQ(p.source, static_cast<WPARAM>(SOURCE_ASIC));
    const CASICPacket* sent = reinterpret_cast<const CASICPacket*>(posted[0].record);
    EXPECT_EQ(sent->FormerData().GetSize(), 7u);
    EXPECT_EQ(sent->GetGroupID(), 0x03);
    EXPECT_EQ(engine->GetWriteBufferNumber(), 1u);
}

} // namespace

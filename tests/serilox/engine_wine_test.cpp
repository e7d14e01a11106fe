// The engines on a real Windows COM port (Wine's COM1, linked to the simulated projector),
// so the overlapped port code runs for real. Faults are scripted over the line itself.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "engine_asic.h"
#include "engine_level5.h"
#include "engine_test_support.h"
#include "message_window.h"
#include "sim_control.h"

namespace {

class WineEngine : public ::testing::Test {
protected:
    template <class Engine>
    std::unique_ptr<Engine> Open()
    {
        std::unique_ptr<Engine> engine(new Engine(m_Window.Handle(), &Engine::ASyncThreadCallBack));
        EXPECT_EQ(engine->OpenSerilox(), 0) << "COM1 must lead to the simulator";
        return engine;
    }

    // The next count messages; fewer only when the patience runs out between two.
    std::vector<SEngineMessage> Await(size_t count)
    {
        std::vector<SEngineMessage> out;
        SEngineMessage m;
        while (out.size() < count && m_Window.Next(m, kPatienceMs))
            out.push_back(m);
        return out;
    }

    // What has been posted so far, without waiting.
    std::vector<SEngineMessage> Queued()
    {
        std::vector<SEngineMessage> out;
        SEngineMessage m;
        while (m_Window.Next(m, 0))
            out.push_back(m);
        return out;
    }

    std::vector<unsigned int> Kinds(const std::vector<SEngineMessage>& posted)
    {
        std::vector<unsigned int> kinds;
        for (const SEngineMessage& m : posted)
            kinds.push_back(m.message);
        return kinds;
    }

    // Sends a control command through whichever engine holds the port.
    template <class Engine>
    void Control(Engine& engine, unsigned char item, const SimControl::CParameter& p)
    {
        unsigned char frame[SimControl::kMaxParameter + 6];
        unsigned int n = SimControl::BuildFrame(item, p.Data(), p.Size(), frame);
        ASSERT_EQ(engine.SendCommand(CDataInformation(frame, n), 1, 1000), 0);
        Queued();
    }

    // Command frames the projector received since the last counter reset.
    unsigned int FramesSeen(CCommZelqLevel5& engine)
    {
        SZelqLevel5Header h;
        h.Attr = 2;
        h.GroupID = SimControl::kGroup;
        h.ItemID = SimControl::ITEM_COUNTERS;
        EXPECT_EQ(engine.SendCommand(h, CDataInformation(0u), 1, 1000), 0);
        // The answer is posted before the waiting call is given it.
        for (const SEngineMessage& m : Queued()) {
            if (m.message != UM_PACKET_RECEIVED)
                continue;
            const CZelqLevel5Packet* p = reinterpret_cast<const CZelqLevel5Packet*>(m.lParam);
            if (p->GetItemID() == SimControl::ITEM_COUNTERS)
                return p->GetParameter()->GetAt(0) << 8 | p->GetParameter()->GetAt(1);
        }
        ADD_FAILURE() << "no counters";
        return 0;
    }

    CMessageWindow m_Window;
};

TEST_F(WineEngine, Level4IdentificationAndSilence)
{
    auto engine = Open<CCommZelqLevel4>();
    Control(*engine, SimControl::ITEM_CLEAR_PLAN, SimControl::CParameter());
    const unsigned char identify[] = {0x1B, 0x06, 0x02, 0x00, 0x04, 0xF4};
    EXPECT_EQ(engine->SendCommand(CDataInformation(identify, 6), 1, 1000), 0);
    auto posted = Await(3);
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_SENT, UM_ACK_RECEIVED, UM_PACKET_RECEIVED}));
    EXPECT_EQ(reinterpret_cast<const CZelqLevel4Packet*>(posted[2].lParam)->GetParameter()->GetSize(), 4u);

    Control(*engine, SimControl::ITEM_PUSH_FAULTS,
            SimControl::CParameter()
                .Fault(SimControl::FAULT_NO_ACK)
                .Fault(SimControl::FAULT_NO_ACK)
                .Fault(SimControl::FAULT_NO_ACK));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(CDataInformation(identify, 6), 1, 1000), ERR_NO_ACK);
    long took = ElapsedMs(start);
    EXPECT_GE(took, 880);
    EXPECT_LT(took, 3 * 900) << "three acknowledgement windows";
}

TEST_F(WineEngine, Level5AttemptsAndReplies)
{
    auto engine = Open<CCommZelqLevel5>();
    Control(*engine, SimControl::ITEM_CLEAR_PLAN, SimControl::CParameter());
    Control(*engine, SimControl::ITEM_RESET_COUNTERS, SimControl::CParameter());
    Control(*engine, SimControl::ITEM_PUSH_FAULTS,
            SimControl::CParameter()
                .Fault(SimControl::FAULT_NAK)
                .Fault(SimControl::FAULT_NAK)
                .Fault(SimControl::FAULT_NAK));
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), CDataInformation(0u), 1, 1000), ERR_NO_ACK);
    Queued();
    EXPECT_EQ(FramesSeen(*engine), 3u);

    Control(*engine, SimControl::ITEM_PUSH_FAULTS, SimControl::CParameter().Fault(SimControl::FAULT_ACK_ONLY));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300), CDataInformation(0u), 1, 700), ERR_NO_REPLY);
    long took = ElapsedMs(start);
    EXPECT_GE(took, 690);
    EXPECT_LT(took, 3 * (300 + 700)) << "an acknowledgement, then the reply time-out";
    Queued();

    EXPECT_EQ(engine->SendCommand(GetCommand(0x0300, 1, 2), CDataInformation(0u), 1, 1000), 0);
    auto posted = Queued();
    ASSERT_EQ(Kinds(posted),
              (std::vector<unsigned int>{UM_PACKET_SENT, UM_ACK_RECEIVED, UM_PACKET_RECEIVED, UM_ACK_SENT}));
    const CZelqLevel5Packet* reply = reinterpret_cast<const CZelqLevel5Packet*>(posted[2].lParam);
    EXPECT_TRUE(reply->IsStack());
    EXPECT_EQ(reply->GetFrom(), 2);
}

TEST_F(WineEngine, Level5RefusesABadFrameFromTheProjector)
{
    auto engine = Open<CCommZelqLevel5>();
    // A report of item 0x0003 whose checksum is off by one.
    const unsigned char bad[] = {0x1B, 0x07, 0x02, 0x00, 0x03, 0x01, 0xF2};
    Control(*engine, SimControl::ITEM_SEND_RAW, SimControl::CParameter().Word(300).Bytes(bad, sizeof bad));
    auto posted = Await(2);
    ASSERT_EQ(Kinds(posted), (std::vector<unsigned int>{UM_PACKET_ERROR, UM_NAK_SENT}));
    EXPECT_EQ(reinterpret_cast<const CErrorPacket*>(posted[0].lParam)->GetSize(), sizeof bad);
}

TEST_F(WineEngine, AsicSeparateWaits)
{
    auto engine = Open<CCommASIC>();
    SZelqLevel4Header h;
    h.Attr = 2;
    h.GroupID = 0x03;
    h.ItemID = 0x00;
    EXPECT_EQ(engine->SendCommand(h, CDataInformation(0u), 0, 1, 300, 1000), 0);
    Queued();

    SimControl::CParameter p;
    p.Fault(SimControl::FAULT_NO_ACK).Fault(SimControl::FAULT_NO_ACK).Fault(SimControl::FAULT_NO_ACK);
    // ASIC control frames carry the same command in the channel's own frame.
    CASICPacket control;
    SZelqLevel4Header ch;
    ch.Attr = 1;
    ch.GroupID = SimControl::kGroup;
    ch.ItemID = SimControl::ITEM_PUSH_FAULTS;
    control.SetData(ch, CDataInformation(p.Data(), p.Size()));
    EXPECT_EQ(engine->SendCommand(control.FormerData(), 1, 300, 1, 1000), 0);
    Queued();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(engine->SendCommand(h, CDataInformation(0u), 1, 0, 50, 1000), ERR_NO_ACK);
    long took = ElapsedMs(start);
    EXPECT_GE(took, 140);
    EXPECT_LT(took, 700);
}

} // namespace

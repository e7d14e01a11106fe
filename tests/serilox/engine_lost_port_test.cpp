// The projector's line going away while an engine is open (an adapter unplugged, the far end
// closed): the waiting call and the receive thread must end, not poll a dead line.
#include <sys/resource.h>

#include <functional>
#include <future>

#include "engine_fixture.h"

namespace {

double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

const unsigned long kLongReplyWaitMs = 10000;

class LostPort : public EngineTest {
protected:
    // The projector acknowledges and then vanishes while send waits for the reply.
    template <class Engine>
    void HangUpDuringAReplyWait(bool asic, const std::function<int(Engine&)>& send)
    {
        SSimulatorOptions options;
        options.bAsic = asic;
        StartSimulator(options);
        m_pSim->PushFault({EFault::AckOnly});
        auto engine = Open<Engine>();
        auto call = std::async(std::launch::async, [&] { return send(*engine); });
        ASSERT_FALSE(AwaitMessage(UM_ACK_RECEIVED).empty());
        HangUp();
        auto lost = std::chrono::steady_clock::now();
        ASSERT_EQ(call.wait_for(std::chrono::milliseconds(static_cast<long>(kSlack * 1000))), std::future_status::ready)
            << "the reply wait goes on as if the line were there";
        EXPECT_EQ(call.get(), ERR_DEVICE);
        EXPECT_LT(ElapsedMs(lost), kSlack * 1000);
        EXPECT_EQ(engine->GetLastDevError(), ERR_DEVICE);

        // Nobody else runs in this process now: the receive thread must be asleep or gone.
        Queued();
        unsigned long posts = m_Queue.PostCount();
        double cpu = ProcessCpuMs();
        EXPECT_FALSE(m_Queue.WaitForPost(posts, 1000)) << "nothing arrives on a dead line";
        EXPECT_LT(ProcessCpuMs() - cpu, 100.0) << "a thread polls the dead line";

        EXPECT_EQ(send(*engine), ERR_DEVICE) << "a lost line answers at once";
        EXPECT_EQ(engine->CloseSerilox(), 0);
    }

    // A write that fails leaves no frame posted as sent, nor a write record used.
    template <class Engine>
    void FailedWrite(bool asic, const std::function<int(Engine&)>& send)
    {
        SSimulatorOptions options;
        options.bAsic = asic;
        StartSimulator(options);
        auto engine = Open<Engine>();
        HangUp();
        EXPECT_NE(send(*engine), 0);
        for (const SPosted& p : Queued())
            EXPECT_NE(p.message, static_cast<unsigned int>(UM_PACKET_SENT));
        EXPECT_EQ(engine->GetWriteBufferNumber(), 0u);
    }
};

int SendLevel4(CCommZelqLevel4& engine)
{
    const unsigned char identify[] = {0x1B, 0x06, 0x02, 0x00, 0x04, 0xF4};
    return engine.SendCommand(CDataInformation(identify, sizeof identify), 1, kLongReplyWaitMs);
}

int SendLevel5(CCommZelqLevel5& engine)
{
    return engine.SendCommand(GetCommand(0x0300), NoParameter(), 1, kLongReplyWaitMs);
}

int SendAsic(CCommASIC& engine)
{
    SZelqLevel4Header h;
    h.Attr = 2;
    h.GroupID = 0x03;
    return engine.SendCommand(h, NoParameter(), 1, 1, 300, kLongReplyWaitMs);
}

TEST_F(LostPort, Level4HangUpDuringAReplyWait)
{
    HangUpDuringAReplyWait<CCommZelqLevel4>(false, SendLevel4);
}

TEST_F(LostPort, Level5HangUpDuringAReplyWait)
{
    HangUpDuringAReplyWait<CCommZelqLevel5>(false, SendLevel5);
}

TEST_F(LostPort, AsicHangUpDuringAReplyWait)
{
    HangUpDuringAReplyWait<CCommASIC>(true, SendAsic);
}

TEST_F(LostPort, Level4FailedWritePostsNothing)
{
    FailedWrite<CCommZelqLevel4>(false, SendLevel4);
}

TEST_F(LostPort, Level5FailedWritePostsNothing)
{
    FailedWrite<CCommZelqLevel5>(false, SendLevel5);
}

TEST_F(LostPort, AsicFailedWritePostsNothing)
{
    FailedWrite<CCommASIC>(true, SendAsic);
}

} // namespace

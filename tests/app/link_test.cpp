// The projector link and its receiving handlers against the simulated projector.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "link_receiver.h"
#include "projector_link.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "simulated_link.h"
#include "zelq_items.h"

namespace {

struct SCall {
    const char* what;
    uint16_t item;
    int32_t value;
    int projector;
    bool fromProjector;
};

class CRecordingEvents : public IReceiverEvents {
public:
    void OnSentValue(uint16_t item, int32_t value, int projector) override
    {
        calls.push_back({"put", item, value, projector, false});
    }
    bool OnNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector) override
    {
        calls.push_back({"apply", item, static_cast<int32_t>(BigEndianUnsigned(bytes, count)), projector, false});
        return takeValues;
    }
    void OnMultiByte(const SReceivedFrame& reply, int projector) override
    {
        calls.push_back({"multi", reply.wItem, static_cast<int32_t>(reply.nParameterLength), projector, false});
    }
    void OnLockEntries(const unsigned char*, uint32_t count) override
    {
        calls.push_back({"locks", 0x1004, static_cast<int32_t>(count), 0, false});
    }
    void OnItemChanged(uint16_t item, bool fromProjector, int projector) override
    {
        calls.push_back({"changed", item, 0, projector, fromProjector});
    }
    const SCall* Find(const char* what) const
    {
        for (const SCall& c : calls)
            if (std::string(c.what) == what)
                return &c;
        return nullptr;
    }

    std::vector<SCall> calls;
    bool takeValues = true;
};

// Holds the next dispatch until a number of further engine messages has been posted, so that
// frames arriving close together are handled in one dispatch, as a busy window handles them.
class CHoldingHost : public CQueueLinkHost {
public:
    void HoldNextPump(unsigned long messages) { m_nHoldUntil = m_Queue.PostCount() + messages; }
    void PumpMessages(unsigned int first, unsigned int last) override
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_nHoldUntil && m_Queue.PostCount() < m_nHoldUntil && std::chrono::steady_clock::now() < deadline)
            m_Queue.WaitForPost(m_Queue.PostCount(), 50);
        m_nHoldUntil = 0;
        CQueueLinkHost::PumpMessages(first, last);
    }

private:
    unsigned long m_nHoldUntil = 0;
};

class Link : public SimulatedLinkTest<CRecordingEvents, CHoldingHost> {};

TEST_F(Link, ClosedLinkFailsSilently)
{
    EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x0300, nullptr, 0), 0);
    EXPECT_EQ(m_Link.SendLevel5Command(SZelqLevel5Header(), nullptr, 0), ERR_DEVICE);
    EXPECT_EQ(m_Link.SendAck(), ERR_DEVICE);
    EXPECT_EQ(m_Link.SetVelocity(19200), 0);
    EXPECT_EQ(m_Host.m_nRetryQuestions + m_Host.m_nPortQuestions, 0);
    EXPECT_TRUE(m_pSim->Log().Entries().empty());
}

TEST_F(Link, PortDialogRetriesWithTheChosenPortOrCancels)
{
    m_Link.SetPort(3);
    EXPECT_EQ(m_Link.Open(), 0) << "cancelled";
    EXPECT_EQ(m_Host.m_nPortQuestions, 1);
    EXPECT_FALSE(m_Link.IsOpen());

    m_Host.m_PortAnswers = {4, 1};
    EXPECT_EQ(m_Link.Open(), 1);
    EXPECT_EQ(m_Host.m_nPortQuestions, 3);
    EXPECT_EQ(m_Link.GetPort(), 1u);
    EXPECT_EQ(m_Host.m_nCursorDepth, 0) << "the wait cursor is balanced";
}

TEST_F(Link, GetAnswerReachesTheModel)
{
    m_pSim->SetValue(1, 0x0300, -10);
    ASSERT_EQ(m_Link.Open(), 1);
    EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x0300, nullptr, 0), 1);
    EXPECT_EQ(m_Receiver.ReplyState(), REPLY_ANSWERED);
    const SCall* apply = m_Events.Find("apply");
    ASSERT_NE(apply, nullptr);
    EXPECT_EQ(apply->item, 0x0300);
    EXPECT_EQ(static_cast<int8_t>(apply->value), -10);
    EXPECT_EQ(apply->projector, 1);
    const SCall* changed = m_Events.Find("changed");
    ASSERT_NE(changed, nullptr);
    EXPECT_FALSE(changed->fromProjector);
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxAck, 1, 1000)) << "the engine acknowledged the answer";
}

TEST_F(Link, SetStoresTheValueThatWasSent)
{
    ASSERT_EQ(m_Link.Open(), 1);
    const unsigned char value[] = {0xF6};
    EXPECT_EQ(m_Link.Transact(1, 1, 2, 0x0300, value, 1), 1);
    const SCall* put = m_Events.Find("put");
    ASSERT_NE(put, nullptr);
    EXPECT_EQ(put->item, 0x0300);
    EXPECT_EQ(put->value, 0xF6) << "sent bytes, big-endian; the model sign-extends by item";
    EXPECT_EQ(put->projector, 2);
}

TEST_F(Link, RefusedAnswerFailsAtOnce)
{
    ASSERT_EQ(m_Link.Open(), 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x1F1F, nullptr, 0), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(m_Receiver.ReplyState(), REPLY_ANSWERED);
    EXPECT_EQ(m_Receiver.Reply().bRefused, 1);
    EXPECT_EQ(m_Events.Find("apply"), nullptr) << "a refusal changes nothing";
}

TEST_F(Link, FailedSendAsksToRetryUnlessQuiet)
{
    ASSERT_EQ(m_Link.Open(), 1);
    m_pSim->PushFaults({{EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x0300, nullptr, 0), 0);
    EXPECT_EQ(m_Host.m_nRetryQuestions, 0) << "quiet by default";

    m_Link.SetQuiet(false);
    m_Host.m_nRetries = 1;
    m_pSim->PushFaults({{EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x0300, nullptr, 0), 1) << "the retry went through";
    EXPECT_EQ(m_Host.m_nRetryQuestions, 1);
    EXPECT_EQ(FramesFor(0x0300).size(), 3u + 3u + 1u) << "three attempts, three more, then the retry";
}

TEST_F(Link, PrepareBlocksSendsOneCommandPerWholeBlock)
{
    ASSERT_EQ(m_Link.Open(), 1);
    struct Case {
        uint32_t length;
        size_t commands;
    } cases[] = {{0x0FFFF, 1}, {0x20000, 2}, {0x2FFFF, 2}};
    size_t before = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(m_Link.PrepareBlocks(0x010000, c.length), 1);
        auto frames = FramesFor(0x0900);
        ASSERT_EQ(frames.size() - before, c.commands) << std::hex << c.length;
        if (c.commands == 2) {
            const std::vector<uint8_t>& second = frames.back();
            EXPECT_EQ((std::vector<uint8_t>(second.begin() + 5, second.begin() + 8)),
                      (std::vector<uint8_t>{0x02, 0x00, 0x00}));
        }
        before = frames.size();
    }
}

TEST_F(Link, RaiseSpeedFallsBackTo9600WhenEveryIndexIsRefused)
{
    ASSERT_EQ(m_Link.Open(), 1);
    // Three offers (indexes 3, 2, 1), each refused in all three attempts.
    m_pSim->PushFaults(std::vector<SFault>(9, SFault{EFault::Nak}));
    EXPECT_EQ(m_Link.RaiseSpeed(), 1);
    EXPECT_EQ(m_Link.GetSpeedIndex(), 0u);
    EXPECT_EQ(m_pSim->GetBaud(), 9600u);
    EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x0300, nullptr, 0), 1) << "still talking at 9600";
}

TEST_F(Link, RaiseAndRestoreSpeed)
{
    ASSERT_EQ(m_Link.Open(), 1);
    EXPECT_EQ(m_Link.RaiseSpeed(), 1);
    EXPECT_EQ(m_Link.GetSpeedIndex(), 3u);
    EXPECT_EQ(m_pSim->GetBaud(), 57600u);
    m_Link.RestoreSpeed();
    EXPECT_EQ(m_pSim->GetBaud(), 9600u);
    EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x0300, nullptr, 0), 1);
}

TEST_F(Link, ReportFromTheProjectorIsAnswered)
{
    ASSERT_EQ(m_Link.Open(), 1);
    for (bool take : {true, false}) {
        m_Events.calls.clear();
        m_Events.takeValues = take;
        size_t answered = FramesFor(0x0003).size();
        m_pSim->SendFrame(SUnsolicitedFrame{true, 2, 0, 0x02, 0x0003, {0x11}});
        for (int i = 0; i < 300 && FramesFor(0x0003).size() == answered; ++i)
            m_Link.WaitPumping(10);
        const SCall* apply = m_Events.Find("apply");
        ASSERT_NE(apply, nullptr);
        EXPECT_EQ(apply->value, 0x11);
        EXPECT_EQ(apply->projector, 2);
        const SCall* changed = m_Events.Find("changed");
        if (take) {
            ASSERT_NE(changed, nullptr);
            EXPECT_TRUE(changed->fromProjector);
        } else {
            EXPECT_EQ(changed, nullptr) << "nothing reacts to a refused value";
        }
        // The answer: a stack frame to projector 2 with Apply set and OK telling the verdict.
        auto frames = FramesFor(0x0003);
        ASSERT_FALSE(frames.empty());
        const std::vector<uint8_t>& answer = frames.back();
        EXPECT_EQ(answer[0], 0x1D);
        EXPECT_EQ(answer[3], take ? 0x82 : 0xC2);
        EXPECT_EQ(answer[4], 0x02);
        EXPECT_EQ(answer.size(), 8u);
    }
}

TEST_F(Link, ReportDuringACommandLeavesItsAnswerAlone)
{
    ASSERT_EQ(m_Link.Open(), 1);
    struct SCase {
        const char* when;
        unsigned int answerLateMs;
        unsigned int reportAfterMs;
    } cases[] = {
        {"report between the command and its answer", 400, 100},
        {"report right behind the answer", 100, 300},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.when);
        m_Events.calls.clear();
        size_t answers = FramesFor(0x0003).size();
        m_pSim->PushFaults({{EFault::Late, c.answerLateMs}});
        m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x01}}, c.reportAfterMs);
        // Command sent, its ACK, its answer, our ACK, the report, our ACK: one dispatch.
        m_Host.HoldNextPump(6);
        const unsigned char value[] = {0xF6};
        EXPECT_EQ(m_Link.Transact(0, 1, 1, 0x0300, value, 1), 1);
        EXPECT_EQ(m_Receiver.ReplyState(), REPLY_ANSWERED);
        EXPECT_EQ(m_Receiver.Reply().wItem, 0x0300);
        EXPECT_EQ(m_Receiver.Sent().wItem, 0x0300) << "our answer to the report is no command";

        std::vector<SCall> puts, applies;
        for (const SCall& call : m_Events.calls) {
            if (std::string(call.what) == "put")
                puts.push_back(call);
            if (std::string(call.what) == "apply")
                applies.push_back(call);
        }
        ASSERT_EQ(puts.size(), 1u);
        EXPECT_EQ(puts[0].item, 0x0300);
        EXPECT_EQ(puts[0].value, 0xF6);
        ASSERT_EQ(applies.size(), 1u) << "the report was taken";
        EXPECT_EQ(applies[0].item, 0x0003);
        auto answered = [&](const std::vector<SLogEntry>& entries) {
            return FramesFor(0x0003, entries).size() > answers;
        };
        EXPECT_TRUE(m_pSim->Log().WaitFor(answered, 3000)) << "and answered";
        EXPECT_EQ(m_Link.Transact(0, 2, 1, 0x0300, nullptr, 0), 1) << "the next command is answered too";
    }
}

TEST_F(Link, RefusalsOfOtherFramesDoNotFailTheCommand)
{
    ASSERT_EQ(m_Link.Open(), 1);
    const unsigned char value[] = {0x10};

    // The first attempt is refused, the engine's second one taken and answered.
    m_pSim->PushFaults({{EFault::Nak}});
    EXPECT_EQ(m_Link.Transact(0, 1, 1, 0x0300, value, 1), 1);
    EXPECT_EQ(m_Receiver.ReplyState(), REPLY_ANSWERED);
    EXPECT_EQ(FramesFor(0x0300).size(), 2u);

    // A report comes while the command waits for its answer, and our answer to the report
    // is refused on every attempt: those refusals are about the answer, not the command.
    m_pSim->PushFaults({{EFault::Late, 400}});
    m_pSim->RefuseAnswers(3);
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x01}}, 100);
    EXPECT_EQ(m_Link.Transact(0, 1, 1, 0x0300, value, 1), 1);
    EXPECT_EQ(m_Receiver.ReplyState(), REPLY_ANSWERED);
    EXPECT_EQ(m_Receiver.Reply().wItem, 0x0300);
    auto refused = [](const std::vector<SLogEntry>& entries) {
        return std::count_if(entries.begin(), entries.end(),
                             [](const SLogEntry& e) { return e.eKind == ELogKind::Tx && e.strText == "NAK"; }) == 1 + 3;
    };
    EXPECT_TRUE(m_pSim->Log().WaitFor(refused, 3000)) << "the answer was refused three times";

    // A command refused on every attempt still fails.
    m_pSim->PushFaults({{EFault::Nak}, {EFault::Nak}, {EFault::Nak}});
    EXPECT_EQ(m_Link.Transact(0, 1, 1, 0x0300, value, 1), 0);
}

TEST_F(Link, Level4FramesAreAcknowledgedByTheProgram)
{
    m_Link.SetLevel(0);
    ASSERT_EQ(m_Link.Open(), 1);
    SZelqLevel4Header identify;
    identify.Attr = 2;
    identify.GroupID = 0x00;
    identify.ItemID = 0x04;
    EXPECT_EQ(m_Link.SendLevel4Command(identify, nullptr, 0, 1, 1000), 0);
    EXPECT_EQ(m_Receiver.ReplyState(), REPLY_ANSWERED);
    EXPECT_EQ(m_Receiver.Reply().nParameterLength, 4u);
    EXPECT_EQ(m_Receiver.Reply().Frame[0], 0x1B);
    EXPECT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxAck, 1, 1000));
}

TEST_F(Link, FrameOfTheOtherGenerationLeavesTheRecordAlone)
{
    m_Link.SetLevel(0);
    CZelqLevel5Packet packet;
    SZelqLevel5Header h;
    h.Attr = 2;
    h.Apply = 1;
    h.GroupID = 0x03;
    h.ItemID = 0x00;
    packet.SetData(h, CDataInformation(0u));
    m_Receiver.OnEngineMessage(UM_PACKET_RECEIVED, SOURCE_LEVEL5, reinterpret_cast<LPARAM>(&packet));
    EXPECT_EQ(m_Receiver.ReplyState(), REPLY_FRAME);
    EXPECT_EQ(m_Receiver.Reply().wItem, 0) << "the record still holds nothing";
    EXPECT_TRUE(m_Events.calls.empty());
}

} // namespace

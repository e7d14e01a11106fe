// Identification and item commands as the tool performs them, against each simulated model.
#include <gtest/gtest.h>

#include <climits>
#include <future>
#include <memory>
#include <string>

#include "projector_session.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "setting_file.h"
#include "setting_image.h"
#include "test_clock.h"

namespace {

// How long the engine waits for the answer to a command.
const uint32_t kEngineAnswerWaitMs = 10000;

class Session : public ::testing::Test {
protected:
    void Start(const std::string& model, long long ident = -1)
    {
        ASSERT_TRUE(m_Pty.IsOpen());
        SSimulatorOptions options;
        options.strModel = model;
        options.nIdent = ident;
        m_pSim.reset(new CProjectorSimulator(options));
        ASSERT_TRUE(m_pSim->Start(m_Pty.MasterFd())) << m_pSim->Error();
        m_pSession.reset(new CProjectorSession(m_Pty.SlavePath(), 9600));
    }
    void TearDown() override
    {
        m_pSession.reset();
        m_pSim.reset();
    }

    CPseudoTerminal m_Pty;
    std::unique_ptr<CProjectorSimulator> m_pSim;
    std::unique_ptr<CProjectorSession> m_pSession;
};

TEST_F(Session, IdentifiesEveryModel)
{
    for (const char* type : {"KT-C310", "KT-A120", "KT-B212", "KT-B213", "KT-A101"}) {
        Start(type);
        const SProjectorModel* model = nullptr;
        std::string message;
        EXPECT_EQ(m_pSession->Identify(model, message), SESSION_OK) << type << ": " << message;
        ASSERT_NE(model, nullptr) << type;
        EXPECT_STREQ(model->szTypeCode, type);
        TearDown();
    }
}

TEST_F(Session, ProjectorThatRefusesLevel4IdentifiesAtLevel5)
{
    Start("level5-only");
    const SProjectorModel* model = nullptr;
    std::string message;
    ASSERT_EQ(m_pSession->Identify(model, message), SESSION_OK) << message;
    EXPECT_STREQ(model->szTypeCode, "KT-C310");
    // Exactly one Level 4 request, then a Level 5 stack frame to projector 1.
    std::vector<SLogEntry> frames;
    for (const SLogEntry& e : m_pSim->Log().Entries())
        if (e.eKind == ELogKind::RxFrame)
            frames.push_back(e);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].bytes, (std::vector<uint8_t>{0x1B, 0x06, 0x02, 0x00, 0x04, 0xF4}));
    EXPECT_EQ(frames[1].bytes[0], 0x1D);
    EXPECT_EQ(frames[1].bytes[4] & 0x0F, 1);
}

TEST_F(Session, UnknownAndSilentProjectors)
{
    Start("KT-C310", 0x00024310);
    const SProjectorModel* model = nullptr;
    std::string message;
    EXPECT_EQ(m_pSession->Identify(model, message), SESSION_UNSUPPORTED);
    EXPECT_EQ(model, nullptr);
    EXPECT_NE(message.find("0x0002"), std::string::npos) << message;
    TearDown();

    Start("silent");
    EXPECT_EQ(m_pSession->Identify(model, message), SESSION_NO_RESPONSE);
    EXPECT_EQ(message, "No response from the projector.");
}

TEST_F(Session, MissingPortIsReported)
{
    CProjectorSession session("/dev/kestrel-missing", 9600);
    const SProjectorModel* model = nullptr;
    std::string message;
    EXPECT_EQ(session.Identify(model, message), SESSION_NO_PORT);
    EXPECT_NE(message.find("/dev/kestrel-missing"), std::string::npos);
}

TEST_F(Session, ProjectorThatGoesAwayIsAPortFailure)
{
    // Acknowledged, then the projector's side of the line closes while the tool waits for
    // the answer: the wait must end at once, not after the engine's ten seconds.
    Start("KT-C310");
    m_pSim->PushFault({EFault::AckOnly});
    SAnswer answer;
    std::string message;
    auto transact =
        std::async(std::launch::async, [&] { return m_pSession->Transact(0, 2, 1, 0x0300, {}, answer, message); });
    ASSERT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxFrame, 1, 5000));
    m_pSim->Stop();
    m_Pty.HangUp();
    ASSERT_EQ(transact.wait_for(std::chrono::seconds(3)), std::future_status::ready) << "still waiting";
    EXPECT_EQ(transact.get(), SESSION_NO_PORT);
    EXPECT_NE(message.find(m_Pty.SlavePath()), std::string::npos) << message;
}

TEST_F(Session, StaleAnswerIsNotTakenForALaterCommand)
{
    // A second answer to an earlier get (the projector answers each copy of a command the
    // engine repeats after a late ACK) waits in the queue; neither the next set nor the get
    // after it may take it for their own.
    Start("KT-C310");
    SAnswer answer;
    std::string message;
    ASSERT_EQ(m_pSession->Transact(0, 1, 1, 0x0300, EncodeItemValue(-10, 1), answer, message), SESSION_OK) << message;
    ASSERT_EQ(m_pSim->Execute("report flags 0x82 0x0300 63"), "");
    // Taken in once the tool has acknowledged it: the set's answer and this one.
    ASSERT_TRUE(m_pSim->Log().WaitForCount(ELogKind::RxAck, 2, 5000));
    ASSERT_EQ(m_pSession->Transact(0, 1, 1, 0x0300, EncodeItemValue(5, 1), answer, message), SESSION_OK) << message;
    ASSERT_EQ(m_pSession->Transact(0, 2, 1, 0x0300, {}, answer, message), SESSION_OK) << message;
    EXPECT_EQ(DecodeItemValue(0x0300, answer.parameter), 5);
}

TEST_F(Session, SetGetResetAndRefusal)
{
    Start("KT-C310");
    SAnswer answer;
    std::string message;
    ASSERT_EQ(m_pSession->Transact(0, 1, 1, 0x0300, EncodeItemValue(-10, 1), answer, message), SESSION_OK) << message;
    ASSERT_EQ(m_pSession->Transact(0, 2, 1, 0x0300, {}, answer, message), SESSION_OK) << message;
    EXPECT_EQ(DecodeItemValue(0x0300, answer.parameter), -10);

    // Stack frames reach one projector of four only.
    ASSERT_EQ(m_pSession->Transact(1, 1, 3, 0x0300, EncodeItemValue(7, 1), answer, message), SESSION_OK);
    long long value = 0;
    ASSERT_TRUE(m_pSim->GetValue(3, 0x0300, value));
    EXPECT_EQ(value, 7);
    ASSERT_TRUE(m_pSim->GetValue(2, 0x0300, value));
    EXPECT_NE(value, 7);

    EXPECT_EQ(m_pSession->Transact(0, 2, 1, 0x1F1F, {}, answer, message), SESSION_REFUSED);
    EXPECT_EQ(answer.refused, 1);
}

TEST_F(Session, ItemsTravelInTheirOwnWidths)
{
    Start("KT-C310");
    SAnswer answer;
    std::string message;
    // A small Position still goes in two bytes, or the projector refuses it.
    ASSERT_EQ(ItemSetWidth(0x0500, 10), 2u);
    ASSERT_EQ(m_pSession->Transact(0, 1, 1, 0x0500, EncodeItemValue(10, ItemSetWidth(0x0500, 10)), answer, message),
              SESSION_OK)
        << message;
    long long value = 0;
    ASSERT_TRUE(m_pSim->GetValue(1, 0x0500, value));
    EXPECT_EQ(value, 10);

    // Preset3 as the Resolution choice reads back as 130, not as a negative byte.
    ASSERT_TRUE(m_pSim->SetValue(1, 0x030E, 130));
    ASSERT_EQ(m_pSession->Transact(0, 2, 1, 0x030E, {}, answer, message), SESSION_OK) << message;
    ASSERT_EQ(answer.parameter.size(), 1u);
    EXPECT_EQ(DecodeItemValue(0x030E, answer.parameter), 130);
    EXPECT_EQ(DecodeItemValue(0x0300, {0x82}), -126) << "a signed item stays signed";
}

TEST(SettingFileLoad, ALinkLostMidwayIsNoResponse)
{
    // The projector acknowledges but stops answering partway through a load: the load ends
    // as unanswered once the engine has waited its limit, on a clock the test moves.
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    SSimulatorOptions options;
    options.strModel = "KT-C310";
    CProjectorSimulator sim(options);
    ASSERT_TRUE(sim.Start(pty.MasterFd())) << sim.Error();
    CTestClock clock;
    clock.AddPeer([&sim] { return sim.IsIdle(); });
    CProjectorSession session(pty.SlavePath(), 9600, clock);
    const SProjectorModel* model = nullptr;
    std::string message;
    ASSERT_EQ(session.Identify(model, message), SESSION_OK) << message;
    CSettingTable table;
    std::vector<uint16_t> unread;
    const SSettingTarget target;
    ASSERT_EQ(ReadSettings(session, *model, target, table, unread, message), SESSION_OK) << message;

    ASSERT_EQ(sim.Execute("fault normal*60,ack-only"), "");
    const uint32_t start = clock.TickCount();
    std::vector<uint16_t> refused;
    EXPECT_EQ(SendSettings(session, *model, target, table, refused, message), SESSION_NO_RESPONSE) << message;
    EXPECT_GE(clock.TickCount() - start, kEngineAnswerWaitMs) << "given up before the engine's wait ended";
    EXPECT_TRUE(refused.empty());
}

TEST(SettingFileLoad, ValuesThatWouldArriveAsOthersAreFound)
{
    const unsigned char ident[4] = {0x00, 0x01, 0x43, 0x10};
    const SProjectorModel* model = FindProjectorModel(ident, 4);
    ASSERT_NE(model, nullptr);
    struct {
        uint16_t item;
        int32_t value;
        bool uncarried;
    } cases[] = {
        {0x0300, 255, true},   // one signed byte: -1
        {0x0300, -128, false}, // its smallest
        {0x0300, 127, false},
        {0x0500, 40000, true}, // two signed bytes: -25536
        {0x0500, -300, false},
        {0x0300, CSettingTable::kUnread, false}, // never sent
    };
    for (const auto& c : cases) {
        CSettingTable table;
        table.PutItemValue(c.item, c.value, 2);
        std::vector<uint16_t> found = UncarriedItems(*model, 2, table);
        EXPECT_EQ(found, c.uncarried ? std::vector<uint16_t>{c.item} : std::vector<uint16_t>{})
            << std::hex << c.item << std::dec << " " << c.value;
        EXPECT_TRUE(UncarriedItems(*model, 1, table).empty()) << "another projector's part";
    }
}

TEST(ItemValues, WidthsOfKnownAndUnknownItems)
{
    struct SCase {
        uint16_t item;
        int32_t value;
        unsigned int width;
    } cases[] = {
        {0x0500, 10, 2}, {0x0303, -2, 2}, {0x0300, -10, 1}, {0x030E, 130, 1}, {0x1004, 0x0300, 4},
        // Items the program does not know: the narrowest width that holds the value.
        {0x1001, 1, 1}, {0x1F1F, 300, 2}, {0x1F1F, 70000, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ItemSetWidth(c.item, c.value), c.width) << std::hex << c.item << std::dec << " " << c.value;

    struct SFit {
        int32_t value;
        unsigned int width;
        bool fits;
    } fits[] = {
        {-128, 1, true}, {255, 1, true}, {256, 1, false}, {-129, 1, false}, {300, 1, false},
        {-32768, 2, true}, {65535, 2, true}, {65536, 2, false}, {0xFFFFFF, 3, true}, {INT32_MIN, 4, true},
    };
    for (const SFit& f : fits)
        EXPECT_EQ(FitsWidth(f.value, f.width), f.fits) << f.value << " in " << f.width;
}

TEST(ItemValues, SignedWidthsRoundTrip)
{
    struct Case {
        int32_t value;
        unsigned int width;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {-10, 1, {0xF6}},
        {-200, 2, {0xFF, 0x38}},
        {127, 1, {0x7F}},
        {128, 2, {0x00, 0x80}},
        {70000, 4, {0x00, 0x01, 0x11, 0x70}},
        {-70000, 4, {0xFF, 0xFE, 0xEE, 0x90}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NarrowestWidth(c.value), c.width) << c.value;
        EXPECT_EQ(EncodeItemValue(c.value, c.width), c.bytes) << c.value;
        EXPECT_EQ(DecodeItemValue(0x1F1F, c.bytes), c.value) << c.value;
    }
    EXPECT_EQ(DecodeItemValue(0x1F1F, {0xFF, 0xFF, 0xFF}), 0xFFFFFF) << "three bytes are not sign-extended";
    EXPECT_EQ(DecodeItemValue(0x1F1F, {}), 0);
    EXPECT_EQ(DecodeItemValue(0x1F1F, {1, 2, 3, 4, 5}), 0);
}

} // namespace

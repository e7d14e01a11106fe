// Connecting and identifying against each simulated projector, and the reactions to the
// power, busy and warning reports, with the user's answers scripted.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "connection.h"
#include "item_store.h"
#include "network_port.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "queue_link_host.h"
#include "tcp_bridge.h"
#include "resource.h"
#include "test_clock.h"
#include "zelq_items.h"

namespace {

// The values the connection hands on, as the setting model would keep them.
class CValueStore : public IItemStore {
public:
    int32_t GetItemValue(uint16_t item, int projector) const override
    {
        auto it = m_Values.find({item, projector});
        return it == m_Values.end() ? 0 : it->second;
    }
    void PutItemValue(uint16_t item, int32_t value, int projector) override { m_Values[{item, projector}] = value; }
    void OnSentValue(uint16_t item, int32_t value, int projector) override { m_Values[{item, projector}] = value; }
    bool OnNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector) override
    {
        m_Values[{item, projector}] = BigEndianSigned(bytes, count);
        return true;
    }
    void OnMultiByte(const SReceivedFrame&, int) override {}
    void OnLockEntries(const unsigned char*, uint32_t) override {}
    void OnItemChanged(uint16_t, bool, int) override {}
    void Put(uint16_t item, int32_t value, int projector) { m_Values[{item, projector}] = value; }

private:
    std::map<std::pair<uint16_t, int>, int32_t> m_Values;
};

class CScriptedUi;

// Cancels the cooling notice after a number of dispatches, as the user's click would.
class CScriptedHost : public CQueueLinkHost {
public:
    void PumpAll() override;
    CScriptedUi* m_pUi = nullptr;
};

class CScriptedUi : public IConnectionUi {
public:
    explicit CScriptedUi(IClock& clock) : m_Clock(clock) {}

    void Beep() override { ++m_nBeeps; }
    void RaiseSplash() override {}
    void ShowMessage(unsigned int stringId, EMessageIcon) override { m_Messages.push_back(stringId); }
    bool AskNoResponse() override
    {
        m_Dialogs.push_back(171);
        return m_bSelectPortAgain;
    }
    bool AskSelectPort(unsigned int& port) override
    {
        m_Dialogs.push_back(177);
        if (!m_nPortChoice)
            return false;
        port = m_nPortChoice;
        m_nPortChoice = 0;
        return true;
    }
    bool AskUnsupported() override
    {
        m_Dialogs.push_back(173);
        return m_bExitOnUnsupported;
    }
    void PostQuit() override { m_bQuit = true; }
    bool AskTurnOn(unsigned int stringId) override
    {
        m_Dialogs.push_back(174);
        m_nTurnOnText = stringId;
        return m_bTurnOn;
    }
    bool IsTurnedOffDlgUp() override { return false; }
    bool AskPowerOff() override
    {
        m_Dialogs.push_back(510);
        return m_bTurnOff;
    }
    void CloseTurnedOffDlg() override {}
    void EnableMainWindow(bool enable) override { m_bMainEnabled = enable; }
    void ShowActiveDlg() override
    {
        m_Dialogs.push_back(175);
        m_bActiveUp = true;
        if (m_OnDialog)
            m_OnDialog(175);
        m_ActiveShownAt = m_Clock.TickCount();
    }
    bool IsActiveDlgUp() override { return m_bActiveUp; }
    void ShowActiveText(bool) override { ++m_nBlinks; }
    void DestroyActiveDlg() override
    {
        m_bActiveUp = false;
        m_nActiveLasted = m_Clock.TickCount() - m_ActiveShownAt;
    }
    void ShowCoolingDlg() override
    {
        m_Dialogs.push_back(176);
        m_bCoolingUp = true;
        if (m_OnDialog)
            m_OnDialog(176);
    }
    bool IsCoolingDlgUp() override { return m_bCoolingUp; }
    void DestroyCoolingDlg() override { m_bCoolingUp = false; }
    void RunWaitDlg() override { m_Dialogs.push_back(187); }
    bool IsWaitDlgUp() override { return false; }
    void CloseWaitDlg() override {}
    void RefreshControlScreen() override { ++m_nRefreshes; }
    void RepaintMainWindow() override {}
    void OnConnectionChanged(bool linkOpen) override { m_Changes.push_back(linkOpen); }
    void CheckPortMenu(unsigned int port) override { m_nCheckedPort = port; }
    void KeepPort(unsigned int port) override { m_Kept.push_back(port); }

    IClock& m_Clock;
    // Called when a modeless notice appears, so the projector can answer it at that moment.
    std::function<void(unsigned int)> m_OnDialog;
    bool m_bSelectPortAgain = false;
    unsigned int m_nPortChoice = 0;
    bool m_bExitOnUnsupported = false;
    bool m_bTurnOn = true;
    bool m_bTurnOff = true;
    bool m_bQuit = false;
    bool m_bMainEnabled = true;
    bool m_bActiveUp = false;
    bool m_bCoolingUp = false;
    int m_nCancelCoolingAfter = -1;
    int m_nCoolingDispatches = 0;
    uint32_t m_ActiveShownAt = 0;
    uint32_t m_nActiveLasted = 0;
    unsigned int m_nTurnOnText = 0;
    unsigned int m_nCheckedPort = 0;
    int m_nBeeps = 0;
    int m_nBlinks = 0;
    int m_nRefreshes = 0;
    std::vector<unsigned int> m_Messages;
    std::vector<unsigned int> m_Dialogs;
    std::vector<bool> m_Changes;
    std::vector<unsigned int> m_Kept;
};

void CScriptedHost::PumpAll()
{
    CQueueLinkHost::PumpAll();
    if (m_pUi && m_pUi->m_bCoolingUp && ++m_pUi->m_nCoolingDispatches == m_pUi->m_nCancelCoolingAfter)
        m_pUi->m_bCoolingUp = false;
}

// Another port of the system with a simulated projector of its own (or "silent": nothing
// answers). While it lives, the test clock moves only when this projector is idle too.
struct SOtherPort {
    SOtherPort(const char* model, std::vector<const CProjectorSimulator*>& peers) : sim(Options(model)), peers(peers)
    {
        started = sim.Start(pty.MasterFd());
        peers.push_back(&sim);
    }
    ~SOtherPort() { peers.erase(std::find(peers.begin(), peers.end(), &sim)); }
    SOtherPort(const SOtherPort&) = delete;
    SOtherPort& operator=(const SOtherPort&) = delete;
    static SSimulatorOptions Options(const char* model)
    {
        SSimulatorOptions o;
        o.strModel = model;
        return o;
    }
    size_t FramesReceived() const
    {
        size_t n = 0;
        for (const SLogEntry& e : sim.Log().Entries())
            n += e.eKind == ELogKind::RxFrame;
        return n;
    }
    CPseudoTerminal pty;
    CProjectorSimulator sim;
    std::vector<const CProjectorSimulator*>& peers;
    bool started = false;
};

class Connection : public ::testing::Test {
protected:
    Connection() : m_Ui(m_Clock), m_pConnection(std::make_unique<CConnection>(m_Link, m_Ui, m_Clock))
    {
        m_Clock.AddPeer([this] {
            for (const CProjectorSimulator* other : m_OtherProjectors)
                if (!other->IsIdle())
                    return false;
            return !m_pSim || m_pSim->IsIdle();
        });
        m_Host.m_pUi = &m_Ui;
        Attach();
    }
    // A fresh program: no model known yet.
    void Restart()
    {
        m_Link.Close();
        m_pConnection = std::make_unique<CConnection>(m_Link, m_Ui, m_Clock);
        Attach();
    }
    void Attach()
    {
        m_pConnection->SetItemStore(&m_Store);
        m_Host.m_pReceiver = &m_pConnection->Receiver();
        m_Link.Attach(&m_Host, &m_pConnection->Receiver());
    }
    // Dispatches what arrives until the condition holds; false after ms.
    template <class Condition>
    bool PumpUntil(Condition condition, long ms = 5000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            m_Host.WaitForMessages(50);
            m_Host.PumpAll();
        }
        return true;
    }
    ~Connection() override
    {
        if (m_Link.IsOpen())
            m_Link.Close();
    }
    void StartSimulator(SSimulatorOptions options = SSimulatorOptions())
    {
        ASSERT_TRUE(m_Pty.IsOpen());
        m_pSim.reset();
        m_pSim.reset(new CProjectorSimulator(options));
        ASSERT_TRUE(m_pSim->Start(m_Pty.MasterFd())) << m_pSim->Error();
        m_Host.m_Ports = {m_Pty.SlavePath()};
    }
    static SSimulatorOptions Model(const char* name, int power = 0x01)
    {
        SSimulatorOptions o;
        o.strModel = name;
        o.nPower = power;
        return o;
    }
    // Values the program set on the projector, in order, for one item.
    std::vector<uint8_t> SetsOf(uint16_t item) const
    {
        std::vector<uint8_t> values;
        for (const SLogEntry& e : m_pSim->Log().Entries()) {
            if (e.eKind != ELogKind::RxFrame)
                continue;
            bool stack = e.bytes[0] == 0x1D;
            size_t at = stack ? 3 : 2;
            uint16_t code = static_cast<uint16_t>(e.bytes[at + (stack ? 2 : 1)] << 8 | e.bytes[at + (stack ? 3 : 2)]);
            if (code == item && (e.bytes[at] & 0x8F) == 0x01)
                values.push_back(e.bytes[e.bytes.size() - 2]);
        }
        return values;
    }

    CPseudoTerminal m_Pty;
    std::unique_ptr<CProjectorSimulator> m_pSim;
    CScriptedHost m_Host;
    CProjectorLink m_Link;
    CValueStore m_Store;
    std::vector<const CProjectorSimulator*> m_OtherProjectors; // on other ports (SOtherPort)
    CTestClock m_Clock;
    CScriptedUi m_Ui;
    std::unique_ptr<CConnection> m_pConnection;
};

TEST_F(Connection, IdentifiesEachModelAndSetsLinkMode)
{
    for (const char* type : {"KT-C310", "KT-A120", "KT-B212", "KT-B213", "KT-A101", "level5-only"}) {
        StartSimulator(Model(type));
        Restart();
        EXPECT_EQ(m_pConnection->Connect(), 1) << type;
        std::string expected = std::string(type) == "level5-only" ? "KT-C310" : type;
        EXPECT_EQ(m_pConnection->ModelName(), expected);
        EXPECT_EQ(m_Link.GetLevel(), 1) << "Level 5 after identification";
        EXPECT_TRUE(m_Link.IsOpen());
        EXPECT_EQ(m_pConnection->IsPowerOn(), 1);
        EXPECT_EQ(SetsOf(0x0000), std::vector<uint8_t>{1}) << type << ": PC link mode";
        EXPECT_EQ(m_Ui.m_nCheckedPort, 1u);
        EXPECT_EQ(m_Ui.m_Changes.back(), true);
        EXPECT_TRUE(m_Ui.m_Messages.empty()) << type;
        m_Link.Close();
    }
}

TEST_F(Connection, UnknownFamilyKeepsThePreviousModel)
{
    SSimulatorOptions o = Model("KT-C310");
    o.nIdent = 0x00024310;
    StartSimulator(o);
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_EQ(m_Ui.m_Messages, std::vector<unsigned int>{IDS_UNRECOGNIZED});
    EXPECT_EQ(m_pConnection->Model().wModelCode, 0x0303);
    EXPECT_TRUE(m_pConnection->ModelName().empty());
}

TEST_F(Connection, ChangedModelIsReportedAndUsed)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_pConnection->Connect(), 1);
    StartSimulator(Model("KT-B212"));
    EXPECT_EQ(m_pConnection->Reconnect(), 1);
    EXPECT_EQ(m_Ui.m_Messages, std::vector<unsigned int>{IDS_CHANGED_KIND});
    EXPECT_EQ(m_pConnection->ModelName(), "KT-B212");
    EXPECT_EQ(m_pConnection->Model().nAudioVariant, 1);
}

TEST_F(Connection, RefusedLevel5IdentificationConnectsWithThePreviousModel)
{
    SSimulatorOptions o = Model("level5-only");
    o.bRefuseIdent = true;
    StartSimulator(o);
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_TRUE(m_Ui.m_Dialogs.empty()) << "a refusal is no \"does not support\"";
    EXPECT_TRUE(m_pConnection->ModelName().empty());
    EXPECT_EQ(m_pConnection->Model().wModelCode, kUnrecognisedModel.wModelCode);
    EXPECT_TRUE(m_Link.IsOpen());
    EXPECT_EQ(m_Link.GetLevel(), 1);
}

TEST_F(Connection, UnsupportedAnswerOffersExitOrUnconnected)
{
    struct SCase {
        const char* model;
        unsigned int identBytes;
        bool exit;
    };
    const SCase cases[] = {
        {"KT-C310", 2, false}, // a Level 4 answer of the wrong length
        {"KT-C310", 6, true},
        {"level5-only", 3, false}, // the Level 5 answer of the wrong length
        {"level5-only", 0, true},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + std::to_string(c.identBytes));
        SSimulatorOptions o = Model(c.model);
        o.nIdentBytes = c.identBytes;
        StartSimulator(o);
        Restart();
        m_Ui.m_Dialogs.clear();
        m_Ui.m_Messages.clear();
        m_Ui.m_bQuit = false;
        m_Ui.m_bExitOnUnsupported = c.exit;
        EXPECT_EQ(m_pConnection->Connect(), 0);
        EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{173});
        EXPECT_FALSE(m_Link.IsOpen());
        EXPECT_FALSE(m_Link.IsQuiet());
        EXPECT_EQ(m_Ui.m_bQuit, c.exit);
        EXPECT_EQ(m_Ui.m_Messages, c.exit ? std::vector<unsigned int>{} : std::vector<unsigned int>{IDS_UNCONNECTED});
    }
}

TEST_F(Connection, UnansweredPowerQueryLeavesThePowerDialogsAlone)
{
    // Standby, and the user says No: the last reply kept is the power answer.
    StartSimulator(Model("KT-A101", 0x00));
    m_Ui.m_bTurnOn = false;
    ASSERT_EQ(m_pConnection->Connect(), 1);
    ASSERT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{174});
    ASSERT_EQ(m_pConnection->Receiver().Reply().wItem, kItemPower);

    // After a reconnect the identification is answered, the power query is not.
    m_pSim->PushFaults({SFault(), {EFault::NoAck}, {EFault::NoAck}, {EFault::NoAck}});
    EXPECT_EQ(m_pConnection->Reconnect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{174}) << "no question from the old answer";
}

TEST_F(Connection, NoResponseThenUnconnected)
{
    StartSimulator(Model("silent"));
    EXPECT_EQ(m_pConnection->Connect(), 0);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{171});
    EXPECT_EQ(m_Ui.m_Messages, std::vector<unsigned int>{IDS_UNCONNECTED});
    EXPECT_FALSE(m_Link.IsOpen());
    EXPECT_EQ(m_Ui.m_Changes.back(), false);
    EXPECT_FALSE(m_Link.IsQuiet());
}

TEST_F(Connection, NoResponseThenAnotherPort)
{
    StartSimulator(Model("silent"));
    m_Ui.m_bSelectPortAgain = true;
    m_Ui.m_nPortChoice = 2;
    // COM2 leads to a real projector.
    SOtherPort projector("KT-C310", m_OtherProjectors);
    ASSERT_TRUE(projector.started);
    m_Host.m_Ports.push_back(projector.pty.SlavePath());
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, (std::vector<unsigned int>{171, 177}));
    EXPECT_EQ(m_Link.GetPort(), 2u);
    EXPECT_EQ(m_Ui.m_nCheckedPort, 2u);
    m_Link.Close();
}

// COM port n of the host leads to device.
void PutPort(CQueueLinkHost& host, unsigned int n, const std::string& device)
{
    if (host.m_Ports.size() < n)
        host.m_Ports.resize(n, "/dev/kestrel-no-port");
    host.m_Ports[n - 1] = device;
}

TEST_F(Connection, StartupFindsTheProjectorOnAnotherPresentPort)
{
    // The kept COM1 is gone (no device); COM3 is silent; the adapter on COM7 has the projector.
    SOtherPort silent("silent", m_OtherProjectors), projector("KT-C310", m_OtherProjectors);
    ASSERT_TRUE(silent.started && projector.started);
    PutPort(m_Host, 3, silent.pty.SlavePath());
    PutPort(m_Host, 7, projector.pty.SlavePath());
    m_Host.m_Present = {1, 3, 7};
    EXPECT_EQ(m_pConnection->ConnectAtStartup(), 1);
    EXPECT_EQ(m_Link.GetPort(), 7u);
    EXPECT_EQ(m_pConnection->ModelName(), "KT-C310");
    EXPECT_TRUE(m_Ui.m_Dialogs.empty()) << "nobody is asked while a present port answers";
    EXPECT_EQ(m_Host.m_nPortQuestions, 0);
    EXPECT_EQ(m_Ui.m_Kept, std::vector<unsigned int>{7});
    EXPECT_EQ(m_Ui.m_nCheckedPort, 7u);
    EXPECT_GT(silent.FramesReceived(), 0u) << "COM3 comes before COM7";
    m_Link.Close();
}

TEST_F(Connection, StartupOnAnAnsweringKeptPortTriesNoOther)
{
    SOtherPort kept("KT-A120", m_OtherProjectors), other("KT-C310", m_OtherProjectors);
    ASSERT_TRUE(kept.started && other.started);
    PutPort(m_Host, 3, other.pty.SlavePath());
    PutPort(m_Host, 12, kept.pty.SlavePath());
    m_Host.m_Present = {3, 12};
    m_Link.SetPort(12);
    EXPECT_EQ(m_pConnection->ConnectAtStartup(), 1);
    EXPECT_EQ(m_Link.GetPort(), 12u);
    EXPECT_EQ(m_pConnection->ModelName(), "KT-A120");
    EXPECT_EQ(other.FramesReceived(), 0u);
    EXPECT_EQ(m_Ui.m_Kept, std::vector<unsigned int>{12});
    m_Link.Close();
}

TEST_F(Connection, StartupWithoutAnAnsweringPortAsksAsBefore)
{
    // The kept port is silent and the other present port has no device: the no-response
    // question, on the kept port, and nothing kept.
    StartSimulator(Model("silent"));
    m_Host.m_Present = {1, 2};
    EXPECT_EQ(m_pConnection->ConnectAtStartup(), 0);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{171});
    EXPECT_EQ(m_Link.GetPort(), 1u);
    EXPECT_TRUE(m_Ui.m_Kept.empty());

    // The kept port cannot be opened and nothing else answers: the port question of today.
    Restart();
    m_Ui.m_Dialogs.clear();
    m_Link.SetPort(5);
    EXPECT_EQ(m_pConnection->ConnectAtStartup(), 0);
    EXPECT_EQ(m_Host.m_nPortQuestions, 1);
    EXPECT_TRUE(m_Ui.m_Kept.empty());
}

TEST_F(Connection, OnlyTheStartupSearchesOtherPorts)
{
    // Choosing a port in the menu connects to that port, or asks.
    StartSimulator(Model("silent"));
    SOtherPort projector("KT-C310", m_OtherProjectors);
    ASSERT_TRUE(projector.started);
    PutPort(m_Host, 7, projector.pty.SlavePath());
    m_Host.m_Present = {1, 7};
    EXPECT_EQ(m_pConnection->Connect(), 0);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{171});
    EXPECT_EQ(projector.FramesReceived(), 0u);
    m_pConnection->SelectPort(7);
    EXPECT_EQ(m_Link.GetPort(), 7u);
    EXPECT_TRUE(m_Link.IsOpen());
    EXPECT_EQ(m_Ui.m_Kept, std::vector<unsigned int>{7});
    m_Link.Close();
}

// A network serial server on 127.0.0.1 in front of a projector of its own.
struct SNetworkServer {
    SNetworkServer(const char* model, std::vector<const CProjectorSimulator*>& peers) : port(model, peers)
    {
        std::string error;
        started = port.started && bridge.Start(0, port.pty.SlavePath(), 0, error);
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(bridge.Port()); }
    SOtherPort port;
    CTcpBridge bridge;
    bool started = false;
};

// An address where nothing listens: a server's port after the server is gone.
std::string RefusingAddress()
{
    std::vector<const CProjectorSimulator*> peers;
    SNetworkServer gone("silent", peers);
    return gone.Address();
}

TEST_F(Connection, NetworkPortConnectsThroughItsAddress)
{
    StartSimulator(Model("silent"));
    SNetworkServer server("KT-A120", m_OtherProjectors);
    ASSERT_TRUE(server.started);
    m_Link.SetNetworkAddress(server.Address());
    m_pConnection->SelectPort(kNetworkPort);
    EXPECT_TRUE(m_Link.IsOpen());
    EXPECT_EQ(m_Link.GetPort(), kNetworkPort);
    EXPECT_EQ(m_pConnection->ModelName(), "KT-A120");
    EXPECT_TRUE(m_Ui.m_Dialogs.empty());
    EXPECT_EQ(m_Ui.m_nCheckedPort, kNetworkPort);
    EXPECT_EQ(m_Ui.m_Kept, std::vector<unsigned int>{kNetworkPort});
    EXPECT_GT(server.port.FramesReceived(), 0u);
    m_Link.Close();
}

TEST_F(Connection, RefusedNetworkPortIsAPortThatCannotBeOpened)
{
    // The open-failure question; its Retry may choose a COM port instead.
    StartSimulator(Model("KT-C310"));
    m_Link.SetNetworkAddress(RefusingAddress());
    m_pConnection->SelectPort(kNetworkPort);
    EXPECT_EQ(m_Host.m_nPortQuestions, 1);
    EXPECT_FALSE(m_Link.IsOpen());
    EXPECT_TRUE(m_Ui.m_Kept.empty());

    m_Host.m_PortAnswers = {1};
    m_pConnection->SelectPort(kNetworkPort);
    EXPECT_EQ(m_Host.m_nPortQuestions, 2);
    EXPECT_TRUE(m_Link.IsOpen());
    EXPECT_EQ(m_Link.GetPort(), 1u);
    EXPECT_EQ(m_Ui.m_Kept, std::vector<unsigned int>{1});
    m_Link.Close();
}

TEST_F(Connection, StartupOnAnUnansweringKeptNetworkPortGoesOnAsForASerialPort)
{
    // Refused: the present serial ports are searched and the projector on COM7 found.
    SOtherPort projector("KT-C310", m_OtherProjectors);
    ASSERT_TRUE(projector.started);
    PutPort(m_Host, 7, projector.pty.SlavePath());
    m_Host.m_Present = {7};
    m_Link.SetNetworkAddress(RefusingAddress());
    m_Link.SetPort(kNetworkPort);
    EXPECT_EQ(m_pConnection->ConnectAtStartup(), 1);
    EXPECT_EQ(m_Link.GetPort(), 7u);
    EXPECT_EQ(m_Ui.m_Kept, std::vector<unsigned int>{7});
    m_Link.Close();

    // A silent server and no other port: "No response", still on the network port.
    Restart();
    SNetworkServer silent("silent", m_OtherProjectors);
    ASSERT_TRUE(silent.started);
    m_Ui.m_Kept.clear();
    m_Host.m_Present = {};
    m_Link.SetNetworkAddress(silent.Address());
    m_Link.SetPort(kNetworkPort);
    EXPECT_EQ(m_pConnection->ConnectAtStartup(), 0);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{171});
    EXPECT_EQ(m_Link.GetPort(), kNetworkPort);
    EXPECT_GT(silent.port.FramesReceived(), 0u) << "the identification went to the server";
    EXPECT_TRUE(m_Ui.m_Kept.empty());
}

TEST_F(Connection, WarmingWaitEndsWithTheOnReport)
{
    StartSimulator(Model("KT-B212", 0x10));
    m_Ui.m_OnDialog = [&](unsigned int) { m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x01}}); };
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{175});
    EXPECT_FALSE(m_Ui.m_bActiveUp);
    EXPECT_TRUE(m_Ui.m_bMainEnabled);
    EXPECT_EQ(m_pConnection->IsPowerOn(), 1);
    EXPECT_EQ(m_pConnection->IsWaitingActive(), 0);
    EXPECT_LT(m_Ui.m_nActiveLasted, 90000u) << "ended by the report, not the limit";
    EXPECT_EQ(SetsOf(0x0000), std::vector<uint8_t>{1}) << "link mode set before waiting";
}

TEST_F(Connection, WarmingWaitGivesUpAfterNinetySeconds)
{
    StartSimulator(Model("KT-B212", 0x10));
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_GE(m_Ui.m_nActiveLasted, 90000u);
    EXPECT_GT(m_Ui.m_nBlinks, 0) << "the notice blinks while it waits";
    EXPECT_LT(m_Ui.m_nActiveLasted, 92000u);
    EXPECT_EQ(m_pConnection->IsWaitingActive(), 0);
}

TEST_F(Connection, CancelledCoolingWaitDoesNotSwitchOn)
{
    StartSimulator(Model("KT-B212", 0x11));
    m_Ui.m_nCancelCoolingAfter = 5;
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, (std::vector<unsigned int>{174, 176}));
    EXPECT_EQ(m_Ui.m_nTurnOnText, static_cast<unsigned int>(IDS_TURNED_OFF));
    EXPECT_TRUE(SetsOf(0x0003).empty());
    EXPECT_EQ(m_pConnection->IsWaitingCooling(), 0);
    EXPECT_TRUE(m_Ui.m_bMainEnabled);
}

TEST_F(Connection, StandbyReportEndsTheCoolingWaitAndSwitchesOn)
{
    StartSimulator(Model("KT-B212", 0x11));
    m_Ui.m_OnDialog = [&](unsigned int) { m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x00}}); };
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_EQ(SetsOf(0x0003), std::vector<uint8_t>{1});
    EXPECT_FALSE(m_Ui.m_bCoolingUp);
}

TEST_F(Connection, StandbyAtConnectionAsksToSwitchOn)
{
    StartSimulator(Model("KT-A101", 0x00));
    EXPECT_EQ(m_pConnection->Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{174});
    EXPECT_EQ(SetsOf(0x0003), std::vector<uint8_t>{1});
    long long power = 0;
    ASSERT_TRUE(m_pSim->GetValue(1, 0x0003, power));
    EXPECT_NE(power, 0);
}

TEST_F(Connection, WarningsAreShownInBitOrder)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_pConnection->Connect(), 1);
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0012, {0x09}});
    EXPECT_TRUE(PumpUntil([&] { return m_Ui.m_Messages.size() >= 2; }));
    EXPECT_EQ(m_Ui.m_Messages, (std::vector<unsigned int>{IDS_WARN_FAN, IDS_WARN_LAMP_LIFE}));
}

TEST_F(Connection, CoolingReportChangesTheQuestion)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_pConnection->Connect(), 1);
    m_Ui.m_bTurnOn = false;
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x11}});
    EXPECT_TRUE(PumpUntil([&] { return m_Ui.m_nTurnOnText != 0; }));
    EXPECT_EQ(m_Ui.m_nTurnOnText, static_cast<unsigned int>(IDS_TURNED_OFF_AGAIN));
    EXPECT_EQ(m_pConnection->IsPowerOn(), 0);
}

TEST_F(Connection, BusyReportsRunAndEndTheWaitDialog)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_pConnection->Connect(), 1);
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0007, {0x00}});
    EXPECT_TRUE(PumpUntil([&] { return !m_Ui.m_Dialogs.empty() && m_Ui.m_Dialogs.back() == 187u; }));
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0007, {0x01}});
    EXPECT_TRUE(PumpUntil([&] { return m_Ui.m_nRefreshes == 1; }));
}

TEST_F(Connection, PowerButtonAsksBeforeSwitchingOff)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_pConnection->Connect(), 1);
    m_Store.Put(kItemPower, 0x01, 1);
    m_Ui.m_bTurnOff = false;
    m_pConnection->PressProjectorButton(1040);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{510});
    EXPECT_TRUE(SetsOf(0x0003).empty()) << "No leaves the projector on";

    m_Ui.m_bTurnOff = true;
    m_pConnection->PressProjectorButton(1040);
    EXPECT_EQ(SetsOf(0x0003), std::vector<uint8_t>{0});
    long long power = 1;
    ASSERT_TRUE(m_pSim->GetValue(1, 0x0003, power));
    EXPECT_NE(power, 0x01);
}

TEST_F(Connection, RemoteKeysAndLinkModeRelease)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_pConnection->Connect(), 1);
    m_pConnection->PressProjectorButton(1042);
    std::vector<uint8_t> freeze;
    for (const SLogEntry& e : m_pSim->Log().Entries())
        if (e.eKind == ELogKind::RxFrame && e.bytes[3] == 0x00 && e.bytes[4] == 0x0A)
            freeze.assign(e.bytes.begin() + 5, e.bytes.end() - 1);
    EXPECT_EQ(freeze, (std::vector<uint8_t>{0, 0, 0, 0, 0x10}));

    m_pConnection->ReleaseLinkMode();
    EXPECT_EQ(SetsOf(0x0000), (std::vector<uint8_t>{1, 0}));
}

} // namespace

// Connecting and identifying against each simulated projector, and the reactions to the
// power, busy and warning reports, with the user's answers scripted.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "connection.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "queue_link_host.h"
#include "resource.h"

namespace {

class CScriptedUi : public IConnectionUi {
public:
    explicit CScriptedUi(CQueueLinkHost& host) : m_Host(host) {}

    // Real time plus whatever the blinking pretended to sleep, so long waits run out quickly.
    uint32_t TickCount() override
    {
        auto real = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_Start);
        return static_cast<uint32_t>(real.count()) + m_nSkipped;
    }
    void Sleep(unsigned int ms) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        m_nSkipped += ms;
    }
    void DispatchPending() override
    {
        m_Host.PumpAll();
        if (m_bCoolingUp && ++m_nCoolingDispatches == m_nCancelCoolingAfter)
            m_bCoolingUp = false;
    }
    void WaitCursor(bool) override {}
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
        m_ActiveShownAt = TickCount();
    }
    bool IsActiveDlgUp() override { return m_bActiveUp; }
    void ShowActiveText(bool) override { ++m_nBlinks; }
    void DestroyActiveDlg() override
    {
        m_bActiveUp = false;
        m_nActiveLasted = TickCount() - m_ActiveShownAt;
    }
    void ShowCoolingDlg() override
    {
        m_Dialogs.push_back(176);
        m_bCoolingUp = true;
    }
    bool IsCoolingDlgUp() override { return m_bCoolingUp; }
    void DestroyCoolingDlg() override { m_bCoolingUp = false; }
    void RunWaitDlg() override { m_Dialogs.push_back(187); }
    bool IsWaitDlgUp() override { return false; }
    void CloseWaitDlg() override {}
    void RepaintControlScreen() override { ++m_nRepaints; }
    void RepaintMainWindow() override {}
    void OnConnectionChanged(bool linkOpen) override { m_Changes.push_back(linkOpen); }
    void CheckPortMenu(unsigned int port) override { m_nCheckedPort = port; }

    CQueueLinkHost& m_Host;
    std::chrono::steady_clock::time_point m_Start = std::chrono::steady_clock::now();
    uint32_t m_nSkipped = 0;
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
    int m_nRepaints = 0;
    std::vector<unsigned int> m_Messages;
    std::vector<unsigned int> m_Dialogs;
    std::vector<bool> m_Changes;
};

class Connection : public ::testing::Test {
protected:
    Connection() : m_Ui(m_Host), m_Connection(m_Link, m_Ui, m_Table)
    {
        m_Host.m_pReceiver = &m_Connection.Receiver();
        m_Link.Attach(&m_Host, &m_Connection.Receiver());
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
    CQueueLinkHost m_Host;
    CProjectorLink m_Link;
    CSettingTable m_Table;
    CScriptedUi m_Ui;
    CConnection m_Connection;
};

TEST_F(Connection, IdentifiesEachModelAndSetsLinkMode)
{
    for (const char* type : {"KT-C310", "KT-A120", "KT-B212", "KT-B213", "KT-A101", "level5-only"}) {
        StartSimulator(Model(type));
        m_Connection.m_strModelName.clear();
        EXPECT_EQ(m_Connection.Connect(), 1) << type;
        std::string expected = std::string(type) == "level5-only" ? "KT-C310" : type;
        EXPECT_EQ(m_Connection.m_strModelName, expected);
        EXPECT_EQ(m_Link.m_nLevel, 1) << "Level 5 after identification";
        EXPECT_TRUE(m_Link.IsOpen());
        EXPECT_EQ(m_Connection.m_bPowerOn, 1);
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
    EXPECT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(m_Ui.m_Messages, std::vector<unsigned int>{IDS_UNRECOGNIZED});
    EXPECT_EQ(m_Connection.m_Model.wModelCode, 0x0303);
    EXPECT_TRUE(m_Connection.m_strModelName.empty());
}

TEST_F(Connection, ChangedModelIsReportedAndUsed)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_Connection.Connect(), 1);
    StartSimulator(Model("KT-B212"));
    EXPECT_EQ(m_Connection.Reconnect(), 1);
    EXPECT_EQ(m_Ui.m_Messages, std::vector<unsigned int>{IDS_CHANGED_KIND});
    EXPECT_EQ(m_Connection.m_strModelName, "KT-B212");
    EXPECT_EQ(m_Connection.m_Model.nAudioVariant, 1);
}

TEST_F(Connection, NoResponseThenUnconnected)
{
    StartSimulator(Model("silent"));
    EXPECT_EQ(m_Connection.Connect(), 0);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{171});
    EXPECT_EQ(m_Ui.m_Messages, std::vector<unsigned int>{IDS_UNCONNECTED});
    EXPECT_FALSE(m_Link.IsOpen());
    EXPECT_EQ(m_Ui.m_Changes.back(), false);
    EXPECT_EQ(m_Link.m_bQuiet, 0);
}

TEST_F(Connection, NoResponseThenAnotherPort)
{
    StartSimulator(Model("silent"));
    m_Ui.m_bSelectPortAgain = true;
    m_Ui.m_nPortChoice = 2;
    // COM2 leads to a real projector.
    CPseudoTerminal second;
    CProjectorSimulator projector;
    ASSERT_TRUE(projector.Start(second.MasterFd()));
    m_Host.m_Ports.push_back(second.SlavePath());
    EXPECT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, (std::vector<unsigned int>{171, 177}));
    EXPECT_EQ(m_Link.GetPort(), 2u);
    EXPECT_EQ(m_Ui.m_nCheckedPort, 2u);
    m_Link.Close();
}

TEST_F(Connection, WarmingWaitEndsWithTheOnReport)
{
    StartSimulator(Model("KT-B212", 0x10));
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x01}}, 800);
    EXPECT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{175});
    EXPECT_FALSE(m_Ui.m_bActiveUp);
    EXPECT_TRUE(m_Ui.m_bMainEnabled);
    EXPECT_EQ(m_Connection.m_bPowerOn, 1);
    EXPECT_EQ(m_Connection.m_bWaitingActive, 0);
    EXPECT_LT(m_Ui.m_nActiveLasted, 90000u) << "ended by the report, not the limit";
    EXPECT_GT(m_Ui.m_nBlinks, 0);
    EXPECT_EQ(SetsOf(0x0000), std::vector<uint8_t>{1}) << "link mode set before waiting";
}

TEST_F(Connection, WarmingWaitGivesUpAfterNinetySeconds)
{
    StartSimulator(Model("KT-B212", 0x10));
    EXPECT_EQ(m_Connection.Connect(), 1);
    EXPECT_GE(m_Ui.m_nActiveLasted, 90000u);
    EXPECT_LT(m_Ui.m_nActiveLasted, 92000u);
    EXPECT_EQ(m_Connection.m_bWaitingActive, 0);
}

TEST_F(Connection, CancelledCoolingWaitDoesNotSwitchOn)
{
    StartSimulator(Model("KT-B212", 0x11));
    m_Ui.m_nCancelCoolingAfter = 5;
    EXPECT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, (std::vector<unsigned int>{174, 176}));
    EXPECT_EQ(m_Ui.m_nTurnOnText, static_cast<unsigned int>(IDS_TURNED_OFF));
    EXPECT_TRUE(SetsOf(0x0003).empty());
    EXPECT_EQ(m_Connection.m_bWaitingCooling, 0);
    EXPECT_TRUE(m_Ui.m_bMainEnabled);
}

TEST_F(Connection, StandbyReportEndsTheCoolingWaitAndSwitchesOn)
{
    StartSimulator(Model("KT-B212", 0x11));
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x00}}, 800);
    EXPECT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(SetsOf(0x0003), std::vector<uint8_t>{1});
    EXPECT_FALSE(m_Ui.m_bCoolingUp);
}

TEST_F(Connection, StandbyAtConnectionAsksToSwitchOn)
{
    StartSimulator(Model("KT-A101", 0x00));
    EXPECT_EQ(m_Connection.Connect(), 1);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{174});
    EXPECT_EQ(SetsOf(0x0003), std::vector<uint8_t>{1});
    long long power = 0;
    ASSERT_TRUE(m_pSim->GetValue(1, 0x0003, power));
    EXPECT_NE(power, 0);
}

TEST_F(Connection, WarningsAreShownInBitOrder)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_Connection.Connect(), 1);
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0012, {0x09}});
    m_Link.WaitPumping(400);
    EXPECT_EQ(m_Ui.m_Messages, (std::vector<unsigned int>{IDS_WARN_FAN, IDS_WARN_LAMP_LIFE}));
}

TEST_F(Connection, CoolingReportChangesTheQuestion)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_Connection.Connect(), 1);
    m_Ui.m_bTurnOn = false;
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0003, {0x11}});
    m_Link.WaitPumping(400);
    EXPECT_EQ(m_Ui.m_nTurnOnText, static_cast<unsigned int>(IDS_TURNED_OFF_AGAIN));
    EXPECT_EQ(m_Connection.m_bPowerOn, 0);
}

TEST_F(Connection, BusyReportsRunAndEndTheWaitDialog)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_Connection.Connect(), 1);
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0007, {0x00}});
    m_Link.WaitPumping(300);
    EXPECT_EQ(m_Ui.m_Dialogs.back(), 187u);
    m_pSim->SendFrame(SUnsolicitedFrame{false, 1, 0, 0x02, 0x0007, {0x01}});
    m_Link.WaitPumping(300);
    EXPECT_EQ(m_Ui.m_nRepaints, 1);
}

TEST_F(Connection, PowerButtonAsksBeforeSwitchingOff)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_Connection.Connect(), 1);
    m_Table.PutItemValue(0x0003, 0x01, 1);
    m_Ui.m_bTurnOff = false;
    m_Connection.PressProjectorButton(1040);
    EXPECT_EQ(m_Ui.m_Dialogs, std::vector<unsigned int>{510});
    EXPECT_TRUE(SetsOf(0x0003).empty()) << "No leaves the projector on";

    m_Ui.m_bTurnOff = true;
    m_Connection.PressProjectorButton(1040);
    EXPECT_EQ(SetsOf(0x0003), std::vector<uint8_t>{0});
    long long power = 1;
    ASSERT_TRUE(m_pSim->GetValue(1, 0x0003, power));
    EXPECT_NE(power, 0x01);
}

TEST_F(Connection, RemoteKeysAndLinkModeRelease)
{
    StartSimulator(Model("KT-C310"));
    ASSERT_EQ(m_Connection.Connect(), 1);
    m_Connection.PressProjectorButton(1042);
    std::vector<uint8_t> freeze;
    for (const SLogEntry& e : m_pSim->Log().Entries())
        if (e.eKind == ELogKind::RxFrame && e.bytes[3] == 0x00 && e.bytes[4] == 0x0A)
            freeze.assign(e.bytes.begin() + 5, e.bytes.end() - 1);
    EXPECT_EQ(freeze, (std::vector<uint8_t>{0, 0, 0, 0, 0x10}));

    m_Connection.ReleaseLinkMode();
    EXPECT_EQ(SetsOf(0x0000), (std::vector<uint8_t>{1, 0}));
}

} // namespace

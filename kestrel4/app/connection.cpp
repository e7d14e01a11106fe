#include "connection.h"

#include "stack_state.h"

#include <vector>

#include "port_names.h"

#include "resource.h"
#include "zelq_items.h"

namespace {
const unsigned long kReplyWaitMs = 1000;
const uint32_t kWarmingLimitMs = 90000;
const uint32_t kWarmingLinkModeMs = 10000;
const uint32_t kCoolingLimitMs = 180000;

enum EPowerState : int32_t {
    POWER_STANDBY = 0x00,
    POWER_ON = 0x01,
    POWER_WARMING = 0x10,
    POWER_COOLING = 0x11,
};

const unsigned int kWarningMessages[8] = {IDS_WARN_FAN,        IDS_WARN_FUSE, IDS_WARN_HEAT,  IDS_WARN_LAMP_LIFE,
                                          IDS_WARN_LAMP_LIFE2, IDS_WARN_LAMP, IDS_WARN_STACK, IDS_WARN_INTERNAL};
} // namespace

CConnection::CConnection(CProjectorLink& link, IConnectionUi& ui, IClock& clock)
    : m_Link(link), m_Ui(ui), m_Clock(clock), m_Receiver(link, *this), m_Model(kUnrecognisedModel),
      m_nTurnedOffText(IDS_TURNED_OFF)
{
    // The power waits and the link's waits for answers count the same time.
    m_Link.SetClock(clock);
}

void CConnection::SelectProjector(int projector)
{
    if (projector >= 0 && projector <= 4)
        m_nCurrentProjector = projector;
}

void CConnection::SetStack(int projectorCount, int stackMode)
{
    if (projectorCount < 0 || projectorCount > 4)
        return;
    m_nProjectorCount = projectorCount;
    m_bStackMode = stackMode ? 1 : 0;
}

// ---- item commands ----

int32_t CConnection::ItemValue(uint16_t item, int projector) const
{
    return m_pStore ? m_pStore->GetItemValue(item, projector) : -1;
}

int CConnection::QueryItem(int stack, int projector, uint16_t item)
{
    return m_Link.Transact(stack, 2, static_cast<unsigned char>(projector), item, nullptr, 0);
}

int CConnection::SetItem(int stack, int projector, uint16_t item, unsigned char value)
{
    return m_Link.Transact(stack, 1, static_cast<unsigned char>(projector), item, &value, 1);
}

void CConnection::OnSentValue(uint16_t item, int32_t value, int projector)
{
    if (m_pStore)
        m_pStore->OnSentValue(item, value, projector);
}

bool CConnection::OnNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector)
{
    if (item == kItemStackQuery) {
        // Too short for a stack state: no stack, the count stays.
        m_bStackMode = 0;
        return true;
    }
    return m_pStore ? m_pStore->OnNotifiedValue(item, bytes, count, projector) : true;
}

void CConnection::OnMultiByte(const SReceivedFrame& reply, int projector)
{
    if (reply.wItem == kItemStackQuery) {
        OnStackState(reply.Parameter, reply.nParameterLength);
        return;
    }
    if (m_pStore)
        m_pStore->OnMultiByte(reply, projector);
}

void CConnection::OnStackState(const unsigned char* bytes, uint32_t count)
{
    SStackState state = DecodeStackState(bytes, count);
    if (!state.bValid) {
        m_bStackMode = 0;
        return;
    }
    m_bStackMode = state.bStackMode;
    m_nProjectorCount = state.nProjectorCount;
    if (m_nCurrentProjector > m_nProjectorCount)
        m_nCurrentProjector = 1;
    for (int k = 1; k <= 4; ++k)
        if (m_pStore)
            m_pStore->PutItemValue(kItemStackPosition, state.nPosition[k - 1], k);
}

void CConnection::OnLockEntries(const unsigned char* bytes, uint32_t count)
{
    if (m_pStore)
        m_pStore->OnLockEntries(bytes, count);
}

void CConnection::OnItemChanged(uint16_t item, bool fromProjector, int projector)
{
    switch (item) {
    case kItemPower:
        // Answers to the program's own queries are handled where they were asked.
        if (fromProjector)
            OnPowerReport(ItemValue(kItemPower, projector));
        break;
    case kItemResetAll:
        OnBusy(projector);
        break;
    case kItemWarnings:
        OnWarnings(projector);
        break;
    default:
        if (m_pStore)
            m_pStore->OnItemChanged(item, fromProjector, projector);
        if (m_pListener)
            m_pListener->OnItemChanged(item, fromProjector, projector);
        break;
    }
}

// ---- connecting ----

int CConnection::Connect()
{
    CWaitCursor wait(m_Link.Host());
    // With a port search the identification opens the ports itself, asking only at the end.
    int connected = (m_bSearchPorts || m_Link.Open()) && IdentifyProjector();
    m_bSearchPorts = false;
    if (connected) {
        m_Ui.CheckPortMenu(m_Link.GetPort());
        m_Ui.KeepPort(m_Link.GetPort());
    }
    m_Ui.OnConnectionChanged(m_Link.IsOpen() != 0);
    return connected;
}

int CConnection::ConnectAtStartup()
{
    m_bSearchPorts = true;
    return Connect();
}

int CConnection::Reconnect()
{
    m_Link.Close();
    return Connect();
}

void CConnection::SelectPort(unsigned int port)
{
    m_Link.SetPort(port);
    if (m_Link.IsOpen())
        Reconnect();
    else
        Connect();
}

void CConnection::Unconnected()
{
    m_Ui.ShowMessage(IDS_UNCONNECTED, ICON_INFORMATION);
}

bool CConnection::SwitchToLevel5()
{
    m_Link.Close();
    m_Link.SetLevel(1);
    return m_Link.Open() != 0;
}

int CConnection::IdentifyProjector()
{
    ++m_nIdentifications;
    {
        // No retry boxes while the projector is being found out.
        CQuietLink quiet(m_Link);
        if (!RunIdentification())
            return 0;
    }
    m_nCurrentProjector = 1;
    m_nProjectorCount = 1;
    m_bStackMode = 0;
    if (m_Model.bStackCapable) {
        const unsigned char zero = 0;
        if (!m_Link.Transact(1, 2, 1, kItemStackQuery, &zero, 1))
            return 0;
    }
    // Only an answer to this query may drive the power dialogs: the last reply may be a
    // power answer of an earlier connection.
    const SReceivedFrame& reply = m_Receiver.Reply();
    if (QueryItem(m_bStackMode, 1, kItemPower) && reply.wItem == kItemPower && reply.nParameterLength == 1)
        OnPowerAtConnection(BigEndianSigned(reply.Parameter, 1));
    return 1;
}

int CConnection::SendIdentification()
{
    SZelqLevel4Header request;
    request.Size = 6;
    request.Attr = 2;
    request.GroupID = ItemGroup(kItemIdentify);
    request.ItemID = ItemId(kItemIdentify);
    return m_Link.SendLevel4Command(request, nullptr, 0, 1, kReplyWaitMs);
}

bool CConnection::FindAnsweringPort()
{
    m_bSearchPorts = false;
    const unsigned int kept = m_Link.GetPort();
    const std::vector<unsigned int> order = PortsToTry(m_Link.Host()->PresentPorts(), kept);
    for (size_t i = 1; i < order.size(); ++i) {
        m_Link.SetPort(order[i]);
        m_Link.SetLevel(0);
        bool answered = m_Link.TryOpen() && SendIdentification() == 0;
        m_Link.Close();
        if (answered)
            return true;
    }
    m_Link.SetPort(kept);
    return false;
}

bool CConnection::RunIdentification()
{
    for (;;) {
        m_Link.Close();
        m_Link.SetLevel(0);
        bool opened = m_Link.TryOpen();
        if (opened && SendIdentification() == 0)
            break;
        m_Link.Close();
        // At start-up a projector that moved to another port is found before anyone is asked.
        if (m_bSearchPorts && FindAnsweringPort())
            continue;
        m_bSearchPorts = false;
        if (!opened) {
            m_Link.SetLevel(0);
            if (!m_Link.Open()) {
                m_Link.SetLevel(1);
                return false;
            }
            if (SendIdentification() == 0)
                break;
            m_Link.Close();
        }

        m_Ui.RaiseSplash();
        m_Ui.Beep();
        if (!m_Ui.AskNoResponse()) {
            Unconnected();
            return false;
        }
        unsigned int port = m_Link.GetPort();
        if (!m_Ui.AskSelectPort(port)) {
            Unconnected();
            return false;
        }
        m_Link.SetPort(port);
        m_Link.SetLevel(1);
        if (!m_Link.Open())
            return false;
    }
    m_bSearchPorts = false;

    bool identified = m_Link.WaitReplyState(REPLY_ANSWERED, kReplyWaitMs);
    bool unsupported = false;
    const SReceivedFrame& reply = m_Receiver.Reply();
    if (!identified) {
        // The answer came too late to identify the projector; it is still connected, and all
        // further work is at Level 5, so the engine must change here as well.
        if (!SwitchToLevel5())
            return false;
    } else if (reply.nFrameLength > 2 && (reply.Frame[2] & 0x40)) {
        // The projector does not take the Level 4 request: it identifies at Level 5. A refusal
        // is no identification: connected, with the model known before.
        if (!SwitchToLevel5())
            return false;
        if (QueryItem(1, 1, kItemIdentify)) {
            if (reply.nParameterLength == 4)
                MatchModel();
            else
                unsupported = true;
        }
    } else if (reply.nParameterLength == 4) {
        MatchModel();
        if (!SwitchToLevel5())
            return false;
    } else {
        unsupported = true;
    }

    if (unsupported) {
        m_Link.Close();
        m_Ui.RaiseSplash();
        m_Ui.Beep();
        if (m_Ui.AskUnsupported())
            m_Ui.PostQuit();
        else
            Unconnected();
        return false;
    }
    return true;
}

void CConnection::MatchModel()
{
    const SReceivedFrame& reply = m_Receiver.Reply();
    const SProjectorModel* row = FindProjectorModel(reply.Parameter, reply.nParameterLength);
    if (!row) {
        m_Ui.ShowMessage(IDS_UNRECOGNIZED, ICON_INFORMATION);
        return;
    }
    if (!m_strModelName.empty() && m_strModelName != row->szTypeCode)
        m_Ui.ShowMessage(IDS_CHANGED_KIND, ICON_INFORMATION);
    m_strModelName = row->szTypeCode;
    m_Model = *row;
}

// ---- power ----

void CConnection::SetLinkMode(bool stackMode, unsigned char mode)
{
    if (stackMode) {
        for (int p = 1; p <= m_nProjectorCount; ++p)
            if (!SetItem(1, p, kItemLinkMode, mode))
                break;
    } else {
        SetItem(m_bStackMode, 1, kItemLinkMode, mode);
    }
}

void CConnection::ReleaseLinkMode()
{
    SetLinkMode(m_bStackMode != 0, 0);
}

void CConnection::PressProjectorButton(unsigned int button)
{
    struct SRemoteKey {
        unsigned int button;
        unsigned char bytes[5];
    };
    static const SRemoteKey kKeys[] = {
        {1045, {0, 0, 0x10, 0, 0}}, // input source: computer
        {1044, {0, 0, 0x20, 0, 0}}, // input source: video
        {1043, {0, 0, 0, 0, 0x08}}, // resize
        {1042, {0, 0, 0, 0, 0x10}}, // freeze
        {1041, {0, 0, 0, 0, 0x40}}, // A/V mute
    };
    if (button == 1040) {
        PressPower();
        return;
    }
    for (const SRemoteKey& key : kKeys)
        if (key.button == button)
            m_Link.Transact(m_bStackMode, 1, 1, kItemRemoteKey, key.bytes, sizeof key.bytes);
}

void CConnection::PressPower()
{
    switch (ItemValue(kItemPower, 1)) {
    case POWER_STANDBY:
        SwitchOnAndQuery();
        break;
    case POWER_ON:
    case 0x02:
        if (m_Ui.AskPowerOff() && SetItem(m_bStackMode, 1, kItemPower, POWER_STANDBY))
            QueryItem(m_bStackMode, 1, kItemPower);
        break;
    case POWER_COOLING:
        WaitCoolingThenPowerOn();
        break;
    default:
        break;
    }
}

void CConnection::SwitchOnAndQuery()
{
    if (SetItem(m_bStackMode, 1, kItemPower, POWER_ON))
        QueryItem(m_bStackMode, 1, kItemPower);
}

void CConnection::OnPowerAtConnection(int32_t state)
{
    m_bPowerOn = state == POWER_ON;
    m_bPowerOff = state == POWER_STANDBY;
    switch (state) {
    case POWER_STANDBY:
        m_Ui.Beep();
        if (!m_Ui.IsTurnedOffDlgUp() && m_Ui.AskTurnOn(m_nTurnedOffText))
            SwitchOnAndQuery();
        break;
    case POWER_ON:
        if (m_Ui.IsTurnedOffDlgUp())
            m_Ui.CloseTurnedOffDlg();
        SetLinkMode(m_bStackMode != 0, 1);
        break;
    case POWER_WARMING:
        if (m_Ui.IsTurnedOffDlgUp())
            m_Ui.CloseTurnedOffDlg();
        WaitWhileWarming(false);
        break;
    case POWER_COOLING:
        m_Ui.Beep();
        if (!m_Ui.IsTurnedOffDlgUp() && m_Ui.AskTurnOn(m_nTurnedOffText))
            WaitCoolingThenPowerOn();
        break;
    default:
        break;
    }
}

void CConnection::OnPowerReport(int32_t state)
{
    switch (state) {
    case POWER_STANDBY:
        m_bWaitingCooling = 0;
        m_bPowerOn = 0;
        m_bPowerOff = 1;
        break;
    case POWER_ON:
        m_bWaitingActive = 0;
        m_bPowerOn = 1;
        m_bPowerOff = 0;
        if (m_Ui.IsTurnedOffDlgUp())
            m_Ui.CloseTurnedOffDlg();
        DispatchPending();
        break;
    case POWER_WARMING:
        m_bPowerOn = m_bPowerOff = 0;
        if (m_Ui.IsTurnedOffDlgUp())
            m_Ui.CloseTurnedOffDlg();
        WaitWhileWarming(true);
        break;
    case POWER_COOLING:
        m_bPowerOn = m_bPowerOff = 0;
        m_nTurnedOffText = IDS_TURNED_OFF_AGAIN;
        m_Ui.Beep();
        if (!m_Ui.IsTurnedOffDlgUp() && m_Ui.AskTurnOn(m_nTurnedOffText))
            WaitCoolingThenPowerOn();
        break;
    default:
        m_bPowerOn = m_bPowerOff = 0;
        break;
    }
}

void CConnection::WaitWhileWarming(bool fromReport)
{
    if (m_bWaitingActive || m_bPowerOn)
        return;
    bool linkModeSet = false;
    if (!fromReport) {
        SetLinkMode(false, 1);
        linkModeSet = true;
    }
    m_Ui.EnableMainWindow(false);
    m_Ui.ShowActiveDlg();
    m_bWaitingActive = 1;
    uint32_t start = m_Clock.TickCount();
    bool ended = false;
    while (m_Clock.TickCount() - start <= kWarmingLimitMs) {
        if (fromReport && !linkModeSet && m_Clock.TickCount() - start > kWarmingLinkModeMs) {
            SetLinkMode(m_bStackMode != 0, 1);
            linkModeSet = true;
        }
        DispatchPending();
        if (!m_Ui.IsActiveDlgUp() || !m_bWaitingActive) {
            ended = m_bWaitingActive == 0;
            break;
        }
        m_Ui.ShowActiveText(false);
        m_Clock.Sleep(200);
        m_Ui.ShowActiveText(true);
        m_Clock.Sleep(500);
    }
    if (!ended)
        m_bWaitingActive = 0;
    m_Ui.EnableMainWindow(true);
    m_Ui.DestroyActiveDlg();
}

void CConnection::WaitCoolingThenPowerOn()
{
    if (m_bWaitingCooling)
        return;
    if (m_bPowerOff) {
        SwitchOnAndQuery();
        return;
    }
    m_Ui.EnableMainWindow(false);
    m_Ui.ShowCoolingDlg();
    m_bWaitingCooling = 1;
    uint32_t start = m_Clock.TickCount();
    while (m_Clock.TickCount() - start <= kCoolingLimitMs) {
        DispatchPending();
        if (!m_Ui.IsCoolingDlgUp())
            break;
        if (!m_bWaitingCooling) {
            // The standby report ended the wait: now the projector can be switched on.
            m_Ui.DestroyCoolingDlg();
            SwitchOnAndQuery();
            break;
        }
        m_Clock.Sleep(10);
    }
    m_bWaitingCooling = 0;
    m_Ui.EnableMainWindow(true);
    if (m_Ui.IsCoolingDlgUp())
        m_Ui.DestroyCoolingDlg();
}

// ---- busy and warnings ----

void CConnection::OnBusy(int projector)
{
    int32_t busy = ItemValue(kItemResetAll, projector);
    if (busy == 0 && !m_Ui.IsWaitDlgUp()) {
        m_bWaitShown = 1;
        m_Ui.RunWaitDlg();
        m_bWaitShown = 0;
        return;
    }
    if (busy == 1) {
        m_Ui.RefreshControlScreen();
        if (m_Ui.IsWaitDlgUp())
            m_Ui.CloseWaitDlg();
        m_Ui.RepaintMainWindow();
        m_bWaitShown = 0;
    }
}

void CConnection::OnWarnings(int projector)
{
    int32_t bits = ItemValue(kItemWarnings, projector);
    for (unsigned int bit = 0; bit < 8; ++bit)
        if (bits & (1 << bit))
            m_Ui.ShowMessage(kWarningMessages[bit], ICON_ERROR);
}

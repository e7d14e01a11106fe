#include "projector_link.h"

#include "link_receiver.h"
#include "network_port.h"
#include "port_names.h"
#include "zelq_items.h"

namespace {
const unsigned long kLevel5EngineWaitMs = 10000;
const unsigned long kAnswerWaitMs = 1000;
const unsigned int kAllEngineMessages[2] = {UM_PACKET_RECEIVED, UM_NAK_SENT};
const unsigned int kAckMessages[2] = {UM_ACK_RECEIVED, UM_NAK_RECEIVED};

// Counts the Transacts waiting for their answers, for the lifetime of one.
class CWaiting {
public:
    explicit CWaiting(int& count) : m_nCount(count) { ++m_nCount; }
    ~CWaiting() { --m_nCount; }
    CWaiting(const CWaiting&) = delete;
    CWaiting& operator=(const CWaiting&) = delete;

private:
    int& m_nCount;
};

// The host's next message as something a clock waits for.
class CHostMessages : public IWaitable {
public:
    explicit CHostMessages(ILinkHost& host) : m_Host(host) {}
    bool Await(uint32_t ms) override
    {
        m_Host.WaitForMessages(ms);
        return m_Host.HasNewMessages();
    }
    bool HasCome() override { return m_Host.HasNewMessages(); }

private:
    ILinkHost& m_Host;
};
} // namespace

SZelqLevel5Header MakeLevel5Header(int stack, unsigned char attr, unsigned char address, uint16_t item,
                                   unsigned int count)
{
    SZelqLevel5Header header;
    header.Stack = stack;
    header.Attr = attr & 0x0F;
    header.Apply = (attr >> 7) & 1;
    header.OK = (attr >> 6) & 1;
    header.Check = (attr >> 5) & 1;
    header.To = address & 0x0F;
    header.From = address >> 4;
    header.GroupID = ItemGroup(item);
    header.ItemID = ItemId(item);
    header.Size = count + (stack == 1 ? 8 : 6);
    return header;
}

CProjectorLink::CProjectorLink() = default;
CProjectorLink::~CProjectorLink() = default;

void CProjectorLink::Attach(ILinkHost* host, CLinkReceiver* receiver)
{
    m_pHost = host;
    m_pReceiver = receiver;
}

CCommSerial* CProjectorLink::Engine() const
{
    if (m_nLevel == 0)
        return m_pLevel4.get();
    return m_nLevel == 1 ? m_pLevel5.get() : nullptr;
}

int CProjectorLink::TryOpen()
{
    if (!m_pHost || (m_nLevel != 0 && m_nLevel != 1))
        return 0;
    CWaitCursor wait(m_pHost);
    SSerialProperty property;
    property.PortNumber = m_Property.PortNumber;
    property.CommVelocity = static_cast<unsigned int>(m_Property.CommVelocity);
    property.DataBits = m_Property.DataBits;
    property.Parity = m_Property.Parity;
    property.StopBits = m_Property.StopBits;
    if (m_nLevel == 0)
        m_pLevel4 =
            std::make_unique<CCommZelqLevel4>(m_pHost->NotifyWindow(), property, &CCommZelqLevel4::ASyncThreadCallBack);
    else
        m_pLevel5 =
            std::make_unique<CCommZelqLevel5>(m_pHost->NotifyWindow(), property, &CCommZelqLevel5::ASyncThreadCallBack);
    CCommSerial* engine = Engine();
    engine->SetClock(*m_pClock);
    const std::string device = m_Property.PortNumber == kNetworkPort ? NetworkPortName(m_strNetworkAddress)
                                                                      : m_pHost->PortDevice(m_Property.PortNumber);
    engine->SetDevicePath(device.c_str());
    if (engine->OpenSerilox() == 0) {
        m_Property.PortNumber = static_cast<uint16_t>(engine->GetPortNumber());
        m_bOpen = 1;
        return 1;
    }
    m_pLevel4.reset();
    m_pLevel5.reset();
    return 0;
}

int CProjectorLink::Open()
{
    if (!m_pHost || (m_nLevel != 0 && m_nLevel != 1))
        return 0;
    CWaitCursor wait(m_pHost);
    while (!TryOpen()) {
        unsigned int port = m_Property.PortNumber;
        if (!m_pHost->AskPortAgain(port))
            return 0;
        if (port >= 1 && (port <= kMaxComPort || port == kNetworkPort))
            m_Property.PortNumber = static_cast<uint16_t>(port);
    }
    return 1;
}

bool CProjectorLink::IsPortLost() const
{
    CCommSerial* engine = Engine();
    return m_bOpen && engine && engine->IsPortLost();
}

void CProjectorLink::Close()
{
    CWaitCursor wait(m_pHost);
    // An answer of the closed link must not pass for the answer to a later command.
    if (m_pReceiver)
        m_pReceiver->ClearReplyState();
    if (CCommSerial* engine = Engine())
        engine->CloseSerilox();
    if (m_nLevel == 0)
        m_pLevel4.reset();
    else if (m_nLevel == 1)
        m_pLevel5.reset();
    m_bOpen = 0;
}

int CProjectorLink::SetVelocity(unsigned long baud)
{
    CCommSerial* engine = Engine();
    if (!m_bOpen || !engine)
        return 0;
    CWaitCursor wait(m_pHost);
    return engine->ChangeCommVelocity(baud) == 0 ? 1 : 0;
}

void CProjectorLink::WaitForMessages(unsigned long ms)
{
    CHostMessages messages(*m_pHost);
    m_pClock->Wait(messages, static_cast<uint32_t>(ms));
}

void CProjectorLink::PumpMessages(unsigned int first, unsigned int last)
{
    if (m_pHost)
        m_pHost->PumpMessages(first, last);
}

template <class Send>
int CProjectorLink::SendWithRetry(unsigned int first, unsigned int last, Send send)
{
    CWaitCursor wait(m_pHost);
    if (m_pReceiver)
        m_pReceiver->ClearReplyState();
    for (;;) {
        int result = send();
        PumpMessages(first, last);
        if (result == 0 || m_bQuiet || !m_pHost || !m_pHost->AskRetrySend())
            return result;
    }
}

int CProjectorLink::SendLevel4Command(const SZelqLevel4Header& header, const unsigned char* bytes, unsigned int count,
                                      int wait, unsigned long timeout)
{
    if (!m_bOpen || !m_pLevel4)
        return ERR_DEVICE;
    CDataInformation data(bytes, count);
    const unsigned int* range = wait ? kAllEngineMessages : kAckMessages;
    return SendWithRetry(range[0], range[1], [&] { return m_pLevel4->SendCommand(header, data, wait, timeout); });
}

int CProjectorLink::SendLevel5Command(const SZelqLevel5Header& header, const unsigned char* bytes, unsigned int count)
{
    if (!m_bOpen || !m_pLevel5)
        return ERR_DEVICE;
    CDataInformation data(bytes, count);
    int wait = header.Apply == 0;
    const unsigned int* range = wait ? kAllEngineMessages : kAckMessages;
    return SendWithRetry(range[0], range[1],
                         [&] { return m_pLevel5->SendCommand(header, data, wait, kLevel5EngineWaitMs); });
}

int CProjectorLink::AnswerReport(const SZelqLevel5Header& header)
{
    if (!m_bOpen || !m_pLevel5)
        return ERR_DEVICE;
    CDataInformation none(nullptr, 0);
    return m_pLevel5->SendCommand(header, none, 0, kLevel5EngineWaitMs);
}

int CProjectorLink::Transact(int stack, unsigned char attr, unsigned char address, uint16_t item,
                             const unsigned char* bytes, unsigned int count)
{
    if (m_pReceiver)
        m_pReceiver->ClearReplyState();
    if (!m_bOpen || !m_pReceiver)
        return 0;
    SZelqLevel5Header header = MakeLevel5Header(stack, attr, address, item, count);

    CWaitCursor wait(m_pHost);
    CWaiting waiting(m_nWaiting);
    if (SendLevel5Command(header, bytes, count) != 0)
        return 0;
    const unsigned int* range = header.Apply ? kAckMessages : kAllEngineMessages;
    uint32_t start = m_pClock->TickCount();
    for (;;) {
        unsigned char state = m_pReceiver->ReplyState();
        if (header.Apply == 0 && state == REPLY_ANSWERED)
            return m_pReceiver->Reply().bRefused ? 0 : 1;
        if (header.Apply == 1 && state == REPLY_ACK)
            return 1;
        long elapsed = MsSince(start);
        if (elapsed > static_cast<long>(kAnswerWaitMs))
            return 0;
        WaitForMessages(kAnswerWaitMs - elapsed + 1);
        PumpMessages(range[0], range[1]);
    }
}

bool CProjectorLink::WasAnswered() const
{
    return m_pReceiver && m_pReceiver->ReplyState() == REPLY_ANSWERED;
}

int CProjectorLink::SendAck()
{
    if (!m_bOpen || !m_pLevel4)
        return ERR_DEVICE;
    int result = m_pLevel4->SendACK();
    PumpMessages(UM_ACK_SENT, UM_ACK_SENT);
    return result;
}

int CProjectorLink::SetLinkMode(unsigned char mode)
{
    return Transact(0, 1, 1, kItemLinkMode, &mode, 1);
}

void CProjectorLink::PumpAll()
{
    if (m_pHost)
        m_pHost->PumpAll();
}

void CProjectorLink::WaitPumping(unsigned long ms)
{
    if (!m_pHost)
        return;
    uint32_t start = m_pClock->TickCount();
    for (;;) {
        m_pHost->PumpAll();
        long elapsed = MsSince(start);
        if (elapsed >= static_cast<long>(ms))
            return;
        WaitForMessages(ms - elapsed);
    }
}

bool CProjectorLink::WaitReplyState(unsigned char state, unsigned long ms)
{
    if (!m_pReceiver)
        return false;
    return WaitUntil([&] { return m_pReceiver->ReplyState() == state; }, ms);
}

bool CProjectorLink::WaitUntil(const std::function<bool()>& done, unsigned long ms)
{
    if (!m_pHost)
        return false;
    uint32_t start = m_pClock->TickCount();
    for (;;) {
        PumpMessages(kAllEngineMessages[0], kAllEngineMessages[1]);
        if (done())
            return true;
        long elapsed = MsSince(start);
        if (elapsed > static_cast<long>(ms))
            return false;
        WaitForMessages(ms - elapsed + 1);
    }
}

int CProjectorLink::RaiseSpeed()
{
    int probed = 3;
    while (probed >= 0 && !SetVelocity(kBaudTable[probed]))
        --probed;
    if (probed < 0 || !SetVelocity(9600))
        return 0;
    m_nSpeedIndex = 0;
    for (int index = probed; index >= 1; --index) {
        unsigned char offer = static_cast<unsigned char>(index);
        if (Transact(0, 1, 1, kItemSpeed, &offer, 1)) {
            m_nSpeedIndex = offer;
            break;
        }
    }
    WaitPumping(100);
    if (!SetVelocity(kBaudTable[m_nSpeedIndex]))
        return 0;
    if (Transact(0, 2, 1, kItemSpeed, nullptr, 0))
        return 1;
    if (!SetVelocity(9600))
        return 0;
    m_nSpeedIndex = 0;
    return 1;
}

void CProjectorLink::RestoreSpeed()
{
    if (m_nSpeedIndex == 0)
        return;
    unsigned char normal = 0;
    if (!Transact(0, 1, 1, kItemSpeed, &normal, 1)) {
        SetVelocity(9600);
        return;
    }
    WaitPumping(100);
    if (SetVelocity(9600))
        Transact(0, 2, 1, kItemSpeed, nullptr, 0);
}

int CProjectorLink::PrepareBlocks(uint32_t address, uint32_t length)
{
    auto sendAddress = [this](uint32_t a) {
        unsigned char bytes[3];
        return Transact(0, 1, 1, kItemBlockAddress, bytes, PutBigEndian(a, 3, bytes));
    };
    if (!sendAddress(address))
        return 0;
    uint32_t remaining = length;
    for (;;) {
        WaitPumping(300);
        if (remaining < 0x10000)
            return 1;
        remaining -= 0x10000;
        address += 0x10000;
        if (remaining < 0x10000)
            return 1;
        if (!sendAddress(address))
            return 0;
    }
}

#include "serial_device.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "line_record.h"

namespace {
const unsigned int kNameCapacity = 260;
const unsigned long kDriverQueueBytes = 4096;
// A pending read is looked at again after this long even when the caller's limit is longer.
const unsigned long kReadPassMs = 1000;

// One read pass as something the clock waits for: bytes waiting on the line have come.
class CPortRead : public IWaitable {
public:
    CPortRead(CPortIo& port, unsigned char* dst, unsigned long count) : m_Port(port), m_pDst(dst), m_nCount(count) {}
    bool Await(uint32_t ms) override
    {
        unsigned long got = m_Port.ReadPass(m_pDst + m_nGot, m_nCount - m_nGot, ms);
        m_nGot += got;
        return got != 0;
    }
    bool HasCome() override { return m_nGot != 0 || m_Port.HasInput(); }
    unsigned long Got() const { return m_nGot; }

private:
    CPortIo& m_Port;
    unsigned char* m_pDst;
    unsigned long m_nCount;
    unsigned long m_nGot = 0;
};
} // namespace

// ---- CSerilox ----

CSerilox::CSerilox(HWND window, SeriloxThreadProc threadProc, const char* deviceName)
    : m_pClock(&SystemClock()), m_pThreadProc(threadProc), m_pThread(nullptr), m_pszDeviceName(new char[kNameCapacity]()), m_WriteNow(true, true),
      m_hWindow(nullptr), m_nCommFlag(0), m_nSyncFlag(1)
{
    SetWindowHandle(window);
    SetDeviceName(deviceName);
}

CSerilox::~CSerilox()
{
    delete[] m_pszDeviceName;
}

int CSerilox::SetDevicePath(const char* path)
{
    return SetDeviceName(path);
}

int CSerilox::SetDeviceName(const char* name)
{
    if (!name || std::strlen(name) >= kNameCapacity)
        return 0;
    std::memset(m_pszDeviceName, 0, kNameCapacity);
    std::strcpy(m_pszDeviceName, name);
    return 1;
}

void CSerilox::GetDeviceName(char* out) const
{
    std::strcpy(out, m_pszDeviceName);
}

int CSerilox::SetWindowHandle(HWND window)
{
    if (window == reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))
        return 0;
    m_hWindow = window;
    return 1;
}

int CSerilox::SetClock(IClock& clock)
{
    if (HasThread())
        return 0;
    m_pClock = &clock;
    return 1;
}

int CSerilox::BirthThread()
{
    SetCommFlag(0);
    // Counted before it starts, so the clock never sees a moment without it.
    m_pClock->AttachThread();
    m_pThread = serilox_os::StartThread(&RunThread, this);
    if (!m_pThread)
        m_pClock->DetachThread();
    return m_pThread ? 1 : 0;
}

unsigned int CSerilox::RunThread(void* device)
{
    CSerilox* self = static_cast<CSerilox*>(device);
    unsigned int code = self->m_pThreadProc(self);
    self->m_pClock->DetachThread();
    return code;
}

void CSerilox::KillThread()
{
    SetCommFlag(1);
    if (m_pThread)
        serilox_os::JoinThread(m_pThread);
    m_pThread = nullptr;
}

bool CSerilox::IsPortLost() const
{
    return m_Port.IsLost();
}

int CSerilox::ReadSerilox(CDataInformation& out, unsigned long count, unsigned long timeout)
{
    if (!m_Port.IsOpen() || m_Port.IsLost())
        return ERR_DEVICE;
    std::vector<unsigned char> work(count);
    unsigned long got = 0;
    IClock& clock = GetClock();
    uint32_t start = clock.TickCount();
    int result = 0;
    while (got < count) {
        // No pass outlasts the limit by more than the millisecond that makes it exceeded.
        unsigned long elapsed = clock.TickCount() - start;
        unsigned long left = elapsed <= timeout ? timeout - elapsed : 0;
        unsigned long pass = left < kReadPassMs ? left + 1 : kReadPassMs;
        CPortRead read(m_Port, work.data() + got, count - got);
        clock.Wait(read, static_cast<uint32_t>(pass));
        NoteLineBytes('<', work.data() + got, read.Got());
        got += read.Got();
        if (got < count && m_Port.IsLost()) {
            result = ERR_DEVICE;
            break;
        }
        // A stop request ends the worker's read early, so closing takes a pass, not a second.
        if (got < count && (clock.TickCount() - start > timeout || GetCommFlag() == 1)) {
            result = ERR_READ_TIMEOUT;
            break;
        }
    }
    out = CDataInformation(work.data(), static_cast<unsigned int>(got));
    return result;
}

int CSerilox::WriteSerilox(const CDataInformation& data, unsigned long count, unsigned int retries)
{
    if (!m_Port.IsOpen() || m_Port.IsLost())
        return ERR_DEVICE;
    if (count > data.GetSize())
        count = data.GetSize();
    std::vector<unsigned char> work(data.Bytes(), data.Bytes() + count);
    unsigned long sent = 0;
    unsigned int attempts = 0;
    // The Level 5 receive thread writes its own ACK/NAK bytes while a command may be going
    // out from the caller's thread; both would share the one write record.
    std::lock_guard<std::mutex> hold(m_WriteLock);
    while (sent < count) {
        CLineSendNote note;
        unsigned long pass = m_Port.WritePass(work.data() + sent, count - sent);
        note.Sent(work.data() + sent, pass);
        sent += pass;
        if (sent < count && m_Port.IsLost())
            return ERR_DEVICE;
        if (sent < count && ++attempts > retries)
            return ERR_WRITE;
    }
    return 0;
}

// ---- CCommSerial ----

CCommSerial::CCommSerial(HWND window, SeriloxThreadProc threadProc)
    : CSerilox(window, threadProc, "COM1"), m_nPortNumber(1), m_nCommVelocity(9600), m_nDataBits(8), m_nParity(0),
      m_nStopBits(0), m_TimeOuts{100, 100, 100, 0, 5000}
{
    InitializeOverlapStructure();
    SetSyncFlag(1);
}

CCommSerial::~CCommSerial()
{
    if (HasThread())
        CloseSerilox();
}

int CCommSerial::OpenSerilox()
{
    if (HasThread())
        return ERR_ALREADY_OPEN;
    char name[kNameCapacity];
    GetDeviceName(name);
    if (!m_Port.Open(name))
        return ERR_DEVICE;
    NoteLineOpened(name);
    SCommTimeouts current;
    if (m_Port.GetTimeouts(current))
        m_Port.SetTimeouts(m_TimeOuts);
    m_Port.SetQueues(kDriverQueueBytes, kDriverQueueBytes);
    SetCommProperty();
    BirthThread();
    return 0;
}

int CCommSerial::CloseSerilox()
{
    if (!m_Port.IsOpen())
        return ERR_DEVICE;
    KillThread();
    return m_Port.Close() ? 0 : ERR_DEVICE;
}

int CCommSerial::SetCommProperty()
{
    if (!m_Port.IsOpen())
        return ERR_DEVICE;
    SCommState state;
    if (!m_Port.GetState(state))
        return ERR_COMM_STATE;
    state.BaudRate = static_cast<uint32_t>(m_nCommVelocity);
    state.ByteSize = m_nDataBits;
    state.Parity = m_nParity;
    state.StopBits = m_nStopBits;
    state.fOutxDsrFlow = 1;
    state.fDtrControl = kDtrControlHandshake;
    state.fDsrSensitivity = 0;
    return m_Port.SetState(state) ? 0 : ERR_COMM_STATE;
}

int CCommSerial::SetCommProperty(SCommState& state)
{
    if (!m_Port.IsOpen())
        return ERR_DEVICE;
    m_nCommVelocity = state.BaudRate;
    m_nDataBits = state.ByteSize;
    m_nParity = state.Parity;
    m_nStopBits = state.StopBits;
    return m_Port.SetState(state) ? 0 : ERR_COMM_STATE;
}

void CCommSerial::SetPort(unsigned long portNumber)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%lu", "COM", portNumber);
    m_nPortNumber = portNumber;
    SetDeviceName(name);
}

int CCommSerial::ChangePort(unsigned long portNumber)
{
    if (!m_Port.IsOpen())
        return ERR_DEVICE;
    if (portNumber == m_nPortNumber)
        return 0;
    SetPort(portNumber);
    int closed = CloseSerilox();
    if (closed != 0)
        return closed;
    return OpenSerilox();
}

int CCommSerial::ChangeCommVelocity(unsigned long bps)
{
    if (!m_Port.IsOpen())
        return ERR_DEVICE;
    m_nCommVelocity = bps;
    return SetCommProperty();
}

int CCommSerial::ChangeCommProperty(const SSerialProperty& property)
{
    m_nCommVelocity = property.CommVelocity;
    m_nDataBits = property.DataBits;
    m_nParity = property.Parity;
    m_nStopBits = property.StopBits;
    if (!m_Port.IsOpen()) {
        SetPort(property.PortNumber);
        return ERR_DEVICE;
    }
    int changed = ChangePort(property.PortNumber);
    if (changed != 0)
        return changed;
    return SetCommProperty();
}

int CCommSerial::SetDTR(int on)
{
    if (!m_Port.IsOpen())
        return ERR_DEVICE;
    m_Port.SetDTR(on != 0);
    return 0;
}

#include "port_io.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "tcp_port.h"

struct CPortIo::SImpl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    // A network serial server instead: no driver, so its time-outs and settings are kept here.
    intptr_t tcp = -1;
    SCommTimeouts tcpTimeouts{};
    SCommState tcpState{};
    bool lost = false;
    OVERLAPPED read{};
    OVERLAPPED write{};
};

CPortIo::CPortIo() : m_p(new SImpl)
{
    m_p->read.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_p->write.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

CPortIo::~CPortIo()
{
    Close();
    CloseHandle(m_p->read.hEvent);
    CloseHandle(m_p->write.hEvent);
    delete m_p;
}

bool CPortIo::Open(const char* name)
{
    if (IsTcpPortName(name)) {
        m_p->tcp = ConnectTcp(name);
        m_p->lost = false;
        m_p->tcpState = SCommState{};
        m_p->tcpState.BaudRate = 9600;
        m_p->tcpState.ByteSize = 8;
        return m_p->tcp != -1;
    }
    // Names from COM10 on only open through the device namespace; a name that already
    // names it is taken as it is.
    char path[280] = "";
    if (std::strncmp(name, "\\\\.\\", 4) != 0)
        std::strcpy(path, "\\\\.\\");
    std::strncat(path, name, sizeof path - 5);
    HANDLE h =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_p->handle = h;
    m_p->lost = false;
    return true;
}

bool CPortIo::IsOpen() const
{
    return m_p->handle != INVALID_HANDLE_VALUE || m_p->tcp != -1;
}

void* CPortIo::Handle() const
{
    return m_p->tcp != -1 ? reinterpret_cast<void*>(m_p->tcp) : m_p->handle;
}

bool CPortIo::Close()
{
    if (m_p->tcp != -1) {
        CloseTcp(m_p->tcp);
        m_p->tcp = -1;
        m_p->lost = false;
        return true;
    }
    if (m_p->handle == INVALID_HANDLE_VALUE)
        return false;
    BOOL closed = CloseHandle(m_p->handle);
    m_p->handle = INVALID_HANDLE_VALUE;
    m_p->lost = false;
    return closed != 0;
}

bool CPortIo::IsLost() const
{
    return m_p->lost;
}

// What the drivers answer once a port's device is gone, e.g. an adapter unplugged.
static bool MeansLost(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
        return true;
    default:
        return false;
    }
}

static unsigned long FinishPass(HANDLE h, OVERLAPPED& ov, BOOL started, DWORD immediate, DWORD waitMs, bool& lost)
{
    if (started)
        return immediate;
    DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
        if (MeansLost(error))
            lost = true;
        else
            Sleep(10); // some other refusal: don't let the caller's loop spin at full speed
        return 0;
    }
    DWORD got = 0;
    if (WaitForSingleObject(ov.hEvent, waitMs) == WAIT_OBJECT_0) {
        GetOverlappedResult(h, &ov, &got, FALSE);
    } else {
        // The next pass reuses this record, so the pending operation must end here.
        CancelIoEx(h, &ov);
        GetOverlappedResult(h, &ov, &got, TRUE);
    }
    ov.Offset += got;
    return got;
}

// A pass on the network stream, bounded by the port's time-outs as a driver would bound it.
static unsigned long TcpReadPass(intptr_t tcp, const SCommTimeouts& to, unsigned char* dst, unsigned long n,
                                 unsigned long waitMs, bool& lost)
{
    unsigned long total = to.ReadTotalTimeoutMultiplier * n + to.ReadTotalTimeoutConstant;
    unsigned long limit = total ? std::min(total, waitMs) : waitMs;
    DWORD start = GetTickCount();
    unsigned long got = 0;
    while (got < n && !lost) {
        long remaining = static_cast<long>(limit) - static_cast<long>(GetTickCount() - start);
        if (remaining <= 0)
            break;
        // Once bytes have come, a gap longer than the interval time-out ends the pass.
        bool interval = got > 0 && to.ReadIntervalTimeout != 0;
        unsigned long slice = interval ? std::min<unsigned long>(remaining, to.ReadIntervalTimeout) : remaining;
        unsigned long k = TcpReceive(tcp, dst + got, n - got, slice, lost);
        if (k == 0 && interval)
            break;
        got += k;
    }
    return got;
}

unsigned long CPortIo::ReadPass(unsigned char* dst, unsigned long n, unsigned long waitMs)
{
    DWORD got = 0;
    if (m_p->lost)
        return 0;
    if (m_p->tcp != -1)
        return TcpReadPass(m_p->tcp, m_p->tcpTimeouts, dst, n, waitMs, m_p->lost);
    ResetEvent(m_p->read.hEvent);
    BOOL done = ReadFile(m_p->handle, dst, n, &got, &m_p->read);
    return FinishPass(m_p->handle, m_p->read, done, got, waitMs, m_p->lost);
}

bool CPortIo::HasInput() const
{
    if (m_p->lost)
        return true;
    if (m_p->tcp != -1)
        return TcpHasInput(m_p->tcp);
    // The one query of the input queue; the line error flags it clears are not used here.
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(m_p->handle, &errors, &status) && status.cbInQue > 0;
}

unsigned long CPortIo::WritePass(const unsigned char* src, unsigned long n)
{
    DWORD sent = 0;
    if (m_p->lost)
        return 0;
    if (m_p->tcp != -1) {
        const SCommTimeouts& to = m_p->tcpTimeouts;
        unsigned long total = to.WriteTotalTimeoutMultiplier * n + to.WriteTotalTimeoutConstant;
        return TcpSend(m_p->tcp, src, n, total ? total : 1000, m_p->lost);
    }
    ResetEvent(m_p->write.hEvent);
    BOOL done = WriteFile(m_p->handle, src, n, &sent, &m_p->write);
    return FinishPass(m_p->handle, m_p->write, done, sent, INFINITE, m_p->lost);
}

bool CPortIo::GetTimeouts(SCommTimeouts& out)
{
    if (m_p->tcp != -1) {
        out = m_p->tcpTimeouts;
        return true;
    }
    COMMTIMEOUTS t = {};
    if (!GetCommTimeouts(m_p->handle, &t))
        return false;
    out = {t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
           t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    return true;
}

bool CPortIo::SetTimeouts(const SCommTimeouts& timeouts)
{
    if (m_p->tcp != -1) {
        m_p->tcpTimeouts = timeouts;
        return true;
    }
    COMMTIMEOUTS t = {timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                      timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                      timeouts.WriteTotalTimeoutConstant};
    return SetCommTimeouts(m_p->handle, &t) != 0;
}

bool CPortIo::SetQueues(unsigned long inBytes, unsigned long outBytes)
{
    if (m_p->tcp != -1)
        return true;
    return SetupComm(m_p->handle, inBytes, outBytes) != 0;
}

static bool ReadDcb(HANDLE handle, DCB& out)
{
    std::memset(&out, 0, sizeof out);
    out.DCBlength = sizeof out;
    return GetCommState(handle, &out) != 0;
}

bool CPortIo::GetState(SCommState& out)
{
    if (m_p->tcp != -1) {
        out = m_p->tcpState;
        return true;
    }
    DCB dcb;
    if (!ReadDcb(m_p->handle, dcb))
        return false;
    out = {dcb.BaudRate, dcb.fOutxDsrFlow, dcb.fDtrControl, dcb.fDsrSensitivity,
           dcb.ByteSize, dcb.Parity,       dcb.StopBits};
    return true;
}

bool CPortIo::SetState(const SCommState& state)
{
    // A raw stream carries bytes, not line settings: the server's line stays at the speed a
    // projector starts at, so a change to any other would lose the projector.
    if (m_p->tcp != -1) {
        if (state.BaudRate != 9600)
            return false;
        m_p->tcpState = state;
        return true;
    }
    // The fields the library does not set stay as the driver has them.
    DCB dcb;
    if (!ReadDcb(m_p->handle, dcb))
        return false;
    dcb.BaudRate = state.BaudRate;
    dcb.fOutxDsrFlow = state.fOutxDsrFlow;
    dcb.fDtrControl = state.fDtrControl;
    dcb.fDsrSensitivity = state.fDsrSensitivity;
    dcb.ByteSize = state.ByteSize;
    dcb.Parity = state.Parity;
    dcb.StopBits = state.StopBits;
    return SetCommState(m_p->handle, &dcb) != 0;
}

bool CPortIo::SetDTR(bool on)
{
    if (m_p->tcp != -1)
        return true; // not carried on the stream
    return EscapeCommFunction(m_p->handle, on ? SETDTR : CLRDTR) != 0;
}

void CPortIo::ResetOverlapped()
{
    for (OVERLAPPED* ov : {&m_p->read, &m_p->write}) {
        ov->Internal = ov->InternalHigh = 0;
        ov->Offset = ov->OffsetHigh = 0;
    }
}

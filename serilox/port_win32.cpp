#include "port_io.h"

#include <cstring>
#include <initializer_list>

struct CPortIo::SImpl {
    HANDLE handle = INVALID_HANDLE_VALUE;
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
    return m_p->handle != INVALID_HANDLE_VALUE;
}

void* CPortIo::Handle() const
{
    return m_p->handle;
}

bool CPortIo::Close()
{
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

unsigned long CPortIo::ReadPass(unsigned char* dst, unsigned long n, unsigned long waitMs)
{
    DWORD got = 0;
    if (m_p->lost)
        return 0;
    ResetEvent(m_p->read.hEvent);
    BOOL done = ReadFile(m_p->handle, dst, n, &got, &m_p->read);
    return FinishPass(m_p->handle, m_p->read, done, got, waitMs, m_p->lost);
}

bool CPortIo::HasInput() const
{
    if (m_p->lost)
        return true;
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
    ResetEvent(m_p->write.hEvent);
    BOOL done = WriteFile(m_p->handle, src, n, &sent, &m_p->write);
    return FinishPass(m_p->handle, m_p->write, done, sent, INFINITE, m_p->lost);
}

bool CPortIo::GetTimeouts(COMMTIMEOUTS& out)
{
    return GetCommTimeouts(m_p->handle, &out) != 0;
}

bool CPortIo::SetTimeouts(const COMMTIMEOUTS& timeouts)
{
    COMMTIMEOUTS copy = timeouts;
    return SetCommTimeouts(m_p->handle, &copy) != 0;
}

bool CPortIo::SetQueues(DWORD inBytes, DWORD outBytes)
{
    return SetupComm(m_p->handle, inBytes, outBytes) != 0;
}

bool CPortIo::GetState(DCB& out)
{
    std::memset(&out, 0, sizeof out);
    out.DCBlength = sizeof out;
    return GetCommState(m_p->handle, &out) != 0;
}

bool CPortIo::SetState(const DCB& state)
{
    DCB copy = state;
    return SetCommState(m_p->handle, &copy) != 0;
}

bool CPortIo::SetDTR(bool on)
{
    return EscapeCommFunction(m_p->handle, on ? SETDTR : CLRDTR) != 0;
}

void CPortIo::ResetOverlapped()
{
    for (OVERLAPPED* ov : {&m_p->read, &m_p->write}) {
        ov->Internal = ov->InternalHigh = 0;
        ov->Offset = ov->OffsetHigh = 0;
    }
}

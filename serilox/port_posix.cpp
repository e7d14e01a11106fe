#include "port_io.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

#include "os.h"
#include "tcp_port.h"

struct CPortIo::SImpl {
    int fd = -1;
    bool lost = false;
    bool tcp = false; // a network serial server: no line settings, no control lines
    SCommTimeouts timeouts{};
    SCommState state{};
};

namespace {
struct SBaud {
    uint32_t bps;
    speed_t code;
};
const SBaud kBauds[] = {{1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
                        {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};

enum class EWait { Ready, TimedOut, HungUp };

// Waits for the descriptor. A hang-up with nothing left to read is reported as such: poll
// returns at once on a hung-up line, so a caller that only waited again would spin.
EWait WaitFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    int r = poll(&p, 1, timeoutMs);
    if (r > 0 && (p.revents & events))
        return EWait::Ready;
    if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return EWait::HungUp;
    return EWait::TimedOut;
}

// Errors after which the line will never carry another byte.
bool MeansLost(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF || error == EPIPE ||
           error == ECONNRESET;
}
// A terminal device in raw mode, or -1.
int OpenTerminal(const char* name)
{
    int fd = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    // Not shared: a second opener of the same port is refused, as on Windows.
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return -1;
    }
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &t);
    return fd;
}
} // namespace

CPortIo::CPortIo() : m_p(new SImpl) {}

CPortIo::~CPortIo()
{
    Close();
    delete m_p;
}

bool CPortIo::Open(const char* name)
{
    bool tcp = IsTcpPortName(name);
    int fd = tcp ? static_cast<int>(ConnectTcp(name)) : OpenTerminal(name);
    if (fd < 0)
        return false;
    m_p->fd = fd;
    m_p->tcp = tcp;
    m_p->lost = false;
    m_p->state = SCommState{};
    m_p->state.BaudRate = 9600;
    m_p->state.ByteSize = 8;
    return true;
}

bool CPortIo::IsOpen() const
{
    return m_p->fd >= 0;
}

void* CPortIo::Handle() const
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(m_p->fd));
}

bool CPortIo::Close()
{
    if (m_p->fd < 0)
        return false;
    int r = close(m_p->fd);
    m_p->fd = -1;
    m_p->lost = false;
    return r == 0;
}

bool CPortIo::IsLost() const
{
    return m_p->lost;
}

unsigned long CPortIo::ReadPass(unsigned char* dst, unsigned long n, unsigned long waitMs)
{
    const SCommTimeouts& to = m_p->timeouts;
    unsigned long total = to.ReadTotalTimeoutMultiplier * n + to.ReadTotalTimeoutConstant;
    unsigned long limit = total ? std::min(total, waitMs) : waitMs;
    uint32_t start = serilox_os::TickCount();
    unsigned long got = 0;
    while (got < n && !m_p->lost) {
        // Out of time, one look without waiting still takes the bytes already there.
        long remaining = std::max(0L, static_cast<long>(limit) - static_cast<long>(serilox_os::TickSince(start)));
        // Once bytes have come, a gap longer than the interval time-out ends the pass.
        bool interval = got > 0 && to.ReadIntervalTimeout != 0;
        long slice = interval ? std::min<long>(remaining, to.ReadIntervalTimeout) : remaining;
        EWait ready = WaitFor(m_p->fd, POLLIN, static_cast<int>(slice));
        if (ready == EWait::HungUp) {
            m_p->lost = true;
            break;
        }
        if (ready == EWait::TimedOut) {
            if (interval || remaining == 0)
                break;
            continue;
        }
        ssize_t k = read(m_p->fd, dst + got, n - got);
        if (k > 0) {
            got += static_cast<unsigned long>(k);
            continue;
        }
        // A terminal in raw non-blocking mode reads 0 only once the line has hung up.
        if (k == 0 || MeansLost(errno)) {
            m_p->lost = true;
            break;
        }
        if (errno != EAGAIN && errno != EINTR)
            break;
    }
    return got;
}

bool CPortIo::HasInput() const
{
    if (m_p->lost)
        return true;
    pollfd p{m_p->fd, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

unsigned long CPortIo::WritePass(const unsigned char* src, unsigned long n)
{
    const SCommTimeouts& to = m_p->timeouts;
    unsigned long total = to.WriteTotalTimeoutMultiplier * n + to.WriteTotalTimeoutConstant;
    uint32_t start = serilox_os::TickCount();
    unsigned long sent = 0;
    while (sent < n && !m_p->lost) {
        // A server that closed the connection must not end the program by SIGPIPE.
        ssize_t k = m_p->tcp ? send(m_p->fd, src + sent, n - sent, MSG_NOSIGNAL) : write(m_p->fd, src + sent, n - sent);
        if (k > 0) {
            sent += static_cast<unsigned long>(k);
            continue;
        }
        if (k < 0 && MeansLost(errno)) {
            m_p->lost = true;
            break;
        }
        if (k < 0 && errno != EAGAIN && errno != EINTR)
            break;
        long remaining = total ? static_cast<long>(total) - static_cast<long>(serilox_os::TickSince(start)) : 1000;
        if (remaining <= 0)
            break;
        EWait ready = WaitFor(m_p->fd, POLLOUT, static_cast<int>(remaining));
        if (ready == EWait::HungUp)
            m_p->lost = true;
        if (ready != EWait::Ready)
            break;
    }
    return sent;
}

bool CPortIo::GetTimeouts(SCommTimeouts& out)
{
    out = m_p->timeouts;
    return IsOpen();
}

bool CPortIo::SetTimeouts(const SCommTimeouts& timeouts)
{
    m_p->timeouts = timeouts;
    return IsOpen();
}

bool CPortIo::SetQueues(unsigned long, unsigned long)
{
    return IsOpen();
}

bool CPortIo::GetState(SCommState& out)
{
    out = m_p->state;
    return IsOpen();
}

bool CPortIo::SetState(const SCommState& state)
{
    // A raw stream carries bytes, not line settings: the server's line stays at the speed a
    // projector starts at, so a change to any other would lose the projector.
    if (m_p->tcp) {
        if (state.BaudRate != 9600)
            return false;
        m_p->state = state;
        return true;
    }
    termios t{};
    if (!IsOpen() || tcgetattr(m_p->fd, &t) != 0)
        return false;
    const SBaud* baud =
        std::find_if(std::begin(kBauds), std::end(kBauds), [&](const SBaud& b) { return b.bps == state.BaudRate; });
    if (baud == std::end(kBauds) || state.ByteSize < 5 || state.ByteSize > 8 || state.Parity > kSpaceParity)
        return false;
    cfsetispeed(&t, baud->code);
    cfsetospeed(&t, baud->code);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB)) | sizes[state.ByteSize - 5];
    if (state.Parity == kOddParity || state.Parity == kEvenParity)
        t.c_cflag |= PARENB | (state.Parity == kOddParity ? PARODD : 0);
    if (state.StopBits == kTwoStopBits)
        t.c_cflag |= CSTOPB;
    if (tcsetattr(m_p->fd, TCSANOW, &t) != 0)
        return false;
    m_p->state = state;
    return true;
}

bool CPortIo::SetDTR(bool on)
{
    if (m_p->tcp)
        return IsOpen();
    int bits = TIOCM_DTR;
    return ioctl(m_p->fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

void CPortIo::ResetOverlapped() {}

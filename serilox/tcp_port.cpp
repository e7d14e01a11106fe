#include "tcp_port.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
typedef SOCKET socket_t;
#else
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
typedef int socket_t;
const socket_t INVALID_SOCKET = -1;
#endif

namespace {
const char kScheme[] = "tcp://";
const int kConnectMs = 5000;

#ifdef _WIN32
bool StartSockets()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

void MakeNonBlocking(socket_t s)
{
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}

bool ConnectPending()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}

bool AwaitConnected(socket_t s)
{
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval limit{kConnectMs / 1000, 0};
    return select(0, nullptr, &writable, &failed, &limit) > 0 && FD_ISSET(s, &writable);
}

void CloseSocket(socket_t s)
{
    closesocket(s);
}
#else
bool StartSockets()
{
    return true;
}

void MakeNonBlocking(socket_t s)
{
    fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK);
    fcntl(s, F_SETFD, FD_CLOEXEC);
}

bool ConnectPending()
{
    return errno == EINPROGRESS;
}

bool AwaitConnected(socket_t s)
{
    pollfd p{s, POLLOUT, 0};
    if (poll(&p, 1, kConnectMs) != 1)
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    return getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

void CloseSocket(socket_t s)
{
    close(s);
}
#endif

// A refused or silent server is tried no longer than kConnectMs, so a wrong address reads as
// a port that cannot be opened rather than a hang.
socket_t ConnectOne(const addrinfo* a)
{
    socket_t s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET)
        return s;
    MakeNonBlocking(s);
    if (connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0 && !(ConnectPending() && AwaitConnected(s))) {
        CloseSocket(s);
        return INVALID_SOCKET;
    }
    // Frames are small and the projector answers each: Nagle's delay would cost every command.
    int on = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return s;
}
} // namespace

bool IsTcpPortName(const char* name)
{
    return name && std::strncmp(name, kScheme, sizeof kScheme - 1) == 0;
}

bool ParseTcpPortName(const char* name, std::string& host, std::string& port)
{
    if (!IsTcpPortName(name))
        return false;
    std::string rest = name + sizeof kScheme - 1;
    size_t colon = rest.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    // [::1]:5000 names an IPv6 address.
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    char* end = nullptr;
    long number = std::strtol(port.c_str(), &end, 10);
    return !port.empty() && *end == 0 && number >= 1 && number <= 65535;
}

intptr_t ConnectTcp(const char* name)
{
    std::string host, port;
    if (!ParseTcpPortName(name, host, port) || !StartSockets())
        return -1;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0)
        return -1;
    socket_t s = INVALID_SOCKET;
    for (const addrinfo* a = found; a && s == INVALID_SOCKET; a = a->ai_next)
        s = ConnectOne(a);
    freeaddrinfo(found);
    return s == INVALID_SOCKET ? -1 : static_cast<intptr_t>(s);
}

void CloseTcp(intptr_t socket)
{
    if (socket != -1)
        CloseSocket(static_cast<socket_t>(socket));
}

#ifdef _WIN32
namespace {
// Waits until the socket can be read or written, or has failed.
bool AwaitSocket(socket_t s, bool forWrite, unsigned long waitMs)
{
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval limit{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000 * 1000)};
    return select(0, forWrite ? nullptr : &ready, forWrite ? &ready : nullptr, &failed, &limit) > 0;
}

bool MeansLost(int error)
{
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAENETRESET || error == WSAESHUTDOWN ||
           error == WSAENOTCONN || error == WSAENOTSOCK;
}
} // namespace

unsigned long TcpReceive(intptr_t socket, unsigned char* dst, unsigned long n, unsigned long waitMs, bool& lost)
{
    socket_t s = static_cast<socket_t>(socket);
    if (!AwaitSocket(s, false, waitMs))
        return 0;
    int k = recv(s, reinterpret_cast<char*>(dst), static_cast<int>(n), 0);
    // Readable with nothing to read: the server closed the connection.
    if (k == 0 || (k < 0 && MeansLost(WSAGetLastError())))
        lost = true;
    return k > 0 ? static_cast<unsigned long>(k) : 0;
}

bool TcpHasInput(intptr_t socket)
{
    return AwaitSocket(static_cast<socket_t>(socket), false, 0);
}

unsigned long TcpSend(intptr_t socket, const unsigned char* src, unsigned long n, unsigned long waitMs, bool& lost)
{
    socket_t s = static_cast<socket_t>(socket);
    unsigned long sent = 0;
    while (sent < n && !lost && AwaitSocket(s, true, waitMs)) {
        int k = send(s, reinterpret_cast<const char*>(src + sent), static_cast<int>(n - sent), 0);
        if (k > 0)
            sent += static_cast<unsigned long>(k);
        else if (MeansLost(WSAGetLastError()))
            lost = true;
        else
            break;
    }
    return sent;
}
#endif

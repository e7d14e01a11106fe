#include "tcp_bridge.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

CTcpBridge::~CTcpBridge()
{
    if (m_Thread.joinable()) {
        char stop = 1;
        (void)!write(m_Stop[1], &stop, 1);
        m_Thread.join();
    }
    for (int fd : {m_nListen, m_Stop[0], m_Stop[1]})
        if (fd >= 0)
            close(fd);
}

bool CTcpBridge::Start(unsigned short port, const std::string& slavePath, unsigned long dropAfter, std::string& error)
{
    m_strSlavePath = slavePath;
    m_nDropAfter = dropAfter;
    m_nListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(m_nListen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t size = sizeof address;
    if (m_nListen < 0 || bind(m_nListen, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(m_nListen, 4) != 0 || getsockname(m_nListen, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        pipe2(m_Stop, O_CLOEXEC) != 0) {
        error = std::string("cannot listen on 127.0.0.1:") + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    m_nPort = ntohs(address.sin_port);
    m_Thread = std::thread(&CTcpBridge::Serve, this);
    return true;
}

void CTcpBridge::Serve()
{
    for (;;) {
        pollfd fds[2] = {{m_Stop[0], POLLIN, 0}, {m_nListen, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        if (!(fds[1].revents & POLLIN))
            continue;
        int client = accept4(m_nListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        int on = 1;
        setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        int line = open(m_strSlavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios raw{};
        if (line >= 0 && tcgetattr(line, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(line, TCSANOW, &raw);
            // What the projector sent after the last client left is not this client's.
            tcflush(line, TCIFLUSH);
            Carry(client, line);
        }
        if (line >= 0)
            close(line);
        close(client);
    }
}

void CTcpBridge::Carry(int client, int line)
{
    unsigned long fromClient = 0;
    unsigned char buffer[4096];
    for (;;) {
        pollfd fds[3] = {{m_Stop[0], POLLIN, 0}, {client, POLLIN, 0}, {line, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        if (fds[1].revents) {
            ssize_t n = read(client, buffer, sizeof buffer);
            if (n <= 0)
                return;
            size_t pass = static_cast<size_t>(n);
            bool drop = m_nDropAfter && fromClient + pass >= m_nDropAfter;
            if (drop)
                pass = m_nDropAfter - fromClient;
            fromClient += pass;
            if (write(line, buffer, pass) != static_cast<ssize_t>(pass) || drop)
                return;
        }
        if (fds[2].revents) {
            ssize_t n = read(line, buffer, sizeof buffer);
            if (n <= 0 || send(client, buffer, static_cast<size_t>(n), MSG_NOSIGNAL) != n)
                return;
        }
    }
}

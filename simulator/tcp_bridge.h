// zelqsim --tcp: a network serial server in front of the simulated port. One client at a time
// on 127.0.0.1; its bytes pass both ways to the pseudo-terminal the projector answers on.
#pragma once
#include <atomic>
#include <string>
#include <thread>

class CTcpBridge {
public:
    CTcpBridge() = default;
    ~CTcpBridge();
    CTcpBridge(const CTcpBridge&) = delete;
    CTcpBridge& operator=(const CTcpBridge&) = delete;

    // Listens on 127.0.0.1:port (0: any free port) and serves clients on slavePath.
    // dropAfter > 0: each connection is closed by the server once that many bytes came from
    // the client, as a server that goes away mid-command.
    bool Start(unsigned short port, const std::string& slavePath, unsigned long dropAfter, std::string& error);
    unsigned short Port() const { return m_nPort; }

private:
    void Serve();
    // Copies bytes both ways until either side ends or the bridge stops.
    void Carry(int client, int line);

    int m_nListen = -1;
    int m_Stop[2] = {-1, -1};
    unsigned short m_nPort = 0;
    unsigned long m_nDropAfter = 0;
    std::string m_strSlavePath;
    std::thread m_Thread;
};

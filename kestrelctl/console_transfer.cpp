#include "console_transfer.h"

#include <atomic>
#include <csignal>
#include <cstdio>

#include "console_link_host.h"
#include "link_receiver.h"
#include "projector_link.h"

namespace {

std::atomic<bool> g_bInterrupted{false};

extern "C" void OnInterrupt(int)
{
    g_bInterrupted = true;
}

class CConsoleProgress : public ITransferProgress {
public:
    explicit CConsoleProgress(bool bDraw) : m_bDraw(bDraw) {}
    ~CConsoleProgress()
    {
        if (m_bDraw && m_nLast >= 0)
            std::fputc('\n', stderr);
    }
    void Progress(uint32_t, int percent) override
    {
        if (!m_bDraw || percent == m_nLast)
            return;
        m_nLast = percent;
        const int filled = percent * 40 / 100;
        std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################", 40 - filled, "",
                     percent);
        std::fflush(stderr);
    }
    bool Cancelled() override { return g_bInterrupted; }

private:
    bool m_bDraw;
    int m_nLast = -1;
};

} // namespace

EConsoleTransfer RunConsoleTransfer(const std::string& device, bool progressBar,
                                    const std::function<bool(CProjectorLink&, ITransferProgress&)>& send)
{
    CConsoleLinkHost host(device);
    CIgnoredEvents events;
    CProjectorLink link;
    CLinkReceiver receiver(link, events);
    host.SetReceiver(&receiver);
    link.Attach(&host, &receiver);
    if (!link.Open())
        return EConsoleTransfer::NoPort;
    g_bInterrupted = false;
    void (*previous)(int) = std::signal(SIGINT, OnInterrupt);
    bool sent;
    {
        CConsoleProgress progress(progressBar);
        sent = send(link, progress);
    }
    std::signal(SIGINT, previous);
    link.Close();
    if (sent)
        return EConsoleTransfer::Sent;
    return g_bInterrupted ? EConsoleTransfer::Interrupted : EConsoleTransfer::Failed;
}

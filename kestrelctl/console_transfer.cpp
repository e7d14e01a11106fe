#include "console_transfer.h"

#include <cstdio>

#include "console_link_host.h"
#include "interrupt_guard.h"
#include "link_receiver.h"
#include "projector_link.h"

namespace {

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
    bool Cancelled() override { return CInterruptGuard::Interrupted(); }

private:
    bool m_bDraw;
    int m_nLast = -1;
};

} // namespace

EConsoleTransfer RunConsoleTransfer(const std::string& device, bool progressBar,
                                    const std::function<bool(CProjectorLink&, ITransferProgress&)>& send, IClock& clock)
{
    CConsoleLinkHost host(device);
    CIgnoredEvents events;
    CProjectorLink link;
    CLinkReceiver receiver(link, events);
    host.SetReceiver(&receiver);
    link.Attach(&host, &receiver);
    link.SetClock(clock);
    if (!link.Open())
        return EConsoleTransfer::NoPort;
    // Held until the link is closed: the transfer's clean-up (speed and mode back, the port
    // let go) is not cut short by another Ctrl+C.
    CInterruptGuard interrupts;
    bool sent;
    {
        CConsoleProgress progress(progressBar);
        sent = send(link, progress);
    }
    const bool lost = link.IsPortLost();
    link.Close();
    if (sent)
        return EConsoleTransfer::Sent;
    if (lost)
        return EConsoleTransfer::PortLost;
    return CInterruptGuard::Interrupted() ? EConsoleTransfer::Interrupted : EConsoleTransfer::Failed;
}

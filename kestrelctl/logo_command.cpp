#include "logo_command.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <deque>

#include "bulk_transfer.h"
#include "link_receiver.h"
#include "logo_transfer.h"
#include "message_window.h"
#include "projector_link.h"
#include "projector_session.h"

namespace {

std::atomic<bool> g_bInterrupted{false};

extern "C" void OnInterrupt(int)
{
    g_bInterrupted = true;
}

// The link's window half in a console: engine messages from the message window, those a
// pump does not take kept in order for the next.
class CConsoleLinkHost : public ILinkHost {
public:
    CConsoleLinkHost(const std::string& device) : m_strDevice(device) {}
    void Attach(CLinkReceiver* receiver) { m_pReceiver = receiver; }

    HWND NotifyWindow() override { return m_Window.Handle(); }
    std::string PortDevice(unsigned int) override { return m_strDevice; }
    void PumpMessages(unsigned int first, unsigned int last) override
    {
        Collect(0);
        std::deque<SEngineMessage> later;
        while (!m_Pending.empty()) {
            SEngineMessage m = m_Pending.front();
            m_Pending.pop_front();
            if (m.message >= first && m.message <= last) {
                if (m_pReceiver)
                    m_pReceiver->OnEngineMessage(m.message, m.wParam, m.lParam);
                Collect(0);
            } else {
                later.push_back(m);
            }
        }
        m_Pending.swap(later);
    }
    void PumpAll() override { PumpMessages(0, ~0u); }
    void WaitForMessages(unsigned long ms) override { Collect(ms); }
    void WaitCursor(bool) override {}
    bool AskPortAgain(unsigned int&) override { return false; }
    bool AskRetrySend() override { return false; }

private:
    void Collect(unsigned long waitMs)
    {
        SEngineMessage m;
        while (m_Window.Next(m, waitMs)) {
            m_Pending.push_back(m);
            waitMs = 0;
        }
    }

    std::string m_strDevice;
    CMessageWindow m_Window;
    std::deque<SEngineMessage> m_Pending;
    CLinkReceiver* m_pReceiver = nullptr;
};

// The console tool keeps no setting table: what the projector answers is not stored.
class CNoEvents : public IReceiverEvents {
public:
    void OnSentValue(uint16_t, int32_t, int) override {}
    bool OnNotifiedValue(uint16_t, const unsigned char*, uint32_t, int) override { return true; }
    void OnMultiByte(const SReceivedFrame&, int) override {}
    void OnLockEntries(const unsigned char*, uint32_t) override {}
    void OnItemChanged(uint16_t, bool, int) override {}
};

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

std::string DescribeLogoResult(ELogoResult result, const std::string& file)
{
    switch (result) {
    case ELogoResult::ReadFailed:
        return file + ": cannot be read.";
    case ELogoResult::NotAvailable:
        return file + ": not a bitmap or user logo file that can be used.";
    case ELogoResult::UnknownDepth:
        return file + ": only bitmaps of 1, 4, 8 or 24 bits per pixel can become a logo.";
    case ELogoResult::TooSmall:
        return file + ": the picture or its area is smaller than 9 x 9 pixels, or the area lies outside it.";
    default:
        return file + ": cannot be used.";
    }
}

int SendLogoCommand(const SLogoOptions& options, std::string& message)
{
    // The file first: nothing goes to the projector for a file that cannot be sent.
    CLogoDocument logo;
    ELogoResult opened = logo.Open(options.file, 100);
    if (opened == ELogoResult::Ok && options.bArea)
        opened = logo.SetArea(options.area);
    if (opened != ELogoResult::Ok) {
        message = DescribeLogoResult(opened, options.file);
        return LOGO_BAD_FILE;
    }

    int zoom = options.zoom;
    if (!zoom) {
        CProjectorSession session(options.device, 9600);
        const SProjectorModel* model = nullptr;
        ESessionStatus status = session.Identify(model, message);
        if (status != SESSION_OK)
            return status;
        // A bitmap takes the model's zoom, a logo file keeps its own.
        zoom = logo.NeedsSaveName() ? ZoomRateOfIndex(model->nLogoZoom) : logo.Source().GetZoom();
    }
    logo.SetZoom(zoom);
    const std::vector<uint8_t> image = logo.TransferImage();

    CConsoleLinkHost host(options.device);
    CNoEvents events;
    CProjectorLink link;
    CLinkReceiver receiver(link, events);
    host.Attach(&receiver);
    link.Attach(&host, &receiver);
    if (!link.Open()) {
        message = "The port " + options.device + " cannot be opened.";
        return SESSION_NO_PORT;
    }
    g_bInterrupted = false;
    void (*previous)(int) = std::signal(SIGINT, OnInterrupt);
    ETransferResult result;
    {
        CConsoleProgress progress(options.bProgress);
        result = CBulkTransfer(link, progress).Send(image, kLogoAddress, kLogoAreaLength);
    }
    std::signal(SIGINT, previous);
    link.Close();
    switch (result) {
    case ETransferResult::Sent:
        return SESSION_OK;
    case ETransferResult::Cancelled:
        message = "Cancelled; the projector shows no user logo until one is sent.";
        return LOGO_CANCELLED;
    default:
        message = "The projector did not take the logo.";
        return SESSION_REFUSED;
    }
}

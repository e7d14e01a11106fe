#include "cursor_set_command.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <vector>

#include "ani_info.h"
#include "console_link_host.h"
#include "link_receiver.h"
#include "projector_link.h"
#include "projector_session.h"
#include "set_transfer.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

std::atomic<bool> g_bInterrupted{false};

void OnInterrupt(int)
{
    g_bInterrupted = true;
}

// The tool keeps no settings of its own: what the projector reports goes nowhere.
class CNoEvents : public IReceiverEvents {
public:
    void OnSentValue(uint16_t, int32_t, int) override {}
    bool OnNotifiedValue(uint16_t, const unsigned char*, uint32_t, int) override { return true; }
    void OnMultiByte(const SReceivedFrame&, int) override {}
    void OnLockEntries(const unsigned char*, uint32_t) override {}
    void OnItemChanged(uint16_t, bool, int) override {}
};

class CTerminalProgress : public ITransferProgress {
public:
    CTerminalProgress() : m_bTerminal(isatty(fileno(stderr)) != 0) {}
    ~CTerminalProgress()
    {
        if (m_bTerminal && m_bShown)
            std::fputc('\n', stderr);
    }
    void BlockSent(size_t sent, size_t total) override
    {
        if (!m_bTerminal)
            return;
        std::fprintf(stderr, "\rkestrelctl: block %zu of %zu", sent, total);
        m_bShown = true;
    }
    bool Cancelled() override { return g_bInterrupted; }

private:
    bool m_bTerminal;
    bool m_bShown = false;
};

} // namespace

int SendCursorSetFile(const std::string& device, const std::string& path)
{
    CAniInfo set;
    int read = set.ReadFile(path.c_str());
    std::vector<uint8_t> image;
    if (read != CURSOR_FILE_OK || !set.PackImage(image)) {
        std::fprintf(stderr, "kestrelctl: %s: %s\n", path.c_str(),
                     read == CURSOR_FILE_OK         ? "the set is not eight 32 x 32 frames of 16 colours"
                     : read == CURSOR_FILE_NOT_KIND ? "not a cursor/stamp set file"
                                                    : "cannot be read");
        return CURSORS_BAD_FILE;
    }

    CConsoleLinkHost host(device);
    CNoEvents events;
    CProjectorLink link;
    CLinkReceiver receiver(link, events);
    host.SetReceiver(&receiver);
    link.Attach(&host, &receiver);
    link.SetLevel(1);
    if (!link.Open()) {
        std::fprintf(stderr, "kestrelctl: cannot open %s\n", device.c_str());
        return SESSION_NO_PORT;
    }
    g_bInterrupted = false;
    void (*previous)(int) = std::signal(SIGINT, OnInterrupt);
    int sent;
    {
        CTerminalProgress progress;
        sent = SendSetImage(link, image, &progress);
    }
    std::signal(SIGINT, previous);
    link.Close();
    if (!sent) {
        std::fprintf(stderr, "kestrelctl: %s\n",
                     g_bInterrupted ? "interrupted; the projector was told to abort"
                                    : "the projector did not take the set");
        return CURSORS_SEND_FAILED;
    }
    return 0;
}

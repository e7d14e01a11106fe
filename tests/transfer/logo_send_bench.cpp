// Sending the largest logo (400 x 300) to a projector paced at line rate, against the line
// time of every byte that crossed the line plus the waits the transfer makes on purpose
// (two speed changes of 100 ms, four block areas of 300 ms). Run by hand; prints the ratio.
#include <chrono>
#include <cstdio>
#include <memory>

#include "../app/queue_link_host.h"
#include "bulk_transfer.h"
#include "dib.h"
#include "link_receiver.h"
#include "logo_transfer.h"
#include "projector_link.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "zelq_items.h"

namespace {
class CNoProgress : public ITransferProgress {
public:
    void Progress(uint32_t, int) override {}
    bool Cancelled() override { return false; }
};
const unsigned int kSpeeds[] = {9600, 19200, 38400, 57600};
} // namespace

int main()
{
    CPseudoTerminal pty;
    SSimulatorOptions options;
    options.bPace = true;
    CProjectorSimulator sim(options);
    if (!pty.IsOpen() || !sim.Start(pty.MasterFd()))
        return 1;
    CQueueLinkHost host;
    CProjectorLink link;
    CIgnoredEvents events;
    CLinkReceiver receiver(link, events);
    host.m_pReceiver = &receiver;
    host.m_Ports = {pty.SlavePath()};
    link.Attach(&host, &receiver);
    if (!link.Open())
        return 1;

    CDIB picture;
    picture.CreateBlank(400, 300, 24);
    const std::vector<uint8_t> image = BuildTransferImage(picture, 100);
    CNoProgress progress;
    const auto start = std::chrono::steady_clock::now();
    const ETransferResult result = CBulkTransfer(link, progress).Send(image, kLogoAddress, kLogoAreaLength);
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    link.Close();

    // The line time of every byte in either direction at the rate of its moment: a speed
    // set takes effect once its answer has gone out.
    double lineMs = 0;
    unsigned int baud = 9600, pending = 0;
    for (const SLogEntry& e : sim.Log().Entries()) {
        if (e.eKind == ELogKind::Note || e.strText.find("control") != std::string::npos)
            continue;
        lineMs += e.bytes.size() * 10000.0 / baud;
        if (e.eKind == ELogKind::RxFrame && e.strText.find("set 0x0006") != std::string::npos)
            pending = kSpeeds[e.bytes[e.bytes.size() - 2] & 3];
        if (e.eKind == ELogKind::Tx && pending && e.strText.find("answer") != std::string::npos) {
            baud = pending;
            pending = 0;
        }
    }
    const double waitsMs = 2 * 100 + 4 * 300;
    std::printf("result %s, %zu bytes at %u baud: %.0f ms; line %.0f ms + waits %.0f ms; ratio %.3f\n",
                result == ETransferResult::Sent ? "sent" : "FAILED", image.size(), kSpeeds[link.GetSpeedIndex()],
                wallMs, lineMs, waitsMs, wallMs / (lineMs + waitsMs));
    return result == ETransferResult::Sent ? 0 : 1;
}

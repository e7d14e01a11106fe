// How long reading every setting of one projector takes at 9600 baud when the simulated
// projector writes no faster than the line, against the time its bytes need on the line.
// A measurement to run by hand, not a test: machines differ.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "connection.h"
#include "setting_model.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "queue_link_host.h"
#include "quiet_connection_ui.h"

int main(int argc, char** argv)
{
    const char* model = argc > 1 ? argv[1] : "KT-C310";
    int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const double byteMs = 10.0 * 1000.0 / 9600.0; // start, eight data bits, stop

    CPseudoTerminal pty;
    SSimulatorOptions options;
    options.strModel = model;
    options.bPace = true;
    options.nBaud = 9600;
    CProjectorSimulator sim(options);
    if (!pty.IsOpen() || !sim.Start(pty.MasterFd())) {
        std::fprintf(stderr, "no simulator: %s\n", sim.Error().c_str());
        return 1;
    }
    CQueueLinkHost host;
    host.m_Ports = {pty.SlavePath()};
    CProjectorLink link;
    CSteadyClock clock;
    CQuietUi ui;
    CConnection connection(link, ui, clock);
    CSettingModel settings(connection);
    host.m_pReceiver = &connection.Receiver();
    link.Attach(&host, &connection.Receiver());
    if (!connection.Connect()) {
        std::fprintf(stderr, "not connected\n");
        return 1;
    }

    double worst = 0;
    for (int round = 0; round < rounds; ++round) {
        sim.Log().Clear();
        auto start = std::chrono::steady_clock::now();
        int ok = settings.QueryAllSettings(1);
        double elapsedMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

        size_t toProjector = 0, fromProjector = 0, commands = 0;
        for (const SLogEntry& e : sim.Log().Entries()) {
            switch (e.eKind) {
            case ELogKind::RxFrame:
                ++commands;
                toProjector += e.bytes.size();
                break;
            case ELogKind::RxAck:
            case ELogKind::RxNak:
                toProjector += e.bytes.empty() ? 1 : e.bytes.size();
                break;
            case ELogKind::Tx:
                fromProjector += e.bytes.size();
                break;
            default:
                break;
            }
        }
        // The line is used one way at a time: a command, its ACK, the answer, its ACK. Only the
        // projector's writes are paced; the computer's reach the pseudo-terminal at once, so
        // their line time is added to what was measured.
        double lineMs = (toProjector + fromProjector) * byteMs;
        double pacedMs = fromProjector * byteMs;
        double ratio = (elapsedMs + toProjector * byteMs) / lineMs;
        if (ratio > worst)
            worst = ratio;
        std::printf("%s round %d: ok %d, %zu commands, %zu bytes to and %zu from the projector; "
                    "took %.0f ms for %.0f ms of paced bytes (%.2f); on a real line %.0f of %.0f ms (%.2f)\n",
                    model, round + 1, ok, commands, toProjector, fromProjector, elapsedMs, pacedMs, elapsedMs / pacedMs,
                    elapsedMs + toProjector * byteMs, lineMs, ratio);
    }
    std::printf("worst ratio %.2f (limit 1.5)\n", worst);
    link.Close();
    return 0;
}

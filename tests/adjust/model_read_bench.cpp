// How long reading every setting of one projector takes at 9600 baud against the time its
// bytes need on the line. The simulated projector paces the line both ways: it takes the
// computer's bytes no faster than the line carries them (its ACK to a 6-byte command comes
// 7.2 ms after the command) and writes its own no faster, so the time measured already holds
// the line time of every byte, once.
// The goal: reading takes at most 1.05 times the line time. Load on the machine only ever adds
// time, so the best of the rounds is judged, against the goal plus kLoadMargin: 0.15 of the
// line time is about 0.65 ms for each of the four turnarounds of an exchange (command, ACK,
// answer, ACK), the wake-up delay a busy 2-core machine adds to a waiting thread. A machine
// loaded far beyond its cores misses it, and the bench says so. Exit status 1 when missed.
// Run by hand: machines differ.
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (rounds < 1)
        rounds = 1;
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
    CQuietUi ui;
    CConnection connection(link, ui, SystemClock());
    CSettingModel settings(connection);
    host.m_pReceiver = &connection.Receiver();
    link.Attach(&host, &connection.Receiver());
    if (!connection.Connect()) {
        std::fprintf(stderr, "not connected\n");
        return 1;
    }

    const double kGoal = 1.05;
    const double kLoadMargin = 0.15;
    double best = 0;
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
        // The line is used one way at a time: a command, its ACK, the answer, its ACK.
        double lineMs = (toProjector + fromProjector) * byteMs;
        double ratio = elapsedMs / lineMs;
        if (!ok) {
            std::fprintf(stderr, "%s round %d: the read failed\n", model, round + 1);
            return 1;
        }
        if (round == 0 || ratio < best)
            best = ratio;
        std::printf("%s round %d: %zu commands, %zu bytes to and %zu from the projector; "
                    "took %.0f ms for %.0f ms of line time (%.2f)\n",
                    model, round + 1, commands, toProjector, fromProjector, elapsedMs, lineMs, ratio);
    }
    bool met = best <= kGoal + kLoadMargin;
    std::printf("best ratio %.2f: goal %.2f, fails above %.2f: %s\n", best, kGoal, kGoal + kLoadMargin,
                met ? "met" : "MISSED");
    link.Close();
    return met ? 0 : 1;
}

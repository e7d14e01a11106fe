// zelqsim: a simulated projector on a pseudo-terminal.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "line_replay.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "tcp_bridge.h"

namespace {
void Usage(std::FILE* out)
{
    std::string models;
    for (const std::string& name : SimModelNames())
        models += (models.empty() ? "" : "|") + name;
    std::fprintf(out,
                 "usage: zelqsim [options]\n"
                 "  --model %s\n"
                 "                        projector to be (default KT-C310)\n"
                 "  --link PATH           make PATH a symbolic link to the port\n"
                 "  --baud N              line rate for --pace (default 9600)\n"
                 "  --pace                write no faster than the line rate\n"
                 "  --faults LIST         fault plan, e.g. \"nak,ack-only,late:500\"\n"
                 "  --random-faults SEED:PERCENT\n"
                 "  --log FILE            log every byte received and sent\n"
                 "  --control FIFO        read text commands from FIFO (created if missing)\n"
                 "  --asic                the line carries ASIC frames\n"
                 "  --projectors N        stack addresses 1..N answer (default 4)\n"
                 "  --power on|standby|warming|cooling\n"
                 "  --power-ms WARM:COOL[:BUSY[:SYNC]] | off\n"
                 "                        how long warming up, cooling down, the busy state of\n"
                 "                        reset all and re-synchronising after a resolution\n"
                 "                        change take, each reported by the projector (default\n"
                 "                        30000:60000:3000:1000); off: at once, unreported\n"
                 "  --ident HEX           identification bytes, e.g. 00014310\n"
                 "  --image FILE          write each completed bulk transfer to FILE\n"
                 "  --tcp PORT            also serve the port as a raw TCP stream on\n"
                 "                        127.0.0.1:PORT (0: a free port), one client at a time\n"
                 "  --tcp-drop-after N    close each TCP connection after N bytes from the client\n"
                 "  --replay FILE         answer from a line recorded by kestrelctl --record\n"
                 "                        instead of simulating a projector\n"
                 "The port's path is printed on standard output, then tcp://127.0.0.1:PORT with\n"
                 "--tcp. SIGTERM or SIGINT ends.\n"
                 "\n"
                 "Control FIFO commands, one a line (ADDR: projector 1-4, default 1):\n"
                 "  fault LIST | clear | random SEED:PERCENT | random off\n"
                 "  delay MS                    every later reply waits MS after its ACK\n"
                 "  pace BAUD | pace off        write no faster than BAUD\n"
                 "  report [stack] [from N] [to N] [flags F] ITEM [HEX...]\n"
                 "                              send a frame as the projector's own\n"
                 "  raw HEX...                  send bytes verbatim\n"
                 "  set ITEM VALUE [ADDR]       store a value quietly\n"
                 "  frequency H V [ADDR]        store the frequencies (0.01 kHz, 0.01 Hz) quietly\n"
                 "  resolution W H [ADDR]       store the resolution quietly\n"
                 "  change ITEM VALUE [ADDR]    store a value and report it\n"
                 "  range ITEM MIN MAX          refuse later sets of ITEM outside MIN..MAX\n"
                 "  refuse ITEM | refuse none   refuse every later get, set and reset of ITEM\n"
                 "  power on|standby|warming|cooling|VALUE [ADDR]\n"
                 "                              new power state, reported; warming and cooling\n"
                 "                              end by themselves unless power-ms is off\n"
                 "  input N [ADDR]              new input source, reported (16, 33, 34, 64)\n"
                 "  signal N [ADDR]             new detected signal, reported (1, 224..237, 0)\n"
                 "  warning BITS [ADDR]         new warning bits, reported\n"
                 "  power-ms WARM:COOL[:BUSY[:SYNC]] | off\n"
                 "  image FILE                  write each completed bulk transfer to FILE\n"
                 "  block-fault N refuse|drop|silent|drop-rest\n"
                 "                              mishandle block N (from 0) of the next transfer\n",
                 models.c_str());
}

bool ParseUnsigned(const char* text, unsigned long max, unsigned long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 0);
    return *text && *end == 0 && errno == 0 && value <= max && text[0] != '-';
}

// Replaces an existing link atomically; anything else at PATH is left alone.
bool MakeLink(const std::string& target, const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
        std::fprintf(stderr, "zelqsim: %s exists and is not a link\n", path.c_str());
        return false;
    }
    std::string temporary = path + ".zelqsim-" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "zelqsim: cannot link %s: %s\n", path.c_str(), std::strerror(errno));
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

void RemoveLinkIfOurs(const std::string& target, const std::string& path)
{
    char buffer[4096];
    ssize_t n = readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n > 0) {
        buffer[n] = 0;
        if (target == buffer)
            unlink(path.c_str());
    }
}

class CControlFifo {
public:
    ~CControlFifo()
    {
        if (m_nFd >= 0)
            close(m_nFd);
        if (m_bCreated)
            unlink(m_strPath.c_str());
    }

    bool Open(const std::string& path)
    {
        m_strPath = path;
        struct stat info;
        if (stat(path.c_str(), &info) != 0) {
            if (mkfifo(path.c_str(), 0600) != 0) {
                std::fprintf(stderr, "zelqsim: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
                return false;
            }
            m_bCreated = true;
        } else if (!S_ISFIFO(info.st_mode)) {
            std::fprintf(stderr, "zelqsim: %s is not a FIFO\n", path.c_str());
            return false;
        }
        // Opened for writing too, so the last writer closing does not end the stream.
        m_nFd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (m_nFd < 0)
            std::fprintf(stderr, "zelqsim: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        return m_nFd >= 0;
    }

    int Fd() const { return m_nFd; }

    void Serve(CProjectorSimulator& simulator)
    {
        char buffer[1024];
        ssize_t n;
        while ((n = read(m_nFd, buffer, sizeof buffer)) > 0) {
            m_strPending.append(buffer, static_cast<size_t>(n));
            size_t end;
            while ((end = m_strPending.find('\n')) != std::string::npos) {
                std::string line = m_strPending.substr(0, end);
                m_strPending.erase(0, end + 1);
                std::string error = simulator.Execute(line);
                if (!error.empty())
                    std::fprintf(stderr, "zelqsim: %s\n", error.c_str());
            }
        }
    }

private:
    std::string m_strPath;
    std::string m_strPending;
    int m_nFd = -1;
    bool m_bCreated = false;
};
} // namespace

int main(int argc, char** argv)
{
    SSimulatorOptions options;
    options.timing.bTimed = true; // as a projector behaves; tests ask for shorter times
    std::string linkPath, controlPath, replayPath;
    bool bTcp = false;
    unsigned long tcpPort = 0, tcpDropAfter = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needsValue = [&] {
            if (!value) {
                std::fprintf(stderr, "zelqsim: %s needs a value\n", arg.c_str());
                std::exit(2);
            }
            ++i;
            return std::string(value);
        };
        unsigned long number = 0;
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else if (arg == "--model") {
            options.strModel = needsValue();
            if (!FindSimModel(options.strModel)) {
                std::fprintf(stderr, "zelqsim: unknown model \"%s\"\n", options.strModel.c_str());
                return 2;
            }
        } else if (arg == "--link") {
            linkPath = needsValue();
        } else if (arg == "--baud") {
            if (!ParseUnsigned(needsValue().c_str(), 4000000, number) || number < 50) {
                std::fprintf(stderr, "zelqsim: bad line rate\n");
                return 2;
            }
            options.nBaud = static_cast<unsigned int>(number);
        } else if (arg == "--pace") {
            options.bPace = true;
        } else if (arg == "--faults") {
            std::string error;
            if (!ParseFaultList(needsValue(), options.faults, error)) {
                std::fprintf(stderr, "zelqsim: %s\n", error.c_str());
                return 2;
            }
        } else if (arg == "--random-faults") {
            std::string text = needsValue();
            size_t colon = text.find(':');
            unsigned long percent = 0;
            if (colon == std::string::npos || !ParseUnsigned(text.substr(0, colon).c_str(), 0xFFFFFFFFUL, number) ||
                !ParseUnsigned(text.substr(colon + 1).c_str(), 100, percent)) {
                std::fprintf(stderr, "zelqsim: --random-faults takes SEED:PERCENT\n");
                return 2;
            }
            options.bRandomFaults = true;
            options.nRandomSeed = static_cast<uint32_t>(number);
            options.nRandomPercent = static_cast<unsigned int>(percent);
        } else if (arg == "--tcp") {
            if (!ParseUnsigned(needsValue().c_str(), 65535, tcpPort)) {
                std::fprintf(stderr, "zelqsim: --tcp takes a port number\n");
                return 2;
            }
            bTcp = true;
        } else if (arg == "--tcp-drop-after") {
            if (!ParseUnsigned(needsValue().c_str(), 0xFFFFFFFFUL, tcpDropAfter)) {
                std::fprintf(stderr, "zelqsim: --tcp-drop-after takes a byte count\n");
                return 2;
            }
        } else if (arg == "--replay") {
            replayPath = needsValue();
        } else if (arg == "--image") {
            options.strImageFile = needsValue();
        } else if (arg == "--log") {
            options.strLogFile = needsValue();
        } else if (arg == "--control") {
            controlPath = needsValue();
        } else if (arg == "--asic") {
            options.bAsic = true;
        } else if (arg == "--projectors") {
            if (!ParseUnsigned(needsValue().c_str(), 4, number) || number < 1) {
                std::fprintf(stderr, "zelqsim: --projectors takes 1 to 4\n");
                return 2;
            }
            options.nProjectors = static_cast<int>(number);
        } else if (arg == "--power") {
            std::string state = needsValue();
            if (state == "on")
                options.nPower = 0x01;
            else if (state == "standby")
                options.nPower = 0x00;
            else if (state == "warming")
                options.nPower = 0x10;
            else if (state == "cooling")
                options.nPower = 0x11;
            else if (ParseUnsigned(state.c_str(), 255, number))
                options.nPower = static_cast<int>(number);
            else {
                std::fprintf(stderr, "zelqsim: bad power state \"%s\"\n", state.c_str());
                return 2;
            }
        } else if (arg == "--power-ms") {
            if (!ParseStateTiming(needsValue(), options.timing)) {
                std::fprintf(stderr, "zelqsim: --power-ms takes WARM:COOL[:BUSY[:SYNC]] or off\n");
                return 2;
            }
        } else if (arg == "--ident") {
            std::string text = needsValue();
            if (!ParseUnsigned(("0x" + text).c_str(), 0xFFFFFFFFUL, number) || text.size() != 8) {
                std::fprintf(stderr, "zelqsim: --ident takes eight hexadecimal digits\n");
                return 2;
            }
            options.nIdent = static_cast<long long>(number);
        } else {
            std::fprintf(stderr, "zelqsim: unknown argument \"%s\"\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }

    // Signals are taken from a descriptor, so no thread is ever interrupted by them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::fprintf(stderr, "zelqsim: signalfd: %s\n", std::strerror(errno));
        return 1;
    }

    CPseudoTerminal terminal;
    if (!terminal.IsOpen()) {
        std::fprintf(stderr, "zelqsim: %s\n", terminal.Error().c_str());
        return 1;
    }
    CControlFifo control;
    if (!controlPath.empty() && !control.Open(controlPath))
        return 1;
    CProjectorSimulator simulator(options);
    std::unique_ptr<CLineReplay> replay;
    if (!replayPath.empty()) {
        std::ifstream file(replayPath);
        std::stringstream text;
        text << file.rdbuf();
        std::vector<SReplayStep> steps;
        std::string error;
        if (!file || !ParseLineRecord(text.str(), steps, error)) {
            std::fprintf(stderr, "zelqsim: %s: %s\n", replayPath.c_str(), file ? error.c_str() : "cannot be read");
            return 1;
        }
        replay.reset(new CLineReplay(std::move(steps)));
        replay->Start(terminal.MasterFd());
    } else if (!simulator.Start(terminal.MasterFd())) {
        std::fprintf(stderr, "zelqsim: %s\n", simulator.Error().c_str());
        return 1;
    }
    CTcpBridge bridge;
    std::string bridgeError;
    if (bTcp && !bridge.Start(static_cast<unsigned short>(tcpPort), terminal.SlavePath(), tcpDropAfter, bridgeError)) {
        std::fprintf(stderr, "zelqsim: %s\n", bridgeError.c_str());
        return 1;
    }
    if (!linkPath.empty() && !MakeLink(terminal.SlavePath(), linkPath))
        return 1;
    std::printf("%s\n", terminal.SlavePath().c_str());
    if (bTcp)
        std::printf("tcp://127.0.0.1:%u\n", static_cast<unsigned>(bridge.Port()));
    std::fflush(stdout);

    for (;;) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {control.Fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & POLLIN)
            control.Serve(simulator);
    }
    replay.reset();
    simulator.Stop();
    if (!linkPath.empty())
        RemoveLinkIfOurs(terminal.SlavePath(), linkPath);
    return 0;
}

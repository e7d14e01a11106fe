#include "command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "dib_logo.h"
#include "port_names.h"

namespace {
const char kUsage[] =
    "usage: kestrelctl --port PORT [options] COMMAND\n"
    "       kestrelctl ports [--probe] [--json]\n"
    "       kestrelctl --help | --version\n"
    "commands:\n"
    "  identify            print the projector's type code\n"
    "  get ITEM            print an item's value (ITEM like 0x0300)\n"
    "  set ITEM VALUE      write a value in the item's own width (--width N: in N bytes)\n"
    "  reset ITEM          reset an item to its default\n"
    "  batch [FILE]        one session: identify, get, set, reset a line from FILE or standard\n"
    "                      input (each may start with --to N); one result line each\n"
    "  watch               print the projector's own reports as they come (Ctrl+C ends)\n"
    "  ports               list the serial ports; --probe: identify what answers on each\n"
    "  cursors FILE.csp    send a cursor/stamp set (Ctrl+C aborts)\n"
    "  logo FILE [--zoom PERCENT] [--area LEFT,TOP,RIGHT,BOTTOM]\n"
    "                      send a .bmp or .lgo as the user logo (the lamp goes off)\n"
    "  save FILE           write every setting into a projector setting file\n"
    "  load FILE           send a projector setting file (locks stay) and read back\n"
    "  diff FILE           list the items whose live value differs from the file\n"
    "  help                print this text\n"
    "options:\n"
    "  --port PORT         COM1..COM256 on Windows, a device path such as /dev/ttyUSB0\n"
    "                      elsewhere, or tcp://HOST:PORT for a network serial server\n"
    "  --baud N            line rate, 1200..115200 (default 9600)\n"
    "  --to N|all          projector N (1..4) of a stack, or all of them\n"
    "  --width N           set: send the value in N bytes (1..4)\n"
    "  --json              identify, get, diff, batch, ports, watch: one JSON object a line\n"
    "  --stop-on-error     batch: stop at the first command that fails\n"
    "  --seconds N         watch: stop after N seconds\n"
    "  --probe             ports: identify the projector on each port\n"
    "  --record FILE       write every byte of the line, both ways, with time stamps\n"
    "  --zoom PERCENT      logo: 100, 150, 200, 250 or 300\n"
    "  --area L,T,R,B      logo: the part of the picture to send, in pixels\n"
    "  --help, --version\n";
} // namespace

bool ParseNumber(const char* text, long min, long max, long& out)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 0);
    if (errno != 0 || *end != 0 || value < min || value > max)
        return false;
    out = value;
    return true;
}

namespace {

// LEFT,TOP,RIGHT,BOTTOM in pixels; a bitmap is never wider or higher than kMaxAreaPixel, so
// no arithmetic on the area can overflow.
bool ParseArea(const char* text, SArea& area)
{
    const long kMaxAreaPixel = 65535;
    long v[4];
    std::string rest = text ? text : "";
    for (int i = 0; i < 4; ++i) {
        size_t comma = rest.find(',');
        if ((comma == std::string::npos) != (i == 3))
            return false;
        if (!ParseNumber(rest.substr(0, comma).c_str(), 0, kMaxAreaPixel, v[i]))
            return false;
        rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
    }
    area = NormalisedArea(static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]), static_cast<int32_t>(v[2]),
                          static_cast<int32_t>(v[3]));
    return true;
}

} // namespace

bool NeedsNoPort(const std::vector<std::string>& command)
{
    return !command.empty() && command[0] == "ports";
}

int Fail(int status, const std::string& message)
{
    std::fprintf(stderr, "kestrelctl: %s\n", message.c_str());
    return status;
}

void PrintUsage(std::FILE* out)
{
    std::fputs(kUsage, out);
}

EParse ParseOptions(int argc, char** argv, SOptions& o, std::string& error)
{
    long n = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        bool taken = true; // the option's value is consumed
        if (a == "--help" || a == "-h") {
            return EParse::Help;
        } else if (a == "--version") {
            return EParse::Version;
        } else if (a == "--json") {
            o.bJson = true;
            taken = false;
        } else if (a == "--stop-on-error") {
            o.bStopOnError = true;
            taken = false;
        } else if (a == "--probe") {
            o.bProbe = true;
            taken = false;
        } else if (a == "--port" && next && ResolvePortName(next, o.port)) {
        } else if (a == "--record" && next) {
            o.record = next;
        } else if (a == "--baud" && ParseNumber(next, 1200, 115200, n)) {
            o.baud = static_cast<unsigned long>(n);
        } else if (a == "--seconds" && ParseNumber(next, 1, 86400, n)) {
            o.seconds = n;
        } else if (a == "--to" && next && std::strcmp(next, "all") == 0) {
            o.stack = 1;
            o.address = 0xFF;
        } else if (a == "--to" && ParseNumber(next, 1, 4, n)) {
            o.stack = 1;
            o.address = static_cast<unsigned char>(n);
            o.to = static_cast<int>(n);
        } else if (a == "--width" && ParseNumber(next, 1, 4, n)) {
            o.width = static_cast<unsigned int>(n);
        } else if (a == "--zoom" && ParseNumber(next, 100, 300, n) && ZoomIndexOfRate(static_cast<int>(n)) >= 0) {
            o.zoom = static_cast<int>(n);
        } else if (a == "--area" && ParseArea(next, o.area)) {
            o.bArea = true;
        } else if (a.rfind("--", 0) == 0) {
            static const char* const kValued[] = {"--port", "--record", "--baud", "--seconds", "--to",
                                                  "--width", "--zoom", "--area"};
            for (const char* name : kValued)
                if (a == name) {
                    error = next ? "bad value \"" + std::string(next) + "\" for " + a : a + " needs a value";
                    return EParse::Bad;
                }
            error = "unknown option \"" + a + "\"";
            return EParse::Bad;
        } else {
            o.command.push_back(a);
            taken = false;
        }
        if (taken)
            ++i;
    }
    if (!o.command.empty() && o.command[0] == "help")
        return EParse::Help;
    if (o.command.empty()) {
        error = "no command";
        return EParse::Bad;
    }
    if (o.port.empty() && !NeedsNoPort(o.command)) {
        error = "no --port for \"" + o.command[0] + "\"";
        return EParse::Bad;
    }
    return EParse::Run;
}

// kestrelctl: identify, read, write and reset projector items from a shell.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cursor_set_command.h"
#include "logo_command.h"
#include "port_names.h"
#include "projector_session.h"
#include "setting_file.h"
#include "setting_image.h"
#include "setting_items.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

void Usage()
{
    std::fputs("usage: kestrelctl --port DEVICE [--baud N] [--to N|all] [--width N] COMMAND\n"
               "  identify            print the projector's type code\n"
               "  get ITEM            print an item's value (ITEM like 0x0300)\n"
               "  set ITEM VALUE      write a value in the item's own width (--width N: in N bytes)\n"
               "  reset ITEM          reset an item to its default\n"
               "  cursors FILE.csp    send a cursor/stamp set (Ctrl+C aborts)\n"
               "  logo FILE [--zoom PERCENT] [--area LEFT,TOP,RIGHT,BOTTOM]\n"
               "                      send a .bmp or .lgo as the user logo (the lamp goes off)\n"
               "  save FILE           write every setting into a projector setting file\n"
               "  load FILE           send a projector setting file (locks stay) and read back\n"
               "  diff FILE           list the items whose live value differs from the file\n"
               "DEVICE is COM1..COM256 on Windows, a device path such as /dev/ttyUSB0 elsewhere.\n",
               stderr);
}

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

struct SOptions {
    std::string port;
    unsigned long baud = 9600;
    int stack = 0;
    unsigned char address = 1;
    int to = 0; // --to N: that projector alone
    unsigned int width = 0;
    int zoom = 0;
    bool bArea = false;
    SArea area;
    std::vector<std::string> command;
};

bool ParseOptions(int argc, char** argv, SOptions& o)
{
    long n = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--port" && next) {
            if (!ResolvePortName(argv[++i], o.port))
                return false;
        } else if (a == "--baud" && ParseNumber(next, 1200, 115200, n)) {
            o.baud = static_cast<unsigned long>(n);
            ++i;
        } else if (a == "--to" && next && std::strcmp(next, "all") == 0) {
            o.stack = 1;
            o.address = 0xFF;
            ++i;
        } else if (a == "--to" && ParseNumber(next, 1, 4, n)) {
            o.stack = 1;
            o.address = static_cast<unsigned char>(n);
            o.to = static_cast<int>(n);
            ++i;
        } else if (a == "--width" && ParseNumber(next, 1, 4, n)) {
            o.width = static_cast<unsigned int>(n);
            ++i;
        } else if (a == "--zoom" && ParseNumber(next, 100, 300, n) && ZoomIndexOfRate(static_cast<int>(n)) >= 0) {
            o.zoom = static_cast<int>(n);
            ++i;
        } else if (a == "--area" && ParseArea(next, o.area)) {
            o.bArea = true;
            ++i;
        } else if (a.rfind("--", 0) == 0) {
            return false;
        } else {
            o.command.push_back(a);
        }
    }
    return !o.port.empty() && !o.command.empty();
}

int Fail(ESessionStatus status, const std::string& message)
{
    std::fprintf(stderr, "kestrelctl: %s\n", message.c_str());
    return status;
}

// Items a projector did not take or give, one line each, for a script's log.
void ReportItems(const char* what, const std::vector<uint16_t>& codes, int slot, bool named)
{
    for (uint16_t code : codes)
        if (named)
            std::fprintf(stderr, "kestrelctl: %s 0x%04X %s (projector %d)\n", what, code, ItemName(code), slot);
        else
            std::fprintf(stderr, "kestrelctl: %s 0x%04X %s\n", what, code, ItemName(code));
}

// save, load and diff: the whole setting table against the projector(s).
int RunSettingFile(const SOptions& o, CProjectorSession& session)
{
    const std::string& verb = o.command[0];
    const std::string& path = o.command[1];
    CSettingTable file;
    std::vector<unsigned char> bytes;
    if (verb != "save") {
        // Checked before the port is touched: a bad file sends nothing.
        if (!ReadSettingFile(path, bytes))
            return Fail(SESSION_BAD_FILE, "cannot read the setting file " + path + ".");
        if (bytes.size() != CSettingTable::kBytes)
            return Fail(SESSION_BAD_FILE, path + " is not a projector setting file (" +
                                              (bytes.size() > CSettingTable::kBytes ? "longer than "
                                                                                     : std::to_string(bytes.size()) +
                                                                                           " bytes, not ") +
                                              std::to_string(CSettingTable::kBytes) + " bytes).");
        file.Load(bytes.data());
    }
    std::string message;
    const SProjectorModel* model = nullptr;
    ESessionStatus status = session.Identify(model, message);
    std::vector<SSettingTarget> targets;
    if (status == SESSION_OK)
        status = FindTargets(session, *model, o.to, targets, message);
    if (status != SESSION_OK)
        return Fail(status, message);
    // A slot no save filled would set every item of its projector to 0.
    if (verb != "save")
        for (const SSettingTarget& target : targets)
            if (IsEmptySlot(bytes, target.slot))
                return Fail(SESSION_BAD_FILE, path + " holds no setting for projector " + std::to_string(target.slot) +
                                                  "; nothing was sent.");

    CSettingTable live;
    bool differs = false, incomplete = false;
    bool named = targets.size() > 1 || o.to;
    for (const SSettingTarget& target : targets) {
        std::vector<uint16_t> refused, unread;
        if (verb == "load") {
            status = SendSettings(session, *model, target, file, refused, message);
            ReportItems("refused", refused, target.slot, named);
            incomplete = incomplete || !refused.empty();
        }
        if (status == SESSION_OK)
            status = ReadSettings(session, *model, target, live, unread, message);
        if (status != SESSION_OK)
            return Fail(status, message);
        if (verb == "save") {
            ReportItems("not read", unread, target.slot, named);
            incomplete = incomplete || !unread.empty();
        }
        if (verb != "diff")
            continue;
        for (const SDifference& d : DiffSettings(*model, target.slot, file, live)) {
            differs = true;
            if (named)
                std::printf("0x%04X %s %ld %ld (projector %d)\n", d.wCode, ItemName(d.wCode),
                            static_cast<long>(d.nFile), static_cast<long>(d.nLive), target.slot);
            else
                std::printf("0x%04X %s %ld %ld\n", d.wCode, ItemName(d.wCode), static_cast<long>(d.nFile),
                            static_cast<long>(d.nLive));
        }
    }
    if (verb == "save") {
        std::vector<unsigned char> image(CSettingTable::kBytes);
        live.Save(image.data());
        if (!WriteSettingFile(path, image.data(), image.size()))
            return Fail(SESSION_BAD_FILE, "cannot write the setting file " + path + "; the previous one is unchanged.");
    }
    if (incomplete)
        return Fail(SESSION_REFUSED, verb == "save" ? "the items above were not read; a load leaves them as they are."
                                                    : "the projector did not take the items above.");
    return differs ? SESSION_DIFFERS : SESSION_OK;
}

} // namespace

int main(int argc, char** argv)
{
    SOptions o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return SESSION_USAGE;
    }
    const std::string& verb = o.command[0];
    CProjectorSession session(o.port, o.baud);
    std::string message;

    if (verb == "identify" && o.command.size() == 1) {
        const SProjectorModel* model = nullptr;
        ESessionStatus status = session.Identify(model, message);
        if (status != SESSION_OK)
            return Fail(status, message);
        std::printf("%s\n", model->szTypeCode);
        return 0;
    }

    // Transfers address projector 1, as the program does.
    if ((verb == "cursors" || verb == "logo") && o.command.size() == 2 && o.stack && o.address != 1) {
        Usage();
        return SESSION_USAGE;
    }
    if (verb == "cursors" && o.command.size() == 2)
        return SendCursorSetFile(o.port, o.command[1], isatty(fileno(stderr)) != 0);
    if (verb == "logo" && o.command.size() == 2) {
        SLogoOptions logo;
        logo.device = o.port;
        logo.file = o.command[1];
        logo.zoom = o.zoom;
        logo.bArea = o.bArea;
        logo.area = o.area;
        logo.bProgress = isatty(fileno(stderr)) != 0;
        int status = SendLogoCommand(logo, message);
        return status == 0 ? 0 : Fail(static_cast<ESessionStatus>(status), message);
    }
    if ((verb == "save" || verb == "load" || verb == "diff") && o.command.size() == 2)
        return RunSettingFile(o, session);

    long item = 0;
    if (o.command.size() < 2 || !ParseNumber(o.command[1].c_str(), 0, 0xFFFF, item)) {
        Usage();
        return SESSION_USAGE;
    }
    SAnswer answer;
    ESessionStatus status;
    if (verb == "get" && o.command.size() == 2) {
        status = session.Transact(o.stack, 2, o.address, static_cast<uint16_t>(item), {}, answer, message);
        if (status == SESSION_OK)
            std::printf("%ld\n", static_cast<long>(DecodeItemValue(static_cast<uint16_t>(item), answer.parameter)));
    } else if (verb == "set" && o.command.size() == 3) {
        long value = 0;
        if (!ParseNumber(o.command[2].c_str(), INT32_MIN, INT32_MAX, value)) {
            Usage();
            return SESSION_USAGE;
        }
        unsigned int width = o.width ? o.width : ItemSetWidth(static_cast<uint16_t>(item), static_cast<int32_t>(value));
        // Cut to fewer bytes it would arrive as another value.
        if (!FitsWidth(static_cast<int32_t>(value), width))
            return Fail(SESSION_USAGE, o.command[2] + " does not fit in " + std::to_string(width) + " byte" +
                                           (width == 1 ? "" : "s") + ".");
        status = session.Transact(o.stack, 1, o.address, static_cast<uint16_t>(item),
                                  EncodeItemValue(static_cast<int32_t>(value), width), answer, message);
    } else if (verb == "reset" && o.command.size() == 2) {
        status = session.Transact(o.stack, 3, o.address, static_cast<uint16_t>(item), {}, answer, message);
        if (status == SESSION_OK && !answer.parameter.empty())
            std::printf("%ld\n", static_cast<long>(DecodeItemValue(static_cast<uint16_t>(item), answer.parameter)));
    } else {
        Usage();
        return SESSION_USAGE;
    }
    return status == SESSION_OK ? 0 : Fail(status, message);
}

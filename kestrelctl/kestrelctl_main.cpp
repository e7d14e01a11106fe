// kestrelctl: identify, read, write and reset projector items from a shell.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_command.h"
#include "command_line.h"
#include "cursor_set_command.h"
#include "item_command.h"
#include "json_line.h"
#include "line_record.h"
#include "logo_command.h"
#include "ports_command.h"
#include "projector_session.h"
#include "setting_file.h"
#include "setting_image.h"
#include "setting_items.h"
#include "watch_command.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// A differing item as JSON: the same fields as the text line.
void PrintDifference(const SDifference& d, int projector)
{
    char code[8];
    std::snprintf(code, sizeof code, "0x%04X", d.wCode);
    CJsonLine object;
    object.Text("code", code).Text("name", ItemName(d.wCode)).Number("file", d.nFile).Number("live", d.nLive);
    if (projector)
        object.Number("projector", projector);
    object.Print();
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

// A whole setting file into bytes; else status 7, said on standard error.
int ReadWholeSettingFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    if (!ReadSettingFile(path, bytes))
        return Fail(SESSION_BAD_FILE, "cannot read the setting file " + path + ".");
    if (bytes.size() != CSettingTable::kBytes)
        return Fail(SESSION_BAD_FILE,
                    path + " is not a projector setting file (" +
                        (bytes.size() > CSettingTable::kBytes ? "longer than "
                                                              : std::to_string(bytes.size()) + " bytes, not ") +
                        std::to_string(CSettingTable::kBytes) + " bytes).");
    return SESSION_OK;
}

// save, load and diff: the whole setting table against the projector(s).
int RunSettingFile(const SOptions& o, CProjectorSession& session)
{
    const std::string& verb = o.command[0];
    const std::string& path = o.command[1];
    CSettingTable file;
    std::vector<unsigned char> bytes;
    // Checked before the port is touched: a bad file sends nothing. One projector's part
    // saved into an existing file replaces that part alone, so that file is read too.
    std::error_code unknown;
    if (verb != "save" || (o.to && std::filesystem::exists(path, unknown))) {
        if (int status = ReadWholeSettingFile(path, bytes))
            return status;
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
    bool named = targets.size() > 1 || o.to;
    // A damaged value would reach the projector as another and pass for loaded.
    if (verb == "load") {
        bool damaged = false;
        for (const SSettingTarget& target : targets) {
            std::vector<uint16_t> uncarried = UncarriedItems(*model, target.slot, file);
            ReportItems("damaged", uncarried, target.slot, named);
            damaged = damaged || !uncarried.empty();
        }
        if (damaged)
            return Fail(SESSION_BAD_FILE, path + " holds values the items above cannot take; nothing was sent.");
    }

    CSettingTable live;
    bool differs = false, incomplete = false;
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
        // An item the projector would not give was not compared either: a diff that named
        // nothing would otherwise pass for a projector that matches the file.
        if (verb != "load") {
            ReportItems("not read", unread, target.slot, named);
            incomplete = incomplete || !unread.empty();
        }
        if (verb != "diff")
            continue;
        for (const SDifference& d : DiffSettings(*model, target.slot, file, live)) {
            differs = true;
            if (o.bJson)
                PrintDifference(d, named ? target.slot : 0);
            else if (named)
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
        // The other projectors' parts of the file stay as they were.
        for (int slot = 1; !bytes.empty() && slot <= static_cast<int>(CSettingTable::kSlots); ++slot)
            if (slot != o.to)
                std::copy_n(bytes.begin() + (slot - 1) * CSettingTable::kSlotBytes, CSettingTable::kSlotBytes,
                            image.begin() + (slot - 1) * CSettingTable::kSlotBytes);
        if (!WriteSettingFile(path, image.data(), image.size()))
            return Fail(SESSION_BAD_FILE, "cannot write the setting file " + path + "; the previous one is unchanged.");
    }
    if (incomplete)
        Fail(SESSION_REFUSED, verb == "save"   ? "the items above were not read; a load leaves them as they are."
                              : verb == "diff" ? "the items above were not read and not compared."
                                               : "the projector did not take the items above.");
    if (differs)
        return SESSION_DIFFERS;
    return incomplete ? SESSION_REFUSED : SESSION_OK;
}

// identify, get, set, reset on their own.
int RunItem(const SOptions& o, CProjectorSession& session)
{
    SItemCommand command;
    command.stack = o.stack;
    command.address = o.address;
    command.width = o.width;
    std::string error;
    if (!ParseItemCommand(o.command, command, error)) {
        std::fprintf(stderr, "kestrelctl: %s\n", error.c_str());
        PrintUsage(stderr);
        return SESSION_USAGE;
    }
    SItemResult result = RunItemCommand(session, command);
    if (result.status != SESSION_OK)
        return Fail(result.status, result.message);
    if (o.bJson && !result.type.empty()) {
        CJsonLine().Text("type", result.type).Print();
    } else if (o.bJson && result.bValue) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%04X", command.item);
        CJsonLine().Text("item", code).Number("value", result.value).Print();
    } else if (!ItemResultText(result).empty()) {
        std::printf("%s\n", ItemResultText(result).c_str());
    }
    return 0;
}

int RunBatchCommand(const SOptions& o, CProjectorSession& session)
{
    SBatchOptions batch;
    batch.bJson = o.bJson;
    batch.bStopOnError = o.bStopOnError;
    batch.stack = o.stack;
    batch.address = o.address;
    batch.width = o.width;
    if (o.command.size() == 1)
        return RunBatch(session, stdin, stdout, batch);
    std::FILE* in = std::fopen(o.command[1].c_str(), "r");
    if (!in)
        return Fail(SESSION_BAD_FILE, "cannot read the command file " + o.command[1] + ".");
    int status = RunBatch(session, in, stdout, batch);
    std::fclose(in);
    return status;
}

int RunCommand(const SOptions& o)
{
    const std::string& verb = o.command[0];
    if (verb == "ports")
        return RunPorts(std::vector<std::string>(o.command.begin() + 1, o.command.end()), o.bProbe, o.bJson, o.baud);
    CProjectorSession session(o.port, o.baud);
    std::string message;
    if (verb == "batch" && o.command.size() <= 2)
        return RunBatchCommand(o, session);
    if (verb == "watch" && o.command.size() == 1)
        return RunWatch(session, o.seconds, o.bJson);
    // Transfers address projector 1, as the program does.
    if ((verb == "cursors" || verb == "logo") && o.command.size() == 2 && o.stack && o.address != 1) {
        std::fprintf(stderr, "kestrelctl: %s goes to projector 1 only\n", verb.c_str());
        PrintUsage(stderr);
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
        return status == 0 ? 0 : Fail(status, message);
    }
    if ((verb == "save" || verb == "load" || verb == "diff") && o.command.size() == 2)
        return RunSettingFile(o, session);
    for (const char* other : {"batch", "watch", "cursors", "logo", "save", "load", "diff"})
        if (verb == other) {
            std::fprintf(stderr, "kestrelctl: wrong arguments for \"%s\"\n", other);
            PrintUsage(stderr);
            return SESSION_USAGE;
        }
    return RunItem(o, session);
}

// A result a script never got (standard output on a full disk) is no success; a failure keeps
// its own status.
int Finish(int status)
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return status;
    Fail(SESSION_BAD_FILE, "cannot write to standard output.");
    return status == SESSION_OK ? SESSION_BAD_FILE : status;
}

} // namespace

int main(int argc, char** argv)
{
    SOptions o;
    std::string error;
    switch (ParseOptions(argc, argv, o, error)) {
    case EParse::Help:
        PrintUsage(stdout);
        return Finish(0);
    case EParse::Version:
        std::printf("kestrelctl %s\n", KESTREL_VERSION);
        return Finish(0);
    case EParse::Bad:
        std::fprintf(stderr, "kestrelctl: %s\n", error.c_str());
        PrintUsage(stderr);
        return SESSION_USAGE;
    case EParse::Run:
        break;
    }
    if (!o.record.empty() && !SeriloxRecordLine(o.record.c_str()))
        return Fail(SESSION_BAD_FILE, "cannot write the line record " + o.record + ".");
    int status = RunCommand(o);
    // A record that could not be written whole is a failure even when the command went well.
    if (!o.record.empty() && !SeriloxStopLineRecord() && status == SESSION_OK)
        return Fail(SESSION_BAD_FILE, "cannot write the line record " + o.record + ".");
    return Finish(status);
}

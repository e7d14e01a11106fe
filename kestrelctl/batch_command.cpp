#include "batch_command.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "item_command.h"
#include "json_line.h"

namespace {
// The words of a line without its comment; empty for a blank or comment line.
std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

// Reads a line's leading --to N|all and --width N into command; false with a message.
bool TakePrefixes(std::vector<std::string>& words, SItemCommand& command, std::string& error)
{
    long n = 0;
    while (words.size() >= 2 && (words[0] == "--to" || words[0] == "--width")) {
        if (words[0] == "--to" && words[1] == "all") {
            command.stack = 1;
            command.address = 0xFF;
        } else if (words[0] == "--to" && ParseNumber(words[1].c_str(), 1, 4, n)) {
            command.stack = 1;
            command.address = static_cast<unsigned char>(n);
        } else if (words[0] == "--width" && ParseNumber(words[1].c_str(), 1, 4, n)) {
            command.width = static_cast<unsigned int>(n);
        } else {
            error = "bad value \"" + words[1] + "\" for " + words[0];
            return false;
        }
        words.erase(words.begin(), words.begin() + 2);
    }
    return true;
}

bool ReadLine(std::FILE* in, std::string& line)
{
    line.clear();
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, in)) {
        line += buffer;
        if (!line.empty() && line.back() == '\n')
            break;
    }
    // A line cut by a read error is not the line the file holds: it does not run.
    if (line.empty() || std::ferror(in))
        return false;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return true;
}

void Report(std::FILE* out, bool json, long number, const std::string& text, const SItemResult& result)
{
    if (json) {
        CJsonLine object;
        object.Number("line", number).Text("command", text).Number("status", result.status);
        if (result.status != SESSION_OK)
            object.Text("error", result.message);
        else if (!result.type.empty())
            object.Text("type", result.type);
        else if (result.bValue)
            object.Number("value", result.value);
        object.Print(out);
        return;
    }
    if (result.status != SESSION_OK)
        std::fprintf(out, "error %d %s\n", result.status, result.message.c_str());
    else if (ItemResultText(result).empty())
        std::fprintf(out, "ok\n");
    else
        std::fprintf(out, "ok %s\n", ItemResultText(result).c_str());
    // A script on the other end of a pipe waits for this line before it writes the next.
    std::fflush(out);
}
} // namespace

int RunBatch(CProjectorSession& session, std::FILE* in, std::FILE* out, const SBatchOptions& options)
{
    const SProjectorModel* model = nullptr;
    std::string message;
    ESessionStatus status = session.Identify(model, message);
    if (status != SESSION_OK)
        return Fail(status, message);
    int worst = SESSION_OK;
    std::string line;
    for (long number = 1; ReadLine(in, line); ++number) {
        std::vector<std::string> words = Words(line);
        if (words.empty())
            continue;
        SItemCommand command;
        command.stack = options.stack;
        command.address = options.address;
        command.width = options.width;
        SItemResult result;
        if (!TakePrefixes(words, command, result.message) || !ParseItemCommand(words, command, result.message))
            result.status = SESSION_USAGE;
        else
            result = RunItemCommand(session, command);
        std::string text = line.substr(0, line.find('#'));
        text.erase(text.find_last_not_of(" \t") + 1);
        text.erase(0, text.find_first_not_of(" \t"));
        Report(out, options.bJson, number, text, result);
        worst = std::max<int>(worst, result.status);
        if (result.status != SESSION_OK && options.bStopOnError)
            return worst;
    }
    // Commands that could not be read (a folder, a drive gone) did not run.
    if (std::ferror(in))
        worst = std::max(worst, Fail(SESSION_BAD_FILE, "the commands cannot be read to their end."));
    return worst;
}

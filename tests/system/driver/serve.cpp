// kdriver's server mode: requests from standard input, framed answers on standard output.
#include "serve.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kMarker = '\036';

// Reads up to the next byte `end`, which is consumed; false at the end of input.
bool ReadUntil(char end, std::string& text)
{
    text.clear();
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        if (c == end)
            return true;
        text += static_cast<char>(c);
    }
    return false;
}

bool ReadCount(char end, size_t& count)
{
    std::string digits;
    if (!ReadUntil(end, digits) || digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoul(digits);
    return true;
}

bool ReadArgument(std::string& argument)
{
    size_t length = 0;
    if (!ReadCount(' ', length))
        return false;
    argument.resize(length);
    if (length > 0 && std::fread(&argument[0], 1, length, stdin) != length)
        return false;
    return std::getchar() == '\n';
}

} // namespace

int ServeCommands(CommandRunner run)
{
    // Bytes as they come: argument lengths count them, and no CR is added to answers.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::string id;
    while (ReadUntil(' ', id)) {
        size_t count = 0;
        if (!ReadCount('\n', count) || count > 64)
            return 64;
        std::vector<std::string> arguments(count + 1);
        arguments[0] = "kdriver";
        for (size_t i = 1; i <= count; ++i)
            if (!ReadArgument(arguments[i]))
                return 64;
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(&argument[0]);
        argv.push_back(nullptr);

        std::printf("%cbegin %s\n", kMarker, id.c_str());
        int status = run(static_cast<int>(count + 1), argv.data());
        std::fflush(stderr);
        std::printf("%cend %s %d\n", kMarker, id.c_str(), status);
        std::fflush(stdout);
    }
    return 0;
}

#include "manual_link.h"

const char kManualFileName[] = "Kestrel4.html";
const char kManualTopicLogoArea[] = "logo-area";

namespace {

bool KeptInUrl(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/' || c == ':';
}

} // namespace

std::string ManualFileUrl(const std::string& path, const std::string& topic)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string url = "file:";
    size_t start = 0;
    // A share names its server where a drive path has an empty host.
    if (path.compare(0, 2, "\\\\") == 0) {
        url += "//";
        start = 2;
    } else {
        url += "///";
    }
    for (size_t i = start; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (c == '\\')
            c = '/';
        if (KeptInUrl(c)) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0x0F];
        }
    }
    if (!topic.empty())
        url += "#" + topic;
    return url;
}

std::string BrowserCommandLine(const std::string& command, const std::string& url)
{
    std::string line;
    bool placed = false;
    for (size_t i = 0; i < command.size(); ++i) {
        char next = i + 1 < command.size() ? command[i + 1] : '\0';
        if (command[i] != '%' || next == '\0') {
            line += command[i];
        } else if (next == '0' || next == '1' || next == 'L' || next == 'l' || next == '*') {
            line += url;
            placed = true;
            ++i;
        } else if (next == '%') {
            line += '%';
            ++i;
        } else if (next >= '2' && next <= '9') {
            ++i; // an argument the shell would leave empty
        } else {
            line += '%';
        }
    }
    if (!placed)
        line += " \"" + url + "\"";
    return line;
}

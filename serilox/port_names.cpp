#include "port_names.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {
const char kDevicePrefix[] = "\\\\.\\";
const unsigned int kFixedPorts = 4;
} // namespace

bool ParseComPortName(const std::string& text, unsigned int& port)
{
    std::string name = text;
    if (name.compare(0, 4, kDevicePrefix) == 0)
        name.erase(0, 4);
    if (name.size() < 4 || name.size() > 6)
        return false;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i])
            return false;
    // Digits only, no sign, no leading zero: "COM07" is no name the system gives.
    if (name[3] == '0')
        return false;
    unsigned int n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return false;
        n = n * 10 + static_cast<unsigned int>(name[i] - '0');
    }
    if (n < 1 || n > kMaxComPort)
        return false;
    port = n;
    return true;
}

bool ResolvePortName(const std::string& text, std::string& device)
{
    unsigned int port;
    if (ParseComPortName(text, port)) {
        device = ComPortDevice(port);
        return true;
    }
    std::string name = text.compare(0, 4, kDevicePrefix) == 0 ? text.substr(4) : text;
    bool comLike = name.size() > 3;
    for (size_t i = 0; i < name.size() && comLike; ++i)
        comLike = i < 3 ? std::toupper(static_cast<unsigned char>(name[i])) == "COM"[i]
                        : std::isdigit(static_cast<unsigned char>(name[i])) != 0;
    if (comLike)
        return false;
    device = text;
    return true;
}

std::string ComPortDevice(unsigned int port)
{
    char name[24];
    // Prefix port name with '\\.\' to work with ports above COM9.
    std::snprintf(name, sizeof name, "%sCOM%u", port >= 10 ? kDevicePrefix : "", port);
    return name;
}

std::vector<unsigned int> ComPortNumbers(const std::vector<std::string>& names)
{
    std::vector<unsigned int> ports;
    for (const std::string& name : names) {
        unsigned int port;
        if (ParseComPortName(name, port))
            ports.push_back(port);
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

std::vector<unsigned int> PortsToTry(const std::vector<unsigned int>& present, unsigned int kept)
{
    std::vector<unsigned int> order{kept};
    for (unsigned int port : present)
        if (port != kept && std::find(order.begin(), order.end(), port) == order.end())
            order.push_back(port);
    std::sort(order.begin() + 1, order.end());
    return order;
}

std::vector<unsigned int> ExtraPorts(const std::vector<unsigned int>& present)
{
    std::vector<unsigned int> extra;
    for (unsigned int port : present)
        if (port > kFixedPorts && port <= kMaxComPort && std::find(extra.begin(), extra.end(), port) == extra.end())
            extra.push_back(port);
    std::sort(extra.begin(), extra.end());
    return extra;
}

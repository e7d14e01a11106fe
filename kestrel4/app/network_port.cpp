#include "network_port.h"

#include <cctype>

#include "text_blanks.h"

namespace {
const size_t kMaxHostName = 253;
const size_t kMaxLabel = 63;

bool IsDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool IsIpv4(const std::vector<std::string>& labels)
{
    if (labels.size() != 4)
        return false;
    for (const std::string& label : labels)
        if (!IsDigits(label) || label.size() > 3 || std::stoi(label) > 255)
            return false;
    return true;
}

// Letters, digits and inner hyphens; a name whose labels are all numbers must be an IPv4
// address, or "10.0.0.500" would go to the name resolver as a host name.
bool IsHostName(const std::string& host)
{
    if (host.empty() || host.size() > kMaxHostName)
        return false;
    std::vector<std::string> labels = Split(host, '.');
    bool allNumeric = true;
    for (const std::string& label : labels) {
        if (label.empty() || label.size() > kMaxLabel || label.front() == '-' || label.back() == '-')
            return false;
        for (char c : label)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-')
                return false;
        allNumeric = allNumeric && IsDigits(label);
    }
    return !allNumeric || IsIpv4(labels);
}

bool IsBracketedIpv6(const std::string& host)
{
    if (host.size() < 4 || host.front() != '[' || host.back() != ']')
        return false;
    std::string inner = host.substr(1, host.size() - 2);
    if (inner.find(':') == std::string::npos)
        return false;
    for (char c : inner)
        if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.')
            return false;
    return true;
}

std::vector<SPortChoice> ComChoices(const std::vector<unsigned int>& present, unsigned int current)
{
    std::vector<unsigned int> ports = present;
    ports.push_back(current);
    std::vector<SPortChoice> choices;
    for (unsigned int port : ExtraPorts(ports))
        choices.push_back({port, "COM" + std::to_string(port)});
    return choices;
}
} // namespace

ENetworkAddress ParseNetworkAddress(const std::string& text, std::string& address)
{
    std::string trimmed = Trim(text);
    size_t colon = trimmed.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == trimmed.size())
        return ENetworkAddress::NotHostPort;
    std::string host = trimmed.substr(0, colon);
    std::string port = trimmed.substr(colon + 1);
    // A colon inside the host is an IPv6 address, which needs its brackets to be told apart.
    if (host.find(':') != std::string::npos ? !IsBracketedIpv6(host) : !IsHostName(host))
        return ENetworkAddress::BadHost;
    if (!IsDigits(port) || port.size() > 5 || std::stol(port) < 1 || std::stol(port) > 65535)
        return ENetworkAddress::BadPort;
    address = host + ":" + std::to_string(std::stol(port));
    return ENetworkAddress::Ok;
}

std::string NetworkPortName(const std::string& address)
{
    return "tcp://" + address;
}

std::vector<SPortChoice> PortMenuChoices(const std::vector<unsigned int>& present, unsigned int current)
{
    std::vector<SPortChoice> choices = ComChoices(present, current);
    choices.push_back({kNetworkPort, "Network port..."});
    return choices;
}

std::vector<SPortChoice> PortDialogChoices(const std::vector<unsigned int>& present, unsigned int current,
                                           const std::string& address)
{
    std::vector<SPortChoice> choices = ComChoices(present, current);
    if (!address.empty())
        choices.push_back({kNetworkPort, address});
    return choices;
}

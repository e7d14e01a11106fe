#include "serial_ports.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "port_list.h"

namespace {
// Where the trailing number of a name starts.
size_t NumberAt(const std::string& name)
{
    size_t at = name.size();
    while (at > 0 && std::isdigit(static_cast<unsigned char>(name[at - 1])))
        --at;
    return at;
}
} // namespace

bool PortNameLess(const std::string& a, const std::string& b)
{
    size_t na = NumberAt(a), nb = NumberAt(b);
    std::string stemA = a.substr(0, na), stemB = b.substr(0, nb);
    if (stemA != stemB || na == a.size() || nb == b.size())
        return stemA != stemB ? stemA < stemB : a < b;
    return std::strtoul(a.c_str() + na, nullptr, 10) < std::strtoul(b.c_str() + nb, nullptr, 10);
}

std::vector<std::string> SortedPortNames(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end(), PortNameLess);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<std::string> PresentSerialPorts()
{
    return SortedPortNames(ListSerialPorts());
}

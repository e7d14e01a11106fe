#include <windows.h>

#include <algorithm>

#include "serial_ports.h"

std::vector<std::string> ListSerialPorts()
{
    std::vector<std::string> ports;
    // Every serial driver registers its ports here, whatever their number.
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD i = 0;; ++i) {
        char name[256], data[256];
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        LONG r = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        if (r != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataSize] = 0;
        ports.emplace_back(data);
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end(), PortNameLess);
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

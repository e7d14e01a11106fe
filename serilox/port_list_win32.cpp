#include "port_list.h"

#include <windows.h>

std::vector<std::string> ListSerialPorts()
{
    std::vector<std::string> names;
    HKEY key;
    // Each value maps a driver's device to the COM name it serves; only the names matter.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char value[256];
        BYTE data[256];
        DWORD valueSize = sizeof value;
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        LONG result = RegEnumValueA(key, i, value, &valueSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataSize] = 0;
        names.emplace_back(reinterpret_cast<const char*>(data));
    }
    RegCloseKey(key);
    return names;
}

#include "port_list.h"

#include <dirent.h>

#include <algorithm>
#include <cstring>

std::vector<std::string> ListSerialPorts()
{
    static const char* const kPrefixes[] = {"ttyS", "ttyUSB", "ttyACM"};
    std::vector<std::string> names;
    DIR* dev = opendir("/dev");
    if (!dev)
        return names;
    while (dirent* entry = readdir(dev)) {
        for (const char* prefix : kPrefixes)
            if (std::strncmp(entry->d_name, prefix, std::strlen(prefix)) == 0)
                names.push_back(std::string("/dev/") + entry->d_name);
    }
    closedir(dev);
    std::sort(names.begin(), names.end());
    return names;
}

#include "port_list.h"

#include <glob.h>

std::vector<std::string> ListSerialPorts()
{
    std::vector<std::string> ports;
    // On-board ports, USB adapters and USB modems with a serial class.
    for (const char* pattern : {"/dev/ttyS[0-9]*", "/dev/ttyUSB[0-9]*", "/dev/ttyACM[0-9]*"}) {
        glob_t found{};
        if (glob(pattern, 0, nullptr, &found) == 0)
            ports.insert(ports.end(), found.gl_pathv, found.gl_pathv + found.gl_pathc);
        globfree(&found);
    }
    return ports;
}

// kestrelctl ports: the serial ports present, and with --probe the model answering on each.
#pragma once
#include <string>
#include <vector>

// extra: further ports to list and probe (a device the system does not enumerate, such as a
// pseudo-terminal or tcp://HOST:PORT). The exit status is 0.
int RunPorts(const std::vector<std::string>& extra, bool probe, bool json, unsigned long baud);

// The serial ports present on this machine, by the names --port takes.
#pragma once
#include <string>
#include <vector>

// The system's list sorted by name, numbers in numeric order (COM2 before COM10), each once.
std::vector<std::string> PresentSerialPorts();
// names in that order, each once: a driver may register one port under two devices.
std::vector<std::string> SortedPortNames(std::vector<std::string> names);
// a before b the way ports are listed.
bool PortNameLess(const std::string& a, const std::string& b);

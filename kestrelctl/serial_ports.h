// The serial ports present on this machine, by the names --port takes.
#pragma once
#include <string>
#include <vector>

// Sorted by name, numbers in numeric order (COM2 before COM10).
std::vector<std::string> ListSerialPorts();
// a before b the way ports are listed.
bool PortNameLess(const std::string& a, const std::string& b);

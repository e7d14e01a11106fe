// The serial ports Windows has now: the names in the system's serial-port list
// (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), where a USB adapter appears while it is plugged in.
#pragma once
#include <string>
#include <vector>

std::vector<std::string> ListSerialPorts();

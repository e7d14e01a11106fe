// The serial ports the system has now, in the system's order: on Windows the names in its
// serial-port list (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), where a USB adapter appears while it is
// plugged in; elsewhere the device files of on-board ports and USB adapters.
#pragma once
#include <string>
#include <vector>

std::vector<std::string> ListSerialPorts();

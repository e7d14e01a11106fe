// The serial ports the system has now: on Windows the names in the system's serial-port
// list (a USB adapter appears there while it is plugged in), elsewhere the terminal devices
// of serial lines and USB adapters.
#pragma once
#include <string>
#include <vector>

std::vector<std::string> ListSerialPorts();

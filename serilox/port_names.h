// COM port names: reading "COMn" (as the system lists it or a user types it), the device path
// that opens port n, and the order in which present ports are offered and tried.
#pragma once
#include <string>
#include <vector>

const unsigned int kMaxComPort = 256;

// "COM7", "com7" or "\\.\COM12" with n from 1 to kMaxComPort gives true and the number.
bool ParseComPortName(const std::string& text, unsigned int& port);
// A port as a user names it: a COM port name ("COM12", "\\.\COM12", any case) becomes the
// device path of that port; any other name is a device path already (/dev/ttyUSB0). False
// for a COM name without a port: "COM0", "COM257", "COM07".
bool ResolvePortName(const std::string& text, std::string& device);
// The path CreateFile opens for COM port n: "COM1".."COM9", then "\\.\COM10" and up.
std::string ComPortDevice(unsigned int port);
// The numbers of the COM ports among names, ascending, each once; other names are dropped.
std::vector<unsigned int> ComPortNumbers(const std::vector<std::string>& names);
// The present ports in the order a search tries them: the kept port first, then the others
// ascending. The kept port leads even when the system does not list it (a port it forgot).
std::vector<unsigned int> PortsToTry(const std::vector<unsigned int>& present, unsigned int kept);
// The present ports beyond the fixed COM1-COM4 choices, ascending.
std::vector<unsigned int> ExtraPorts(const std::vector<unsigned int>& present);

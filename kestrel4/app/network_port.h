// The network port: a network serial server named HOST:PORT, offered beside the COM ports and
// numbered after them wherever the program counts ports (menu, link, port dialogs).
#pragma once
#include <string>
#include <vector>

#include "port_names.h"

const unsigned int kNetworkPort = kMaxComPort + 1;

enum class ENetworkAddress { Ok, NotHostPort, BadHost, BadPort };

// Reads HOST:PORT as a user types it, blanks around it ignored: HOST a host name (letters,
// digits, '-' and '.'), a dotted IPv4 address or an IPv6 address in brackets; PORT 1..65535 in
// decimal. With Ok, address holds the tidy form (no blanks, no leading zeros in the port).
ENetworkAddress ParseNetworkAddress(const std::string& text, std::string& address);
// The name Serilox opens for an address: "tcp://HOST:PORT".
std::string NetworkPortName(const std::string& address);

// One choice after COM1-COM4, in the port menu or the port dialogs.
struct SPortChoice {
    unsigned int nPort;
    std::string strText;
    bool operator==(const SPortChoice& other) const { return nPort == other.nPort && strText == other.strText; }
};
// The port menu after COM4: the present ports beyond COM4 and the current one (even when the
// system no longer lists it), ascending, then "Network port...".
std::vector<SPortChoice> PortMenuChoices(const std::vector<unsigned int>& present, unsigned int current);
// The port dialogs' other ports: the same COM ports, then the network port by its address when
// one is known, so that "Retry" after a refused server tries the server again.
std::vector<SPortChoice> PortDialogChoices(const std::vector<unsigned int>& present, unsigned int current,
                                           const std::string& address);

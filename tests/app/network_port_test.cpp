// Reading a typed network port address, and the port choices of the menu and the dialogs.
#include <gtest/gtest.h>

#include "network_port.h"

namespace {

TEST(NetworkPort, TypedAddressesAreCheckedAndTidied)
{
    const struct {
        const char* pszText;
        ENetworkAddress result;
        const char* pszAddress; // the tidy form when Ok
    } cases[] = {
        {"10.0.0.5:4001", ENetworkAddress::Ok, "10.0.0.5:4001"},
        {"  127.0.0.1:23\t", ENetworkAddress::Ok, "127.0.0.1:23"},
        {"serial-server.room12.example:4001", ENetworkAddress::Ok, "serial-server.room12.example:4001"},
        {"localhost:1", ENetworkAddress::Ok, "localhost:1"},
        {"10.0.0.5:65535", ENetworkAddress::Ok, "10.0.0.5:65535"},
        {"10.0.0.5:04001", ENetworkAddress::Ok, "10.0.0.5:4001"},
        {"[::1]:5000", ENetworkAddress::Ok, "[::1]:5000"},
        {"[fe80::1:2]:23", ENetworkAddress::Ok, "[fe80::1:2]:23"},
        {"", ENetworkAddress::NotHostPort, ""},
        {"   ", ENetworkAddress::NotHostPort, ""},
        {"10.0.0.5", ENetworkAddress::NotHostPort, ""},
        {"10.0.0.5:", ENetworkAddress::NotHostPort, ""},
        {":4001", ENetworkAddress::NotHostPort, ""},
        {"tcp://10.0.0.5:4001", ENetworkAddress::BadHost, ""},
        {"bad host:23", ENetworkAddress::BadHost, ""},
        {"-server:23", ENetworkAddress::BadHost, ""},
        {"server-:23", ENetworkAddress::BadHost, ""},
        {"a..b:23", ENetworkAddress::BadHost, ""},
        {"server.:23", ENetworkAddress::BadHost, ""},
        {"10.0.0.500:23", ENetworkAddress::BadHost, ""},
        {"10.0.0:23", ENetworkAddress::BadHost, ""},
        {"::1:5000", ENetworkAddress::BadHost, ""},
        {"[]:5000", ENetworkAddress::BadHost, ""},
        {"[::g]:5000", ENetworkAddress::BadHost, ""},
        {"h\xe9te:23", ENetworkAddress::BadHost, ""},
        {"10.0.0.5:0", ENetworkAddress::BadPort, ""},
        {"10.0.0.5:65536", ENetworkAddress::BadPort, ""},
        {"10.0.0.5:4001x", ENetworkAddress::BadPort, ""},
        {"10.0.0.5:-1", ENetworkAddress::BadPort, ""},
        {"10.0.0.5:+23", ENetworkAddress::BadPort, ""},
        {"10.0.0.5:99999999999999999999", ENetworkAddress::BadPort, ""},
        {"10.0.0.5: 23", ENetworkAddress::BadPort, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszText);
        std::string address = "untouched";
        EXPECT_EQ(c.result, ParseNetworkAddress(c.pszText, address));
        EXPECT_EQ(c.result == ENetworkAddress::Ok ? c.pszAddress : "untouched", address);
    }
    std::string longName(250, 'a');
    std::string address;
    EXPECT_EQ(ENetworkAddress::BadHost, ParseNetworkAddress(longName + ".abcd:23", address));
    EXPECT_EQ(ENetworkAddress::BadHost, ParseNetworkAddress(std::string(64, 'a') + ":23", address));
    EXPECT_EQ(ENetworkAddress::Ok, ParseNetworkAddress(std::string(63, 'a') + ":23", address));
    EXPECT_EQ("tcp://10.0.0.5:4001", NetworkPortName("10.0.0.5:4001"));
}

TEST(NetworkPort, MenuAndDialogsOfferTheOtherPortsThenTheNetwork)
{
    using V = std::vector<SPortChoice>;
    const struct {
        std::vector<unsigned int> present;
        unsigned int nCurrent;
        const char* pszAddress;
        V menu;
        V dialog;
    } cases[] = {
        {{}, 1, "", {{kNetworkPort, "Network port..."}}, {}},
        {{1, 2, 3, 4}, 2, "10.0.0.5:4001", {{kNetworkPort, "Network port..."}}, {{kNetworkPort, "10.0.0.5:4001"}}},
        // Extra COM ports ascending and once, the current one even when no longer listed.
        {{12, 5, 1, 12},
         9,
         "",
         {{5, "COM5"}, {9, "COM9"}, {12, "COM12"}, {kNetworkPort, "Network port..."}},
         {{5, "COM5"}, {9, "COM9"}, {12, "COM12"}}},
        // The network port in use is never offered as a COM port.
        {{7}, kNetworkPort, "server:23", {{7, "COM7"}, {kNetworkPort, "Network port..."}},
         {{7, "COM7"}, {kNetworkPort, "server:23"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nCurrent);
        EXPECT_EQ(c.menu, PortMenuChoices(c.present, c.nCurrent));
        EXPECT_EQ(c.dialog, PortDialogChoices(c.present, c.nCurrent, c.pszAddress));
    }
}

} // namespace

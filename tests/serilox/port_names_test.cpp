// COM port names as the system lists them and users type them, the device paths that open
// them, and the order in which present ports are offered and tried.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "port_names.h"

namespace {

TEST(PortNames, ParsesComNamesFromOneTo256)
{
    struct {
        const char* text;
        bool ok;
        unsigned int port;
    } const cases[] = {
        {"COM1", true, 1},      {"com7", true, 7},       {"Com12", true, 12},      {"COM256", true, 256},
        {"\\\\.\\COM10", true, 10}, {"\\\\.\\com3", true, 3},
        {"COM0", false, 0},     {"COM257", false, 0},    {"COM1000", false, 0},    {"COM07", false, 0},
        {"COM", false, 0},      {"COM-1", false, 0},     {"COM1a", false, 0},      {"LPT1", false, 0},
        {"/dev/ttyUSB0", false, 0}, {"", false, 0},      {"\\\\.\\", false, 0},    {" COM1", false, 0},
    };
    for (const auto& c : cases) {
        unsigned int port = 0xdeadbeef;
        EXPECT_EQ(c.ok, ParseComPortName(c.text, port)) << c.text;
        if (c.ok)
            EXPECT_EQ(c.port, port) << c.text;
        else
            EXPECT_EQ(0xdeadbeefu, port) << c.text << ": a refused name must leave the port alone";
    }
}

TEST(PortNames, DevicePathsUseTheDeviceNamespaceFromCom10On)
{
    EXPECT_EQ("COM1", ComPortDevice(1));
    EXPECT_EQ("COM9", ComPortDevice(9));
    EXPECT_EQ("\\\\.\\COM10", ComPortDevice(10));
    EXPECT_EQ("\\\\.\\COM256", ComPortDevice(256));
}

TEST(PortNames, ResolvesWhatUsersType)
{
    struct {
        const char* text;
        bool ok;
        const char* device;
    } const cases[] = {
        {"COM5", true, "COM5"},
        {"com12", true, "\\\\.\\COM12"},
        {"\\\\.\\COM12", true, "\\\\.\\COM12"},
        {"COM256", true, "\\\\.\\COM256"},
        {"/dev/ttyUSB0", true, "/dev/ttyUSB0"},
        {"/tmp/sim/port", true, "/tmp/sim/port"},
        {"COMPORT", true, "COMPORT"},
        {"COM0", false, ""},
        {"COM257", false, ""},
        {"com07", false, ""},
        {"\\\\.\\COM999", false, ""},
    };
    for (const auto& c : cases) {
        std::string device = "unchanged";
        EXPECT_EQ(c.ok, ResolvePortName(c.text, device)) << c.text;
        EXPECT_EQ(c.ok ? c.device : "unchanged", device) << c.text;
    }
}

TEST(PortNames, ListedNamesBecomeSortedUniqueNumbers)
{
    // As the system's list gives them: in no particular order, a port may appear twice
    // (two drivers), and not every name is a COM port.
    std::vector<std::string> listed = {"COM12", "COM3", "\\\\.\\COM7", "COM3", "COM2", "CNCA0", "COM100", "COM0"};
    EXPECT_EQ((std::vector<unsigned int>{2, 3, 7, 12, 100}), ComPortNumbers(listed));
    EXPECT_TRUE(ComPortNumbers({}).empty());
}

TEST(PortNames, TheKeptPortIsTriedFirstThenTheOthersAscending)
{
    struct {
        std::vector<unsigned int> present;
        unsigned int kept;
        std::vector<unsigned int> order;
    } const cases[] = {
        {{1, 3, 7}, 7, {7, 1, 3}},
        {{1, 3, 7}, 1, {1, 3, 7}},
        {{12, 5, 7}, 1, {1, 5, 7, 12}}, // the kept port leads even when not listed
        {{}, 4, {4}},
        {{7, 7, 3}, 3, {3, 7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.order, PortsToTry(c.present, c.kept)) << "kept " << c.kept;
}

TEST(PortNames, ExtraPortsAreThoseBeyondCom4)
{
    EXPECT_EQ((std::vector<unsigned int>{5, 7, 12}), ExtraPorts({12, 1, 7, 4, 5, 7}));
    EXPECT_TRUE(ExtraPorts({1, 2, 3, 4}).empty());
    EXPECT_EQ((std::vector<unsigned int>{256}), ExtraPorts({256, 257}));
}

} // namespace

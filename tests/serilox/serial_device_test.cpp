// The serial device over a pseudo-terminal: open/close rules, port names, timed reads.
#include <gtest/gtest.h>

#include <unistd.h>

#include <future>
#include <string>
#include <thread>

#include "engine_level4.h"
#include "message_queue.h"
#include "pseudo_terminal.h"

namespace {

class TestDevice : public CCommSerial {
public:
    TestDevice() : CCommSerial(nullptr, &Idle) {}
    using CCommSerial::SetDeviceName;
    using CCommSerial::SetPort;
    static unsigned int Idle(void* self)
    {
        while (static_cast<CSerilox*>(self)->GetCommFlag() != 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return 0;
    }
    std::string Name() const
    {
        char name[260];
        GetDeviceName(name);
        return name;
    }
};

TEST(SerialDevice, OpenAndCloseRules)
{
    CPseudoTerminal pty;
    TestDevice device;
    EXPECT_EQ(device.CloseSerilox(), ERR_DEVICE) << "never opened";
    device.SetDevicePath(pty.SlavePath().c_str());
    ASSERT_EQ(device.OpenSerilox(), 0);
    EXPECT_EQ(device.OpenSerilox(), ERR_ALREADY_OPEN);

    TestDevice second;
    second.SetDevicePath(pty.SlavePath().c_str());
    EXPECT_EQ(second.OpenSerilox(), ERR_DEVICE) << "ports are not shared";

    EXPECT_EQ(device.ChangePort(1), 0) << "same port: nothing reopened";
    EXPECT_EQ(device.Name(), pty.SlavePath());
    EXPECT_EQ(device.SetDTR(1), 0);
    EXPECT_EQ(device.ChangeCommVelocity(19200), 0);
    EXPECT_EQ(device.GetCommVelocity(), 19200u);
    EXPECT_EQ(device.ChangeCommVelocity(12345), ERR_COMM_STATE);

    EXPECT_EQ(device.CloseSerilox(), 0);
    EXPECT_EQ(device.CloseSerilox(), ERR_DEVICE);
    EXPECT_EQ(device.SetDTR(1), ERR_DEVICE);
    EXPECT_EQ(device.ChangeCommVelocity(9600), ERR_DEVICE);

    TestDevice missing;
    missing.SetDevicePath("/dev/kestrel-no-such-port");
    EXPECT_EQ(missing.OpenSerilox(), ERR_DEVICE);
    EXPECT_EQ(missing.GetDeviceHandle(), nullptr);
}

TEST(SerialDevice, NamesAndSettingsWhileClosed)
{
    TestDevice device;
    EXPECT_EQ(device.Name(), "COM1");
    EXPECT_EQ(device.GetCommVelocity(), 9600u);
    SCommTimeouts t = device.GetTimeOuts();
    EXPECT_EQ(t.ReadIntervalTimeout, 100u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 5000u);

    device.SetPort(3);
    EXPECT_EQ(device.Name(), "COM3");

    SSerialProperty p;
    p.PortNumber = 4;
    p.CommVelocity = 38400;
    p.DataBits = 7;
    p.Parity = kEvenParity;
    EXPECT_EQ(device.ChangeCommProperty(p), ERR_DEVICE);
    EXPECT_EQ(device.Name(), "COM4");
    EXPECT_EQ(device.GetPortNumber(), 4u);
    EXPECT_EQ(device.GetCommVelocity(), 38400u);
    EXPECT_EQ(device.GetDataBits(), 7);
    EXPECT_EQ(device.GetParity(), kEvenParity);

    std::string tooLong(260, 'x');
    EXPECT_EQ(device.SetDeviceName(tooLong.c_str()), 0);
    EXPECT_EQ(device.Name(), "COM4");
    std::string longest(259, 'y');
    EXPECT_EQ(device.SetDeviceName(longest.c_str()), 1);
}

TEST(SerialDevice, ReadsWithinTheLimitAndKeepsPartialBytes)
{
    CPseudoTerminal pty;
    TestDevice device;
    device.SetDevicePath(pty.SlavePath().c_str());
    ASSERT_EQ(device.OpenSerilox(), 0);
    EXPECT_EQ(device.WriteSerilox(CDataInformation(reinterpret_cast<const unsigned char*>("ab"), 2), 2, 0), 0);
    char got[2];
    ASSERT_EQ(read(pty.MasterFd(), got, 2), 2);
    EXPECT_EQ(std::string(got, 2), "ab");

    ASSERT_EQ(write(pty.MasterFd(), "\x01\x02", 2), 2);
    CDataInformation out(16);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device.ReadSerilox(out, 4, 300), ERR_READ_TIMEOUT);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(out.GetSize(), 2u);
    EXPECT_EQ(out.GetAt(1), 0x02);
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::milliseconds(1500));

    ASSERT_EQ(write(pty.MasterFd(), "\x05\x06\x07", 3), 3);
    EXPECT_EQ(device.ReadSerilox(out, 3, 1000), 0);
    EXPECT_EQ(out.GetSize(), 3u);
    EXPECT_EQ(out.GetAt(2), 0x07);
    EXPECT_EQ(device.CloseSerilox(), 0);
    EXPECT_EQ(device.ReadSerilox(out, 1, 10), ERR_DEVICE);
}

TEST(SerialDevice, HangUpEndsAReadWithADeviceError)
{
    CPseudoTerminal pty;
    TestDevice device;
    device.SetDevicePath(pty.SlavePath().c_str());
    ASSERT_EQ(device.OpenSerilox(), 0);
    ASSERT_EQ(write(pty.MasterFd(), "\x01", 1), 1);
    CDataInformation out(16);
    auto read = std::async(std::launch::async, [&] { return device.ReadSerilox(out, 4, 10000); });
    // The byte already there is taken, then the line goes away under the waiting read.
    EXPECT_EQ(read.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    pty.HangUp();
    ASSERT_EQ(read.wait_for(std::chrono::milliseconds(3000)), std::future_status::ready) << "still reading";
    EXPECT_EQ(read.get(), ERR_DEVICE);
    EXPECT_EQ(out.GetSize(), 1u) << "what came before the hang-up is kept";

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device.ReadSerilox(out, 1, 10000), ERR_DEVICE) << "a lost line answers at once";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));
    EXPECT_EQ(device.WriteSerilox(CDataInformation(reinterpret_cast<const unsigned char*>("a"), 1), 1, 5), ERR_DEVICE);
    EXPECT_EQ(device.CloseSerilox(), 0);
}

} // namespace

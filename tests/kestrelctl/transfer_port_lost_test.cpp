// A port that goes away during a logo or cursor transfer (an adapter pulled) is the port's
// failure, told apart from a projector that did not take the data.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <future>

#include "../transfer/bmp_builder.h"
#include "../transfer/temp_folder.h"
#include "ani_info.h"
#include "cursor_set_command.h"
#include "logo_command.h"
#include "projector_session.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"

namespace {

std::string WriteCursorSet(const TempFolder& folder)
{
    CAniInfo set;
    set.CreateNew(8, 32, 32, 4);
    std::string path = folder.Path("lost.csp");
    EXPECT_EQ(set.WriteFile(path.c_str()), CURSOR_FILE_OK);
    return path;
}

std::string WriteBitmap(const TempFolder& folder)
{
    SBmpSpec spec;
    spec.width = 200;
    spec.height = 150;
    spec.bits = 24;
    std::vector<uint8_t> bytes = MakeBmp(spec);
    std::string path = folder.Path("lost.bmp");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

TEST(TransferPortLost, IsAPortFailure)
{
    TempFolder folder;
    struct SCase {
        const char* name;
        std::function<int(const std::string& device)> send;
    } cases[] = {
        {"logo",
         [&](const std::string& device) {
             SLogoOptions options;
             options.device = device;
             options.file = WriteBitmap(folder);
             options.zoom = 100;
             std::string message;
             return SendLogoCommand(options, message);
         }},
        {"cursors", [&](const std::string& device) { return SendCursorSetFile(device, WriteCursorSet(folder), false); }},
    };
    for (const SCase& c : cases) {
        CPseudoTerminal pty;
        ASSERT_TRUE(pty.IsOpen());
        CProjectorSimulator sim(SSimulatorOptions{});
        ASSERT_TRUE(sim.Start(pty.MasterFd())) << sim.Error();
        // Block 1 goes unanswered: the tool is waiting for it when the port goes.
        sim.SetBlockFault(1, EBlockFault::Silent);
        auto status = std::async(std::launch::async, c.send, pty.SlavePath());
        ASSERT_TRUE(sim.Log().WaitFor(
            [](const std::vector<SLogEntry>& entries) {
                int blocks = 0;
                for (const SLogEntry& e : entries)
                    blocks += e.eKind == ELogKind::RxFrame && e.strText.find("0x0902") != std::string::npos;
                return blocks >= 2;
            },
            20000))
            << c.name;
        sim.Stop();
        pty.HangUp();
        ASSERT_EQ(status.wait_for(std::chrono::seconds(30)), std::future_status::ready) << c.name;
        EXPECT_EQ(status.get(), SESSION_NO_PORT) << c.name;
    }
}

} // namespace

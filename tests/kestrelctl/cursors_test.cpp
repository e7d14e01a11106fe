// kestrelctl cursors: a set file sent to the simulated projector, and files that are refused
// before anything is sent.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "ani_info.h"
#include "cursor_set_command.h"
#include "projector_session.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "../transfer/temp_folder.h"

namespace {

class Cursors : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Pty.IsOpen());
        ASSERT_TRUE(m_Sim.Start(m_Pty.MasterFd()));
    }
    std::string WriteSet(int frames, int size)
    {
        CAniInfo set;
        set.CreateNew(frames, size, size, 4);
        for (int f = 0; f < frames; ++f)
            set.GetFrame(f).SetPixel(f, 0, 15 - f);
        std::string path = m_Folder.Path("set.csp");
        EXPECT_EQ(set.WriteFile(path.c_str()), CURSOR_FILE_OK);
        if (frames == 8 && size == 32) {
            EXPECT_TRUE(set.PackImage(m_Image));
        }
        return path;
    }

    CPseudoTerminal m_Pty;
    CProjectorSimulator m_Sim;
    TempFolder m_Folder;
    std::vector<uint8_t> m_Image;
};

TEST_F(Cursors, SendsTheSetImage)
{
    std::string path = WriteSet(8, 32);
    ASSERT_EQ(SendCursorSetFile(m_Pty.SlavePath(), path, false), 0);
    CReceivedBlocks bulk = m_Sim.BulkTransfer();
    EXPECT_EQ(bulk.Blocks().size(), 4u);
    EXPECT_EQ(bulk.Read(0x4F2000, 4096), m_Image);
    EXPECT_EQ(bulk.LastEnd(), 0);
}

TEST_F(Cursors, UnsendableFilesSendNothing)
{
    const struct {
        const char* name;
        std::function<std::string()> file;
    } cases[] = {
        {"missing", [this] { return m_Folder.Path("missing.csp"); }},
        {"seven frames", [this] { return WriteSet(7, 32); }},
        {"48-pixel frames", [this] { return WriteSet(8, 48); }},
        {"not a set",
         [this] {
             std::string path = m_Folder.Path("text.csp");
             std::ofstream(path) << std::string(200, 'x');
             return path;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SendCursorSetFile(m_Pty.SlavePath(), c.file(), false), CURSORS_BAD_FILE);
    }
    EXPECT_TRUE(m_Sim.Log().Entries().empty()) << "nothing reached the projector";
}

TEST_F(Cursors, RefusedTransferIsReported)
{
    std::string path = WriteSet(8, 32);
    m_Sim.PushFaults(std::vector<SFault>(3, SFault{EFault::Nak}));
    EXPECT_EQ(SendCursorSetFile(m_Pty.SlavePath(), path, false), CURSORS_SEND_FAILED);
    EXPECT_TRUE(m_Sim.BulkTransfer().Blocks().empty());
    EXPECT_EQ(SendCursorSetFile("/dev/kestrel-no-such-port", path, false), SESSION_NO_PORT);
}

} // namespace

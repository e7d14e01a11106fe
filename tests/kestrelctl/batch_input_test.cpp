// A batch whose commands cannot be read to their end: the lines read run, the rest is a
// failure of the file, never a session that went well.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/types.h>

#include "batch_command.h"
#include "projector_session.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"

namespace {

// A stream that gives text, then ends, or fails as a drive pulled mid-read does.
struct SSource {
    std::string text;
    bool bFails;
    size_t at = 0;
};

ssize_t ReadSource(void* cookie, char* buffer, size_t size)
{
    SSource& source = *static_cast<SSource*>(cookie);
    if (source.at == source.text.size() && source.bFails) {
        errno = EIO;
        return -1;
    }
    size_t n = std::min(size, source.text.size() - source.at);
    std::memcpy(buffer, source.text.data() + source.at, n);
    source.at += n;
    return static_cast<ssize_t>(n);
}

struct SFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, SFileCloser>;

TEST(BatchInput, CommandsCutShortAreAFileFailure)
{
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    CProjectorSimulator sim(SSimulatorOptions{});
    ASSERT_TRUE(sim.Start(pty.MasterFd())) << sim.Error();
    ASSERT_TRUE(sim.SetValue(1, 0x0300, 3));

    struct SCase {
        const char* name;
        std::string text; // what the stream gives before it fails; "" = a folder
        int status;
        int results; // result lines written
    } cases[] = {
        {"a folder", "", SESSION_BAD_FILE, 0},
        {"after a whole line", "get 0x0300\n", SESSION_BAD_FILE, 1},
        // The cut line would set -1 where the file says -10: it must not run.
        {"within a line", "get 0x0300\nset 0x0300 -1", SESSION_BAD_FILE, 1},
        {"read to its end", "get 0x0300\nset 0x0300 -1", SESSION_OK, 2},
    };
    for (const SCase& c : cases) {
        SSource source{c.text, c.status != SESSION_OK};
        FilePtr in(c.text.empty() ? std::fopen(::testing::TempDir().c_str(), "r")
                                  : fopencookie(&source, "r", {ReadSource, nullptr, nullptr, nullptr}));
        ASSERT_TRUE(in) << c.name;
        char* printed = nullptr;
        size_t length = 0;
        FilePtr out(open_memstream(&printed, &length));
        CProjectorSession session(pty.SlavePath(), 9600);
        int status = RunBatch(session, in.get(), out.get(), SBatchOptions());
        out.reset();
        std::string lines(printed, length);
        std::free(printed);
        EXPECT_EQ(status, c.status) << c.name << "\n" << lines;
        EXPECT_EQ(static_cast<int>(std::count(lines.begin(), lines.end(), '\n')), c.results) << c.name << "\n" << lines;
        long long value = 0;
        ASSERT_TRUE(sim.GetValue(1, 0x0300, value));
        EXPECT_EQ(value, c.status == SESSION_OK ? -1 : 3) << c.name;
    }
}

} // namespace

// The zelqsim program and the with-simulator.sh wrapper, run as the shell would run them.
#include "sim_test_support.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>

extern char** environ;

namespace {

std::string TempDir()
{
    char pattern[] = "/tmp/zelqsim-cli-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "";
}

// A running zelqsim whose first line of output is the port's path.
class CZelqsimProcess {
public:
    explicit CZelqsimProcess(std::vector<std::string> args)
    {
        int out[2];
        if (pipe(out) != 0)
            return;
        args.insert(args.begin(), ZELQSIM_BINARY);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&m_nPid, ZELQSIM_BINARY, &actions, nullptr, argv.data(), environ) != 0)
            m_nPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        m_nOut = out[0];
    }
    ~CZelqsimProcess()
    {
        if (m_nPid > 0) {
            kill(m_nPid, SIGKILL);
            waitpid(m_nPid, nullptr, 0);
        }
        if (m_nOut >= 0)
            close(m_nOut);
    }

    std::string FirstLine()
    {
        CLine out(dup(m_nOut));
        std::string line;
        for (;;) {
            Bytes b = out.Read(1, 5000);
            if (b.empty() || b[0] == '\n')
                return line;
            line += static_cast<char>(b[0]);
        }
    }

    // The exit status after the signal, or -1.
    int Stop(int signal)
    {
        kill(m_nPid, signal);
        int status = 0;
        waitpid(m_nPid, &status, 0);
        m_nPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int Wait()
    {
        int status = 0;
        waitpid(m_nPid, &status, 0);
        m_nPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_nPid = -1;
    int m_nOut = -1;
};

int OpenRaw(const std::string& path)
{
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd >= 0) {
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

int RunShell(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Zelqsim, ServesThePortThroughItsLinkAndControlFifo)
{
    std::string dir = TempDir();
    std::string link = dir + "/port", fifo = dir + "/control", log = dir + "/log";
    ASSERT_EQ(symlink("/dev/null", link.c_str()), 0) << "an old link is replaced";
    CZelqsimProcess sim({"--model", "KT-A101", "--link", link, "--control", fifo, "--log", log});
    std::string slave = sim.FirstLine();
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(slave, target);

    CLine line(OpenRaw(link));
    EXPECT_EQ(line.Transact(Hex("1B 06 02 00 04 F4")), ShortAnswer(0x02, 0x0004, Hex("00 01 20 22")));

    int control = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(control, 0);
    const char commands[] = "fault nak\nbogus command\nreport 0x0012 01\n";
    ASSERT_EQ(write(control, commands, sizeof commands - 1), ssize_t(sizeof commands - 1));
    close(control);
    EXPECT_EQ(line.ReadUnit(2000), ShortFrame(0x02, 0x0012, {0x01}));
    line.Write(ShortFrame(0x02, 0x0300));
    EXPECT_EQ(line.ReadUntilQuiet(300), Bytes{0x15}) << "the fault arrived before the report";

    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    struct stat info;
    EXPECT_NE(lstat(link.c_str(), &info), 0) << "the link goes with the simulator";
    EXPECT_NE(lstat(fifo.c_str(), &info), 0) << "and so does the FIFO it made";
    EXPECT_EQ(stat(log.c_str(), &info), 0);
    EXPECT_GT(info.st_size, 0);
    RunShell("rm -rf " + dir);
}

TEST(Zelqsim, PowerTimingComesFromItsFlag)
{
    std::string dir = TempDir();
    std::string link = dir + "/port";
    CZelqsimProcess sim({"--link", link, "--power", "warming", "--projectors", "1", "--power-ms", "200:200"});
    ASSERT_FALSE(sim.FirstLine().empty());
    CLine line(OpenRaw(link));
    EXPECT_EQ(line.ReadUnit(3000), ShortFrame(0x02, 0x0003, {0x01})) << "warmed up by itself";
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    RunShell("rm -rf " + dir);
}

TEST(Zelqsim, RejectsBadArguments)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--model", "KT-Z999"}, {"--faults", "sometimes"}, {"--random-faults", "5"}, {"--unknown"}, {"--model"},
        {"--power-ms", "30000"}};
    for (const auto& args : bad) {
        CZelqsimProcess sim(args);
        EXPECT_EQ(sim.Wait(), 2) << args[0];
    }
    std::string dir = TempDir();
    ASSERT_EQ(mkdir((dir + "/busy").c_str(), 0700), 0);
    CZelqsimProcess sim({"--link", dir + "/busy"});
    EXPECT_EQ(sim.Wait(), 1) << "a directory is not replaced by the link";
    RunShell("rm -rf " + dir);
}

TEST(WithSimulator, RunsTheCommandAgainstALinkedSimulator)
{
    std::string prefix = "ZELQSIM=" ZELQSIM_BINARY " WINEPREFIX= " WITH_SIMULATOR_SCRIPT " ";
    // The port link and the control FIFO exist while the command runs; its status comes back.
    EXPECT_EQ(RunShell(prefix + "--model KT-B212 -- sh -c "
                                "'test -L \"$KESTREL_PORT\" && test -c \"$KESTREL_PORT\" && "
                                "test -p \"$ZELQSIM_CONTROL\" && exit 5'"),
              5);
    EXPECT_EQ(RunShell(prefix + "-- true"), 0);
    EXPECT_EQ(RunShell(prefix + "--model KT-Z999 -- true 2>/dev/null"), 2) << "a simulator that cannot start";
    EXPECT_EQ(RunShell(prefix + "--model KT-C310 2>/dev/null"), 2) << "no command";
}

TEST(WithSimulator, UsesTheWinePrefixesComPort)
{
    std::string dir = TempDir();
    std::string com1 = dir + "/dosdevices/com1";
    std::string prefix = "ZELQSIM=" ZELQSIM_BINARY " WINEPREFIX=" + dir + " " WITH_SIMULATOR_SCRIPT " ";
    EXPECT_EQ(RunShell(prefix + "-- sh -c 'test \"$KESTREL_PORT\" = COM1 && test -c \"$WINEPREFIX/dosdevices/com1\"'"),
              0);
    struct stat info;
    EXPECT_NE(lstat(com1.c_str(), &info), 0);

    ASSERT_EQ(symlink("/dev/ttyS0", com1.c_str()), 0);
    EXPECT_EQ(RunShell(prefix + "-- sh -c 'readlink \"$WINEPREFIX/dosdevices/com1\" | grep -q /dev/pts/'"), 0);
    char target[256] = {};
    ASSERT_GT(readlink(com1.c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "/dev/ttyS0") << "the prefix's own link comes back";
    RunShell("rm -rf " + dir);
}

} // namespace

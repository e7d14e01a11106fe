#include "pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
bool MakeRaw(int fd)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}
} // namespace

CPseudoTerminal::CPseudoTerminal()
{
    m_nMaster = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_nMaster < 0) {
        m_strError = std::string("posix_openpt: ") + std::strerror(errno);
        return;
    }
    char name[128];
    if (grantpt(m_nMaster) != 0 || unlockpt(m_nMaster) != 0 || ptsname_r(m_nMaster, name, sizeof name) != 0) {
        m_strError = std::string("pseudo-terminal set-up: ") + std::strerror(errno);
        Close();
        return;
    }
    m_strSlavePath = name;
    m_nSlaveHold = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    // Raw on both ends: an echo or a translated CR would show up as bytes the projector sent.
    if (m_nSlaveHold < 0 || !MakeRaw(m_nSlaveHold) || !MakeRaw(m_nMaster)) {
        m_strError = std::string("pseudo-terminal raw mode: ") + std::strerror(errno);
        Close();
    }
}

CPseudoTerminal::~CPseudoTerminal()
{
    Close();
}

void CPseudoTerminal::Close()
{
    if (m_nSlaveHold >= 0)
        close(m_nSlaveHold);
    if (m_nMaster >= 0)
        close(m_nMaster);
    m_nSlaveHold = -1;
    m_nMaster = -1;
}

int CPseudoTerminal::OpenSlave() const
{
    if (m_strSlavePath.empty())
        return -1;
    int fd = open(m_strSlavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && !MakeRaw(fd)) {
        close(fd);
        return -1;
    }
    return fd;
}

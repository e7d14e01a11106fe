// A pseudo-terminal pair for the simulated projector: the simulator runs on the master side,
// the program under test opens the slave path as its serial port.
#pragma once
#include <string>

class CPseudoTerminal {
public:
    CPseudoTerminal(); // check IsOpen(); Error() says why not
    ~CPseudoTerminal();
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    bool IsOpen() const { return m_nMaster >= 0; }
    int MasterFd() const { return m_nMaster; }
    const std::string& SlavePath() const { return m_strSlavePath; }
    const std::string& Error() const { return m_strError; }

    // Opens the slave side in raw mode for a test that talks to the simulator directly;
    // the caller closes the descriptor. -1 on failure.
    int OpenSlave() const;

    // Closes both of this side's descriptors, so whoever has the slave open sees the line hang
    // up, as when an adapter is unplugged. Stop the simulator on the master first.
    void HangUp() { Close(); }

private:
    void Close();

    int m_nMaster = -1;
    // Held open so the master never sees a hang-up while the program under test has the
    // port closed (between runs, or while it reopens at another speed).
    int m_nSlaveHold = -1;
    std::string m_strSlavePath;
    std::string m_strError;
};

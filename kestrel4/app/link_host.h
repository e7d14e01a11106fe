// What the projector link needs from the window system: where engines post, dispatching
// their messages to the receiving handlers, the wait cursor and two questions to the user.
// The main window implements it with Win32; tests implement it on a message queue.
#pragma once
#include <string>
#include <vector>

#include "platform_types.h"

class ILinkHost {
public:
    virtual ~ILinkHost() {}
    // The window the engines post to.
    virtual HWND NotifyWindow() = 0;
    // The device that serves COM port n ("COMn" on Windows).
    virtual std::string PortDevice(unsigned int port) = 0;
    // Dispatches pending messages numbered first..last of the notify window until none is left.
    virtual void PumpMessages(unsigned int first, unsigned int last) = 0;
    // Dispatches every pending message of the thread once.
    virtual void PumpAll() = 0;
    // Sleeps until a message arrives that was not there at the last pump, or ms pass.
    virtual void WaitForMessages(unsigned long ms) = 0;
    // Whether such a message is there, without waiting. A host that cannot tell says no; on a
    // clock that tests move, a wait for its messages then lasts until the clock moves on.
    virtual bool HasNewMessages() { return false; }
    virtual void WaitCursor(bool on) = 0;
    // The port cannot be opened: true with a chosen port (COM1-COM4 or a present one) to
    // retry, false to cancel.
    virtual bool AskPortAgain(unsigned int& port) = 0;
    // The COM ports the system has now, ascending; none known by default.
    virtual std::vector<unsigned int> PresentPorts() { return {}; }
    // A send failed: true to retry.
    virtual bool AskRetrySend() = 0;
};

// The wait cursor for one scope.
class CWaitCursor {
public:
    explicit CWaitCursor(ILinkHost* host) : m_pHost(host)
    {
        if (m_pHost)
            m_pHost->WaitCursor(true);
    }
    ~CWaitCursor()
    {
        if (m_pHost)
            m_pHost->WaitCursor(false);
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    ILinkHost* m_pHost;
};

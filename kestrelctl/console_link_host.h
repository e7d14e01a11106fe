// The projector link's host in a console tool: engines post to the tool's message window,
// and pumping hands their messages to the link's receiving handlers. There is nobody to ask,
// so a port that does not open or a send that fails is final.
#pragma once
#include <deque>
#include <string>

#include "link_host.h"
#include "message_window.h"

class CLinkReceiver;

class CConsoleLinkHost : public ILinkHost {
public:
    explicit CConsoleLinkHost(const std::string& device) : m_strDevice(device) {}
    void SetReceiver(CLinkReceiver* receiver) { m_pReceiver = receiver; }

    HWND NotifyWindow() override { return m_Window.Handle(); }
    std::string PortDevice(unsigned int) override { return m_strDevice; }
    void PumpMessages(unsigned int first, unsigned int last) override;
    void PumpAll() override { PumpMessages(0, ~0u); }
    void WaitForMessages(unsigned long ms) override;
    bool HasNewMessages() override;
    void WaitCursor(bool) override {}
    bool AskPortAgain(unsigned int&) override { return false; }
    bool AskRetrySend() override { return false; }

private:
    std::string m_strDevice;
    CMessageWindow m_Window;
    CLinkReceiver* m_pReceiver = nullptr;
    std::deque<SEngineMessage> m_Waiting; // taken while waiting, not yet handled
    bool m_bNew = false;                  // m_Waiting took a message since the last pump
};

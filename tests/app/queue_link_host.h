// The link's host on a plain message queue: engine messages go to the receiving handlers
// when the link pumps, as the main window's message loop does on Windows.
#pragma once
#include <string>
#include <vector>

#include "link_host.h"
#include "link_receiver.h"
#include "message_queue.h"

class CQueueLinkHost : public ILinkHost {
public:
    HWND NotifyWindow() override { return &m_Queue; }
    std::string PortDevice(unsigned int port) override
    {
        return port >= 1 && port <= m_Ports.size() ? m_Ports[port - 1] : "/dev/kestrel-no-port";
    }
    void PumpMessages(unsigned int first, unsigned int last) override
    {
        m_nSeen = m_Queue.PostCount();
        SQueuedMessage m;
        while (m_Queue.Take(m, first, last))
            Dispatch(m);
    }
    void PumpAll() override { PumpMessages(0, ~0u); }
    void WaitForMessages(unsigned long ms) override { m_Queue.WaitForPost(m_nSeen, ms); }
    bool HasNewMessages() override { return m_Queue.PostCount() != m_nSeen; }
    void WaitCursor(bool on) override { m_nCursorDepth += on ? 1 : -1; }
    bool AskPortAgain(unsigned int& port) override
    {
        ++m_nPortQuestions;
        if (m_PortAnswers.empty())
            return false;
        port = m_PortAnswers.front();
        m_PortAnswers.erase(m_PortAnswers.begin());
        return true;
    }
    std::vector<unsigned int> PresentPorts() override { return m_Present; }
    bool AskRetrySend() override
    {
        ++m_nRetryQuestions;
        return m_nRetryQuestions <= m_nRetries;
    }

    void Dispatch(const SQueuedMessage& m)
    {
        m_Dispatched.push_back(m.message);
        if (m_pReceiver)
            m_pReceiver->OnEngineMessage(m.message, m.wParam, m.lParam);
    }

    CMessageQueue m_Queue;
    CLinkReceiver* m_pReceiver = nullptr;
    std::vector<std::string> m_Ports;        // device of COM1, COM2, ...
    std::vector<unsigned int> m_PortAnswers; // ports chosen in the port dialog, in order
    std::vector<unsigned int> m_Present;     // the ports the system lists
    int m_nRetries = 0;                      // how many retry questions are answered Retry
    int m_nPortQuestions = 0;
    int m_nRetryQuestions = 0;
    int m_nCursorDepth = 0;
    std::vector<unsigned int> m_Dispatched;

private:
    unsigned long m_nSeen = 0;
};

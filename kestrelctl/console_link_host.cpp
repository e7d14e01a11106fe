#include "console_link_host.h"

#include "link_receiver.h"

void CConsoleLinkHost::PumpMessages(unsigned int first, unsigned int last)
{
    SEngineMessage m;
    while (m_Window.Next(m, 0))
        m_Waiting.push_back(m);
    m_bNew = false;
    for (auto it = m_Waiting.begin(); it != m_Waiting.end();) {
        if (it->message < first || it->message > last) {
            ++it;
            continue;
        }
        SEngineMessage handled = *it;
        it = m_Waiting.erase(it);
        if (m_pReceiver)
            m_pReceiver->OnEngineMessage(handled.message, handled.wParam, handled.lParam);
    }
}

void CConsoleLinkHost::WaitForMessages(unsigned long ms)
{
    SEngineMessage m;
    if (m_Window.Next(m, ms)) {
        m_Waiting.push_back(m);
        m_bNew = true;
    }
}

bool CConsoleLinkHost::HasNewMessages()
{
    // Taken off the window so that asking again does not wait.
    SEngineMessage m;
    while (m_Window.Next(m, 0)) {
        m_Waiting.push_back(m);
        m_bNew = true;
    }
    return m_bNew;
}

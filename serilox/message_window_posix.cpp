#include "message_queue.h"
#include "message_window.h"

CMessageWindow::CMessageWindow() : m_hWindow(new CMessageQueue) {}

CMessageWindow::~CMessageWindow()
{
    delete m_hWindow;
}

bool CMessageWindow::Next(SEngineMessage& out, unsigned long timeoutMs)
{
    SQueuedMessage m;
    if (!m_hWindow->Get(m, timeoutMs))
        return false;
    out = {m.message, m.wParam, m.lParam};
    return true;
}

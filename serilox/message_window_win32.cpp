#include "message_window.h"

#include <windows.h>

CMessageWindow::CMessageWindow()
    : m_hWindow(
          CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr))
{
}

CMessageWindow::~CMessageWindow()
{
    DestroyWindow(m_hWindow);
}

bool CMessageWindow::Next(SEngineMessage& out, unsigned long timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, m_hWindow, 0, 0, PM_REMOVE)) {
            out = {msg.message, msg.wParam, msg.lParam};
            return true;
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_POSTMESSAGE);
    }
}

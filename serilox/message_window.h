// Where the engines post their messages in a console tool: a message-only window on
// Windows, the library's queue elsewhere. Messages are read back in posting order.
#pragma once
#include "platform_types.h"

struct SEngineMessage {
    unsigned int message;
    WPARAM wParam;
    LPARAM lParam;
};

class CMessageWindow {
public:
    CMessageWindow();
    ~CMessageWindow();
    CMessageWindow(const CMessageWindow&) = delete;
    CMessageWindow& operator=(const CMessageWindow&) = delete;

    HWND Handle() const { return m_hWindow; }
    // The oldest message, waiting up to timeoutMs for one.
    bool Next(SEngineMessage& out, unsigned long timeoutMs);

private:
    HWND m_hWindow;
};

// CCaptureEdit: a single-line edit that shows the keys pressed in it instead of typing
// them. The key handling is CKeyCapture's; this class only feeds it the window's key
// messages and shows its text. Keys the main window would take first (accelerators, the
// dialog keys) reach it through PreTranslate.
#pragma once
#include "key_capture.h"

#include <windows.h>

#include <functional>
#include <string>

class CCaptureEdit {
public:
    CCaptureEdit(CKeyCapture::EMode mode, int keyboardKind);
    ~CCaptureEdit();
    CCaptureEdit(const CCaptureEdit&) = delete;
    CCaptureEdit& operator=(const CCaptureEdit&) = delete;

    void Attach(HWND edit, std::function<void(const std::string&)> onComplete);
    void SetText(const std::string& text);
    const CKeyCapture& Capture() const { return m_Capture; }

    // Called by the main window's message filter before accelerators and dialog keys;
    // true when the message was a key of a capture field and has been handled.
    static bool PreTranslate(const MSG& msg);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnKey(UINT msg, WPARAM vk);
    void Show();

    CKeyCapture m_Capture;
    HWND m_hEdit = nullptr;
    WNDPROC m_pOldProc = nullptr;
    std::function<void(const std::string&)> m_OnComplete;
};

// CDialogBase: one object per dialog window. The object is stored with the window at
// WM_INITDIALOG and every later message goes to its virtual handler.
#pragma once
#include <windows.h>
#include <string>

class CDialogBase {
public:
    virtual ~CDialogBase();

    // Modeless; the window is returned, or null when the template could not be created.
    HWND Create(UINT templateId, HWND parent);
    INT_PTR DoModal(UINT templateId, HWND parent);
    HWND GetHwnd() const { return m_hWnd; }
    bool Exists() const { return m_hWnd != nullptr && IsWindow(m_hWnd); }

protected:
    // Return TRUE when the message was handled, FALSE for the default dialog handling. By
    // default a modal box: the focus as the template sets it, OK and Cancel end it.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Ends a modal run with the button's ID when msg is a click on OK or Cancel; TRUE then.
    INT_PTR EndOnOkCancel(UINT msg, WPARAM wParam);
    // A result for messages that answer through the dialog's result slot.
    INT_PTR SetResult(LRESULT result);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

HINSTANCE AppInstance();
std::string LoadResString(UINT id);
// A "Name|*.ext|" string resource as the file dialogs take it: NUL for each bar, one more
// at the end.
std::string LoadFileFilter(UINT id);

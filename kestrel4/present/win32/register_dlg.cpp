#include "register_dlg.h"
#include "resource.h"
#include "setting_names.h"

namespace {

const char kOldProcProp[] = "KestrelRegisterEditProc";

// Pastes the clipboard's text without the characters typing refuses; a single-line edit
// takes the first line only.
void PasteName(HWND edit)
{
    if (!OpenClipboard(edit))
        return;
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    text = text.substr(0, text.find_first_of("\r\n"));
    bool removed = false;
    text = WithoutRefusedNameChars(text, &removed);
    if (removed)
        MessageBeep(0);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace

CRegisterDlg::~CRegisterDlg() = default;

LRESULT CALLBACK CRegisterDlg::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldProcProp));
    if (msg == WM_CHAR && IsRefusedNameChar(static_cast<char>(wParam))) {
        MessageBeep(0);
        return 0;
    }
    if (msg == WM_PASTE) {
        PasteName(hwnd);
        return 0;
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kOldProcProp);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    }
    return CallWindowProcA(old, hwnd, msg, wParam, lParam);
}

INT_PTR CRegisterDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        HWND edit = GetDlgItem(m_hWnd, IDC_REGISTER_NAME);
        SendMessageA(edit, EM_LIMITTEXT, kMaxSettingName, 0);
        SetPropA(edit, kOldProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(edit, GWLP_WNDPROC)));
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CRegisterDlg::EditProc));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char name[64] = {0};
            GetDlgItemTextA(m_hWnd, IDC_REGISTER_NAME, name, sizeof name);
            m_strName = name;
        }
        return EndOnOkCancel(msg, wParam);
    }
    return FALSE;
}

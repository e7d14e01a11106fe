#include "dialog_base.h"

CDialogBase::~CDialogBase()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        // The window must not reach a deleted object.
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

HWND CDialogBase::Create(UINT templateId, HWND parent)
{
    return CreateDialogParamA(AppInstance(), MAKEINTRESOURCEA(templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialogBase::DoModal(UINT templateId, HWND parent)
{
    return DialogBoxParamA(AppInstance(), MAKEINTRESOURCEA(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialogBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_INITDIALOG ? TRUE : EndOnOkCancel(msg, wParam);
}

INT_PTR CDialogBase::EndOnOkCancel(UINT msg, WPARAM wParam)
{
    if (msg != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL))
        return FALSE;
    EndDialog(m_hWnd, LOWORD(wParam));
    return TRUE;
}

INT_PTR CDialogBase::SetResult(LRESULT result)
{
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialogBase* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogBase*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) and after the object let go get defaults.
    if (!self)
        return FALSE;
    INT_PTR result = self->HandleMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

HINSTANCE AppInstance()
{
    return GetModuleHandleA(nullptr);
}

std::string LoadResString(UINT id)
{
    char text[512];
    int n = LoadStringA(AppInstance(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::string LoadFileFilter(UINT id)
{
    std::string filter = LoadResString(id);
    for (char& c : filter)
        if (c == '|')
            c = '\0';
    return filter + '\0';
}

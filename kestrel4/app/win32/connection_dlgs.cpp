#include "connection_dlgs.h"

#include "resource.h"

namespace {
const UINT kWaitDialogMs = 30000;
const UINT kPortButtons[4] = {IDC_PORT1, IDC_PORT2, IDC_PORT3, IDC_PORT4};

void ShowExclamation(HWND dialog)
{
    HWND icon = GetDlgItem(dialog, IDC_WARNING_ICON);
    if (icon)
        SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_EXCLAMATION)), 0);
}
} // namespace

void CQuestionDlg::Close()
{
    if (Exists())
        EndDialog(m_hWnd, IDCANCEL);
}

INT_PTR CQuestionDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        ShowExclamation(m_hWnd);
        if (m_nTextId)
            SetDlgItemTextA(m_hWnd, IDC_MESSAGE_TEXT, LoadResString(m_nTextId).c_str());
        return TRUE;
    }
    return EndOnOkCancel(msg, wParam);
}

INT_PTR CPortDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        CheckRadioButton(m_hWnd, IDC_PORT1, IDC_PORT4, kPortButtons[m_nPort >= 1 && m_nPort <= 4 ? m_nPort - 1 : 0]);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            for (unsigned int i = 0; i < 4; ++i)
                if (IsDlgButtonChecked(m_hWnd, kPortButtons[i]) == BST_CHECKED)
                    m_nPort = i + 1;
        }
        return EndOnOkCancel(msg, wParam);
    }
    return FALSE;
}

void CModelessNoticeDlg::Destroy()
{
    if (Exists())
        DestroyWindow(m_hWnd);
}

void CModelessNoticeDlg::ShowText(bool visible)
{
    if (!Exists())
        return;
    HWND text = GetDlgItem(m_hWnd, IDC_MESSAGE_TEXT);
    ShowWindow(text, visible ? SW_SHOW : SW_HIDE);
    UpdateWindow(m_hWnd);
}

INT_PTR CModelessNoticeDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        ShowWindow(m_hWnd, SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(m_hWnd);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void CWaitDlg::Close()
{
    if (Exists())
        EndDialog(m_hWnd, IDCANCEL);
}

INT_PTR CWaitDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetTimer(m_hWnd, IDT_WAIT_DIALOG, kWaitDialogMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == IDT_WAIT_DIALOG) {
            KillTimer(m_hWnd, IDT_WAIT_DIALOG);
            EndDialog(m_hWnd, IDOK);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

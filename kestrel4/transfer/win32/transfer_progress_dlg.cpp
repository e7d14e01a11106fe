#include "transfer_progress_dlg.h"

#include <commctrl.h>
#include <cstdio>

#include "message_box.h"
#include "resource.h"

int KestrelMessage(HWND owner, UINT text, UINT flags)
{
    return ShowMessage(owner, text, flags, IDS_CAPTION);
}

HWND CTransferProgressDialog::Open(HWND owner, UINT title, UINT text, uint32_t size)
{
    m_bCancelled = false;
    if (!Create(IDD_TRANSFER_PROGRESS, owner))
        return nullptr;
    SetWindowTextA(m_hWnd, LoadResString(title).c_str());
    SetDlgItemTextA(m_hWnd, IDC_PROGRESS_TEXT, LoadResString(text).c_str());
    if (!m_bSend) {
        HBITMAP from = LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_SEND_TO));
        HBITMAP to = LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_SEND_FROM));
        SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_FROM, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(from));
        SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_TO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(to));
    }
    SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, ScaleProgress(size).nRange);
    SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    SetDlgItemTextA(m_hWnd, IDC_PROGRESS_PERCENT, "0%");
    ShowWindow(m_hWnd, SW_SHOW);
    UpdateWindow(m_hWnd);
    return m_hWnd;
}

void CTransferProgressDialog::Close()
{
    if (Exists())
        DestroyWindow(m_hWnd);
}

void CTransferProgressDialog::Progress(uint32_t position, int percent)
{
    if (!Exists())
        return;
    SendDlgItemMessageA(m_hWnd, IDC_PROGRESS_BAR, PBM_SETPOS, position, 0);
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", percent);
    SetDlgItemTextA(m_hWnd, IDC_PROGRESS_PERCENT, text);
}

INT_PTR CTransferProgressDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            // The dialog stays until the transfer has ended.
            if (!m_bCancelled && KestrelMessage(m_hWnd, m_nCancelQuestion, MB_YESNO | MB_ICONEXCLAMATION) != IDNO)
                m_bCancelled = true;
            return TRUE;
        }
        break;
    }
    return FALSE;
}

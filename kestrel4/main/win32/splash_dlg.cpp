#include "splash_dlg.h"
#include "resource.h"

namespace {
const UINT kSplashMilliseconds = 3000;
}

void CSplashDlg::AllowClose()
{
    m_bAllowClose = true;
    if (m_bTimeUp && Exists())
        DestroyWindow(m_hWnd);
}

INT_PTR CSplashDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        m_bTimeUp = false;
        m_bAllowClose = false;
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        // SS_REALSIZECONTROL stretches the picture to the window, whatever the dialog font.
        HWND picture = CreateWindowExA(
            0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_REALSIZECONTROL, 0, 0, rc.right, rc.bottom, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SPLASH_PICTURE)), AppInstance(), nullptr);
        m_Bitmap.reset(
            static_cast<HBITMAP>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, 0)));
        SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_Bitmap.get()));
        MoveWindow(picture, 0, 0, rc.right, rc.bottom, FALSE);
        SetTimer(m_hWnd, IDT_SPLASH, kSplashMilliseconds, nullptr);
        return FALSE;
    }
    case WM_TIMER:
        if (wParam != IDT_SPLASH)
            return FALSE;
        KillTimer(m_hWnd, IDT_SPLASH);
        m_bTimeUp = true;
        if (m_bAllowClose)
            DestroyWindow(m_hWnd);
        return TRUE;
    case WM_DESTROY:
        KillTimer(m_hWnd, IDT_SPLASH);
        m_Bitmap.reset();
        return FALSE;
    }
    return FALSE;
}

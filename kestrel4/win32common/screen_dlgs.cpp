#include "screen_dlgs.h"

INT_PTR CScreenDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Nothing of its own yet; FALSE at WM_INITDIALOG leaves the focus where the main window puts it.
    return FALSE;
}

INT_PTR CAboutDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(m_hWnd, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

#include "screen_dlgs.h"

INT_PTR CScreenDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Nothing of its own yet; FALSE at WM_INITDIALOG leaves the focus where the main window puts it.
    return FALSE;
}

// The base of the main window's four screens: child dialogs that show their frame and title;
// the pages of each screen are built on top of CScreenDlg.
#pragma once
#include "dialog_base.h"

class CScreenDlg : public CDialogBase {
protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

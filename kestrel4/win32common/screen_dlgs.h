// The four screens of the main window and the version box. The screens are child dialogs
// that so far show their frame and title; their pages are built on top of CScreenDlg.
#pragma once
#include "dialog_base.h"

class CScreenDlg : public CDialogBase {
protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class CAboutDlg : public CDialogBase {
protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

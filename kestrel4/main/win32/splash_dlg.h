// CSplashDlg: the start-up picture. It stays up for at least its timer's run and until the
// main window has finished starting.
#pragma once
#include "dialog_base.h"
#include "win32_handles.h"

class CSplashDlg : public CDialogBase {
public:
    // The main window is ready: close now if the time is up, else when it is.
    void AllowClose();
    bool TimeIsUp() const { return m_bTimeUp; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool m_bTimeUp = false;
    bool m_bAllowClose = false;
    CBitmap m_Bitmap;
};

// CKestrelApp: start-up and shutdown of the program.
#pragma once
#include <windows.h>

#include "projector_link.h"

class CKestrelDlg;

class CKestrelApp {
public:
    // Runs the program; the result is the process exit code.
    int Run();
    CKestrelDlg* GetMainWindow() const { return m_pMainWnd; }
    CProjectorLink& Link() { return *m_pLink; }

private:
    bool InitInstance();
    void ExitInstance();

    CKestrelDlg* m_pMainWnd = nullptr;
    CProjectorLink* m_pLink = nullptr;
};

CKestrelApp& GetApp();

// CKestrelApp: start-up and shutdown of the program.
#pragma once
#include <windows.h>

#include <memory>

#include "projector_link.h"

class CKestrelDlg;

class CKestrelApp {
public:
    // Runs the program; the result is the process exit code.
    int Run();
    CKestrelDlg* GetMainWindow() const { return m_pMainWnd.get(); }
    CProjectorLink& Link() { return *m_pLink; }

private:
    bool InitInstance();
    void ExitInstance();

    std::unique_ptr<CKestrelDlg> m_pMainWnd;
    std::unique_ptr<CProjectorLink> m_pLink;
};

CKestrelApp& GetApp();

#include "kestrel_app.h"
#include "kestrel_dlg.h"
#include "message_box.h"
#include "resource.h"
#include "win32_handles.h"

#include <commctrl.h>

namespace {

const char kMutexName[] = "Kestrel4";
const char kMainTitle[] = "Kestrel";
const char kDialogClass[] = "#32770";

CKestrelApp theApp;

// Message boxes of the running copy carry the same title; its main window has no owner.
HWND FindRunningCopy()
{
    HWND candidate = nullptr;
    while ((candidate = FindWindowExA(nullptr, candidate, kDialogClass, kMainTitle)) != nullptr)
        if (!GetWindow(candidate, GW_OWNER))
            return candidate;
    return nullptr;
}

// A second copy hands over to the running one: restored if it is minimized.
void WakeRunningCopy()
{
    HWND running = FindRunningCopy();
    if (running && IsIconic(running)) {
        ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
    }
}

bool DisplayHasEnoughColours()
{
    CWindowDC dc(nullptr);
    return GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES) >= 8;
}

} // namespace

CKestrelApp& GetApp()
{
    return theApp;
}

int CKestrelApp::Run()
{
    InitInstance();
    ExitInstance();
    return 0;
}

bool CKestrelApp::InitInstance()
{
    // 1. One copy at a time.
    CHandle mutex(CreateMutexA(nullptr, TRUE, kMutexName));
    if (!mutex)
        return false;
    DWORD wait = WaitForSingleObject(mutex.get(), 0);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        WakeRunningCopy();
        return false;
    }

    // 2. Common controls give the tooltips and the 3-D look.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // 3. Colour depth.
    if (!DisplayHasEnoughColours()) {
        ShowMessage(nullptr, IDS_COLOR_DEPTH, MB_OK | MB_ICONERROR, IDS_CAPTION);
    } else {
        // 4. The projector link; the main window opens it when it connects.
        m_pLink = std::make_unique<CProjectorLink>();
        // 5. The main window and its message loop.
        m_pMainWnd = std::make_unique<CKestrelDlg>();
        if (m_pMainWnd->Create(IDD_KESTREL_DIALOG, nullptr)) {
            MSG msg;
            while (m_pMainWnd->Exists() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
                if (m_pMainWnd->PreTranslateMessage(msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        // 6.
        m_pMainWnd.reset();
    }
    ReleaseMutex(mutex.get());
    return false;
}

void CKestrelApp::ExitInstance()
{
    // Effects may have drawn on the desktop.
    RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    m_pLink.reset();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return GetApp().Run();
}

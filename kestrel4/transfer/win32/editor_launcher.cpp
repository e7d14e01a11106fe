#include "editor_launcher.h"

#include "dialog_base.h"
#include "resource.h"
#include "win32_profile.h"

bool RunEditor(HWND mainWindow, const std::string& arguments, const char* title)
{
    std::string directory = ProgramDirectory();
    std::string line = "\"" + directory + "Glyphpad.exe\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);

    EnableWindow(mainWindow, FALSE);
    bool raised = false;
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, raised ? INFINITE : 100, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            break;
        if (!raised) {
            // Once the editor shows its window, it goes to the top.
            if (HWND editor = FindWindowA(nullptr, title)) {
                SetForegroundWindow(editor);
                BringWindowToTop(editor);
                raised = true;
            }
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CloseHandle(process.hProcess);
    EnableWindow(mainWindow, TRUE);
    SetForegroundWindow(mainWindow);
    return true;
}

void ReportEditorNotStarted(HWND owner)
{
    MessageBoxA(owner, LoadResString(IDS_EDITOR_NOT_STARTED).c_str(), LoadResString(IDS_CAPTION).c_str(),
                MB_OK | MB_ICONERROR);
}

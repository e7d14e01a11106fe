#include "editor_launcher.h"

#include "dialog_base.h"
#include "message_box.h"
#include "resource.h"
#include "win32_profile.h"

namespace {

// How often the wait looks whether the editor is still on top, when nothing else wakes it.
const DWORD kTopCheckMs = 100;

// Whether the editor must be raised: it has not been yet, a window of this program is in the
// foreground, or the main window lies above it (the user can bring the disabled window forward).
bool EditorNeedsRaising(HWND editor, HWND mainWindow, bool raised)
{
    if (!raised)
        return true;
    if (GetForegroundWindow() == editor)
        return false;
    DWORD foregroundProcess = 0;
    if (HWND foreground = GetForegroundWindow())
        GetWindowThreadProcessId(foreground, &foregroundProcess);
    if (foregroundProcess == GetCurrentProcessId())
        return true;
    for (HWND above = GetWindow(editor, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
        if (above == mainWindow)
            return true;
    return false;
}

} // namespace

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
    bool quitting = false;
    int quitCode = 0;
    while (!quitting) {
        DWORD woke = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, kTopCheckMs, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            break;
        // Once the editor shows its window, it goes to the top, and back there whenever the
        // main window has come over it.
        HWND editor = FindWindowA(nullptr, title);
        if (editor && EditorNeedsRaising(editor, mainWindow, raised)) {
            SetForegroundWindow(editor);
            BringWindowToTop(editor);
            raised = true;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // The program is ending: stop waiting for the editor, which runs on by itself,
            // and hand the quit on to the caller's loop once the main window is usable again.
            if (msg.message == WM_QUIT) {
                quitting = true;
                quitCode = static_cast<int>(msg.wParam);
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CloseHandle(process.hProcess);
    EnableWindow(mainWindow, TRUE);
    SetForegroundWindow(mainWindow);
    if (quitting)
        PostQuitMessage(quitCode);
    return true;
}

void ReportEditorNotStarted(HWND owner)
{
    ShowMessage(owner, IDS_EDITOR_NOT_STARTED, MB_OK | MB_ICONERROR, IDS_CAPTION);
}

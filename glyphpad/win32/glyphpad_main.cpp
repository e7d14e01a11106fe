// Glyphpad: started by the main program with a switch that names the mode and the file.
// A command line it does not understand ends it at once, without a window.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "editor_dialog.h"
#include "glyphpad_resource.h"
#include "grid_view.h"
#include "message_box.h"

namespace {

std::string ProgramDirectory()
{
    char path[MAX_PATH] = {0};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, n);
    size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    SEditorStart start;
    if (!ParseEditorCommandLine(commandLine ? commandLine : "", start))
        return 0;
    std::string directory = ProgramDirectory();
    CEditorDocument document(start, directory);
    if (document.Load() != CURSOR_FILE_OK) {
        ShowMessage(nullptr, IDS_READ_FAILED, MB_OK | MB_ICONINFORMATION, IDS_CAPTION);
        return 0;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterGridClasses(instance);

    CEditorDialog dialog(document, directory);
    HWND window = dialog.Create(IDD_GLYPHPAD, nullptr);
    if (!window)
        return 1;
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_GLYPHPAD_ACCEL));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (dialog.Exists() && TranslateAcceleratorA(window, accelerators, &msg))
            continue;
        if (dialog.Exists() && IsDialogMessageA(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

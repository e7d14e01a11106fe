// A stand-in for the Presentation Support screen in the system scenarios: a top-level
// window titled "Kestrel" that hosts the cursor and stamp item pages, passes the editor's
// notices to them, and shows the last notice in control 100.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "item_library_page.h"

namespace {

constexpr int kNoticeId = 100;
CItemLibraryPage* g_pCursors = nullptr;
CItemLibraryPage* g_pStamps = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= 0x52C && msg <= 0x52F) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", msg);
        SetDlgItemTextA(hwnd, kNoticeId, text);
        if (msg == 0x52C && g_pCursors)
            PostMessageA(g_pCursors->GetHwnd(), msg, 0, 0);
        if (msg == 0x52D && g_pStamps)
            PostMessageA(g_pStamps->GetHwnd(), msg, 0, 0);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc = {};
    wc.hInstance = instance;
    wc.lpfnWndProc = HostProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "KestrelItemHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "Kestrel", WS_OVERLAPPEDWINDOW, 20, 20, 620, 640, nullptr, nullptr,
                                instance, nullptr);
    CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 590, 200, 20, host,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNoticeId)), instance, nullptr);
    CItemLibraryPage cursors(ITEM_CURSOR), stamps(ITEM_STAMP);
    g_pCursors = &cursors;
    g_pStamps = &stamps;
    cursors.Create(host, RECT{10, 10, 590, 290});
    stamps.Create(host, RECT{10, 300, 590, 580});
    ShowWindow(host, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(host, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    g_pCursors = g_pStamps = nullptr;
    return 0;
}

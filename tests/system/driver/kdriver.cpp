// kdriver: drives a running Windows program from outside for the system scenarios.
// One command per run, results on standard output, failures in the exit code (0 done, 1 not
// so, 2 no such window or control, 64 usage); or, as "kdriver serve", one command after
// another from standard input (serve.h), each answered with its output and status.
//
//   wait-visible TITLE [ms]        wait until a top-level window TITLE is visible
// TITLE names a window without owner (else an owned one), except for the box commands, which
// look for owned windows (message boxes and dialogs may share the program's title).
//   wait-gone TITLE [ms]           wait until no window TITLE exists
//   count TITLE                    number of top-level windows TITLE
//   iconic TITLE                   1 when minimized
//   show TITLE restore|minimize    ShowWindow from outside
//   foreground TITLE               bring it to the front
//   splash-ms TITLE [ms]           how long the caption-less popup of TITLE stays up
//   splash-shown TITLE             1 while a caption-less popup of TITLE is shown (the splash
//                                  screen, the test pattern window)
//   text TITLE ID                  the text of control ID
//   settext TITLE ID TEXT          set the text of control ID (an edit tells its parent EN_CHANGE)
//   paste TITLE ID TEXT            put TEXT on the clipboard and paste it into control ID
//   enabled TITLE ID               1 when control ID is enabled; ID 0: the window itself
//   topmost TITLE                  1 when the window stays above windows that are not top-most
//   click TITLE ID                 BM_CLICK on control ID (posted)
//   combo TITLE ID                 the items of combo box ID, one a line, selected marked '*'
//   select TITLE ID INDEX          select a combo item and tell the parent
//   list TITLE ID                  the items of list box ID, one a line, selected marked '*'
//   lselect TITLE ID INDEX         select a list box item and tell the parent
//   screen TITLE                   the title of the visible screen (child dialog)
//   menu-state TITLE CMD           "enabled|grayed checked|unchecked" of menu command CMD
//   command TITLE CMD              post WM_COMMAND CMD
//   syscommand TITLE CMD           post WM_SYSCOMMAND CMD
//   key TITLE VK                   post WM_KEYDOWN/WM_KEYUP of VK to the focused control
//   focus TITLE                    the control ID of the focused window of TITLE's thread
//   setfocus TITLE ID              move the keyboard focus to control ID of dialog TITLE, as
//                                  the dialog's own Tab does (WM_NEXTDLGCTL, posted)
//   session-ends TITLE             send WM_ENDSESSION (the session really ends)
//   close TITLE                    post WM_CLOSE
//   end-session TITLE              send WM_QUERYENDSESSION and print the answer
//   box TITLE [ms]                 wait for a message box or dialog TITLE and print its text
//   box-gone TITLE [ms]            wait until box TITLE has closed
//   answer TITLE ID                press button ID (1 OK, 2 Cancel, 6 Yes, 7 No) in box TITLE
//   visible TITLE ID               1 when control ID is visible
//   drop TITLE PATH                drop the file PATH on TITLE's visible window that accepts
//                                  files (WM_DROPFILES with its block in the program's memory)
//   checked TITLE ID               1 when check box or radio button ID is checked
//   pos TITLE ID                   the position of trackbar or up-down ID
//   scroll TITLE ID CODE [POS]     post WM_HSCROLL CODE from control ID to its parent (POS moves
//                                  the control there first, as a released thumb does)
//   tab TITLE ID INDEX             choose tab INDEX of tab control ID as a click does
//   pages TITLE                    the captions of the visible child dialogs below TITLE
//   red TITLE ID                   1 when the screen inside control ID's rectangle shows red
//   center TITLE ID                the screen coordinates of control ID's centre, "X Y"
//   size TITLE ID                  the client size of control ID, "W H"
//   drag TITLE ID X1 Y1 X2 Y2      left button down at X1,Y1 of control ID's client area,
//                                  moves in steps to X2,Y2, button up (posted, as a mouse does)
//   post TITLE MSG                 post message MSG (decimal or 0x...) without arguments
//   rect TITLE ID                  the screen rectangle of control ID's client area, "L T R B"
//   window-rect TITLE              the screen rectangle of the window with its frame, "L T R B"
//   box-rect TITLE                 the same of a message box or dialog TITLE
//   file-name TITLE PATH           type PATH into file dialog TITLE ("Open", "Save As") and press OK
//   pixel TITLE X Y                the screen's colour at X, Y as RRGGBB hex (TITLE is not used)
//   screen-size TITLE              the screen's width and height, "W H" (TITLE is not used)
//   pointer TITLE                  where the system has the mouse pointer, "X Y" (TITLE is not
//                                  used): a pointer moved by the X server is known to the
//                                  programs once this says so
//   overlay TITLE                  1 when a visible, top-most pop-up of TITLE's process covers the
//                                  whole screen
//   disable-overlay TITLE          disable that pop-up, as a modal window of its program would
//   record FILE TEXT               append TEXT and a line break to FILE: the program that
//                                  opens web pages in a scenario's prefix, instead of a browser
//   canvas TITLE LOGFILE           show a window TITLE over the whole screen painted with
//                                  coloured squares and append each key it receives to
//                                  LOGFILE ("down 33", "up 33"), and each left button press
//                                  ("click X Y"); runs until closed
// A TITLE "Main/Page" names the child dialog captioned Page inside the window Main, so that
// controls with the same ID on two pages can be told apart.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "serve.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring Widen(const char* s)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, s, -1, &w[0], n);
    return w;
}

void Print(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
    std::printf("%s\n", s.c_str());
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[1024] = {0};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// Main windows have no owner; message boxes and dialogs of a program are owned by it or
// by another of its windows, and may carry the same title.
enum EWhich { WINDOW_MAIN, WINDOW_BOX };

struct SFind {
    std::wstring title;
    EWhich which;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param)
{
    SFind* find = reinterpret_cast<SFind*>(param);
    wchar_t text[512] = {0};
    GetWindowTextW(hwnd, text, 512);
    bool owned = GetWindow(hwnd, GW_OWNER) != nullptr;
    if (find->title == text && owned == (find->which == WINDOW_BOX))
        find->found.push_back(hwnd);
    return TRUE;
}

EWhich g_Which = WINDOW_MAIN;

// A window or control a command needs is not there: the command ends with status 2.
struct SMissing {
    std::string what;
};

std::vector<HWND> FindAll(const std::wstring& title)
{
    SFind find{title, g_Which, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND Find(const std::wstring& title)
{
    std::vector<HWND> all = FindAll(title);
    return all.empty() ? nullptr : all.front();
}

HWND WaitFor(const std::wstring& title, DWORD ms, bool visible)
{
    DWORD start = GetTickCount();
    do {
        for (HWND hwnd : FindAll(title))
            if (!visible || IsWindowVisible(hwnd))
                return hwnd;
        Sleep(50);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

// A descendant dialog of parent whose caption is text.
HWND FindChildDialog(HWND parent, const std::wstring& text)
{
    struct SSearch {
        std::wstring text;
        HWND found;
    } search{text, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM p) -> BOOL {
            SSearch* s = reinterpret_cast<SSearch*>(p);
            wchar_t cls[64] = {0};
            GetClassNameW(child, cls, 64);
            if (lstrcmpW(cls, L"#32770") == 0 && WindowText(child) == s->text) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Need(const char* title)
{
    std::string path = title;
    size_t slash = path.find('/');
    // A window whose own title has a slash ("Cursor/Stamp Edit") wins over the Main/Page form.
    if (slash != std::string::npos && !Find(Widen(title))) {
        HWND main = Find(Widen(path.substr(0, slash).c_str()));
        HWND page = main ? FindChildDialog(main, Widen(path.substr(slash + 1).c_str())) : nullptr;
        if (!page)
            throw SMissing{std::string("no window \"") + title + "\""};
        return page;
    }
    HWND hwnd = Find(Widen(title));
    if (!hwnd && g_Which == WINDOW_MAIN) {
        // A dialog of the program (owned) when no main window has the title.
        g_Which = WINDOW_BOX;
        hwnd = Find(Widen(title));
        g_Which = WINDOW_MAIN;
    }
    if (!hwnd)
        throw SMissing{std::string("no window \"") + title + "\""};
    return hwnd;
}

HWND NeedItem(HWND parent, const char* id)
{
    HWND item = GetDlgItem(parent, std::atoi(id));
    if (!item) {
        // Controls of child dialogs count too.
        struct SSearch {
            int id;
            HWND found;
        } search{std::atoi(id), nullptr};
        EnumChildWindows(
            parent,
            [](HWND child, LPARAM p) -> BOOL {
                SSearch* s = reinterpret_cast<SSearch*>(p);
                if (GetDlgCtrlID(child) == s->id) {
                    s->found = child;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        item = search.found;
    }
    if (!item)
        throw SMissing{std::string("no control ") + id};
    return item;
}

struct SPopup {
    HWND owner;
    HWND found;
};

// The caption-less popup owned by the main window, or any such popup of its thread.
HWND FindSplash(HWND owner)
{
    SPopup popup{owner, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            SPopup* s = reinterpret_cast<SPopup*>(p);
            if (GetWindow(hwnd, GW_OWNER) == s->owner && IsWindowVisible(hwnd) && GetWindowTextLengthW(hwnd) == 0 &&
                !(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&popup));
    return popup.found;
}

// A visible, top-most, caption-less pop-up of owner's process as large as the screen.
HWND FindOverlay(HWND owner)
{
    SPopup overlay{owner, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            SPopup* s = reinterpret_cast<SPopup*>(p);
            DWORD process = 0, ownerProcess = 0;
            GetWindowThreadProcessId(hwnd, &process);
            GetWindowThreadProcessId(s->owner, &ownerProcess);
            RECT rc;
            GetWindowRect(hwnd, &rc);
            LONG style = GetWindowLongW(hwnd, GWL_STYLE);
            if (process == ownerProcess && IsWindowVisible(hwnd) && (style & WS_POPUP) && !(style & WS_CAPTION) &&
                (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) && rc.left <= 0 && rc.top <= 0 &&
                rc.right >= GetSystemMetrics(SM_CXSCREEN) && rc.bottom >= GetSystemMetrics(SM_CYSCREEN)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&overlay));
    return overlay.found;
}

const char* g_pszKeyLog = nullptr;

LRESULT CALLBACK CanvasProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        for (int y = 0; y < rc.bottom; y += 64)
            for (int x = 0; x < rc.right; x += 64) {
                RECT cell = {x, y, x + 64, y + 64};
                HBRUSH brush = CreateSolidBrush(RGB((x * 3) & 0xFF, (y * 5) & 0xFF, ((x + y) * 2) & 0xFF));
                FillRect(dc, &cell, brush);
                DeleteObject(brush);
            }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (FILE* log = std::fopen(g_pszKeyLog, "a")) {
            std::fprintf(log, "%s %d\n", (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) ? "down" : "up",
                         static_cast<int>(wParam));
            std::fclose(log);
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (FILE* log = std::fopen(g_pszKeyLog, "a")) {
            std::fprintf(log, "click %d %d\n", static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            std::fclose(log);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int RunCanvas(const char* title, const char* log)
{
    g_pszKeyLog = log;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CanvasProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"KdriverCanvas";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, Widen(title).c_str(), WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (!hwnd)
        return 1;
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// The shell's drop: a DROPFILES block and the wide name, ending in two zeros, in the target's
// own memory, posted as the HDROP of WM_DROPFILES to the visible window that accepts files.
bool DropFile(HWND top, const std::wstring& path)
{
    struct SFind {
        HWND found;
    } find = {nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
            if (IsWindowVisible(child) && (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) {
                reinterpret_cast<SFind*>(data)->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    if (!find.found)
        return false;
    std::vector<BYTE> block(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t), 0);
    DROPFILES* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(block.data() + sizeof(DROPFILES)));
    DWORD pid = 0;
    GetWindowThreadProcessId(find.found, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written = remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
    CloseHandle(process);
    return written && PostMessageW(find.found, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

int Usage()
{
    std::fprintf(stderr, "usage: kdriver COMMAND TITLE [ARGS]\n");
    return 64;
}

int Run(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    std::string cmd = argv[1];
    const char* title = argv[2];
    DWORD ms = 10000;
    g_Which = WINDOW_MAIN;
    if (cmd == "box" || cmd == "answer" || cmd == "box-gone" || cmd == "file-name" || cmd == "box-rect")
        g_Which = WINDOW_BOX;
    if (cmd == "record" && argc > 3) {
        FILE* file = std::fopen(title, "ab");
        if (!file)
            return 1;
        std::fprintf(file, "%s\n", argv[3]);
        return std::fclose(file) == 0 ? 0 : 1;
    }
    if (cmd == "pixel" && argc > 4) {
        HDC screen = GetDC(nullptr);
        COLORREF c = GetPixel(screen, std::atoi(argv[3]), std::atoi(argv[4]));
        ReleaseDC(nullptr, screen);
        std::printf("%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
        return 0;
    }
    if (cmd == "pointer") {
        POINT p{};
        GetCursorPos(&p);
        std::printf("%ld %ld\n", static_cast<long>(p.x), static_cast<long>(p.y));
        return 0;
    }
    if (cmd == "screen-size") {
        std::printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (cmd == "file-name" && argc > 3) {
        // The file name box of the file dialogs: a combo box (cmb13) or, in older dialogs, an edit (edt1).
        HWND dialog = WaitFor(Widen(title), ms, true);
        if (!dialog)
            return 1;
        HWND name = GetDlgItem(dialog, 1148);
        if (!name)
            name = GetDlgItem(dialog, 1152);
        if (!name)
            return 2;
        SetWindowTextW(name, Widen(argv[3]).c_str());
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return 0;
    }

    if (cmd == "wait-visible" || cmd == "box") {
        if (argc > 3)
            ms = static_cast<DWORD>(std::atoi(argv[3]));
        HWND hwnd = WaitFor(Widen(title), ms, true);
        if (!hwnd)
            return 1;
        if (cmd == "box") {
            // A message box shows its text in static control 0xFFFF; dialogs in their statics.
            EnumChildWindows(
                hwnd,
                [](HWND child, LPARAM) -> BOOL {
                    wchar_t cls[64] = {0};
                    GetClassNameW(child, cls, 64);
                    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextLengthW(child) > 0)
                        Print(WindowText(child));
                    return TRUE;
                },
                0);
        }
        return 0;
    }
    if (cmd == "wait-gone" || cmd == "box-gone") {
        if (argc > 3)
            ms = static_cast<DWORD>(std::atoi(argv[3]));
        DWORD start = GetTickCount();
        while (Find(Widen(title))) {
            if (GetTickCount() - start > ms)
                return 1;
            Sleep(50);
        }
        return 0;
    }
    if (cmd == "splash-shown") {
        HWND main = Find(Widen(title));
        std::printf("%d\n", main && FindSplash(main) ? 1 : 0);
        return 0;
    }
    if (cmd == "menu-open") {
        // A menu pulled down or popped up anywhere on the desktop (TITLE unused).
        HWND menu = FindWindowW(L"#32768", nullptr);
        std::printf("%d\n", menu && IsWindowVisible(menu) ? 1 : 0);
        return 0;
    }
    if (cmd == "overlay" || cmd == "disable-overlay") {
        HWND main = Find(Widen(title));
        HWND overlay = main ? FindOverlay(main) : nullptr;
        if (cmd == "disable-overlay")
            return overlay && !EnableWindow(overlay, FALSE) ? 0 : 1;
        std::printf("%d\n", overlay ? 1 : 0);
        return 0;
    }
    if (cmd == "count") {
        std::printf("%u\n", static_cast<unsigned>(FindAll(Widen(title)).size()));
        return 0;
    }
    if (cmd == "splash-ms") {
        if (argc > 3)
            ms = static_cast<DWORD>(std::atoi(argv[3]));
        // On stderr, so that the caller can start the program once the watch is on.
        std::fprintf(stderr, "watching\n");
        std::fflush(stderr);
        DWORD start = GetTickCount();
        HWND main = nullptr, splash = nullptr;
        while (!splash && GetTickCount() - start < ms) {
            main = Find(Widen(title));
            if (main)
                splash = FindSplash(main);
            if (!splash)
                Sleep(10);
        }
        if (!splash)
            return 1;
        DWORD seen = GetTickCount();
        while (IsWindow(splash) && IsWindowVisible(splash))
            Sleep(10);
        std::printf("%lu\n", static_cast<unsigned long>(GetTickCount() - seen));
        return 0;
    }

    if (cmd == "canvas" && argc > 3)
        return RunCanvas(title, argv[3]);

    HWND hwnd = Need(title);
    if (cmd == "iconic") {
        std::printf("%d\n", IsIconic(hwnd) ? 1 : 0);
    } else if (cmd == "show" && argc > 3) {
        ShowWindowAsync(hwnd, std::string(argv[3]) == "minimize" ? SW_MINIMIZE : SW_RESTORE);
    } else if (cmd == "foreground") {
        SetForegroundWindow(hwnd);
    } else if (cmd == "foreground-is") {
        std::printf("%d\n", GetForegroundWindow() == hwnd ? 1 : 0);
    } else if (cmd == "text" && argc > 3) {
        Print(WindowText(NeedItem(hwnd, argv[3])));
    } else if (cmd == "settext" && argc > 4) {
        SetWindowTextW(NeedItem(hwnd, argv[3]), Widen(argv[4]).c_str());
    } else if (cmd == "paste" && argc > 4) {
        HWND item = NeedItem(hwnd, argv[3]);
        std::wstring text = Widen(argv[4]);
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (!data || !OpenClipboard(nullptr))
            return 1;
        std::memcpy(GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(data);
        EmptyClipboard();
        bool put = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
        CloseClipboard();
        if (!put)
            return 1;
        // As Ctrl+V does; sent, so the clipboard is read before this program ends.
        SendMessageW(item, WM_PASTE, 0, 0);
    } else if (cmd == "enabled" && argc > 3) {
        HWND item = std::string(argv[3]) == "0" ? hwnd : NeedItem(hwnd, argv[3]);
        std::printf("%d\n", IsWindowEnabled(item) ? 1 : 0);
    } else if (cmd == "topmost") {
        std::printf("%d\n", (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    } else if (cmd == "click" && argc > 3) {
        PostMessageW(NeedItem(hwnd, argv[3]), BM_CLICK, 0, 0);
    } else if (cmd == "combo" && argc > 3) {
        HWND combo = NeedItem(hwnd, argv[3]);
        LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {0};
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 255)
                SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            Print((i == selected ? L"*" : L" ") + std::wstring(item));
        }
    } else if (cmd == "select" && argc > 4) {
        HWND combo = NeedItem(hwnd, argv[3]);
        SendMessageW(combo, CB_SETCURSEL, std::atoi(argv[4]), 0);
        PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    } else if (cmd == "list" && argc > 3) {
        HWND list = NeedItem(hwnd, argv[3]);
        LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {0};
            if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 255)
                SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
            Print((i == selected ? L"*" : L" ") + std::wstring(item));
        }
    } else if (cmd == "lselect" && argc > 4) {
        HWND list = NeedItem(hwnd, argv[3]);
        SendMessageW(list, LB_SETCURSEL, std::atoi(argv[4]), 0);
        PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    } else if (cmd == "screen") {
        // A screen with a caption of its own goes by it; the others by their frame's text.
        HWND child = nullptr;
        while ((child = FindWindowExW(hwnd, child, L"#32770", nullptr)) != nullptr)
            if (IsWindowVisible(child)) {
                HWND frame = GetDlgItem(child, 1050);
                if (GetWindowTextLengthW(child) > 0)
                    Print(WindowText(child));
                else
                    Print(frame ? WindowText(frame) : L"(untitled)");
            }
    } else if (cmd == "size" && argc > 3) {
        RECT rc;
        GetClientRect(NeedItem(hwnd, argv[3]), &rc);
        std::printf("%ld %ld\n", rc.right, rc.bottom);
    } else if (cmd == "drag" && argc > 7) {
        HWND target = NeedItem(hwnd, argv[3]);
        int x1 = std::atoi(argv[4]), y1 = std::atoi(argv[5]), x2 = std::atoi(argv[6]), y2 = std::atoi(argv[7]);
        PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x1, y1));
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            PostMessageW(target, WM_MOUSEMOVE, MK_LBUTTON,
                         MAKELPARAM(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps));
        PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(x2, y2));
    } else if (cmd == "post" && argc > 3) {
        PostMessageW(hwnd, static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)), 0, 0);
    } else if (cmd == "menu-state" && argc > 3) {
        UINT state = GetMenuState(GetMenu(hwnd), static_cast<UINT>(std::atoi(argv[3])), MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1))
            return 1;
        std::printf("%s %s\n", (state & (MF_GRAYED | MF_DISABLED)) ? "grayed" : "enabled",
                    (state & MF_CHECKED) ? "checked" : "unchecked");
    } else if (cmd == "command" && argc > 3) {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), 0), 0);
    } else if (cmd == "syscommand" && argc > 3) {
        PostMessageW(hwnd, WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
    } else if (cmd == "key" && argc > 3) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        HWND target = hwnd;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) && info.hwndFocus)
            target = info.hwndFocus;
        WPARAM vk = static_cast<WPARAM>(std::strtol(argv[3], nullptr, 0));
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    } else if (cmd == "setfocus" && argc > 3) {
        PostMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(NeedItem(hwnd, argv[3])), TRUE);
    } else if (cmd == "focus") {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) || !info.hwndFocus)
            return 1;
        std::printf("%d\n", GetDlgCtrlID(info.hwndFocus));
    } else if (cmd == "end-session") {
        DWORD_PTR answer = 0;
        // Long enough for a question the program asks before it answers to be answered.
        if (!SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 60000, &answer))
            return 1;
        std::printf("%lu\n", static_cast<unsigned long>(answer));
    } else if (cmd == "session-ends") {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer))
            return 1;
    } else if (cmd == "close") {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    } else if (cmd == "answer" && argc > 3) {
        // A hidden window of the same title must not take the answer of the one shown.
        if (HWND shown = WaitFor(Widen(title), 2000, true))
            hwnd = shown;
        HWND button = GetDlgItem(hwnd, std::atoi(argv[3]));
        if (!button)
            return 1;
        PostMessageW(button, BM_CLICK, 0, 0);
    } else if (cmd == "visible" && argc > 3) {
        std::printf("%d\n", IsWindowVisible(NeedItem(hwnd, argv[3])) ? 1 : 0);
    } else if (cmd == "checked" && argc > 3) {
        std::printf("%d\n", SendMessageW(NeedItem(hwnd, argv[3]), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    } else if (cmd == "pos" && argc > 3) {
        HWND control = NeedItem(hwnd, argv[3]);
        wchar_t cls[64] = {0};
        GetClassNameW(control, cls, 64);
        bool trackbar = lstrcmpiW(cls, L"msctls_trackbar32") == 0;
        std::printf("%d\n", static_cast<int>(SendMessageW(control, trackbar ? TBM_GETPOS : UDM_GETPOS32, 0, 0)));
    } else if (cmd == "scroll" && argc > 4) {
        HWND control = NeedItem(hwnd, argv[3]);
        int code = std::atoi(argv[4]);
        int pos = argc > 5 ? std::atoi(argv[5]) : 0;
        if (argc > 5) {
            wchar_t cls[64] = {0};
            GetClassNameW(control, cls, 64);
            if (lstrcmpiW(cls, L"msctls_trackbar32") == 0)
                SendMessageW(control, TBM_SETPOS, TRUE, pos);
            else
                SendMessageW(control, UDM_SETPOS32, 0, pos);
        }
        PostMessageW(GetParent(control), WM_HSCROLL, MAKEWPARAM(code, pos & 0xFFFF), reinterpret_cast<LPARAM>(control));
    } else if (cmd == "tab" && argc > 4) {
        // Setting the focus of a tab control without buttons selects the tab and notifies
        // the parent in the program's own process, as a click would.
        PostMessageW(NeedItem(hwnd, argv[3]), TCM_SETCURFOCUS, static_cast<WPARAM>(std::atoi(argv[4])), 0);
    } else if (cmd == "pages") {
        EnumChildWindows(
            hwnd,
            [](HWND child, LPARAM) -> BOOL {
                wchar_t cls[64] = {0};
                GetClassNameW(child, cls, 64);
                if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(child) && GetWindowTextLengthW(child) > 0)
                    Print(WindowText(child));
                return TRUE;
            },
            0);
    } else if (cmd == "drop" && argc > 3) {
        return DropFile(hwnd, Widen(argv[3])) ? 0 : 1;
    } else if (cmd == "center" && argc > 3) {
        RECT rc;
        GetWindowRect(NeedItem(hwnd, argv[3]), &rc);
        std::printf("%ld %ld\n", (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    } else if (cmd == "rect" && argc > 3) {
        HWND control = NeedItem(hwnd, argv[3]);
        RECT rc;
        GetClientRect(control, &rc);
        MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    } else if (cmd == "window-rect" || cmd == "box-rect") {
        if (HWND shown = WaitFor(Widen(title), 2000, true))
            hwnd = shown;
        RECT rc;
        GetWindowRect(hwnd, &rc);
        std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    } else if (cmd == "red" && argc > 3) {
        RECT rc;
        GetWindowRect(NeedItem(hwnd, argv[3]), &rc);
        HDC screen = GetDC(nullptr);
        int red = 0;
        for (int y = rc.top; y < rc.bottom && !red; ++y)
            for (int x = rc.left; x < rc.right && !red; ++x) {
                COLORREF c = GetPixel(screen, x, y);
                if (GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60)
                    red = 1;
            }
        ReleaseDC(nullptr, screen);
        std::printf("%d\n", red);
    } else {
        return Usage();
    }
    return 0;
}

// One command, argv[0] being the program's name.
int RunCommand(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const SMissing& missing) {
        std::fprintf(stderr, "%s\n", missing.what.c_str());
        return 2;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "serve") == 0)
        return ServeCommands(RunCommand);
    return RunCommand(argc, argv);
}

// kdriver: drives a running Windows program from outside for the system scenarios.
// One command per run; results go to standard output, failures to the exit code.
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
//   text TITLE ID                  the text of control ID
//   enabled TITLE ID               1 when control ID is enabled
//   click TITLE ID                 BM_CLICK on control ID (posted)
//   combo TITLE ID                 the items of combo box ID, one a line, selected marked '*'
//   select TITLE ID INDEX          select a combo item and tell the parent
//   screen TITLE                   the title of the visible screen (child dialog)
//   menu-state TITLE CMD           "enabled|grayed checked|unchecked" of menu command CMD
//   command TITLE CMD              post WM_COMMAND CMD
//   syscommand TITLE CMD           post WM_SYSCOMMAND CMD
//   key TITLE VK                   post WM_KEYDOWN/WM_KEYUP of VK to the focused control
//   focus TITLE                    the control ID of the focused window of TITLE's thread
//   session-ends TITLE             send WM_ENDSESSION (the session really ends)
//   close TITLE                    post WM_CLOSE
//   end-session TITLE              send WM_QUERYENDSESSION and print the answer
//   box TITLE [ms]                 wait for a message box or dialog TITLE and print its text
//   box-gone TITLE [ms]            wait until box TITLE has closed
//   answer TITLE ID                press button ID (1 OK, 2 Cancel, 6 Yes, 7 No) in box TITLE
//   visible TITLE ID               1 when control ID is visible
//   checked TITLE ID               1 when check box or radio button ID is checked
//   pos TITLE ID                   the position of trackbar or up-down ID
//   scroll TITLE ID CODE [POS]     post WM_HSCROLL CODE from control ID to its parent (POS moves
//                                  the control there first, as a released thumb does)
//   tab TITLE ID INDEX             choose tab INDEX of tab control ID as a click does
//   pages TITLE                    the captions of the visible child dialogs below TITLE
//   red TITLE ID                   1 when the screen inside control ID's rectangle shows red
//   center TITLE ID                the screen coordinates of control ID's centre, "X Y"
// A TITLE "Main/Page" names the child dialog captioned Page inside the window Main, so that
// controls with the same ID on two pages can be told apart.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring Widen(const char* s)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, s, -1, &w[0], n);
    return w;
}

void Print(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], n, nullptr, nullptr);
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
    if (find->title == text && owned == (find->which == WINDOW_BOX)) find->found.push_back(hwnd);
    return TRUE;
}

EWhich g_Which = WINDOW_MAIN;

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
            if (!visible || IsWindowVisible(hwnd)) return hwnd;
        Sleep(50);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

// A descendant dialog of parent whose caption is text.
HWND FindChildDialog(HWND parent, const std::wstring& text)
{
    struct SSearch { std::wstring text; HWND found; } search{text, nullptr};
    EnumChildWindows(parent, [](HWND child, LPARAM p) -> BOOL {
        SSearch* s = reinterpret_cast<SSearch*>(p);
        wchar_t cls[64] = {0};
        GetClassNameW(child, cls, 64);
        if (lstrcmpW(cls, L"#32770") == 0 && WindowText(child) == s->text) { s->found = child; return FALSE; }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Need(const char* title)
{
    std::string path = title;
    size_t slash = path.find('/');
    if (slash != std::string::npos) {
        HWND main = Find(Widen(path.substr(0, slash).c_str()));
        HWND page = main ? FindChildDialog(main, Widen(path.substr(slash + 1).c_str())) : nullptr;
        if (!page) {
            std::fprintf(stderr, "no window \"%s\"\n", title);
            std::exit(2);
        }
        return page;
    }
    HWND hwnd = Find(Widen(title));
    if (!hwnd && g_Which == WINDOW_MAIN) {
        // A dialog of the program (owned) when no main window has the title.
        g_Which = WINDOW_BOX;
        hwnd = Find(Widen(title));
        g_Which = WINDOW_MAIN;
    }
    if (!hwnd) {
        std::fprintf(stderr, "no window \"%s\"\n", title);
        std::exit(2);
    }
    return hwnd;
}

HWND NeedItem(HWND parent, const char* id)
{
    HWND item = GetDlgItem(parent, std::atoi(id));
    if (!item) {
        // Controls of child dialogs count too.
        struct SSearch { int id; HWND found; } search{std::atoi(id), nullptr};
        EnumChildWindows(parent, [](HWND child, LPARAM p) -> BOOL {
            SSearch* s = reinterpret_cast<SSearch*>(p);
            if (GetDlgCtrlID(child) == s->id) { s->found = child; return FALSE; }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&search));
        item = search.found;
    }
    if (!item) {
        std::fprintf(stderr, "no control %s\n", id);
        std::exit(2);
    }
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
    EnumWindows([](HWND hwnd, LPARAM p) -> BOOL {
        SPopup* s = reinterpret_cast<SPopup*>(p);
        if (GetWindow(hwnd, GW_OWNER) == s->owner && IsWindowVisible(hwnd) && GetWindowTextLengthW(hwnd) == 0 &&
            !(GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION)) {
            s->found = hwnd;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&popup));
    return popup.found;
}

int Usage()
{
    std::fprintf(stderr, "usage: kdriver COMMAND TITLE [ARGS]\n");
    return 64;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return Usage();
    std::string cmd = argv[1];
    const char* title = argv[2];
    DWORD ms = 10000;
    if (cmd == "box" || cmd == "answer" || cmd == "box-gone") g_Which = WINDOW_BOX;

    if (cmd == "wait-visible" || cmd == "box") {
        if (argc > 3) ms = static_cast<DWORD>(std::atoi(argv[3]));
        HWND hwnd = WaitFor(Widen(title), ms, true);
        if (!hwnd) return 1;
        if (cmd == "box") {
            // A message box shows its text in static control 0xFFFF; dialogs in their statics.
            EnumChildWindows(hwnd, [](HWND child, LPARAM) -> BOOL {
                wchar_t cls[64] = {0};
                GetClassNameW(child, cls, 64);
                if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextLengthW(child) > 0) Print(WindowText(child));
                return TRUE;
            }, 0);
        }
        return 0;
    }
    if (cmd == "wait-gone" || cmd == "box-gone") {
        if (argc > 3) ms = static_cast<DWORD>(std::atoi(argv[3]));
        DWORD start = GetTickCount();
        while (Find(Widen(title))) {
            if (GetTickCount() - start > ms) return 1;
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
    if (cmd == "count") {
        std::printf("%u\n", static_cast<unsigned>(FindAll(Widen(title)).size()));
        return 0;
    }
    if (cmd == "splash-ms") {
        if (argc > 3) ms = static_cast<DWORD>(std::atoi(argv[3]));
        // On stderr, so that the caller can start the program once the watch is on.
        std::fprintf(stderr, "watching\n");
        std::fflush(stderr);
        DWORD start = GetTickCount();
        HWND main = nullptr, splash = nullptr;
        while (!splash && GetTickCount() - start < ms) {
            main = Find(Widen(title));
            if (main) splash = FindSplash(main);
            if (!splash) Sleep(10);
        }
        if (!splash) return 1;
        DWORD seen = GetTickCount();
        while (IsWindow(splash) && IsWindowVisible(splash)) Sleep(10);
        std::printf("%lu\n", static_cast<unsigned long>(GetTickCount() - seen));
        return 0;
    }

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
    } else if (cmd == "enabled" && argc > 3) {
        std::printf("%d\n", IsWindowEnabled(NeedItem(hwnd, argv[3])) ? 1 : 0);
    } else if (cmd == "click" && argc > 3) {
        PostMessageW(NeedItem(hwnd, argv[3]), BM_CLICK, 0, 0);
    } else if (cmd == "combo" && argc > 3) {
        HWND combo = NeedItem(hwnd, argv[3]);
        LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[256] = {0};
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 255) SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            Print((i == selected ? L"*" : L" ") + std::wstring(item));
        }
    } else if (cmd == "select" && argc > 4) {
        HWND combo = NeedItem(hwnd, argv[3]);
        SendMessageW(combo, CB_SETCURSEL, std::atoi(argv[4]), 0);
        PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    } else if (cmd == "lbselect" && argc > 4) {
        HWND list = NeedItem(hwnd, argv[3]);
        SendMessageW(list, LB_SETCURSEL, std::atoi(argv[4]), 0);
        PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    } else if (cmd == "screen") {
        HWND child = nullptr;
        while ((child = FindWindowExW(hwnd, child, L"#32770", nullptr)) != nullptr)
            if (IsWindowVisible(child)) {
                HWND frame = GetDlgItem(child, 1050);
                Print(frame ? WindowText(frame) : L"(untitled)");
            }
    } else if (cmd == "menu-state" && argc > 3) {
        UINT state = GetMenuState(GetMenu(hwnd), static_cast<UINT>(std::atoi(argv[3])), MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1)) return 1;
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
        if (GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
        WPARAM vk = static_cast<WPARAM>(std::strtol(argv[3], nullptr, 0));
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    } else if (cmd == "focus") {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) || !info.hwndFocus) return 1;
        std::printf("%d\n", GetDlgCtrlID(info.hwndFocus));
    } else if (cmd == "end-session") {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)) return 1;
        std::printf("%lu\n", static_cast<unsigned long>(answer));
    } else if (cmd == "session-ends") {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer)) return 1;
    } else if (cmd == "close") {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    } else if (cmd == "answer" && argc > 3) {
        HWND button = GetDlgItem(hwnd, std::atoi(argv[3]));
        if (!button) return 1;
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
            if (lstrcmpiW(cls, L"msctls_trackbar32") == 0) SendMessageW(control, TBM_SETPOS, TRUE, pos);
            else SendMessageW(control, UDM_SETPOS32, 0, pos);
        }
        PostMessageW(GetParent(control), WM_HSCROLL, MAKEWPARAM(code, pos & 0xFFFF), reinterpret_cast<LPARAM>(control));
    } else if (cmd == "tab" && argc > 4) {
        // Setting the focus of a tab control without buttons selects the tab and notifies
        // the parent in the program's own process, as a click would.
        PostMessageW(NeedItem(hwnd, argv[3]), TCM_SETCURFOCUS, static_cast<WPARAM>(std::atoi(argv[4])), 0);
    } else if (cmd == "pages") {
        EnumChildWindows(hwnd, [](HWND child, LPARAM) -> BOOL {
            wchar_t cls[64] = {0};
            GetClassNameW(child, cls, 64);
            if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(child) && GetWindowTextLengthW(child) > 0)
                Print(WindowText(child));
            return TRUE;
        }, 0);
    } else if (cmd == "center" && argc > 3) {
        RECT rc;
        GetWindowRect(NeedItem(hwnd, argv[3]), &rc);
        std::printf("%ld %ld\n", (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    } else if (cmd == "red" && argc > 3) {
        RECT rc;
        GetWindowRect(NeedItem(hwnd, argv[3]), &rc);
        HDC screen = GetDC(nullptr);
        int red = 0;
        for (int y = rc.top; y < rc.bottom && !red; ++y)
            for (int x = rc.left; x < rc.right && !red; ++x) {
                COLORREF c = GetPixel(screen, x, y);
                if (GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60) red = 1;
            }
        ReleaseDC(nullptr, screen);
        std::printf("%d\n", red);
    } else {
        return Usage();
    }
    return 0;
}

// The keyboard and mouse hooks: low-level hooks on a thread of the library's own inside the
// calling process. Nothing is loaded into other programs and nothing is shared with them;
// the hook thread asks the process's filter whether to swallow an input and posts the
// notification to the target window, so a busy window never holds up anyone's input.
#include "tapline.h"
#include "tapline_internal.h"

#include <atomic>
#include <mutex>

#include "../core/low_level_input.h"

HINSTANCE g_hTaplineModule;

namespace {

enum EHookKind { HOOK_KEYBOARD, HOOK_MOUSE, HOOK_KINDS };

// Thread messages to the hook thread; wParam is the hook kind.
const UINT kInstallMessage = WM_APP + 1;
const UINT kRemoveMessage = WM_APP + 2;

std::atomic<HWND> s_targets[HOOK_KINDS];
HHOOK s_hooks[HOOK_KINDS]; // the hook thread's own

// The filter and its context change together and never while the hook thread asks it.
std::mutex s_filterLock;
TaplineFilter s_pFilter;
void* s_pFilterContext;

int AskFilter(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> hold(s_filterLock);
    return s_pFilter ? s_pFilter(s_pFilterContext, message, wParam, lParam) : 0;
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HC_ACTION)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    const KBDLLHOOKSTRUCT& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    WPARAM vk = static_cast<WPARAM>(tapline::ReportedKeyCode(key.vkCode));
    LPARAM flags = static_cast<LPARAM>(tapline::KeystrokeFlags(key.scanCode, key.flags));
    int swallow = AskFilter(WM_TAPLINE_KEY, vk, flags);
    PostMessageA(s_targets[HOOK_KEYBOARD].load(), WM_TAPLINE_KEY, vk, flags);
    // A key not taken goes on to the hooks after this one, and then to its program.
    return swallow ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HC_ACTION)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    const MSLLHOOKSTRUCT& data = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    // A click on the bare desktop leaves no foreground window, and keyboard input with it.
    if ((wParam == WM_LBUTTONUP || wParam == WM_RBUTTONUP) && !GetForegroundWindow())
        SetForegroundWindow(GetTopWindow(nullptr));
    // The point is in physical screen coordinates, as GetCursorPos gives it to a program
    // aware of each monitor's scale.
    LPARAM packed = static_cast<LPARAM>(tapline::PackMousePoint(data.pt.x, data.pt.y));
    int swallow = AskFilter(WM_TAPLINE_MOUSE, wParam, packed);
    PostMessageA(s_targets[HOOK_MOUSE].load(), WM_TAPLINE_MOUSE, wParam, packed);
    return swallow ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

const int kHookTypes[HOOK_KINDS] = {WH_KEYBOARD_LL, WH_MOUSE_LL};
const HOOKPROC kHookProcs[HOOK_KINDS] = {KeyboardProc, MouseProc};

// The thread that owns both hooks: the system calls low-level hooks on the thread that
// installed them, from its message loop. It runs while a hook is installed and holds a
// reference to the library, so that the library cannot be unloaded under it.
class CHookThread {
public:
    // Both wait until the hook thread has done it.
    void Install(EHookKind kind) { Ask(kInstallMessage, kind); }
    void Remove(EHookKind kind) { Ask(kRemoveMessage, kind); }
    bool IsInstalled(EHookKind kind)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_installed[kind];
    }
    // The library is unloaded while the process goes on: the thread must go first.
    void StopForUnload();

private:
    void Ask(UINT message, EHookKind kind);
    bool StartLocked();
    static DWORD WINAPI Run(LPVOID);

    std::mutex m_lock;
    HANDLE m_hThread = nullptr;
    DWORD m_nThreadId = 0;
    HANDLE m_hDone = nullptr; // signalled when the thread has answered a request
    bool m_installed[HOOK_KINDS] = {};
};

CHookThread s_thread;

DWORD WINAPI CHookThread::Run(LPVOID)
{
    MSG msg;
    // The thread's message queue exists from here on.
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(s_thread.m_hDone);
    HMODULE self = g_hTaplineModule;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && (msg.message == kInstallMessage || msg.message == kRemoveMessage)) {
            EHookKind kind = static_cast<EHookKind>(msg.wParam);
            if (msg.message == kInstallMessage && !s_hooks[kind])
                s_hooks[kind] = SetWindowsHookExA(kHookTypes[kind], kHookProcs[kind], g_hTaplineModule, 0);
            if (msg.message == kRemoveMessage && s_hooks[kind]) {
                UnhookWindowsHookEx(s_hooks[kind]);
                s_hooks[kind] = nullptr;
            }
            bool idle = !s_hooks[HOOK_KEYBOARD] && !s_hooks[HOOK_MOUSE];
            if (idle)
                PostQuitMessage(0);
            SetEvent(s_thread.m_hDone);
            continue;
        }
        DispatchMessageA(&msg);
    }
    FreeLibraryAndExitThread(self, 0);
}

bool CHookThread::StartLocked()
{
    if (m_hThread && WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT)
        return true;
    if (m_hThread) {
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    if (!m_hDone)
        m_hDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HMODULE reference = nullptr;
    if (!m_hDone || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                        reinterpret_cast<LPCSTR>(&CHookThread::Run), &reference))
        return false;
    m_hThread = CreateThread(nullptr, 0, Run, nullptr, 0, &m_nThreadId);
    if (!m_hThread) {
        FreeLibrary(reference);
        return false;
    }
    // The thread's input is the whole desktop's: it must never wait behind normal work.
    SetThreadPriority(m_hThread, THREAD_PRIORITY_HIGHEST);
    HANDLE waits[2] = {m_hDone, m_hThread};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0;
}

void CHookThread::Ask(UINT message, EHookKind kind)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (message == kRemoveMessage && !m_installed[kind])
        return;
    if (!StartLocked())
        return;
    if (!PostThreadMessageA(m_nThreadId, message, kind, 0))
        return;
    HANDLE waits[2] = {m_hDone, m_hThread};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    m_installed[kind] = message == kInstallMessage && s_hooks[kind] != nullptr;
    // The last hook gone, the thread ends; the next install starts a new one.
    if (!m_installed[HOOK_KEYBOARD] && !m_installed[HOOK_MOUSE]) {
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
}

void CHookThread::StopForUnload()
{
    // Only reached when no hook is installed: the thread holds the library while one is.
    if (m_hThread) {
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    if (m_hDone) {
        CloseHandle(m_hDone);
        m_hDone = nullptr;
    }
}

void Install(EHookKind kind, HWND notify)
{
    HWND current = s_targets[kind].load();
    // A hook left for a window that is gone would report to nobody, and keeping it would
    // block every later install.
    if (s_thread.IsInstalled(kind) && current && !IsWindow(current))
        s_thread.Remove(kind);
    if (s_thread.IsInstalled(kind))
        return;
    // The target first: the hook reports from the moment it is installed.
    s_targets[kind] = notify;
    s_thread.Install(kind);
}

void Remove(EHookKind kind)
{
    s_thread.Remove(kind);
    s_targets[kind] = nullptr;
}

} // namespace

void HooksDetach(bool unloading)
{
    if (unloading)
        s_thread.StopForUnload();
}

TAPLINE_API int WINAPI HookKeyboard(HWND notify)
{
    Install(HOOK_KEYBOARD, notify);
    return 1;
}

TAPLINE_API int WINAPI UnhookKeyboard()
{
    Remove(HOOK_KEYBOARD);
    return 1;
}

TAPLINE_API int WINAPI HookMouse(HWND notify)
{
    Install(HOOK_MOUSE, notify);
    return 1;
}

TAPLINE_API int WINAPI UnhookMouse()
{
    Remove(HOOK_MOUSE);
    return 1;
}

TAPLINE_API int WINAPI SetHookFilter(TaplineFilter filter, void* context)
{
    std::lock_guard<std::mutex> hold(s_filterLock);
    s_pFilter = filter;
    s_pFilterContext = context;
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_hTaplineModule = hInstance;
        DisableThreadLibraryCalls(hInstance);
        return PlaybackAttach() ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        // At process exit the system removes hooks and timers itself.
        HooksDetach(reserved == nullptr);
        PlaybackDetach(reserved == nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}

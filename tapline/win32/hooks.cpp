// The system-wide keyboard and mouse hooks. Their procedures run in whichever process
// receives the input and find the target window in the shared block.
#include "tapline.h"
#include "tapline_internal.h"

using tapline::STaplineShared;

// One copy for every process that loads the library.
STaplineShared g_shared __attribute__((section(".tapshr"), shared)) = {};

HINSTANCE g_hTaplineModule;

namespace {

struct SHookSlot {
    uint32_t STaplineShared::*pHook;
    uint32_t STaplineShared::*pTarget;
    int nHookType;
    HOOKPROC pProc;
    bool bInstalledHere; // per process: this process owns the installed hook
};

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
        return SendMessageA(FromShared<HWND>(g_shared.hKeyboardTarget), WM_TAPLINE_KEY, wParam, lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    const MOUSEHOOKSTRUCT data = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    switch (wParam) {
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        SetCapture(data.hwnd);
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        ReleaseCapture();
        break;
    default:
        break;
    }
    // A click on the bare desktop leaves no foreground window, and keyboard input with it.
    if ((wParam == WM_LBUTTONUP || wParam == WM_RBUTTONUP) && !GetForegroundWindow())
        SetForegroundWindow(GetTopWindow(nullptr));
    LPARAM packed = static_cast<LPARAM>(tapline::PackMousePoint(data.pt.x, data.pt.y));
    // For code >= 0 the next hook is never called: the answer alone decides.
    return SendMessageA(FromShared<HWND>(g_shared.hMouseTarget), WM_TAPLINE_MOUSE, wParam, packed);
}

SHookSlot s_keyboard = {&STaplineShared::hKeyboardHook, &STaplineShared::hKeyboardTarget, WH_KEYBOARD, KeyboardProc,
                        false};
SHookSlot s_mouse = {&STaplineShared::hMouseHook, &STaplineShared::hMouseTarget, WH_MOUSE, MouseProc, false};

uint32_t& HookOf(const SHookSlot& slot)
{
    return g_shared.*slot.pHook;
}

uint32_t& TargetOf(const SHookSlot& slot)
{
    return g_shared.*slot.pTarget;
}

void ClearSlot(SHookSlot& slot)
{
    HookOf(slot) = 0;
    TargetOf(slot) = 0;
    slot.bInstalledHere = false;
}

void Install(SHookSlot& slot, HWND notify)
{
    // A process that ended without unhooking leaves its handle behind; its window is gone
    // with it, and keeping the handle would block every later install.
    if (HookOf(slot) && !IsWindow(FromShared<HWND>(TargetOf(slot)))) {
        UnhookWindowsHookEx(FromShared<HHOOK>(HookOf(slot)));
        ClearSlot(slot);
    }
    if (HookOf(slot))
        return;
    // The target first: the hook may run in another process before this call returns.
    TargetOf(slot) = ToShared(notify);
    HHOOK hHook = SetWindowsHookExA(slot.nHookType, slot.pProc, g_hTaplineModule, 0);
    HookOf(slot) = ToShared(hHook);
    slot.bInstalledHere = hHook != nullptr;
}

void Remove(SHookSlot& slot)
{
    if (!HookOf(slot))
        return;
    UnhookWindowsHookEx(FromShared<HHOOK>(HookOf(slot)));
    ClearSlot(slot);
}

void DetachSlot(SHookSlot& slot, bool unloading)
{
    if (!slot.bInstalledHere)
        return;
    if (unloading)
        UnhookWindowsHookEx(FromShared<HHOOK>(HookOf(slot)));
    ClearSlot(slot);
}

} // namespace

void HooksDetach(bool unloading)
{
    DetachSlot(s_keyboard, unloading);
    DetachSlot(s_mouse, unloading);
}

TAPLINE_API int WINAPI HookKeyboard(HWND notify)
{
    Install(s_keyboard, notify);
    return 1;
}

TAPLINE_API int WINAPI UnhookKeyboard()
{
    Remove(s_keyboard);
    return 1;
}

TAPLINE_API int WINAPI HookMouse(HWND notify)
{
    Install(s_mouse, notify);
    return 1;
}

TAPLINE_API int WINAPI UnhookMouse()
{
    Remove(s_mouse);
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

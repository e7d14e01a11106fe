#include "effect_host.h"
#include "effect_drawers.h"
#include "effect_pages.h"
#include "resource.h"
#include "tapline.h"

namespace {

const char kOverlayClass[] = "KestrelEffectTest";

// The screen as it was when the overlay opened: a window without background shows it on
// some systems by itself, others give a new window black.
CMemoryBitmap g_OverlayPicture;
SWindowFill g_OverlayFill;      // the picture, at the overlay's monitor's corner
HWND g_hPictureOwner = nullptr; // a closed overlay's late WM_DESTROY leaves a newer one's picture

// It shows the screen as it was and takes the test's drawing.
LRESULT CALLBACK OverlayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (PaintWindowFill(hwnd, msg, g_OverlayFill, result))
        return result;
    switch (msg) {
    case WM_DESTROY:
        if (hwnd == g_hPictureOwner) {
            g_OverlayPicture.Reset();
            g_OverlayFill = SWindowFill();
            g_hPictureOwner = nullptr;
        }
        return 0;
    case WM_KEYDOWN:
        // Esc reaches the overlay itself where the keyboard hook does not see its own
        // thread's keys; the hook swallows every other key.
        if (wParam == VK_ESCAPE)
            if (CEffectHost* host = reinterpret_cast<CEffectHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
                host->OnOverlayEscape();
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterOverlayClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA wc = {};
    wc.style = CS_BYTEALIGNWINDOW | CS_NOCLOSE | CS_PARENTDC;
    wc.lpfnWndProc = OverlayProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = kOverlayClass;
    registered = RegisterClassA(&wc) != 0;
}

} // namespace

CEffectHost::~CEffectHost()
{
    if (m_hOverlay && IsWindow(m_hOverlay))
        DestroyWindow(m_hOverlay);
}

bool CEffectHost::IsMainWindowMinimized() const
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(m_hMain, &placement);
    return placement.showCmd == SW_SHOWMINIMIZED || IsIconic(m_hMain);
}

bool CEffectHost::IsKeyDown(int code) const
{
    return GetAsyncKeyState(code) < 0;
}

bool CEffectHost::IsKeyPlaybackIdle() const
{
    HANDLE event = GetPostKeyEventHandle();
    return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

std::vector<SMonitor> CEffectHost::Monitors() const
{
    std::vector<SMonitor> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info = {};
            info.cbSize = sizeof info;
            if (GetMonitorInfoA(monitor, &info)) {
                const RECT& r = info.rcMonitor;
                SMonitor m;
                m.rect = {r.left, r.top, r.right, r.bottom};
                m.bPrimary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
                reinterpret_cast<std::vector<SMonitor>*>(data)->push_back(m);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

SPoint CEffectHost::PointerPosition() const
{
    POINT p = {0, 0};
    GetCursorPos(&p);
    return {p.x, p.y};
}

void CEffectHost::ConfinePointer(const SRect* area)
{
    if (!area) {
        ClipCursor(nullptr);
        return;
    }
    RECT clip = {area->left, area->top, area->right, area->bottom};
    ClipCursor(&clip);
}

int CEffectHost::DisplayBitsPerPixel() const
{
    CDisplayDC display;
    return display.Get() ? display.BitsPerPixel() : 0;
}

void CEffectHost::ShowDepthMessage()
{
    KestrelMessage(m_hMain, IDS_COLOR_DEPTH, MB_OK | MB_ICONERROR);
}

void CEffectHost::PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, m_hMain, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool CEffectHost::IsLaterMoveQueued() const
{
    // The first mouse report waiting; one behind a click must wait for the click.
    MSG next;
    return PeekMessageA(&next, m_hMain, WM_TAPLINE_MOUSE, WM_TAPLINE_MOUSE, PM_NOREMOVE) &&
           next.wParam == WM_MOUSEMOVE;
}

void CEffectHost::HookMouse()
{
    ::HookMouse(m_hMain);
}
void CEffectHost::UnhookMouse()
{
    ::UnhookMouse();
}
void CEffectHost::HookKeyboard()
{
    ::HookKeyboard(m_hMain);
}
void CEffectHost::UnhookKeyboard()
{
    ::UnhookKeyboard();
}

bool CEffectHost::PostKeyMessages(const std::vector<int>& codes)
{
    return ::PostKeyMessages(codes.data(), static_cast<int>(codes.size())) == 0;
}

std::unique_ptr<IEffectDrawer> CEffectHost::StartDrawer(const CEffect& effect, const SRect& area)
{
    return StartEffectDrawer(effect, m_hMain, area);
}

void CEffectHost::RestoreForeground()
{
    if (GetForegroundWindow())
        return;
    // The keyboard goes back to the presentation: the topmost window on show, and not one
    // of this program's, whose hidden windows lead the z-order after a splash or a test.
    DWORD self = GetCurrentProcessId();
    for (HWND w = GetTopWindow(GetDesktopWindow()); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process != self && IsWindowVisible(w) && !IsIconic(w)) {
            SetForegroundWindow(w);
            return;
        }
    }
}

void CEffectHost::OpenTestOverlay(const SRect& area)
{
    if (m_hOverlay && IsWindow(m_hOverlay))
        DestroyWindow(m_hOverlay);
    RegisterOverlayClass();
    CDisplayDC display;
    g_OverlayFill = SWindowFill();
    if (g_OverlayPicture.Ensure(display.Get(), area.Width(), area.Height())) {
        BitBlt(g_OverlayPicture.Get(), 0, 0, area.Width(), area.Height(), display.Get(), area.left, area.top, SRCCOPY);
        g_OverlayFill.picture = g_OverlayPicture.Get();
        g_OverlayFill.origin = {area.left, area.top};
    }
    m_hOverlay = CreateWindowExA(WS_EX_TOPMOST, kOverlayClass, nullptr, WS_POPUP | WS_VISIBLE, area.left, area.top,
                                 area.Width(), area.Height(), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    g_hPictureOwner = m_hOverlay;
    if (!m_hOverlay)
        return;
    SetWindowLongPtrA(m_hOverlay, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(m_hOverlay);
    SetFocus(m_hOverlay);
}

void CEffectHost::OnOverlayEscape()
{
    if (m_OnEscape)
        m_OnEscape();
}

void CEffectHost::CloseTestOverlay()
{
    if (m_hOverlay && IsWindow(m_hOverlay)) {
        SetWindowLongPtrA(m_hOverlay, GWLP_USERDATA, 0);
        PostMessageA(m_hOverlay, WM_CLOSE, 0, 0);
    }
    m_hOverlay = nullptr;
}

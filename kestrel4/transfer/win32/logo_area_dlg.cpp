#include "logo_area_dlg.h"

#include <algorithm>

#include "dib_gdi.h"
#include "manual_link.h"
#include "program_manual.h"
#include "resource.h"
#include "transfer_progress_dlg.h"
#include "win32_handles.h"

namespace {
const char kViewClass[] = "KestrelLogoAreaView";
const UINT kScrollMs = 50;
} // namespace

LRESULT CALLBACK AreaViewProc(HWND view, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CLogoAreaDialog* self = reinterpret_cast<CLogoAreaDialog*>(GetWindowLongPtrA(view, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<CLogoAreaDialog*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    return self ? self->ViewMessage(view, msg, wParam, lParam) : DefWindowProcA(view, msg, wParam, lParam);
}

CLogoAreaDialog::CLogoAreaDialog(const CDIBLogo& picture) : m_Picture(picture), m_Area(picture.GetArea())
{
    if (m_Area.IsEmpty())
        m_Area = SArea{0, 0, picture.Width() - 1, picture.Height() - 1};
}

INT_PTR CLogoAreaDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (!LogoAreaAcceptable(m_Area)) {
                KestrelMessage(m_hWnd, IDS_LOGO_TOO_SMALL, MB_OK | MB_ICONERROR);
                return TRUE;
            }
            EndDialog(m_hWnd, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(m_hWnd, IDCANCEL);
            return TRUE;
        case IDC_AREA_HELP:
            OpenManual(m_hWnd, kManualTopicLogoArea);
            return TRUE;
        }
        break;
    case WM_HELP:
        // F1 here: the modal loop knows nothing of the main window's accelerators.
        OpenManual(m_hWnd, kManualTopicLogoArea);
        return TRUE;
    }
    return FALSE;
}

void CLogoAreaDialog::OnInit()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = AreaViewProc;
    wc.hInstance = AppInstance();
    wc.hCursor = LoadCursor(nullptr, IDC_CROSS);
    wc.lpszClassName = kViewClass;
    RegisterClassA(&wc); // a second registration fails harmlessly
    HWND frame = GetDlgItem(m_hWnd, IDC_AREA_VIEW);
    RECT r;
    GetWindowRect(frame, &r);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    ShowWindow(frame, SW_HIDE);
    m_hView = CreateWindowExA(WS_EX_CLIENTEDGE, kViewClass, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_AREA_VIEW)), AppInstance(), this);
    SetWindowLongPtrA(frame, GWLP_ID, 0); // the view answers to the control ID now
    LayoutBars();
}

void CLogoAreaDialog::LayoutBars()
{
    // A bar only where the picture is larger than the view; the bars take room themselves,
    // so decide twice.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client;
        GetClientRect(m_hView, &client);
        m_bBar[0] = m_Picture.Width() > client.right;
        m_bBar[1] = m_Picture.Height() > client.bottom;
        ShowScrollBar(m_hView, SB_HORZ, m_bBar[0]);
        ShowScrollBar(m_hView, SB_VERT, m_bBar[1]);
    }
    for (int bar = 0; bar < 2; ++bar) {
        SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_POS | SIF_PAGE, 0, 100, 0, m_nPos[bar], 0};
        if (m_bBar[bar])
            SetScrollInfo(m_hView, bar == 0 ? SB_HORZ : SB_VERT, &si, TRUE);
    }
}

POINT CLogoAreaDialog::Offset() const
{
    RECT client;
    GetClientRect(m_hView, &client);
    const int hiddenX = std::max(0, m_Picture.Width() - static_cast<int>(client.right));
    const int hiddenY = std::max(0, m_Picture.Height() - static_cast<int>(client.bottom));
    return POINT{m_bBar[0] ? hiddenX * m_nPos[0] / 100 : 0, m_bBar[1] ? hiddenY * m_nPos[1] / 100 : 0};
}

POINT CLogoAreaDialog::ToImage(POINT view) const
{
    POINT offset = Offset();
    return POINT{std::min<LONG>(std::max<LONG>(view.x + offset.x, 0), m_Picture.Width() - 1),
                 std::min<LONG>(std::max<LONG>(view.y + offset.y, 0), m_Picture.Height() - 1)};
}

void CLogoAreaDialog::Scroll(int bar, int code, int thumb)
{
    if (!m_bBar[bar])
        return;
    int pos = m_nPos[bar];
    switch (code) {
    case SB_LINEUP:
        pos -= 1;
        break;
    case SB_LINEDOWN:
        pos += 1;
        break;
    case SB_PAGEUP:
        pos -= 10;
        break;
    case SB_PAGEDOWN:
        pos += 10;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = thumb;
        break;
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = 100;
        break;
    default:
        return;
    }
    pos = std::min(100, std::max(0, pos));
    if (pos == m_nPos[bar])
        return;
    m_nPos[bar] = pos;
    SetScrollPos(m_hView, bar == 0 ? SB_HORZ : SB_VERT, pos, TRUE);
    InvalidateRect(m_hView, nullptr, FALSE);
}

void CLogoAreaDialog::OnDrag(POINT pointer)
{
    if (!m_bMoved) {
        // The first move drops the old area.
        m_bMoved = true;
        m_Area = SArea();
    }
    RECT client;
    GetClientRect(m_hView, &client);
    const bool outside = !PtInRect(&client, pointer);
    if (pointer.x < 0)
        Scroll(0, SB_LINEUP, 0);
    else if (pointer.x >= client.right)
        Scroll(0, SB_LINEDOWN, 0);
    if (pointer.y < 0)
        Scroll(1, SB_LINEUP, 0);
    else if (pointer.y >= client.bottom)
        Scroll(1, SB_LINEDOWN, 0);
    if (outside)
        SetTimer(m_hView, IDT_AREA_SCROLL, kScrollMs, nullptr);
    else
        KillTimer(m_hView, IDT_AREA_SCROLL);
    m_End.x = std::min<LONG>(std::max<LONG>(pointer.x, 0), client.right - 1);
    m_End.y = std::min<LONG>(std::max<LONG>(pointer.y, 0), client.bottom - 1);
    InvalidateRect(m_hView, nullptr, FALSE);
}

void CLogoAreaDialog::PaintView(HDC dc)
{
    RECT client;
    GetClientRect(m_hView, &client);
    // Off screen first, so the rubber band does not flicker.
    CMemoryDC memoryDC(CreateCompatibleDC(dc));
    const HDC memory = memoryDC.get();
    CBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    CSelectedObject selectedBitmap(memory, bitmap.get());
    FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
    POINT offset = Offset();
    DrawScaled(memory, m_Picture, -offset.x, -offset.y, m_Picture.Width(), m_Picture.Height());
    RECT band = {0, 0, 0, 0};
    if (m_bDragging && m_bMoved) {
        POINT anchor = {m_Anchor.x - offset.x, m_Anchor.y - offset.y};
        band = RECT{std::min(anchor.x, m_End.x), std::min(anchor.y, m_End.y), std::max(anchor.x, m_End.x) + 1,
                    std::max(anchor.y, m_End.y) + 1};
    } else if (!m_Area.IsEmpty()) {
        band = RECT{m_Area.left - offset.x, m_Area.top - offset.y, m_Area.right - offset.x + 1,
                    m_Area.bottom - offset.y + 1};
    }
    if (band.right > band.left) {
        CPen pen(CreatePen(PS_DOT, 1, RGB(255, 0, 0)));
        CSelectedObject selectedPen(memory, pen.get());
        CSelectedObject selectedBrush(memory, GetStockObject(NULL_BRUSH));
        Rectangle(memory, band.left, band.top, band.right, band.bottom);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

LRESULT CLogoAreaDialog::ViewMessage(HWND view, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(view, &ps);
        PaintView(dc);
        EndPaint(view, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(view, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si);
        Scroll(msg == WM_HSCROLL ? 0 : 1, LOWORD(wParam), si.nTrackPos);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_Anchor = ToImage(p);
        m_End = p;
        m_bDragging = true;
        m_bMoved = false;
        SetCapture(view);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_bDragging)
            OnDrag(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_TIMER:
        if (wParam == IDT_AREA_SCROLL && m_bDragging) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(view, &p);
            OnDrag(p);
        }
        return 0;
    case WM_LBUTTONUP:
        if (!m_bDragging)
            return 0;
        KillTimer(view, IDT_AREA_SCROLL);
        ReleaseCapture();
        m_bDragging = false;
        if (m_bMoved) {
            POINT end = ToImage(m_End);
            if (end.x != m_Anchor.x || end.y != m_Anchor.y)
                m_Area = NormalisedArea(m_Anchor.x, m_Anchor.y, end.x, end.y);
        }
        InvalidateRect(view, nullptr, FALSE);
        return 0;
    case WM_CAPTURECHANGED:
        KillTimer(view, IDT_AREA_SCROLL);
        return 0;
    }
    return DefWindowProcA(view, msg, wParam, lParam);
}

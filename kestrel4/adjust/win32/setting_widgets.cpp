#include "setting_widgets.h"

#include <commctrl.h>

#include "resource.h"
#include "win32_handles.h"

void CStepWidget::Bind(HWND page, uint16_t item, UINT id, UINT textId, int minValue, int maxValue, int step,
                       unsigned int width, bool wrap, bool offText)
{
    m_hPage = page;
    m_hWnd = GetDlgItem(page, static_cast<int>(id));
    m_nTextId = textId;
    SStepBinding binding;
    binding.wItem = item;
    binding.nMin = minValue / step;
    binding.nMax = maxValue / step;
    binding.nStep = step;
    binding.nWidth = width;
    binding.bWrap = wrap;
    binding.bOffText = offText;
    m_Step.Bind(binding);
}

void CStepWidget::SetDisplayBase(int base)
{
    m_Step.SetDisplayBase(base);
    ShowText(m_Step.ValueText());
}

void CStepWidget::ShowText(const std::string& text)
{
    HWND label = GetDlgItem(m_hPage, static_cast<int>(m_nTextId));
    SetWindowTextA(label, text.c_str());
    EnableWindow(label, TRUE);
}

void CStepWidget::Enable(bool enable)
{
    EnableWindow(m_hWnd, enable);
}

void CStepWidget::Show(bool show)
{
    ShowWindow(m_hWnd, show ? SW_SHOWNA : SW_HIDE);
    ShowWindow(GetDlgItem(m_hPage, static_cast<int>(m_nTextId)), show ? SW_SHOWNA : SW_HIDE);
}

void CSettingSlider::Setup(HWND page, uint16_t item, UINT sliderId, UINT textId, int minValue, int maxValue, int step,
                           unsigned int width, bool offText)
{
    Bind(page, item, sliderId, textId, minValue, maxValue, step, width, false, offText);
    SendMessageA(m_hWnd, TBM_SETRANGEMIN, FALSE, m_Step.Binding().nMin);
    SendMessageA(m_hWnd, TBM_SETRANGEMAX, TRUE, m_Step.Binding().nMax);
    SendMessageA(m_hWnd, TBM_SETPAGESIZE, 0, 1);
    SendMessageA(m_hWnd, TBM_SETLINESIZE, 0, 1);
    // A position that stays the same through the range change would keep the thumb where
    // the old range put it: move it once so the control places it anew.
    SendMessageA(m_hWnd, TBM_SETPOS, TRUE, m_Step.Binding().nMin);
}

int CSettingSlider::ThumbPosition(int, int) const
{
    return static_cast<int>(SendMessageA(m_hWnd, TBM_GETPOS, 0, 0));
}

bool CSettingSlider::HasMiddleMark() const
{
    return m_Step.Binding().nMin == -m_Step.Binding().nMax;
}

void CSettingSlider::ShowPosition(int position)
{
    SendMessageA(m_hWnd, TBM_SETPOS, TRUE, position);
}

void CSettingSpin::Setup(HWND page, uint16_t item, UINT spinId, UINT textId, int minValue, int maxValue, int step,
                         unsigned int width, bool wrap)
{
    Bind(page, item, spinId, textId, minValue, maxValue, step, width, wrap, false);
    // With the control's own wrap a push against an end arrives as the other end, which is
    // the step the wrap rule wants; without it the control would stay silent at the end.
    if (wrap)
        SetWindowLongA(m_hWnd, GWL_STYLE, GetWindowLongA(m_hWnd, GWL_STYLE) | UDS_WRAP);
    SendMessageA(m_hWnd, UDM_SETRANGE32, m_Step.Binding().nMin, m_Step.Binding().nMax);
}

int CSettingSpin::ThumbPosition(int, int) const
{
    return static_cast<int>(SendMessageA(m_hWnd, UDM_GETPOS32, 0, 0));
}

void CSettingSpin::ShowPosition(int position)
{
    SendMessageA(m_hWnd, UDM_SETPOS32, 0, position);
}

// ---- position arrows ----

CRepeatButton::~CRepeatButton()
{
    if (m_hWnd && IsWindow(m_hWnd))
        RemoveWindowSubclass(m_hWnd, SubclassProc, 0);
}

void CRepeatButton::Attach(HWND button, HWND page, IRepeatOwner* owner)
{
    m_hWnd = button;
    m_hPage = page;
    m_pOwner = owner;
    SetWindowSubclass(button, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void CRepeatButton::StopRepeat()
{
    if (m_bRepeating && m_hWnd)
        KillTimer(m_hWnd, IDT_REPEAT);
    m_bRepeating = false;
}

LRESULT CALLBACK CRepeatButton::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data)
{
    CRepeatButton* self = reinterpret_cast<CRepeatButton*>(data);
    if (msg == WM_NCDESTROY) {
        self->StopRepeat();
        RemoveWindowSubclass(hwnd, SubclassProc, 0);
        self->m_hWnd = nullptr;
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    return self->OnMessage(msg, wParam, lParam);
}

LRESULT CRepeatButton::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        m_pOwner->BeginRepeat(static_cast<UINT>(GetDlgCtrlID(m_hWnd)));
        m_bRepeating = SetTimer(m_hWnd, IDT_REPEAT, 200, nullptr) != 0;
        // An owner-drawn button answers the second press of a double click with neither
        // capture nor a click on release; taken as a plain press it is one step like the
        // first, and the release, wherever it happens, ends the repeat.
        if (msg == WM_LBUTTONDBLCLK)
            return DefSubclassProc(m_hWnd, WM_LBUTTONDOWN, wParam, lParam);
        break;
    case WM_MOUSEMOVE:
        if (m_bRepeating) {
            // Leaving the arrow, onto another one or anywhere else, ends the repeat.
            POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT rc;
            GetClientRect(m_hWnd, &rc);
            if (!PtInRect(&rc, pt))
                StopRepeat();
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        StopRepeat();
        break;
    case WM_TIMER:
        if (wParam == IDT_REPEAT) {
            // The repeat lives only while the button is held on this arrow.
            if (GetCapture() != m_hWnd)
                StopRepeat();
            else if (m_pOwner->MayRepeat())
                SendMessageA(m_hPage, UM_REPEAT_STEP, static_cast<WPARAM>(GetDlgCtrlID(m_hWnd)), 0);
            return 0;
        }
        break;
    }
    return DefSubclassProc(m_hWnd, msg, wParam, lParam);
}

void CRepeatButton::Draw(const DRAWITEMSTRUCT& item) const
{
    HDC dc = item.hDC;
    RECT rc = item.rcItem;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    int cx = (rc.left + rc.right) / 2 + (pressed ? 1 : 0);
    int cy = (rc.top + rc.bottom) / 2 + (pressed ? 1 : 0);
    int r = ((rc.bottom - rc.top) < (rc.right - rc.left) ? (rc.bottom - rc.top) : (rc.right - rc.left)) / 4;
    POINT pts[3];
    switch (item.CtlID) {
    case IDC_POS_UP:
        pts[0] = {cx, cy - r}, pts[1] = {cx - r - 1, cy + r - 1}, pts[2] = {cx + r + 1, cy + r - 1};
        break;
    case IDC_POS_DOWN:
        pts[0] = {cx, cy + r}, pts[1] = {cx - r - 1, cy - r + 1}, pts[2] = {cx + r + 1, cy - r + 1};
        break;
    case IDC_POS_LEFT:
        pts[0] = {cx - r, cy}, pts[1] = {cx + r - 1, cy - r - 1}, pts[2] = {cx + r - 1, cy + r + 1};
        break;
    default:
        pts[0] = {cx + r, cy}, pts[1] = {cx - r + 1, cy - r - 1}, pts[2] = {cx - r + 1, cy + r + 1};
        break;
    }
    {
        CPen pen(CreatePen(PS_SOLID, 1, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT)));
        CSelectedObject selectedBrush(dc, GetSysColorBrush(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        CSelectedObject selectedPen(dc, pen.get());
        Polygon(dc, pts, 3);
    }
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&rc, -3, -3);
        DrawFocusRect(dc, &rc);
    }
}

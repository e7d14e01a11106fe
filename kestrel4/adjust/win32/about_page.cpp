#include "about_page.h"

#include "adjust_pages.h"
#include "projector_model.h"
#include "resource.h"
#include "setting_model.h"
#include "status_texts.h"
#include "zelq_items.h"

namespace {
const uint16_t kStatusHorizontal = 0x1A00;
const uint16_t kStatusVertical = 0x1A01;
const uint16_t kStatusWidth = 0x1A02;
const uint16_t kStatusHeight = 0x1A03;

const UINT kFrequencyGroup[] = {IDC_FREQUENCY_GROUP, IDC_HFREQ_LABEL, IDC_VFREQ_LABEL, IDC_HPOL_LABEL, IDC_VPOL_LABEL,
                                IDC_HFREQ, IDC_VFREQ, IDC_HFREQ_UNIT, IDC_VFREQ_UNIT, IDC_SYNC_MODE_LABEL, 1193, 1194,
                                1195, IDC_HPOL, IDC_VPOL, IDC_RESOLUTION_TEXT, IDC_RESOLUTION_LABEL, IDC_FREQUENCY_NOTE,
                                // The sync mode belongs with the polarities it is read with.
                                IDC_SYNC_MODE};
const UINT kVideoGroup[] = {IDC_VIDEO_GROUP, IDC_VIDEO_SIGNAL_LABEL, IDC_VIDEO_SIGNAL_TEXT, IDC_AUTO_LABEL};
} // namespace

HWND CAboutPage::Create(HWND parent)
{
    return CDialogBase::Create(IDD_ABOUT_PAGE, parent);
}

INT_PTR CAboutPage::HandleMessage(UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        return FALSE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        PaintLamp(dc);
        EndPaint(m_hWnd, &ps);
        return TRUE;
    }
    }
    return FALSE;
}

void CAboutPage::Refresh()
{
    ShowLamp();
    ShowFrequencies();
    ShowSync();
    ShowResolution();
    ShowVideoSignal();
}

void CAboutPage::ShowLamp()
{
    SLampText lamp = LampText(m_Context.ItemValue(kItemLampHours), m_Context.Model().wModelCode);
    m_strLamp = lamp.strText;
    m_bLampWarning = lamp.bWarning;
    SetDlgItemTextA(m_hWnd, IDC_LAMP_HOURS, m_strLamp.c_str());
    RECT rc;
    GetWindowRect(GetDlgItem(m_hWnd, IDC_LAMP_HOURS), &rc);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    InvalidateRect(m_hWnd, &rc, TRUE);
}

void CAboutPage::PaintLamp(HDC dc)
{
    // The hours are painted rather than shown by their static, which stays hidden, so that
    // a lamp near its end can be drawn in red.
    RECT rc;
    GetWindowRect(GetDlgItem(m_hWnd, IDC_LAMP_HOURS), &rc);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_bLampWarning ? RGB(255, 0, 0) : GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(dc, m_strLamp.c_str(), -1, &rc, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, font);
}

void CAboutPage::ShowFrequencies()
{
    bool valid = m_Context.Settings().IsSignalValid() != 0;
    std::string vertical = VerticalFrequencyText(m_Context.ItemValue(kStatusVertical), valid);
    SetDlgItemTextA(m_hWnd, IDC_HFREQ, HorizontalFrequencyText(m_Context.ItemValue(kStatusHorizontal), valid).c_str());
    SetDlgItemTextA(m_hWnd, IDC_VFREQ, vertical.c_str());
    SetDlgItemTextA(m_hWnd, IDC_REFRESH_RATE, vertical.c_str());
}

void CAboutPage::ShowResolution()
{
    bool valid = m_Context.Settings().IsSignalValid() != 0;
    SetDlgItemTextA(
        m_hWnd, IDC_RESOLUTION_TEXT,
        ResolutionText(m_Context.ItemValue(kStatusWidth), m_Context.ItemValue(kStatusHeight), valid).c_str());
}

void CAboutPage::ShowSync()
{
    SSyncTexts sync = SyncTexts(m_Context.ItemValue(kItemSyncInfo), m_Context.Settings().IsSignalValid() != 0);
    SetDlgItemTextA(m_hWnd, IDC_HPOL, sync.strHorizontal.c_str());
    SetDlgItemTextA(m_hWnd, IDC_VPOL, sync.strVertical.c_str());
    SetDlgItemTextA(m_hWnd, IDC_SYNC_MODE, sync.strMode.c_str());
}

void CAboutPage::ShowVideoSignal()
{
    const CSettingModel& model = m_Context.Settings();
    SVideoSignalText signal = VideoSignalText(model.IsSignalValid() != 0, model.GetInputCode(),
                                              m_Context.ItemValue(kItemVideoSignal), m_Context.ItemValue(kItemSignal));
    std::string name = LoadResString(signal.nStringId);
    SetDlgItemTextA(m_hWnd, IDC_VIDEO_SIGNAL_TEXT, (signal.bBrackets ? "(" + name + ")" : name).c_str());
    ShowGroups();
}

void CAboutPage::ShowGroups()
{
    const CSettingModel& model = m_Context.Settings();
    bool computer = model.IsComputerInput() != 0;
    bool frequencies = ShowsFrequencyGroup(computer, model.GetInputCode());
    for (UINT id : kFrequencyGroup)
        if (HWND control = GetDlgItem(m_hWnd, static_cast<int>(id)))
            ShowWindow(control, frequencies ? SW_SHOWNA : SW_HIDE);
    for (UINT id : kVideoGroup)
        if (HWND control = GetDlgItem(m_hWnd, static_cast<int>(id)))
            ShowWindow(control, frequencies ? SW_HIDE : SW_SHOWNA);
    bool autoLabel = ShowsAutoLabel(computer, model.GetInputCode(), m_Context.ItemValue(kItemVideoSignal));
    ShowWindow(GetDlgItem(m_hWnd, IDC_AUTO_LABEL), autoLabel ? SW_SHOWNA : SW_HIDE);
}

INT_PTR CPresetDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        SetDlgItemTextA(m_hWnd, IDC_RESOLUTION_TEXT, m_strResolution.c_str());
        SetDlgItemTextA(m_hWnd, IDC_REFRESH_TEXT, m_strRefresh.c_str());
        HWND combo = GetDlgItem(m_hWnd, IDC_PRESET_NUMBER);
        for (const char* number : {"1", "2", "3", "4", "5"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(number));
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(m_nPreset), 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            int chosen = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_PRESET_NUMBER, CB_GETCURSEL, 0, 0));
            m_nPreset = chosen >= 0 ? chosen : 0;
        }
        return EndOnOkCancel(msg, wParam);
    }
    return FALSE;
}

#include "control_panel.h"

#include <commctrl.h>

#include "connection.h"
#include "setting_model.h"
#include "resource.h"
#include "zelq_items.h"

namespace {
const UINT kProjectorButtons[4] = {IDC_PROJECTOR1, IDC_PROJECTOR2, IDC_PROJECTOR3, IDC_PROJECTOR4};
const int kTabs = 6;
} // namespace

INT_PTR CReadingDlg::HandleMessage(UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

CControlPanel::CControlPanel(CSettingModel& settings)
    : m_Settings(settings), m_Connection(settings.Connection()), m_Context(settings), m_VideoComputer(m_Context),
      m_VideoVideo(m_Context), m_Audio(m_Context), m_Setting(m_Context), m_Advanced(m_Context), m_About(m_Context),
      m_Gamma(m_Context), m_Files(settings, *this)
{
}

CControlPanel::~CControlPanel()
{
    m_Settings.SetView(nullptr);
    // The pages are children of the panel's window: let them go before it does.
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

HWND CControlPanel::Create(HWND parent)
{
    HWND panel = CDialogBase::Create(IDD_CONTROL, parent);
    if (panel)
        m_Settings.SetView(this);
    return panel;
}

INT_PTR CControlPanel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return FALSE;
    case UM_REQUERY:
        m_Settings.RunPendingRequery();
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_PANEL_TABS && header->code == TCN_SELCHANGE) {
            ShowTab(static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_PANEL_TABS, TCM_GETCURSEL, 0, 0)));
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        // The main window owns the test pattern window that the check button shows.
        if (LOWORD(wParam) == IDC_PATTERN_DISPLAY && HIWORD(wParam) == BN_CLICKED) {
            SendMessageA(GetAncestor(m_hWnd, GA_ROOT), WM_COMMAND, wParam, lParam);
            return TRUE;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_RESET) {
            m_Files.ResetPage(GetAncestor(m_hWnd, GA_ROOT), m_nTab);
            return TRUE;
        }
        if (HIWORD(wParam) == BN_CLICKED)
            for (int k = 0; k < 4; ++k)
                if (LOWORD(wParam) == kProjectorButtons[k]) {
                    SelectProjector(k + 1);
                    return TRUE;
                }
        break;
    }
    return FALSE;
}

void CControlPanel::OnInit()
{
    m_Context.SetOwner(GetAncestor(m_hWnd, GA_ROOT));
    HWND tabs = GetDlgItem(m_hWnd, IDC_PANEL_TABS);
    for (int i = 0; i < kTabs; ++i) {
        std::string text = LoadResString(IDS_TAB_FIRST + i);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &text[0];
        SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    // The pages fill the tab control's display area.
    RECT area;
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    CDialogBase* pages[] = {&m_VideoComputer, &m_VideoVideo, &m_Audio, &m_Setting, &m_Advanced, &m_About, &m_Gamma};
    m_VideoComputer.Create(m_hWnd);
    m_VideoVideo.Create(m_hWnd);
    m_Audio.Create(m_hWnd);
    m_Setting.Create(m_hWnd);
    m_Advanced.Create(m_hWnd);
    m_About.Create(m_hWnd);
    m_Gamma.Create(m_hWnd);
    // Right after the tabs in the tab order, before the projector buttons.
    for (CDialogBase* page : pages)
        if (page->GetHwnd())
            SetWindowPos(page->GetHwnd(), tabs, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOACTIVATE);
    // The main window enables the test pattern button once its window exists.
    EnableWindow(GetDlgItem(m_hWnd, IDC_PATTERN_DISPLAY), FALSE);
    EnableProjectorButtons();
    ShowTab(0);
}

HWND CControlPanel::TabPage(int tab) const
{
    switch (tab) {
    case TAB_VIDEO:
        return m_Settings.IsComputerInput() ? m_VideoComputer.GetHwnd() : m_VideoVideo.GetHwnd();
    case TAB_AUDIO:
        return m_Audio.GetHwnd();
    case TAB_SETTING:
        return m_Setting.GetHwnd();
    case TAB_ADVANCED:
        return m_Advanced.GetHwnd();
    case TAB_ABOUT:
        return m_About.GetHwnd();
    case TAB_GAMMA:
        return m_Gamma.GetHwnd();
    }
    return nullptr;
}

void CControlPanel::ShowTab(int tab)
{
    if (tab < 0 || tab >= kTabs)
        return;
    m_nTab = tab;
    HWND shown = TabPage(tab);
    HWND pages[] = {m_VideoComputer.GetHwnd(), m_VideoVideo.GetHwnd(), m_Audio.GetHwnd(), m_Setting.GetHwnd(),
                    m_Advanced.GetHwnd(),      m_About.GetHwnd(),      m_Gamma.GetHwnd()};
    for (HWND page : pages)
        if (page && page != shown)
            ShowWindow(page, SW_HIDE);
    if (shown)
        ShowWindow(shown, SW_SHOWNA);
    EnableResetButton();
}

void CControlPanel::EnableResetButton()
{
    EnableWindow(GetDlgItem(m_hWnd, IDC_RESET), IsResetEnabled(m_Settings, m_nTab) ? TRUE : FALSE);
}

void CControlPanel::OnFileCommand(UINT id)
{
    HWND owner = GetAncestor(m_hWnd, GA_ROOT);
    switch (id) {
    case ID_FILE_OPEN:
        m_Files.OpenSettingFile(owner, false);
        break;
    case ID_FILE_SAVE:
        m_Files.SaveSettingFile(owner);
        break;
    case ID_FILE_SAVE_AS:
        m_Files.SaveSettingFileAs(owner);
        break;
    }
}

HWND CControlPanel::LastFocusControl() const
{
    HWND last = nullptr;
    HWND page = TabPage(m_nTab);
    for (HWND child = page ? GetWindow(page, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && IsWindowEnabled(child) && (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP))
            last = child;
    // The About page has nothing to take the focus.
    return last ? last : GetDlgItem(m_hWnd, IDC_PANEL_TABS);
}

void CControlPanel::EnableProjectorButtons()
{
    // Only projectors the connection found can be chosen.
    for (int k = 0; k < 4; ++k)
        EnableWindow(GetDlgItem(m_hWnd, static_cast<int>(kProjectorButtons[k])), k < m_Connection.ProjectorCount());
}

void CControlPanel::SelectProjector(int projector)
{
    if (projector < 1 || projector > 4 || projector == m_Connection.CurrentProjector())
        return;
    m_Connection.SelectProjector(projector);
    RefreshPages();
}

void CControlPanel::RefreshPages()
{
    if (!m_hWnd)
        return;
    m_VideoComputer.Refresh();
    m_VideoVideo.Refresh();
    m_Audio.Refresh();
    m_Setting.Refresh();
    m_Advanced.Refresh();
    m_About.Refresh();
    m_Gamma.Refresh();
    bool signal = m_Settings.IsSignalValid() != 0;
    m_VideoComputer.EnableControls(signal);
    m_VideoVideo.EnableControls(signal);
    EnableProjectorButtons();
    // The input may have changed which Video page the tab shows.
    ShowTab(m_nTab);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CControlPanel::ShowValue(ESettingPage page, uint16_t item, int32_t value)
{
    switch (page) {
    case PAGE_VIDEO_COMPUTER:
        m_VideoComputer.ShowValue(item, value);
        break;
    case PAGE_VIDEO_VIDEO:
        m_VideoVideo.ShowValue(item, value);
        break;
    case PAGE_AUDIO:
        m_Audio.ShowValue(item, value);
        break;
    case PAGE_SETTING:
        m_Setting.ShowValue(item, value);
        break;
    case PAGE_ADVANCED:
        m_Advanced.ShowValue(item, value);
        break;
    case PAGE_GAMMA:
        m_Gamma.ShowValue(item, value);
        break;
    case PAGE_ABOUT:
    case PAGE_NONE:
        break;
    }
}

void CControlPanel::OnItemChanged(uint16_t item, bool fromProjector, int projector)
{
    if (!m_hWnd)
        return;
    m_Files.OnItemChanged(item, fromProjector);
    // Changes of another projector stay in the table until that projector is chosen.
    if (projector != 0 && projector != m_Connection.CurrentProjector())
        return;
    switch (item) {
    case kItemLampHours:
        m_About.ShowLamp();
        break;
    case kItemFrequencies:
        m_About.ShowFrequencies();
        break;
    case kItemResolutionInfo:
        m_About.ShowResolution();
        break;
    case kItemSyncInfo:
        m_About.ShowSync();
        break;
    case kItemResolution:
        m_VideoComputer.ShowResolution();
        break;
    case kItemVideoSignal:
        m_VideoVideo.EnableControls(m_Settings.IsSignalValid() != 0);
        m_About.ShowVideoSignal();
        break;
    case kItemInput:
    case kItemSignal:
        if (fromProjector)
            InvalidateRect(m_hWnd, nullptr, TRUE);
        break;
    }
}

void CControlPanel::ShowReadingDialog()
{
    if (m_Reading.Exists())
        return;
    HWND main = GetAncestor(m_hWnd, GA_ROOT);
    if (m_Reading.Create(IDD_READING, main)) {
        ShowWindow(m_Reading.GetHwnd(), SW_SHOW);
        UpdateWindow(m_Reading.GetHwnd());
    }
}

void CControlPanel::DestroyReadingDialog()
{
    if (m_Reading.Exists())
        DestroyWindow(m_Reading.GetHwnd());
}

void CControlPanel::RequeryLater()
{
    // Outside the link's range of messages: a command's wait does not dispatch it.
    PostMessageA(m_hWnd, UM_REQUERY, 0, 0);
}

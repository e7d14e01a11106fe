#include "support_page.h"
#include "item_effect_page.h"
#include "register_dlg.h"
#include "resource.h"
#include "setting_names.h"
#include "system_keys.h"
#include "tapline.h"
#include "win32_profile.h"

#include <commctrl.h>

namespace {

const int kSlotButtons = kSlotCount;

std::unique_ptr<IProfileFile> OpenProfile(const std::string& path)
{
    return std::unique_ptr<IProfileFile>(new CWin32Profile(path));
}

// Asked on the hook library's thread: the gate decides from what was published.
int WINAPI GateFilter(void* context, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CInputGate& gate = *static_cast<CInputGate*>(context);
    if (msg == WM_TAPLINE_KEY)
        return gate.OnKey(static_cast<int>(wParam), (lParam & 0x80000000) != 0);
    return gate.OnMouse(static_cast<unsigned>(wParam));
}

} // namespace

CSupportPage::CSupportPage(const std::string& iniPath, const std::string& programFolder, std::string& soundFile)
    : m_strProgramFolder(programFolder), m_strSoundFile(soundFile), m_Ini(iniPath, OpenProfile),
      m_nKeyboardKind(SystemKeyboardKind()),
      m_Settings(m_Ini, SEffectContext{programFolder, m_nKeyboardKind}, SystemKeyScan,
                 [](unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }),
      m_Shortcut(CKeyCapture::CAPTURE_SHORTCUT, m_nKeyboardKind)
{
    CreatePages();
    // A page must not keep a definition the settings are about to delete; the page of the
    // outgoing definition's type is the only one that can hold it.
    m_Settings.OnSlotReplacing([this](const CEffect& outgoing) {
        CEffectPage* page = m_pPages[outgoing.GetType()].get();
        if (page && page->Exists())
            page->ShowEffect(nullptr);
    });
}

CSupportPage::~CSupportPage()
{
    // Nothing of a running effect may outlive the screen: its drawing, pointers and hook.
    SetHookFilter(nullptr, nullptr);
    m_pExecution.reset();
    for (HICON icon : m_hIcons)
        if (icon)
            DestroyIcon(icon);
}

void CSupportPage::CreatePages()
{
    const std::pair<int, CShapePage::SSpec> shapes[] = {
        {EFFECT_FREE_LINE, {IDD_FREE_LINE, IDC_LINE_WIDTH, IDC_LINE_WIDTH_SPIN, kLineWidthRange}},
        {EFFECT_LINE, {IDD_LINE, IDC_LINE_WIDTH, IDC_LINE_WIDTH_SPIN, kLineWidthRange}},
        {EFFECT_ELLIPSE, {IDD_ELLIPSE, IDC_LINE_WIDTH, IDC_LINE_WIDTH_SPIN, kLineWidthRange}},
        {EFFECT_RECT, {IDD_SQUARE, IDC_LINE_WIDTH, IDC_LINE_WIDTH_SPIN, kLineWidthRange}},
        {EFFECT_BAR, {IDD_BAR, IDC_LINE_WIDTH, IDC_LINE_WIDTH_SPIN, kBarWidthRange}},
        {EFFECT_SPOT_LIGHT, {IDD_SPOT_LIGHT, IDC_DIAMETER, IDC_DIAMETER_SPIN, kDiameterRange}},
    };
    for (const auto& s : shapes)
        m_pPages[s.first].reset(new CShapePage(*this, s.second));
    m_pPages[EFFECT_SOUND].reset(new CSoundPage(*this, m_strSoundFile, m_strProgramFolder + kSoundFolder));
    m_pPages[EFFECT_CLEAR_SCREEN].reset(new CEmptyPage(*this, IDD_CLEAR_SCREEN));
    m_pKeyPage = new CKeyPage(*this, m_nKeyboardKind, HookLibraryConverter());
    m_pPages[EFFECT_KEY].reset(m_pKeyPage);
    m_pPages[EFFECT_STAMP].reset(new CItemEffectPage(*this, ITEM_STAMP));
    m_pPages[EFFECT_CUSTOM_CURSOR].reset(new CItemEffectPage(*this, ITEM_CURSOR));
}

void CSupportPage::OnItemSaved(int type)
{
    // Only the shown page holds a live definition; a hidden one reads its folder when shown.
    CEffectPage* page = m_pPages[type].get();
    if (m_Settings.GetChosenType(m_nSlot) == type && page && page->Exists())
        static_cast<CItemEffectPage*>(page)->Relist();
}

void CSupportPage::OnItemsRenumbered(int type, const std::vector<std::string>& before, size_t deleted)
{
    if (m_Settings.RenumberItems(type, before, deleted))
        OnEffectChanged();
}

HWND CSupportPage::Create(HWND parent)
{
    return CDialogBase::Create(IDD_SUPPORT, parent);
}

INT_PTR CSupportPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_SLOT_TABS && header->code == TCN_SELCHANGE)
            SelectSlot(static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_SLOT_TABS, TCM_GETCURSEL, 0, 0)));
        return FALSE;
    }
    case UM_EDITOR_CURSOR_SAVED:
        OnItemSaved(EFFECT_CUSTOM_CURSOR);
        return TRUE;
    case UM_EDITOR_STAMP_SAVED:
        OnItemSaved(EFFECT_STAMP);
        return TRUE;
    // Posted by the hook thread, which has decided already: only the work is left.
    case WM_TAPLINE_KEY:
        if (m_pExecution)
            m_pExecution->RunGateActions();
        return SetResult(0);
    case WM_TAPLINE_MOUSE:
        if (m_pExecution)
            m_pExecution->OnMousePosted(static_cast<unsigned>(wParam), static_cast<unsigned long long>(lParam));
        return SetResult(0);
    case WM_MEASUREITEM:
        MeasureTypeItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == IDC_TYPE_LIST)
            DrawTypeItem(item);
        else
            DrawSlotButton(item);
        return TRUE;
    }
    }
    return FALSE;
}

void CSupportPage::OnInit()
{
    HWND tabs = GetDlgItem(m_hWnd, IDC_SLOT_TABS);
    for (int i = 0; i < kSlotCount; ++i) {
        std::string label = "   " + std::to_string(i + 1);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &label[0];
        SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    for (int t = 0; t < kEffectTypeCount; ++t) {
        m_hIcons[t] = static_cast<HICON>(
            LoadImageA(AppInstance(), MAKEINTRESOURCEA(kEffectTypes[t].nIconId), IMAGE_ICON, 16, 16, 0));
        SendDlgItemMessageA(m_hWnd, IDC_TYPE_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(LoadResString(kEffectTypes[t].nNameId).c_str()));
    }

    RECT area;
    GetWindowRect(GetDlgItem(m_hWnd, IDC_PAGE_AREA), &area);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    for (auto& page : m_pPages) {
        if (!page || !page->Create(m_hWnd))
            continue;
        // Tab and Shift+Tab go on into the page's controls.
        SetWindowLongPtrA(page->GetHwnd(), GWL_EXSTYLE,
                          GetWindowLongPtrA(page->GetHwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        SetWindowPos(page->GetHwnd(), HWND_BOTTOM, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOACTIVATE);
    }

    m_Shortcut.Attach(GetDlgItem(m_hWnd, IDC_SHORTCUT), [this](const std::string& text) { OnShortcut(text); });
    m_Settings.Open();
    FillNameList();
    SelectSlot(0);
    m_pEffectHost.reset(new CEffectHost(GetAncestor(m_hWnd, GA_ROOT), [this] { StopEffect(); }));
    m_pExecution.reset(new CEffectExecution(*m_pEffectHost, *this));
    m_pExecution->SetInitialized();
    SetHookFilter(GateFilter, &m_pExecution->Gate());
    m_bInitialized = 1;
}

int CSupportPage::RunEffect(int n, int local)
{
    return m_pExecution ? m_pExecution->RunEffect(n, local) : 0;
}

void CSupportPage::StopEffect()
{
    if (!m_pExecution)
        return;
    m_pExecution->StopEffect();
    m_pExecution->EndEffect();
}

void CSupportPage::OnPresentationMode()
{
    if (m_pExecution)
        m_pExecution->OnMinimized();
}

void CSupportPage::OnMainDeactivated()
{
    if (m_pExecution)
        m_pExecution->OnMainDeactivated(m_pEffectHost->IsOverlayEnabled());
}

void CSupportPage::EndEffectOverDisabledOverlay()
{
    // A disabled overlay no longer takes the Test run's input: its effect ends.
    if (m_pExecution && m_pExecution->IsEffectRunning() && m_pEffectHost->IsOverlayDisabled())
        StopEffect();
}

void CSupportPage::SetEffectMonitor(EEffectMonitor choice)
{
    if (m_pExecution)
        m_pExecution->SetEffectMonitor(choice);
}

void CSupportPage::EndOnSystemChange()
{
    if (m_pExecution)
        m_pExecution->EndOnSystemChange();
}

void CSupportPage::WatchInstallerKey(bool watch, std::function<void()> onKey)
{
    if (!m_pExecution)
        return;
    m_pExecution->SetInstallerKeyHandler(std::move(onKey));
    m_pExecution->WatchInstallerKey(watch);
}

void CSupportPage::SetLinkOpen(bool open)
{
    if (m_pExecution)
        m_pExecution->SetLinkOpen(open);
}

void CSupportPage::OnSoundEnded()
{
    if (m_pExecution)
        m_pExecution->OnSoundEnded();
}

void CSupportPage::OnTest()
{
    const CEffect* shown = m_Settings.GetSlot(m_nSlot);
    if (!shown || !m_pExecution)
        return;
    m_Settings.SetTestEffect(shown->Clone());
    m_pExecution->RunTest();
}

const CEffect* CSupportPage::GetSlotEffect(int slot) const
{
    return slot >= 1 && slot <= kSlotCount + 1 ? m_Settings.GetSlot(slot - 1) : nullptr;
}

const KeyCodeArray& CSupportPage::GetSlotShortcut(int slot) const
{
    static const KeyCodeArray none;
    return slot >= 1 && slot <= kSlotCount ? m_Settings.GetShortcut(slot - 1) : none;
}

void CSupportPage::FillNameList()
{
    HWND list = GetDlgItem(m_hWnd, IDC_NAME_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : m_Settings.GetNames())
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(m_Settings.GetSelected()), 0);
    EnableWindow(GetDlgItem(m_hWnd, IDC_DELETE), m_Settings.CanDelete());
}

void CSupportPage::RefreshAll()
{
    FillNameList();
    SelectSlot(m_nSlot);
    // Another setting may bring other shortcuts.
    if (m_pExecution)
        m_pExecution->Publish();
}

void CSupportPage::SelectSlot(int slot)
{
    m_nSlot = slot;
    SendDlgItemMessageA(m_hWnd, IDC_SLOT_TABS, TCM_SETCURSEL, static_cast<WPARAM>(slot), 0);
    int type = m_Settings.GetChosenType(slot);
    SendDlgItemMessageA(m_hWnd, IDC_TYPE_LIST, LB_SETCURSEL, static_cast<WPARAM>(type), 0);
    SetDlgItemTextA(m_hWnd, IDC_DESCRIPTION, type >= 0 ? LoadResString(kEffectTypes[type].nDescId).c_str() : "");
    m_Shortcut.SetText(m_Settings.GetShortcutText(slot));
    for (int i = 0; i < kSlotButtons; ++i)
        InvalidateRect(GetDlgItem(m_hWnd, IDC_SLOT_BUTTON1 + i), nullptr, TRUE);
    ShowPage();
}

void CSupportPage::ShowPage()
{
    int type = m_Settings.GetChosenType(m_nSlot);
    for (int t = 0; t < kEffectTypeCount; ++t) {
        CEffectPage* page = m_pPages[t].get();
        if (!page || !page->Exists())
            continue;
        if (t == type)
            page->ShowEffect(m_Settings.GetSlot(m_nSlot));
        ShowWindow(page->GetHwnd(), t == type ? SW_SHOWNA : SW_HIDE);
    }
}

void CSupportPage::ChooseType(int type)
{
    if (type < 0 || type >= kEffectTypeCount)
        return;
    SetDlgItemTextA(m_hWnd, IDC_DESCRIPTION, LoadResString(kEffectTypes[type].nDescId).c_str());
    if (!m_Settings.ChooseType(m_nSlot, type))
        return;
    InvalidateRect(GetDlgItem(m_hWnd, IDC_SLOT_BUTTON1 + m_nSlot), nullptr, TRUE);
    if (type == EFFECT_KEY)
        m_pKeyPage->ClearField();
    ShowPage();
    OnEffectChanged();
}

void CSupportPage::OnEffectChanged()
{
    if (m_Settings.SaveAsPresentSetting()) {
        FillNameList();
        return;
    }
    // The settings were read back: the page shows them as stored.
    RefreshAll();
    ReportWriteFailure();
}

void CSupportPage::ReportWriteFailure()
{
    KestrelMessage(GetAncestor(m_hWnd, GA_ROOT), IDS_SETTINGS_WRITE_FAILED, MB_OK | MB_ICONERROR);
}

void CSupportPage::OnCommand(UINT id, UINT code)
{
    switch (id) {
    case IDC_TYPE_LIST:
        if (code == LBN_SELCHANGE)
            ChooseType(static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_TYPE_LIST, LB_GETCURSEL, 0, 0)));
        break;
    case IDC_NAME_LIST:
        if (code == CBN_SELCHANGE) {
            int chosen = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_NAME_LIST, CB_GETCURSEL, 0, 0));
            bool ok = chosen < 0 || m_Settings.ChooseEntry(chosen);
            RefreshAll();
            SetFocus(GetDlgItem(m_hWnd, IDC_NAME_LIST));
            if (!ok)
                ReportWriteFailure();
        }
        break;
    case IDC_ENTER:
        if (code == BN_CLICKED)
            OnEnter();
        break;
    case IDC_DELETE:
        if (code == BN_CLICKED)
            OnDelete();
        break;
    default:
        if (id >= IDC_SLOT_BUTTON1 && id < IDC_SLOT_BUTTON1 + kSlotButtons && code == BN_CLICKED)
            SelectSlot(static_cast<int>(id - IDC_SLOT_BUTTON1));
        // IDOK and IDCANCEL from Enter and Esc do not close a screen.
        break;
    }
}

void CSupportPage::OnEnter()
{
    CRegisterDlg dlg;
    if (dlg.DoModal(IDD_REGISTER, GetAncestor(m_hWnd, GA_ROOT)) != IDOK)
        return;
    HWND owner = GetAncestor(m_hWnd, GA_ROOT);
    CSupportSettings::ERegisterResult result = m_Settings.Register(dlg.GetName(), [owner](const std::string& name) {
        return KestrelMessage(owner, IDS_OVERWRITE_SETTING, MB_YESNO | MB_ICONEXCLAMATION, name) == IDYES;
    });
    RefreshAll();
    if (result == CSupportSettings::REGISTER_REFUSED_CHAR)
        MessageBeep(0); // as for such a character typed
    else if (result == CSupportSettings::REGISTER_RESERVED)
        KestrelMessage(owner, IDS_RESERVED_NAME, MB_OK | MB_ICONERROR);
    else if (result == CSupportSettings::REGISTER_FAILED)
        ReportWriteFailure();
}

void CSupportPage::OnDelete()
{
    int selected = m_Settings.GetSelected();
    if (!m_Settings.CanDelete())
        return;
    std::string name = m_Settings.GetNames()[static_cast<size_t>(selected)];
    HWND owner = GetAncestor(m_hWnd, GA_ROOT);
    bool ok = KestrelMessage(owner, IDS_DELETE_SETTING, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, name) != IDYES ||
              m_Settings.DeleteEntry(selected);
    RefreshAll();
    if (!ok)
        ReportWriteFailure();
}

void CSupportPage::OnShortcut(const std::string& text)
{
    CSupportSettings::EShortcutResult result = m_Settings.SetShortcut(m_nSlot, text);
    if (m_pExecution)
        m_pExecution->Publish();
    if (result == CSupportSettings::SHORTCUT_SET)
        return;
    m_Shortcut.SetText(m_Settings.GetShortcutText(m_nSlot));
    if (result == CSupportSettings::SHORTCUT_DUPLICATE)
        MessageBeep(0);
    else
        ReportWriteFailure();
}

void CSupportPage::MeasureTypeItem(MEASUREITEMSTRUCT& item)
{
    item.itemHeight = 20;
}

void CSupportPage::DrawTypeItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1))
        return;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int type = static_cast<int>(item.itemID);
    if (type < kEffectTypeCount && m_hIcons[type])
        DrawIconEx(item.hDC, item.rcItem.left + 2, item.rcItem.top + 2, m_hIcons[type], 16, 16, 0, nullptr, DI_NORMAL);
    RECT text = item.rcItem;
    text.left += 22;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::string name = LoadResString(kEffectTypes[type < kEffectTypeCount ? type : 0].nNameId);
    DrawTextA(item.hDC, name.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

void CSupportPage::DrawSlotButton(const DRAWITEMSTRUCT& item)
{
    int slot = static_cast<int>(item.CtlID - IDC_SLOT_BUTTON1);
    bool current = slot == m_nSlot;
    RECT rc = item.rcItem;
    FillRect(item.hDC, &rc, GetSysColorBrush(current ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    DrawEdge(item.hDC, &rc, current || (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int type = m_Settings.GetChosenType(slot);
    if (type >= 0 && m_hIcons[type])
        DrawIconEx(item.hDC, rc.left + 6, (rc.top + rc.bottom) / 2 - 8, m_hIcons[type], 16, 16, 0, nullptr, DI_NORMAL);
    RECT text = rc;
    text.left += 26;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    std::string label = std::to_string(slot + 1);
    if (type >= 0)
        label += " " + LoadResString(kEffectTypes[type].nNameId);
    DrawTextA(item.hDC, label.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

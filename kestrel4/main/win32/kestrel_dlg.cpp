#include "kestrel_dlg.h"

#include "installer_dlgs.h"
#include "kestrel_app.h"
#include "message_box.h"
#include "program_manual.h"
#include "capture_edit.h"
#include "support_page.h"
#include "connection_dlgs.h"
#include "network_port.h"
#include "port_menu.h"
#include "effect_guard.h"
#include "system_pointers.h"
#include "resource.h"
#include "screen_surface.h"
#include "tapline.h"
#include "win32_profile.h"
#include "test_pattern.h"
#include "user_logo_page.h"
#include "zelq_items.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <wtsapi32.h>

#include <cstring>

namespace {

const UINT kButtonIds[6] = {IDC_POWER, IDC_AVMUTE, IDC_FREEZE, IDC_RESIZE, IDC_VIDEO, IDC_COMPUTER};
const UINT kButtonIcons[6] = {IDI_POWER, IDI_AVMUTE, IDI_FREEZE, IDI_RESIZE, IDI_VIDEO, IDI_COMPUTER};

struct SScreenTemplate {
    UINT nTemplate;
    UINT nName;
};
// In screen list order.
const SScreenTemplate kScreens[SCREEN_COUNT] = {
    {IDD_SUPPORT, IDS_SCREEN_SUPPORT},
    {IDD_CONTROL, IDS_SCREEN_CONTROL},
    {IDD_LOGO, IDS_SCREEN_LOGO},
    {IDD_CURSOR, IDS_SCREEN_CURSOR},
};

// Blue, green, red, 0: the 16 colours of the projector's bitmaps.
const BYTE kColorTable[16][3] = {
    {0, 0, 0},          {0x66, 0, 0x66},    {0x66, 0x33, 0},    {0, 0xFF, 0xFF}, {0, 0xFF, 0},       {0, 0x99, 0xFF},
    {0, 0, 0xFF},       {0xFF, 0, 0xFF},    {0xFF, 0, 0},       {0xFF, 0xFF, 0}, {0xFF, 0x66, 0x66}, {0xFF, 0xFF, 0xFF},
    {0xDD, 0xDD, 0xDD}, {0x80, 0x80, 0x80}, {0x33, 0x33, 0x33}, {0, 0, 0},
};

void EnableCommand(HMENU menu, UINT id, bool enable)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

} // namespace

CKestrelDlg::CKestrelDlg()
    : m_Ui(*this, m_SplashDlg), m_Connection(GetApp().Link(), m_Ui, m_Clock), m_Settings(m_Connection)
{
    std::memset(m_ColorTable, 0, sizeof m_ColorTable);
}

CKestrelDlg::~CKestrelDlg()
{
    DestroyScreens();
}

bool CKestrelDlg::IsLinkOpen() const
{
    return GetApp().Link().IsOpen() != 0;
}

std::string CKestrelDlg::GetIniPath() const
{
    return ::GetIniPath(GetModulePath());
}

void CKestrelDlg::EnsureIniDefaults()
{
    CWin32Profile ini(GetIniPath());
    ::EnsureIniDefaults(ini);
}

void CKestrelDlg::LoadFileSettings()
{
    CWin32Profile ini(GetIniPath());
    SKestrelSettings settings;
    ::LoadFileSettings(ini, settings);
    m_strSoundFile = settings.strSoundFile;
    m_strControlFile = settings.strControlFile;
    m_strPatternFile = settings.strPatternFile;
    m_strLogoFile = settings.strLogoFile;
    m_strCursorStampFile = settings.strCursorStampFile;
}

void CKestrelDlg::SaveFileSettings()
{
    SKestrelSettings settings;
    settings.strSoundFile = m_strSoundFile;
    settings.strControlFile = m_strControlFile;
    settings.strPatternFile = m_strPatternFile;
    settings.strLogoFile = m_strLogoFile;
    settings.strCursorStampFile = m_strCursorStampFile;
    CWin32Profile ini(GetIniPath());
    ::SaveFileSettings(ini, settings);
}

INT_PTR CKestrelDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_ABOUTBOX)
            return FALSE;
        OnSysCommand(wParam);
        return TRUE;
    case WM_PAINT:
        return OnPaint();
    case WM_HELP:
        // F1 goes through the accelerator to Help Topics; the help request itself is ignored.
        return SetResult(TRUE);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon.get());
    case WM_QUERYOPEN:
        EndEffect();
        return SetResult(TRUE);
    case WM_QUERYENDSESSION:
        return SetResult(OnQueryEndSession());
    case WM_ENDSESSION:
        // The questions were answered at WM_QUERYENDSESSION; without this the projector
        // would stay in PC link mode and the last-used files would be lost at log-off.
        if (wParam)
            RunClosingSteps(*this);
        return SetResult(0);
    case MM_MCINOTIFY:
        if (m_pSupport)
            m_pSupport->OnSoundEnded();
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return FALSE;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED:
        if (msg == WM_PALETTECHANGED && reinterpret_cast<HWND>(wParam) == m_hWnd)
            return FALSE;
        OnPaletteChange();
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (m_pSupport)
                m_pSupport->OnMainDeactivated();
        } else {
            HWND screen = ScreenWindow(SelectedScreen());
            if (screen)
                InvalidateRect(screen, nullptr, TRUE);
        }
        return FALSE;
    case WM_INITMENUPOPUP:
        // An adapter plugged in since the last look appears in the port menu.
        if (IsLinkOpen())
            CheckPortMenu(GetApp().Link().GetPort());
        else
            FillPortMenu(GetMenu(m_hWnd), PortMenuChoices(m_Ui.PresentPorts(), 0));
        return FALSE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED && m_pSupport)
            m_pSupport->OnPresentationMode();
        return FALSE;
    case WM_NOTIFY:
        OnNotify(reinterpret_cast<NMHDR*>(lParam));
        return FALSE;
    case WM_TAPLINE_MOUSE:
    case WM_TAPLINE_KEY: {
        // Posted: the hook thread has decided already (the installer-only key included).
        HWND support = ScreenWindow(SCREEN_SUPPORT);
        return SetResult(support ? SendMessageA(support, msg, wParam, lParam) : 0);
    }
    case WM_DISPLAYCHANGE:
        // A running effect holds the old layout's pictures and sizes; its monitor may be gone.
        if (m_pSupport)
            m_pSupport->EndOnSystemChange();
        return FALSE;
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_LOCK && m_pSupport)
            m_pSupport->EndOnSystemChange();
        return FALSE;
    }
    if (msg >= UM_PACKET_RECEIVED && msg <= UM_NAK_SENT) {
        m_Connection.Receiver().OnEngineMessage(msg, wParam, lParam);
        return TRUE;
    }
    if (msg >= UM_EDITOR_FIRST && msg <= UM_EDITOR_LAST) {
        OnEditorMessage(msg);
        return TRUE;
    }
    return FALSE;
}

BOOL CKestrelDlg::OnInitDialog()
{
    m_Ui.SetMainWindow(m_hWnd);
    GetApp().Link().Attach(&m_Ui, &m_Connection.Receiver());
    m_Connection.SetItemListener(this);

    // 1. System menu, icons, tooltips, button icons.
    std::string about = LoadResString(IDS_ABOUTBOX);
    HMENU sysMenu = GetSystemMenu(m_hWnd, FALSE);
    if (sysMenu && !about.empty()) {
        AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    m_hIcon.reset(static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    m_hSmallIcon.reset(static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon.get()));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon.get()));
    m_hAccel = LoadAcceleratorsA(AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));

    m_hToolTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AppInstance(), nullptr);
    for (int i = 0; i < 6; ++i) {
        HWND button = GetDlgItem(m_hWnd, kButtonIds[i]);
        m_hButtonIcons[i].reset(
            static_cast<HICON>(LoadImageA(AppInstance(), MAKEINTRESOURCEA(kButtonIcons[i]), IMAGE_ICON, 32, 32, 0)));
        SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_hButtonIcons[i].get()));
        if (m_hToolTip) {
            TOOLINFOA tool = {};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = m_hWnd;
            tool.uId = reinterpret_cast<UINT_PTR>(button);
            tool.lpszText = LPSTR_TEXTCALLBACKA;
            SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    // 2. Configuration defaults and the files used last.
    EnsureIniDefaults();
    LoadFileSettings();

    // 3. Colour table.
    for (int i = 0; i < 16; ++i) {
        m_ColorTable[i][0] = kColorTable[i][0];
        m_ColorTable[i][1] = kColorTable[i][1];
        m_ColorTable[i][2] = kColorTable[i][2];
        m_ColorTable[i][3] = 0;
    }

    // 4. Splash.
    m_SplashDlg.Create(IDD_SPLASH, m_hWnd);

    // 5. The four screens, placed over the frame control.
    RECT frame;
    GetWindowRect(GetDlgItem(m_hWnd, IDC_SCREEN_FRAME), &frame);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);
    for (int i = 0; i < SCREEN_COUNT; ++i) {
        HWND screen;
        if (i == SCREEN_CONTROL) {
            auto panel = std::make_unique<CControlPanel>(m_Settings);
            m_pControlPanel = panel.get();
            m_pScreens[i] = std::move(panel);
            screen = m_pControlPanel->Create(m_hWnd);
            m_pControlPanel->Files().SetLastFile(m_strControlFile);
        } else if (i == SCREEN_CURSOR) {
            auto page = std::make_unique<CCursorSetPage>(GetApp().Link(), m_ColorTable, m_strCursorStampFile);
            m_pCursorPage = page.get();
            m_pScreens[i] = std::move(page);
            screen = m_pCursorPage->Create(m_hWnd);
        } else if (i == SCREEN_SUPPORT) {
            std::string ini = GetIniPath();
            auto support =
                std::make_unique<CSupportPage>(ini, ini.substr(0, ini.find_last_of('\\') + 1), m_strSoundFile);
            m_pSupport = support.get();
            screen = support->Create(m_hWnd);
            m_pScreens[i] = std::move(support);
        } else if (i == SCREEN_LOGO) {
            auto page = std::make_unique<CUserLogoPage>(m_Connection, m_Settings, m_strLogoFile);
            m_pLogoPage = page.get();
            m_pScreens[i] = std::move(page);
            screen = m_pLogoPage->Create(m_hWnd);
        } else {
            m_pScreens[i] = std::make_unique<CScreenDlg>();
            screen = m_pScreens[i]->Create(kScreens[i].nTemplate, m_hWnd);
        }
        if (screen)
            MoveWindow(m_pScreens[i]->GetHwnd(), frame.left, frame.top, frame.right - frame.left,
                       frame.bottom - frame.top, FALSE);
    }

    // The test pattern window, hidden until the panel's "Pattern Display" shows it.
    m_pTestPattern.reset(new CTestPattern);
    if (m_pTestPattern->Create(m_hWnd)) {
        m_pTestPattern->SetPattern(PATTERN_COLOR_IMAGE, m_strPatternFile);
        if (HWND panel = ScreenWindow(SCREEN_CONTROL))
            EnableWindow(GetDlgItem(panel, IDC_PATTERN_DISPLAY), TRUE);
    }

    // 6. Presentation Support alone in the list.
    HWND list = GetDlgItem(m_hWnd, IDC_SCREEN_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(IDS_SCREEN_SUPPORT).c_str()));
    SendMessageA(list, CB_SETCURSEL, SCREEN_SUPPORT, 0);

    // 7. ConnectMode, and the monitor effects run on.
    {
        CWin32Profile ini(GetIniPath());
        m_nConnectMode = ReadConnectMode(ini);
        SKeptPort kept = ReadKeptPort(ini);
        m_Connection.Link().SetPort(kept.nPort);
        m_Connection.Link().SetNetworkAddress(kept.strNetworkAddress);
        ShowEffectMonitor(ReadEffectMonitor(ini));
    }
    HMENU menu = GetMenu(m_hWnd);
    switch (GetStartConnect(m_nConnectMode)) {
    case START_UNCONNECTED:
        CheckMenuItem(menu, ID_ALWAYS_UNCONNECTED, MF_BYCOMMAND | MF_CHECKED);
        EnableProjectorButtons(false);
        if (m_pSupport)
            m_pSupport->SetLinkOpen(false);
        RefreshScreen();
        break;
    case START_CONNECT:
        CheckMenuItem(menu, ID_ALWAYS_UNCONNECTED, MF_BYCOMMAND | MF_UNCHECKED);
        m_Connection.ConnectAtStartup();
        break;
    case START_NEITHER:
        // The buttons start disabled in the template, so they stay in step with the closed link.
        RefreshScreen();
        break;
    }

    // 8. The splash stays for its full time.
    m_SplashDlg.AllowClose();
    HWND splash = m_SplashDlg.GetHwnd();
    // Read after the loop even when the splash closed before it: a connection dialog or a
    // warming wait outlasts the splash's time.
    MSG msg = {};
    while (splash && IsWindow(splash) && GetMessageA(&msg, splash, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // "Exit" in a connection dialog asked the program to end: the main loop must see it too.
    if (msg.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(msg.wParam));

    // 9. Shortcut keys reach this window from every program. Effects replace the desktop's
    // pointers: a failure of the program must not leave them replaced.
    InstallEffectGuard();
    HookKeyboard(m_hWnd);
    // A locked session ends a running effect.
    WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION);

    // 10. Centred and minimized: effects run while the window is an icon.
    RECT rc, work;
    GetWindowRect(m_hWnd, &rc);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(m_hWnd, nullptr, work.left + ((work.right - work.left) - (rc.right - rc.left)) / 2,
                 work.top + ((work.bottom - work.top) - (rc.bottom - rc.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(m_hWnd, SW_MINIMIZE);
    return TRUE;
}

void CKestrelDlg::OnLinkChanged(bool linkOpen)
{
    m_bSettingsRead = 0;
    m_bCursorRefresh = 1;
    // The logo page starts (the connected model's zoom) or shows its logo's zoom when next shown.
    if (linkOpen)
        m_bLogoRefresh = 1;
    EnableProjectorButtons(linkOpen);
    if (m_pSupport)
        m_pSupport->SetLinkOpen(linkOpen);
    RebuildScreenList();
}

void CKestrelDlg::OnItemChanged(uint16_t item, bool fromProjector, int projector)
{
    // The projector asks for the effect of a slot: the value's low byte.
    if (item == kItemPresentation && fromProjector && projector == 1 && m_pSupport)
        m_pSupport->RunEffect(m_Settings.GetItemValue(item, projector) & 0xFF, 0);
    if (m_pControlPanel)
        m_pControlPanel->OnItemChanged(item, fromProjector, projector);
}

void CKestrelDlg::CheckPortMenu(unsigned int port)
{
    FillPortMenu(GetMenu(m_hWnd), PortMenuChoices(m_Ui.PresentPorts(), port));
    CheckPortItem(GetMenu(m_hWnd), port);
}

void CKestrelDlg::KeepPort(unsigned int port)
{
    CWin32Profile ini(GetIniPath());
    WriteKeptPort(ini, port, GetApp().Link().GetNetworkAddress());
}

std::string CKestrelDlg::NetworkAddress() const
{
    return GetApp().Link().GetNetworkAddress();
}

void CKestrelDlg::ChooseNetworkPort()
{
    CNetworkPortDlg dialog(GetApp().Link().GetNetworkAddress());
    if (dialog.DoModal(IDD_NETWORK_PORT, m_hWnd) != IDOK)
        return;
    GetApp().Link().SetNetworkAddress(dialog.GetAddress());
    m_Connection.SelectPort(kNetworkPort);
}

void CKestrelDlg::RefreshControlScreen()
{
    if (m_pControlPanel)
        m_pControlPanel->RefreshPages();
}

void CKestrelDlg::EnableProjectorButtons(bool enable)
{
    for (UINT id : kButtonIds)
        EnableWindow(GetDlgItem(m_hWnd, id), enable);
}

int CKestrelDlg::SelectedScreen() const
{
    return static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_SCREEN_LIST, CB_GETCURSEL, 0, 0));
}

HWND CKestrelDlg::ScreenWindow(int screen) const
{
    if (screen < 0 || screen >= SCREEN_COUNT || !m_pScreens[screen])
        return nullptr;
    return m_pScreens[screen]->GetHwnd();
}

void CKestrelDlg::RebuildScreenList()
{
    SScreenList screens = ::RebuildScreenList(SelectedScreen(), IsLinkOpen(), m_Connection.IsStackMode() != 0);
    HWND list = GetDlgItem(m_hWnd, IDC_SCREEN_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < screens.nCount; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadResString(kScreens[i].nName).c_str()));
    SendMessageA(list, CB_SETCURSEL, screens.nSelected, 0);
    RefreshScreen();
}

void CKestrelDlg::RefreshScreen()
{
    int selected = SelectedScreen();
    // The user logo page refreshes itself; the flags are kept here.
    if (selected == SCREEN_CONTROL && m_pControlPanel && m_pControlPanel->Exists() && !m_bSettingsRead) {
        m_bSettingsRead = 1;
        m_Settings.ReadProjectorSettings();
    }
    if (selected == SCREEN_LOGO && m_bLogoRefresh) {
        m_bLogoRefresh = 0;
        if (m_pLogoPage)
            m_pLogoPage->Start();
    }
    if (selected == SCREEN_CURSOR && m_bCursorRefresh) {
        m_bCursorRefresh = 0;
        // The projector's set information belongs to the setting table, and so to setting files.
        if (IsLinkOpen())
            m_Settings.QueryItem(m_Connection.IsStackMode(), 1, kItemCursorSets);
    }

    for (int i = 0; i < SCREEN_COUNT; ++i)
        if (i != selected && ScreenWindow(i))
            ShowWindow(ScreenWindow(i), SW_HIDE);
    if (m_pSupport)
        m_pSupport->EndEffectOverDisabledOverlay();

    SScreenMenu items = GetScreenMenu(selected);
    HMENU menu = GetMenu(m_hWnd);
    EnableCommand(menu, ID_FILE_NEW, items.bNew);
    EnableCommand(menu, ID_FILE_OPEN, items.bFile);
    EnableCommand(menu, ID_FILE_SAVE, items.bFile);
    EnableCommand(menu, ID_FILE_SAVE_AS, items.bFile);
    EnableCommand(menu, ID_TEST_PATTERN, items.bTestPattern);
    EnableCommand(menu, ID_SEND_LOGO, items.bSendLogo);
    EnableCommand(menu, ID_SEND_CURSOR, items.bSendCursor);
    DrawMenuBar(m_hWnd);
    if (HWND screen = ScreenWindow(selected))
        ShowWindow(screen, SW_SHOWNA);
}

void CKestrelDlg::OnCommand(UINT id, UINT code)
{
    unsigned int port;
    if (PortOfCommand(id, port)) {
        m_Connection.SelectPort(port);
        return;
    }
    switch (id) {
    case ID_PORT_NETWORK:
        ChooseNetworkPort();
        break;
    case IDC_SCREEN_LIST:
        if (code == CBN_SELCHANGE)
            RefreshScreen();
        break;
    case IDC_POWER:
    case IDC_AVMUTE:
    case IDC_FREEZE:
    case IDC_RESIZE:
    case IDC_VIDEO:
    case IDC_COMPUTER:
        if (code == BN_CLICKED)
            m_Connection.PressProjectorButton(id);
        break;
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_SEND_LOGO:
    case ID_FILE_NEW:
    case ID_SEND_CURSOR:
        // Each goes to the page of its screen, checked against GetScreenMenu because
        // accelerators arrive whatever the menu shows.
        if (SelectedScreen() == SCREEN_CONTROL && m_pControlPanel && GetScreenMenu(SCREEN_CONTROL).bFile &&
            (id == ID_FILE_OPEN || id == ID_FILE_SAVE || id == ID_FILE_SAVE_AS))
            m_pControlPanel->OnFileCommand(id);
        if (SelectedScreen() == SCREEN_LOGO && m_pLogoPage && id != ID_FILE_NEW && id != ID_SEND_CURSOR &&
            GetScreenMenu(SCREEN_LOGO).bFile) {
            if (id == ID_FILE_OPEN)
                m_pLogoPage->OpenLogo();
            else if (id == ID_FILE_SAVE)
                m_pLogoPage->SaveLogo();
            else if (id == ID_FILE_SAVE_AS)
                m_pLogoPage->SaveLogoAs();
            else
                m_pLogoPage->SendLogo();
        }
        if (SelectedScreen() == SCREEN_CURSOR && m_pCursorPage && id != ID_SEND_LOGO &&
            (id == ID_SEND_CURSOR ? GetScreenMenu(SCREEN_CURSOR).bSendCursor
             : id == ID_FILE_NEW  ? GetScreenMenu(SCREEN_CURSOR).bNew
                                  : GetScreenMenu(SCREEN_CURSOR).bFile))
            m_pCursorPage->OnMenuCommand(id);
        break;
    case ID_TEST_PATTERN:
    case IDC_PATTERN_DISPLAY:
        OnTestPatternCommand(id);
        break;
    case ID_APP_EXIT:
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        break;
    case ID_EXECUTE_SUPPORT:
        ShowWindow(m_hWnd, SW_MINIMIZE);
        break;
    case ID_ALWAYS_UNCONNECTED:
        ToggleConnectMode();
        break;
    case ID_EFFECTS_ON_POINTER:
    case ID_EFFECTS_ON_PRIMARY: {
        int choice = id == ID_EFFECTS_ON_PRIMARY ? EFFECT_MONITOR_PRIMARY : EFFECT_MONITOR_POINTER;
        CWin32Profile ini(GetIniPath());
        WriteEffectMonitor(ini, choice);
        ShowEffectMonitor(choice);
        break;
    }
    case ID_HELP_FINDER:
        OpenManual(m_hWnd);
        break;
    case ID_APP_ABOUT:
        m_bAboutOpen = 1;
        if (m_pSupport)
            m_pSupport->WatchInstallerKey(true, [this] {
                if (!m_bAboutOpen || !m_AboutDlg.Exists())
                    return;
                m_bInstallerKey = 1;
                m_bAboutOpen = 0;
                EndDialog(m_AboutDlg.GetHwnd(), IDCANCEL);
            });
        m_AboutDlg.DoModal(IDD_ABOUTBOX, m_hWnd);
        m_bAboutOpen = 0;
        if (m_pSupport)
            m_pSupport->WatchInstallerKey(false, nullptr);
        if (m_bInstallerKey) {
            m_bInstallerKey = 0;
            RunInstallerMode();
        }
        break;
    }
}

void CKestrelDlg::RunInstallerMode()
{
    CPasswordDlg password(m_Settings);
    if (password.DoModal(IDD_PASSWORD, m_hWnd) != IDOK)
        return;
    if (!m_bSettingsRead) {
        m_bSettingsRead = 1;
        m_Settings.ReadProjectorSettings();
    }
    CInstallerDlg installer(m_Settings, m_pControlPanel ? &m_pControlPanel->Files() : nullptr);
    installer.DoModal(IDD_INSTALLER, m_hWnd);
    RebuildScreenList();
    if (m_pControlPanel) {
        m_pControlPanel->SelectProjector(m_Connection.CurrentProjector());
        m_pControlPanel->RefreshPages();
    }
}

void CKestrelDlg::ToggleConnectMode()
{
    CWin32Profile ini(GetIniPath());
    m_nConnectMode = ::ToggleConnectMode(ini, m_nConnectMode);
    CheckMenuItem(GetMenu(m_hWnd), ID_ALWAYS_UNCONNECTED,
                  MF_BYCOMMAND | (m_nConnectMode == 1 ? MF_CHECKED : MF_UNCHECKED));
    ShowMessage(m_hWnd, IDS_NEXT_STARTUP, MB_OK | MB_ICONINFORMATION, IDS_CAPTION);
}

void CKestrelDlg::ShowEffectMonitor(int choice)
{
    CheckMenuRadioItem(GetMenu(m_hWnd), ID_EFFECTS_ON_POINTER, ID_EFFECTS_ON_PRIMARY,
                       choice == EFFECT_MONITOR_PRIMARY ? ID_EFFECTS_ON_PRIMARY : ID_EFFECTS_ON_POINTER, MF_BYCOMMAND);
    if (m_pSupport)
        m_pSupport->SetEffectMonitor(EffectMonitorFromValue(choice));
}

void CKestrelDlg::OnSysCommand(WPARAM)
{
    CDialogBase about;
    about.DoModal(IDD_ABOUTBOX, m_hWnd);
}

BOOL CKestrelDlg::OnPaint()
{
    if (!IsIconic(m_hWnd))
        return FALSE;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    DrawIcon(dc, (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2, (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2,
             m_hIcon.get());
    EndPaint(m_hWnd, &ps);
    return TRUE;
}

void CKestrelDlg::OnPaletteChange()
{
    // Only the user logo screen draws through a palette of its own.
    m_pPalette = SelectedScreen() == SCREEN_LOGO && m_pLogoPage ? m_pLogoPage->DisplayPalette() : nullptr;
    if (!m_pPalette)
        return;
    UINT changed;
    {
        CWindowDC dc(m_hWnd);
        HPALETTE old = SelectPalette(dc.Get(), m_pPalette, FALSE);
        changed = RealizePalette(dc.Get());
        SelectPalette(dc.Get(), old, FALSE);
    }
    HWND screen = ScreenWindow(SelectedScreen());
    if (changed && screen)
        InvalidateRect(screen, nullptr, TRUE);
}

void CKestrelDlg::OnNotify(NMHDR* header)
{
    if (header->code != TTN_NEEDTEXTA && header->code != TTN_NEEDTEXTW)
        return;
    // The tooltip of a button is the string with the button's control ID.
    UINT_PTR id = header->idFrom;
    if (reinterpret_cast<NMTTDISPINFOA*>(header)->uFlags & TTF_IDISHWND)
        id = static_cast<UINT_PTR>(GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)));
    if (header->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        info->lpszText = MAKEINTRESOURCEA(id);
        info->hinst = AppInstance();
    } else {
        NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        info->lpszText = MAKEINTRESOURCEW(id);
        info->hinst = AppInstance();
    }
}

void CKestrelDlg::OnEditorMessage(UINT msg)
{
    // The cursor/stamp editor's notices go to the screen that started it: the Presentation
    // Support screen takes all but 0x52E, the cursor/stamp screen 0x52E and 0x52F.
    int screen = SelectedScreen();
    HWND target = nullptr;
    if (screen == SCREEN_SUPPORT && msg != 0x52E)
        target = ScreenWindow(SCREEN_SUPPORT);
    if (screen == SCREEN_CURSOR && msg >= 0x52E)
        target = ScreenWindow(SCREEN_CURSOR);
    if (target)
        PostMessageA(target, msg, 0, 0);
}

bool CKestrelDlg::PreTranslateMessage(MSG& msg)
{
    if (!m_hWnd || (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd)))
        return false;
    // Key-capture fields take their keys before accelerators and dialog keys.
    if (CCaptureEdit::PreTranslate(msg))
        return true;

    if (msg.message == WM_KEYDOWN) {
        HWND focus = GetFocus();
        HWND first = GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
        HWND last = first ? GetNextDlgTabItem(m_hWnd, first, TRUE) : nullptr;
        bool shift = GetKeyState(VK_SHIFT) < 0;
        switch (ClassifyKeyDown(static_cast<unsigned int>(msg.wParam), shift, focus && focus == first,
                                focus && focus == last)) {
        case KEY_SWALLOW:
            return true;
        case KEY_FOCUS_SCREEN_FIRST:
            if (FocusScreen(false))
                return true;
            break;
        case KEY_FOCUS_SCREEN_LAST:
            if (FocusScreen(true))
                return true;
            break;
        case KEY_DEFAULT:
            break;
        }
    }
    if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSDEADCHAR && m_hAccel &&
        TranslateAcceleratorA(m_hWnd, m_hAccel, &msg))
        return true;

    // Controls of a screen get that screen's dialog keys.
    for (int i = 0; i < SCREEN_COUNT; ++i) {
        HWND screen = ScreenWindow(i);
        if (screen && (msg.hwnd == screen || IsChild(screen, msg.hwnd)))
            return IsDialogMessageA(screen, &msg) != FALSE;
    }
    return IsDialogMessageA(m_hWnd, &msg) != FALSE;
}

bool CKestrelDlg::FocusScreen(bool last)
{
    // A screen without controls would hold the focus with no way back by keyboard, so
    // the Tab then stays in the main window.
    HWND screen = ScreenWindow(SelectedScreen());
    HWND target = screen ? GetNextDlgTabItem(screen, nullptr, last ? TRUE : FALSE) : nullptr;
    if (last && SelectedScreen() == SCREEN_CONTROL && m_pControlPanel)
        target = m_pControlPanel->LastFocusControl();
    // Without any tab stop the search may hand back a control that is not one.
    if (!target || !IsWindowEnabled(target) || !(GetWindowLongA(target, GWL_STYLE) & WS_TABSTOP))
        return false;
    SetFocus(target);
    return true;
}

void CKestrelDlg::OnClose()
{
    if (RunCloseSequence(*this))
        DestroyWindow(m_hWnd);
}

BOOL CKestrelDlg::OnQueryEndSession()
{
    return RunSaveQuestions(*this) ? TRUE : FALSE;
}

// Close steps. The user logo and cursor/stamp screens have no unsaved state until their
// pages exist; effects, the link and the hook join these steps with their libraries.
ESaveAnswer CKestrelDlg::AskSaveLogo()
{
    return m_pLogoPage ? m_pLogoPage->AskSave(MB_ICONQUESTION) : SAVE_NO;
}

bool CKestrelDlg::SaveLogo()
{
    return !m_pLogoPage || m_pLogoPage->SaveLogo();
}

void CKestrelDlg::OnTestPatternCommand(UINT id)
{
    if (!m_pTestPattern)
        return;
    if (id == IDC_PATTERN_DISPLAY) {
        HWND panel = ScreenWindow(SCREEN_CONTROL);
        m_pTestPattern->Show(panel && IsDlgButtonChecked(panel, IDC_PATTERN_DISPLAY) == BST_CHECKED);
        return;
    }
    if (SelectedScreen() != SCREEN_CONTROL)
        return;
    CTestPatternDialog dialog(m_pTestPattern->GetPattern(), m_strPatternFile);
    if (dialog.DoModal(IDD_TEST_PATTERN, m_hWnd) != IDOK)
        return;
    if (dialog.GetPattern() != m_pTestPattern->GetPattern() || dialog.GetFile() != m_strPatternFile) {
        m_strPatternFile = dialog.GetFile();
        m_pTestPattern->SetPattern(dialog.GetPattern(), m_strPatternFile);
    }
}

ESaveAnswer CKestrelDlg::AskSaveCursorSet()
{
    return m_pCursorPage ? m_pCursorPage->AskSave(MB_ICONQUESTION) : SAVE_NO;
}

bool CKestrelDlg::SaveCursorSet()
{
    return !m_pCursorPage || m_pCursorPage->Save();
}

void CKestrelDlg::EndEffect()
{
    if (m_pSupport)
        m_pSupport->StopEffect();
    RestorePointers();
    // Effects draw on the desktop itself: nothing of them may stay once they are over.
    RepaintDesktop();
}

void CKestrelDlg::ReleasePcLinkMode()
{
    if (IsLinkOpen())
        m_Connection.ReleaseLinkMode();
}

void CKestrelDlg::CloseLink()
{
    if (IsLinkOpen())
        GetApp().Link().Close();
}

void CKestrelDlg::DestroyScreens()
{
    // The ini is written after the screens are gone.
    if (m_pControlPanel)
        m_strControlFile = m_pControlPanel->Files().LastFile();
    m_pTestPattern.reset();
    m_pControlPanel = nullptr;
    m_pCursorPage = nullptr;
    m_pLogoPage = nullptr;
    m_pSupport = nullptr;
    for (std::unique_ptr<CScreenDlg>& screen : m_pScreens)
        screen.reset(); // destroys its window
}

void CKestrelDlg::ReleaseIconsAndHook()
{
    for (int i = 0; i < 6; ++i) {
        SendDlgItemMessageA(m_hWnd, kButtonIds[i], BM_SETIMAGE, IMAGE_ICON, 0);
        m_hButtonIcons[i].reset();
    }
    WTSUnRegisterSessionNotification(m_hWnd);
    UnhookKeyboard();
}

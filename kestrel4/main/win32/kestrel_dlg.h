// CKestrelDlg: the main window. It hosts the four screens, the projector buttons and the
// menus; its decisions come from the portable core (main_logic, kestrel_ini).
#pragma once
#include <memory>

#include "connection.h"
#include "control_panel.h"
#include "cursor_page.h"
#include "dialog_base.h"
#include "kestrel_ini.h"
#include "main_logic.h"
#include "main_window_ui.h"
#include "screen_dlgs.h"
#include "setting_model.h"
#include "splash_dlg.h"
#include "win32_handles.h"

#include <memory>
#include <string>

class CUserLogoPage;
class CTestPattern;
class CSupportPage;

// Messages other programs and libraries send to the main window.
const UINT WM_TAPLINE_KEY = 0x464;
const UINT WM_TAPLINE_MOUSE = 0x465;
const UINT UM_EDITOR_FIRST = 0x52C; // from the cursor/stamp editor, 0x52C .. 0x52F
const UINT UM_EDITOR_LAST = 0x52F;

class CKestrelDlg : public CDialogBase, private ICloseSteps, private IMainWindowEvents, private IItemListener {
public:
    CKestrelDlg();
    ~CKestrelDlg() override;

    // Sees every message of the thread before it is dispatched; true when it was consumed.
    bool PreTranslateMessage(MSG& msg) override;

    void RefreshScreen();
    void RebuildScreenList();
    std::string GetIniPath() const;
    void EnsureIniDefaults();
    void LoadFileSettings();
    void SaveFileSettings() override;

    bool IsLinkOpen() const;

    int m_nConnectMode = 1;
    int m_bLogoRefresh = 0;
    int m_bAboutOpen = 0;
    int m_bInstallerKey = 0; // the installer key closed the version box
    // Whether the projector control screen has read the settings since the last connection,
    // and whether the cursor/stamp screen must query its sets again.
    int m_bSettingsRead = 0;
    int m_bCursorRefresh = 0;
    std::string m_strSoundFile;
    std::string m_strPatternFile;
    std::string m_strLogoFile;
    BYTE m_ColorTable[16][4];
    HPALETTE m_pPalette = nullptr;

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnInitDialog();
    void OnCommand(UINT id, UINT code);
    // "Network port...": its address, then a connection there.
    void ChooseNetworkPort();
    void OnClose();
    BOOL OnQueryEndSession();
    void OnSysCommand(WPARAM wParam);
    BOOL OnPaint();
    void OnPaletteChange();
    void OnNotify(NMHDR* header);
    void OnEditorMessage(UINT msg);
    void ToggleConnectMode();
    // Checks the "Effects on" choice in the menu and hands it to the effects.
    void ShowEffectMonitor(int choice);
    void EnableProjectorButtons(bool enable);
    bool FocusScreen(bool last);
    int SelectedScreen() const;
    // Password, then the installer dialog; afterwards the screens show what it changed.
    void RunInstallerMode();
    HWND ScreenWindow(int screen) const;

    // ICloseSteps
    ESaveAnswer AskSaveLogo() override;
    bool SaveLogo() override;
    ESaveAnswer AskSaveCursorSet() override;
    bool SaveCursorSet() override;
    void EndEffect() override;
    void ReleasePcLinkMode() override;
    void CloseLink() override;
    void DestroyScreens() override;
    void ReleaseIconsAndHook() override;

    // IItemListener
    void OnItemChanged(uint16_t item, bool fromProjector, int projector) override;

    // IMainWindowEvents
    void OnLinkChanged(bool linkOpen) override;
    void CheckPortMenu(unsigned int port) override;
    void KeepPort(unsigned int port) override;
    std::string NetworkAddress() const override;
    void RefreshControlScreen() override;

    CDialogBase m_AboutDlg; // the version box: OK and Cancel end it
    CSplashDlg m_SplashDlg;
    CMainWindowUi m_Ui;
    CSystemClock m_Clock;
    // The projector's state: identification, power, addressing and the reply handlers.
    CConnection m_Connection;
    // The setting table and the item commands of the pages, files and installer mode.
    CSettingModel m_Settings;
    std::unique_ptr<CScreenDlg> m_pScreens[SCREEN_COUNT];
    CControlPanel* m_pControlPanel = nullptr; // screen 1, owned by m_pScreens
    CCursorSetPage* m_pCursorPage = nullptr;  // screen 3, owned by m_pScreens
    CUserLogoPage* m_pLogoPage = nullptr;     // screen 2, owned by m_pScreens
    std::unique_ptr<CTestPattern> m_pTestPattern;
    void OnTestPatternCommand(UINT id);
    CSupportPage* m_pSupport = nullptr; // screen 0, owned by m_pScreens
    HACCEL m_hAccel = nullptr;
    CIcon m_hIcon;
    CIcon m_hSmallIcon;
    CIcon m_hButtonIcons[6];
    HWND m_hToolTip = nullptr;
    // Handed to the projector control and cursor/stamp screens once those are built.
    std::string m_strControlFile;
    std::string m_strCursorStampFile;
};

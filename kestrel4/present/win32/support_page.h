// CSupportPage: the Presentation Support screen (dialog 129). The five slots as tabs and
// buttons, the list of function settings with "Enter..." and "Delete", the type list, the
// shortcut field and, over the page area, the setting page of the current slot's type.
// What it shows and stores is CSupportSettings'; this class is its view.
#pragma once
#include "capture_edit.h"
#include "effect_execution.h"
#include "effect_host.h"
#include "effect_pages.h"
#include "screen_dlgs.h"
#include "support_settings.h"

#include <functional>
#include <memory>
#include <string>

class CSupportPage : public CScreenDlg, private IEffectPageHost, private IEffectSlots {
public:
    // soundFile: the main window's remembered last sound file.
    CSupportPage(const std::string& iniPath, const std::string& programFolder, std::string& soundFile);
    ~CSupportPage() override;
    HWND Create(HWND parent);

    // Slot n (1..6) at the projector's request (local 0) or the user's (1).
    int RunEffect(int n, int local);
    // Ends a running effect and leaves the screen and the pointers as they were.
    void StopEffect();
    // The main window was minimized: shortcuts work, and a Key effect plays without releases.
    void OnPresentationMode();
    // The main window's MCI notification: a played sound has ended.
    void OnSoundEnded();
    // The main window lost the activation: minimized, it ends a running effect.
    void OnMainDeactivated();
    // The main window changed its screen: an effect whose Test overlay was disabled ends.
    void EndEffectOverDisabledOverlay();
    // Whether the projector link is open.
    void SetLinkOpen(bool open);
    // The monitor effects run on from the next start.
    void SetEffectMonitor(EEffectMonitor choice);
    // The monitors changed or the session was locked: a running effect ends.
    void EndOnSystemChange();
    // While the version box is open, its key to the installer-only mode is taken from the
    // desktop and onKey runs.
    void WatchInstallerKey(bool watch, std::function<void()> onKey);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInit();
    void OnCommand(UINT id, UINT code);
    void OnEffectChanged() override;
    void OnTest() override;
    void OnItemsRenumbered(int type, const std::vector<std::string>& before, size_t deleted) override;
    const CEffect* GetSlotEffect(int slot) const override;
    const KeyCodeArray& GetSlotShortcut(int slot) const override;

    void CreatePages();
    // The editor saved an item: the shown library reads its folder again.
    void OnItemSaved(int type);
    void SelectSlot(int slot);
    void ChooseType(int type);
    void ShowPage();
    void FillNameList();
    void RefreshAll();
    void OnEnter();
    void OnDelete();
    void OnShortcut(const std::string& text);
    // Kestrel4.ini could not be written; the page shows what it holds.
    void ReportWriteFailure();
    void DrawTypeItem(const DRAWITEMSTRUCT& item);
    void DrawSlotButton(const DRAWITEMSTRUCT& item);
    void MeasureTypeItem(MEASUREITEMSTRUCT& item);

    std::string m_strProgramFolder;
    std::string& m_strSoundFile;
    CIniFile m_Ini;
    int m_nKeyboardKind;
    CSupportSettings m_Settings;
    CCaptureEdit m_Shortcut;
    std::unique_ptr<CEffectPage> m_pPages[kEffectTypeCount];
    CKeyPage* m_pKeyPage = nullptr;
    HICON m_hIcons[kEffectTypeCount] = {};
    std::unique_ptr<CEffectHost> m_pEffectHost;
    std::unique_ptr<CEffectExecution> m_pExecution;
    int m_nSlot = 0;
    int m_bInitialized = 0;
};

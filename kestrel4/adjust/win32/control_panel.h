// CControlPanel: the "Projector control" screen. A tab control with six tabs over seven
// pages (the Video tab shows the computer or the video page by the input), the four
// projector buttons, and the reading notice around a whole-model read. It is the setting
// model's view: values the model takes reach the page that shows them.
#pragma once
#include <windows.h>

#include "about_page.h"
#include "adjust_pages.h"
#include "screen_dlgs.h"
#include "setting_files_ui.h"
#include "setting_model.h"

class CConnection;
class CSettingModel;

class CReadingDlg : public CDialogBase {
protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class CControlPanel : public CScreenDlg, public ISettingView {
public:
    explicit CControlPanel(CSettingModel& settings);
    ~CControlPanel() override;
    HWND Create(HWND parent);

    // Where Shift+Tab from the main window lands: the last control of the page shown, or
    // the tabs when that page has none to take the focus.
    HWND LastFocusControl() const;
    // After the table changed for an item (answers and reports alike).
    void OnItemChanged(uint16_t item, bool fromProjector, int projector);
    // The projector whose values the pages show; the pages refresh when it changes.
    void SelectProjector(int projector);
    // File > Open, Save and Save As while this screen is shown.
    void OnFileCommand(UINT id);
    CSettingFileUi& Files() { return m_Files; }

    // ISettingView
    void ShowValue(ESettingPage page, uint16_t item, int32_t value) override;
    void RefreshPages() override;
    void ShowReadingDialog() override;
    void DestroyReadingDialog() override;
    void RequeryLater() override;

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInit();
    void ShowTab(int tab);
    HWND TabPage(int tab) const;
    void EnableProjectorButtons();
    // "Reset..." by the reset locks of the tab shown.
    void EnableResetButton();

    CSettingModel& m_Settings;
    CConnection& m_Connection;
    CPageContext m_Context;
    CVideoComputerPage m_VideoComputer;
    CVideoVideoPage m_VideoVideo;
    CAudioPage m_Audio;
    CSettingPage m_Setting;
    CAdvancedPage m_Advanced;
    CAboutPage m_About;
    CGammaPage m_Gamma;
    CReadingDlg m_Reading;
    CSettingFileUi m_Files;
    int m_nTab = 0;
};

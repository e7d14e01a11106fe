// CUserLogoPage: the "Setting User logo" screen. The user opens a bitmap or logo file,
// chooses its area and zoom, saves it as a logo file and sends it to the projector.
#pragma once
#include <string>

#include "dib_gdi.h"
#include "logo_document.h"
#include "main_logic.h"
#include "screen_dlgs.h"

class CConnection;
class CSettingModel;

class CUserLogoPage : public CScreenDlg {
public:
    // lastFile is the main window's remembered logo file ("UserlogoFile").
    CUserLogoPage(const CConnection& connection, CSettingModel& settings, std::string& lastFile);
    HWND Create(HWND parent);
    // Page start, again whenever a projector has been connected since: the default logo
    // when there is no picture, and the connected model's zoom.
    void Start();

    void OpenLogo();
    // A bitmap source or an unnamed logo asks for a file name first.
    void SaveLogo();
    void SaveLogoAs();
    void SendLogo();
    // The working copy's palette for palette displays; none before a picture is loaded.
    HPALETTE DisplayPalette() const { return m_Palette.Handle(); }
    // At close: the question about unsaved changes.
    ESaveAnswer AskSave();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInit();
    void SelectArea();
    void OnZoomChosen();
    void SelectZoomOf(int rate);
    int DefaultZoomIndex() const;
    void DrawPreview(const DRAWITEMSTRUCT& item);
    void Refresh();
    bool ReportFailure(ELogoResult result);
    HWND Owner() const { return GetAncestor(m_hWnd, GA_ROOT); }

    const CConnection& m_Connection;
    CSettingModel& m_Settings;
    std::string& m_strLastFile;
    CLogoDocument m_Logo;
    CDIBPal m_Palette;
};

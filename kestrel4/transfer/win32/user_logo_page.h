// CUserLogoPage: the "Setting User logo" screen. The user opens (or drops on it) a picture or
// logo file, chooses its area and zoom, saves it as a logo file and sends it to the projector.
#pragma once
#include <windows.h>

#include <shellapi.h>
#include <string>

#include "dib_gdi.h"
#include "logo_document.h"
#include "save_question.h"
#include "screen_dlgs.h"

class CConnection;
class CSettingModel;

class CUserLogoPage : public CScreenDlg {
public:
    // lastFile is the main window's remembered logo file ("UserlogoFile").
    CUserLogoPage(CConnection& connection, CSettingModel& settings, std::string& lastFile);
    HWND Create(HWND parent);
    // Called when the page is shown after a connection. The first call is the page start: the
    // default logo when there is no picture, at the connected model's zoom. Later calls keep
    // the logo as it is and show its zoom.
    void Start();

    void OpenLogo();
    // A bitmap source or an unnamed logo asks for a file name first. Both report whether the
    // logo was written (false for a cancelled dialog or a failed write).
    bool SaveLogo();
    bool SaveLogoAs();
    void SendLogo();
    // The working copy's palette for palette displays; none before a picture is loaded.
    HPALETTE DisplayPalette() const { return m_Palette.Handle(); }
    // "Save the change to user logo file?" when the logo was changed, with icon
    // (MB_ICONQUESTION at program close).
    ESaveAnswer AskSave(UINT icon);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInit();
    // A file dropped on the page opens as if chosen in the open dialog.
    void OnDropFiles(HDROP drop);
    // After the save question; false when the user cancelled it.
    bool MayReplaceLogo();
    void OpenChosen(const std::string& path);
    void SelectArea();
    void OnZoomChosen();
    // The combo shows the held logo's zoom; the default index without a logo.
    void ShowZoom();
    int DefaultZoomIndex() const;
    void DrawPreview(const DRAWITEMSTRUCT& item);
    void Refresh();
    bool ReportFailure(ELogoResult result);
    HWND Owner() const { return GetAncestor(m_hWnd, GA_ROOT); }

    CConnection& m_Connection;
    CSettingModel& m_Settings;
    std::string& m_strLastFile;
    CLogoDocument m_Logo;
    CDIBPal m_Palette;
    bool m_bStarted = false;
};

// The File menu of the projector control screen and the panel's "Reset...": projector setting
// files through the common file dialogs, and page or whole-projector resets behind the reset
// dialog and its confirmation.
#pragma once
#include <windows.h>
#include <string>

#include "dialog_base.h"
#include "page_reset.h"

class CSettingModel;
class ISettingView;

// IDD 183: the page's reset or "Reset All".
class CResetDlg : public CDialogBase {
public:
    explicit CResetDlg(UINT pageText) : m_nPageText(pageText) {}
    bool IsResetAll() const { return m_bAll; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    UINT m_nPageText;
    bool m_bAll = false;
};

// A dialog that only shows its template (the "Wait..." notice while a file goes out).
class CNoticeDlg : public CDialogBase {
protected:
    INT_PTR HandleMessage(UINT msg, WPARAM, LPARAM) override { return msg == WM_INITDIALOG ? TRUE : FALSE; }
};

class CSettingFileUi {
public:
    CSettingFileUi(CSettingModel& settings, ISettingView& view) : m_Settings(settings), m_View(view) {}

    void OpenSettingFile(HWND owner, bool withLocks);
    void SaveSettingFile(HWND owner);
    void SaveSettingFileAs(HWND owner);
    // The reset of the tab shown (TAB_*); nothing for a tab without one.
    void ResetPage(HWND owner, int tab);
    // Item changes reach the resolution wait of a running page reset.
    void OnItemChanged(uint16_t item, bool fromProjector) { m_ResolutionWait.OnItemChanged(item, fromProjector); }

    const std::string& CurrentFile() const { return m_strCurrentFile; }
    // The last setting file as the ini keeps it: read at start-up for the setting-file
    // directory (the current file stays empty), written at the end.
    void SetLastFile(const std::string& path);
    const std::string& LastFile() const { return m_strLastFile; }

private:
    // The setting-file directory, else the program's, becomes the current directory; returns it.
    std::string ChooseDirectory() const;
    bool Write(HWND owner);

    CSettingModel& m_Settings;
    ISettingView& m_View;
    std::string m_strCurrentFile;
    std::string m_strDirectory;
    std::string m_strLastFile;
    CResolutionWait m_ResolutionWait;
};

// The installer-only mode's dialogs: the password input that guards it, the installer dialog
// (locks, set points, stacks, source switching, setting files) and the password change. The
// projector holds the password; the edits are emptied after every use.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "dialog_base.h"
#include "installer_rules.h"
#include "win32_handles.h"

class CConnection;
class CSettingModel;
class CSettingFileUi;

// IDD 178: ends with OK only when the projector accepted the password.
class CPasswordDlg : public CDialogBase {
public:
    explicit CPasswordDlg(CSettingModel& settings) : m_Settings(settings) {}

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    CSettingModel& m_Settings;
};

// IDD 189.
class CChangePasswordDlg : public CDialogBase {
public:
    explicit CChangePasswordDlg(CSettingModel& settings) : m_Settings(settings) {}

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    bool Change();
    CSettingModel& m_Settings;
};

// IDD 190 with menu 191.
class CInstallerDlg : public CDialogBase {
public:
    // files: the projector control screen's file operations, or null when it has none.
    CInstallerDlg(CSettingModel& settings, CSettingFileUi* files);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInit();
    void OnCommand(UINT id, UINT code);
    // Projector buttons and source switching as the stack is; ask = query the source
    // switching from the projector, else show what is known of it.
    void ShowStackState(bool ask);
    void ShowSource();
    void SelectProjector(int projector);
    void OnFunction();
    void OnItem();
    void OnSubChoice();
    void OnEditChange();
    void EnableBelowBigKey();
    void EnableSetPoint();
    void OnBigKey();
    void OnSmallKey();
    void OnSending();
    // The set-point controls as they were before the value that was refused.
    void RestoreSetPoint();
    void OnSource(int value);
    void OnStack(bool establish);
    void OnSettingComplete();
    bool Checked(UINT id) const;
    void Enable(UINT id, bool enable) const;

    CSettingModel& m_Settings;
    CConnection& m_Connection;
    CSettingFileUi* m_pFiles;
    int m_nProjector = 1;
    // Source switching as last shown (0 linked, 1 independent, -1 none), and whether the
    // projector is known to have it: a click sends unless it is.
    int m_nSource = -1;
    bool m_bSourceKnown = false;
    unsigned int m_nFunction = 0;
    std::vector<SInstallerItem> m_Items;
    std::vector<SSubChoice> m_Subs;
    uint16_t m_wSetItem = 0;
    SSetPoint m_SetPoint;
    std::string m_strEdit;
    // What the edit and the value list showed when the item was chosen or last sent.
    std::string m_strSentEdit;
    int m_nSentChoice = -1;
    bool m_bEditing = false;
    CBitmap m_BigKey;
    CBitmap m_SmallKey;
};

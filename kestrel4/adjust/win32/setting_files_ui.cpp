#include "setting_files_ui.h"

#include <commdlg.h>

#include <cstdio>
#include <string>
#include <vector>

#include "file_request.h"
#include "message_box.h"
#include "resource.h"
#include "setting_file.h"
#include "setting_model.h"
#include "win32_profile.h"

namespace {
// The filter string with '|' between its parts, as the file dialogs want it with NULs.
void ShowError(HWND owner, UINT text)
{
    ShowMessage(owner, text, MB_OK | MB_ICONERROR, IDS_CAPTION);
}
} // namespace

INT_PTR CResetDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowTextA(m_hWnd, LoadResString(IDS_CAPTION).c_str());
        SetDlgItemTextA(m_hWnd, IDC_RESET_PAGE, LoadResString(m_nPageText).c_str());
        CheckRadioButton(m_hWnd, IDC_RESET_PAGE, IDC_RESET_ALL, IDC_RESET_PAGE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            m_bAll = IsDlgButtonChecked(m_hWnd, IDC_RESET_ALL) == BST_CHECKED;
        }
        return EndOnOkCancel(msg, wParam);
    }
    return FALSE;
}

std::string CSettingFileUi::ChooseDirectory() const
{
    std::string dir = m_strDirectory.empty() ? ProgramDirectory() : m_strDirectory;
    if (SetCurrentDirectoryA(dir.c_str()))
        return dir;
    SetCurrentDirectoryA(ProgramDirectory().c_str());
    return ProgramDirectory();
}

void CSettingFileUi::SetLastFile(const std::string& path)
{
    m_strLastFile = path;
    m_strDirectory = SettingFileDirectory(path);
}

void CSettingFileUi::OpenSettingFile(HWND owner, bool withLocks)
{
    SFileRequest request;
    request.hOwner = owner;
    // The dialogs open there too: with OFN_NOCHANGEDIR they would not follow the current one.
    request.strFolder = ChooseDirectory();
    request.nFilterId = IDS_SETTING_FILE_FILTER;
    request.dwFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    const std::string chosen = RequestOpenFile(request);
    if (chosen.empty())
        return;
    // Read whole first: a failed read leaves the table as it was. A longer file is not one
    // of ours.
    std::vector<unsigned char> bytes;
    if (!ReadSettingFile(chosen, bytes) || bytes.size() > CSettingTable::kBytes) {
        ShowError(owner, IDS_READ_FAILED);
        return;
    }
    m_strDirectory = FolderOfFile(chosen);

    CNoticeDlg wait;
    if (wait.Create(IDD_WAIT, GetAncestor(owner, GA_ROOT))) {
        ShowWindow(wait.GetHwnd(), SW_SHOW);
        UpdateWindow(wait.GetHwnd());
    }
    SFileResult result = ApplySettingFile(m_Settings, bytes, withLocks);
    m_View.RefreshPages();
    if (wait.Exists())
        DestroyWindow(wait.GetHwnd());
    if (result.damaged) {
        ShowError(owner, IDS_READ_FAILED);
        return;
    }
    // A file the projector did not take whole is not the one its settings came from.
    if (result.Complete()) {
        m_strCurrentFile = chosen;
        m_strLastFile = chosen;
    } else {
        ShowError(owner, IDS_FILE_NOT_TAKEN);
    }
    if (!result.skipped.empty()) {
        std::string numbers;
        for (int p : result.skipped)
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(p);
        char text[512];
        std::snprintf(text, sizeof text, LoadResString(IDS_FILE_SLOTS_EMPTY).c_str(), numbers.c_str());
        MessageBoxA(owner, text, LoadResString(IDS_CAPTION).c_str(), MB_OK | MB_ICONINFORMATION);
    }
}

bool CSettingFileUi::Write(HWND owner)
{
    if (::SaveSettingFile(m_Settings, m_strCurrentFile))
        return true;
    ShowError(owner, IDS_WRITE_FAILED);
    return false;
}

void CSettingFileUi::SaveSettingFile(HWND owner)
{
    if (m_strCurrentFile.empty()) {
        SaveSettingFileAs(owner);
        return;
    }
    ChooseDirectory();
    Write(owner);
}

void CSettingFileUi::SaveSettingFileAs(HWND owner)
{
    SFileRequest request;
    request.hOwner = owner;
    request.strFolder = ChooseDirectory();
    request.nFilterId = IDS_SETTING_FILE_FILTER;
    const size_t slash = m_strCurrentFile.find_last_of("\\/");
    request.strName = slash == std::string::npos ? m_strCurrentFile : m_strCurrentFile.substr(slash + 1);
    request.pszDefExt = "KST";
    request.dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_NOCHANGEDIR;
    const std::string chosen = RequestSaveFile(request);
    if (chosen.empty())
        return;
    m_strDirectory = FolderOfFile(chosen);
    m_strCurrentFile = chosen;
    m_strLastFile = chosen;
    Write(owner);
}

void CSettingFileUi::ResetPage(HWND owner, int tab)
{
    int page = ResetPageOfTab(tab, m_Settings.IsComputerInput() != 0);
    if (page < 0 || !IsResetEnabled(m_Settings, tab))
        return;
    CResetDlg dialog(static_cast<UINT>(IDS_RESET_PAGE_FIRST + page));
    if (dialog.DoModal(IDD_RESET, owner) != IDOK)
        return;
    if (ShowMessage(owner, IDS_EXECUTE, MB_YESNO | MB_ICONEXCLAMATION, IDS_CAPTION) != IDYES)
        return;
    if (dialog.IsResetAll()) {
        // The projector's busy reports run the "Wait..." dialog and the refresh.
        ResetAll(m_Settings);
        return;
    }
    ::ResetPage(m_Settings, static_cast<EResetPage>(page), m_ResolutionWait);
    m_View.RefreshPages();
}

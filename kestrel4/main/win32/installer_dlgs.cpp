#include "installer_dlgs.h"

#include <cstring>

#include "connection.h"
#include "message_box.h"
#include "resource.h"
#include "setting_files_ui.h"
#include "setting_model.h"
#include "stack_state.h"
#include "zelq_items.h"

namespace {
const size_t kPasswordBytes = 16;
const UINT kProjectorButtons[4] = {IDC_PROJECTOR1, IDC_PROJECTOR2, IDC_PROJECTOR3, IDC_PROJECTOR4};

std::string ItemText(HWND dlg, UINT id)
{
    char text[64] = {};
    GetDlgItemTextA(dlg, static_cast<int>(id), text, sizeof text);
    return text;
}

std::vector<unsigned char> Padded(const std::string& text)
{
    std::vector<unsigned char> bytes(kPasswordBytes, 0);
    std::memcpy(bytes.data(), text.data(), text.size() < kPasswordBytes ? text.size() : kPasswordBytes);
    return bytes;
}

// Scrubs a password from memory that is about to be freed.
void Wipe(std::string& text)
{
    for (char& c : text)
        c = 0;
    text.clear();
}

void Inform(HWND owner, UINT text)
{
    ShowMessage(owner, text, MB_OK | MB_ICONINFORMATION, IDS_CAPTION);
}

int ListSelection(HWND dlg, UINT id)
{
    return static_cast<int>(SendDlgItemMessageA(dlg, static_cast<int>(id), LB_GETCURSEL, 0, 0));
}

void FillList(HWND dlg, UINT id, const std::vector<std::string>& texts)
{
    SendDlgItemMessageA(dlg, static_cast<int>(id), LB_RESETCONTENT, 0, 0);
    for (const std::string& text : texts)
        SendDlgItemMessageA(dlg, static_cast<int>(id), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendDlgItemMessageA(dlg, static_cast<int>(id), LB_SETCURSEL, texts.empty() ? static_cast<WPARAM>(-1) : 0, 0);
}
} // namespace

// ---- password input ----

INT_PTR CPasswordDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(m_hWnd, IDC_PASSWORD, EM_LIMITTEXT, kPasswordBytes, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            CConnection& connection = m_Settings.Connection();
            std::string typed = ItemText(m_hWnd, IDC_PASSWORD);
            std::vector<unsigned char> bytes = Padded(typed);
            Wipe(typed);
            bool accepted = connection.Model().bStackCapable && connection.Link().IsOpen() &&
                            m_Settings.SetItem(connection.IsStackMode(), 1, kItemPassword, bytes.data(),
                                               static_cast<unsigned int>(bytes.size()));
            std::fill(bytes.begin(), bytes.end(), 0);
            SetDlgItemTextA(m_hWnd, IDC_PASSWORD, "");
            if (accepted) {
                EndDialog(m_hWnd, IDOK);
            } else {
                SetFocus(GetDlgItem(m_hWnd, IDC_PASSWORD));
                MessageBeep(0);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            SetDlgItemTextA(m_hWnd, IDC_PASSWORD, "");
            EndDialog(m_hWnd, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---- password change ----

bool CChangePasswordDlg::Change()
{
    CConnection& connection = m_Settings.Connection();
    if (!m_Settings.QueryItem(connection.IsStackMode(), 1, kItemPasswordChange))
        return false;
    const SReceivedFrame& reply = connection.Receiver().Reply();
    if (reply.wItem != kItemPasswordChange)
        return false;
    size_t length = reply.nParameterLength < kPasswordBytes ? reply.nParameterLength : kPasswordBytes;
    std::string held(reinterpret_cast<const char*>(reply.Parameter), length);
    held.resize(std::strlen(held.c_str()));
    std::string old = ItemText(m_hWnd, IDC_OLD_PASSWORD), fresh = ItemText(m_hWnd, IDC_NEW_PASSWORD),
                confirm = ItemText(m_hWnd, IDC_CONFIRM_PASSWORD);
    bool ok = old == held && fresh == confirm;
    if (ok) {
        std::vector<unsigned char> bytes = Padded(fresh);
        ok = m_Settings.SetItem(connection.IsStackMode(), 1, kItemPasswordChange, bytes.data(),
                                static_cast<unsigned int>(bytes.size())) != 0;
        std::fill(bytes.begin(), bytes.end(), 0);
    }
    Wipe(held);
    Wipe(old);
    Wipe(fresh);
    Wipe(confirm);
    return ok;
}

INT_PTR CChangePasswordDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    const UINT edits[3] = {IDC_OLD_PASSWORD, IDC_NEW_PASSWORD, IDC_CONFIRM_PASSWORD};
    switch (msg) {
    case WM_INITDIALOG:
        for (UINT id : edits)
            SendDlgItemMessageA(m_hWnd, static_cast<int>(id), EM_LIMITTEXT, kPasswordBytes, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            bool changed = Change();
            for (UINT id : edits)
                SetDlgItemTextA(m_hWnd, static_cast<int>(id), "");
            if (changed) {
                EndDialog(m_hWnd, IDOK);
                return TRUE;
            }
            MessageBeep(0);
            Inform(m_hWnd, IDS_WRONG_PASSWORD);
            SetFocus(GetDlgItem(m_hWnd, IDC_OLD_PASSWORD));
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            for (UINT id : edits)
                SetDlgItemTextA(m_hWnd, static_cast<int>(id), "");
            EndDialog(m_hWnd, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---- the installer dialog ----

CInstallerDlg::CInstallerDlg(CSettingModel& settings, CSettingFileUi* files)
    : m_Settings(settings), m_Connection(settings.Connection()), m_pFiles(files)
{
}

bool CInstallerDlg::Checked(UINT id) const
{
    return IsDlgButtonChecked(m_hWnd, static_cast<int>(id)) == BST_CHECKED;
}

void CInstallerDlg::Enable(UINT id, bool enable) const
{
    EnableWindow(GetDlgItem(m_hWnd, static_cast<int>(id)), enable ? TRUE : FALSE);
}

INT_PTR CInstallerDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        m_BigKey.reset();
        m_SmallKey.reset();
        break;
    }
    return FALSE;
}

void CInstallerDlg::OnInit()
{
    m_BigKey.reset(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_BIG_KEY)));
    m_SmallKey.reset(LoadBitmapA(AppInstance(), MAKEINTRESOURCEA(IDB_SMALL_KEY)));
    SendDlgItemMessageA(m_hWnd, IDC_BIG_KEY, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_BigKey.get()));
    SendDlgItemMessageA(m_hWnd, IDC_SMALL_KEY, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_SmallKey.get()));
    // Enter comes as a command of its own, not as "Setting Complete".
    SendMessageA(m_hWnd, DM_SETDEFID, IDC_INSTALLER_ENTER, 0);
    ShowStackState(true);
    std::vector<std::string> functions;
    for (unsigned int f = 0; f < FUNCTION_COUNT; ++f)
        functions.push_back(LoadResString(IDS_FUNCTION_FIRST + f));
    FillList(m_hWnd, IDC_FUNCTION_LIST, functions);
    OnFunction();
}

void CInstallerDlg::ShowStackState(bool ask)
{
    bool stack = m_Connection.IsStackMode() != 0;
    for (int k = 0; k < 4; ++k)
        Enable(kProjectorButtons[k], stack && k < m_Connection.ProjectorCount());
    Enable(IDC_SOURCE_GROUP, stack);
    Enable(IDC_LINKED, stack);
    Enable(IDC_INDEPENDENT, stack);
    if (stack && ask) {
        const SReceivedFrame& reply = m_Connection.Receiver().Reply();
        if (m_Settings.QueryItem(m_Connection.IsStackMode(), 1, kItemSourceSwitching) &&
            reply.wItem == kItemSourceSwitching && reply.nParameterLength == 1) {
            m_nSource = reply.Parameter[0] ? 1 : 0;
            m_bSourceKnown = true;
        }
    }
    if (stack)
        ShowSource();
    else
        CheckRadioButton(m_hWnd, IDC_LINKED, IDC_INDEPENDENT, 0);
}

void CInstallerDlg::ShowSource()
{
    UINT checked = m_nSource < 0 ? 0 : m_nSource ? IDC_INDEPENDENT : IDC_LINKED;
    CheckRadioButton(m_hWnd, IDC_LINKED, IDC_INDEPENDENT, static_cast<int>(checked));
}

void CInstallerDlg::SelectProjector(int projector)
{
    m_nProjector = projector;
    OnFunction();
}

void CInstallerDlg::OnFunction()
{
    int selected = ListSelection(m_hWnd, IDC_FUNCTION_LIST);
    m_nFunction = selected < 0 ? 0 : static_cast<unsigned int>(selected);
    m_Items = FunctionItems(m_nFunction);
    unsigned int count;
    const char* const* names = InstallerItemNames(count);
    std::vector<std::string> texts;
    for (const SInstallerItem& item : m_Items)
        texts.push_back(item.nName < count ? names[item.nName] : "");
    FillList(m_hWnd, IDC_INSTALLER_ITEMS, texts);
    CheckDlgButton(m_hWnd, IDC_BIG_KEY,
                   IsFunctionLocked(m_Settings, m_nProjector, m_nFunction) ? BST_CHECKED : BST_UNCHECKED);
    EnableBelowBigKey();
}

void CInstallerDlg::EnableBelowBigKey()
{
    bool open = !Checked(IDC_BIG_KEY) && !m_Items.empty();
    Enable(IDC_INSTALLER_ITEMS, open);
    Enable(IDC_SMALL_KEY, open);
    OnItem();
}

void CInstallerDlg::OnItem()
{
    int selected = ListSelection(m_hWnd, IDC_INSTALLER_ITEMS);
    m_Subs.clear();
    if (selected >= 0 && static_cast<size_t>(selected) < m_Items.size()) {
        const SInstallerItem& item = m_Items[static_cast<size_t>(selected)];
        CheckDlgButton(m_hWnd, IDC_SMALL_KEY,
                       IsItemLockedFor(m_Settings, m_nProjector, item) ? BST_CHECKED : BST_UNCHECKED);
        m_Subs = SubChoices(item.wCode);
        m_wSetItem = item.wCode;
    } else {
        CheckDlgButton(m_hWnd, IDC_SMALL_KEY, BST_UNCHECKED);
        m_wSetItem = 0;
    }
    std::vector<std::string> texts;
    for (const SSubChoice& sub : m_Subs)
        texts.push_back(sub.szText);
    FillList(m_hWnd, IDC_SUB_CHOICE, texts);
    OnSubChoice();
}

void CInstallerDlg::OnSubChoice()
{
    int selected = ListSelection(m_hWnd, IDC_SUB_CHOICE);
    if (selected >= 0 && static_cast<size_t>(selected) < m_Subs.size())
        m_wSetItem = m_Subs[static_cast<size_t>(selected)].wCode;
    m_SetPoint = m_wSetItem ? SetPointOf(m_wSetItem) : SSetPoint();
    std::vector<std::string> values;
    if (m_SetPoint.eInput == INPUT_LIST)
        values = SetPointList(m_wSetItem, [](unsigned int id) { return LoadResString(id); });
    FillList(m_hWnd, IDC_VALUE_LIST, values);
    m_nSentChoice = ListSelection(m_hWnd, IDC_VALUE_LIST);
    m_strSentEdit.clear();
    m_bEditing = true;
    SetDlgItemTextA(m_hWnd, IDC_SET_POINT, "");
    m_bEditing = false;
    m_strEdit.clear();
    EnableSetPoint();
}

void CInstallerDlg::EnableSetPoint()
{
    bool open = !Checked(IDC_BIG_KEY) && !Checked(IDC_SMALL_KEY) && !m_Items.empty();
    Enable(IDC_SUB_CHOICE, open && !m_Subs.empty());
    Enable(IDC_SET_POINT, open && m_SetPoint.eInput == INPUT_EDIT);
    Enable(IDC_VALUE_LIST, open && m_SetPoint.eInput == INPUT_LIST);
    bool value = (m_SetPoint.eInput == INPUT_EDIT && !m_strEdit.empty() && m_strEdit != "-") ||
                 (m_SetPoint.eInput == INPUT_LIST && ListSelection(m_hWnd, IDC_VALUE_LIST) >= 0);
    Enable(IDC_SENDING, open && value);
}

void CInstallerDlg::OnEditChange()
{
    if (m_bEditing)
        return;
    std::string text = ItemText(m_hWnd, IDC_SET_POINT);
    int32_t value = 0;
    switch (CheckSetPointText(text, m_SetPoint, value)) {
    case EDIT_VALUE:
        m_strEdit = text;
        break;
    case EDIT_EMPTY:
        // A number outside the range is emptied; a lone "-" may still become one.
        m_strEdit = text == "-" ? text : std::string();
        if (text != "-") {
            m_bEditing = true;
            SetDlgItemTextA(m_hWnd, IDC_SET_POINT, "");
            m_bEditing = false;
        }
        break;
    case EDIT_REFUSED:
        m_bEditing = true;
        SetDlgItemTextA(m_hWnd, IDC_SET_POINT, m_strEdit.c_str());
        m_bEditing = false;
        MessageBeep(0);
        break;
    }
    EnableSetPoint();
}

void CInstallerDlg::OnBigKey()
{
    bool lock = Checked(IDC_BIG_KEY);
    if (!SendLockEntries(m_Settings, m_nProjector, BigKeyEntries(m_nFunction, m_Connection.Model()), lock))
        CheckDlgButton(m_hWnd, IDC_BIG_KEY, lock ? BST_UNCHECKED : BST_CHECKED);
    EnableBelowBigKey();
}

void CInstallerDlg::OnSmallKey()
{
    int selected = ListSelection(m_hWnd, IDC_INSTALLER_ITEMS);
    if (selected < 0 || static_cast<size_t>(selected) >= m_Items.size())
        return;
    bool lock = Checked(IDC_SMALL_KEY);
    if (!SendLockEntries(m_Settings, m_nProjector, SmallKeyEntries(m_Items[static_cast<size_t>(selected)]), lock))
        CheckDlgButton(m_hWnd, IDC_SMALL_KEY, lock ? BST_UNCHECKED : BST_CHECKED);
    EnableSetPoint();
}

void CInstallerDlg::OnSending()
{
    int32_t value = 0;
    if (m_SetPoint.eInput == INPUT_LIST) {
        value = ListSelection(m_hWnd, IDC_VALUE_LIST);
        if (value < 0)
            return;
    } else if (CheckSetPointText(m_strEdit, m_SetPoint, value) != EDIT_VALUE) {
        return;
    }
    if (SendSetPoint(m_Settings, m_nProjector, m_wSetItem, value)) {
        m_strSentEdit = m_strEdit;
        m_nSentChoice = ListSelection(m_hWnd, IDC_VALUE_LIST);
        return;
    }
    MessageBeep(0);
    RestoreSetPoint();
}

void CInstallerDlg::RestoreSetPoint()
{
    m_bEditing = true;
    SetDlgItemTextA(m_hWnd, IDC_SET_POINT, m_strSentEdit.c_str());
    m_bEditing = false;
    m_strEdit = m_strSentEdit;
    SendDlgItemMessageA(m_hWnd, IDC_VALUE_LIST, LB_SETCURSEL, static_cast<WPARAM>(m_nSentChoice), 0);
    EnableSetPoint();
}

void CInstallerDlg::OnSource(int value)
{
    if (m_bSourceKnown && value == m_nSource)
        return;
    const unsigned char byte = static_cast<unsigned char>(value);
    if (m_Settings.SetItem(m_Connection.IsStackMode(), 1, kItemSourceSwitching, &byte, 1)) {
        m_nSource = value;
        m_bSourceKnown = true;
    } else if (m_Connection.Receiver().ReplyState() != REPLY_ANSWERED) {
        // Unanswered: the projector may have taken it, so the next click sends again.
        m_bSourceKnown = false;
    }
    ShowSource();
}

void CInstallerDlg::OnStack(bool establish)
{
    const unsigned char bytes[2] = {0, static_cast<unsigned char>(establish ? 1 : 0)};
    if (!m_Settings.SetItem(1, 1, kItemStackEstablish, bytes, 2)) {
        SetActiveWindow(m_hWnd);
        return;
    }
    const unsigned char zero = 0;
    bool answered = m_Connection.Link().Transact(1, 2, 1, kItemStackQuery, &zero, 1) != 0;
    Inform(m_hWnd, establish ? IDS_STACK_ESTABLISHED : IDS_STACK_CANCELED);
    if (m_nProjector > m_Connection.ProjectorCount() || !m_Connection.IsStackMode())
        m_nProjector = 1;
    if (m_Connection.CurrentProjector() > m_Connection.ProjectorCount())
        m_Connection.SelectProjector(1);
    ShowStackState(false);
    OnFunction();
    if (establish && answered && m_Connection.IsStackMode())
        m_Settings.ReadProjectorSettings();
}

void CInstallerDlg::OnSettingComplete()
{
    if (m_Connection.Model().bStackCapable && m_Settings.ReadAllLockSettings())
        m_Settings.SetItem(m_Connection.IsStackMode(), 1, kItemSettingComplete, nullptr, 0);
    EndDialog(m_hWnd, IDOK);
}

void CInstallerDlg::OnCommand(UINT id, UINT code)
{
    for (int k = 0; k < 4; ++k)
        if (id == kProjectorButtons[k] && code == BN_CLICKED) {
            SelectProjector(k + 1);
            return;
        }
    switch (id) {
    case IDC_FUNCTION_LIST:
        if (code == LBN_SELCHANGE)
            OnFunction();
        break;
    case IDC_INSTALLER_ITEMS:
        if (code == LBN_SELCHANGE)
            OnItem();
        break;
    case IDC_SUB_CHOICE:
        if (code == LBN_SELCHANGE)
            OnSubChoice();
        break;
    case IDC_VALUE_LIST:
        if (code == LBN_SELCHANGE)
            EnableSetPoint();
        break;
    case IDC_SET_POINT:
        if (code == EN_CHANGE)
            OnEditChange();
        break;
    case IDC_BIG_KEY:
        OnBigKey();
        break;
    case IDC_SMALL_KEY:
        OnSmallKey();
        break;
    case IDC_SENDING:
        OnSending();
        break;
    case IDC_LINKED:
    case IDC_INDEPENDENT:
        if (code == BN_CLICKED)
            OnSource(id == IDC_INDEPENDENT ? 1 : 0);
        break;
    case IDC_ESTABLISH_STACK:
    case IDC_CANCEL_STACK:
        OnStack(id == IDC_ESTABLISH_STACK);
        break;
    case IDC_CHANGE_PASSWORD: {
        CChangePasswordDlg change(m_Settings);
        if (change.DoModal(IDD_CHANGE_PASSWORD, m_hWnd) == IDOK)
            Inform(m_hWnd, IDS_PASSWORD_CHANGED);
        break;
    }
    case ID_INSTALLER_OPEN:
        if (m_pFiles) {
            m_pFiles->OpenSettingFile(m_hWnd, true);
            OnFunction();
        }
        break;
    case ID_INSTALLER_SAVE:
        if (m_pFiles)
            m_pFiles->SaveSettingFile(m_hWnd);
        break;
    case ID_INSTALLER_SAVE_AS:
        if (m_pFiles)
            m_pFiles->SaveSettingFileAs(m_hWnd);
        break;
    case IDC_INSTALLER_ENTER:
        // Enter sends a set point typed in the edit and does nothing elsewhere.
        if (GetFocus() == GetDlgItem(m_hWnd, IDC_SET_POINT) && IsWindowEnabled(GetDlgItem(m_hWnd, IDC_SENDING)))
            OnSending();
        break;
    case IDOK:
    case IDCANCEL:
        // Escape and the close box leave the mode as "Setting Complete" does: the locks are
        // read back and the projector hears that the setting is done.
        OnSettingComplete();
        break;
    }
}

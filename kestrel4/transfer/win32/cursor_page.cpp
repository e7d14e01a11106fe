#include "cursor_page.h"

#include <commdlg.h>

#include <vector>

#include "cursor_drawing.h"
#include "editor_launcher.h"
#include "file_request.h"
#include "item_library.h"
#include "message_box.h"
#include "projector_link.h"
#include "resource.h"
#include "set_transfer.h"
#include "win32_profile.h"

namespace {

constexpr UINT UM_EDITOR_SET_RENEWED = 0x52E;

// "Text(*.x)|*.x|" as the common dialogs want it: separators become NULs.
} // namespace

CCursorSetPage::CCursorSetPage(CProjectorLink& link, const BYTE (*colorTable)[4], std::string& lastFile)
    : m_Link(link), m_pColorTable(colorTable),
      m_Names(ProgramDirectory() + "Temp.csp", lastFile, LoadResString(IDS_SET_UNTITLED))
{
}

HWND CCursorSetPage::Create(HWND parent)
{
    return CDialogBase::Create(IDD_CURSOR, parent);
}

INT_PTR CCursorSetPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SET_EDIT || (LOWORD(wParam) == IDC_SET_SLOTS && HIWORD(wParam) == LBN_DBLCLK)) {
            EditSlot();
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_SET_SLOTS && HIWORD(wParam) == LBN_SELCHANGE) {
            InvalidateRect(GetDlgItem(m_hWnd, IDC_SET_FRAMES), nullptr, FALSE);
            return TRUE;
        }
        return FALSE;
    case WM_DRAWITEM:
        if (wParam == IDC_SET_FRAMES) {
            DrawFrames(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    case UM_EDITOR_SET_RENEWED:
        OnSetRenewed();
        return TRUE;
    }
    return FALSE;
}

void CCursorSetPage::OnInitDialog()
{
    HWND slots = GetDlgItem(m_hWnd, IDC_SET_SLOTS);
    for (int i = 0; i < kSetFrames; ++i)
        SendMessageA(slots, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
    SendMessageA(slots, LB_SETCURSEL, 0, 0);
    // Every run starts from a fresh Temp.csp.
    New();
}

int CCursorSetPage::Message(UINT textId, UINT flags)
{
    return ShowMessage(GetParent(m_hWnd), textId, flags, IDS_CAPTION);
}

void CCursorSetPage::OnMenuCommand(UINT id)
{
    switch (id) {
    case ID_FILE_NEW:
        if (AskAndSave())
            New();
        break;
    case ID_FILE_OPEN:
        if (AskAndSave())
            Open();
        break;
    case ID_FILE_SAVE:
        Save();
        break;
    case ID_FILE_SAVE_AS:
        SaveTo(true);
        break;
    case ID_SEND_CURSOR:
        Send();
        break;
    }
}

ESaveAnswer CCursorSetPage::AskSave(UINT icon)
{
    if (!m_bChanged)
        return SAVE_NO;
    int answer = Message(IDS_SAVE_CURSOR, MB_YESNOCANCEL | icon);
    return answer == IDYES ? SAVE_YES : answer == IDNO ? SAVE_NO : SAVE_CANCEL;
}

bool CCursorSetPage::Save()
{
    return SaveTo(m_Names.NeedsName());
}

bool CCursorSetPage::AskAndSave()
{
    return MayGoOnAfterSaveQuestion(AskSave(MB_ICONEXCLAMATION), [this] { return Save(); });
}

void CCursorSetPage::New()
{
    CAniInfo set;
    set.CreateNew(kSetFrames, 32, 32, 4);
    std::array<ColorRef, 16> colors;
    for (size_t i = 0; i < 16; ++i)
        colors[i] = MakeColor(m_pColorTable[i][2], m_pColorTable[i][1], m_pColorTable[i][0]);
    set.SetColorTable(colors);
    if (set.WriteFile(m_Names.GetTempPath().c_str()) != CURSOR_FILE_OK)
        Message(IDS_SET_WRITE_FAILED, MB_OK | MB_ICONERROR);
    m_Set = set;
    m_Names.New();
    m_bChanged = false;
    ShowTitle();
}

bool CCursorSetPage::ReadSetFile(const std::string& path, CAniInfo& set)
{
    int result = set.ReadFile(path.c_str());
    if (result != CURSOR_FILE_OK) {
        Message(result == CURSOR_FILE_NOT_KIND ? IDS_SET_NOT_AVAILABLE : IDS_SET_READ_FAILED, MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

bool CCursorSetPage::ReadSet(const std::string& path)
{
    CAniInfo set;
    if (!ReadSetFile(path, set))
        return false;
    m_Set = set;
    InvalidateRect(GetDlgItem(m_hWnd, IDC_SET_FRAMES), nullptr, FALSE);
    return true;
}

// The set file dialog, starting in the remembered folder; empty when cancelled.
std::string CCursorSetPage::AskFileName(bool save) const
{
    SFileRequest request;
    request.hOwner = GetParent(m_hWnd);
    request.nFilterId = IDS_SET_FILTER;
    request.strFolder = m_Names.StartFolder();
    request.pszDefExt = "csp";
    request.dwFlags = (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST) | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return save ? RequestSaveFile(request) : RequestOpenFile(request);
}

void CCursorSetPage::Open()
{
    const std::string chosen = AskFileName(false);
    if (chosen.empty())
        return;
    CAniInfo set;
    if (!ReadSetFile(chosen, set))
        return;
    // The editor works on Temp.csp: the opened file is copied over it, writable. Only once
    // that has worked does the page take the file's name, so a later Save cannot write the
    // previous set over it.
    const std::string& temp = m_Names.GetTempPath();
    if (!m_Names.IsTemp(chosen)) {
        if (!CopyFileA(chosen.c_str(), temp.c_str(), FALSE)) {
            // A copy that broke off part-way must not leave the editor a damaged Temp.csp.
            m_Set.WriteFile(temp.c_str());
            Message(IDS_SET_READ_FAILED, MB_OK | MB_ICONERROR);
            return;
        }
        SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    m_Set = set;
    InvalidateRect(GetDlgItem(m_hWnd, IDC_SET_FRAMES), nullptr, FALSE);
    m_Names.Opened(chosen);
    m_bChanged = false;
    ShowTitle();
}

bool CCursorSetPage::SaveTo(bool askName)
{
    std::string target = m_Names.GetFile();
    if (askName) {
        target = AskFileName(true);
        if (target.empty())
            return false;
    }
    if (m_Set.WriteFile(target.c_str()) != CURSOR_FILE_OK) {
        Message(IDS_SET_WRITE_FAILED, MB_OK | MB_ICONERROR);
        return false;
    }
    m_Names.Saved(target);
    m_bChanged = false;
    ShowTitle();
    return true;
}

void CCursorSetPage::Send()
{
    if (Message(IDS_SET_SEND_QUESTION, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    HWND main = GetParent(m_hWnd);
    EnableWindow(main, FALSE);
    const ESetSend sent = SendCursorSet(m_Link, m_Set);
    EnableWindow(main, TRUE);
    switch (sent) {
    case ESetSend::Sent:
        Message(IDS_SET_SENT, MB_OK | MB_ICONINFORMATION);
        break;
    case ESetSend::NotSendable:
        Message(IDS_SET_NOT_SENDABLE, MB_OK | MB_ICONERROR);
        break;
    case ESetSend::Unconnected:
        Message(IDS_UNCONNECTED, MB_OK | MB_ICONERROR);
        break;
    case ESetSend::Failed:
        Message(IDS_COMM_ERROR, MB_OK | MB_ICONERROR);
        break;
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CCursorSetPage::EditSlot()
{
    int slot = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_SET_SLOTS, LB_GETCURSEL, 0, 0));
    if (slot < 0)
        return;
    if (!RunEditor(GetParent(m_hWnd), SlotEditArguments(slot), "Cursor/Stamp Edit"))
        ReportEditorNotStarted(GetParent(m_hWnd));
}

void CCursorSetPage::OnSetRenewed()
{
    if (ReadSet(m_Names.GetTempPath()))
        m_bChanged = true;
}

void CCursorSetPage::ShowTitle()
{
    SetDlgItemTextA(m_hWnd, IDC_SET_TITLE, m_Names.GetTitle().c_str());
    InvalidateRect(GetDlgItem(m_hWnd, IDC_SET_FRAMES), nullptr, FALSE);
}

void CCursorSetPage::DrawFrames(const DRAWITEMSTRUCT& item)
{
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    int width = item.rcItem.right - item.rcItem.left;
    int cell = width / kSetFrames;
    int side = cell - 6 < 64 ? cell - 6 : 64;
    int selected = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_SET_SLOTS, LB_GETCURSEL, 0, 0));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int f = 0; f < m_Set.GetFrameCount() && f < kSetFrames; ++f) {
        int left = item.rcItem.left + f * cell + 3, top = item.rcItem.top + 3;
        DrawCursorImage(item.hDC, m_Set.GetFrame(f), left, top, side, face);
        RECT box = {left - 2, top - 2, left + side + 2, top + side + 2};
        FrameRect(item.hDC, &box, GetSysColorBrush(f == selected ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW));
        RECT label = {left, top + side + 3, left + side, item.rcItem.bottom};
        SetBkMode(item.hDC, TRANSPARENT);
        DrawTextA(item.hDC, std::to_string(f).c_str(), -1, &label, DT_CENTER | DT_TOP | DT_SINGLELINE);
    }
}

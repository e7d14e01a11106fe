#include "editor_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "glyph_clipboard.h"
#include "glyphpad_resource.h"
#include "grid_view.h"
#include "message_box.h"
#include "win32_handles.h"

namespace {

class CSaveChoiceDlg : public CDialogBase {
public:
    explicit CSaveChoiceDlg(bool offerNew) : m_bOfferNew(offerNew) {}
    ESaveChoice GetChoice() const { return m_eChoice; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM) override
    {
        if (msg == WM_INITDIALOG) {
            EnableWindow(GetDlgItem(m_hWnd, IDC_CHOICE_NEW), m_bOfferNew);
            CheckRadioButton(m_hWnd, IDC_CHOICE_NEW, IDC_CHOICE_OVERWRITE, IDC_CHOICE_OVERWRITE);
            return TRUE;
        }
        if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            m_eChoice = IsDlgButtonChecked(m_hWnd, IDC_CHOICE_NEW) ? SAVE_AS_NEW : SAVE_OVERWRITE;
        return EndOnOkCancel(msg, wParam);
    }

private:
    bool m_bOfferNew;
    ESaveChoice m_eChoice = SAVE_OVERWRITE;
};

ColorRef ButtonColor(const CPalette& palette, UINT id)
{
    return id == IDC_COLOR_TRANSPARENT ? kTransparentColor : palette[id - IDC_COLOR_FIRST];
}

COLORREF ToGdi(ColorRef c)
{
    return RGB(RedOf(c), GreenOf(c), BlueOf(c));
}

} // namespace

HWND FindMainProgramWindow()
{
    struct SSearch {
        DWORD self;
        HWND found;
    } search{GetCurrentProcessId(), nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            SSearch* s = reinterpret_cast<SSearch*>(p);
            char title[16] = {0};
            DWORD process = 0;
            GetWindowThreadProcessId(hwnd, &process);
            // Message boxes share the title; only an unowned window of another process counts.
            if (process != s->self && !GetWindow(hwnd, GW_OWNER) && GetWindowTextA(hwnd, title, sizeof title) &&
                lstrcmpA(title, "Kestrel") == 0) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

CEditorDialog::CEditorDialog(CEditorDocument& document, const std::string& programDirectory)
    : m_Document(document), m_strDirectory(programDirectory),
      m_Board(EditorImageSize(document.GetMode()), document.GetPalette())
{
    m_Board.SetPicture(document.GetPicture());
}

INT_PTR CEditorDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_INITMENUPOPUP:
        OnInitMenu(reinterpret_cast<HMENU>(wParam));
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_QUERYENDSESSION:
        // Logging off or shutting down ends the editor as surely as Close: the drawing is
        // offered for saving first, and Cancel keeps the session.
        return SetResult(MayLeave());
    case WM_HELP:
        OnHelp();
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return FALSE;
    }
    return FALSE;
}

void CEditorDialog::OnInitDialog()
{
    SetWindowTextA(m_hWnd, EditorTitle(m_Document.GetMode()));
    UINT action = m_Document.GetMode() == MODE_SET ? IDS_ACTION_RENEWAL
                  : m_Document.IsNew()             ? IDS_ACTION_ADD
                                                   : IDS_ACTION_SAVE;
    SetDlgItemTextA(m_hWnd, IDC_ACTION, LoadResString(action).c_str());
    AttachBoard(GetDlgItem(m_hWnd, IDC_GRID), &m_Board);
    AttachBoard(GetDlgItem(m_hWnd, IDC_PREVIEW), &m_Board);
    // The grid gets whole cells: its client area is a multiple of the picture size.
    HWND grid = GetDlgItem(m_hWnd, IDC_GRID);
    RECT rc;
    GetClientRect(grid, &rc);
    int cell = rc.right / m_Board.GetSize();
    RECT window;
    GetWindowRect(grid, &window);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&window), 2);
    int border = (window.right - window.left) - rc.right;
    SetWindowPos(grid, nullptr, 0, 0, cell * m_Board.GetSize() + border, cell * m_Board.GetSize() + border,
                 SWP_NOMOVE | SWP_NOZORDER);
    HICON icon = LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_GLYPHPAD));
    if (icon)
        SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    CreateToolTips();
    SelectTool(TOOL_PENCIL);
    SelectColor(m_Board.GetPalette()[0]);
}

void CEditorDialog::CreateToolTips()
{
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AppInstance(), nullptr);
    if (!tips)
        return;
    for (UINT id = IDC_TOOL_FIRST; id <= IDC_TOOL_LAST; ++id) {
        TOOLINFOA info = {};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hWnd;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(m_hWnd, static_cast<int>(id)));
        info.hinst = AppInstance();
        info.lpszText = MAKEINTRESOURCEA(IDS_TOOL_FIRST + (id - IDC_TOOL_FIRST));
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void CEditorDialog::SelectTool(ETool tool)
{
    m_Board.SetTool(tool);
    for (UINT id = IDC_TOOL_FIRST; id <= IDC_TOOL_LAST; ++id)
        SendDlgItemMessageA(m_hWnd, static_cast<int>(id), BM_SETSTATE, id - IDC_TOOL_FIRST == static_cast<UINT>(tool),
                            0);
    Redraw();
}

void CEditorDialog::SelectColor(ColorRef color)
{
    m_Board.SetColor(color);
    InvalidateRect(GetDlgItem(m_hWnd, IDC_CURRENT_COLOR), nullptr, TRUE);
}

void CEditorDialog::Redraw()
{
    InvalidateRect(GetDlgItem(m_hWnd, IDC_GRID), nullptr, FALSE);
    InvalidateRect(GetDlgItem(m_hWnd, IDC_PREVIEW), nullptr, FALSE);
}

void CEditorDialog::OnCommand(UINT id, UINT code)
{
    if (id >= IDC_TOOL_FIRST && id <= IDC_TOOL_LAST) {
        SelectTool(static_cast<ETool>(id - IDC_TOOL_FIRST));
        return;
    }
    if ((id >= IDC_COLOR_FIRST && id <= IDC_COLOR_LAST) || id == IDC_COLOR_TRANSPARENT) {
        SelectColor(ButtonColor(m_Board.GetPalette(), id));
        return;
    }
    CPixelPicture clip;
    switch (id) {
    case IDC_GRID:
        if (code == GRID_EDITED) {
            // The tool may have changed itself (a paste or undo selects Selecting Area).
            SelectTool(m_Board.GetTool());
        }
        break;
    case IDC_ACTION:
        OnAction();
        break;
    case IDM_CLOSE:
    case IDCANCEL:
        OnClose();
        break;
    case IDM_UNDO:
        m_Board.Undo();
        SelectTool(m_Board.GetTool());
        break;
    case IDM_COPY:
        if (m_Board.Copy(clip))
            PutPictureOnClipboard(m_hWnd, clip, m_Document.GetMode() == MODE_SET ? &m_Board.GetPalette() : nullptr);
        SelectTool(m_Board.GetTool());
        break;
    case IDM_CUT:
        if (m_Board.Cut(clip))
            PutPictureOnClipboard(m_hWnd, clip, m_Document.GetMode() == MODE_SET ? &m_Board.GetPalette() : nullptr);
        SelectTool(m_Board.GetTool());
        break;
    case IDM_PASTE:
        if (GetPictureFromClipboard(m_hWnd, clip))
            m_Board.Paste(clip);
        SelectTool(m_Board.GetTool());
        break;
    case IDM_CLEAR_ALL:
        m_Board.ClearAll();
        Redraw();
        break;
    case IDM_SELECT_ALL:
        m_Board.SelectAll();
        SelectTool(TOOL_SELECT);
        break;
    case IDM_HELP_CONTENTS:
        OnHelp();
        break;
    }
}

void CEditorDialog::OnDrawItem(const DRAWITEMSTRUCT& item)
{
    ColorRef color;
    if (item.CtlID == IDC_CURRENT_COLOR)
        color = m_Board.GetColor();
    else if ((item.CtlID >= IDC_COLOR_FIRST && item.CtlID <= IDC_COLOR_LAST) || item.CtlID == IDC_COLOR_TRANSPARENT)
        color = ButtonColor(m_Board.GetPalette(), item.CtlID);
    else
        return;
    FillRect(item.hDC, &item.rcItem, CBrush(CreateSolidBrush(ToGdi(color))).get());
    RECT edge = item.rcItem;
    DrawEdge(item.hDC, &edge, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

void CEditorDialog::OnInitMenu(HMENU menu)
{
    EnableMenuItem(menu, IDM_UNDO, MF_BYCOMMAND | (m_Board.CanUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_PASTE, MF_BYCOMMAND | (ClipboardHasPicture() ? MF_ENABLED : MF_GRAYED));
    UINT selection = m_Board.HasSelection() ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, IDM_CUT, MF_BYCOMMAND | selection);
    EnableMenuItem(menu, IDM_COPY, MF_BYCOMMAND | selection);
}

void CEditorDialog::ShowMessage(UINT textId, UINT icon)
{
    ::ShowMessage(m_hWnd, textId, MB_OK | icon, IDS_CAPTION);
}

void CEditorDialog::Notify(UINT message)
{
    if (HWND main = FindMainProgramWindow())
        PostMessageA(main, message, 0, 0);
}

void CEditorDialog::OnAction()
{
    m_bCancelled = false;
    const CPixelPicture& picture = m_Board.GetPicture();
    int written = 0;
    UINT done = IDS_ITEM_SAVED;
    if (m_Document.GetMode() == MODE_SET) {
        written = m_Document.RenewFrame(picture);
    } else if (m_Document.IsNew()) {
        if (m_Document.IsLibraryFull()) {
            // Nothing was saved: leaving must not discard the drawing.
            ShowMessage(IDS_LIBRARY_FULL, MB_ICONERROR);
            m_bCancelled = true;
            return;
        }
        written = m_Document.AddItem(picture);
        done = IDS_ITEM_ADDED;
    } else {
        MessageBeep(MB_ICONEXCLAMATION);
        CSaveChoiceDlg choice(m_Document.CanSaveAsNew());
        if (choice.DoModal(IDD_SAVE_CHOICE, m_hWnd) != IDOK) {
            m_bCancelled = true;
            return;
        }
        written = m_Document.SaveItem(picture, choice.GetChoice());
        if (choice.GetChoice() == SAVE_AS_NEW)
            done = IDS_ITEM_ADDED;
    }
    if (!written) {
        ShowMessage(IDS_ADD_FAILED, MB_ICONERROR);
        // A failed save keeps the editor open with the drawing when it was leaving.
        m_bCancelled = true;
    } else {
        ShowMessage(done, MB_ICONINFORMATION);
        m_Board.ClearChanged();
        if (m_Document.GetMode() != MODE_SET)
            SetDlgItemTextA(m_hWnd, IDC_ACTION, LoadResString(IDS_ACTION_SAVE).c_str());
    }
    Notify(m_Document.GetMode() == MODE_SET     ? UM_EDITOR_SET_RENEWED
           : m_Document.GetMode() == MODE_STAMP ? UM_EDITOR_STAMP_SAVED
                                                : UM_EDITOR_CURSOR_SAVED);
    SetForegroundWindow(m_hWnd);
}

bool CEditorDialog::MayLeave()
{
    if (!m_Board.IsChanged())
        return true;
    UINT question = m_Document.GetMode() == MODE_SET ? IDS_RENEW_BEFORE_EXIT : IDS_SAVE_BEFORE_EXIT;
    int answer = ::ShowMessage(m_hWnd, question, MB_YESNOCANCEL | MB_ICONWARNING | MB_TASKMODAL, IDS_CAPTION);
    if (answer == IDCANCEL)
        return false;
    if (answer == IDYES) {
        OnAction();
        return !m_bCancelled;
    }
    return true;
}

void CEditorDialog::OnClose()
{
    if (!MayLeave())
        return;
    Notify(UM_EDITOR_EXIT);
    if (HWND main = FindMainProgramWindow()) {
        EnableWindow(main, TRUE);
        SetForegroundWindow(main);
    }
    DestroyWindow(m_hWnd);
}

void CEditorDialog::OnHelp()
{
    // The manual is an HTML page beside the program, opened in the default browser.
    std::string page = m_strDirectory + "Glyphpad.html";
    if (GetFileAttributesA(page.c_str()) == INVALID_FILE_ATTRIBUTES) {
        char text[MAX_PATH + 128];
        std::snprintf(text, sizeof text, LoadResString(IDS_HELP_MISSING).c_str(), page.c_str());
        ShowMessageText(m_hWnd, text, MB_OK | MB_ICONINFORMATION, IDS_CAPTION);
        return;
    }
    ShellExecuteA(m_hWnd, "open", page.c_str(), nullptr, m_strDirectory.c_str(), SW_SHOWNORMAL);
}

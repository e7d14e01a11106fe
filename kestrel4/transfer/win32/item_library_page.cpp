#include "item_library_page.h"

#include "cursor_drawing.h"
#include "editor_launcher.h"
#include "message_box.h"
#include "resource.h"
#include "win32_profile.h"

CItemLibraryPage::CItemLibraryPage(EItemKind kind) : m_Library(kind, ProgramDirectory()) {}

UINT CItemLibraryPage::TemplateOf(EItemKind kind)
{
    return kind == ITEM_CURSOR ? IDD_CURSOR_CHANGE : IDD_STAMP_SETTING;
}

HWND CItemLibraryPage::Create(HWND parent, const RECT& area)
{
    HWND page = CDialogBase::Create(TemplateOf(m_Library.GetKind()), parent);
    if (page) {
        MoveWindow(page, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
        ShowWindow(page, SW_SHOWNA);
    }
    return page;
}

int CItemLibraryPage::Selected() const
{
    return static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_ITEM_LIST, LB_GETCURSEL, 0, 0));
}

std::string CItemLibraryPage::GetSelectedName() const
{
    int index = Selected();
    const std::vector<std::string>& names = m_Library.GetNames();
    return index >= 0 && static_cast<size_t>(index) < names.size() ? names[static_cast<size_t>(index)] : std::string();
}

void CItemLibraryPage::SelectName(const std::string& name)
{
    // LB_SELECTSTRING would take a prefix ("0" selects "00.crs"): find the whole name.
    int index = FindItem(m_Library.GetNames(), name);
    SendDlgItemMessageA(m_hWnd, IDC_ITEM_LIST, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string CItemLibraryPage::ItemToSelect(const std::string& previous) const
{
    const std::vector<std::string>& names = m_Library.GetNames();
    return FindItem(names, previous) >= 0 || names.empty() ? previous : names.front();
}

INT_PTR CItemLibraryPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        // The list measured its items before this page had its object: set the height here.
        SendDlgItemMessageA(m_hWnd, IDC_ITEM_LIST, LB_SETITEMHEIGHT, 0, 66);
        SendDlgItemMessageA(m_hWnd, IDC_ITEM_LIST, LB_SETCOLUMNWIDTH, 64, 0);
        Relist();
        return FALSE;
    case WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ITEM_NEW:
            OnNew();
            return TRUE;
        case IDC_ITEM_EDIT:
            OnEdit();
            return TRUE;
        case IDC_ITEM_DELETE:
            OnDelete();
            return TRUE;
        case IDC_ITEM_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE && !GetSelectedName().empty())
                OnItemChosen(GetSelectedName());
            if (HIWORD(wParam) == LBN_DBLCLK)
                OnEdit();
            return TRUE;
        }
        return FALSE;
    case UM_EDITOR_CURSOR_SAVED:
    case UM_EDITOR_STAMP_SAVED:
        Relist();
        return TRUE;
    }
    return FALSE;
}

int CItemLibraryPage::Message(UINT textId, UINT flags)
{
    return ShowMessage(GetAncestor(m_hWnd, GA_ROOT), textId, flags, IDS_CAPTION);
}

void CItemLibraryPage::Relist()
{
    Fill(GetSelectedName());
}

void CItemLibraryPage::Fill(const std::string& previous)
{
    m_Library.List();
    m_Images.assign(m_Library.GetNames().size(), CCursorInfo());
    HWND list = GetDlgItem(m_hWnd, IDC_ITEM_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < m_Library.GetNames().size(); ++i) {
        const std::string& name = m_Library.GetNames()[i];
        if (ReadCursorFile(m_Library.GetPath(name).c_str(), m_Images[i]) != CURSOR_FILE_OK)
            m_Images[i] = CCursorInfo();
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SelectName(ItemToSelect(previous));
    EnableWindow(GetDlgItem(m_hWnd, IDC_ITEM_DELETE), m_Library.CanDelete());
    EnableWindow(GetDlgItem(m_hWnd, IDC_ITEM_EDIT), !m_Library.GetNames().empty());
}

void CItemLibraryPage::RunEditorWith(const std::string& arguments)
{
    const char* title = m_Library.GetKind() == ITEM_CURSOR ? "Cursor Edit" : "Stamp Edit";
    if (!RunEditor(GetAncestor(m_hWnd, GA_ROOT), arguments, title))
        ReportEditorNotStarted(GetAncestor(m_hWnd, GA_ROOT));
    Relist();
}

void CItemLibraryPage::OnNew()
{
    if (m_Library.IsFull()) {
        Message(IDS_ITEMS_FULL, MB_OK | MB_ICONINFORMATION);
        return;
    }
    RunEditorWith(NewItemArguments(m_Library.GetKind(), m_Library.GetLastName()));
}

void CItemLibraryPage::OnEdit()
{
    std::string name = GetSelectedName();
    if (name.empty())
        return;
    if (m_Library.IsFull() && Message(IDS_ITEMS_FULL_EDIT, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    RunEditorWith(EditItemArguments(m_Library.GetKind(), name, m_Library.GetLastName()));
}

void CItemLibraryPage::OnDelete()
{
    int index = Selected();
    if (index < 0 || !m_Library.CanDelete())
        return;
    if (Message(IDS_ITEM_DELETE, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    std::vector<std::string> before = m_Library.GetNames();
    size_t deleted = static_cast<size_t>(index);
    if (!m_Library.Delete(deleted)) {
        Message(IDS_ITEM_DELETE_FAILED, MB_OK | MB_ICONERROR);
        Fill(before[deleted]);
        return;
    }
    // Renamed files are told before the list is read again, so the selection can follow them.
    OnItemDeleted(before, deleted);
    Fill(NameAfterDelete(before, deleted, before[deleted]));
}

void CItemLibraryPage::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= m_Images.size())
        return;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const CCursorInfo& image = m_Images[item.itemID];
    int left = item.rcItem.left + (item.rcItem.right - item.rcItem.left - image.GetWidth()) / 2;
    DrawCursorImage(item.hDC, image, left, item.rcItem.top + 2, image.GetWidth(),
                    GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT label = item.rcItem;
    label.top += 52;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::string& name = m_Library.GetNames()[item.itemID];
    DrawTextA(item.hDC, name.c_str(), -1, &label, DT_CENTER | DT_TOP | DT_SINGLELINE);
}

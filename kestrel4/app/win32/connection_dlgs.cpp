#include "connection_dlgs.h"

#include "message_box.h"
#include "resource.h"

namespace {
const UINT kWaitDialogMs = 30000;
const UINT kPortButtons[4] = {IDC_PORT1, IDC_PORT2, IDC_PORT3, IDC_PORT4};

void ShowExclamation(HWND dialog)
{
    HWND icon = GetDlgItem(dialog, IDC_WARNING_ICON);
    if (icon)
        SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_EXCLAMATION)), 0);
}
} // namespace

void CQuestionDlg::Close()
{
    if (Exists())
        EndDialog(m_hWnd, IDCANCEL);
}

INT_PTR CQuestionDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        ShowExclamation(m_hWnd);
        if (m_nTextId)
            SetDlgItemTextA(m_hWnd, IDC_MESSAGE_TEXT, LoadResString(m_nTextId).c_str());
        return TRUE;
    }
    return EndOnOkCancel(msg, wParam);
}

void CPortDlg::Init()
{
    HWND list = GetDlgItem(m_hWnd, IDC_PORT_LIST);
    int selected = -1;
    for (size_t i = 0; i < m_OtherPorts.size(); ++i) {
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_OtherPorts[i].strText.c_str()));
        if (m_OtherPorts[i].nPort == m_nPort)
            selected = static_cast<int>(i);
    }
    SendMessageA(list, CB_SETCURSEL, selected >= 0 ? selected : 0, 0);
    if (m_OtherPorts.empty()) {
        ShowWindow(GetDlgItem(m_hWnd, IDC_PORT_OTHER), SW_HIDE);
        ShowWindow(list, SW_HIDE);
    }
    UINT checked = selected >= 0 ? IDC_PORT_OTHER : kPortButtons[m_nPort >= 1 && m_nPort <= 4 ? m_nPort - 1 : 0];
    CheckRadioButton(m_hWnd, IDC_PORT1, IDC_PORT4, 0);
    CheckDlgButton(m_hWnd, IDC_PORT_OTHER, BST_UNCHECKED);
    CheckDlgButton(m_hWnd, checked, BST_CHECKED);
}

unsigned int CPortDlg::ChosenPort() const
{
    for (unsigned int i = 0; i < 4; ++i)
        if (IsDlgButtonChecked(m_hWnd, kPortButtons[i]) == BST_CHECKED)
            return i + 1;
    LRESULT index = SendDlgItemMessageA(m_hWnd, IDC_PORT_LIST, CB_GETCURSEL, 0, 0);
    if (IsDlgButtonChecked(m_hWnd, IDC_PORT_OTHER) == BST_CHECKED && index >= 0 &&
        static_cast<size_t>(index) < m_OtherPorts.size())
        return m_OtherPorts[static_cast<size_t>(index)].nPort;
    return m_nPort;
}

INT_PTR CPortDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        Init();
        return TRUE;
    case WM_COMMAND:
        // Choosing a port in the list chooses "Other:".
        if (LOWORD(wParam) == IDC_PORT_LIST && HIWORD(wParam) == CBN_SELCHANGE) {
            for (UINT button : kPortButtons)
                CheckDlgButton(m_hWnd, button, BST_UNCHECKED);
            CheckDlgButton(m_hWnd, IDC_PORT_OTHER, BST_CHECKED);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK)
            m_nPort = ChosenPort();
        return EndOnOkCancel(msg, wParam);
    }
    return FALSE;
}

bool CNetworkPortDlg::TakeAddress()
{
    char text[512] = {};
    GetDlgItemTextA(m_hWnd, IDC_NETWORK_ADDRESS, text, sizeof text);
    std::string address;
    UINT problem = 0;
    switch (ParseNetworkAddress(text, address)) {
    case ENetworkAddress::Ok:
        m_strAddress = address;
        return true;
    case ENetworkAddress::NotHostPort:
        problem = IDS_NETWORK_NOT_HOST_PORT;
        break;
    case ENetworkAddress::BadHost:
        problem = IDS_NETWORK_BAD_HOST;
        break;
    case ENetworkAddress::BadPort:
        problem = IDS_NETWORK_BAD_PORT;
        break;
    }
    ShowMessage(m_hWnd, problem, MB_OK | MB_ICONEXCLAMATION, IDS_CAPTION);
    HWND edit = GetDlgItem(m_hWnd, IDC_NETWORK_ADDRESS);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    return false;
}

INT_PTR CNetworkPortDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetDlgItemTextA(m_hWnd, IDC_NETWORK_ADDRESS, m_strAddress.c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && !TakeAddress())
            return TRUE;
        return EndOnOkCancel(msg, wParam);
    }
    return FALSE;
}

void CModelessNoticeDlg::Destroy()
{
    if (Exists())
        DestroyWindow(m_hWnd);
}

void CModelessNoticeDlg::ShowText(bool visible)
{
    if (!Exists())
        return;
    HWND text = GetDlgItem(m_hWnd, IDC_MESSAGE_TEXT);
    ShowWindow(text, visible ? SW_SHOW : SW_HIDE);
    UpdateWindow(m_hWnd);
}

INT_PTR CModelessNoticeDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        ShowWindow(m_hWnd, SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(m_hWnd);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void CWaitDlg::Close()
{
    if (Exists())
        EndDialog(m_hWnd, IDCANCEL);
}

INT_PTR CWaitDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetTimer(m_hWnd, IDT_WAIT_DIALOG, kWaitDialogMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == IDT_WAIT_DIALOG) {
            KillTimer(m_hWnd, IDT_WAIT_DIALOG);
            EndDialog(m_hWnd, IDOK);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

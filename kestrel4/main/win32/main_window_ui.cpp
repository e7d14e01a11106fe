#include "main_window_ui.h"

#include "port_list.h"
#include "port_names.h"

#include "message_box.h"
#include "resource.h"

std::string CMainWindowUi::PortDevice(unsigned int port)
{
    return ComPortDevice(port);
}

std::vector<unsigned int> CMainWindowUi::PresentPorts()
{
    return ComPortNumbers(ListSerialPorts());
}

bool CMainWindowUi::AskPort(UINT dialogId, unsigned int& port)
{
    CPortDlg dialog(port, PortDialogChoices(PresentPorts(), port, m_Window.NetworkAddress()));
    if (dialog.DoModal(dialogId, Owner()) != IDOK)
        return false;
    port = dialog.GetPort();
    return true;
}

void CMainWindowUi::PumpMessages(unsigned int first, unsigned int last)
{
    MSG msg;
    while (PeekMessageA(&msg, m_hMain, first, last, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CMainWindowUi::PumpAll()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The program is ending; leave that to the message loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (m_Window.PreTranslateMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CMainWindowUi::WaitForMessages(unsigned long ms)
{
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}

void CMainWindowUi::WaitCursor(bool on)
{
    m_nWaitCursor += on ? 1 : -1;
    SetCursor(LoadCursor(nullptr, m_nWaitCursor > 0 ? IDC_WAIT : IDC_ARROW));
}

HWND CMainWindowUi::Owner() const
{
    return m_Splash.Exists() ? m_Splash.GetHwnd() : m_hMain;
}

bool CMainWindowUi::AskPortAgain(unsigned int& port)
{
    return AskPort(IDD_PORT_OPEN, port);
}

bool CMainWindowUi::AskRetrySend()
{
    return ::ShowMessage(m_hMain, IDS_COMM_ERROR, MB_RETRYCANCEL | MB_ICONWARNING, IDS_CAPTION) == IDRETRY;
}

void CMainWindowUi::RaiseSplash()
{
    if (m_Splash.Exists())
        SetWindowPos(m_Splash.GetHwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CMainWindowUi::ShowMessage(unsigned int stringId, EMessageIcon icon)
{
    UINT style = icon == ICON_ERROR ? MB_ICONERROR : icon == ICON_EXCLAMATION ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
    ::ShowMessage(Owner(), stringId, MB_OK | style, IDS_CAPTION);
}

bool CMainWindowUi::AskNoResponse()
{
    CQuestionDlg dialog;
    return dialog.DoModal(IDD_NO_RESPONSE, Owner()) == IDOK;
}

bool CMainWindowUi::AskSelectPort(unsigned int& port)
{
    return AskPort(IDD_SELECT_PORT, port);
}

bool CMainWindowUi::AskUnsupported()
{
    CQuestionDlg dialog;
    return dialog.DoModal(IDD_UNSUPPORTED, Owner()) == IDOK;
}

bool CMainWindowUi::AskTurnOn(unsigned int stringId)
{
    m_TurnedOffDlg.SetTextId(stringId);
    return m_TurnedOffDlg.DoModal(IDD_TURNED_OFF, Owner()) == IDOK;
}

bool CMainWindowUi::AskPowerOff()
{
    return ::ShowMessage(m_hMain, IDS_POWER_OFF, MB_YESNO | MB_ICONEXCLAMATION, IDS_CAPTION) == IDYES;
}

void CSystemClock::Sleep(unsigned int ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // The main loop must see it too.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

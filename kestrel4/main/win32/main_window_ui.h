// The Win32 side of the link and of connecting: message pumping on the main window's
// thread, the wait cursor, and the connection dialogs and message boxes.
#pragma once
#include <windows.h>

#include <string>

#include "clock.h"
#include "connection_dlgs.h"
#include "connection_ui.h"
#include "link_host.h"
#include "resource.h"
#include "splash_dlg.h"

// What the main window itself does for them.
class IMainWindowEvents {
public:
    virtual ~IMainWindowEvents() {}
    // True when the main window consumed the message (dialog keys, accelerators).
    virtual bool PreTranslateMessage(MSG& msg) = 0;
    virtual void OnLinkChanged(bool linkOpen) = 0;
    virtual void CheckPortMenu(unsigned int port) = 0;
    // Kestrel4.ini keeps the port that connected last.
    virtual void KeepPort(unsigned int port) = 0;
    // The network port's HOST:PORT, offered in the port dialogs when there is one.
    virtual std::string NetworkAddress() const = 0;
    virtual void RefreshControlScreen() = 0;
};

class CSystemClock : public IClock {
public:
    uint32_t TickCount() override { return GetTickCount(); }
    // Dispatches the thread's messages until ms have passed.
    void Sleep(unsigned int ms) override;
};

class CMainWindowUi : public ILinkHost, public IConnectionUi {
public:
    CMainWindowUi(IMainWindowEvents& window, CSplashDlg& splash) : m_Window(window), m_Splash(splash) {}
    void SetMainWindow(HWND main) { m_hMain = main; }

    // ILinkHost
    HWND NotifyWindow() override { return m_hMain; }
    std::string PortDevice(unsigned int port) override;
    void PumpMessages(unsigned int first, unsigned int last) override;
    void PumpAll() override;
    void WaitForMessages(unsigned long ms) override;
    void WaitCursor(bool on) override;
    bool AskPortAgain(unsigned int& port) override;
    bool AskRetrySend() override;
    std::vector<unsigned int> PresentPorts() override;

    // IConnectionUi
    void Beep() override { MessageBeep(MB_ICONEXCLAMATION); }
    void RaiseSplash() override;
    void ShowMessage(unsigned int stringId, EMessageIcon icon) override;
    bool AskNoResponse() override;
    bool AskSelectPort(unsigned int& port) override;
    bool AskUnsupported() override;
    void PostQuit() override { PostQuitMessage(0); }
    bool AskTurnOn(unsigned int stringId) override;
    bool IsTurnedOffDlgUp() override { return m_TurnedOffDlg.Exists(); }
    void CloseTurnedOffDlg() override { m_TurnedOffDlg.Close(); }
    bool AskPowerOff() override;
    void EnableMainWindow(bool enable) override { EnableWindow(m_hMain, enable); }
    void ShowActiveDlg() override { m_ActiveDlg.Create(IDD_ACTIVE, m_hMain); }
    bool IsActiveDlgUp() override { return m_ActiveDlg.Exists(); }
    void ShowActiveText(bool visible) override { m_ActiveDlg.ShowText(visible); }
    void DestroyActiveDlg() override { m_ActiveDlg.Destroy(); }
    void ShowCoolingDlg() override { m_CoolingDlg.Create(IDD_COOLING, m_hMain); }
    bool IsCoolingDlgUp() override { return m_CoolingDlg.Exists(); }
    void DestroyCoolingDlg() override { m_CoolingDlg.Destroy(); }
    void RunWaitDlg() override { m_WaitDlg.DoModal(IDD_WAIT, m_hMain); }
    bool IsWaitDlgUp() override { return m_WaitDlg.Exists(); }
    void CloseWaitDlg() override { m_WaitDlg.Close(); }
    void RefreshControlScreen() override { m_Window.RefreshControlScreen(); }
    void RepaintMainWindow() override { InvalidateRect(m_hMain, nullptr, TRUE); }
    void OnConnectionChanged(bool linkOpen) override { m_Window.OnLinkChanged(linkOpen); }
    void CheckPortMenu(unsigned int port) override { m_Window.CheckPortMenu(port); }
    void KeepPort(unsigned int port) override { m_Window.KeepPort(port); }

private:
    // Message boxes and dialogs belong to the splash while it is up.
    HWND Owner() const;
    // The port dialogs (IDD 172, 177): COM1-COM4, the other present ports, the network port.
    bool AskPort(UINT dialogId, unsigned int& port);

    IMainWindowEvents& m_Window;
    CSplashDlg& m_Splash;
    HWND m_hMain = nullptr;
    int m_nWaitCursor = 0;
    CQuestionDlg m_TurnedOffDlg;
    CModelessNoticeDlg m_ActiveDlg;
    CModelessNoticeDlg m_CoolingDlg;
    CWaitDlg m_WaitDlg;
};

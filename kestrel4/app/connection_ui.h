// The dialogs, message boxes and window changes that connecting and the power reports need.
// The main window implements them with Win32; tests script the user's answers. Time and
// message pumping come from the clock and the link's host.
#pragma once
#include <cstdint>

enum EMessageIcon { ICON_INFORMATION, ICON_ERROR, ICON_EXCLAMATION };

class IConnectionUi {
public:
    virtual ~IConnectionUi() {}
    virtual void Beep() = 0;
    // Brings the splash, when it still exists, to the top before a connection dialog.
    virtual void RaiseSplash() = 0;
    // A message box captioned "Kestrel" with a text of the string table, owned by the splash
    // while it exists, else by the main window.
    virtual void ShowMessage(unsigned int stringId, EMessageIcon icon) = 0;

    // "No response from the projector": true = "Select port and operate again".
    virtual bool AskNoResponse() = 0;
    // "Selecting Port": true with the chosen port (COM1-COM4 or a present one).
    virtual bool AskSelectPort(unsigned int& port) = 0;
    // "Kestrel does not support the projector connected.": true = "Exit".
    virtual bool AskUnsupported() = 0;
    virtual void PostQuit() = 0;

    // The question whether to switch the projector on (string 509 or 506); true = "Yes".
    virtual bool AskTurnOn(unsigned int stringId) = 0;
    virtual bool IsTurnedOffDlgUp() = 0;
    // "Turn the projector power off?"; true = "Yes".
    virtual bool AskPowerOff() = 0;
    virtual void CloseTurnedOffDlg() = 0;

    virtual void EnableMainWindow(bool enable) = 0;
    // "The projector is active.", modeless, its text blinking.
    virtual void ShowActiveDlg() = 0;
    virtual bool IsActiveDlgUp() = 0;
    virtual void ShowActiveText(bool visible) = 0;
    virtual void DestroyActiveDlg() = 0;
    // "The projector is cooling down.", modeless; its Cancel destroys it.
    virtual void ShowCoolingDlg() = 0;
    virtual bool IsCoolingDlgUp() = 0;
    virtual void DestroyCoolingDlg() = 0;
    // "Wait...", modal; it ends by itself after 30 s or through CloseWaitDlg.
    virtual void RunWaitDlg() = 0;
    virtual bool IsWaitDlgUp() = 0;
    virtual void CloseWaitDlg() = 0;
    // Every page of the projector control screen re-reads the table, then repaints.
    virtual void RefreshControlScreen() = 0;
    virtual void RepaintMainWindow() = 0;

    // After every connection attempt: buttons, screens and menus follow the link's state.
    virtual void OnConnectionChanged(bool linkOpen) = 0;
    // The COM menu item of the connected port is checked, the others not.
    virtual void CheckPortMenu(unsigned int port) = 0;
    // A connection succeeded on the port: it is the one to try first at the next start.
    virtual void KeepPort(unsigned int port) {}
};

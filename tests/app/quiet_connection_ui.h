// A connection UI that answers every question the quiet way, for tests and tools that are
// not about dialogs.
#pragma once
#include "connection_ui.h"

class CQuietUi : public IConnectionUi {
public:
    void Beep() override {}
    void RaiseSplash() override {}
    void ShowMessage(unsigned int, EMessageIcon) override {}
    bool AskNoResponse() override { return false; }
    bool AskSelectPort(unsigned int&) override { return false; }
    bool AskUnsupported() override { return false; }
    void PostQuit() override {}
    bool AskTurnOn(unsigned int) override { return false; }
    bool IsTurnedOffDlgUp() override { return false; }
    bool AskPowerOff() override { return false; }
    void CloseTurnedOffDlg() override {}
    void EnableMainWindow(bool) override {}
    void ShowActiveDlg() override {}
    bool IsActiveDlgUp() override { return false; }
    void ShowActiveText(bool) override {}
    void DestroyActiveDlg() override {}
    void ShowCoolingDlg() override {}
    bool IsCoolingDlgUp() override { return false; }
    void DestroyCoolingDlg() override {}
    void RunWaitDlg() override {}
    bool IsWaitDlgUp() override { return false; }
    void CloseWaitDlg() override {}
    void RefreshControlScreen() override {}
    void RepaintMainWindow() override {}
    void OnConnectionChanged(bool) override {}
    void CheckPortMenu(unsigned int) override {}
};

// The About tab (the projector's lamp hours and signal) and the preset registration dialog.
#pragma once
#include <windows.h>

#include <string>

#include "dialog_base.h"

class CPageContext;

class CAboutPage : public CDialogBase {
public:
    explicit CAboutPage(CPageContext& context) : m_Context(context) {}
    HWND Create(HWND parent);

    // Every text from the table for the current projector.
    void Refresh();
    void ShowLamp();
    void ShowFrequencies();
    void ShowResolution();
    void ShowSync();
    void ShowVideoSignal();
    bool LampWarning() const { return m_bLampWarning; }

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowGroups();
    void PaintLamp(HDC dc);

    CPageContext& m_Context;
    std::string m_strLamp;
    bool m_bLampWarning = false;
};

class CPresetDialog : public CDialogBase {
public:
    std::string m_strResolution;
    std::string m_strRefresh;
    int m_nPreset = 0;

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

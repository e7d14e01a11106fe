// CEffectHost: the system side of running effects for the main window: its placement, the
// hook library, the monitors and the pointer, the drawers and the Test run's overlay.
#pragma once
#include "effect_execution.h"

#include <windows.h>

#include <functional>

class CEffectHost : public IEffectHost {
public:
    // onEscape: Esc pressed in the Test run's overlay.
    CEffectHost(HWND mainWindow, std::function<void()> onEscape) : m_hMain(mainWindow), m_OnEscape(std::move(onEscape))
    {
    }
    ~CEffectHost() override;

    bool IsMainWindowMinimized() const override;
    bool IsKeyDown(int code) const override;
    bool IsKeyPlaybackIdle() const override;
    std::vector<SMonitor> Monitors() const override;
    SPoint PointerPosition() const override;
    void ConfinePointer(const SRect* area) override;
    int DisplayBitsPerPixel() const override;
    void ShowDepthMessage() override;
    void PumpMessages() override;
    bool IsLaterMoveQueued() const override;
    void HookMouse() override;
    void UnhookMouse() override;
    void HookKeyboard() override;
    void UnhookKeyboard() override;
    bool PostKeyMessages(const std::vector<int>& codes) override;
    std::unique_ptr<IEffectDrawer> StartDrawer(const CEffect& effect, const SRect& area) override;
    void RestoreForeground() override;
    void OpenTestOverlay(const SRect& area) override;
    void CloseTestOverlay() override;
    void OnOverlayEscape();
    // A Test run's overlay is open and takes input.
    bool IsOverlayEnabled() const { return m_hOverlay && IsWindow(m_hOverlay) && IsWindowEnabled(m_hOverlay); }
    bool IsOverlayDisabled() const { return m_hOverlay && IsWindow(m_hOverlay) && !IsWindowEnabled(m_hOverlay); }

private:
    HWND m_hMain;
    std::function<void()> m_OnEscape;
    HWND m_hOverlay = nullptr;
};

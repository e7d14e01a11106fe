// CEffectExecution: running the slots' effects. It matches the shortcut keys the keyboard
// hook reports, starts and ends drawers, routes hooked mouse events to the running one,
// plays Key effects and keeps the Test run's overlay in step. Everything that touches the
// system goes through IEffectHost.
#pragma once
#include "effect_drawer.h"
#include "effects.h"
#include "mouse_dispatch.h"

#include <memory>
#include <vector>

class IEffectHost {
public:
    virtual ~IEffectHost() {}
    // The main window's placement shows it minimized.
    virtual bool IsMainWindowMinimized() const = 0;
    virtual bool IsKeyDown(int code) const = 0;
    // No key playback is running.
    virtual bool IsKeyPlaybackIdle() const = 0;
    // Bits per pixel of the display; 0 when no display context can be had.
    virtual int DisplayBitsPerPixel() const = 0;
    // Message 512; returns when the user has closed it.
    virtual void ShowDepthMessage() = 0;
    // Dispatches the main window's pending messages.
    virtual void PumpMessages() = 0;
    virtual void HookMouse() = 0;
    virtual void UnhookMouse() = 0;
    virtual void HookKeyboard() = 0;
    virtual void UnhookKeyboard() = 0;
    // False when the sequence could not be played.
    virtual bool PostKeyMessages(const std::vector<int>& codes) = 0;
    // The drawer of a definition of types 0..9; null when it cannot be made.
    virtual std::unique_ptr<IEffectDrawer> StartDrawer(const CEffect& effect) = 0;
    // After an effect ended: a foreground window for the keyboard again.
    virtual void RestoreForeground() = 0;
    virtual void OpenTestOverlay() = 0;
    virtual void CloseTestOverlay() = 0;
};

// The definitions and shortcuts of the five slots and the test slot; slot numbers 1..6.
class IEffectSlots {
public:
    virtual ~IEffectSlots() {}
    virtual const CEffect* GetSlotEffect(int slot) const = 0;
    virtual const KeyCodeArray& GetSlotShortcut(int slot) const = 0;
};

const int kShortcutSlots = 5;
const int kTestSlotNumber = 6;
const int kMaxKeySequence = 256;

// The modifiers and key held while shortcuts are matched.
struct SHeldKeys {
    bool bCtrl = false;
    bool bShift = false;
    bool bAlt = false;
    bool bKey = false;
    int nKey = 0;
};

// True when shortcut is exactly the held modifiers plus the held key.
bool ShortcutMatches(const KeyCodeArray& shortcut, const SHeldKeys& held);

// The codes a Key effect plays: the release pairs of the shortcut's modifiers (when
// asked) and then every event's codes, at most kMaxKeySequence in all.
struct SKeyPrefix {
    bool bCtrl = false, bShift = false, bAlt = false;
};
std::vector<int> BuildKeySequence(const SKeyPrefix* prefix, const std::vector<KeyCodeArray>& events);

class CEffectExecution {
public:
    CEffectExecution(IEffectHost& host, const IEffectSlots& slots) : m_Host(host), m_Slots(slots) {}
    ~CEffectExecution();
    CEffectExecution(const CEffectExecution&) = delete;
    CEffectExecution& operator=(const CEffectExecution&) = delete;

    // The keyboard hook's report; nonzero swallows the key. initialised: the screen is ready.
    int OnKey(int code, bool up);
    void SetInitialized() { m_bInitialized = true; }
    int MatchShortcut();
    // Slot n (1..6); local is 0 when the projector asked for it.
    int RunEffect(int n, int local);
    void EndEffect();
    // The mouse hook's report; nonzero swallows the event.
    int OnMouse(unsigned int msg, unsigned long long lParam);
    // Runs the test slot over a fresh overlay.
    int RunTest();
    // Ends a running effect the way Esc does; also when the program or the session ends.
    void StopEffect();
    // A played sound reached its end.
    void OnSoundEnded();
    // The main window was minimized.
    void OnMinimized() { m_bMinimizedSinceKey = true; }
    // The main window lost the activation; overlayEnabled: a Test overlay is open and takes
    // input. Minimized, a running effect then ends unless such an overlay holds it.
    void OnMainDeactivated(bool overlayEnabled);
    // Whether the projector link is open: the projector asks for effects only through it.
    void SetLinkOpen(bool open) { m_bLinkOpen = open; }

    bool IsEffectRunning() const { return m_bEffectRunning; }
    bool IsTestOpen() const { return m_bTestOpen; }
    int GetRunningSlot() const { return m_nRunningSlot; }
    int GetRunningType() const;
    const SHeldKeys& GetHeldKeys() const { return m_Held; }

private:
    void RunKeyEffect(const CKeyEffect& effect);
    bool ShortcutHas(int code) const;

    IEffectHost& m_Host;
    const IEffectSlots& m_Slots;
    std::unique_ptr<IEffectDrawer> m_pDrawer;
    bool m_bEffectRunning = false;
    bool m_bInitialized = false;
    bool m_bTestOpen = false;
    bool m_bDepthMessageShown = false;
    bool m_bMinimizedSinceKey = false;
    bool m_bLinkOpen = false;
    int m_nRunningSlot = -1;
    int m_nRunningType = -1;
    int m_bLocal = 0;
    int m_nMatchedSlot = -1;
    SKeyPrefix m_Matched;
    SHeldKeys m_Held;
    CButtonLatch m_Latch;
};

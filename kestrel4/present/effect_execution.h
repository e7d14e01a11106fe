// CEffectExecution: running the slots' effects. It does what the input gate decided on the
// hook thread (a shortcut's effect, Esc), starts and ends drawers on the monitor chosen at
// the start, routes hooked mouse events to the running one, plays Key effects and keeps the
// Test run's overlay in step. Everything that touches the system goes through IEffectHost.
#pragma once
#include "effect_drawer.h"
#include "effects.h"
#include "input_gate.h"
#include "monitor_layout.h"
#include "mouse_dispatch.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class IEffectHost : public IGateProbe {
public:
    // The monitors in virtual-screen coordinates, and the pointer's position.
    virtual std::vector<SMonitor> Monitors() const = 0;
    virtual SPoint PointerPosition() const = 0;
    // Keeps the pointer inside area; null lets it go anywhere again.
    virtual void ConfinePointer(const SRect* area) = 0;
    // Bits per pixel of the display; 0 when no display context can be had.
    virtual int DisplayBitsPerPixel() const = 0;
    // Message 512; returns when the user has closed it.
    virtual void ShowDepthMessage() = 0;
    // Dispatches the main window's pending messages.
    virtual void PumpMessages() = 0;
    // A later pointer move is waiting in the main window's queue already. Looking may run a
    // message another thread sends meanwhile.
    virtual bool IsLaterMoveQueued() const = 0;
    virtual void HookMouse() = 0;
    virtual void UnhookMouse() = 0;
    virtual void HookKeyboard() = 0;
    virtual void UnhookKeyboard() = 0;
    // False when the sequence could not be played.
    virtual bool PostKeyMessages(const std::vector<int>& codes) = 0;
    // The drawer of a definition of types 0..9 on the monitor area; null when it cannot be made.
    virtual std::unique_ptr<IEffectDrawer> StartDrawer(const CEffect& effect, const SRect& area) = 0;
    // After an effect ended: a foreground window for the keyboard again.
    virtual void RestoreForeground() = 0;
    virtual void OpenTestOverlay(const SRect& area) = 0;
    virtual void CloseTestOverlay() = 0;
};

// The definitions and shortcuts of the five slots and the test slot; slot numbers 1..6.
class IEffectSlots {
public:
    virtual ~IEffectSlots() {}
    virtual const CEffect* GetSlotEffect(int slot) const = 0;
    virtual const KeyCodeArray& GetSlotShortcut(int slot) const = 0;
};

const int kTestSlotNumber = 6;
const int kMaxKeySequence = 256;

// The codes a Key effect plays: the release pairs of the shortcut's modifiers (when
// asked) and then every event's codes, at most kMaxKeySequence in all.
std::vector<int> BuildKeySequence(const SKeyPrefix* prefix, const std::vector<KeyCodeArray>& events);

class CEffectExecution {
public:
    CEffectExecution(IEffectHost& host, const IEffectSlots& slots) : m_Host(host), m_Slots(slots), m_Gate(host) {}
    ~CEffectExecution();
    CEffectExecution(const CEffectExecution&) = delete;
    CEffectExecution& operator=(const CEffectExecution&) = delete;

    // Asked by the hook thread; publishes what the main window's state is.
    CInputGate& Gate() { return m_Gate; }
    // The shortcuts changed, or the version box opened or closed.
    void Publish();
    void WatchInstallerKey(bool watch);
    void SetInstallerKeyHandler(std::function<void()> handler) { m_OnInstallerKey = std::move(handler); }
    // A key the gate decided on: its decision (nonzero swallows) and then the work.
    int OnKey(int code, bool up);
    // The work the gate queued: run after each posted key report.
    void RunGateActions();
    // The screen is ready: shortcuts may match.
    void SetInitialized();
    // Slot n (1..6); local is 0 when the projector asked for it. Asked while another
    // effect is being replaced, it runs after that one, never inside it.
    int RunEffect(int n, int local);
    void EndEffect();
    // A mouse event the gate decided on: its decision (nonzero swallows), and the drawing.
    int OnMouse(unsigned int msg, unsigned long long lParam);
    // The drawing of a posted mouse report: the running drawer gets the point, kept on the
    // effect's monitor.
    void OnMousePosted(unsigned int msg, unsigned long long lParam);
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
    // The monitor effects run on from the next start.
    void SetEffectMonitor(EEffectMonitor choice) { m_MonitorChoice = choice; }
    // The monitors changed (one may be gone) or the session was locked: whatever runs ends,
    // as the drawers hold pictures and sizes of what the screen was.
    void EndOnSystemChange();

    bool IsEffectRunning() const { return m_bEffectRunning; }
    bool IsTestOpen() const { return m_bTestOpen; }
    int GetRunningSlot() const { return m_nRunningSlot; }
    int GetRunningType() const;
    SHeldKeys GetHeldKeys() const { return m_Gate.GetHeldKeys(); }
    // The monitor area of the running effect (or the last one).
    const SRect& GetArea() const { return m_Area; }

private:
    int StartSlot(int n, int local);
    void RunKeyEffect(const CKeyEffect& effect);
    bool ShortcutHas(int code) const;
    void ChooseArea();
    void ReleasePointer();

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
    CButtonLatch m_Latch;
    CInputGate m_Gate;
    bool m_bInstallerWatched = false;
    std::function<void()> m_OnInstallerKey;
    EEffectMonitor m_MonitorChoice = EFFECT_MONITOR_POINTER;
    SRect m_Area;
    bool m_bConfined = false;
    // Requests that came while an effect was being started; run in order afterwards.
    bool m_bStarting = false;
    std::deque<std::pair<int, int>> m_Queued;
};

// CInputGate: the decision, on the hook library's thread, whether a key or mouse input is
// taken from the desktop. It reads what the main window publishes (the shortcuts, whether an
// effect or a Test run is going on) and queues what the main window then has to do, so that
// no other program's input waits for the main window.
#pragma once
#include "key_code_array.h"

#include <cstdint>
#include <mutex>
#include <vector>

const int kShortcutSlots = 5;

// The key that opens the installer-only mode from the version box: a key-down of I with Ctrl
// held and neither Shift nor Alt. flags: the keyboard hook's keystroke flags (bit 31 = up).
bool IsInstallerKey(unsigned int virtualKey, uint32_t flags, bool ctrl, bool shift, bool alt);

// What the hook thread may ask of the system itself; each must be safe on any thread.
class IGateProbe {
public:
    virtual ~IGateProbe() {}
    // The main window's placement shows it minimized.
    virtual bool IsMainWindowMinimized() const = 0;
    virtual bool IsKeyDown(int code) const = 0;
    // No key playback is running.
    virtual bool IsKeyPlaybackIdle() const = 0;
};

// The modifiers and key held while shortcuts are matched.
struct SHeldKeys {
    bool bCtrl = false;
    bool bShift = false;
    bool bAlt = false;
    bool bKey = false;
    int nKey = 0;
};

bool HasKeyCode(const KeyCodeArray& codes, int code);
// True when shortcut is exactly the held modifiers plus the held key.
bool ShortcutMatches(const KeyCodeArray& shortcut, const SHeldKeys& held);

// Which of Ctrl, Shift and Alt a shortcut holds.
struct SKeyPrefix {
    bool bCtrl = false, bShift = false, bAlt = false;
};

// The main window's state as the gate sees it.
struct SGateState {
    bool bInitialized = false;
    bool bEffectRunning = false;
    bool bTestOpen = false;
    bool bInstallerKeyWatched = false;          // the version box is open
    KeyCodeArray shortcuts[kShortcutSlots + 1]; // by slot number 1..5
};

enum EGateAction {
    GATE_RUN_SLOT,     // a shortcut matched: run nSlot
    GATE_STOP_EFFECT,  // Esc: end the running effect (and a Test run)
    GATE_INSTALLER_KEY // the version box's key to the installer-only mode
};

struct SGateAction {
    EGateAction action;
    int nSlot;
    SKeyPrefix matched; // GATE_RUN_SLOT: the modifiers of the matched shortcut
};

class CInputGate {
public:
    explicit CInputGate(const IGateProbe& probe) : m_Probe(probe) {}

    // The main window's side.
    void Publish(const SGateState& state);
    std::vector<SGateAction> TakeActions();

    // The hook thread's side: nonzero takes the input from the desktop.
    int OnKey(int code, bool up);
    int OnMouse(unsigned int msg);
    SHeldKeys GetHeldKeys() const;

private:
    int MatchShortcut(const SGateState& state);
    void Queue(const SGateAction& action);

    const IGateProbe& m_Probe;
    mutable std::mutex m_Lock; // guards everything below
    SGateState m_State;
    SHeldKeys m_Held;
    std::vector<SGateAction> m_Actions;
};

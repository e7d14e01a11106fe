#include "input_gate.h"

namespace {

const int kCtrl = 17, kShift = 16, kAlt = 18, kEsc = 27;
const unsigned int kMouseMove = 0x200;

} // namespace

bool HasKeyCode(const KeyCodeArray& codes, int code)
{
    for (int i = 0; i < codes.nCount; ++i)
        if (codes.nCodes[i] == code)
            return true;
    return false;
}

bool ShortcutMatches(const KeyCodeArray& shortcut, const SHeldKeys& held)
{
    int heldCount = (held.bCtrl ? 1 : 0) + (held.bShift ? 1 : 0) + (held.bAlt ? 1 : 0) + 1;
    int matched = 0;
    for (int i = 0; i < shortcut.nCount; ++i) {
        int k = shortcut.nCodes[i];
        if ((k == kCtrl && held.bCtrl) || (k == kShift && held.bShift) || (k == kAlt && held.bAlt) || k == held.nKey)
            ++matched;
    }
    return shortcut.nCount == heldCount && shortcut.nCount == matched;
}

void CInputGate::Publish(const SGateState& state)
{
    std::lock_guard<std::mutex> hold(m_Lock);
    m_State = state;
}

std::vector<SGateAction> CInputGate::TakeActions()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    std::vector<SGateAction> actions;
    actions.swap(m_Actions);
    return actions;
}

SHeldKeys CInputGate::GetHeldKeys() const
{
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_Held;
}

void CInputGate::Queue(const SGateAction& action)
{
    m_Actions.push_back(action);
}

int CInputGate::OnKey(int code, bool up)
{
    std::lock_guard<std::mutex> hold(m_Lock);
    const SGateState& state = m_State;
    if (state.bInstallerKeyWatched &&
        IsInstallerKey(static_cast<unsigned int>(code), up ? 0x80000000u : 0u, m_Probe.IsKeyDown(kCtrl),
                       m_Probe.IsKeyDown(kShift), m_Probe.IsKeyDown(kAlt))) {
        Queue({GATE_INSTALLER_KEY, 0, SKeyPrefix()});
        return 1;
    }
    if (state.bTestOpen && code != kEsc) {
        m_Held = SHeldKeys();
        return 1;
    }
    if (!state.bTestOpen && !m_Probe.IsMainWindowMinimized())
        return 0;
    switch (code) {
    case kCtrl:
        m_Held.bCtrl = !up;
        return 0;
    case kShift:
        m_Held.bShift = !up;
        return 0;
    case kAlt:
        m_Held.bAlt = !up;
        return 0;
    case kEsc:
        if (!up && (state.bEffectRunning || state.bTestOpen)) {
            Queue({GATE_STOP_EFFECT, 0, SKeyPrefix()});
            m_Held = SHeldKeys();
            return 1;
        }
        return 0;
    }
    if (up) {
        m_Held.bKey = false;
        m_Held.nKey = 0;
        return 0;
    }
    m_Held.bKey = true;
    m_Held.nKey = code;
    m_Held.bCtrl = m_Probe.IsKeyDown(kCtrl);
    m_Held.bShift = m_Probe.IsKeyDown(kShift);
    m_Held.bAlt = m_Probe.IsKeyDown(kAlt);
    if (!MatchShortcut(state))
        return 0;
    m_Held = SHeldKeys();
    return 1;
}

int CInputGate::MatchShortcut(const SGateState& state)
{
    if (!state.bInitialized || !m_Probe.IsKeyPlaybackIdle())
        return 0;
    for (int slot = 1; slot <= kShortcutSlots; ++slot) {
        const KeyCodeArray& shortcut = state.shortcuts[slot];
        if (!ShortcutMatches(shortcut, m_Held))
            continue;
        SGateAction run = {GATE_RUN_SLOT, slot, SKeyPrefix()};
        run.matched.bCtrl = HasKeyCode(shortcut, kCtrl);
        run.matched.bShift = HasKeyCode(shortcut, kShift);
        run.matched.bAlt = HasKeyCode(shortcut, kAlt);
        Queue(run);
        return 1;
    }
    return 0;
}

int CInputGate::OnMouse(unsigned int msg)
{
    std::lock_guard<std::mutex> hold(m_Lock);
    // Moves go on: taken from the desktop, they would stop the pointer itself. The window
    // under it sees them; its clicks are what an effect keeps from it.
    return m_State.bEffectRunning && msg != kMouseMove ? 1 : 0;
}

bool IsInstallerKey(unsigned int virtualKey, uint32_t flags, bool ctrl, bool shift, bool alt)
{
    const unsigned int kKeyI = 0x49;
    return virtualKey == kKeyI && (flags & 0x80000000u) == 0 && ctrl && !shift && !alt;
}

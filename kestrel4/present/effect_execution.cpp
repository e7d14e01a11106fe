#include "effect_execution.h"

namespace {

const int kCtrl = 17, kShift = 16, kAlt = 18;

} // namespace

std::vector<int> BuildKeySequence(const SKeyPrefix* prefix, const std::vector<KeyCodeArray>& events)
{
    std::vector<int> codes;
    auto add = [&codes](int code) {
        if (codes.size() < static_cast<size_t>(kMaxKeySequence))
            codes.push_back(code);
    };
    // The shortcut's modifiers are still down in the system's key state: a press and
    // release of each lets the played keys arrive without them.
    if (prefix) {
        if (prefix->bCtrl) {
            add(kCtrl);
            add(kCtrl);
        }
        if (prefix->bShift) {
            add(kShift);
            add(kShift);
        }
        if (prefix->bAlt) {
            add(kAlt);
            add(kAlt);
        }
    }
    for (const KeyCodeArray& event : events)
        for (int i = 0; i < event.nCount; ++i)
            add(event.nCodes[i]);
    return codes;
}

CEffectExecution::~CEffectExecution()
{
    StopEffect();
    EndEffect();
}

int CEffectExecution::GetRunningType() const
{
    return m_nRunningSlot > 0 ? m_nRunningType : -1;
}

void CEffectExecution::Publish()
{
    SGateState state;
    state.bInitialized = m_bInitialized;
    state.bEffectRunning = m_bEffectRunning;
    state.bTestOpen = m_bTestOpen;
    state.bInstallerKeyWatched = m_bInstallerWatched;
    for (int slot = 1; slot <= kShortcutSlots; ++slot)
        state.shortcuts[slot] = m_Slots.GetSlotShortcut(slot);
    m_Gate.Publish(state);
}

void CEffectExecution::SetInitialized()
{
    m_bInitialized = true;
    Publish();
}

void CEffectExecution::WatchInstallerKey(bool watch)
{
    m_bInstallerWatched = watch;
    Publish();
}

int CEffectExecution::OnKey(int code, bool up)
{
    int swallow = m_Gate.OnKey(code, up);
    RunGateActions();
    return swallow;
}

void CEffectExecution::RunGateActions()
{
    for (const SGateAction& action : m_Gate.TakeActions()) {
        switch (action.action) {
        case GATE_RUN_SLOT:
            // Recorded first: a Key effect's Begin reads them.
            m_nMatchedSlot = action.nSlot;
            m_Matched = action.matched;
            RunEffect(action.nSlot, 1);
            break;
        case GATE_STOP_EFFECT:
            StopEffect();
            EndEffect();
            break;
        case GATE_INSTALLER_KEY:
            if (m_OnInstallerKey)
                m_OnInstallerKey();
            break;
        }
    }
}

int CEffectExecution::RunEffect(int n, int local)
{
    if (m_bStarting) {
        m_Queued.emplace_back(n, local);
        return 1;
    }
    m_bStarting = true;
    int result = StartSlot(n, local);
    while (!m_Queued.empty()) {
        std::pair<int, int> next = m_Queued.front();
        m_Queued.pop_front();
        result = StartSlot(next.first, next.second);
    }
    m_bStarting = false;
    Publish();
    return result;
}

void CEffectExecution::ChooseArea()
{
    m_Area = EffectMonitorRect(m_Host.Monitors(), m_Host.PointerPosition(), m_MonitorChoice);
}

int CEffectExecution::StartSlot(int n, int local)
{
    // A report read before the link closed may still be queued.
    if (!local && !m_bLinkOpen)
        return 0;
    int depth = m_Host.DisplayBitsPerPixel();
    if (depth == 0)
        return 0;
    if (depth < 8) {
        if (!m_bDepthMessageShown) {
            m_bDepthMessageShown = true;
            m_Host.ShowDepthMessage();
            m_bDepthMessageShown = false;
        }
        EndEffect();
        return 0;
    }
    if (n != kTestSlotNumber && !m_Host.IsMainWindowMinimized())
        return 0;
    if (n < 1 || n > kTestSlotNumber)
        n = 1;
    if (m_bEffectRunning) {
        StopEffect();
        // Requests arriving meanwhile are queued by RunEffect.
        m_Host.PumpMessages();
    }
    // Whatever ran is replaced.
    m_pDrawer.reset();

    const CEffect* effect = m_Slots.GetSlotEffect(n);
    m_nRunningSlot = n;
    if (!effect) {
        m_nRunningSlot = -1;
        EndEffect();
        return 0;
    }
    m_nRunningType = effect->GetType();
    m_bLocal = local;
    if (effect->GetType() == EFFECT_KEY) {
        RunKeyEffect(static_cast<const CKeyEffect&>(*effect));
        return 1;
    }
    // A Test run has chosen its monitor with its overlay.
    if (n != kTestSlotNumber || !m_bTestOpen)
        ChooseArea();
    m_pDrawer = m_Host.StartDrawer(*effect, m_Area);
    if (!m_pDrawer) {
        EndEffect();
        return 0;
    }
    m_Host.HookMouse();
    m_Latch = CButtonLatch();
    if (!m_pDrawer->Begin()) {
        // Over at once: nothing to route the mouse to.
        m_Host.UnhookMouse();
        EndEffect();
        return 1;
    }
    m_bEffectRunning = true;
    if (NeedsConfinement(m_Host.Monitors(), m_Area)) {
        m_Host.ConfinePointer(&m_Area);
        m_bConfined = true;
    }
    return 1;
}

bool CEffectExecution::ShortcutHas(int code) const
{
    if (m_nRunningSlot == m_nMatchedSlot && m_nRunningSlot >= 1 && m_nRunningSlot <= kShortcutSlots)
        return HasKeyCode(m_Slots.GetSlotShortcut(m_nRunningSlot), code);
    return code == kCtrl ? m_Matched.bCtrl : code == kShift ? m_Matched.bShift : m_Matched.bAlt;
}

void CEffectExecution::RunKeyEffect(const CKeyEffect& effect)
{
    m_Host.UnhookKeyboard();
    SKeyPrefix prefix;
    prefix.bCtrl = ShortcutHas(kCtrl);
    prefix.bShift = ShortcutHas(kShift);
    prefix.bAlt = ShortcutHas(kAlt);
    bool withPrefix = m_bLocal && !m_bMinimizedSinceKey;
    std::vector<int> codes = BuildKeySequence(withPrefix ? &prefix : nullptr, effect.GetEvents());
    m_bMinimizedSinceKey = false;
    if (!codes.empty())
        m_Host.PostKeyMessages(codes);
    m_Host.HookKeyboard();
    EndEffect();
}

void CEffectExecution::ReleasePointer()
{
    if (!m_bConfined)
        return;
    m_bConfined = false;
    m_Host.ConfinePointer(nullptr);
}

void CEffectExecution::EndEffect()
{
    if (m_bTestOpen) {
        m_Host.CloseTestOverlay();
        m_bTestOpen = false;
    }
    if (m_nRunningSlot != -1 || m_pDrawer) {
        // A drawer still running is ended first, so nothing of it stays on the screen.
        if (m_bEffectRunning) {
            m_Host.UnhookMouse();
            ReleasePointer();
            m_bEffectRunning = false;
            m_pDrawer->End();
        }
        m_pDrawer.reset();
        m_nRunningSlot = -1;
        m_nRunningType = -1;
    }
    Publish();
}

void CEffectExecution::StopEffect()
{
    if (!m_bEffectRunning)
        return;
    m_Host.UnhookMouse();
    ReleasePointer();
    m_bEffectRunning = false;
    m_pDrawer->End();
    m_Host.RestoreForeground();
    EndEffect();
}

int CEffectExecution::OnMouse(unsigned int msg, unsigned long long lParam)
{
    int swallow = m_Gate.OnMouse(msg);
    OnMousePosted(msg, lParam);
    return swallow;
}

void CEffectExecution::OnMousePosted(unsigned int msg, unsigned long long lParam)
{
    if (!m_bEffectRunning)
        return;
    // The pointer is held on the effect's monitor; a report from before that took hold
    // still draws on it.
    SPoint p = ClampToRect(UnpackHookPoint(lParam), m_Area);
    switch (m_Latch.Filter(ClassifyMouseMessage(msg))) {
    case MOUSE_MOVE: {
        // A mouse reporting a thousand times a second outruns a drawer that takes a few
        // milliseconds a move: the drawing would trail ever further behind the hand. Only the
        // newest of the waiting moves is drawn; clicks are never skipped.
        const IEffectDrawer* drawer = m_pDrawer.get();
        bool overtaken = m_Host.IsLaterMoveQueued();
        // A message run while looking may have ended or replaced the effect.
        if (!overtaken && m_bEffectRunning && m_pDrawer.get() == drawer)
            m_pDrawer->MouseMove(p);
        break;
    }
    case MOUSE_LBUTTON_DOWN:
        m_pDrawer->LButtonDown(p);
        break;
    case MOUSE_LBUTTON_UP:
        m_pDrawer->LButtonUp(p);
        break;
    case MOUSE_RBUTTON_DOWN:
        m_pDrawer->RButtonDown(p);
        break;
    case MOUSE_RBUTTON_UP:
        StopEffect();
        break;
    case MOUSE_IGNORED:
        break;
    }
}

int CEffectExecution::RunTest()
{
    StopEffect();
    EndEffect();
    m_bTestOpen = true;
    ChooseArea();
    m_Host.OpenTestOverlay(m_Area);
    return RunEffect(kTestSlotNumber, 1);
}

void CEffectExecution::OnMainDeactivated(bool overlayEnabled)
{
    if (m_Host.IsMainWindowMinimized() && m_bEffectRunning && !overlayEnabled)
        StopEffect();
}

void CEffectExecution::OnSoundEnded()
{
    if (m_bEffectRunning && m_nRunningType == EFFECT_SOUND)
        StopEffect();
}

void CEffectExecution::EndOnSystemChange()
{
    StopEffect();
    EndEffect();
}

#include "effect_execution.h"

namespace {

const int kCtrl = 17, kShift = 16, kAlt = 18, kEsc = 27;

bool HasCode(const KeyCodeArray& codes, int code)
{
    for (int i = 0; i < codes.nCount; ++i)
        if (codes.nCodes[i] == code)
            return true;
    return false;
}

} // namespace

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

int CEffectExecution::OnKey(int code, bool up)
{
    if (m_bTestOpen && code != kEsc) {
        m_Held = SHeldKeys();
        return 1;
    }
    if (!m_Host.IsMainWindowMinimized() && !m_bTestOpen)
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
        if (!up && m_bEffectRunning) {
            StopEffect();
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
    m_Held.bCtrl = m_Host.IsKeyDown(kCtrl);
    m_Held.bShift = m_Host.IsKeyDown(kShift);
    m_Held.bAlt = m_Host.IsKeyDown(kAlt);
    if (!MatchShortcut())
        return 0;
    m_Held = SHeldKeys();
    return 1;
}

int CEffectExecution::MatchShortcut()
{
    if (!m_bInitialized || !m_Host.IsKeyPlaybackIdle())
        return 0;
    for (int slot = 1; slot <= kShortcutSlots; ++slot) {
        const KeyCodeArray& shortcut = m_Slots.GetSlotShortcut(slot);
        if (!ShortcutMatches(shortcut, m_Held))
            continue;
        // Recorded first: a Key effect's Begin reads them.
        m_nMatchedSlot = slot;
        m_Matched.bCtrl = HasCode(shortcut, kCtrl);
        m_Matched.bShift = HasCode(shortcut, kShift);
        m_Matched.bAlt = HasCode(shortcut, kAlt);
        RunEffect(slot, 1);
        return 1;
    }
    return 0;
}

int CEffectExecution::RunEffect(int n, int local)
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
    m_pDrawer = m_Host.StartDrawer(*effect);
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
    return 1;
}

bool CEffectExecution::ShortcutHas(int code) const
{
    if (m_nRunningSlot == m_nMatchedSlot && m_nRunningSlot >= 1 && m_nRunningSlot <= kShortcutSlots)
        return HasCode(m_Slots.GetSlotShortcut(m_nRunningSlot), code);
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
            m_bEffectRunning = false;
            m_pDrawer->End();
        }
        m_pDrawer.reset();
        m_nRunningSlot = -1;
        m_nRunningType = -1;
    }
}

void CEffectExecution::StopEffect()
{
    if (!m_bEffectRunning)
        return;
    m_Host.UnhookMouse();
    m_bEffectRunning = false;
    m_pDrawer->End();
    m_Host.RestoreForeground();
    EndEffect();
}

int CEffectExecution::OnMouse(unsigned int msg, unsigned long long lParam)
{
    if (!m_bEffectRunning)
        return 0;
    SPoint p = UnpackHookPoint(lParam);
    switch (m_Latch.Filter(ClassifyMouseMessage(msg))) {
    case MOUSE_MOVE:
        m_pDrawer->MouseMove(p);
        break;
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
    return 1;
}

int CEffectExecution::RunTest()
{
    StopEffect();
    EndEffect();
    m_bTestOpen = true;
    m_Host.OpenTestOverlay();
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

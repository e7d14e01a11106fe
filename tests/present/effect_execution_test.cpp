#include "effect_execution.h"
#include "core/key_playback.h"
#include "core/tapline_messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <thread>

namespace {

struct SLog {
    std::vector<std::string> calls;
    bool Has(const std::string& call) const
    {
        for (const std::string& c : calls)
            if (c == call)
                return true;
        return false;
    }
    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& c : calls)
            n += c.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

class CFakeDrawer : public IEffectDrawer {
public:
    CFakeDrawer(SLog& log, bool keeps) : m_Log(log), m_bKeeps(keeps) {}
    ~CFakeDrawer() override { m_Log.calls.push_back("delete"); }
    bool Begin() override { return Note("Begin"), m_bKeeps; }
    void End() override { Note("End"); }
    void LButtonDown(SPoint p) override { Note("LDown", p); }
    void LButtonUp(SPoint p) override { Note("LUp", p); }
    void RButtonDown(SPoint p) override { Note("RDown", p); }
    void MouseMove(SPoint p) override { Note("Move", p); }

private:
    void Note(const char* what, SPoint p = {-1, -1})
    {
        m_Log.calls.push_back(p.x < 0 ? what
                                      : what + std::string(" ") + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    SLog& m_Log;
    bool m_bKeeps;
};

class CFakeHost : public IEffectHost {
public:
    bool bMinimized = true;
    bool bPlaybackIdle = true;
    bool bLaterMove = false;
    int nBits = 32;
    std::set<int> down;
    std::vector<std::vector<int>> played;
    SLog log;
    std::vector<SMonitor> monitors = {{{0, 0, 1920, 1080}, true}};
    SPoint pointer = {100, 100};
    std::vector<SRect> drawerAreas;
    std::vector<SRect> overlayAreas;
    std::vector<std::string> confined; // "l,t,r,b" or "free"
    std::function<void()> onPump;
    std::function<void()> onLookAhead; // a message sent from elsewhere, run while looking

    bool IsMainWindowMinimized() const override { return bMinimized; }
    bool IsKeyDown(int code) const override { return down.count(code) != 0; }
    bool IsKeyPlaybackIdle() const override { return bPlaybackIdle; }
    int DisplayBitsPerPixel() const override { return nBits; }
    void ShowDepthMessage() override { log.calls.push_back("depth message"); }
    bool IsLaterMoveQueued() const override
    {
        if (onLookAhead)
            onLookAhead();
        return bLaterMove;
    }
    void PumpMessages() override
    {
        log.calls.push_back("pump");
        if (onPump)
            onPump();
    }
    std::vector<SMonitor> Monitors() const override { return monitors; }
    SPoint PointerPosition() const override { return pointer; }
    void ConfinePointer(const SRect* area) override
    {
        confined.push_back(area ? std::to_string(area->left) + "," + std::to_string(area->top) + "," +
                                      std::to_string(area->right) + "," + std::to_string(area->bottom)
                                : "free");
    }
    void HookMouse() override { log.calls.push_back("HookMouse"); }
    void UnhookMouse() override { log.calls.push_back("UnhookMouse"); }
    void HookKeyboard() override { log.calls.push_back("HookKeyboard"); }
    void UnhookKeyboard() override { log.calls.push_back("UnhookKeyboard"); }
    bool PostKeyMessages(const std::vector<int>& codes) override
    {
        played.push_back(codes);
        return true;
    }
    std::unique_ptr<IEffectDrawer> StartDrawer(const CEffect& effect, const SRect& area) override
    {
        drawerAreas.push_back(area);
        log.calls.push_back("Start " + std::to_string(effect.GetType()));
        return std::unique_ptr<IEffectDrawer>(new CFakeDrawer(log, effect.GetType() != EFFECT_CLEAR_SCREEN));
    }
    void RestoreForeground() override {}
    void OpenTestOverlay(const SRect& area) override
    {
        overlayAreas.push_back(area);
        log.calls.push_back("open overlay");
    }
    void CloseTestOverlay() override { log.calls.push_back("close overlay"); }
};

class CFakeSlots : public IEffectSlots {
public:
    std::unique_ptr<CEffect> effects[7];
    KeyCodeArray shortcuts[7];
    const CEffect* GetSlotEffect(int slot) const override { return effects[slot].get(); }
    const KeyCodeArray& GetSlotShortcut(int slot) const override { return shortcuts[slot]; }
    void Set(int slot, int type, std::initializer_list<int> keys)
    {
        effects[slot] = CreateEffect(type, SEffectContext());
        shortcuts[slot] = KeyCodeArray();
        for (int k : keys)
            shortcuts[slot].Append(k);
    }
};

const int kCtrl = 17, kShift = 16, kAlt = 18, kEsc = 27, kP = 'P', kF6 = 0x75, kPageUp = 33;

class EffectExecution : public ::testing::Test {
protected:
    EffectExecution() : exec(host, slots)
    {
        exec.SetInitialized();
        exec.SetLinkOpen(true);
    }

    // Presses the modifiers (held for GetAsyncKeyState too) and then key; the key's answer.
    int Press(std::initializer_list<int> modifiers, int key)
    {
        for (int m : modifiers) {
            host.down.insert(m);
            exec.OnKey(m, false);
        }
        int swallowed = exec.OnKey(key, false);
        exec.OnKey(key, true);
        for (int m : modifiers) {
            host.down.erase(m);
            exec.OnKey(m, true);
        }
        return swallowed;
    }
    int Mouse(unsigned msg, int x, int y) { return exec.OnMouse(msg, tapline::PackMousePoint(x, y)); }
    // A slot as the page changes it: the gate gets the new shortcuts published.
    void SetSlot(int slot, int type, std::initializer_list<int> keys)
    {
        slots.Set(slot, type, keys);
        exec.Publish();
    }

    CFakeHost host;
    CFakeSlots slots;
    CEffectExecution exec;
};

TEST_F(EffectExecution, ShortcutsMatchExactlyTheirKeys)
{
    SetSlot(2, EFFECT_FREE_LINE, {kCtrl, kShift, kP});
    SetSlot(4, EFFECT_ELLIPSE, {kF6});
    const struct {
        std::initializer_list<int> modifiers;
        int key;
        int slot; // -1: nothing runs and the key passes on
    } cases[] = {
        {{kCtrl, kShift}, kP, 2},
        {{kShift, kCtrl}, kP, 2},
        {{kCtrl}, kP, -1},
        {{kCtrl, kShift, kAlt}, kP, -1},
        {{}, kP, -1},
        {{}, kF6, 4},
        {{kCtrl}, kF6, -1},
        {{kCtrl, kShift}, kF6, -1},
    };
    for (const auto& c : cases) {
        exec.StopEffect();
        int swallowed = Press(c.modifiers, c.key);
        EXPECT_EQ(c.slot > 0, swallowed != 0) << "key " << c.key << " with " << c.modifiers.size() << " modifiers";
        EXPECT_EQ(c.slot, exec.GetRunningSlot()) << "key " << c.key << " with " << c.modifiers.size() << " modifiers";
    }
}

TEST_F(EffectExecution, NothingMatchesWhileRestoredPlayingOrStarting)
{
    SetSlot(1, EFFECT_FREE_LINE, {kF6});
    host.bMinimized = false;
    EXPECT_EQ(0, Press({}, kF6));
    host.bMinimized = true;
    host.bPlaybackIdle = false;
    EXPECT_EQ(0, Press({}, kF6));
    host.bPlaybackIdle = true;
    CEffectExecution fresh(host, slots);
    EXPECT_EQ(0, fresh.OnKey(kF6, false));
    EXPECT_EQ(1, Press({}, kF6));
    EXPECT_TRUE(exec.IsEffectRunning());
}

TEST_F(EffectExecution, EscEndsOnlyWhileMinimizedOrTesting)
{
    SetSlot(1, EFFECT_SPOT_LIGHT, {kF6});
    ASSERT_EQ(1, Press({}, kF6));
    // Restored (the window came up without ending it): Esc belongs to the active program.
    host.bMinimized = false;
    EXPECT_EQ(0, exec.OnKey(kEsc, false));
    EXPECT_TRUE(exec.IsEffectRunning());
    host.bMinimized = true;
    EXPECT_EQ(0, exec.OnKey(kEsc, true));
    EXPECT_TRUE(exec.IsEffectRunning());
    EXPECT_EQ(1, exec.OnKey(kEsc, false));
    EXPECT_FALSE(exec.IsEffectRunning());
    EXPECT_EQ(-1, exec.GetRunningSlot());
    EXPECT_EQ(0, exec.OnKey(kEsc, false));

    // A test while restored: every other key is swallowed, Esc ends it and closes the overlay.
    host.bMinimized = false;
    SetSlot(kTestSlotNumber, EFFECT_FREE_LINE, {});
    ASSERT_EQ(1, exec.RunTest());
    EXPECT_EQ(1, exec.OnKey('A', false));
    EXPECT_EQ(1, exec.OnKey(kCtrl, false));
    EXPECT_FALSE(exec.GetHeldKeys().bCtrl);
    EXPECT_EQ(1, exec.OnKey(kEsc, false));
    EXPECT_FALSE(exec.IsTestOpen());
    EXPECT_TRUE(host.log.Has("close overlay"));
    EXPECT_EQ(0, exec.OnKey('A', false));
}

TEST_F(EffectExecution, RunEffectRules)
{
    SetSlot(1, EFFECT_FREE_LINE, {});
    SetSlot(3, EFFECT_ELLIPSE, {});
    SetSlot(kTestSlotNumber, EFFECT_RECT, {});
    // Restored: only the test slot runs.
    host.bMinimized = false;
    EXPECT_EQ(0, exec.RunEffect(3, 0));
    EXPECT_EQ(-1, exec.GetRunningSlot());
    EXPECT_EQ(1, exec.RunEffect(kTestSlotNumber, 1));
    exec.StopEffect();
    host.bMinimized = true;
    // Out of range counts as slot 1; an empty slot runs nothing.
    EXPECT_EQ(1, exec.RunEffect(9, 0));
    EXPECT_EQ(1, exec.GetRunningSlot());
    EXPECT_EQ(0, exec.RunEffect(2, 0));
    EXPECT_EQ(-1, exec.GetRunningSlot());
    EXPECT_FALSE(exec.IsEffectRunning());
    // The previous effect ends, and the link's messages are pumped, before the next starts.
    ASSERT_EQ(1, exec.RunEffect(1, 1));
    host.log.calls.clear();
    ASSERT_EQ(1, exec.RunEffect(3, 1));
    std::vector<std::string> expected = {"UnhookMouse", "End", "delete", "pump", "Start 2", "HookMouse", "Begin"};
    EXPECT_EQ(expected, host.log.calls);
    // Below 256 colours: the message, and nothing runs; no display: nothing either.
    host.nBits = 4;
    EXPECT_EQ(0, exec.RunEffect(1, 1));
    EXPECT_EQ(1, host.log.Count("depth message"));
    EXPECT_FALSE(exec.IsEffectRunning());
    host.nBits = 0;
    EXPECT_EQ(0, exec.RunEffect(1, 1));
    EXPECT_EQ(1, host.log.Count("depth message"));
}

TEST_F(EffectExecution, ProjectorRequestsNeedTheLinkOpen)
{
    SetSlot(1, EFFECT_FREE_LINE, {kCtrl, kP});
    exec.SetLinkOpen(false);
    EXPECT_EQ(0, exec.RunEffect(1, 0));
    EXPECT_EQ(0, host.log.Count("Start"));
    EXPECT_EQ(1, Press({kCtrl}, kP)); // the user's shortcut still runs
    EXPECT_TRUE(exec.IsEffectRunning());
    exec.SetLinkOpen(true);
    EXPECT_EQ(1, exec.RunEffect(1, 0));
    EXPECT_EQ(2, host.log.Count("Start"));
}

TEST_F(EffectExecution, DeactivatedMainWindowEndsTheEffectWhenMinimized)
{
    const struct {
        bool bMinimized;
        bool bOverlayEnabled;
        bool bStillRunning;
    } cases[] = {
        {true, false, false},
        {false, false, true},
        {true, true, true},
    };
    SetSlot(kTestSlotNumber, EFFECT_FREE_LINE, {});
    for (const auto& c : cases) {
        host.bMinimized = true;
        ASSERT_EQ(1, exec.RunEffect(kTestSlotNumber, 1));
        host.bMinimized = c.bMinimized;
        host.log.calls.clear();
        exec.OnMainDeactivated(c.bOverlayEnabled);
        EXPECT_EQ(c.bStillRunning, exec.IsEffectRunning()) << c.bMinimized << c.bOverlayEnabled;
        // Ended as by Esc: the drawer puts the screen back before it goes.
        EXPECT_EQ(c.bStillRunning ? 0 : 1, host.log.Count("End"));
        exec.StopEffect();
    }
}

TEST_F(EffectExecution, EffectsOverAtOnceLeaveNothingRunning)
{
    SetSlot(1, EFFECT_CLEAR_SCREEN, {});
    host.log.calls.clear();
    EXPECT_EQ(1, exec.RunEffect(1, 1));
    EXPECT_FALSE(exec.IsEffectRunning());
    EXPECT_EQ(-1, exec.GetRunningSlot());
    std::vector<std::string> expected = {"Start 9", "HookMouse", "Begin", "UnhookMouse", "delete"};
    EXPECT_EQ(expected, host.log.calls);
    EXPECT_EQ(0, Mouse(0x200, 5, 5));
}

TEST_F(EffectExecution, MouseGoesToTheDrawerAndIsSwallowed)
{
    EXPECT_EQ(0, Mouse(0x200, 10, 10));
    SetSlot(1, EFFECT_FREE_LINE, {});
    ASSERT_EQ(1, exec.RunEffect(1, 1));
    host.log.calls.clear();
    // Moves reach the drawer but stay on the desktop: taken, the pointer would not move.
    EXPECT_EQ(0, Mouse(0x200, 300, 20)); // x from the high word, y from the low
    EXPECT_EQ(1, Mouse(0xA1, 301, 21));
    EXPECT_EQ(1, Mouse(0x201, 301, 21)); // the same press reported twice: dropped
    EXPECT_EQ(1, Mouse(0x201, 302, 22)); // the latch was cleared by the dropped one
    EXPECT_EQ(1, Mouse(0x202, 303, 23));
    EXPECT_EQ(1, Mouse(0x201, 304, 24));
    EXPECT_EQ(1, Mouse(0x204, 305, 25));
    EXPECT_EQ(1, Mouse(0x020A, 0, 0));   // the wheel: swallowed, nothing drawn
    EXPECT_EQ(1, Mouse(0x205, 306, 26)); // right button up ends the effect
    std::vector<std::string> expected = {"Move 300,20",  "LDown 301,21", "LDown 302,22", "LUp 303,23", "LDown 304,24",
                                         "RDown 305,25", "UnhookMouse",  "End",          "delete"};
    EXPECT_EQ(expected, host.log.calls);
    EXPECT_EQ(0, Mouse(0x200, 1, 1));
}

TEST_F(EffectExecution, AMoveWithANewerOneWaitingIsNotDrawnButClicksAlwaysAre)
{
    SetSlot(1, EFFECT_FREE_LINE, {});
    ASSERT_EQ(1, exec.RunEffect(1, 1));
    host.log.calls.clear();
    host.bLaterMove = true;
    EXPECT_EQ(0, Mouse(0x200, 10, 10)); // still passed on: the pointer itself must move
    Mouse(0x201, 11, 11);
    Mouse(0x202, 12, 12);
    host.bLaterMove = false;
    Mouse(0x200, 13, 13);
    std::vector<std::string> expected = {"LDown 11,11", "LUp 12,12", "Move 13,13"};
    EXPECT_EQ(expected, host.log.calls);
}

TEST_F(EffectExecution, AMoveIsDroppedWhenTheEffectEndedWhileLookingAhead)
{
    SetSlot(1, EFFECT_FREE_LINE, {});
    ASSERT_EQ(1, exec.RunEffect(1, 1));
    host.onLookAhead = [this] {
        host.onLookAhead = nullptr;
        exec.StopEffect();
    };
    host.log.calls.clear();
    Mouse(0x200, 10, 10);
    std::vector<std::string> expected = {"UnhookMouse", "End", "delete"};
    EXPECT_EQ(expected, host.log.calls);
}

TEST(ButtonLatch, DropsTheSecondDownUntilAnUp)
{
    const struct {
        std::vector<EMouseAction> in;
        std::vector<EMouseAction> out;
    } cases[] = {
        {{MOUSE_LBUTTON_DOWN, MOUSE_LBUTTON_DOWN, MOUSE_LBUTTON_DOWN},
         {MOUSE_LBUTTON_DOWN, MOUSE_IGNORED, MOUSE_LBUTTON_DOWN}},
        {{MOUSE_LBUTTON_DOWN, MOUSE_LBUTTON_UP, MOUSE_LBUTTON_DOWN},
         {MOUSE_LBUTTON_DOWN, MOUSE_LBUTTON_UP, MOUSE_LBUTTON_DOWN}},
        {{MOUSE_LBUTTON_DOWN, MOUSE_MOVE, MOUSE_RBUTTON_DOWN, MOUSE_LBUTTON_DOWN},
         {MOUSE_LBUTTON_DOWN, MOUSE_MOVE, MOUSE_RBUTTON_DOWN, MOUSE_IGNORED}},
        {{MOUSE_LBUTTON_DOWN, MOUSE_RBUTTON_UP, MOUSE_LBUTTON_DOWN},
         {MOUSE_LBUTTON_DOWN, MOUSE_RBUTTON_UP, MOUSE_LBUTTON_DOWN}},
    };
    for (const auto& c : cases) {
        CButtonLatch latch;
        std::vector<EMouseAction> out;
        for (EMouseAction a : c.in)
            out.push_back(latch.Filter(a));
        EXPECT_EQ(c.out, out);
    }
    EXPECT_EQ(MOUSE_LBUTTON_DOWN, ClassifyMouseMessage(0xA1));
    EXPECT_EQ(MOUSE_RBUTTON_UP, ClassifyMouseMessage(0xA5));
    EXPECT_EQ(MOUSE_IGNORED, ClassifyMouseMessage(0x203));
    SPoint p = UnpackHookPoint(tapline::PackMousePoint(-5, 1079));
    EXPECT_EQ(-5, p.x);
    EXPECT_EQ(1079, p.y);
}

// The key events a playback of codes gives, as "33v" (down) and "33^" (up).
std::vector<std::string> Played(const std::vector<int>& codes)
{
    std::vector<std::string> events;
    tapline::SPlaybackState state = {};
    uint32_t position = 0;
    tapline::SKeyEvent event;
    while (tapline::NextKeyEvent(state, codes.data(), static_cast<uint32_t>(codes.size()), position, event))
        events.push_back(std::to_string(event.nCode) + (event.bDown ? "v" : "^"));
    return events;
}

TEST_F(EffectExecution, KeyEffectReleasesTheShortcutOnlyWhenNotJustMinimized)
{
    SetSlot(1, EFFECT_KEY, {kCtrl, kP}); // a fresh Key effect plays Page Up
    exec.OnMinimized();
    ASSERT_EQ(1, Press({kCtrl}, kP));
    ASSERT_EQ(1u, host.played.size());
    EXPECT_EQ((std::vector<std::string>{"33v", "33^"}), Played(host.played[0]));
    ASSERT_EQ(1, Press({kCtrl}, kP));
    EXPECT_EQ((std::vector<std::string>{"17v", "17^", "33v", "33^"}), Played(host.played[1]));
    // At the projector's request only the events.
    EXPECT_EQ(1, exec.RunEffect(1, 0));
    EXPECT_EQ((std::vector<int>{kPageUp}), host.played[2]);
    // The keyboard hook is back and nothing is left running.
    EXPECT_EQ(3, host.log.Count("UnhookKeyboard"));
    EXPECT_EQ(3, host.log.Count("HookKeyboard"));
    EXPECT_EQ(-1, exec.GetRunningSlot());
    EXPECT_FALSE(exec.IsEffectRunning());
}

TEST(KeySequence, PairsForEveryModifierAndTheCap)
{
    KeyCodeArray a, b;
    a.Append(kShift);
    a.Append('A');
    b.Append(kPageUp);
    SKeyPrefix all;
    all.bCtrl = all.bShift = all.bAlt = true;
    EXPECT_EQ((std::vector<int>{17, 17, 16, 16, 18, 18, 16, 'A', 33}), BuildKeySequence(&all, {a, b}));
    EXPECT_EQ((std::vector<int>{16, 'A', 33}), BuildKeySequence(nullptr, {a, b}));
    KeyCodeArray full;
    for (int i = 0; i < KeyCodeArray::kMaxCodes; ++i)
        full.Append(65);
    std::vector<int> capped = BuildKeySequence(&all, {full, b});
    EXPECT_EQ(static_cast<size_t>(kMaxKeySequence), capped.size());
    EXPECT_EQ(17, capped[0]);
    EXPECT_EQ(65, capped.back());
}

const SRect kPrimary{0, 0, 1280, 1024};
const SRect kRight{1280, 0, 2304, 768};
const SRect kLeft{-1024, -100, 0, 668};

TEST_F(EffectExecution, EffectsRunOnTheMonitorChosenAtTheirStart)
{
    host.monitors = {{kLeft, false}, {kPrimary, true}, {kRight, false}};
    SetSlot(1, EFFECT_SPOT_LIGHT, {kF6});
    const struct {
        EEffectMonitor choice;
        SPoint pointer;
        SRect area;
        const char* confined;
    } cases[] = {
        {EFFECT_MONITOR_POINTER, {2000, 300}, kRight, "1280,0,2304,768"},
        {EFFECT_MONITOR_POINTER, {-5, -100}, kLeft, "-1024,-100,0,668"},
        {EFFECT_MONITOR_POINTER, {600, 900}, kPrimary, "0,0,1280,1024"},
        {EFFECT_MONITOR_PRIMARY, {2000, 300}, kPrimary, "0,0,1280,1024"},
    };
    for (const auto& c : cases) {
        exec.SetEffectMonitor(c.choice);
        host.pointer = c.pointer;
        host.drawerAreas.clear();
        host.confined.clear();
        ASSERT_EQ(1, Press({}, kF6));
        ASSERT_EQ(1u, host.drawerAreas.size());
        EXPECT_EQ(c.area, host.drawerAreas[0]) << c.pointer.x << "," << c.pointer.y;
        EXPECT_EQ(c.area, exec.GetArea());
        EXPECT_EQ(std::vector<std::string>{c.confined}, host.confined);
        // The pointer moves on, the effect stays where it began.
        host.pointer = {10, 10};
        exec.StopEffect();
        EXPECT_EQ((std::vector<std::string>{c.confined, "free"}), host.confined);
    }
}

TEST_F(EffectExecution, PointsReachTheDrawerOnItsMonitor)
{
    host.monitors = {{kPrimary, true}, {kRight, false}};
    host.pointer = {2000, 300};
    SetSlot(1, EFFECT_FREE_LINE, {});
    ASSERT_EQ(1, exec.RunEffect(1, 1));
    host.log.calls.clear();
    Mouse(0x200, 2100, 400);
    Mouse(0x200, 100, 900); // reported before the confinement took hold
    Mouse(0x201, 2400, -3);
    std::vector<std::string> expected = {"Move 2100,400", "Move 1280,767", "LDown 2303,0"};
    EXPECT_EQ(expected, host.log.calls);
}

TEST_F(EffectExecution, OneMonitorNeedsNoConfinement)
{
    SetSlot(1, EFFECT_BAR, {});
    ASSERT_EQ(1, exec.RunEffect(1, 1));
    EXPECT_EQ((SRect{0, 0, 1920, 1080}), host.drawerAreas.back());
    exec.StopEffect();
    EXPECT_TRUE(host.confined.empty());
}

TEST_F(EffectExecution, TestOverlayCoversThePointersMonitor)
{
    host.monitors = {{kPrimary, true}, {kRight, false}};
    host.pointer = {1500, 100};
    host.bMinimized = false;
    SetSlot(kTestSlotNumber, EFFECT_SPOT_LIGHT, {});
    ASSERT_EQ(1, exec.RunTest());
    EXPECT_EQ(std::vector<SRect>{kRight}, host.overlayAreas);
    EXPECT_EQ(std::vector<SRect>{kRight}, host.drawerAreas);
    EXPECT_EQ(std::vector<std::string>{"1280,0,2304,768"}, host.confined);
}

TEST_F(EffectExecution, AStartDuringAReplacementIsQueuedNotNested)
{
    SetSlot(1, EFFECT_FREE_LINE, {});
    SetSlot(2, EFFECT_ELLIPSE, {});
    SetSlot(3, EFFECT_RECT, {});
    ASSERT_EQ(1, exec.RunEffect(1, 1));
    // While slot 1 is replaced by slot 2 the pending messages bring a request for slot 3.
    bool asked = false;
    host.onPump = [&] {
        if (!asked) {
            asked = true;
            EXPECT_EQ(1, exec.RunEffect(3, 0));
        }
    };
    host.log.calls.clear();
    ASSERT_EQ(1, exec.RunEffect(2, 1));
    std::vector<std::string> expected = {"UnhookMouse", "End", "delete", "pump", "Start 2", "HookMouse", "Begin",
                                         "UnhookMouse", "End", "delete", "pump", "Start 3", "HookMouse", "Begin"};
    EXPECT_EQ(expected, host.log.calls);
    EXPECT_EQ(3, exec.GetRunningSlot());
    // Every drawer begun was ended before the next one began.
    int open = 0;
    for (const std::string& call : host.log.calls) {
        open += call == "Begin" ? 1 : call == "End" ? -1 : 0;
        EXPECT_LE(open, 1);
    }
}

TEST_F(EffectExecution, DisplayChangeOrLockEndsEverything)
{
    host.monitors = {{kPrimary, true}, {kRight, false}};
    host.pointer = {2000, 300};
    host.bMinimized = false;
    SetSlot(kTestSlotNumber, EFFECT_SPOT_LIGHT, {});
    ASSERT_EQ(1, exec.RunTest());
    host.log.calls.clear();
    exec.EndOnSystemChange();
    EXPECT_FALSE(exec.IsEffectRunning());
    EXPECT_FALSE(exec.IsTestOpen());
    EXPECT_EQ(-1, exec.GetRunningSlot());
    EXPECT_TRUE(host.log.Has("End"));
    EXPECT_TRUE(host.log.Has("close overlay"));
    EXPECT_EQ("free", host.confined.back());
    // Mouse input is the desktop's again.
    EXPECT_EQ(0, Mouse(0x201, 5, 5));
}

// The hook thread decides from what the main window published; the main window then does
// the work. Today's shortcut table, run that way.
TEST_F(EffectExecution, TheHookThreadDecidesFromThePublishedTable)
{
    SetSlot(2, EFFECT_FREE_LINE, {kCtrl, kShift, kP});
    SetSlot(4, EFFECT_ELLIPSE, {kF6});
    const struct {
        std::vector<int> held;
        int key;
        int slot; // -1: nothing is taken
    } cases[] = {
        {{kCtrl, kShift}, kP, 2}, {{kCtrl}, kP, -1}, {{kCtrl, kShift, kAlt}, kP, -1}, {{}, kF6, 4}, {{kCtrl}, kF6, -1},
    };
    for (const auto& c : cases) {
        exec.StopEffect();
        host.down = std::set<int>(c.held.begin(), c.held.end());
        int swallowed = -1;
        std::thread hook([&] {
            for (int m : c.held)
                exec.Gate().OnKey(m, false);
            swallowed = exec.Gate().OnKey(c.key, false);
        });
        hook.join();
        // Nothing ran on the hook thread: the work waits for the main window.
        EXPECT_FALSE(exec.IsEffectRunning());
        EXPECT_EQ(c.slot > 0 ? 1 : 0, swallowed) << "key " << c.key;
        exec.RunGateActions();
        EXPECT_EQ(c.slot, exec.GetRunningSlot()) << "key " << c.key;
        for (int m : c.held)
            exec.Gate().OnKey(m, true);
    }
    // Running, the gate takes clicks and the wheel but never moves; stopped, nothing.
    ASSERT_EQ(1, exec.RunEffect(4, 1));
    int move = 0, click = 0, wheel = 0;
    std::thread hook([&] {
        move = exec.Gate().OnMouse(0x200);
        click = exec.Gate().OnMouse(0x201);
        wheel = exec.Gate().OnMouse(0x20A);
    });
    hook.join();
    EXPECT_EQ(0, move);
    EXPECT_EQ(1, click);
    EXPECT_EQ(1, wheel);
    exec.StopEffect();
    EXPECT_EQ(0, exec.Gate().OnMouse(0x201));
}

TEST_F(EffectExecution, TheInstallerKeyIsTakenOnlyWhileTheVersionBoxIsOpen)
{
    int opened = 0;
    exec.SetInstallerKeyHandler([&] { ++opened; });
    host.bMinimized = false;
    host.down = {kCtrl};
    EXPECT_EQ(0, exec.OnKey('I', false));
    exec.WatchInstallerKey(true);
    EXPECT_EQ(0, exec.OnKey('I', true));
    EXPECT_EQ(1, exec.OnKey('I', false));
    EXPECT_EQ(1, opened);
    host.down = {kCtrl, kShift};
    EXPECT_EQ(0, exec.OnKey('I', false));
    exec.WatchInstallerKey(false);
    host.down = {kCtrl};
    EXPECT_EQ(0, exec.OnKey('I', false));
    EXPECT_EQ(1, opened);
}

} // namespace

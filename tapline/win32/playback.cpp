// Key playback through a journal playback hook, and the key-text converter.
//
// Some systems accept the journal hook and never call it (Wine), others refuse it (recent
// Windows). Either way the same events are then injected with SendInput, so the caller sees
// one behaviour: PostKeyMessages starts a playback, the post-key event is reset while it
// runs and signalled once it is over.
#include "tapline.h"
#include "tapline_internal.h"

#include <vector>

#include "../core/key_converter.h"
#include "../core/playback_session.h"

using tapline::SKeyEvent;

namespace {

// How long an installed journal hook may stay uncalled before it is taken as unused; where
// it works the system asks for the first event at the next message retrieval. The same
// timer then looks after a hook that played and fell silent.
constexpr UINT kJournalWatchdogMs = 250;
// Injected input sits in the receiving thread's queue until that thread reads it; the
// playback counts as running until then, so that our own keyboard hook does not take the
// played keys for the user's.
constexpr UINT kInjectSettleMs = 100;

enum { kResultCannotPlay = 6 };

HANDLE s_hPostKeyEvent;
bool s_bJournalSilent; // the journal hook was installed here once and never called
UINT_PTR s_nWatchdogTimer;
UINT_PTR s_nSettleTimer;
HHOOK s_hCancelWatch; // sees the system's WM_CANCELJOURNAL on the playing thread
HHOOK s_hJournalHook;
tapline::SPlaybackBlock s_block;

void StopTimer(UINT_PTR& timer)
{
    if (timer) {
        KillTimer(nullptr, timer);
        timer = 0;
    }
}

void RemoveJournalHook()
{
    HHOOK hHook = s_hJournalHook;
    s_hJournalHook = nullptr;
    if (hHook)
        UnhookWindowsHookEx(hHook);
}

void RemoveCancelWatch()
{
    if (s_hCancelWatch) {
        UnhookWindowsHookEx(s_hCancelWatch);
        s_hCancelWatch = nullptr;
    }
}

class CWin32PlaybackHost : public tapline::IPlaybackHost {
public:
    void SetIdle(bool idle) override
    {
        if (idle)
            SetEvent(s_hPostKeyEvent);
        else
            ResetEvent(s_hPostKeyEvent);
    }
    void RemoveHook() override
    {
        RemoveJournalHook();
        RemoveCancelWatch();
        StopTimer(s_nWatchdogTimer);
        StopTimer(s_nSettleTimer);
    }
};

CWin32PlaybackHost s_host;
tapline::CPlaybackSession s_session(s_block, s_host);

bool IsExtendedKey(int code)
{
    switch (code) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_SNAPSHOT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
        return true;
    default:
        return false;
    }
}

INPUT ToInput(const SKeyEvent& event)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(event.nCode & 0xFF);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(event.nCode & 0xFF, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (event.bDown ? 0 : KEYEVENTF_KEYUP) | (IsExtendedKey(event.nCode) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void CALLBACK SettleTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    s_session.End();
}

// Plays what is left of the sequence in one SendInput call, so that the user's typing
// cannot fall between its events.
bool InjectRest()
{
    tapline::CKeyPlayback& playback = s_session.Playback();
    std::vector<INPUT> inputs;
    for (;;) {
        inputs.push_back(ToInput(playback.Current()));
        if (playback.Skip())
            break;
    }
    UINT nSent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (nSent == 0)
        return false;
    s_nSettleTimer = SetTimer(nullptr, 0, kInjectSettleMs, SettleTimerProc);
    if (!s_nSettleTimer)
        s_session.End();
    return true;
}

void CALLBACK WatchdogTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_session.JournalEverCalled()) {
        s_session.EndIfJournalGone(GetTickCount());
        return;
    }
    StopTimer(s_nWatchdogTimer);
    RemoveJournalHook();
    RemoveCancelWatch();
    s_bJournalSilent = true;
    if (!InjectRest())
        s_session.End();
}

// Ctrl+Esc or Ctrl+Alt+Del make the system drop the journal hook without calling it, and
// post WM_CANCELJOURNAL to the thread that installed it, with no window to dispatch it to.
LRESULT CALLBACK CancelWatchProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const MSG* pMessage = reinterpret_cast<const MSG*>(lParam);
        if (pMessage->message == WM_CANCELJOURNAL && pMessage->hwnd == nullptr) {
            s_hJournalHook = nullptr; // the system has removed it already
            s_session.Cancel();
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK JournalPlaybackProc(int code, WPARAM wParam, LPARAM lParam)
{
    s_session.JournalCalled(GetTickCount());
    tapline::CKeyPlayback& playback = s_session.Playback();
    const SKeyEvent& event = playback.Current();
    switch (code) {
    case HC_GETNEXT: {
        EVENTMSG* pMessage = reinterpret_cast<EVENTMSG*>(lParam);
        if (event.bSystem)
            pMessage->message = event.bDown ? WM_SYSKEYDOWN : WM_SYSKEYUP;
        else
            pMessage->message = event.bDown ? WM_KEYDOWN : WM_KEYUP;
        pMessage->paramL = static_cast<UINT>(event.nCode);
        pMessage->paramH = MapVirtualKeyA(static_cast<UINT>(event.nCode), MAPVK_VK_TO_VSC);
        pMessage->time = GetTickCount();
        pMessage->hwnd = nullptr;
        return 0;
    }
    case HC_SKIP:
        if (playback.Skip())
            s_session.End();
        return 0;
    case HC_SYSMODALOFF:
        s_session.End();
        return CallNextHookEx(nullptr, code, wParam, lParam);
    default:
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
}

class CSystemKeyLayout : public tapline::CKeyLayout {
public:
    int KeyScan(char ch) const override
    {
        SHORT nScan = VkKeyScanA(ch);
        return nScan == -1 ? tapline::kScanNone : (nScan & 0xFFFF);
    }
};

} // namespace

bool PlaybackAttach()
{
    s_hPostKeyEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    return s_hPostKeyEvent != nullptr;
}

void PlaybackDetach(bool unloading)
{
    if (unloading && s_session.IsRunning())
        s_session.End();
    if (s_hPostKeyEvent) {
        CloseHandle(s_hPostKeyEvent);
        s_hPostKeyEvent = nullptr;
    }
}

TAPLINE_API int WINAPI PostKeyMessages(const int* codes, int count)
{
    // A journal hook the system dropped while its cancel message went astray would keep
    // the event reset, and every later playback refused, for good.
    s_session.EndIfJournalGone(GetTickCount());
    if (WaitForSingleObject(s_hPostKeyEvent, 0) != WAIT_OBJECT_0)
        return 0;
    // An empty sequence has nothing to play; a playback of it would hand out a stale event.
    if (count == 0)
        return 0;
    // More than the buffer holds would overrun it; cut short it could leave a modifier down.
    if (!s_session.Begin(codes, count))
        return kResultCannotPlay;

    if (!s_bJournalSilent) {
        HHOOK hHook = SetWindowsHookExA(WH_JOURNALPLAYBACK, JournalPlaybackProc, g_hTaplineModule, 0);
        if (hHook) {
            s_hJournalHook = hHook;
            s_session.JournalInstalled(GetTickCount());
            s_hCancelWatch = SetWindowsHookExA(WH_GETMESSAGE, CancelWatchProc, nullptr, GetCurrentThreadId());
            s_nWatchdogTimer = SetTimer(nullptr, 0, kJournalWatchdogMs, WatchdogTimerProc);
            if (s_nWatchdogTimer)
                return 0;
            RemoveJournalHook();
            RemoveCancelWatch();
        }
    }
    if (InjectRest())
        return 0;
    // Nothing runs, so the event goes back to signalled: left reset it would refuse every
    // later playback and hold back every shortcut.
    s_session.End();
    return kResultCannotPlay;
}

TAPLINE_API int WINAPI ConvertKeyCode(const char* text, int* codes, int* count)
{
    if (!count)
        return tapline::CONVERT_OUTPUT_FULL;
    static const CSystemKeyLayout s_layout;
    int nWritten = 0;
    int nResult = tapline::ConvertKeyText(text, codes, *count, nWritten, s_layout);
    *count = nWritten;
    s_block.nConverted = static_cast<uint32_t>(nWritten);
    return nResult;
}

TAPLINE_API HANDLE WINAPI GetPostKeyEventHandle()
{
    return s_hPostKeyEvent;
}

// The hook library in a real window system: run under Wine with a display, no window
// manager needed. Each case uses windows of its own and removes its hooks.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/key_playback.h"
#include "tapline.h"

namespace {

constexpr DWORD kTimeoutMs = 5000;
constexpr char kChildSwitch[] = "--tapline-child";
constexpr char kCancelChildSwitch[] = "--tapline-cancel-child";

struct SRecord {
    HWND hwnd;
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
    bool bPlaybackIdle; // post-key event signalled when the message arrived
};

std::vector<SRecord> g_records;
// The filter's answer, on the hook thread; 0 lets the input through.
std::function<LRESULT(UINT, WPARAM)> g_answer;

// What the filter was asked, on the hook thread, and whether a playback ran at that moment.
struct SAsked {
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
    bool bPlaybackIdle;
};
std::mutex g_askedLock;
std::vector<SAsked> g_asked;

int WINAPI TestFilter(void*, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool bIdle = WaitForSingleObject(GetPostKeyEventHandle(), 0) == WAIT_OBJECT_0;
    {
        std::lock_guard<std::mutex> hold(g_askedLock);
        g_asked.push_back({message, wParam, lParam, bIdle});
    }
    return g_answer ? static_cast<int>(g_answer(message, wParam)) : 0;
}

std::vector<SAsked> Asked(UINT message)
{
    std::lock_guard<std::mutex> hold(g_askedLock);
    std::vector<SAsked> out;
    for (const SAsked& a : g_asked)
        if (a.nMessage == message)
            out.push_back(a);
    return out;
}

bool IsKeyMessage(UINT m)
{
    return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TAPLINE_KEY || message == WM_TAPLINE_MOUSE || IsKeyMessage(message) || message == WM_MOUSEMOVE ||
        message == WM_LBUTTONUP) {
        bool bIdle = WaitForSingleObject(GetPostKeyEventHandle(), 0) == WAIT_OBJECT_0;
        g_records.push_back({hwnd, message, wParam, lParam, bIdle});
        // Posted: the answer decides nothing.
        if (message == WM_TAPLINE_KEY || message == WM_TAPLINE_MOUSE)
            return 0;
        // Keeps Alt from opening the system menu loop.
        if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
            return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void PumpOnce()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Dispatches messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, HANDLE handle = nullptr, DWORD timeoutMs = kTimeoutMs)
{
    DWORD nStart = GetTickCount();
    for (;;) {
        PumpOnce();
        if (done())
            return true;
        DWORD nElapsed = GetTickCount() - nStart;
        if (nElapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(handle ? 1 : 0, handle ? &handle : nullptr, FALSE,
                                  timeoutMs - nElapsed < 50 ? timeoutMs - nElapsed : 50, QS_ALLINPUT);
    }
}

bool Has(HWND hwnd, UINT message, WPARAM wParam)
{
    for (const SRecord& r : g_records) {
        if (r.hwnd == hwnd && r.nMessage == message && r.wParam == wParam)
            return true;
    }
    return false;
}

std::vector<SRecord> RecordsOf(HWND hwnd, UINT message)
{
    std::vector<SRecord> out;
    for (const SRecord& r : g_records) {
        if (r.hwnd == hwnd && r.nMessage == message)
            out.push_back(r);
    }
    return out;
}

// "D65", "U65", "SD18", "SU18": the key messages a window received, in order.
std::vector<std::string> KeyMessagesOf(HWND hwnd)
{
    std::vector<std::string> out;
    for (const SRecord& r : g_records) {
        if (r.hwnd != hwnd || !IsKeyMessage(r.nMessage))
            continue;
        bool bSystem = r.nMessage == WM_SYSKEYDOWN || r.nMessage == WM_SYSKEYUP;
        bool bDown = r.nMessage == WM_KEYDOWN || r.nMessage == WM_SYSKEYDOWN;
        out.push_back(std::string(bSystem ? "S" : "") + (bDown ? "D" : "U") + std::to_string(r.wParam));
    }
    return out;
}

HWND CreateRecordingWindow(int x, int y, int width, int height)
{
    static ATOM s_class = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = "TaplineTestWindow";
        return RegisterClassA(&wc);
    }();
    HWND hwnd = CreateWindowExA(0, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(s_class)), "Tapline test", WS_POPUP,
                                x, y, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    // Shown without activation, Wine leaves the window to itself instead of to a window
    // manager; otherwise, with none running, each destruction waits two seconds for one.
    ShowWindow(hwnd, SW_SHOWNA);
    return hwnd;
}

class CTestWindow {
public:
    CTestWindow(int x = 100, int y = 100, int width = 400, int height = 400)
        : m_hwnd(CreateRecordingWindow(x, y, width, height))
    {
    }
    ~CTestWindow() { Destroy(); }
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    void Destroy()
    {
        if (m_hwnd)
            DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
    // There is no window manager: focus has to be asked for and waited on.
    bool Focus() const
    {
        SetForegroundWindow(m_hwnd);
        SetFocus(m_hwnd);
        return PumpUntil([this] { return GetForegroundWindow() == m_hwnd && GetFocus() == m_hwnd; });
    }

private:
    HWND m_hwnd = nullptr;
};

void SendKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        inputs.push_back(input);
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
}

void MoveMouseTo(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN);
    input.mi.dy = (y * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ASSERT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u);
}

bool PlaybackIdle()
{
    return WaitForSingleObject(GetPostKeyEventHandle(), 0) == WAIT_OBJECT_0;
}

class Tapline : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_records.clear();
        g_answer = nullptr;
        {
            std::lock_guard<std::mutex> hold(g_askedLock);
            g_asked.clear();
        }
        SetHookFilter(TestFilter, nullptr);
        ASSERT_TRUE(PlaybackIdle());
    }
    void TearDown() override
    {
        UnhookKeyboard();
        UnhookMouse();
        SetHookFilter(nullptr, nullptr);
        // A playback still running would spill into the next case.
        EXPECT_TRUE(PumpUntil(PlaybackIdle, GetPostKeyEventHandle()));
        g_answer = nullptr;
    }
};

// The grammar is tested natively; here the export and the system's layout.
TEST_F(Tapline, ConvertKeyCodeUsesTheSystemLayout)
{
    int codes[4] = {};
    int nCount = 4;
    ASSERT_EQ(ConvertKeyCode("^a", codes, &nCount), 0);
    EXPECT_EQ(std::vector<int>(codes, codes + nCount), (std::vector<int>{17, 65, 17}));
    nCount = 4;
    SHORT nBrace = VkKeyScanA('}');
    ASSERT_EQ(ConvertKeyCode("{}}", codes, &nCount), 0);
    if (nBrace & 0x100)
        EXPECT_EQ(std::vector<int>(codes, codes + nCount), (std::vector<int>{16, nBrace & 0xFF, 16}));
    else
        EXPECT_EQ(std::vector<int>(codes, codes + nCount), (std::vector<int>{nBrace & 0xFF}));
    nCount = 2;
    EXPECT_EQ(ConvertKeyCode("{F1 3}", codes, &nCount), 5);
    EXPECT_EQ(nCount, 2);
    EXPECT_EQ(ConvertKeyCode("a", codes, nullptr), 5);
}

TEST_F(Tapline, KeyboardHookReportsKeysAndSwallowsOnTheFiltersAnswer)
{
    CTestWindow window;
    ASSERT_TRUE(window.Focus());
    HWND hwnd = window.Handle();
    g_answer = [](UINT, WPARAM vk) -> LRESULT { return vk == 'Q' ? 1 : 0; };
    EXPECT_EQ(HookKeyboard(hwnd), 1);
    SendKeys({'K', 'Q', 'M', VK_LSHIFT});
    ASSERT_TRUE(
        PumpUntil([&] { return Has(hwnd, WM_KEYUP, VK_SHIFT) && RecordsOf(hwnd, WM_TAPLINE_KEY).size() == 8; }));

    // Every key is reported, the swallowed one too; the left Shift as Shift.
    std::vector<std::string> notified;
    for (const SRecord& r : RecordsOf(hwnd, WM_TAPLINE_KEY))
        notified.push_back(std::string(r.lParam & 0x80000000 ? "U" : "D") + std::to_string(r.wParam));
    EXPECT_EQ(notified, (std::vector<std::string>{"D75", "U75", "D81", "U81", "D77", "U77", "D16", "U16"}));
    EXPECT_EQ(Asked(WM_TAPLINE_KEY).size(), 8u);
    EXPECT_EQ(KeyMessagesOf(hwnd), (std::vector<std::string>{"D75", "U75", "D77", "U77", "D16", "U16"}));

    // Without a filter nothing is swallowed.
    SetHookFilter(nullptr, nullptr);
    g_records.clear();
    SendKeys({'Q'});
    ASSERT_TRUE(PumpUntil([&] { return Has(hwnd, WM_KEYUP, 'Q'); }));
}

TEST_F(Tapline, SecondHookKeepsTheFirstWindowAndUnhookStopsReports)
{
    CTestWindow first(50, 50, 100, 100), second(200, 50, 100, 100);
    EXPECT_EQ(HookKeyboard(first.Handle()), 1);
    EXPECT_EQ(HookKeyboard(second.Handle()), 1);
    ASSERT_TRUE(second.Focus());
    SendKeys({'K'});
    ASSERT_TRUE(PumpUntil([&] { return Has(second.Handle(), WM_KEYUP, 'K'); }));
    EXPECT_EQ(RecordsOf(first.Handle(), WM_TAPLINE_KEY).size(), 2u);
    EXPECT_TRUE(RecordsOf(second.Handle(), WM_TAPLINE_KEY).empty());

    EXPECT_EQ(UnhookKeyboard(), 1);
    EXPECT_EQ(UnhookKeyboard(), 1);
    g_records.clear();
    SendKeys({'L'});
    ASSERT_TRUE(PumpUntil([&] { return Has(second.Handle(), WM_KEYUP, 'L'); }));
    EXPECT_TRUE(RecordsOf(first.Handle(), WM_TAPLINE_KEY).empty());

    // Once removed, the next install takes the new window.
    EXPECT_EQ(HookKeyboard(second.Handle()), 1);
    SendKeys({'N'});
    ASSERT_TRUE(PumpUntil([&] { return Has(second.Handle(), WM_KEYUP, 'N'); }));
    EXPECT_EQ(RecordsOf(second.Handle(), WM_TAPLINE_KEY).size(), 2u);
}

TEST_F(Tapline, HookLeftForADestroyedWindowIsReplaced)
{
    CTestWindow gone(50, 50, 100, 100), live(200, 50, 100, 100);
    HookKeyboard(gone.Handle());
    gone.Destroy();
    HookKeyboard(live.Handle());
    ASSERT_TRUE(live.Focus());
    SendKeys({'K'});
    ASSERT_TRUE(PumpUntil([&] { return Has(live.Handle(), WM_KEYUP, 'K'); }));
    EXPECT_EQ(RecordsOf(live.Handle(), WM_TAPLINE_KEY).size(), 2u);
}

TEST_F(Tapline, MouseHookPacksXHighAndSwallowsOnTheFiltersAnswer)
{
    CTestWindow window(100, 100, 400, 400);
    ASSERT_TRUE(window.Focus());
    HWND hwnd = window.Handle();
    EXPECT_EQ(HookMouse(hwnd), 1);
    MoveMouseTo(150, 260);
    ASSERT_TRUE(PumpUntil([&] { return Has(hwnd, WM_MOUSEMOVE, 0); }));
    std::vector<SRecord> reports = RecordsOf(hwnd, WM_TAPLINE_MOUSE);
    ASSERT_FALSE(reports.empty());
    const SRecord& last = reports.back();
    EXPECT_EQ(last.wParam, static_cast<WPARAM>(WM_MOUSEMOVE));
    POINT cursor = {};
    GetCursorPos(&cursor);
    EXPECT_NEAR(cursor.x, 150, 1);
    EXPECT_NEAR(cursor.y, 260, 1);
    EXPECT_EQ(tapline::UnpackMouseX(static_cast<uint64_t>(last.lParam)), cursor.x);
    EXPECT_EQ(tapline::UnpackMouseY(static_cast<uint64_t>(last.lParam)), cursor.y);

    g_answer = [](UINT message, WPARAM) -> LRESULT { return message == WM_TAPLINE_MOUSE ? 1 : 0; };
    g_records.clear();
    MoveMouseTo(300, 200);
    ASSERT_TRUE(PumpUntil([&] { return !RecordsOf(hwnd, WM_TAPLINE_MOUSE).empty(); }));
    // A key behind the move shows when the queue has been read past it.
    SendKeys({'M'});
    ASSERT_TRUE(PumpUntil([&] { return Has(hwnd, WM_KEYUP, 'M'); }));
    EXPECT_TRUE(RecordsOf(hwnd, WM_MOUSEMOVE).empty());
    // Swallowed, the move did not move the pointer either.
    POINT still = {};
    GetCursorPos(&still);
    EXPECT_NEAR(still.x, 150, 1);
    EXPECT_NEAR(still.y, 260, 1);
    EXPECT_EQ(UnhookMouse(), 1);
}

std::vector<std::string> ExpectedEvents(const std::vector<int>& codes)
{
    tapline::SPlaybackState state = {};
    uint32_t nPosition = 0;
    tapline::SKeyEvent event = {};
    std::vector<std::string> out;
    while (tapline::NextKeyEvent(state, codes.data(), static_cast<uint32_t>(codes.size()), nPosition, event))
        out.push_back(std::string(event.bSystem ? "S" : "") + (event.bDown ? "D" : "U") + std::to_string(event.nCode));
    return out;
}

class PlaybackTable : public Tapline, public ::testing::WithParamInterface<std::vector<int>> {};

TEST_P(PlaybackTable, PlaysIntoTheFocusedWindowAndRefusesASecondPlayback)
{
    CTestWindow window;
    ASSERT_TRUE(window.Focus());
    HWND hwnd = window.Handle();
    const std::vector<int>& codes = GetParam();
    // As the key effect does: the keyboard hook stays in place while the keys play.
    HookKeyboard(hwnd);

    ASSERT_EQ(PostKeyMessages(codes.data(), static_cast<int>(codes.size())), 0);
    EXPECT_FALSE(PlaybackIdle());
    const int other[] = {'Z'};
    EXPECT_EQ(PostKeyMessages(other, 1), 0);
    ASSERT_TRUE(PumpUntil(PlaybackIdle, GetPostKeyEventHandle()));
    PumpOnce();

    EXPECT_EQ(KeyMessagesOf(hwnd), ExpectedEvents(codes));
    ASSERT_TRUE(PumpUntil([&] { return RecordsOf(hwnd, WM_TAPLINE_KEY).size() >= ExpectedEvents(codes).size(); }));
    EXPECT_EQ(RecordsOf(hwnd, WM_TAPLINE_KEY).size(), ExpectedEvents(codes).size());
    // The hook thread decided on each while the playback still ran.
    for (const SAsked& a : Asked(WM_TAPLINE_KEY))
        EXPECT_FALSE(a.bPlaybackIdle) << "key " << a.wParam << " reported after the playback had ended";
    EXPECT_FALSE(Has(hwnd, WM_KEYDOWN, 'Z'));
}

INSTANTIATE_TEST_SUITE_P(Sequences, PlaybackTable,
                         ::testing::Values(std::vector<int>{16, 65, 16}, std::vector<int>{18, 18},
                                           std::vector<int>{18, 65, 18}, std::vector<int>{17, 18, 65, 18, 17},
                                           std::vector<int>{65, 9, 66, 37}));

TEST_F(Tapline, EmptyAndOversizedSequencesLeaveNoPlaybackRunning)
{
    CTestWindow window;
    ASSERT_TRUE(window.Focus());
    std::vector<int> codes(tapline::kPlaybackCapacity + 1, 'X');
    EXPECT_EQ(PostKeyMessages(codes.data(), 0), 0);
    EXPECT_TRUE(PlaybackIdle());
    EXPECT_EQ(PostKeyMessages(codes.data(), static_cast<int>(codes.size())), 6);
    EXPECT_TRUE(PlaybackIdle());
    EXPECT_EQ(PostKeyMessages(nullptr, 3), 6);
    EXPECT_TRUE(PlaybackIdle());

    // Still able to play afterwards.
    ASSERT_EQ(PostKeyMessages(codes.data(), 2), 0);
    ASSERT_TRUE(PumpUntil(PlaybackIdle, GetPostKeyEventHandle()));
    PumpOnce();
    EXPECT_EQ(KeyMessagesOf(window.Handle()), (std::vector<std::string>{"D88", "U88", "D88", "U88"}));
}

// Runs this program again with the switch and returns its exit code (0xFF when it hung).
DWORD RunChildProcess(const char* pszSwitch)
{
    char szPath[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string command = std::string("\"") + szPath + "\" " + pszSwitch;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0xFE;
    CloseHandle(process.hThread);
    bool bEnded = PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, process.hProcess,
                            3 * kTimeoutMs);
    DWORD nExit = 0xFF;
    if (!bEnded)
        TerminateProcess(process.hProcess, 0xFF);
    GetExitCodeProcess(process.hProcess, &nExit);
    CloseHandle(process.hProcess);
    return nExit;
}

// Keys and clicks typed into another program reach the hooks of this one, which never run
// inside that program; the key the filter takes never arrives there.
TEST_F(Tapline, HooksReportKeysAndClicksOfAnotherProgram)
{
    CTestWindow window(50, 50, 100, 100);
    HWND hwnd = window.Handle();
    g_answer = [](UINT message, WPARAM vk) -> LRESULT { return message == WM_TAPLINE_KEY && vk == 'K' ? 1 : 0; };
    HookKeyboard(hwnd);
    HookMouse(hwnd);

    DWORD nExit = RunChildProcess(kChildSwitch);
    // Bit 0: the child saw L arrive; bit 1: it saw the swallowed K; bit 2: it saw its click.
    EXPECT_EQ(nExit, 5u);
    ASSERT_TRUE(PumpUntil([&] { return RecordsOf(hwnd, WM_TAPLINE_KEY).size() >= 4; }));
    std::vector<std::string> notified;
    for (const SRecord& r : RecordsOf(hwnd, WM_TAPLINE_KEY))
        notified.push_back(std::string(r.lParam & 0x80000000 ? "U" : "D") + static_cast<char>(r.wParam));
    EXPECT_EQ(notified, (std::vector<std::string>{"DK", "UK", "DL", "UL"}));
    ASSERT_TRUE(PumpUntil([&] { return Has(hwnd, WM_TAPLINE_MOUSE, WM_LBUTTONUP); }));
    for (const SRecord& r : RecordsOf(hwnd, WM_TAPLINE_MOUSE)) {
        if (r.wParam != WM_LBUTTONDOWN)
            continue;
        EXPECT_EQ(tapline::UnpackMouseX(static_cast<uint64_t>(r.lParam)), 350);
        EXPECT_EQ(tapline::UnpackMouseY(static_cast<uint64_t>(r.lParam)), 340);
    }
    EXPECT_TRUE(Has(hwnd, WM_TAPLINE_MOUSE, WM_LBUTTONDOWN));
}

int RunChild()
{
    CTestWindow window(300, 300, 100, 100);
    if (!window.Focus())
        return 0x10;
    SendKeys({'K', 'L'});
    if (::testing::Test::HasFatalFailure())
        return 0x20;
    PumpUntil([&] { return Has(window.Handle(), WM_KEYUP, 'L'); });
    int nResult = Has(window.Handle(), WM_KEYUP, 'L') ? 1 : 0;
    if (Has(window.Handle(), WM_KEYDOWN, 'K'))
        nResult |= 2;
    MoveMouseTo(350, 340);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    if (PumpUntil([&] { return !RecordsOf(window.Handle(), WM_LBUTTONUP).empty(); }))
        nResult |= 4;
    return nResult;
}

// The system cancels a journal playback (Ctrl+Esc, Ctrl+Alt+Del) by dropping the hook and
// posting WM_CANCELJOURNAL to the playing thread. Its own process: only the first playback
// of a process goes through the journal hook here.
TEST_F(Tapline, PlaybackCancelledByTheSystemLetsTheNextOneStart)
{
    // Bit 0: idle once the cancel message was read; bit 1: the next playback started and
    // its keys arrived; 0x10 and up: the child could not set up.
    EXPECT_EQ(RunChildProcess(kCancelChildSwitch), 3u);
}

int RunCancelChild()
{
    CTestWindow window(300, 300, 100, 100);
    if (!window.Focus())
        return 0x10;
    const int codes[] = {'A', 'B'};
    if (PostKeyMessages(codes, 2) != 0 || PlaybackIdle())
        return 0x20;
    PostThreadMessageA(GetCurrentThreadId(), WM_CANCELJOURNAL, 0, 0);
    // Only the cancel message is read: no timer of the playback can end it meanwhile.
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_CANCELJOURNAL, WM_CANCELJOURNAL, PM_REMOVE))
        return 0x30;
    int nResult = PlaybackIdle() ? 1 : 0;
    const int next[] = {'C'};
    if (PostKeyMessages(next, 1) == 0 && PumpUntil([&] { return Has(window.Handle(), WM_KEYUP, 'C'); }) &&
        PumpUntil(PlaybackIdle, GetPostKeyEventHandle()))
        nResult |= 2;
    return nResult;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], kChildSwitch) == 0)
        return RunChild();
    if (argc > 1 && std::strcmp(argv[1], kCancelChildSwitch) == 0)
        return RunCancelChild();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

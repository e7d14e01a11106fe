#include "interrupt_guard.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

std::atomic<bool> g_bInterrupted{false};

#ifdef _WIN32
// The C library's SIGINT handler is reset after one Ctrl+C, so a second one during the
// clean-up would end the program with the line still raised; the console's own handler
// list keeps the handler for every Ctrl+C.
BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    g_bInterrupted = true;
    return TRUE;
}
#else
struct sigaction g_previous;

extern "C" void OnInterrupt(int)
{
    g_bInterrupted = true;
}
#endif

} // namespace

CInterruptGuard::CInterruptGuard()
{
    g_bInterrupted = false;
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
    // No SA_RESETHAND: the handler stays for every Ctrl+C until the guard goes.
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &g_previous);
#endif
}

CInterruptGuard::~CInterruptGuard()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
#else
    sigaction(SIGINT, &g_previous, nullptr);
#endif
}

bool CInterruptGuard::Interrupted()
{
    return g_bInterrupted;
}

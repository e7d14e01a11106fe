#include "os.h"

#include <windows.h>

#include <process.h>

namespace serilox_os {

uint32_t TickCount()
{
    return GetTickCount();
}

namespace {
struct SStart {
    ThreadProc proc;
    void* argument;
};

unsigned __stdcall Trampoline(void* raw)
{
    SStart start = *static_cast<SStart*>(raw);
    delete static_cast<SStart*>(raw);
    return start.proc(start.argument);
}
} // namespace

void* StartThread(ThreadProc proc, void* argument)
{
    SStart* start = new SStart{proc, argument};
    uintptr_t handle = _beginthreadex(nullptr, 0, Trampoline, start, CREATE_SUSPENDED, nullptr);
    if (!handle) {
        delete start;
        return nullptr;
    }
    // Time-critical so a single acknowledgement byte is seen well inside the sender's window.
    SetThreadPriority(reinterpret_cast<HANDLE>(handle), THREAD_PRIORITY_TIME_CRITICAL);
    ResumeThread(reinterpret_cast<HANDLE>(handle));
    return reinterpret_cast<void*>(handle);
}

void JoinThread(void* thread)
{
    WaitForSingleObject(static_cast<HANDLE>(thread), INFINITE);
    CloseHandle(static_cast<HANDLE>(thread));
}

bool PostToWindow(HWND window, unsigned int message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageA(window, message, wParam, lParam) != 0;
}

HWND ActiveWindow()
{
    return GetActiveWindow();
}

} // namespace serilox_os

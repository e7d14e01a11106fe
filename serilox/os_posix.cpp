#include "os.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <thread>

#include "message_queue.h"

namespace serilox_os {

uint32_t TickCount()
{
    // Counted from the first use so that 0 ("never") does not occur for 49 days.
    static const auto origin = std::chrono::steady_clock::now();
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - origin);
    return static_cast<uint32_t>(elapsed.count()) + 1;
}

void* StartThread(ThreadProc proc, void* argument)
{
    try {
        std::thread* thread = new std::thread(proc, argument);
        // Real-time priority needs privileges; without them the thread runs at normal priority.
        sched_param param{};
        param.sched_priority = sched_get_priority_max(SCHED_FIFO);
        pthread_setschedparam(thread->native_handle(), SCHED_FIFO, &param);
        return thread;
    } catch (...) {
        return nullptr;
    }
}

void JoinThread(void* raw)
{
    std::thread* thread = static_cast<std::thread*>(raw);
    thread->join();
    delete thread;
}

bool PostToWindow(HWND window, unsigned int message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return false;
    window->Post(message, wParam, lParam);
    return true;
}

HWND ActiveWindow()
{
    return nullptr;
}

} // namespace serilox_os

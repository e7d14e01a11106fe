// The few operating-system services the device and engines need beyond the port itself:
// a millisecond tick, events, the worker thread, and posting to the notification window.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "clock.h"
#include "platform_types.h"

namespace serilox_os {

// Milliseconds on a monotonic clock; wraps after 49 days, so compare with TickSince.
uint32_t TickCount();
inline uint32_t TickSince(uint32_t start)
{
    return TickCount() - start;
}

// Event with the platform's manual- and auto-reset semantics; a clock waits for it.
class SERILOX_API CEvent : public IWaitable {
public:
    CEvent(bool manualReset, bool signalled) : m_bManual(manualReset), m_bSignalled(signalled) {}
    void Set();
    void Reset();
    // Waits up to timeoutMs of real time; true when signalled.
    bool Wait(uint32_t timeoutMs);

    bool Await(uint32_t ms) override { return Wait(ms); }
    bool HasCome() override;

private:
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    bool m_bManual;
    bool m_bSignalled;
};

typedef unsigned int (*ThreadProc)(void* argument);

// Starts proc(argument) at time-critical priority; null when no thread could be made.
void* StartThread(ThreadProc proc, void* argument);
// Waits without limit for the thread to end and releases it.
void JoinThread(void* thread);

bool PostToWindow(HWND window, unsigned int message, WPARAM wParam, LPARAM lParam);
HWND ActiveWindow();

} // namespace serilox_os

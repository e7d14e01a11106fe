// A clock the tests own: it stands still while anything can still happen and jumps to the
// next deadline once nothing can, so waiting out a silent projector costs no real time.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "clock.h"

// Time moves only inside a wait of the thread that made the clock (the test's thread), and
// only when the rest of the system has settled: every attached thread (the engines' receive
// threads) waits on this clock with nothing come, and every peer (the simulated projector)
// says it is idle, and all of that has held for a few milliseconds of real time (a byte on its
// way through the pseudo-terminal is seen by neither side). Then no party can act before some
// deadline, so jumping to the nearest one is what real time would bring, minus the waiting. Whatever happens without time passing
// (a frame answered at once) happens at the same clock time, so results and clock times are
// the same on every run, however loaded the machine.
class CTestClock : public IClock {
public:
    CTestClock();

    uint32_t TickCount() override;
    void Sleep(unsigned int ms) override;
    bool Wait(IWaitable& what, uint32_t ms) override;
    void AttachThread() override;
    void DetachThread() override;

    // Something besides the clock's own waiters that can act by itself; the clock moves only
    // while isIdle() holds. Called with the clock's lock held.
    void AddPeer(std::function<bool()> isIdle);

private:
    struct SWaiter {
        uint32_t deadline;
        IWaitable* what;
    };
    bool Reached(uint32_t deadline) const { return static_cast<int32_t>(m_nNow - deadline) >= 0; }
    bool Settled() const;
    // The owner's wait has neither ended nor let the clock move for too long: say who is busy.
    [[noreturn]] void Stuck() const;

    std::mutex m_Lock;
    std::condition_variable m_Moved;
    const std::thread::id m_Owner;
    uint32_t m_nNow = 1;
    unsigned int m_nThreads = 0;
    std::vector<SWaiter*> m_Waiters;
    std::vector<std::function<bool()>> m_Peers;
};

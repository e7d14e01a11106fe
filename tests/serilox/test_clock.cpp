#include "test_clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
// How often a waiter looks again at what it waits for, in real time.
const std::chrono::milliseconds kLook(1);
// Attached threads return from a wait this often, so that they see a stop request.
const std::chrono::milliseconds kGiveBack(50);
// The system must stay settled this long before the clock moves: a byte written to a
// pseudo-terminal reaches the other side through a kernel work queue, and while it is on
// its way neither side can see it.
const std::chrono::milliseconds kSettleTime(5);
// The owner's wait ends in Stuck() when nothing came and the clock could not move this long.
const std::chrono::seconds kStuckLimit(60);

class CNothing : public IWaitable {
public:
    bool Await(uint32_t) override { return false; }
    bool HasCome() override { return false; }
};
} // namespace

CTestClock::CTestClock() : m_Owner(std::this_thread::get_id()) {}

uint32_t CTestClock::TickCount()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_nNow;
}

void CTestClock::Sleep(unsigned int ms)
{
    CNothing nothing;
    uint32_t end = TickCount() + ms;
    for (uint32_t now = TickCount(); static_cast<int32_t>(now - end) < 0; now = TickCount())
        Wait(nothing, end - now);
}

void CTestClock::AttachThread()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    ++m_nThreads;
}

void CTestClock::DetachThread()
{
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        --m_nThreads;
    }
    m_Moved.notify_all();
}

void CTestClock::AddPeer(std::function<bool()> isIdle)
{
    std::lock_guard<std::mutex> hold(m_Lock);
    m_Peers.push_back(std::move(isIdle));
}

bool CTestClock::Settled() const
{
    if (m_Waiters.size() < m_nThreads)
        return false;
    for (SWaiter* waiter : m_Waiters)
        if (Reached(waiter->deadline) || waiter->what->HasCome())
            return false;
    for (const std::function<bool()>& isIdle : m_Peers)
        if (!isIdle())
            return false;
    return true;
}

bool CTestClock::Wait(IWaitable& what, uint32_t ms)
{
    const bool owner = std::this_thread::get_id() == m_Owner;
    {
        std::unique_lock<std::mutex> hold(m_Lock);
        SWaiter me{m_nNow + ms, &what};
        if (!owner)
            m_Waiters.push_back(&me);
        const auto since = std::chrono::steady_clock::now();
        auto settledSince = since;
        bool settled = false;
        for (;;) {
            if (what.HasCome() || Reached(me.deadline))
                break;
            const auto now = std::chrono::steady_clock::now();
            auto real = now - since;
            if (owner && !Settled())
                settled = false;
            else if (owner && !settled) {
                settled = true;
                settledSince = now;
            } else if (owner && now - settledSince >= kSettleTime) {
                // Nothing can happen before the nearest deadline: go there.
                uint32_t step = me.deadline - m_nNow;
                for (SWaiter* waiter : m_Waiters)
                    step = std::min(step, waiter->deadline - m_nNow);
                m_nNow += step;
                settled = false;
                m_Moved.notify_all();
                continue;
            }
            if (!owner && real >= kGiveBack)
                break;
            if (owner && real >= kStuckLimit)
                Stuck();
            m_Moved.wait_for(hold, kLook);
        }
        if (!owner)
            m_Waiters.erase(std::find(m_Waiters.begin(), m_Waiters.end(), &me));
    }
    // Taken outside the lock and after leaving the waiters, so the clock never moves while a
    // byte or an event is in a waiter's hands but not yet acted on.
    return what.Await(0);
}

void CTestClock::Stuck() const
{
    size_t come = 0;
    for (SWaiter* waiter : m_Waiters)
        come += waiter->what->HasCome() ? 1 : 0;
    size_t busyPeers = 0;
    for (const std::function<bool()>& isIdle : m_Peers)
        busyPeers += isIdle() ? 0 : 1;
    std::fprintf(stderr,
                 "test clock stuck at %u ms: %zu of %u attached threads waiting (%zu with something come), "
                 "%zu of %zu peers busy\n",
                 m_nNow, m_Waiters.size(), m_nThreads, come, busyPeers, m_Peers.size());
    std::abort();
}

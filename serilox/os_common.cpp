#include "os.h"

#include <chrono>
#include <thread>

namespace serilox_os {

void CEvent::Set()
{
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        m_bSignalled = true;
    }
    m_Changed.notify_all();
}

void CEvent::Reset()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    m_bSignalled = false;
}

bool CEvent::HasCome()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_bSignalled;
}

bool CEvent::Wait(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Lock);
    bool signalled = m_Changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return m_bSignalled; });
    if (signalled && !m_bManual)
        m_bSignalled = false;
    return signalled;
}

} // namespace serilox_os

namespace {
class CTickClock : public IClock {
public:
    uint32_t TickCount() override { return serilox_os::TickCount(); }
    void Sleep(unsigned int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};
} // namespace

IClock& SystemClock()
{
    static CTickClock clock;
    return clock;
}

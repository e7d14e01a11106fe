#include "os.h"

#include <chrono>

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

bool CEvent::Wait(uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Lock);
    bool signalled = m_Changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return m_bSignalled; });
    if (signalled && !m_bManual)
        m_bSignalled = false;
    return signalled;
}

} // namespace serilox_os

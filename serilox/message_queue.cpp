#include "message_queue.h"

#include <chrono>

void CMessageQueue::Post(unsigned int message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        m_Messages.push_back({message, wParam, lParam});
        ++m_nPosted;
    }
    m_Posted.notify_all();
}

bool CMessageQueue::Get(SQueuedMessage& out, unsigned long timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Lock);
    if (!m_Posted.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return !m_Messages.empty(); }))
        return false;
    out = m_Messages.front();
    m_Messages.pop_front();
    return true;
}

bool CMessageQueue::Take(SQueuedMessage& out, unsigned int first, unsigned int last)
{
    std::lock_guard<std::mutex> hold(m_Lock);
    for (auto it = m_Messages.begin(); it != m_Messages.end(); ++it) {
        if (it->message >= first && it->message <= last) {
            out = *it;
            m_Messages.erase(it);
            return true;
        }
    }
    return false;
}

unsigned long CMessageQueue::PostCount()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_nPosted;
}

bool CMessageQueue::WaitForPost(unsigned long seen, unsigned long timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Lock);
    return m_Posted.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] { return m_nPosted != seen; });
}

size_t CMessageQueue::Count()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    return m_Messages.size();
}

void CMessageQueue::Clear()
{
    std::lock_guard<std::mutex> hold(m_Lock);
    m_Messages.clear();
}

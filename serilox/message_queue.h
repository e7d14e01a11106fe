// The notification "window" of native builds: engines post into it, tests and tools read
// messages back in posting order.
#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform_types.h"

struct SQueuedMessage {
    unsigned int message;
    WPARAM wParam;
    LPARAM lParam;
};

class SERILOX_API CMessageQueue {
public:
    void Post(unsigned int message, WPARAM wParam, LPARAM lParam);
    // Takes the oldest message, waiting up to timeoutMs for one.
    bool Get(SQueuedMessage& out, unsigned long timeoutMs);
    // Takes the oldest message numbered first..last without waiting, as PeekMessage does
    // with a range; messages outside it keep their place.
    bool Take(SQueuedMessage& out, unsigned int first, unsigned int last);
    // Number of messages posted so far; WaitForPost waits until it passes seen.
    unsigned long PostCount();
    bool WaitForPost(unsigned long seen, unsigned long timeoutMs);
    size_t Count();
    void Clear();

private:
    std::mutex m_Lock;
    std::condition_variable m_Posted;
    std::deque<SQueuedMessage> m_Messages;
    unsigned long m_nPosted = 0;
};

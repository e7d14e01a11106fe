// A ring of 16 records that the engines take in turn instead of allocating per message.
// A record handed to the window stays valid until 16 more of the same ring are taken.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

template <class T>
class CRing {
public:
    static const unsigned int kRecords = 16;

    void Allocate()
    {
        m_Records.assign(kRecords, T());
        m_nCounter.store(0);
    }
    void Release() { m_Records.clear(); }
    bool IsAllocated() const { return !m_Records.empty(); }

    // Both engine threads take time texts, so the slot is claimed atomically. A counter at
    // its maximum starts again from 0.
    unsigned int TakeSlot()
    {
        uint32_t current = m_nCounter.load();
        uint32_t base;
        do {
            base = current == 0xFFFFFFFFu ? 0 : current;
        } while (!m_nCounter.compare_exchange_weak(current, base + 1));
        return base % kRecords;
    }
    T& Take() { return m_Records[TakeSlot()]; }
    T& At(unsigned int slot) { return m_Records[slot]; }

    T* Address() { return m_Records.data(); }
    uint32_t Number() const { return m_nCounter.load(); }
    void SetNumber(uint32_t n) { m_nCounter.store(n); }

private:
    std::vector<T> m_Records;
    std::atomic<uint32_t> m_nCounter{0};
};

struct STimeText {
    char text[9];
};

// Everything the simulated projector received and sent, with times since its start.
// Thread-safe: the simulator thread writes, tests read and wait.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

enum class ELogKind {
    RxFrame, // a complete frame with the right checksum
    RxBadChecksum,
    RxBadLength,
    RxStalled, // a frame that stopped arriving mid-way
    RxAck,
    RxNak,
    RxStray, // a byte outside any frame
    Tx,      // bytes written; the text says what they were
    Note,    // what the simulator did about a frame (fault applied, control command)
};

const char* LogKindName(ELogKind kind);

struct SLogEntry {
    long long nMicros = 0; // since the simulator started
    ELogKind eKind = ELogKind::Note;
    std::vector<uint8_t> bytes;
    std::string strText;

    double Ms() const { return nMicros / 1000.0; }
    std::string Format() const; // one line as the log file has it
};

std::string HexBytes(const std::vector<uint8_t>& bytes);

class CSimLog {
public:
    ~CSimLog();
    // Lines go to this file as they are added; false when it cannot be opened.
    bool OpenFile(const std::string& path);

    void Add(SLogEntry entry);
    std::vector<SLogEntry> Entries() const;
    size_t Count(ELogKind kind) const;
    void Clear();
    // Waits until the predicate holds for the entries, or the time is up; returns the last answer.
    bool WaitFor(const std::function<bool(const std::vector<SLogEntry>&)>& predicate, int timeoutMs) const;
    bool WaitForCount(ELogKind kind, size_t count, int timeoutMs) const;

private:
    mutable std::mutex m_Mutex;
    mutable std::condition_variable m_Changed;
    std::vector<SLogEntry> m_Entries;
    std::FILE* m_pFile = nullptr;
};

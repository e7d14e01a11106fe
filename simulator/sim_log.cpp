#include "sim_log.h"

#include <chrono>

const char* LogKindName(ELogKind kind)
{
    switch (kind) {
    case ELogKind::RxFrame:
        return "RX frame";
    case ELogKind::RxBadChecksum:
        return "RX bad-checksum";
    case ELogKind::RxBadLength:
        return "RX bad-length";
    case ELogKind::RxStalled:
        return "RX stalled";
    case ELogKind::RxAck:
        return "RX ACK";
    case ELogKind::RxNak:
        return "RX NAK";
    case ELogKind::RxStray:
        return "RX stray";
    case ELogKind::Tx:
        return "TX";
    case ELogKind::Note:
        return "--";
    }
    return "?";
}

std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

std::string SLogEntry::Format() const
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%10.3f ", Ms());
    std::string line = stamp;
    line += LogKindName(eKind);
    if (!bytes.empty())
        line += "  " + HexBytes(bytes);
    if (!strText.empty())
        line += "  " + strText;
    return line;
}

CSimLog::~CSimLog()
{
    if (m_pFile)
        std::fclose(m_pFile);
}

bool CSimLog::OpenFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_pFile)
        std::fclose(m_pFile);
    m_pFile = std::fopen(path.c_str(), "w");
    return m_pFile != nullptr;
}

void CSimLog::Add(SLogEntry entry)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_pFile) {
            std::fprintf(m_pFile, "%s\n", entry.Format().c_str());
            std::fflush(m_pFile);
        }
        m_Entries.push_back(std::move(entry));
    }
    m_Changed.notify_all();
}

std::vector<SLogEntry> CSimLog::Entries() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Entries;
}

size_t CSimLog::Count(ELogKind kind) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    size_t count = 0;
    for (const auto& entry : m_Entries)
        count += entry.eKind == kind;
    return count;
}

void CSimLog::Clear()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Entries.clear();
}

bool CSimLog::WaitFor(const std::function<bool(const std::vector<SLogEntry>&)>& predicate, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return predicate(m_Entries); });
}

bool CSimLog::WaitForCount(ELogKind kind, size_t count, int timeoutMs) const
{
    return WaitFor(
        [&](const std::vector<SLogEntry>& entries) {
            size_t n = 0;
            for (const auto& entry : entries)
                n += entry.eKind == kind;
            return n >= count;
        },
        timeoutMs);
}

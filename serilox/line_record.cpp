#include "line_record.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>

#include "replacing_file.h"

namespace {
struct SRecord {
    std::mutex lock;
    // Read without the lock: the port's threads pass here on every read and write, and
    // should not wait on each other while nothing is recorded.
    std::atomic<bool> active{false};
    CReplacingFile target; // the record replaces the named file only once it is whole
    std::FILE* file = nullptr;
    std::chrono::steady_clock::time_point start;
};

SRecord& Record()
{
    static SRecord record;
    return record;
}

// Writes the time stamp and direction; the caller holds the lock and ends the line.
void Begin(SRecord& r, char direction)
{
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - r.start).count();
    std::fprintf(r.file, "%.6f %c", seconds, direction);
}

// The caller holds the lock.
void NoteHeld(SRecord& r, char direction, const unsigned char* bytes, unsigned long count)
{
    if (!r.file || count == 0)
        return;
    Begin(r, direction);
    for (unsigned long i = 0; i < count; ++i)
        std::fprintf(r.file, " %02X", bytes[i]);
    std::fputc('\n', r.file);
    // Flushed as it goes: the record of a line that hangs the program is the one needed most.
    std::fflush(r.file);
}
} // namespace

bool SeriloxRecordLine(const char* path)
{
    SRecord& r = Record();
    std::lock_guard<std::mutex> hold(r.lock);
    r.file = r.target.Open(path) ? r.target.Get() : nullptr;
    if (!r.file)
        return false;
    r.start = std::chrono::steady_clock::now();
    r.active = true;
    std::fputs("# kestrel line record 1: seconds, > sent / < received / = port opened, bytes\n", r.file);
    std::fflush(r.file);
    return true;
}

bool SeriloxStopLineRecord()
{
    SRecord& r = Record();
    std::lock_guard<std::mutex> hold(r.lock);
    r.active = false;
    r.file = nullptr;
    return r.target.Commit();
}

void NoteLineBytes(char direction, const unsigned char* bytes, unsigned long count)
{
    SRecord& r = Record();
    if (!r.active)
        return;
    std::lock_guard<std::mutex> hold(r.lock);
    NoteHeld(r, direction, bytes, count);
}

CLineSendNote::CLineSendNote()
{
    if (Record().active)
        m_Hold = std::unique_lock<std::mutex>(Record().lock);
}

void CLineSendNote::Sent(const unsigned char* bytes, unsigned long count)
{
    if (m_Hold.owns_lock())
        NoteHeld(Record(), '>', bytes, count);
}

void NoteLineOpened(const char* name)
{
    SRecord& r = Record();
    std::lock_guard<std::mutex> hold(r.lock);
    if (!r.file)
        return;
    Begin(r, '=');
    std::fprintf(r.file, " %s\n", name);
    std::fflush(r.file);
}

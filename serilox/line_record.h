// A record of the line: every byte a port carries, both ways, with time stamps, for a fault
// seen in the field to be replayed on a developer's machine.
//
// Text, one event a line: seconds since the record began (six decimals), a direction and the
// bytes in hexadecimal: ">" sent to the projector, "<" received from it, "=" the port opened
// (its name follows). Lines from "#" on are comments.
#pragma once
#include <mutex>

#include "platform_types.h"

// Starts recording every port of the process for path; false for a read-only path or one that
// cannot be written. Until the record ends it grows, flushed line by line, in path + ".new",
// so a run that hangs or is killed leaves it there and path as it was.
SERILOX_API bool SeriloxRecordLine(const char* path);
// Ends the record: flushed to the disk and renamed over path. False when a write failed;
// path then holds what it held before.
SERILOX_API bool SeriloxStopLineRecord();

// The port layer's notes; nothing happens while no record runs.
void NoteLineBytes(char direction, const unsigned char* bytes, unsigned long count);
void NoteLineOpened(const char* name);

// Held around one write to the port. A projector answers within microseconds of a command,
// so the receiving thread could note the answer before the writer noted what it answered,
// and a replay would then send the answer before the command came. Holding the record while
// the bytes go out puts every answer after them. While nothing is recorded it holds nothing.
class CLineSendNote {
public:
    CLineSendNote();
    CLineSendNote(const CLineSendNote&) = delete;
    CLineSendNote& operator=(const CLineSendNote&) = delete;

    // Notes what the write sent.
    void Sent(const unsigned char* bytes, unsigned long count);

private:
    std::unique_lock<std::mutex> m_Hold;
};

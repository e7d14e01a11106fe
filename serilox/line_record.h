// A record of the line: every byte a port carries, both ways, with time stamps, for a fault
// seen in the field to be replayed on a developer's machine.
//
// Text, one event a line: seconds since the record began (six decimals), a direction and the
// bytes in hexadecimal: ">" sent to the projector, "<" received from it, "=" the port opened
// (its name follows). Lines from "#" on are comments.
#pragma once
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

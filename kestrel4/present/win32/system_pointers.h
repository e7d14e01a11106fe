// The desktop's pointers while an effect runs: the twelve system pointers replaced by one
// cursor, and put back from the user's pointer scheme.
#pragma once
#include <windows.h>

// cursor null: the blank pointer. The cursor stays the caller's.
void ReplacePointers(HCURSOR cursor);
// Nothing happens unless the pointers were replaced.
void RestorePointers();
bool ArePointersReplaced();

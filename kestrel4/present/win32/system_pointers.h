// The desktop's pointers while an effect runs: the twelve system pointers replaced by one
// cursor, and put back from the user's pointer scheme. A last-chance handler puts them back
// too, so that a failing program does not leave the desktop without a visible pointer.
#pragma once
#include <windows.h>

// cursor null: the blank pointer. The cursor stays the caller's.
void ReplacePointers(HCURSOR cursor);
// Nothing happens unless the pointers were replaced.
void RestorePointers();
bool ArePointersReplaced();
// Restores the pointers on an unhandled exception, then lets the previous handler decide.
void InstallPointerGuard();

// Pieces of the library's Win32 side that its source files share.
#pragma once

#include <windows.h>

extern HINSTANCE g_hTaplineModule;

bool PlaybackAttach();
// unloading: the library is freed while the process goes on, so hooks and timers must go.
void PlaybackDetach(bool unloading);
void HooksDetach(bool unloading);

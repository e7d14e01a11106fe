// Pieces of the library's Win32 side that its source files share.
#pragma once

#include <windows.h>

#include <cstdint>

#include "../core/tapline_shared.h"

extern tapline::STaplineShared g_shared;
extern HINSTANCE g_hTaplineModule;

// Window and hook handles are 32-bit significant in every process, so they travel through
// the shared block as 32-bit values.
inline uint32_t ToShared(const void* handle)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
}

template <typename T>
inline T FromShared(uint32_t value)
{
    return reinterpret_cast<T>(static_cast<uintptr_t>(value));
}

bool PlaybackAttach();
// unloading: the library is freed while the process goes on, so hooks and timers must go.
void PlaybackDetach(bool unloading);
void HooksDetach(bool unloading);

// Small helpers of the engine tests, native and under Wine.
#pragma once
#include <chrono>
#include <cstdint>

#include "packets.h"

// A get command for item, as a short frame or as a stack frame to projector to.
inline SZelqLevel5Header GetCommand(uint16_t item, int stack = 0, unsigned char to = 1)
{
    SZelqLevel5Header h;
    h.Attr = 2;
    h.GroupID = static_cast<unsigned char>(item >> 8);
    h.ItemID = static_cast<unsigned char>(item);
    h.Stack = stack;
    h.To = to;
    return h;
}

inline long ElapsedMs(std::chrono::steady_clock::time_point since)
{
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count());
}

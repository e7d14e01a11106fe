// Small helpers of the engine tests, native and under Wine.
#pragma once
#include <chrono>
#include <cstdint>

#include "packets.h"

// How long a test waits for something that should happen: long enough for a loaded machine
// under sanitizers, and only ever spent when the test is failing.
const unsigned long kPatienceMs = 5000;
// The acknowledgement window the engines keep.
const double kAckWindowMs = 300.0;
// Upper bounds on a timing rule allow three times the time the rule gives.
const double kSlack = 3.0;

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

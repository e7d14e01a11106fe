// The answer to the stack query: whether the projectors form a stack, how many there are,
// and each one's role, which the table keeps as its stack position.
#pragma once
#include <cstdint>

struct SStackState {
    bool bValid = false; // an answer of the right length
    int bStackMode = 0;  // projector 1 heads an established stack
    int nProjectorCount = 0;
    int32_t nPosition[4] = {}; // item 0x1E00 of projectors 1..4
};

const uint32_t kStackStateBytes = 9;

// Byte 0 counts the entries; bytes 1-4 are the roles of projectors 1-4 (high nibble 2 = a
// member, 0x21 in byte 1 = projector 1 heads the stack). Any other length is not valid.
SStackState DecodeStackState(const unsigned char* bytes, uint32_t count);

#include "stack_state.h"

SStackState DecodeStackState(const unsigned char* bytes, uint32_t count)
{
    SStackState state;
    if (!bytes || count != kStackStateBytes)
        return state;
    state.bValid = true;
    state.bStackMode = bytes[1] == 0x21 ? 1 : 0;
    unsigned int entries = bytes[0] < 4 ? bytes[0] : 4;
    state.nProjectorCount = 1;
    for (unsigned int k = 2; k <= entries; ++k)
        if ((bytes[k] & 0xF0) == 0x20)
            ++state.nProjectorCount;
    for (unsigned int k = 1; k <= 4; ++k)
        state.nPosition[k - 1] = (bytes[k] & 0xF0) * 4 + (bytes[k] & 0x0F);
    return state;
}

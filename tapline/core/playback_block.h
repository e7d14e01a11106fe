// The key playback's counters: the sequence being played and the position in it, and the
// count of the last conversion. One block per process.
#pragma once

#include <cstdint>

namespace tapline {

struct SPlaybackBlock {
    // The played codes live in the process's own buffer; this says whether it holds a
    // sequence being played.
    uint32_t bSequence;
    uint32_t nLength;
    uint32_t nPosition;   // index of the next code to play
    uint32_t nConverted;  // codes produced by the last conversion
    uint32_t bFirstFetch; // 1 = playback has not fetched its first event yet
};

} // namespace tapline

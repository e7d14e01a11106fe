// The values every process that loads the hook library sees alike: hook handles and target
// windows for the hook procedures that run in other processes, and the playback counters.
// Ten 32-bit values; handles of the window manager are 32-bit significant on 64-bit
// Windows too, which keeps the block the same size for both.
#pragma once

#include <cstdint>

namespace tapline {

struct STaplineShared {
    uint32_t hMouseHook; // 0 = not installed
    uint32_t hKeyboardHook;
    uint32_t hPlaybackHook;
    uint32_t hMouseTarget;    // window that receives the mouse notifications
    uint32_t hKeyboardTarget; // window that receives the keyboard notifications
    // The played codes live in the playing process's own buffer (the playback hook runs in
    // that process); this says whether that buffer holds a sequence being played.
    uint32_t bSequence;
    uint32_t nLength;
    uint32_t nPosition;   // index of the next code to play
    uint32_t nConverted;  // codes produced by the last conversion
    uint32_t bFirstFetch; // 1 = playback has not fetched its first event yet
};
static_assert(sizeof(STaplineShared) == 40, "the shared block is ten 32-bit values");

} // namespace tapline

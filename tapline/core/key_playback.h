// Playback of a sequence of virtual-key codes as key events. The modifier codes 16, 17 and
// 18 toggle (first occurrence presses, the next releases); every other code is a press
// followed by its release. Alt makes the events system key events the way a keyboard does:
// Alt alone goes down and up as a system key, Alt released after a key comes up plain, and
// Ctrl held turns all of it plain.
#pragma once

#include <cstdint>

#include "playback_block.h"

namespace tapline {

constexpr int kPlaybackCapacity = 1024;

struct SKeyEvent {
    int nCode;
    int bDown;   // 1 = key down
    int bSystem; // 1 = WM_SYSKEYDOWN / WM_SYSKEYUP
};

struct SPlaybackState {
    int nPendingKey; // code whose key-up is due
    int bShift;
    int bCtrl;
    int bAlt;
    int bKeyUpDue;
    int bKeyUnderAlt; // a key went down while Alt was down
};

// One step of a playback; false at the end of the sequence.
bool NextKeyEvent(SPlaybackState& state, const int* sequence, uint32_t length, uint32_t& position, SKeyEvent& event);

// The playing process's side of a playback, driven the way a journal playback hook is:
// Current() is the event to hand out (asked for as often as the system likes), Skip()
// moves past it and reports the end. Length, position and first-fetch flag are kept in
// the playback block.
class CKeyPlayback {
public:
    explicit CKeyPlayback(SPlaybackBlock& block) : m_block(block) {}

    // Copies the codes and rewinds; false (and nothing loaded) when they do not fit.
    bool Load(const int* codes, int count);
    const SKeyEvent& Current();
    bool Skip(); // true when the sequence has ended
    void Clear();
    bool IsLoaded() const { return m_block.bSequence != 0; }

private:
    void FetchFirst();

    SPlaybackBlock& m_block;
    int m_anCodes[kPlaybackCapacity] = {};
    SPlaybackState m_state = {};
    SKeyEvent m_current = {};
};

} // namespace tapline

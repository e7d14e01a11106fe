// The playing process's run of one key playback: whether one runs, which way it plays, and
// how it ends. A run ends when its last key-up is out, when the system cancels the journal
// playback (the user pressed Ctrl+Esc or Ctrl+Alt+Del), or when the journal hook is found
// gone without a word; every way leaves the process ready for the next playback.
#pragma once

#include <cstdint>

#include "key_playback.h"

namespace tapline {

// The platform's side: the post-key event and the hook the keys play through.
class IPlaybackHost {
public:
    virtual ~IPlaybackHost() {}
    virtual void SetIdle(bool idle) = 0;
    virtual void RemoveHook() = 0;
};

// A journal hook the system has dropped is called no more; one that plays is asked for
// events at every message retrieval. This long without a call, it is taken as gone.
constexpr uint32_t kJournalSilenceMs = 1000;

class CPlaybackSession {
public:
    CPlaybackSession(SPlaybackBlock& block, IPlaybackHost& host) : m_playback(block), m_host(host) {}

    bool IsRunning() const { return m_bRunning; }
    CKeyPlayback& Playback() { return m_playback; }

    // Loads the codes and marks the run begun; false (nothing changed) when they cannot
    // be played or a run is going on.
    bool Begin(const int* codes, int count);
    // The keys go through a journal hook installed now.
    void JournalInstalled(uint32_t nowMs);
    // A call of that hook; the first one tells that the system plays through it.
    void JournalCalled(uint32_t nowMs);
    bool JournalEverCalled() const { return m_bJournalCalled; }
    // The system ended the journal playback by itself and has removed the hook.
    void Cancel();
    // Ends the run when its journal hook has played and then fell silent; true if so.
    bool EndIfJournalGone(uint32_t nowMs);
    // Removes the hook, forgets the sequence and lets the next playback start.
    void End();

private:
    CKeyPlayback m_playback;
    IPlaybackHost& m_host;
    bool m_bRunning = false;
    bool m_bJournal = false;
    bool m_bJournalCalled = false;
    uint32_t m_nLastCallMs = 0;
};

} // namespace tapline

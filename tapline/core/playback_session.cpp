#include "playback_session.h"

namespace tapline {

bool CPlaybackSession::Begin(const int* codes, int count)
{
    if (m_bRunning || !m_playback.Load(codes, count))
        return false;
    m_bRunning = true;
    m_bJournal = false;
    m_bJournalCalled = false;
    m_host.SetIdle(false);
    return true;
}

void CPlaybackSession::JournalInstalled(uint32_t nowMs)
{
    m_bJournal = true;
    m_bJournalCalled = false;
    m_nLastCallMs = nowMs;
}

void CPlaybackSession::JournalCalled(uint32_t nowMs)
{
    m_bJournalCalled = true;
    m_nLastCallMs = nowMs;
}

void CPlaybackSession::Cancel()
{
    if (m_bRunning)
        End();
}

bool CPlaybackSession::EndIfJournalGone(uint32_t nowMs)
{
    // A hook never called is not gone but unused: the caller plays the keys another way.
    if (!m_bRunning || !m_bJournal || !m_bJournalCalled)
        return false;
    if (nowMs - m_nLastCallMs < kJournalSilenceMs)
        return false;
    End();
    return true;
}

void CPlaybackSession::End()
{
    // Removing a hook the system has already taken away is harmless; the event comes last,
    // so that a waiter sees everything else settled.
    m_host.RemoveHook();
    m_playback.Clear();
    m_bRunning = false;
    m_bJournal = false;
    m_host.SetIdle(true);
}

} // namespace tapline

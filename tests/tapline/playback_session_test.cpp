#include <gtest/gtest.h>

#include <string>

#include "core/playback_session.h"

using namespace tapline;

namespace {

// Records what the session asks of the platform: I/B = event set/reset, R = hook removed.
class CFakeHost : public IPlaybackHost {
public:
    void SetIdle(bool idle) override
    {
        m_bIdle = idle;
        m_log += idle ? "I" : "B";
    }
    void RemoveHook() override { m_log += "R"; }
    bool m_bIdle = true;
    std::string m_log;
};

class PlaybackSession : public ::testing::Test {
protected:
    SPlaybackBlock m_shared = {};
    CFakeHost m_host;
    CPlaybackSession m_session{m_shared, m_host};
    const int m_codes[3] = {18, 65, 18};

    void PlayToTheEnd()
    {
        while (!m_session.Playback().Skip()) {
        }
        m_session.End();
    }
};

TEST_F(PlaybackSession, RefusesASecondRunUntilTheFirstEnds)
{
    ASSERT_TRUE(m_session.Begin(m_codes, 3));
    EXPECT_FALSE(m_host.m_bIdle);
    EXPECT_FALSE(m_session.Begin(m_codes, 1));
    EXPECT_EQ(m_shared.nLength, 3u);
    PlayToTheEnd();
    EXPECT_EQ(m_host.m_log, "BRI");
    EXPECT_FALSE(m_session.IsRunning());
    EXPECT_FALSE(m_session.Playback().IsLoaded());
    EXPECT_TRUE(m_session.Begin(m_codes, 1));
}

TEST_F(PlaybackSession, NothingBegunForWhatCannotBePlayed)
{
    EXPECT_FALSE(m_session.Begin(nullptr, 2));
    EXPECT_FALSE(m_session.Begin(m_codes, kPlaybackCapacity + 1));
    EXPECT_FALSE(m_session.IsRunning());
    EXPECT_EQ(m_host.m_log, "");
}

// The system cancels the journal playback part-way: the process must be able to play again,
// from the start of the new sequence, with no modifier left over from the cancelled one.
TEST_F(PlaybackSession, CancelEndsTheRunAndTheNextStartsClean)
{
    ASSERT_TRUE(m_session.Begin(m_codes, 3));
    m_session.JournalInstalled(1000);
    m_session.JournalCalled(1001);
    m_session.Playback().Current();
    m_session.Playback().Skip(); // Alt is down
    m_session.Cancel();
    EXPECT_EQ(m_host.m_log, "BRI");
    EXPECT_TRUE(m_host.m_bIdle);
    EXPECT_FALSE(m_session.IsRunning());
    EXPECT_EQ(m_shared.nPosition, 0u);

    m_session.Cancel(); // a second cancel message changes nothing
    EXPECT_EQ(m_host.m_log, "BRI");

    const int plain[] = {66};
    ASSERT_TRUE(m_session.Begin(plain, 1));
    const SKeyEvent& event = m_session.Playback().Current();
    EXPECT_EQ(event.nCode, 66);
    EXPECT_EQ(event.bDown, 1);
    EXPECT_EQ(event.bSystem, 0);
}

TEST_F(PlaybackSession, AJournalHookThatFellSilentIsTakenAsGone)
{
    const struct {
        const char* pszName;
        uint32_t nInstalledMs;
        bool bCalled;       // the hook was called 100 ms after its install
        uint32_t nSilentMs; // how long after that call the session looks
        bool bEnded;
    } cases[] = {
        {"called, then silent for the limit", 1000, true, kJournalSilenceMs, true},
        {"called, silent for less", 1000, true, kJournalSilenceMs - 1, false},
        // Never called: the platform plays another way, the hook is not gone.
        {"never called", 1000, false, 10 * kJournalSilenceMs, false},
        // The tick counter wraps around between the call and the look.
        {"across the wrap, silent", 0xFFFFFFFFu - 500, true, kJournalSilenceMs, true},
        {"across the wrap, not silent yet", 0xFFFFFFFFu - 500, true, kJournalSilenceMs / 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        SPlaybackBlock shared = {};
        CFakeHost host;
        CPlaybackSession session(shared, host);
        uint32_t nCallMs = c.nInstalledMs + 100;
        ASSERT_TRUE(session.Begin(m_codes, 3));
        session.JournalInstalled(c.nInstalledMs);
        if (c.bCalled)
            session.JournalCalled(nCallMs);
        EXPECT_EQ(session.EndIfJournalGone(nCallMs + c.nSilentMs), c.bEnded);
        EXPECT_EQ(session.IsRunning(), !c.bEnded);
        EXPECT_EQ(host.m_bIdle, c.bEnded);
    }
}

TEST_F(PlaybackSession, AnInjectedRunIsNeverTakenForAGoneHook)
{
    ASSERT_TRUE(m_session.Begin(m_codes, 3));
    EXPECT_FALSE(m_session.EndIfJournalGone(50000));
    EXPECT_TRUE(m_session.IsRunning());
    // A journal hook of an earlier run says nothing about this one.
    PlayToTheEnd();
    ASSERT_TRUE(m_session.Begin(m_codes, 3));
    EXPECT_FALSE(m_session.EndIfJournalGone(90000));
}

} // namespace

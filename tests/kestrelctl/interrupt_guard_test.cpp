// Ctrl+C while a transfer runs: every one only asks it to stop, and the previous handling
// is back afterwards.
#include <gtest/gtest.h>

#include <csignal>

#include "interrupt_guard.h"

namespace {

volatile std::sig_atomic_t g_nOutside = 0;

extern "C" void CountOutside(int)
{
    g_nOutside = g_nOutside + 1;
}

TEST(InterruptGuard, EveryCtrlCOnlyAsksToStopAndThePreviousHandlingReturns)
{
    void (*before)(int) = std::signal(SIGINT, CountOutside);
    g_nOutside = 0;
    {
        CInterruptGuard guard;
        EXPECT_FALSE(CInterruptGuard::Interrupted());
        ASSERT_EQ(0, std::raise(SIGINT));
        EXPECT_TRUE(CInterruptGuard::Interrupted());
        // The second one, as during the clean-up of the cancelled transfer.
        ASSERT_EQ(0, std::raise(SIGINT));
        ASSERT_EQ(0, std::raise(SIGINT));
        EXPECT_TRUE(CInterruptGuard::Interrupted());
        EXPECT_EQ(0, g_nOutside);
    }
    ASSERT_EQ(0, std::raise(SIGINT));
    EXPECT_EQ(1, g_nOutside);
    {
        CInterruptGuard next;
        EXPECT_FALSE(CInterruptGuard::Interrupted()) << "each transfer starts uninterrupted";
    }
    std::signal(SIGINT, before);
}

} // namespace

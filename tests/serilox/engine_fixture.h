// A simulated projector on a pseudo-terminal and an engine of the test's choice on its
// slave side, posting into a queue the test reads in order.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "engine_asic.h"
#include "engine_level5.h"
#include "engine_test_support.h"
#include "message_queue.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"

struct SPosted {
    unsigned int message;
    WPARAM source;
    LPARAM record;
};

class EngineTest : public ::testing::Test {
protected:
    void StartSimulator(SSimulatorOptions options = SSimulatorOptions())
    {
        ASSERT_TRUE(m_Pty.IsOpen()) << m_Pty.Error();
        m_pSim.reset(new CProjectorSimulator(options));
        ASSERT_TRUE(m_pSim->Start(m_Pty.MasterFd())) << m_pSim->Error();
    }

    template <class Engine>
    std::unique_ptr<Engine> Open(SeriloxThreadProc proc = &Engine::ASyncThreadCallBack)
    {
        std::unique_ptr<Engine> engine(new Engine(&m_Queue, proc));
        engine->SetDevicePath(m_Pty.SlavePath().c_str());
        EXPECT_EQ(engine->OpenSerilox(), 0);
        return engine;
    }

    // The next count messages, in posting order; fewer only when limitMs pass without one.
    std::vector<SPosted> Await(size_t count, unsigned long limitMs = kPatienceMs)
    {
        std::vector<SPosted> out;
        SQueuedMessage m;
        while (out.size() < count && m_Queue.Get(m, limitMs))
            out.push_back({m.message, m.wParam, m.lParam});
        return out;
    }

    // Messages up to and including the first of kind message.
    std::vector<SPosted> AwaitMessage(unsigned int message, unsigned long limitMs = kPatienceMs)
    {
        std::vector<SPosted> out;
        SQueuedMessage m;
        while (m_Queue.Get(m, limitMs)) {
            out.push_back({m.message, m.wParam, m.lParam});
            if (m.message == message)
                break;
        }
        return out;
    }

    // What has been posted so far, without waiting.
    std::vector<SPosted> Queued() { return Await(m_Queue.Count(), 0); }

    static std::vector<unsigned int> Kinds(const std::vector<SPosted>& posted)
    {
        std::vector<unsigned int> kinds;
        for (const SPosted& p : posted)
            kinds.push_back(p.message);
        return kinds;
    }

    // Times (ms, the simulator's clock) at which the projector received command frames.
    std::vector<double> FrameTimes() const
    {
        std::vector<double> times;
        for (const SLogEntry& e : m_pSim->Log().Entries())
            if (e.eKind == ELogKind::RxFrame)
                times.push_back(e.Ms());
        return times;
    }

    // Command frames come no more than specifiedMs apart, as the projector saw them. Its
    // clock has its own scheduling delays, which short windows feel most: upper bounds allow
    // for them, and callers hold the call's length on their own clock to the lower bound.
    void ExpectSpacing(const std::vector<double>& times, double specifiedMs) const
    {
        const double kSimulatorDelayMs = 100;
        for (size_t i = 1; i < times.size(); ++i)
            EXPECT_LT(times[i] - times[i - 1], kSlack * specifiedMs + kSimulatorDelayMs) << "frame " << i;
    }

    // Waits until the projector has received count command frames.
    bool AwaitFrames(size_t count) const { return m_pSim->Log().WaitForCount(ELogKind::RxFrame, count, kPatienceMs); }

    // The projector goes away mid-session: its side of the line closes.
    void HangUp()
    {
        m_pSim->Stop();
        m_Pty.HangUp();
    }

    CPseudoTerminal m_Pty;
    CMessageQueue m_Queue;
    std::unique_ptr<CProjectorSimulator> m_pSim;
};

inline CDataInformation NoParameter()
{
    return CDataInformation(0u);
}

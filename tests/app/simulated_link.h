// The fixture of the suites that drive a projector link against the simulated projector on a
// pseudo-terminal, with the link's messages on a plain queue, and what the projector received.
// UseTestClock puts the link on a clock the test moves, for cases that wait out silence.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link_receiver.h"
#include "projector_link.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "queue_link_host.h"
#include "test_clock.h"
#include "zelq_items.h"

template <class Events, class Host = CQueueLinkHost>
class SimulatedLinkTest : public ::testing::Test {
protected:
    SimulatedLinkTest() : m_Receiver(m_Link, m_Events)
    {
        m_Host.m_pReceiver = &m_Receiver;
        m_Link.Attach(&m_Host, &m_Receiver);
    }
    void SetUp() override
    {
        ASSERT_TRUE(m_Pty.IsOpen());
        m_pSim.reset(new CProjectorSimulator());
        ASSERT_TRUE(m_pSim->Start(m_Pty.MasterFd()));
        m_Host.m_Ports = {m_Pty.SlavePath()};
    }
    void TearDown() override
    {
        if (m_Link.IsOpen())
            m_Link.Close();
    }
    // Before the link opens: its engines and waits then read the test's clock, which moves
    // on whenever neither side can act before a deadline.
    void UseTestClock()
    {
        m_Clock.AddPeer([this] { return !m_pSim || m_pSim->IsIdle(); });
        m_Link.SetClock(m_Clock);
    }

    // Whole frames the projector received for one item, in order.
    std::vector<std::vector<uint8_t>> FramesFor(uint16_t item) const { return FramesFor(item, m_pSim->Log().Entries()); }
    static std::vector<std::vector<uint8_t>> FramesFor(uint16_t item, const std::vector<SLogEntry>& entries)
    {
        std::vector<std::vector<uint8_t>> frames;
        for (const SLogEntry& e : entries)
            if (e.eKind == ELogKind::RxFrame && ItemOf(e.bytes) == item)
                frames.push_back(e.bytes);
        return frames;
    }
    // Their parameters: the bytes between the header and the checksum.
    std::vector<std::vector<uint8_t>> Parameters(uint16_t item) const
    {
        std::vector<std::vector<uint8_t>> out;
        for (const std::vector<uint8_t>& frame : FramesFor(item)) {
            const size_t head = IsStackFrame(frame) ? 7 : 5;
            out.emplace_back(frame.begin() + static_cast<std::ptrdiff_t>(head), frame.end() - 1);
        }
        return out;
    }

    CPseudoTerminal m_Pty;
    std::unique_ptr<CProjectorSimulator> m_pSim;
    Host m_Host;
    CTestClock m_Clock;
    CProjectorLink m_Link;
    Events m_Events;
    CLinkReceiver m_Receiver;

private:
    static bool IsStackFrame(const std::vector<uint8_t>& frame) { return frame[0] == 0x1D; }
    static uint16_t ItemOf(const std::vector<uint8_t>& frame)
    {
        return static_cast<uint16_t>(BigEndianUnsigned(&frame[IsStackFrame(frame) ? 5 : 3], 2));
    }
};

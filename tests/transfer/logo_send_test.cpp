// The logo transfer through the projector link against the simulated projector: what arrives
// is compared byte for byte, and every way out restores the line speed and the link mode.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "../app/simulated_link.h"
#include "bulk_transfer.h"
#include "dib_logo.h"
#include "logo_transfer.h"

namespace {

// How long the link's engine waits for the answer to a command.
const uint32_t kEngineAnswerWaitMs = 10000;

class CRecordingProgress : public ITransferProgress {
public:
    void Progress(uint32_t position, int percent) override
    {
        positions.push_back(position);
        lastPercent = percent;
        if (cancelAfter && positions.size() == cancelAfter)
            cancelled = true;
    }
    bool Cancelled() override { return cancelled; }

    std::vector<uint32_t> positions;
    int lastPercent = -1;
    size_t cancelAfter = 0;
    bool cancelled = false;
};

std::vector<uint8_t> LogoImage(int32_t w, int32_t h, int zoom)
{
    CDIB picture;
    picture.CreateBlank(w, h, 24);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = picture.Row(y) + 3 * x;
            p[0] = uint8_t(x * 3);
            p[1] = uint8_t(y * 5);
            p[2] = uint8_t(x + y);
        }
    return BuildTransferImage(picture, zoom);
}

class LogoSend : public SimulatedLinkTest<CIgnoredEvents> {
protected:
    void SetUp() override
    {
        SimulatedLinkTest::SetUp();
        UseTestClock();
        ASSERT_EQ(m_Link.Open(), 1);
    }
    ETransferResult Send(const std::vector<uint8_t>& image)
    {
        CBulkTransfer transfer(m_Link, m_Progress);
        return transfer.Send(image, kLogoAddress, kLogoAreaLength);
    }
    std::vector<int> LinkModes() const
    {
        std::vector<int> modes;
        for (const auto& p : Parameters(kItemLinkMode))
            modes.push_back(p.empty() ? -1 : p[0]);
        return modes;
    }
    void ExpectRestored()
    {
        EXPECT_EQ(m_pSim->GetBaud(), 9600u);
        long long mode = -1;
        m_pSim->GetValue(1, kItemLinkMode, mode);
        EXPECT_EQ(mode, 0);
        EXPECT_EQ(m_Link.Transact(0, 2, 1, kItemBrightness, nullptr, 0), 1) << "still talking at 9600";
    }

    CRecordingProgress m_Progress;
};

TEST_F(LogoSend, TheProjectorReceivesEveryByteInBlocksOf1024)
{
    const std::vector<uint8_t> image = LogoImage(100, 50, 150);
    ASSERT_EQ(image.size(), 10014u);
    ASSERT_EQ(Send(image), ETransferResult::Sent);
    EXPECT_EQ(m_pSim->ReceivedImage(), image);

    const auto blocks = Parameters(kItemBlockData);
    ASSERT_EQ(blocks.size(), 10u);
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].size(), 3u + (i < 9 ? 1024u : 798u)) << i;
        EXPECT_EQ(BigEndianUnsigned(blocks[i].data(), 3), 0x400000u + 1024u * i) << i;
    }
    const auto areas = Parameters(kItemBlockAddress);
    ASSERT_EQ(areas.size(), 4u);
    for (size_t i = 0; i < areas.size(); ++i)
        EXPECT_EQ(BigEndianUnsigned(areas[i].data(), 3), 0x400000u + 0x10000u * i);
    EXPECT_EQ(Parameters(kItemBlockEnd), (std::vector<std::vector<uint8_t>>{{0}}));
    EXPECT_EQ(LinkModes(), (std::vector<int>{2, 0}));
    EXPECT_EQ(m_Link.GetSpeedIndex(), 3u) << "blocks went at 57600";
    EXPECT_EQ(m_Progress.positions.back(), 10014u);
    EXPECT_EQ(m_Progress.lastPercent, 100);
    long long power = -1;
    m_pSim->GetValue(1, kItemPower, power);
    EXPECT_EQ(power, 0) << "the lamp is off after a transfer";
    ExpectRestored();
}

TEST_F(LogoSend, TheLargestLogoCountsProgressInHundreds)
{
    const std::vector<uint8_t> image = LogoImage(400, 300, 100);
    ASSERT_EQ(image.size(), 240014u);
    ASSERT_EQ(Send(image), ETransferResult::Sent);
    EXPECT_EQ(m_pSim->ReceivedImage(), image);
    EXPECT_EQ(Parameters(kItemBlockData).size(), 235u);
    EXPECT_EQ(m_Progress.positions.front(), 10u);
    EXPECT_EQ(m_Progress.positions.back(), 2400u);
    EXPECT_EQ(m_Progress.lastPercent, 100);
}

TEST_F(LogoSend, CancellingAbortsAndRestores)
{
    m_Progress.cancelAfter = 3;
    ASSERT_EQ(Send(LogoImage(100, 50, 100)), ETransferResult::Cancelled);
    EXPECT_EQ(Parameters(kItemBlockData).size(), 4u) << "the block in flight, then the abort";
    EXPECT_EQ(Parameters(kItemBlockEnd), (std::vector<std::vector<uint8_t>>{{1}}));
    EXPECT_EQ(m_pSim->TransfersAborted(), 1u);
    EXPECT_EQ(m_pSim->TransfersEnded(), 0u);
    EXPECT_EQ(LinkModes(), (std::vector<int>{2, 0}));
    ExpectRestored();
}

TEST_F(LogoSend, ABlockNotTakenFailsWhateverTheEndWouldAnswer)
{
    // Refused, or taken without an answer (the end would then be accepted): the projector is
    // told to abort once the other blocks are sent. The silent block is waited out in full.
    for (EBlockFault fault : {EBlockFault::Refuse, EBlockFault::Silent}) {
        m_pSim->Log().Clear();
        m_pSim->SetBlockFault(4, fault);
        unsigned int aborted = m_pSim->TransfersAborted();
        const uint32_t start = m_Clock.TickCount();
        ASSERT_EQ(Send(LogoImage(100, 50, 100)), ETransferResult::Failed);
        if (fault == EBlockFault::Silent) {
            EXPECT_GE(m_Clock.TickCount() - start, kEngineAnswerWaitMs) << "given up before the engine's wait ended";
        }
        EXPECT_EQ(Parameters(kItemBlockData).size(), 10u) << "a block not taken does not stop the others";
        EXPECT_EQ(Parameters(kItemBlockEnd), (std::vector<std::vector<uint8_t>>{{1}}));
        EXPECT_EQ(m_pSim->TransfersAborted(), aborted + 1);
        EXPECT_EQ(m_pSim->TransfersEnded(), 0u);
        ExpectRestored();
    }
}

TEST_F(LogoSend, APulledCableEndsTheTransferAfterThreeSilentBlocks)
{
    m_pSim->SetBlockFault(2, EBlockFault::DropRest);
    ASSERT_EQ(Send(LogoImage(100, 50, 100)), ETransferResult::Failed);
    // The engine repeats a block it hears nothing about; the transfer asks for five.
    std::set<uint32_t> addresses;
    for (const auto& p : Parameters(kItemBlockData))
        addresses.insert(BigEndianUnsigned(p.data(), 3));
    EXPECT_EQ(addresses.size(), 5u) << "two taken, three without an answer";
    EXPECT_EQ(Parameters(kItemBlockEnd), (std::vector<std::vector<uint8_t>>{{1}}));
    ExpectRestored();
}

TEST_F(LogoSend, NoTransferModeMeansNothingIsSentOrRestored)
{
    ASSERT_EQ(m_pSim->Execute("range 0x0000 0 1"), "");
    ASSERT_EQ(Send(LogoImage(100, 50, 100)), ETransferResult::Failed);
    EXPECT_EQ(LinkModes(), (std::vector<int>{2}));
    EXPECT_TRUE(Parameters(kItemSpeed).empty());
    EXPECT_TRUE(Parameters(kItemBlockData).empty());
    EXPECT_EQ(m_pSim->GetBaud(), 9600u);
}

TEST_F(LogoSend, ASlowerProjectorGetsTheFastestSpeedItTakes)
{
    ASSERT_EQ(m_pSim->Execute("range 0x0006 0 2"), "");
    const std::vector<uint8_t> image = LogoImage(30, 20, 300);
    ASSERT_EQ(Send(image), ETransferResult::Sent);
    EXPECT_EQ(m_Link.GetSpeedIndex(), 2u);
    EXPECT_EQ(m_pSim->ReceivedImage(), image);
    ExpectRestored();
}

TEST_F(LogoSend, TheProjectorWritesTheImageForScripts)
{
    const std::string path = testing::TempDir() + "logo_send_image.bin";
    ASSERT_EQ(m_pSim->Execute("image " + path), "");
    const std::vector<uint8_t> image = LogoImage(20, 10, 100);
    ASSERT_EQ(Send(image), ETransferResult::Sent);
    std::vector<uint8_t> written;
    ASSERT_TRUE(LoadFileBytes(path, written, 1 << 20));
    EXPECT_EQ(written, image);
    char digest[16];
    std::snprintf(digest, sizeof digest, "%08X", CProjectorSimulator::Digest(image));
    EXPECT_TRUE(m_pSim->Log().WaitFor(
        [&](const std::vector<SLogEntry>& entries) {
            for (const SLogEntry& e : entries)
                if (e.strText.find("transfer end") != std::string::npos && e.strText.find(digest) != std::string::npos)
                    return true;
            return false;
        },
        1000));
    std::remove(path.c_str());
}

} // namespace

// Sending a set image through the projector link to the simulated projector.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../app/simulated_link.h"
#include "ani_info.h"
#include "set_transfer.h"

namespace {

// Records the blocks sent (the bar counts bytes for a set this small) and cancels on the
// given poll; the transfer polls once after each block.
class CScriptedProgress : public ITransferProgress {
public:
    void Progress(uint32_t position, int percent) override
    {
        EXPECT_EQ(position % 1024, 0u);
        EXPECT_EQ(percent, static_cast<int>(position * 100 / 4096));
        const size_t sent = position / 1024;
        blocks.push_back(sent);
        if (onBlock)
            onBlock(sent);
    }
    bool Cancelled() override { return cancelOnPoll && ++polls >= cancelOnPoll; }

    std::vector<size_t> blocks;
    size_t cancelOnPoll = 0;
    size_t polls = 0;
    std::function<void(size_t)> onBlock;
};

class SetTransfer : public SimulatedLinkTest<CIgnoredEvents> {
protected:
    void SetUp() override
    {
        SimulatedLinkTest::SetUp();
        ASSERT_EQ(m_Link.Open(), 1);
        CAniInfo set;
        set.CreateNew(8, 32, 32, 4);
        for (int f = 0; f < 8; ++f)
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    set.GetFrame(f).SetPixel(x, y, (x + 3 * y + 5 * f) % 16);
        ASSERT_TRUE(set.PackImage(m_Image));
        m_Set = set;
    }

    std::vector<uint8_t> m_Image;
    CAniInfo m_Set;
};

TEST_F(SetTransfer, FourBlocksCarryTheImage)
{
    CScriptedProgress progress;
    ASSERT_EQ(SendSetImage(m_Link, m_Image, &progress), 1);
    EXPECT_EQ(progress.blocks, (std::vector<size_t>{1, 2, 3, 4}));

    auto blocks = Parameters(kItemBlockData);
    ASSERT_EQ(blocks.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(blocks[i].size(), 1027u);
        EXPECT_EQ(BigEndianUnsigned(blocks[i].data(), 3), 0x4F2000u + 1024 * i);
        EXPECT_TRUE(std::equal(blocks[i].begin() + 3, blocks[i].end(), m_Image.begin() + 1024 * i));
    }
    CReceivedBlocks stored = m_pSim->BulkTransfer();
    EXPECT_EQ(stored.Read(0x4F2000, 4096), m_Image);
    EXPECT_EQ(stored.LastEnd(), 0);
    EXPECT_EQ(Parameters(kItemBlockAddress), (std::vector<std::vector<uint8_t>>{{0x4F, 0x20, 0x00}}));
    EXPECT_EQ(Parameters(kItemLinkMode), (std::vector<std::vector<uint8_t>>{{2}, {0}}));
    EXPECT_EQ(m_pSim->GetBaud(), 9600u) << "speed restored";
}

TEST_F(SetTransfer, FailedOrCancelledBlockAborts)
{
    const struct {
        const char* name;
        size_t cancelOnPoll;
        bool failSecond;
        uint32_t lastAddress; // no block beyond it reached the projector
    } cases[] = {
        {"cancelled after the first block", 1, false, 0x4F2000},
        {"second block unanswered", 0, true, 0x4F2400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_pSim->Log().Clear();
        CScriptedProgress progress;
        progress.cancelOnPoll = c.cancelOnPoll;
        if (c.failSecond)
            progress.onBlock = [this](size_t sent) {
                if (sent == 1)
                    m_pSim->PushFaults(std::vector<SFault>(3, SFault{EFault::NoAck}));
            };
        EXPECT_EQ(SendSetImage(m_Link, m_Image, &progress), 0);
        EXPECT_EQ(Parameters(kItemBlockEnd), (std::vector<std::vector<uint8_t>>{{1}}));
        for (const std::vector<uint8_t>& block : Parameters(kItemBlockData))
            EXPECT_LE(BigEndianUnsigned(block.data(), 3), c.lastAddress);
        EXPECT_EQ(m_pSim->BulkTransfer().LastEnd(), 1);
        EXPECT_EQ(Parameters(kItemLinkMode), (std::vector<std::vector<uint8_t>>{{2}, {0}})) << "mode put back";
        EXPECT_EQ(m_pSim->GetBaud(), 9600u);
    }
}

TEST_F(SetTransfer, RefusedBulkModeSendsNothingElse)
{
    m_pSim->PushFaults(std::vector<SFault>(3, SFault{EFault::Nak}));
    EXPECT_EQ(SendSetImage(m_Link, m_Image), 0);
    EXPECT_TRUE(Parameters(kItemBlockData).empty());
    EXPECT_TRUE(Parameters(kItemSpeed).empty());
    EXPECT_EQ(Parameters(kItemLinkMode).size(), 3u) << "three attempts of mode 2, no mode 0";
}

TEST_F(SetTransfer, FailedReturnToNormalModeFailsTheWhole)
{
    CScriptedProgress progress;
    progress.onBlock = [this](size_t sent) {
        // The end marker, then mode 0 refused in all its attempts.
        if (sent == 4)
            m_pSim->PushFaults(
                {SFault{}, SFault{}, SFault{}, SFault{EFault::Nak}, SFault{EFault::Nak}, SFault{EFault::Nak}});
    };
    EXPECT_EQ(SendSetImage(m_Link, m_Image, &progress), 0);
    EXPECT_EQ(m_pSim->BulkTransfer().LastEnd(), 0) << "the data itself went through";
}

// The page tells why a set did not go out: each reason, and nothing sent for those found
// before the transfer.
TEST_F(SetTransfer, ASetThatIsNotSentSaysWhy)
{
    CAniInfo sevenFrames, wrongDepth;
    sevenFrames.CreateNew(7, 32, 32, 4);
    wrongDepth.CreateNew(8, 32, 32, 8);
    EXPECT_EQ(SendCursorSet(m_Link, sevenFrames), ESetSend::NotSendable);
    EXPECT_EQ(SendCursorSet(m_Link, wrongDepth), ESetSend::NotSendable);
    EXPECT_TRUE(Parameters(kItemLinkMode).empty()) << "nothing reached the projector";

    m_pSim->PushFaults(std::vector<SFault>(3, SFault{EFault::Nak}));
    EXPECT_EQ(SendCursorSet(m_Link, m_Set), ESetSend::Failed);
    EXPECT_TRUE(Parameters(kItemBlockData).empty());

    m_pSim->Log().Clear();
    EXPECT_EQ(SendCursorSet(m_Link, m_Set), ESetSend::Sent);
    EXPECT_EQ(m_pSim->BulkTransfer().Read(0x4F2000, 4096), m_Image);

    m_Link.Close();
    m_pSim->Log().Clear();
    EXPECT_EQ(SendCursorSet(m_Link, m_Set), ESetSend::Unconnected);
    EXPECT_TRUE(Parameters(kItemLinkMode).empty());
}

} // namespace

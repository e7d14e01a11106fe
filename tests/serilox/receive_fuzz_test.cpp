// Arbitrary bytes on the line and in the frame parsers: nothing may crash, hang or read out
// of bounds (the sanitizers watch), and the engine must still work afterwards.
#include <random>

#include "engine_fixture.h"

namespace {

std::vector<uint8_t> RandomStream(std::mt19937& random, size_t length)
{
    // Start, ACK and NAK bytes and tiny or huge lengths are what stress the receive path.
    static const uint8_t interesting[] = {0x1B, 0x1D, 0x06, 0x15, 0x00, 0x01, 0x05, 0x06, 0x07, 0x08, 0xFF};
    std::vector<uint8_t> bytes(length);
    for (uint8_t& b : bytes)
        b = random() % 3 ? interesting[random() % sizeof interesting] : static_cast<uint8_t>(random());
    return bytes;
}

TEST(ReceiveFuzz, ParsersAcceptAnyBytes)
{
    std::mt19937 random(20261207);
    // Reused across rounds, as the engines reuse their ring records.
    CZelqLevel4Packet l4;
    CZelqLevel5Packet l5;
    CASICPacket asic;
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> bytes = RandomStream(random, random() % 40);
        CDataInformation frame(bytes.data(), static_cast<unsigned int>(bytes.size()));
        l4 = frame;
        l5 = frame;
        asic = frame;
        // What the parse takes as parameter is always inside the frame.
        EXPECT_LE(l5.GetParameter()->GetSize() + (bytes.empty() ? 0u : 1u), frame.GetSize());
        EXPECT_LE(asic.GetParameter()->GetSize(), frame.GetSize());
        l5.IsCheckSumValid();
    }
}

using LineFuzz = EngineTest;

TEST_F(LineFuzz, EngineSurvivesGarbageAndStillAnswers)
{
    StartSimulator();
    auto engine = Open<CCommZelqLevel5>();
    std::mt19937 random(7);
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 40; ++round) {
        m_pSim->SendRaw(RandomStream(random, 1 + random() % 64));
        // Keep the queue short; records are only read while fresh.
        Queued();
    }
    m_pSim->ClearFaults();
    // A frame that promised more than came holds the receive thread for up to a second per
    // read and swallows what follows, so the first commands may fail; the engine must come
    // back and answer.
    int result = -1;
    for (int attempt = 0; attempt < 10 && result != 0; ++attempt) {
        result = engine->SendCommand(GetCommand(0x0003), NoParameter(), 1, 1000);
        Queued();
    }
    EXPECT_EQ(result, 0);
    EXPECT_LT(ElapsedMs(start), 20000);
}

} // namespace

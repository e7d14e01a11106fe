#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/key_playback.h"
#include "core/tapline_messages.h"

using namespace tapline;

namespace {

// Key events written the way the messages read: D/U = WM_KEYDOWN/UP, SD/SU = WM_SYSKEY…
struct SExpected {
    const char* pszKind;
    int nCode;
};

std::string Describe(const SKeyEvent& e)
{
    return std::string(e.bSystem ? "S" : "") + (e.bDown ? "D" : "U") + std::to_string(e.nCode);
}

std::vector<std::string> Describe(const std::vector<SExpected>& expected)
{
    std::vector<std::string> out;
    for (const SExpected& e : expected)
        out.push_back(e.pszKind + std::to_string(e.nCode));
    return out;
}

std::vector<std::string> PlayAll(const std::vector<int>& codes)
{
    SPlaybackState state = {};
    uint32_t nPosition = 0;
    SKeyEvent event = {};
    std::vector<std::string> out;
    while (NextKeyEvent(state, codes.data(), static_cast<uint32_t>(codes.size()), nPosition, event)) {
        out.push_back(Describe(event));
        if (out.size() > 4 * codes.size() + 4)
            break;
    }
    EXPECT_EQ(nPosition, codes.size());
    return out;
}

struct SSequenceCase {
    const char* pszName;
    std::vector<int> codes;
    std::vector<SExpected> events;
};

class SequenceTable : public ::testing::TestWithParam<SSequenceCase> {};

TEST_P(SequenceTable, EventsAndMessageKinds)
{
    EXPECT_EQ(PlayAll(GetParam().codes), Describe(GetParam().events));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SequenceTable,
    ::testing::Values(
        SSequenceCase{"AltAlone", {18, 18}, {{"SD", 18}, {"SU", 18}}},
        SSequenceCase{"AltAroundKey", {18, 65, 18}, {{"SD", 18}, {"SD", 65}, {"SU", 65}, {"U", 18}}},
        SSequenceCase{"CtrlAltAroundKey",
                      {17, 18, 65, 18, 17},
                      {{"D", 17}, {"D", 18}, {"D", 65}, {"U", 65}, {"U", 18}, {"U", 17}}},
        SSequenceCase{"AltCtrlReleasedInsideOut",
                      {18, 17, 65, 17, 18},
                      {{"SD", 18}, {"D", 17}, {"D", 65}, {"U", 65}, {"SU", 17}, {"U", 18}}},
        SSequenceCase{"ShiftAroundKey", {16, 65, 16}, {{"D", 16}, {"D", 65}, {"U", 65}, {"U", 16}}},
        SSequenceCase{"ShiftUnderAlt", {18, 16, 16, 18}, {{"SD", 18}, {"SD", 16}, {"SU", 16}, {"SU", 18}}},
        // A new Alt press forgets the key typed under the previous one.
        SSequenceCase{"AltPressedAgain",
                      {18, 65, 18, 18, 18},
                      {{"SD", 18}, {"SD", 65}, {"SU", 65}, {"U", 18}, {"SD", 18}, {"SU", 18}}},
        SSequenceCase{"PlainKeys", {65, 9, 65}, {{"D", 65}, {"U", 65}, {"D", 9}, {"U", 9}, {"D", 65}, {"U", 65}}},
        // Code 0 still gets its key-up.
        SSequenceCase{"CodeZero", {0, 66}, {{"D", 0}, {"U", 0}, {"D", 66}, {"U", 66}}}, SSequenceCase{"Empty", {}, {}}),
    [](const ::testing::TestParamInfo<SSequenceCase>& info) { return std::string(info.param.pszName); });

TEST(KeyPlayback, DrivenLikeAJournalHook)
{
    SPlaybackBlock shared = {};
    CKeyPlayback playback(shared);
    const int codes[] = {18, 65, 18};
    ASSERT_TRUE(playback.Load(codes, 3));
    EXPECT_EQ(shared.bFirstFetch, 1u);
    EXPECT_TRUE(playback.IsLoaded());

    std::vector<std::string> seen;
    for (int nGuard = 0; nGuard < 10; ++nGuard) {
        // The system may ask for the same event more than once before skipping it.
        std::string first = Describe(playback.Current());
        EXPECT_EQ(Describe(playback.Current()), first);
        EXPECT_EQ(shared.bFirstFetch, 0u);
        seen.push_back(first);
        if (playback.Skip())
            break;
    }
    EXPECT_EQ(seen, Describe({{"SD", 18}, {"SD", 65}, {"SU", 65}, {"U", 18}}));
    EXPECT_FALSE(playback.IsLoaded());
    EXPECT_EQ(shared.nLength, 0u);
    EXPECT_EQ(shared.nPosition, 0u);
}

TEST(KeyPlayback, LoadCopiesAndRewinds)
{
    SPlaybackBlock shared = {};
    CKeyPlayback playback(shared);
    int codes[] = {16, 65, 16};
    ASSERT_TRUE(playback.Load(codes, 3));
    EXPECT_FALSE(playback.Skip());
    EXPECT_EQ(Describe(playback.Current()), "D65");
    // A fresh load forgets the Shift still down and the position of the last one.
    codes[1] = 66;
    ASSERT_TRUE(playback.Load(codes + 1, 1));
    codes[1] = 67;
    EXPECT_EQ(Describe(playback.Current()), "D66");
    EXPECT_FALSE(playback.Skip());
    EXPECT_EQ(Describe(playback.Current()), "U66");
    EXPECT_TRUE(playback.Skip());
}

TEST(KeyPlayback, LoadRefusesWhatDoesNotFit)
{
    SPlaybackBlock shared = {};
    CKeyPlayback playback(shared);
    std::vector<int> codes(kPlaybackCapacity + 1, 65);
    EXPECT_FALSE(playback.Load(codes.data(), kPlaybackCapacity + 1));
    EXPECT_FALSE(playback.Load(codes.data(), -1));
    EXPECT_FALSE(playback.Load(nullptr, 2));
    EXPECT_FALSE(playback.IsLoaded());

    codes[kPlaybackCapacity - 1] = 66;
    ASSERT_TRUE(playback.Load(codes.data(), kPlaybackCapacity));
    EXPECT_EQ(shared.nLength, static_cast<uint32_t>(kPlaybackCapacity));
    int nEvents = 1;
    SKeyEvent last = playback.Current();
    while (!playback.Skip()) {
        last = playback.Current();
        ++nEvents;
    }
    EXPECT_EQ(nEvents, 2 * kPlaybackCapacity);
    EXPECT_EQ(Describe(last), "U66");
}

TEST(MousePacking, XHighYLowAndBackIncludingNegatives)
{
    const struct {
        int x, y;
        uint32_t packed;
    } cases[] = {
        {150, 260, 0x00960104u}, {0, 0, 0u}, {-5, 10, 0xFFFB000Au}, {10, -5, 0x000AFFFBu}, {-32768, 32767, 0x80007FFFu},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PackMousePoint(c.x, c.y), c.packed) << c.x << "," << c.y;
        EXPECT_EQ(UnpackMouseX(c.packed), c.x);
        EXPECT_EQ(UnpackMouseY(c.packed), c.y);
        // The receiver may see the value sign-extended to a 64-bit lParam.
        uint64_t extended = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(c.packed)));
        EXPECT_EQ(UnpackMouseX(extended), c.x);
        EXPECT_EQ(UnpackMouseY(extended), c.y);
    }
}

} // namespace

#include "core/low_level_input.h"

#include <gtest/gtest.h>

namespace {

TEST(LowLevelInput, SidedModifiersAreReportedAsTheirGenericCodes)
{
    const struct {
        uint32_t in;
        int out;
    } cases[] = {{160, 16}, {161, 16},  {162, 17}, {163, 17},  {164, 18},    {165, 18},
                 {16, 16},  {'P', 'P'}, {27, 27},  {166, 166}, {0x1A5, 0xA5}};
    for (const auto& c : cases)
        EXPECT_EQ(c.out, tapline::ReportedKeyCode(c.in)) << c.in;
}

TEST(LowLevelInput, KeystrokeFlagsAsAThreadHookGetsThem)
{
    const struct {
        uint32_t scan, lowFlags, flags;
    } cases[] = {
        {0x19, 0, 0x00190001},
        {0x19, tapline::kLowUp, 0xC0190001},
        {0x48, tapline::kLowExtended, 0x01480001},
        {0x3E, tapline::kLowAltDown, 0x203E0001},
        {0x1E, tapline::kLowAltDown | tapline::kLowUp, 0xE01E0001},
        {0x1FF, 0x10, 0x00FF0001}, // injected: no flag of its own; scan code to eight bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.flags, tapline::KeystrokeFlags(c.scan, c.lowFlags)) << std::hex << c.scan << " " << c.lowFlags;
}

} // namespace

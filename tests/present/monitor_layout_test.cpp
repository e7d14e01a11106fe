// The monitor an effect runs on, and the drawers' rectangles on monitors other than the
// primary one, left of it and above it included.
#include "monitor_layout.h"

#include "geometry_test_support.h"

#include <gtest/gtest.h>

namespace {

bool Inside(const SRect& inner, const SRect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

const SRect kPrimary{0, 0, 1280, 1024};
const SRect kRight{1280, 0, 2304, 768}; // the projector right of the laptop, as Wine reports it
const SRect kLeft{-1920, -200, 0, 880};
const SRect kAbove{0, -1080, 1920, 0};

const std::vector<SMonitor> kOne = {{{0, 0, 1920, 1080}, true}};
const std::vector<SMonitor> kTwo = {{kPrimary, true}, {kRight, false}};
// Listed with the primary one not first, as the system may.
const std::vector<SMonitor> kLeftOfPrimary = {{kLeft, false}, {kPrimary, true}};
const std::vector<SMonitor> kThree = {{kAbove, false}, {kLeft, false}, {kPrimary, true}};

TEST(MonitorLayout, TheMonitorUnderThePointer)
{
    const struct {
        const char* name;
        const std::vector<SMonitor>* layout;
        SPoint pointer;
        int index;
    } cases[] = {
        {"one", &kOne, {0, 0}, 0},
        {"one, beyond its edge", &kOne, {5000, -30}, 0},
        {"two, on the primary", &kTwo, {1279, 1023}, 0},
        {"two, first pixel of the second", &kTwo, {1280, 0}, 1},
        {"two, on the second", &kTwo, {2000, 300}, 1},
        // Below the smaller monitor: the nearest one is the second (133 down), not the primary.
        {"two, in the gap below the second", &kTwo, {2000, 900}, 1},
        {"two, in the gap near the primary", &kTwo, {1300, 1000}, 0},
        {"left of the primary", &kLeftOfPrimary, {-1, 0}, 0},
        {"left of the primary, its top row", &kLeftOfPrimary, {-1920, -200}, 0},
        {"left of the primary, on the primary", &kLeftOfPrimary, {0, 0}, 1},
        {"three, above", &kThree, {500, -1}, 0},
        {"three, left", &kThree, {-5, 500}, 1},
        {"three, primary", &kThree, {5, 5}, 2},
        {"three, above the left one", &kThree, {-100, -1000}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.index, MonitorAt(*c.layout, c.pointer)) << c.name;
    EXPECT_EQ(-1, MonitorAt({}, {0, 0}));
}

TEST(MonitorLayout, TheChoiceBetweenPointerAndPrimary)
{
    EXPECT_EQ(kRight, EffectMonitorRect(kTwo, {2000, 300}, EFFECT_MONITOR_POINTER));
    EXPECT_EQ(kPrimary, EffectMonitorRect(kTwo, {2000, 300}, EFFECT_MONITOR_PRIMARY));
    EXPECT_EQ(kLeft, EffectMonitorRect(kThree, {-5, 500}, EFFECT_MONITOR_POINTER));
    EXPECT_EQ(kPrimary, EffectMonitorRect(kThree, {-5, 500}, EFFECT_MONITOR_PRIMARY));
    EXPECT_EQ(kPrimary, EffectMonitorRect(kLeftOfPrimary, {-5, 500}, EFFECT_MONITOR_PRIMARY));
    EXPECT_TRUE(EffectMonitorRect({}, {0, 0}, EFFECT_MONITOR_POINTER).IsEmpty());
    // No monitor marked primary: the first one.
    EXPECT_EQ(kAbove, EffectMonitorRect({{kAbove, false}, {kLeft, false}}, {-5, 5}, EFFECT_MONITOR_PRIMARY));

    EXPECT_EQ(EFFECT_MONITOR_PRIMARY, EffectMonitorFromValue(1));
    EXPECT_EQ(EFFECT_MONITOR_POINTER, EffectMonitorFromValue(0));
    EXPECT_EQ(EFFECT_MONITOR_POINTER, EffectMonitorFromValue(7));
}

TEST(MonitorLayout, ThePointerIsConfinedOnlyWhereThereIsMoreThanOneMonitor)
{
    EXPECT_FALSE(NeedsConfinement(kOne, kOne[0].rect));
    EXPECT_TRUE(NeedsConfinement(kTwo, kRight));
    EXPECT_TRUE(NeedsConfinement(kTwo, kPrimary));
    EXPECT_EQ((SRect{-1920, -1080, 1920, 1024}), VirtualScreen(kThree));
    EXPECT_EQ((SPoint{1280, 767}), ClampToRect({10, 900}, kRight));
    EXPECT_EQ((SPoint{-1, 879}), ClampToRect({5, 1000}, kLeft));
    EXPECT_EQ((SPoint{2000, 300}), ClampToRect({2000, 300}, kRight));
}

TEST(MonitorLayout, TheSpotStaysOnItsMonitor)
{
    const struct {
        SRect monitor;
        SPoint centre;
    } cases[] = {
        {kRight, {2000, 300}}, {kRight, {1280, 0}}, // the spot's corner hangs over the primary monitor
        {kLeft, {-1000, 300}}, {kLeft, {-5, -195}}, {kAbove, {900, -540}},
    };
    for (const auto& c : cases) {
        std::vector<SRect> spans = SpotSpans(c.centre, 200, c.monitor);
        ASSERT_FALSE(spans.empty()) << c.centre.x << "," << c.centre.y;
        // The spot, and so the hole in the surround, never reaches the neighbouring monitor.
        for (const SRect& r : spans)
            EXPECT_TRUE(Inside(r, c.monitor)) << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    }
}

TEST(MonitorLayout, BarsSpanTheirMonitorAndSitOnEvenCoordinates)
{
    EXPECT_EQ((SPoint{2002, 0}), BarPosition({2001, 500}, true, kRight));
    EXPECT_EQ((SRect{2002, 0, 2006, 768}), BarRect({2002, 0}, true, 4, kRight));
    EXPECT_EQ((SPoint{1280, 500}), BarPosition({2001, 500}, false, kRight));
    EXPECT_EQ((SRect{1280, 500, 2304, 504}), BarRect({1280, 500}, false, 4, kRight));
    // Left of and above the primary: negative odd coordinates go up to the next even one.
    EXPECT_EQ((SPoint{-1000, -200}), BarPosition({-1001, 77}, true, kLeft));
    EXPECT_EQ((SRect{-1000, -200, -996, 880}), BarRect({-1000, -200}, true, 4, kLeft));
    EXPECT_EQ((SPoint{0, -540}), BarPosition({300, -541}, false, kAbove));
    EXPECT_EQ((SRect{0, -540, 1920, -536}), BarRect({0, -540}, false, 4, kAbove));
}

TEST(MonitorLayout, BandStripsStayOnTheirMonitor)
{
    // A band dragged to the monitor's edge is saved only where that monitor is.
    SRect band = IntersectionOf(BandRect({1300, 700}, {2400, 900}, 3), kRight);
    EXPECT_EQ((SRect{1297, 697, 2304, 768}), band);
    EXPECT_EQ((SRect{-1920, -200, -1889, -169}), IntersectionOf(BandRect({-1990, -300}, {-1900, -180}, 10), kLeft));
}

} // namespace

#include "effect_geometry.h"

#include "geometry_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(EffectGeometry, GridSnapsDownToItsMultiples)
{
    const struct {
        SPoint in;
        int grid;
        SPoint out;
    } cases[] = {
        {{0, 0}, 20, {0, 0}},        {{19, 39}, 20, {0, 20}}, {{20, 40}, 20, {20, 40}}, {{399, 21}, 20, {380, 20}},
        {{-1, -21}, 20, {-20, -40}}, {{37, 5}, 1, {37, 5}},   {{37, 5}, 0, {37, 5}},    {{37, 5}, 7, {35, 0}},
    };
    for (const auto& c : cases) {
        SPoint p = SnapToGrid(c.in, c.grid);
        EXPECT_EQ(c.out.x, p.x) << c.in.x << "," << c.in.y << " grid " << c.grid;
        EXPECT_EQ(c.out.y, p.y) << c.in.x << "," << c.in.y << " grid " << c.grid;
    }
}

TEST(EffectGeometry, ShapesUpToThreePixelsAcrossAreNotDrawn)
{
    // Two clicks 3 x 50 pixels apart, in either order, draw nothing.
    EXPECT_FALSE(IsShapeDrawn(SpanRect({100, 100}, {103, 150})));
    EXPECT_FALSE(IsShapeDrawn(SpanRect({103, 150}, {100, 100})));
    EXPECT_FALSE(IsShapeDrawn(SpanRect({100, 100}, {150, 103})));
    EXPECT_TRUE(IsShapeDrawn(SpanRect({100, 100}, {104, 104})));
    EXPECT_TRUE(IsShapeDrawn(SpanRect({300, 200}, {100, 100})));
}

TEST(EffectGeometry, BandsAndSpriteUnionsCoverThePen)
{
    // The band covers the far corner's pixel and the pen's width on every side.
    SRect band = BandRect({50, 80}, {10, 20}, 5);
    EXPECT_EQ((SRect{5, 15, 56, 86}), band);
    EXPECT_EQ((SRect{9, 19, 52, 82}), BandRect({10, 20}, {50, 80}, 0));
    // A sprite's move copies one rectangle holding the old and the new place.
    EXPECT_EQ((SRect{0, 0, 40, 50}), UnionOf({0, 0, 32, 32}, {8, 18, 40, 50}));
    EXPECT_EQ((SRect{8, 18, 40, 50}), UnionOf({}, {8, 18, 40, 50}));
    EXPECT_EQ((SRect{8, 18, 32, 32}), IntersectionOf({0, 0, 32, 32}, {8, 18, 40, 50}));
    EXPECT_TRUE(IntersectionOf({0, 0, 10, 10}, {10, 0, 20, 10}).IsEmpty());
}

TEST(EffectGeometry, SpotOfDiameter200IsACircle)
{
    const SRect screen{0, 0, 1920, 1080};
    SPoint centre{960, 540};
    EXPECT_EQ((SRect{860, 440, 1062, 642}), SpotRect(centre, 200));
    std::vector<SRect> spans = SpotSpans(centre, 200, screen);
    ASSERT_FALSE(spans.empty());
    // One span per row, inside the box, widest in the middle and symmetric about it.
    EXPECT_GE(spans.front().top, 440);
    EXPECT_LE(spans.back().bottom, 642);
    size_t widest = 0, lastWidest = 0;
    for (size_t i = 0; i < spans.size(); ++i) {
        EXPECT_EQ(spans[i].top + 1, spans[i].bottom);
        if (i) {
            EXPECT_EQ(spans[i - 1].top + 1, spans[i].top);
        }
        EXPECT_EQ(spans[i].left - 860, 1062 - spans[i].right) << "row " << spans[i].top;
        if (spans[i].Width() > spans[widest].Width())
            widest = lastWidest = i;
        if (spans[i].Width() == spans[widest].Width())
            lastWidest = i;
    }
    // Full width across the middle rows, centred on the box's centre.
    EXPECT_EQ(202, spans[widest].Width());
    EXPECT_NEAR(541, (spans[widest].top + spans[lastWidest].bottom) / 2.0, 0.5);
    // The area of a circle of radius 101.
    double circle = 3.14159265 * 101 * 101;
    EXPECT_NEAR(circle, static_cast<double>(Area(spans)), circle * 0.01);
}

TEST(EffectGeometry, SpotAtTheCornerIsClippedToTheScreen)
{
    const SRect screen{0, 0, 800, 600};
    std::vector<SRect> spans = SpotSpans({0, 0}, 200, screen);
    ASSERT_FALSE(spans.empty());
    EXPECT_EQ(0, spans.front().top);
    for (const SRect& s : spans)
        EXPECT_EQ(0, s.left);
    // Exactly the whole spot's rows cut at the screen's edges.
    std::vector<SRect> cut;
    for (const SRect& row : SpotSpans({0, 0}, 200, SRect{-1000, -1000, 1000, 1000})) {
        SRect inside = IntersectionOf(row, screen);
        if (!inside.IsEmpty())
            cut.push_back(inside);
    }
    EXPECT_EQ(cut, spans);
    EXPECT_TRUE(SpotSpans({-500, -500}, 200, screen).empty());
}

TEST(EffectGeometry, BarsSitOnEvenCoordinatesAlongAnEdge)
{
    const SRect screen{0, 0, 1920, 1080};
    EXPECT_EQ((SPoint{102, 0}), BarPosition({101, 77}, true, screen));
    EXPECT_EQ((SPoint{100, 0}), BarPosition({100, 77}, true, screen));
    EXPECT_EQ((SPoint{0, 78}), BarPosition({101, 77}, false, screen));
    EXPECT_EQ((SRect{102, 0, 106, 1080}), BarRect({102, 0}, true, 4, screen));
    EXPECT_EQ((SRect{0, 78, 1920, 82}), BarRect({0, 78}, false, 4, screen));
}

TEST(EffectGeometry, TransparentColoursByDisplayDepth)
{
    const struct {
        COLORVALUE color;
        bool transparent;
        int bits;
        COLORVALUE drawn;
        bool bAnd;
    } cases[] = {
        {0xFFFFFF, true, 16, 0xC8C8C8, true},   {0x000000, true, 16, 0x404040, true},
        {0xFFFFFF, true, 32, 0xC8C8C8, true},   {0x000000, true, 24, 0x404040, true},
        {0xFFFFFF, true, 8, 0x808080, true},    {0x000000, true, 8, 0x808080, true},
        {0x0000FF, true, 16, 0x0000FF, true},   {0x0000FF, true, 8, 0x0000FF, true},
        {0xFFFFFF, false, 16, 0xFFFFFF, false}, {0x000000, false, 8, 0x000000, false},
    };
    for (const auto& c : cases) {
        SPenColor pen = AdjustPenColor(c.color, c.transparent, c.bits);
        EXPECT_EQ(c.drawn, pen.color) << std::hex << c.color << " at " << std::dec << c.bits;
        EXPECT_EQ(c.bAnd, pen.bAnd) << std::hex << c.color << " at " << std::dec << c.bits;
    }
}

TEST(EffectGeometry, SpotTilesByColour)
{
    EXPECT_EQ(286, SpotTileResource(0x0000FF));
    EXPECT_EQ(289, SpotTileResource(0x00FF00));
    EXPECT_EQ(292, SpotTileResource(0x00FFFF));
    EXPECT_EQ(0, SpotTileResource(0x123456));
}

} // namespace

namespace {

bool Covered(const std::vector<SRect>& strips, double x, double y)
{
    int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
    for (const SRect& r : strips)
        if (px >= r.left && px < r.right && py >= r.top && py < r.bottom)
            return true;
    return false;
}

// Points of the outline a band of the shape draws between a and b, one pixel either side.
std::vector<std::pair<double, double>> OutlinePoints(SPoint a, SPoint b, EBandShape shape)
{
    SRect box = SpanRect(a, b);
    double l = box.left, t = box.top, r = box.right, bt = box.bottom;
    std::vector<std::pair<double, double>> points;
    auto ellipse = [&](double el, double er, double from, double to) {
        double cx = (el + er + 1) / 2, cy = (t + bt + 1) / 2, rx = (er + 1 - el) / 2, ry = (bt + 1 - t) / 2;
        for (double th = from; th <= to; th += 0.004)
            points.push_back({cx + (rx - 0.5) * std::cos(th), cy + (ry - 0.5) * std::sin(th)});
    };
    const double pi = 3.14159265358979;
    switch (shape) {
    case BAND_RECT:
        for (double x = l; x <= r; x += 1) {
            points.push_back({x, t});
            points.push_back({x, bt});
        }
        for (double y = t; y <= bt; y += 1) {
            points.push_back({l, y});
            points.push_back({r, y});
        }
        break;
    case BAND_ELLIPSE:
        ellipse(l, r, 0, 2 * pi);
        break;
    case BAND_TRACK: {
        double quarter = std::floor((r + 1 - l) / 4);
        for (double x = l + quarter; x <= r - quarter; x += 1) {
            points.push_back({x, t});
            points.push_back({x, bt});
        }
        ellipse(l, l + 2 * quarter - 1, pi / 2, 3 * pi / 2);
        ellipse(r + 1 - 2 * quarter, r, -pi / 2, pi / 2);
        break;
    }
    case BAND_LINE:
        for (double f = 0; f <= 1; f += 0.001)
            points.push_back({a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f});
        break;
    }
    std::vector<std::pair<double, double>> around;
    for (const auto& p : points)
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                around.push_back({p.first + dx, p.second + dy});
    return around;
}

} // namespace

TEST(EffectGeometry, BandStripsCoverTheOutlineAndFollowItsLength)
{
    const SRect screen{0, 0, 3840, 2160};
    const struct {
        EBandShape shape;
        SPoint a, b;
        int pen;
        double maxShare; // of the band's bounding strip that the strips may hold
        size_t maxStrips; // each is one read of the screen per move
    } cases[] = {
        {BAND_RECT, {100, 100}, {3700, 2000}, 1, 0.01, 4},
        {BAND_RECT, {3700, 2000}, {100, 100}, 5, 0.02, 4},
        {BAND_ELLIPSE, {100, 100}, {1900, 1100}, 1, 0.2, 48},
        {BAND_ELLIPSE, {100, 100}, {3700, 2000}, 1, 0.10, 64},
        {BAND_ELLIPSE, {500, 300}, {900, 1900}, 3, 0.3, 48},
        {BAND_TRACK, {100, 100}, {1900, 1100}, 1, 0.15, 48},
        {BAND_TRACK, {100, 100}, {3700, 2000}, 1, 0.10, 64},
        {BAND_LINE, {10, 10}, {300, 200}, 1, 1.0, 1},
        {BAND_RECT, {10, 10}, {14, 300}, 1, 1.0, 1}, // narrow: its bounding strip
    };
    for (const auto& c : cases) {
        std::vector<SRect> strips = BandStrips(c.a, c.b, c.pen, c.shape, screen);
        ASSERT_FALSE(strips.empty());
        int missed = 0;
        for (const auto& p : OutlinePoints(c.a, c.b, c.shape))
            missed += Covered(strips, p.first, p.second) ? 0 : 1;
        EXPECT_EQ(0, missed) << "shape " << c.shape << " from " << c.a.x << "," << c.a.y;
        SRect whole = BandRect(c.a, c.b, c.pen);
        double share = static_cast<double>(Area(strips)) / (static_cast<double>(whole.Width()) * whole.Height());
        EXPECT_LE(share, c.maxShare) << "shape " << c.shape;
        EXPECT_LE(strips.size(), c.maxStrips) << "shape " << c.shape << " to " << c.b.x << "," << c.b.y;
        for (const SRect& r : strips)
            EXPECT_TRUE(!IntersectionOf(r, whole).IsEmpty() && IntersectionOf(r, whole) == r);
    }
    // Clipped to the monitor like everything else.
    for (const SRect& r : BandStrips({-100, -100}, {200, 200}, 1, BAND_ELLIPSE, screen))
        EXPECT_TRUE(r.left >= 0 && r.top >= 0);
}

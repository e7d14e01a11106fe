// The shapes of the test patterns at the common screen sizes.
#include <gtest/gtest.h>

#include "test_pattern_geometry.h"

namespace {

struct SScreen {
    int w, h;
};
const SScreen kScreens[] = {{640, 480}, {800, 600}, {1024, 768}, {1920, 1080}, {1366, 768}};

// Every pixel of the screen is painted exactly once by the rectangles.
void ExpectTiled(const SPatternShapes& shapes, int w, int h)
{
    std::vector<uint8_t> covered(size_t(w) * h, 0);
    for (const SPatternRect& r : shapes.rects) {
        ASSERT_GE(r.left, 0);
        ASSERT_GE(r.top, 0);
        ASSERT_LE(r.right, w);
        ASSERT_LE(r.bottom, h);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                ++covered[size_t(y) * w + x];
    }
    EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), long(covered.size()));
}

uint32_t ColourAt(const SPatternShapes& shapes, int x, int y)
{
    for (const SPatternRect& r : shapes.rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return r.colour;
    return 0xFFFFFFFF;
}

TEST(FocusPattern, CellSizeDividesTheScreen)
{
    struct SCase {
        int w, h, k;
    } cases[] = {{1024, 768, 128}, {800, 600, 100}, {640, 480, 80}, {1920, 1080, 90}, {1366, 768, 64}, {1000, 7, 100}};
    for (const SCase& c : cases)
        EXPECT_EQ(FocusCellSize(c.w, c.h), c.k) << c.w << "x" << c.h;
}

TEST(FocusPattern, GridCirclesAndTicks)
{
    struct SCase {
        int w, h, n, m, xMid, yMid;
    } cases[] = {{1024, 768, 8, 6, 512, 384},
                 {800, 600, 8, 6, 400, 300},
                 {640, 480, 8, 6, 320, 240},
                 {1920, 1080, 21, 12, 914, 540}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.w);
        const SPatternShapes shapes = FocusPattern(c.w, c.h);
        const int k = FocusCellSize(c.w, c.h);
        EXPECT_EQ(shapes.background, PatternRgb(0, 0, 0));
        EXPECT_EQ(shapes.pen, PatternRgb(255, 255, 255));
        ASSERT_EQ(shapes.circles.size(), 6u);
        EXPECT_EQ(shapes.circles[0].radius, 2 * k);
        EXPECT_EQ(shapes.circles[3].cx, c.w);
        EXPECT_EQ(shapes.circles[3].cy, c.h);
        EXPECT_EQ(shapes.circles[4].radius, k);
        EXPECT_EQ(shapes.circles[4].cx, c.xMid);
        EXPECT_EQ(shapes.circles[4].cy, c.yMid);
        const size_t grid = size_t(c.n + 1) + (c.m + 1), ticks = 27u * (c.n + c.m);
        ASSERT_EQ(shapes.lines.size(), grid + ticks);
        // The outer grid lines lie on the first and last pixel and run one pixel past the edge.
        EXPECT_EQ(shapes.lines[0].x0, 0);
        EXPECT_EQ(shapes.lines[0].y1, c.h);
        EXPECT_EQ(shapes.lines[c.n].x0, c.w - 1);
        EXPECT_EQ(shapes.lines[grid - 1].y0, c.h - 1);
        EXPECT_EQ(shapes.lines[grid - 1].x1, c.w);
        // The middle tick of the first column cell crosses the middle row line, longer.
        const SPatternLine& middle = shapes.lines[grid + 3 * 4];
        const int t2 = std::max(6, k / 25);
        EXPECT_EQ(middle.x0, (5 * k + 5) / 10);
        EXPECT_EQ(middle.y0, c.yMid - t2);
        EXPECT_EQ(middle.y1, c.yMid + t2 + 1);
        for (const SPatternLine& line : shapes.lines) {
            ASSERT_GE(std::min(line.x0, line.x1), 0);
            ASSERT_LE(std::max(line.x0, line.x1), c.w);
            ASSERT_GE(std::min(line.y0, line.y1), 0);
            ASSERT_LE(std::max(line.y0, line.y1), c.h);
        }
    }
}

TEST(GrayScalePattern, SixteenBarsFromBlackToWhite)
{
    const SPatternShapes shapes = GrayScalePattern(1024, 768);
    ASSERT_EQ(shapes.rects.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(shapes.rects[i].left, 64 * i);
        EXPECT_EQ(shapes.rects[i].right - shapes.rects[i].left, 64);
        EXPECT_EQ(shapes.rects[i].bottom, 768);
    }
    EXPECT_EQ(shapes.rects[0].colour, PatternRgb(0, 0, 0));
    EXPECT_EQ(shapes.rects[1].colour, PatternRgb(32, 32, 32));
    EXPECT_EQ(shapes.rects[15].colour, PatternRgb(255, 255, 255));
    for (const SScreen& s : kScreens) {
        SCOPED_TRACE(s.w);
        ExpectTiled(GrayScalePattern(s.w, s.h), s.w, s.h);
    }
}

TEST(ColorImagePattern, HuesAcrossSaturationDown)
{
    for (const SScreen& s : kScreens) {
        SCOPED_TRACE(s.w);
        for (bool palette : {false, true}) {
            const SPatternShapes shapes = ColorImagePattern(s.w, s.h, palette);
            ExpectTiled(shapes, s.w, s.h);
            const int cw = std::max(s.w / 256, palette ? 4 : 2), ch = std::max(s.h / 96, palette ? 12 : 6);
            EXPECT_EQ(shapes.rects[0].right, cw);
            EXPECT_EQ(shapes.rects[0].bottom, ch);
            EXPECT_EQ(ColourAt(shapes, 0, 0), PatternRgb(255, 0, 0)) << "red at the top left";
        }
    }
    // 1024 x 768, cells 4 x 8: the segments start at 171, 341, 512, 683, 853.
    const SPatternShapes shapes = ColorImagePattern(1024, 768, false);
    EXPECT_EQ(ColourAt(shapes, 340, 0), PatternRgb(1, 255, 0)) << "yellow fading to green";
    EXPECT_EQ(ColourAt(shapes, 512, 0), PatternRgb(0, 255, 255)) << "cyan";
    EXPECT_EQ(ColourAt(shapes, 684, 0), PatternRgb(2, 0, 255)) << "blue turning magenta: (255 + 85) / 170";
    // The last band starts at 760: lo = (128 * 760 + 384) / 768 = 127, nearly grey.
    EXPECT_EQ(ColourAt(shapes, 0, 767), PatternRgb(128, 127, 127));
    // Fixed cell sizes replace the computed ones.
    const SPatternShapes fixed = ColorImagePattern(1024, 768, false, 16, 32);
    EXPECT_EQ(fixed.rects.size(), size_t(64 * 24));
}

TEST(UserPictureCanvas, CentredThenShrunkByNineTenths)
{
    struct SCase {
        int screenW, screenH, picW, picH, reductions;
        SPatternCanvas expected;
    };
    const SCase cases[] = {
        // A small picture centred on a screen-sized canvas.
        {1024, 768, 200, 150, 0, {1024, 768, {412, 309, 612, 459, 0}}},
        // A picture larger than the screen sets the canvas; it fills it.
        {1024, 768, 3000, 2000, 0, {3000, 2000, {0, 0, 3000, 2000, 0}}},
        {1024, 768, 3000, 2000, 1, {2700, 1800, {0, 0, 2700, 1800, 0}}},
        // Canvas and picture shrink together, so the picture keeps its place once stretched.
        {1000, 1000, 500, 200, 2, {810, 810, {202, 324, 607, 486, 0}}},
        // Picture sizes whose nine-fold would overflow 32 bits.
        {800, 600, 400000000, 300, 1, {360000000, 540, {0, 135, 360000000, 405, 0}}},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.picW << " x " << c.picH << " after " << c.reductions);
        const SPatternCanvas canvas = UserPictureCanvas(c.screenW, c.screenH, c.picW, c.picH, c.reductions);
        EXPECT_EQ(canvas.width, c.expected.width);
        EXPECT_EQ(canvas.height, c.expected.height);
        EXPECT_EQ(canvas.picture.left, c.expected.picture.left);
        EXPECT_EQ(canvas.picture.top, c.expected.picture.top);
        EXPECT_EQ(canvas.picture.right, c.expected.picture.right);
        EXPECT_EQ(canvas.picture.bottom, c.expected.picture.bottom);
        EXPECT_FALSE(canvas.Empty());
    }
    // Shrinking ends: after enough attempts there is no canvas left, and the loop stops there.
    int reductions = 0;
    while (!UserPictureCanvas(1920, 1080, 20000, 20000, reductions).Empty())
        ++reductions;
    EXPECT_GT(reductions, 60);
    EXPECT_LT(reductions, 120);
}

} // namespace

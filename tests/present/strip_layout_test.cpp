#include "strip_layout.h"

#include "geometry_test_support.h"

#include <gtest/gtest.h>

namespace {

// Where strip i lies in its picture.
SRect PlacedAt(const SStripLayout& layout, const std::vector<SRect>& strips, size_t i)
{
    SPoint at = layout.places[i].at;
    return {at.x, at.y, at.x + strips[i].Width(), at.y + strips[i].Height()};
}

TEST(StripLayout, BandStripsPackIntoPicturesTheSizeOfTheOutline)
{
    const SRect screen{0, 0, 3840, 2160};
    const struct {
        EBandShape shape;
        SPoint a, b;
        int pen;
    } cases[] = {
        {BAND_RECT, {100, 100}, {3700, 2000}, 1},   {BAND_RECT, {3700, 2000}, {100, 100}, 5},
        {BAND_ELLIPSE, {100, 100}, {3700, 2000}, 1}, {BAND_ELLIPSE, {500, 300}, {900, 1900}, 3},
        {BAND_TRACK, {100, 100}, {3700, 2000}, 1},  {BAND_LINE, {10, 10}, {300, 200}, 1},
    };
    for (const auto& c : cases) {
        std::vector<SRect> strips = BandStrips(c.a, c.b, c.pen, c.shape, screen);
        SStripLayout layout = LayOutStrips(strips);
        ASSERT_EQ(strips.size(), layout.places.size());
        for (size_t i = 0; i < strips.size(); ++i) {
            int sheet = layout.places[i].sheet;
            ASSERT_TRUE(sheet == 0 || sheet == 1);
            SRect placed = PlacedAt(layout, strips, i);
            SRect picture{0, 0, layout.size[sheet].x, layout.size[sheet].y};
            EXPECT_EQ(placed, IntersectionOf(placed, picture)) << "shape " << c.shape << " strip " << i;
            for (size_t j = 0; j < i; ++j) {
                if (layout.places[j].sheet != sheet)
                    continue;
                EXPECT_TRUE(IntersectionOf(placed, PlacedAt(layout, strips, j)).IsEmpty())
                    << "shape " << c.shape << " strips " << j << " and " << i;
            }
        }
        // The pictures hold little more than the strips: a rectangle's two long sides do not
        // make a picture of the whole screen.
        long pictures = 0;
        for (const SPoint& size : layout.size)
            pictures += static_cast<long>(size.x) * size.y;
        EXPECT_LE(pictures, 2 * Area(strips) + 64L * 64) << "shape " << c.shape;
    }
}

TEST(StripLayout, WideStripsGoInRowsAndTallOnesInColumns)
{
    const std::vector<SRect> strips = {
        {0, 0, 100, 3}, {0, 97, 100, 100}, {0, 3, 3, 97}, {97, 3, 100, 97}, {40, 40, 60, 50},
    };
    SStripLayout layout = LayOutStrips(strips);
    const int sheets[] = {0, 0, 1, 1, 0};
    const SPoint at[] = {{0, 0}, {0, 3}, {0, 0}, {3, 0}, {0, 6}};
    for (size_t i = 0; i < strips.size(); ++i) {
        EXPECT_EQ(sheets[i], layout.places[i].sheet) << i;
        EXPECT_EQ(at[i].x, layout.places[i].at.x) << i;
        EXPECT_EQ(at[i].y, layout.places[i].at.y) << i;
    }
    EXPECT_EQ(100, layout.size[0].x);
    EXPECT_EQ(16, layout.size[0].y);
    EXPECT_EQ(6, layout.size[1].x);
    EXPECT_EQ(94, layout.size[1].y);
    EXPECT_TRUE(LayOutStrips({}).places.empty());
}

} // namespace

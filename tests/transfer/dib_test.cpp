// Reading, writing and reshaping bitmaps: well-formed files of every layout, damaged files.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>

#include "bmp_builder.h"
#include "dib.h"

namespace {

struct SGoodCase {
    const char* name;
    SBmpSpec spec;
};

SBmpSpec Spec(int32_t w, int32_t h, uint16_t bits, uint32_t colours, uint32_t clrUsed = 0, bool core = false)
{
    SBmpSpec s;
    s.width = w;
    s.height = h;
    s.bits = bits;
    s.colours = colours;
    s.clrUsed = clrUsed;
    s.core = core;
    return s;
}

// Bytes of no meaning between the colour table and the bits, as some writers leave.
SBmpSpec WithGap(SBmpSpec s, size_t bytes)
{
    s.extra.assign(bytes, 0xA5);
    return s;
}

// The colour the builder gives pixel x, y (from the top) of spec.
SRgbQuad Expected(const SBmpSpec& s, int32_t x, int32_t y)
{
    const int32_t rows = s.height < 0 ? -s.height : s.height;
    const int32_t stored = s.height < 0 ? y : rows - 1 - y;
    auto byteAt = [&](uint32_t c) { return uint8_t(stored * 16 + c + 1); };
    if (s.bits == 24)
        return SRgbQuad{byteAt(3 * x), byteAt(3 * x + 1), byteAt(3 * x + 2), 0};
    unsigned int index = 0;
    if (s.bits == 8)
        index = byteAt(x);
    else if (s.bits == 4)
        index = byteAt(x / 2) >> (x % 2 ? 0 : 4) & 15;
    else
        index = byteAt(x / 8) >> (7 - x % 8) & 1;
    if (index >= s.colours) // beyond a short table: black, never memory past it
        return SRgbQuad{0, 0, 0, 0};
    return SRgbQuad{uint8_t(index), uint8_t(255 - index), uint8_t(index * 7), 0};
}

TEST(DibRead, WellFormedFilesReadAndWriteBack)
{
    const SGoodCase cases[] = {
        {"1 bit, 13 wide", Spec(13, 5, 1, 2)},
        {"4 bits, odd width", Spec(7, 3, 4, 16)},
        {"8 bits, full table", Spec(5, 4, 8, 256)},
        {"8 bits, 20 colours used", Spec(5, 4, 8, 20, 20)},
        {"24 bits, padded rows", Spec(5, 3, 24, 0)},
        {"core header, 8 bits", Spec(6, 2, 8, 256, 0, true)},
        {"core header, 24 bits", Spec(3, 3, 24, 0, 0, true)},
        {"top-down, 24 bits", Spec(3, -4, 24, 0)},
        {"top-down, 8 bits", Spec(9, -3, 8, 256)},
        {"8 bits, a gap before the bits", WithGap(Spec(5, 4, 8, 256), 6)},
        {"24 bits, a gap before the bits", WithGap(Spec(5, 3, 24, 0), 24)},
        {"core header, a gap before the bits", WithGap(Spec(6, 2, 8, 256, 0, true), 2)},
    };
    for (const SGoodCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SBmpSpec& s = c.spec;
        const int32_t rows = s.height < 0 ? -s.height : s.height;
        CDIB dib;
        ASSERT_EQ(dib.Read(MakeBmp(s)), DIB_OK);
        EXPECT_EQ(dib.Width(), s.width);
        EXPECT_EQ(dib.Height(), rows);
        EXPECT_EQ(dib.BitCount(), s.bits);
        EXPECT_EQ(dib.ColourCount(), s.colours);
        for (int32_t y = 0; y < rows; ++y) {
            for (int32_t x = 0; x < s.width; ++x) {
                ASSERT_EQ(dib.Pixel(x, y), Expected(s, x, y)) << x << "," << y;
            }
        }

        std::vector<uint8_t> written;
        ASSERT_EQ(dib.Write(written), DIB_OK);
        const uint32_t offset = 54 + 4 * s.colours;
        EXPECT_EQ(written[0], 'B');
        EXPECT_EQ(written[1], 'M');
        EXPECT_EQ(ReadLE(&written[10], 4), offset);
        EXPECT_EQ(ReadLE(&written[2], 4), written.size());
        EXPECT_EQ(written.size(), offset + PaddedRow(s.width, s.bits) * rows);
        // What is written back is the file without its gap.
        if (!s.core && s.height > 0) {
            SBmpSpec plain = s;
            plain.extra.clear();
            EXPECT_EQ(written, MakeBmp(plain));
        }
        CDIB again;
        ASSERT_EQ(again.Read(written), DIB_OK);
        EXPECT_EQ(again.Bits(), dib.Bits());
        for (unsigned int i = 0; i < s.colours; ++i)
            EXPECT_EQ(again.Colours()[i], dib.Colours()[i]);
    }
}

TEST(DibRead, ShortBitsOfOlderWritersReadWithZeroPadding)
{
    // 5 x 3 at 24 bits: the older count is 24 * 3 * 5 / 32 * 4 = 44 bytes of 48.
    SBmpSpec s = Spec(5, 3, 24, 0);
    std::vector<uint8_t> file = MakeBmp(s, 44);
    CDIB dib;
    ASSERT_EQ(dib.Read(file), DIB_OK);
    ASSERT_EQ(dib.Bits().size(), 48u);
    EXPECT_TRUE(std::equal(file.end() - 44, file.end(), dib.Bits().begin()));
    EXPECT_EQ(dib.Bits()[44], 0);
    // One byte less than the older writers left is a truncated file.
    EXPECT_EQ(CDIB().Read(MakeBmp(s, 43)), DIB_SHORT);
}

struct SDamage {
    const char* name;
    std::vector<uint8_t> file;
    int result;
};

std::vector<uint8_t> Patched(std::vector<uint8_t> file, size_t at, uint32_t value, int width = 4)
{
    PutAt(file, at, value, width);
    return file;
}

TEST(DibRead, DamagedFilesAreRefused)
{
    const std::vector<uint8_t> good8 = MakeBmp(Spec(5, 4, 8, 256));
    const std::vector<uint8_t> good24 = MakeBmp(Spec(5, 3, 24, 0));
    SBmpSpec wrongType = Spec(5, 3, 24, 0);
    wrongType.type[0] = 'X';
    std::vector<uint8_t> text(200, 'a');
    const SDamage cases[] = {
        {"empty", {}, DIB_SHORT},
        {"file header cut", std::vector<uint8_t>(good24.begin(), good24.begin() + 10), DIB_SHORT},
        {"information header cut", std::vector<uint8_t>(good24.begin(), good24.begin() + 30), DIB_SHORT},
        {"colour table cut", std::vector<uint8_t>(good8.begin(), good8.begin() + 300), DIB_SHORT},
        {"bits cut", std::vector<uint8_t>(good24.begin(), good24.end() - 10), DIB_SHORT},
        {"text", text, DIB_BAD},
        {"wrong type", MakeBmp(wrongType), DIB_BAD},
        {"unknown header size", Patched(good24, 14, 20), DIB_BAD},
        {"bits offset at the size", MakeBmp(Spec(5, 3, 24, 0), 0), DIB_BAD},
        {"bits offset beyond the size", Patched(good24, 10, 100000), DIB_BAD},
        {"bits offset inside the table", Patched(good8, 10, 100), DIB_BAD},
        {"colour count over 256", Patched(good8, 46, 300), DIB_BAD},
        {"width 0", Patched(good24, 18, 0), DIB_BAD},
        {"negative width", Patched(good24, 18, uint32_t(-5)), DIB_BAD},
        {"height 0", Patched(good24, 22, 0), DIB_BAD},
        {"most negative height", Patched(good24, 22, uint32_t(INT_MIN)), DIB_BAD},
        {"absurd width and height", Patched(Patched(good24, 18, 100000), 22, 100000), DIB_LARGE},
        {"gigabytes of bits", Patched(Patched(good24, 18, 16000), 22, 16000), DIB_LARGE},
        {"3 bits per pixel", Patched(good24, 28, 3, 2), DIB_BAD},
        {"large picture, few bytes", Patched(Patched(good24, 18, 2000), 22, 2000), DIB_SHORT},
        {"0 bits per pixel", Patched(good24, 28, 0, 2), DIB_BAD},
    };
    for (const SDamage& c : cases) {
        SCOPED_TRACE(c.name);
        CDIB dib;
        EXPECT_EQ(dib.Read(c.file), c.result);
        EXPECT_TRUE(dib.IsEmpty());
    }
}

TEST(DibRead, ANewReadDropsThePreviousPicture)
{
    CDIB dib;
    ASSERT_EQ(dib.Read(MakeBmp(Spec(5, 3, 24, 0))), DIB_OK);
    EXPECT_EQ(dib.Read({'B', 'M'}), DIB_SHORT);
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.Width(), 0);
}

TEST(DibCreate, BlankPicturesHaveGreyTablesAndPaddedZeroRows)
{
    struct SCase {
        int32_t w, h;
        int bits;
        size_t bytes;
        uint32_t offset;
    } cases[] = {{10, 3, 8, 12 * 3, 1078}, {10, 3, 24, 32 * 3, 54}, {4, 2, 8, 8, 1078}};
    for (const SCase& c : cases) {
        CDIB dib;
        ASSERT_TRUE(dib.CreateBlank(c.w, c.h, c.bits));
        EXPECT_EQ(dib.Bits().size(), c.bytes);
        EXPECT_TRUE(std::all_of(dib.Bits().begin(), dib.Bits().end(), [](uint8_t b) { return b == 0; }));
        EXPECT_EQ(dib.Colours()[200], (SRgbQuad{200, 200, 200, 0}));
        std::vector<uint8_t> file;
        dib.Write(file);
        EXPECT_EQ(ReadLE(&file[10], 4), c.offset);
    }
    CDIB dib;
    EXPECT_FALSE(dib.CreateBlank(0, 5, 8));
    EXPECT_FALSE(dib.CreateBlank(5, 5, 7));
}

TEST(DibCut, TheAreaKeepsItsPixelsAtEveryDepth)
{
    const SBmpSpec specs[] = {Spec(13, 7, 1, 2), Spec(11, 7, 4, 16), Spec(9, 7, 8, 256), Spec(9, 7, 24, 0),
                              Spec(9, -7, 24, 0)};
    SArea area;
    area.left = 3;
    area.top = 1;
    area.right = 7;
    area.bottom = 5;
    for (const SBmpSpec& s : specs) {
        SCOPED_TRACE(s.bits);
        CDIB whole, cut;
        ASSERT_EQ(whole.Read(MakeBmp(s)), DIB_OK);
        cut.CopyFrom(whole);
        ASSERT_TRUE(cut.CutToArea(area));
        ASSERT_EQ(cut.Width(), 5);
        ASSERT_EQ(cut.Height(), 5);
        EXPECT_EQ(cut.Bits().size(), size_t(PaddedRow(5, s.bits)) * 5);
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 5; ++x) {
                ASSERT_EQ(cut.Pixel(x, y), whole.Pixel(x + 3, y + 1)) << x << "," << y;
            }
    }
    CDIB dib;
    ASSERT_EQ(dib.Read(MakeBmp(Spec(9, 7, 24, 0))), DIB_OK);
    const SArea outside[] = {{0, 0, 9, 6}, {0, 0, 8, 7}, {-1, 0, 3, 3}, {4, 0, 3, 3}};
    for (const SArea& a : outside)
        EXPECT_FALSE(dib.CutToArea(a));
    EXPECT_EQ(dib.Width(), 9);
}

TEST(DibPalette, PixelsMapToTheNearestEntry)
{
    CDIB dib;
    ASSERT_EQ(dib.Read(MakeBmp(Spec(5, 4, 8, 256))), DIB_OK);
    std::vector<SRgbQuad> palette = {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 255, 0, 0}};
    ASSERT_TRUE(dib.MapToPalette(palette));
    // Builder colour i is blue i, green 255 - i, red 7i (mod 256).
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            const unsigned int index = dib.Row(y)[x];
            ASSERT_LT(index, 3u);
        }
    EXPECT_EQ(dib.ColourCount(), 256u);
    EXPECT_EQ(dib.Colours()[1], (SRgbQuad{255, 255, 255, 0}));
    // Builder pixel 1 (blue 1, green 254, red 7) is nearest to pure green.
    CDIB one;
    one.CreateBlank(1, 1, 8);
    one.SetColour(0, {1, 254, 7, 0});
    ASSERT_TRUE(one.MapToPalette(palette));
    EXPECT_EQ(one.Row(0)[0], 2);
    CDIB deep;
    deep.CreateBlank(2, 2, 24);
    EXPECT_FALSE(deep.MapToPalette(palette));
}

TEST(DibFile, SavesReplaceTheOldFileOnlyWhenComplete)
{
    const std::string path = testing::TempDir() + "dib_file_test.bmp";
    {
        std::ofstream(path) << "old";
    }
    CDIB dib;
    ASSERT_EQ(dib.Read(MakeBmp(Spec(5, 3, 24, 0))), DIB_OK);
    ASSERT_EQ(dib.WriteFile(path), DIB_OK);
    CDIB back;
    ASSERT_EQ(back.ReadFile(path), DIB_OK);
    EXPECT_EQ(back.Bits(), dib.Bits());
    EXPECT_FALSE(std::ifstream(path + ".new").good());
    EXPECT_EQ(dib.WriteFile(testing::TempDir() + "no-such-folder/x.bmp"), DIB_WRITE);
    std::remove(path.c_str());
}

} // namespace

// The bitmap variants beyond plain rows (run-length, 2-bit, 16- and 32-bit with and without
// masks, longer headers): one small picture written byte by byte in each, read to the same
// colours; and the damaged forms of each refused.
#include <gtest/gtest.h>

#include "bmp_builder.h"
#include "dib.h"

namespace {

const int32_t kW = 7, kH = 4;
// The picture as indices, top row first, and its four colours (red, green, blue).
const uint8_t kIndex[kH][kW] = {
    {1, 1, 1, 2, 2, 3, 0},
    {0, 0, 0, 0, 2, 2, 3},
    {0, 0, 0, 0, 0, 0, 0},
    {1, 3, 3, 3, 0, 0, 0},
};
const uint8_t kColour[4][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 255}};

struct SFile {
    uint32_t header = 40; // 40, 108 (V4) or 124 (V5)
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha; written when set
    bool masksAfterHeader = false;    // the 12 bytes after a 40-byte header
    int32_t height = kH;
    bool palette = false; // the four colours as table entries
    std::vector<uint8_t> bits_;
};

std::vector<uint8_t> Build(const SFile& f)
{
    std::vector<uint8_t> out;
    const uint32_t table = f.palette ? 16 : 0, masks = f.masksAfterHeader ? 12 : 0;
    const uint32_t offset = 14 + f.header + masks + table;
    out.push_back('B');
    out.push_back('M');
    Put(out, offset + uint32_t(f.bits_.size()), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, f.header, 4);
    Put(out, kW, 4);
    Put(out, uint32_t(f.height), 4);
    Put(out, 1, 2);
    Put(out, f.bits, 2);
    Put(out, f.compression, 4);
    Put(out, uint32_t(f.bits_.size()), 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, f.palette ? 4 : 0, 4);
    Put(out, 0, 4);
    for (int i = 0; i < (f.header > 40 ? 4 : f.masksAfterHeader ? 3 : 0); ++i)
        Put(out, f.masks[i], 4);
    out.resize(14 + f.header + masks, 0); // colour space and the rest of a long header
    for (int i = 0; f.palette && i < 4; ++i)
        out.insert(out.end(), {kColour[i][2], kColour[i][1], kColour[i][0], 0});
    out.insert(out.end(), f.bits_.begin(), f.bits_.end());
    return out;
}

// Rows bottom-up, each pixel from pixel(r, g, b) as little-endian bytes of the given width.
template <class F> std::vector<uint8_t> PackedRows(unsigned int bytes, F pixel)
{
    std::vector<uint8_t> rows;
    for (int32_t y = kH - 1; y >= 0; --y) {
        const size_t start = rows.size();
        for (int32_t x = 0; x < kW; ++x) {
            const uint8_t* c = kColour[kIndex[y][x]];
            Put(rows, pixel(c[0], c[1], c[2]), int(bytes));
        }
        rows.resize(start + PaddedRow(kW, int(bytes * 8)), 0);
    }
    return rows;
}

std::vector<uint8_t> TwoBitRows()
{
    std::vector<uint8_t> rows;
    for (int32_t y = kH - 1; y >= 0; --y) {
        uint8_t row[4] = {0, 0, 0, 0};
        for (int32_t x = 0; x < kW; ++x)
            row[x / 4] |= uint8_t(kIndex[y][x] << (6 - 2 * (x % 4)));
        rows.insert(rows.end(), row, row + 4);
    }
    return rows;
}

// Bottom row first: a run and a delta two rows up; a run of two, one of one and an end of
// line; an absolute block of six; the last pixel skipped by the end of the picture.
const std::vector<uint8_t> kRle8 = {1, 1, 3, 3, 0, 2, 0, 2, 2, 2, 1, 3, 0, 0,
                                    0, 6, 1, 1, 1, 2, 2, 3, 0, 1};
// Alternating and plain nibble runs, end-of-line codes (one for an empty row), a delta,
// absolute blocks of three and four nibbles, and the end.
const std::vector<uint8_t> kRle4 = {2, 0x13, 2, 0x33, 0, 0, 0, 0, 0, 2, 4, 0, 0, 3, 0x22, 0x30, 0, 0,
                                    3, 0x11, 0, 4, 0x22, 0x30, 0, 1};

SFile Paletted(uint16_t bits, uint32_t compression, std::vector<uint8_t> data)
{
    SFile f;
    f.bits = bits;
    f.compression = compression;
    f.palette = true;
    f.bits_ = std::move(data);
    return f;
}

SFile Masked(uint16_t bits, uint32_t header, std::initializer_list<uint32_t> masks, std::vector<uint8_t> data)
{
    SFile f;
    f.bits = bits;
    f.header = header;
    f.compression = masks.size() ? 3 : 0;
    f.masksAfterHeader = masks.size() && header == 40;
    std::copy(masks.begin(), masks.end(), f.masks);
    f.bits_ = std::move(data);
    return f;
}

uint32_t Scale(uint8_t c, int bits) { return c * ((1u << bits) - 1) / 255; }

TEST(DibVariants, EachVariantReadsToThePicturesColours)
{
    const auto rgb555 = [](uint8_t r, uint8_t g, uint8_t b) { return Scale(r, 5) << 10 | Scale(g, 5) << 5 | Scale(b, 5); };
    const auto rgb565 = [](uint8_t r, uint8_t g, uint8_t b) { return Scale(r, 5) << 11 | Scale(g, 6) << 5 | Scale(b, 5); };
    // The unused top byte holds junk that must not show.
    const auto xrgb = [](uint8_t r, uint8_t g, uint8_t b) { return 0xA5000000u | r << 16 | g << 8 | b; };
    const auto xbgr = [](uint8_t r, uint8_t g, uint8_t b) { return uint32_t(b) << 16 | g << 8 | r; };
    const auto argb = [](uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | r << 16 | g << 8 | b; };
    const struct {
        const char* name;
        SFile file;
        int keptBits;
    } cases[] = {
        {"RLE8 with delta and end-of-line codes", Paletted(8, 1, kRle8), 8},
        {"RLE4", Paletted(4, 2, kRle4), 4},
        {"2 bits", Paletted(2, 0, TwoBitRows()), 4},
        {"16 bits, no masks (5-5-5)", Masked(16, 40, {}, PackedRows(2, rgb555)), 24},
        {"16 bits, 5-5-5 masks", Masked(16, 40, {0x7C00, 0x03E0, 0x001F}, PackedRows(2, rgb555)), 24},
        {"16 bits, 5-6-5 masks", Masked(16, 40, {0xF800, 0x07E0, 0x001F}, PackedRows(2, rgb565)), 24},
        {"16 bits, 5-6-5 in a V4 header", Masked(16, 108, {0xF800, 0x07E0, 0x001F, 0}, PackedRows(2, rgb565)), 24},
        {"32 bits, no masks", Masked(32, 40, {}, PackedRows(4, xrgb)), 24},
        {"32 bits, masks in another order", Masked(32, 40, {0xFF, 0xFF00, 0xFF0000}, PackedRows(4, xbgr)), 24},
        {"32 bits, V5 header with opaque alpha",
         Masked(32, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, PackedRows(4, argb)), 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDIB dib;
        ASSERT_EQ(dib.Read(Build(c.file)), DIB_OK);
        EXPECT_EQ(dib.Width(), kW);
        EXPECT_EQ(dib.Height(), kH);
        EXPECT_EQ(dib.BitCount(), c.keptBits);
        for (int32_t y = 0; y < kH; ++y)
            for (int32_t x = 0; x < kW; ++x) {
                const uint8_t* want = kColour[kIndex[y][x]];
                const SRgbQuad got = dib.Pixel(x, y);
                EXPECT_EQ((std::vector<int>{got.red, got.green, got.blue}),
                          (std::vector<int>{want[0], want[1], want[2]}))
                    << "at " << x << ", " << y;
            }
        // What was read writes as a plain bitmap that reads back the same.
        std::vector<uint8_t> again;
        ASSERT_EQ(dib.Write(again), DIB_OK);
        CDIB back;
        ASSERT_EQ(back.Read(again), DIB_OK);
        EXPECT_EQ(back.Bits(), dib.Bits());
    }
}

TEST(DibVariants, AlphaIsLaidOverWhiteUnlessUnused)
{
    // Opaque red, transparent blue, half-transparent black, in a V5 header.
    const uint32_t pixels[3] = {0xFFFF0000, 0x000000FF, 0x80000000};
    SFile f;
    f.bits = 32;
    f.header = 124;
    f.compression = 3;
    f.height = 1;
    const uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    std::copy(masks, masks + 4, f.masks);
    auto row = [&](bool alpha) {
        std::vector<uint8_t> r;
        for (uint32_t p : pixels)
            Put(r, alpha ? p : p & 0xFFFFFF, 4);
        return r;
    };
    auto colours = [](const CDIB& dib) {
        std::vector<int> out;
        for (int32_t x = 0; x < 3; ++x)
            out.insert(out.end(), {dib.Pixel(x, 0).red, dib.Pixel(x, 0).green, dib.Pixel(x, 0).blue});
        return out;
    };
    CDIB dib;
    f.bits_ = row(true);
    std::vector<uint8_t> file = Build(f);
    PutAt(file, 18, 3, 4);
    ASSERT_EQ(dib.Read(file), DIB_OK);
    // 0x80 = 128 of 255 black over white: 255 * 127 / 255 = 127.
    EXPECT_EQ(colours(dib), (std::vector<int>{255, 0, 0, 255, 255, 255, 127, 127, 127}));
    // Every alpha 0: a writer that does not use it; the colours show as they are.
    f.bits_ = row(false);
    file = Build(f);
    PutAt(file, 18, 3, 4);
    ASSERT_EQ(dib.Read(file), DIB_OK);
    EXPECT_EQ(colours(dib), (std::vector<int>{255, 0, 0, 0, 0, 255, 0, 0, 0}));
}

TEST(DibVariants, DamagedVariantsAreRefused)
{
    auto rle8 = [](std::vector<uint8_t> data, int32_t height = kH) {
        SFile f = Paletted(8, 1, std::move(data));
        f.height = height;
        return Build(f);
    };
    auto rle4 = [](std::vector<uint8_t> data) { return Build(Paletted(4, 2, std::move(data))); };
    auto withBits = [](SFile f, uint16_t bits) {
        f.bits = bits;
        return Build(f);
    };
    std::vector<uint8_t> wide = Build(Masked(32, 40, {}, PackedRows(4, [](uint8_t, uint8_t, uint8_t) { return 0u; })));
    PutAt(wide, 18, 20000, 4);
    std::vector<uint8_t> masksCut = Build(Masked(16, 40, {0xF800, 0x07E0, 0x001F}, {}));
    masksCut.resize(60);
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        int result;
    } cases[] = {
        {"RLE8 run past the row", rle8({8, 1, 0, 1}), DIB_BAD},
        {"RLE8 run after the last row", rle8({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1}), DIB_BAD},
        {"RLE8 absolute block past the row", rle8({5, 1, 0, 3, 1, 2, 3, 0, 0, 1}), DIB_BAD},
        {"RLE8 delta past the row", rle8({0, 2, 8, 0, 0, 1}), DIB_BAD},
        {"RLE8 delta past the top", rle8({0, 2, 0, 4, 0, 1}), DIB_BAD},
        {"RLE8 without its end code", rle8({7, 1, 0, 0}), DIB_SHORT},
        {"RLE8 absolute block cut", rle8({0, 6, 1, 1}), DIB_SHORT},
        {"RLE8 delta cut", rle8({0, 2, 1}), DIB_SHORT},
        {"RLE8 top-down", rle8(kRle8, -kH), DIB_BAD},
        {"RLE4 run past the row", rle4({8, 0x11, 0, 1}), DIB_BAD},
        {"RLE4 absolute block past the row", rle4({0, 8, 0x11, 0x11, 0x11, 0x11, 0, 1}), DIB_BAD},
        {"RLE8 on 4 bits", withBits(Paletted(8, 1, kRle8), 4), DIB_BAD},
        {"RLE4 on 24 bits", withBits(Paletted(4, 2, kRle4), 24), DIB_BAD},
        {"masks on 8 bits", withBits(Masked(16, 40, {0xF800, 0x07E0, 0x001F}, PackedRows(2, [](uint8_t, uint8_t, uint8_t) { return 0u; })), 8), DIB_BAD},
        {"a zero mask", Build(Masked(16, 40, {0xF800, 0, 0x001F}, std::vector<uint8_t>(32, 0))), DIB_BAD},
        {"overlapping masks", Build(Masked(16, 40, {0xF800, 0x0FE0, 0x001F}, std::vector<uint8_t>(32, 0))), DIB_BAD},
        {"a broken mask", Build(Masked(16, 40, {0xF800, 0x07A0, 0x001F}, std::vector<uint8_t>(32, 0))), DIB_BAD},
        {"a mask beyond 16 bits", Build(Masked(16, 40, {0x1F0000, 0x07E0, 0x001F}, std::vector<uint8_t>(32, 0))), DIB_BAD},
        {"masks cut", masksCut, DIB_SHORT},
        {"embedded JPEG", Build(Paletted(8, 4, kRle8)), DIB_BAD},
        {"20000 pixels wide", wide, DIB_LARGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDIB dib;
        ASSERT_EQ(dib.Read(MakeBmp(Picture(5, 3))), DIB_OK);
        EXPECT_EQ(dib.Read(c.file), c.result);
        EXPECT_TRUE(dib.IsEmpty());
    }
}

} // namespace

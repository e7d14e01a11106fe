// Clipboard bitmaps as other programs write them: every layout the editor takes must give the
// same picture, and anything it cannot read must leave the picture alone.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "packed_dib.h"

namespace {

// A 3 x 2 picture; rows of 3 pixels need padding at every depth.
const ColorRef kPixels[2][3] = {
    {MakeColor(255, 0, 0), MakeColor(0, 255, 0), MakeColor(0, 0, 255)},
    {MakeColor(255, 255, 255), MakeColor(0, 0, 0), MakeColor(255, 255, 0)},
};

CPixelPicture Expected()
{
    CPixelPicture picture(3, 2, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            picture.Set(x, y, kPixels[y][x]);
    return picture;
}

void Append(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

struct SLayout {
    const char* name;
    uint16_t bits;
    uint32_t compression;
    uint32_t headerSize;                   // 40, or a newer writer's longer header
    std::vector<uint32_t> masks;           // after a 40-byte header, or inside a longer one
    uint32_t colorsUsed;                   // the header's count; deeper bitmaps may carry a table too
    bool topDown;
    std::function<uint32_t(ColorRef)> pixel; // pixel value (or table index) of a colour
};

uint32_t Index(ColorRef c)
{
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            if (kPixels[y][x] == c)
                return static_cast<uint32_t>(y * 3 + x);
    return 0;
}

std::vector<uint8_t> Build(const SLayout& l)
{
    std::vector<uint8_t> out;
    Append(out, l.headerSize, 4);
    Append(out, 3, 4);
    Append(out, static_cast<uint32_t>(l.topDown ? -2 : 2), 4);
    Append(out, 1, 2);
    Append(out, l.bits, 2);
    Append(out, l.compression, 4);
    for (int i = 0; i < 3; ++i)
        Append(out, 0, 4); // image size, resolution
    Append(out, l.colorsUsed, 4);
    Append(out, 0, 4);
    for (uint32_t m : l.masks)
        Append(out, m, 4);
    while (out.size() < l.headerSize)
        out.push_back(0);
    uint32_t entries = l.bits <= 8 && l.colorsUsed == 0 ? 1u << l.bits : l.colorsUsed;
    for (uint32_t i = 0; i < entries; ++i) {
        ColorRef c = i < 6 ? kPixels[i / 3][i % 3] : MakeColor(9, 9, 9);
        Append(out, BlueOf(c) | GreenOf(c) << 8 | RedOf(c) << 16, 4);
    }
    size_t stride = (3 * l.bits + 31) / 32 * 4;
    for (int r = 0; r < 2; ++r) {
        int y = l.topDown ? r : 1 - r;
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < 3; ++x) {
            uint32_t v = l.pixel(kPixels[y][x]);
            if (l.bits < 8) {
                int perByte = 8 / l.bits;
                row[x / perByte] |= static_cast<uint8_t>(v << ((perByte - 1 - x % perByte) * l.bits));
            } else {
                for (int b = 0; b < l.bits / 8; ++b)
                    row[x * (l.bits / 8) + b] = static_cast<uint8_t>(v >> (8 * b));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

uint32_t Bgr(ColorRef c)
{
    return BlueOf(c) | GreenOf(c) << 8 | RedOf(c) << 16;
}
uint32_t Rgb555(ColorRef c)
{
    return (RedOf(c) >> 3) << 10 | (GreenOf(c) >> 3) << 5 | BlueOf(c) >> 3;
}
uint32_t Rgb565(ColorRef c)
{
    return (RedOf(c) >> 3) << 11 | (GreenOf(c) >> 2) << 5 | BlueOf(c) >> 3;
}
uint32_t Rgba(ColorRef c)
{
    return RedOf(c) << 24 | GreenOf(c) << 16 | BlueOf(c) << 8 | 0xFF;
}

TEST(PackedDib, EveryLayoutOfOtherWritersGivesThePicture)
{
    const SLayout layouts[] = {
        {"4 bits", 4, 0, 40, {}, 0, false, Index},
        {"8 bits, 6 colours used", 8, 0, 40, {}, 6, false, Index},
        {"8 bits, top down", 8, 0, 40, {}, 0, true, Index},
        {"24 bits", 24, 0, 40, {}, 0, false, Bgr},
        {"24 bits with an optimising table", 24, 0, 40, {}, 2, false, Bgr},
        {"32 bits", 32, 0, 40, {}, 0, false, Bgr},
        {"32 bits, masks after the header", 32, 3, 40, {0xFF000000, 0x00FF0000, 0x0000FF00}, 0, false, Rgba},
        {"32 bits, masks in a long header", 32, 3, 124, {0x00FF0000, 0x0000FF00, 0x000000FF}, 0, false, Bgr},
        {"16 bits 5-5-5", 16, 0, 40, {}, 0, false, Rgb555},
        {"16 bits 5-6-5", 16, 3, 40, {0xF800, 0x07E0, 0x001F}, 0, true, Rgb565},
    };
    for (const SLayout& l : layouts) {
        SCOPED_TRACE(l.name);
        std::vector<uint8_t> bytes = Build(l);
        CPixelPicture picture;
        ASSERT_TRUE(DecodePackedDib(bytes.data(), bytes.size(), picture));
        EXPECT_EQ(picture, Expected());
    }
}

TEST(PackedDib, WhatTheEditorPutsReadsBack)
{
    std::vector<uint8_t> bytes = EncodePackedDib(Expected());
    CPixelPicture picture;
    ASSERT_TRUE(DecodePackedDib(bytes.data(), bytes.size(), picture));
    EXPECT_EQ(picture, Expected());
}

TEST(PackedDib, UnreadableBitmapsLeaveThePictureAlone)
{
    const SLayout plain{"", 24, 0, 40, {}, 0, false, Bgr};
    struct SCase {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        {"rows cut short", [](std::vector<uint8_t>& b) { b.pop_back(); }},
        {"run-length compressed", [](std::vector<uint8_t>& b) { b[16] = 1; }},
        {"masks on 24 bits", [](std::vector<uint8_t>& b) { b[16] = 3; }},
        {"2 bits", [](std::vector<uint8_t>& b) { b[14] = 2; }},
        {"zero width", [](std::vector<uint8_t>& b) { b[4] = 0; }},
        {"too high", [](std::vector<uint8_t>& b) { b[9] = 0x20; }},
        {"header longer than the data", [](std::vector<uint8_t>& b) { b[1] = 0x10; }},
        {"a huge table", [](std::vector<uint8_t>& b) { b[35] = 0xFF; }},
        {"header only", [](std::vector<uint8_t>& b) { b.resize(39); }},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = Build(plain);
        c.damage(bytes);
        CPixelPicture picture(1, 1, MakeColor(1, 2, 3));
        EXPECT_FALSE(DecodePackedDib(bytes.data(), bytes.size(), picture));
        EXPECT_EQ(picture, CPixelPicture(1, 1, MakeColor(1, 2, 3)));
    }
    const SLayout zeroMask{"", 32, 3, 40, {0xFF0000, 0, 0xFF}, 0, false, Bgr};
    std::vector<uint8_t> bytes = Build(zeroMask);
    CPixelPicture picture;
    EXPECT_FALSE(DecodePackedDib(bytes.data(), bytes.size(), picture)) << "a colour without bits";
}

} // namespace

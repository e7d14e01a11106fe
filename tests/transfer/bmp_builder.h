// Bitmap and logo files byte by byte, written independently of the reader under test.
#pragma once
#include <cstdint>
#include <vector>

struct SBmpSpec {
    int32_t width = 4;
    int32_t height = 3; // negative: top-down rows
    uint16_t bits = 24;
    uint32_t colours = 0; // entries in the file's table
    uint32_t clrUsed = 0; // the header's field
    uint32_t compression = 0;
    bool core = false; // 12-byte header, 3-byte entries
    char type[2] = {'B', 'M'};
    std::vector<uint8_t> extra; // between the table and the bits
};

// A picture of w x h at bits per pixel with a table of colours entries.
inline SBmpSpec Picture(int32_t w, int32_t h, uint16_t bits = 24, uint32_t colours = 0)
{
    SBmpSpec s;
    s.width = w;
    s.height = h;
    s.bits = bits;
    s.colours = colours;
    return s;
}

inline void Put(std::vector<uint8_t>& out, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline void PutAt(std::vector<uint8_t>& out, size_t at, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t PaddedRow(int32_t width, int bits)
{
    return (uint32_t(width) * bits + 31) / 32 * 4;
}

// Pixel bytes: row r (as stored) byte i = r * 16 + i + 1, padding zero.
inline std::vector<uint8_t> MakeBmp(const SBmpSpec& s, int32_t bitsBytes = -1)
{
    std::vector<uint8_t> f;
    const uint32_t entry = s.core ? 3 : 4;
    const uint32_t header = s.core ? 12 : 40;
    const uint32_t offset = 14 + header + entry * s.colours + uint32_t(s.extra.size());
    const int32_t rows = s.height < 0 ? -s.height : s.height;
    const uint32_t stride = PaddedRow(s.width, s.bits);
    const uint32_t size = bitsBytes >= 0 ? uint32_t(bitsBytes) : stride * rows;
    f.push_back(uint8_t(s.type[0]));
    f.push_back(uint8_t(s.type[1]));
    Put(f, offset + size, 4);
    Put(f, 0, 4);
    Put(f, offset, 4);
    Put(f, header, 4);
    if (s.core) {
        Put(f, uint32_t(s.width), 2);
        Put(f, uint32_t(s.height), 2);
        Put(f, 1, 2);
        Put(f, s.bits, 2);
    } else {
        Put(f, uint32_t(s.width), 4);
        Put(f, uint32_t(s.height), 4);
        Put(f, 1, 2);
        Put(f, s.bits, 2);
        Put(f, s.compression, 4);
        Put(f, 0, 4);
        Put(f, 2835, 4);
        Put(f, 2835, 4);
        Put(f, s.clrUsed, 4);
        Put(f, 0, 4);
    }
    for (uint32_t i = 0; i < s.colours; ++i) {
        f.push_back(uint8_t(i));       // blue
        f.push_back(uint8_t(255 - i)); // green
        f.push_back(uint8_t(i * 7));   // red
        if (!s.core)
            f.push_back(0);
    }
    f.insert(f.end(), s.extra.begin(), s.extra.end());
    for (uint32_t i = 0; i < size; ++i) {
        uint32_t r = i / stride, c = i % stride;
        f.push_back(c < (uint32_t(s.width) * s.bits + 7) / 8 ? uint8_t(r * 16 + c + 1) : 0);
    }
    return f;
}

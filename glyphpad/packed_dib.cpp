#include "packed_dib.h"

namespace {

const uint32_t kHeaderSize = 40;
const uint32_t kPlain = 0;     // rows as they are
const uint32_t kColorMasks = 3; // 16 or 32 bits through three colour masks
const int kMaxSide = 4096;

uint32_t U32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
void Put(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// One colour channel of a masked pixel, scaled to 0..255.
class CChannel {
public:
    bool Set(uint32_t mask)
    {
        if (!mask)
            return false;
        m_nMask = mask;
        m_nShift = 0;
        while (!(mask & 1)) {
            mask >>= 1;
            ++m_nShift;
        }
        m_nMax = mask;
        return true;
    }
    unsigned Of(uint32_t pixel) const
    {
        return static_cast<unsigned>(static_cast<uint64_t>((pixel & m_nMask) >> m_nShift) * 255 / m_nMax);
    }

private:
    uint32_t m_nMask = 0;
    int m_nShift = 0;
    uint32_t m_nMax = 1;
};

} // namespace

std::vector<uint8_t> EncodePackedDib(const CPixelPicture& picture)
{
    const int width = picture.Width(), height = picture.Height();
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> out(kHeaderSize + stride * static_cast<size_t>(height), 0);
    Put(out, 0, kHeaderSize, 4);
    Put(out, 4, static_cast<uint32_t>(width), 4);
    Put(out, 8, static_cast<uint32_t>(height), 4);
    Put(out, 12, 1, 2);  // planes
    Put(out, 14, 24, 2); // bits per pixel
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &out[kHeaderSize + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3];
            ColorRef c = picture.Get(x, y);
            p[0] = static_cast<uint8_t>(BlueOf(c));
            p[1] = static_cast<uint8_t>(GreenOf(c));
            p[2] = static_cast<uint8_t>(RedOf(c));
        }
    return out;
}

bool DecodePackedDib(const uint8_t* data, size_t size, CPixelPicture& picture)
{
    if (!data || size < kHeaderSize)
        return false;
    const uint32_t headerSize = U32(data);
    const int32_t width = static_cast<int32_t>(U32(data + 4));
    const int32_t signedHeight = static_cast<int32_t>(U32(data + 8));
    const uint16_t bits = U16(data + 14);
    const uint32_t compression = U32(data + 16);
    const uint32_t colorsUsed = U32(data + 32);
    if (headerSize < kHeaderSize || headerSize >= size || U16(data + 12) != 1)
        return false;
    if (width <= 0 || width > kMaxSide || signedHeight == 0 || signedHeight < -kMaxSide || signedHeight > kMaxSide)
        return false;
    const bool indexed = bits == 1 || bits == 4 || bits == 8;
    const bool masked = bits == 16 || bits == 32;
    if (!indexed && !masked && bits != 24)
        return false;
    if (compression != kPlain && !(compression == kColorMasks && masked))
        return false;

    // Masks follow a 40-byte header; longer headers hold them themselves.
    uint64_t offset = headerSize;
    CChannel red, green, blue;
    if (compression == kColorMasks) {
        const uint8_t* masks = data + kHeaderSize;
        if (headerSize == kHeaderSize) {
            if (size < kHeaderSize + 12)
                return false;
            offset += 12;
        } else if (headerSize < kHeaderSize + 12) {
            return false;
        }
        if (!red.Set(U32(masks)) || !green.Set(U32(masks + 4)) || !blue.Set(U32(masks + 8)))
            return false;
    } else if (bits == 16) {
        red.Set(0x7C00), green.Set(0x03E0), blue.Set(0x001F);
    } else if (bits == 32) {
        red.Set(0x00FF0000), green.Set(0x0000FF00), blue.Set(0x000000FF);
    }

    // A table also stands before the rows of deeper bitmaps when the writer gave one.
    const uint32_t tableEntries = indexed && colorsUsed == 0 ? 1u << bits : colorsUsed;
    const uint8_t* table = data + offset;
    offset += static_cast<uint64_t>(tableEntries) * 4;
    const int height = signedHeight < 0 ? -signedHeight : signedHeight;
    const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (offset + stride * static_cast<uint64_t>(height) > size)
        return false;

    CPixelPicture decoded(width, height, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = data + offset + stride * static_cast<uint64_t>(signedHeight < 0 ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            ColorRef c;
            if (indexed) {
                const int perByte = 8 / bits;
                const int shift = (perByte - 1 - x % perByte) * bits;
                const uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
                const uint8_t* q = table + static_cast<size_t>(index) * 4;
                c = index < tableEntries ? MakeColor(q[2], q[1], q[0]) : MakeColor(0, 0, 0);
            } else if (bits == 24) {
                const uint8_t* p = row + static_cast<size_t>(x) * 3;
                c = MakeColor(p[2], p[1], p[0]);
            } else {
                const uint32_t pixel = bits == 16 ? U16(row + static_cast<size_t>(x) * 2) : U32(row + static_cast<size_t>(x) * 4);
                c = MakeColor(red.Of(pixel), green.Of(pixel), blue.Of(pixel));
            }
            decoded.Set(x, y, c);
        }
    }
    picture = decoded;
    return true;
}

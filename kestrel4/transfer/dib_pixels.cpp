#include "dib_pixels.h"

#include "dib.h"

int DecodeRunLength(const uint8_t* data, size_t size, int32_t width, int32_t height, int bits,
                    std::vector<uint8_t>& rows)
{
    const uint32_t stride = CDIB::Stride(width, bits);
    rows.assign(size_t(stride) * height, 0);
    int32_t x = 0, y = 0;
    // Rows are stored bottom-up, as the codes count them.
    auto put = [&](unsigned int index) {
        uint8_t* row = rows.data() + size_t(y) * stride;
        if (bits == 8)
            row[x] = static_cast<uint8_t>(index);
        else
            row[x / 2] |= static_cast<uint8_t>((index & 15) << (x % 2 ? 0 : 4));
        ++x;
    };
    auto nibble = [](uint8_t pair, int k) { return k % 2 ? pair & 15u : pair >> 4u; };
    size_t i = 0;
    for (;;) {
        if (size - i < 2)
            return DIB_SHORT;
        const unsigned int count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) { // a run of one index, or of two alternating ones
            if (y >= height || x + int32_t(count) > width)
                return DIB_BAD;
            for (unsigned int k = 0; k < count; ++k)
                put(bits == 8 ? value : nibble(static_cast<uint8_t>(value), int(k)));
            continue;
        }
        switch (value) {
        case 0: // end of line
            if (y >= height)
                return DIB_BAD;
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return DIB_OK;
        case 2: { // delta: right and up
            if (size - i < 2)
                return DIB_SHORT;
            const int32_t dx = data[i], dy = data[i + 1];
            i += 2;
            if (x + dx > width || y + dy >= height)
                return DIB_BAD;
            x += dx;
            y += dy;
            break;
        }
        default: { // absolute: value indices as they are, padded to a 16-bit word
            const size_t bytes = bits == 8 ? value : (value + 1) / 2;
            if (y >= height || x + int32_t(value) > width)
                return DIB_BAD;
            if (size - i < bytes)
                return DIB_SHORT;
            for (unsigned int k = 0; k < value; ++k)
                put(bits == 8 ? data[i + k] : nibble(data[i + k / 2], int(k)));
            i += bytes + bytes % 2;
            if (i > size)
                i = size;
        }
        }
    }
}

SColourMasks DefaultMasks(int bits)
{
    SColourMasks m;
    if (bits == 16) {
        m.red = 0x7C00;
        m.green = 0x03E0;
        m.blue = 0x001F;
    } else {
        m.red = 0xFF0000;
        m.green = 0x00FF00;
        m.blue = 0x0000FF;
    }
    return m;
}

namespace {
unsigned int ShiftOf(uint32_t mask)
{
    unsigned int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

bool OneRun(uint32_t mask)
{
    const uint64_t run = mask >> ShiftOf(mask);
    return (run & (run + 1)) == 0;
}

// The channel of pixel value v under mask, widened or narrowed to 0..255.
struct SChannel {
    uint32_t mask;
    unsigned int shift;
    uint64_t top;
    explicit SChannel(uint32_t m) : mask(m), shift(ShiftOf(m)), top(m >> ShiftOf(m)) {}
    unsigned int operator()(uint32_t v) const
    {
        return top ? static_cast<unsigned int>((uint64_t((v & mask) >> shift) * 255 + top / 2) / top) : 0;
    }
};
} // namespace

bool MasksUsable(const SColourMasks& m, int bits)
{
    const uint64_t inside = bits == 16 ? 0xFFFF : 0xFFFFFFFF;
    for (uint32_t mask : {m.red, m.green, m.blue})
        if (!mask || !OneRun(mask))
            return false;
    if (m.alpha && !OneRun(m.alpha))
        return false;
    if ((m.red & m.green) || (m.red & m.blue) || (m.green & m.blue) ||
        (m.alpha & (m.red | m.green | m.blue)))
        return false;
    return ((uint64_t(m.red) | m.green | m.blue | m.alpha) & ~inside) == 0;
}

std::vector<uint8_t> MaskedTo24(const std::vector<uint8_t>& rows, int32_t width, int32_t height, int bits,
                                const SColourMasks& masks)
{
    const uint32_t inStride = CDIB::Stride(width, bits), outStride = CDIB::Stride(width, 24);
    const unsigned int bytes = bits / 8;
    auto value = [&](int32_t x, int32_t r) { return ReadLE(rows.data() + size_t(r) * inStride + size_t(x) * bytes, bytes); };
    bool alpha = false;
    for (int32_t r = 0; masks.alpha && !alpha && r < height; ++r)
        for (int32_t x = 0; !alpha && x < width; ++x)
            alpha = (value(x, r) & masks.alpha) != 0;
    const SChannel red(masks.red), green(masks.green), blue(masks.blue), opacity(masks.alpha);
    std::vector<uint8_t> out(size_t(outStride) * height, 0);
    for (int32_t r = 0; r < height; ++r) {
        uint8_t* dst = out.data() + size_t(r) * outStride;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = value(x, r);
            const unsigned int a = alpha ? opacity(v) : 255;
            dst[3 * x] = OverWhite(blue(v), a);
            dst[3 * x + 1] = OverWhite(green(v), a);
            dst[3 * x + 2] = OverWhite(red(v), a);
        }
    }
    return out;
}

std::vector<uint8_t> TwoBitTo4(const std::vector<uint8_t>& rows, int32_t width, int32_t height)
{
    const uint32_t inStride = CDIB::Stride(width, 2), outStride = CDIB::Stride(width, 4);
    std::vector<uint8_t> out(size_t(outStride) * height, 0);
    for (int32_t r = 0; r < height; ++r) {
        const uint8_t* src = rows.data() + size_t(r) * inStride;
        uint8_t* dst = out.data() + size_t(r) * outStride;
        for (int32_t x = 0; x < width; ++x) {
            const unsigned int index = src[x / 4] >> (6 - 2 * (x % 4)) & 3;
            dst[x / 2] |= static_cast<uint8_t>(index << (x % 2 ? 0 : 4));
        }
    }
    return out;
}

void BgraRowOverWhite(const uint8_t* bgra, uint8_t* dst, uint32_t width)
{
    for (uint32_t x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c)
            dst[3 * x + c] = OverWhite(bgra[4 * x + c], bgra[4 * x + 3]);
}

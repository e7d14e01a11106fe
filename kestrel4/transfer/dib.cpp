#include "dib.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "dib_pixels.h"
#include "replacing_file.h"

namespace {
const uint32_t kFileHeaderSize = 14;
const uint32_t kInfoHeaderSize = 40;
const uint32_t kCoreHeaderSize = 12;

// The compressions the reader knows: none, run-length of 8 and 4 bits, colour masks.
const uint32_t kPlain = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

bool KnownDepth(unsigned int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

unsigned int ColourCountOf(const SBitmapInfoHeader& info)
{
    if (info.biClrUsed)
        return info.biClrUsed;
    switch (info.biBitCount) {
    case 1:
        return 2;
    case 2:
        return 4;
    case 4:
        return 16;
    case 8:
        return 256;
    }
    return 0;
}
} // namespace

uint32_t ReadLE(const uint8_t* p, unsigned int width)
{
    uint32_t value = 0;
    for (unsigned int i = width; i-- > 0;)
        value = value << 8 | p[i];
    return value;
}

void AppendLE(std::vector<uint8_t>& out, uint32_t value, unsigned int width)
{
    for (unsigned int i = 0; i < width; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

bool LoadFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t limit)
{
    out.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    uint8_t chunk[65536];
    bool ok = true;
    try {
        // Room for the whole file at once: growing by doubling would hold a large picture's
        // bytes up to three times over while it is read.
        long size = -1;
        if (std::fseek(file, 0, SEEK_END) == 0)
            size = std::ftell(file);
        if (std::fseek(file, 0, SEEK_SET) != 0 || (size > 0 && static_cast<unsigned long>(size) > limit))
            ok = false;
        else if (size > 0)
            out.reserve(static_cast<size_t>(size));
        while (ok) {
            size_t got = std::fread(chunk, 1, sizeof chunk, file);
            if (out.size() + got > limit) {
                ok = false;
                break;
            }
            out.insert(out.end(), chunk, chunk + got);
            if (got < sizeof chunk) {
                ok = !std::ferror(file);
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    std::fclose(file);
    if (!ok)
        std::vector<uint8_t>().swap(out);
    return ok;
}

bool ReplaceFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return WriteReplacingFile(path.c_str(), bytes.data(), bytes.size());
}

// ---- reading ----

void CDIB::Clear()
{
    m_Info = SBitmapInfoHeader();
    m_Colours.assign(256, SRgbQuad());
    m_Bits.clear();
}

unsigned int CDIB::ColourCount() const
{
    return ColourCountOf(m_Info);
}

int CDIB::ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!LoadFileBytes(path, bytes, kMaxPictureFileBytes))
        return DIB_SHORT;
    return Read(bytes);
}

int CDIB::Read(const std::vector<uint8_t>& file)
{
    Clear();
    try {
        return Parse(file);
    } catch (const std::bad_alloc&) {
        Clear();
        return DIB_MEMORY;
    }
}

int CDIB::Parse(const std::vector<uint8_t>& file)
{
    const size_t size = file.size();
    const uint8_t* p = file.data();
    if (size < kFileHeaderSize + 4)
        return DIB_SHORT;
    if (ReadLE(p, 2) != FileType())
        return DIB_BAD;
    const uint32_t bitsOffset = ReadLE(p + 10, 4);

    SBitmapInfoHeader info;
    const uint32_t headerSize = ReadLE(p + kFileHeaderSize, 4);
    const uint8_t* h = p + kFileHeaderSize;
    bool core = false;
    if (headerSize == kCoreHeaderSize && AcceptsCoreHeader()) {
        if (size < kFileHeaderSize + kCoreHeaderSize)
            return DIB_SHORT;
        info.biWidth = static_cast<int32_t>(ReadLE(h + 4, 2));
        info.biHeight = static_cast<int32_t>(ReadLE(h + 6, 2));
        info.biPlanes = static_cast<uint16_t>(ReadLE(h + 8, 2));
        info.biBitCount = static_cast<uint16_t>(ReadLE(h + 10, 2));
        core = true;
    } else if (headerSize == kInfoHeaderSize || (headerSize > kInfoHeaderSize && AcceptsCoreHeader())) {
        // Later, longer headers begin with the same 40 bytes.
        if (size < kFileHeaderSize + kInfoHeaderSize)
            return DIB_SHORT;
        info.biWidth = static_cast<int32_t>(ReadLE(h + 4, 4));
        info.biHeight = static_cast<int32_t>(ReadLE(h + 8, 4));
        info.biPlanes = static_cast<uint16_t>(ReadLE(h + 12, 2));
        info.biBitCount = static_cast<uint16_t>(ReadLE(h + 14, 2));
        info.biCompression = ReadLE(h + 16, 4);
        info.biSizeImage = ReadLE(h + 20, 4);
        info.biXPelsPerMeter = static_cast<int32_t>(ReadLE(h + 24, 4));
        info.biYPelsPerMeter = static_cast<int32_t>(ReadLE(h + 28, 4));
        info.biClrUsed = ReadLE(h + 32, 4);
        info.biClrImportant = ReadLE(h + 36, 4);
    } else {
        return DIB_BAD;
    }

    // Nothing from the header is trusted before it has been checked against sane limits.
    const bool topDown = info.biHeight < 0;
    if (info.biHeight == INT32_MIN)
        return DIB_BAD;
    if (topDown)
        info.biHeight = -info.biHeight;
    const unsigned int depth = info.biBitCount;
    const uint32_t compression = info.biCompression;
    const bool runLength = (compression == kRle8 && depth == 8) || (compression == kRle4 && depth == 4);
    const bool masked = depth == 16 || depth == 32;
    const bool layoutKnown = compression == kPlain || runLength || (compression == kBitFields && masked);
    // Run-length rows are counted from the bottom; top-down files cannot hold them.
    if (!layoutKnown || (runLength && topDown) || (!KnownDepth(depth) && depth != 2) || info.biWidth <= 0 || info.biHeight <= 0 ||
        info.biClrUsed > 256)
        return DIB_BAD;
    // What the reader keeps: 2-bit indices widened to 4, 16- and 32-bit pixels as 24.
    const int kept = depth == 2 ? 4 : masked ? 24 : depth;
    if (!PictureSizeAcceptable(info.biWidth, info.biHeight, depth) ||
        !PictureSizeAcceptable(info.biWidth, info.biHeight, kept))
        return DIB_LARGE;

    // Masks follow a 40-byte header; longer headers hold them in their own fields.
    SColourMasks masks = DefaultMasks(depth);
    const uint32_t maskBytes = compression == kBitFields && headerSize == kInfoHeaderSize ? 12 : 0;
    if (compression == kBitFields) {
        const uint8_t* m = headerSize == kInfoHeaderSize ? h + kInfoHeaderSize : h + 40;
        if (headerSize != kInfoHeaderSize && headerSize < 52)
            return DIB_BAD;
        if (size < kFileHeaderSize + kInfoHeaderSize + 12 + (headerSize >= 56 ? 4 : 0))
            return DIB_SHORT;
        masks.red = ReadLE(m, 4);
        masks.green = ReadLE(m + 4, 4);
        masks.blue = ReadLE(m + 8, 4);
        masks.alpha = headerSize >= 56 ? ReadLE(m + 12, 4) : 0;
        if (!MasksUsable(masks, int(depth)))
            return DIB_BAD;
    }

    const unsigned int count = ColourCountOf(info);
    const size_t tableStart = kFileHeaderSize + (core ? kCoreHeaderSize : headerSize) + maskBytes;
    const size_t tableEnd = tableStart + size_t(count) * (core ? 3 : 4);
    if (size < tableEnd)
        return DIB_SHORT;
    if (bitsOffset >= size || bitsOffset < tableEnd)
        return DIB_BAD;
    if (!ReadExtra(p + tableEnd, static_cast<uint32_t>(bitsOffset - tableEnd)))
        return DIB_BAD;

    const size_t available = size - bitsOffset;
    std::vector<uint8_t> bits;
    if (runLength) {
        const int decoded = DecodeRunLength(p + bitsOffset, available, info.biWidth, info.biHeight, int(depth), bits);
        if (decoded != DIB_OK)
            return decoded;
    } else {
        // Older writers left out the padding of the last row's bytes; what they wrote must be there.
        const uint64_t shortSize = uint64_t(depth) * info.biHeight * info.biWidth / 32 * 4;
        if (available < shortSize)
            return DIB_SHORT;
        bits.assign(size_t(Stride(info.biWidth, depth)) * info.biHeight, 0);
        std::copy_n(p + bitsOffset, std::min<size_t>(available, bits.size()), bits.begin());
        if (topDown) {
            const uint32_t stride = Stride(info.biWidth, depth);
            for (int32_t top = 0, bottom = info.biHeight - 1; top < bottom; ++top, --bottom)
                std::swap_ranges(bits.begin() + size_t(top) * stride, bits.begin() + size_t(top + 1) * stride,
                                 bits.begin() + size_t(bottom) * stride);
        }
    }

    std::vector<SRgbQuad> colours(256);
    if (masked) {
        bits = MaskedTo24(bits, info.biWidth, info.biHeight, int(depth), masks);
        info.biClrUsed = info.biClrImportant = 0;
    } else {
        for (unsigned int i = 0; i < count; ++i) {
            const uint8_t* entry = p + tableStart + size_t(i) * (core ? 3 : 4);
            colours[i].blue = entry[0];
            colours[i].green = entry[1];
            colours[i].red = entry[2];
            colours[i].reserved = core ? 0 : entry[3];
        }
    }
    if (depth == 2) {
        bits = TwoBitTo4(bits, info.biWidth, info.biHeight);
        info.biClrUsed = count;
    }
    info.biBitCount = static_cast<uint16_t>(kept);
    info.biCompression = kPlain;
    info.biSizeImage = 0;
    info.biSize = kInfoHeaderSize;
    m_Info = info;
    m_Colours = std::move(colours);
    m_Bits = std::move(bits);
    return DIB_OK;
}

// ---- writing ----

int CDIB::Write(std::vector<uint8_t>& out) const
{
    out.clear();
    try {
        out.reserve(kFileHeaderSize + kInfoHeaderSize + 4 * 256 + ExtraSize() + m_Bits.size());
    } catch (const std::bad_alloc&) {
        return DIB_MEMORY;
    }
    const unsigned int count = ColourCount();
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * count + ExtraSize();
    // The whole padded rows: a shorter count loses the end of the last row.
    const uint32_t bitsSize = static_cast<uint32_t>(m_Bits.size());
    AppendLE(out, FileType(), 2);
    AppendLE(out, offset + bitsSize, 4);
    AppendLE(out, 0, 4);
    AppendLE(out, offset, 4);
    AppendLE(out, kInfoHeaderSize, 4);
    AppendLE(out, static_cast<uint32_t>(m_Info.biWidth), 4);
    AppendLE(out, static_cast<uint32_t>(m_Info.biHeight), 4);
    AppendLE(out, m_Info.biPlanes, 2);
    AppendLE(out, m_Info.biBitCount, 2);
    AppendLE(out, m_Info.biCompression, 4);
    AppendLE(out, m_Info.biSizeImage, 4);
    AppendLE(out, static_cast<uint32_t>(m_Info.biXPelsPerMeter), 4);
    AppendLE(out, static_cast<uint32_t>(m_Info.biYPelsPerMeter), 4);
    AppendLE(out, m_Info.biClrUsed, 4);
    AppendLE(out, m_Info.biClrImportant, 4);
    for (unsigned int i = 0; i < count; ++i) {
        const SRgbQuad& c = m_Colours[i];
        out.insert(out.end(), {c.blue, c.green, c.red, c.reserved});
    }
    WriteExtra(out);
    out.insert(out.end(), m_Bits.begin(), m_Bits.end());
    return DIB_OK;
}

int CDIB::WriteFile(const std::string& path) const
{
    std::vector<uint8_t> bytes;
    int result = Write(bytes);
    if (result != DIB_OK)
        return result;
    return ReplaceFileBytes(path, bytes) ? DIB_OK : DIB_WRITE;
}

// ---- pictures ----

int CDIB::CreateBlank(int32_t width, int32_t height, int bitCount)
{
    if (width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide || !KnownDepth(bitCount))
        return 0;
    std::vector<uint8_t> bits;
    try {
        bits.assign(size_t(Stride(width, bitCount)) * height, 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    Clear();
    m_Info.biWidth = width;
    m_Info.biHeight = height;
    m_Info.biBitCount = static_cast<uint16_t>(bitCount);
    for (unsigned int i = 0; i < 256; ++i)
        m_Colours[i] = SRgbQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    m_Bits = std::move(bits);
    return 1;
}

void CDIB::Assign24(int32_t width, int32_t height, std::vector<uint8_t> bits)
{
    SBitmapInfoHeader info;
    info.biWidth = width;
    info.biHeight = height;
    info.biBitCount = 24;
    info.biXPelsPerMeter = m_Info.biXPelsPerMeter;
    info.biYPelsPerMeter = m_Info.biYPelsPerMeter;
    m_Info = info;
    m_Bits = std::move(bits);
}

unsigned int CDIB::IndexAt(int32_t x, int32_t y) const
{
    const uint8_t* row = Row(y);
    switch (m_Info.biBitCount) {
    case 1:
        return row[x / 8] >> (7 - x % 8) & 1;
    case 4:
        return row[x / 2] >> (x % 2 ? 0 : 4) & 0x0F;
    default:
        return row[x];
    }
}

SRgbQuad CDIB::Pixel(int32_t x, int32_t y) const
{
    const uint8_t* row = Row(y);
    switch (m_Info.biBitCount) {
    case 24:
        return SRgbQuad{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    case 32:
        return SRgbQuad{row[4 * x], row[4 * x + 1], row[4 * x + 2], 0};
    case 16: {
        unsigned int v = row[2 * x] | row[2 * x + 1] << 8;
        auto widen = [](unsigned int five) { return static_cast<uint8_t>(five << 3 | five >> 2); };
        return SRgbQuad{widen(v & 31), widen(v >> 5 & 31), widen(v >> 10 & 31), 0};
    }
    default: {
        SRgbQuad c = m_Colours[IndexAt(x, y)];
        c.reserved = 0;
        return c;
    }
    }
}

int CDIB::ConvertTo24()
{
    const int bits = BitCount();
    if (bits == 24)
        return 1;
    if (bits != 1 && bits != 4 && bits != 8)
        return 0;
    const int32_t w = Width(), h = Height();
    const uint32_t stride = Stride(w, 24);
    std::vector<uint8_t> out;
    try {
        out.resize(size_t(stride) * h);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* dst = out.data() + size_t(h - 1 - y) * stride;
        for (int32_t x = 0; x < w; ++x) {
            SRgbQuad c = Pixel(x, y);
            dst[3 * x] = c.blue;
            dst[3 * x + 1] = c.green;
            dst[3 * x + 2] = c.red;
        }
    }
    Assign24(w, h, std::move(out));
    return 1;
}

int CDIB::CutToArea(const SArea& area)
{
    if (IsEmpty() || area.left < 0 || area.top < 0 || area.right < area.left || area.bottom < area.top ||
        area.right >= Width() || area.bottom >= Height())
        return 0;
    const int32_t w = area.right - area.left + 1, h = area.bottom - area.top + 1;
    const int bits = BitCount();
    CDIB cut;
    try {
        cut.m_Info = m_Info;
        cut.m_Colours = m_Colours;
        cut.m_Info.biWidth = w;
        cut.m_Info.biHeight = h;
        cut.m_Info.biSizeImage = 0;
        cut.m_Bits.assign(size_t(cut.RowStride()) * h, 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* src = Row(area.top + y);
        uint8_t* dst = cut.Row(y);
        if (bits >= 8) {
            const unsigned int bytes = bits / 8;
            std::copy_n(src + size_t(area.left) * bytes, size_t(w) * bytes, dst);
            continue;
        }
        for (int32_t x = 0; x < w; ++x) {
            unsigned int index = IndexAt(area.left + x, area.top + y);
            if (bits == 1)
                dst[x / 8] |= static_cast<uint8_t>(index << (7 - x % 8));
            else
                dst[x / 2] |= static_cast<uint8_t>(index << (x % 2 ? 0 : 4));
        }
    }
    *this = std::move(cut);
    return 1;
}

int CDIB::MapToPalette(const std::vector<SRgbQuad>& palette)
{
    if (BitCount() != 8 || palette.empty() || palette.size() > 256)
        return 0;
    uint8_t map[256];
    for (unsigned int i = 0; i < 256; ++i) {
        const SRgbQuad& c = m_Colours[i];
        long best = -1;
        for (size_t j = 0; j < palette.size(); ++j) {
            long dr = c.red - palette[j].red, dg = c.green - palette[j].green, db = c.blue - palette[j].blue;
            long distance = dr * dr + dg * dg + db * db;
            if (best < 0 || distance < best) {
                best = distance;
                map[i] = static_cast<uint8_t>(j);
            }
        }
    }
    for (int32_t y = 0; y < Height(); ++y) {
        uint8_t* row = Row(y);
        for (int32_t x = 0; x < Width(); ++x)
            row[x] = map[row[x]];
    }
    m_Colours.assign(256, SRgbQuad());
    std::copy(palette.begin(), palette.end(), m_Colours.begin());
    m_Info.biClrUsed = 0;
    m_Info.biClrImportant = 0;
    return 1;
}

#include "cursor_info.h"

#include <cstdio>
#include <new>

#include "replacing_file.h"

uint16_t CByteView::U16(size_t offset) const
{
    return static_cast<uint16_t>(m_pData[offset] | m_pData[offset + 1] << 8);
}

uint32_t CByteView::U32(size_t offset) const
{
    return static_cast<uint32_t>(m_pData[offset]) | static_cast<uint32_t>(m_pData[offset + 1]) << 8 |
           static_cast<uint32_t>(m_pData[offset + 2]) << 16 | static_cast<uint32_t>(m_pData[offset + 3]) << 24;
}

void PutU16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, static_cast<uint16_t>(value));
    PutU16(out, static_cast<uint16_t>(value >> 16));
}

namespace {

bool SizeAllowed(int pixels)
{
    return pixels == 32 || pixels == 48;
}
bool DepthAllowed(int bits)
{
    return bits == 1 || bits == 4 || bits == 8;
}

} // namespace

int CCursorInfo::CreateNew(int width, int height, int bits)
{
    if (!DepthAllowed(bits) || width < 1 || width > 255 || height < 1 || height > 255)
        return 0;
    m_nWidth = width;
    m_nHeight = height;
    m_nBits = bits;
    m_nHotX = m_nHotY = 0;
    int colors = 1 << bits;
    m_Colors.assign(static_cast<size_t>(colors), 0);
    for (int i = 0; i < colors && i < 16; ++i)
        m_Colors[static_cast<size_t>(i)] = MakeColor(16u * i, 16u * i, 16u * i);
    m_ColorBits.assign(ColorStride() * static_cast<size_t>(height), 0);
    // Every pixel transparent; the row padding stays 0.
    m_MaskBits.assign(MaskStride() * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetTransparent(x, y, true);
    return 1;
}

size_t CCursorInfo::ImageDataLength() const
{
    return kBitmapHeaderSize + 4 * m_Colors.size() + m_ColorBits.size() + m_MaskBits.size();
}

size_t CCursorInfo::FileLength() const
{
    return kCursorDirectorySize + ImageDataLength();
}

void CCursorInfo::SetHotSpot(uint16_t x, uint16_t y)
{
    m_nHotX = x;
    m_nHotY = y;
}

int CCursorInfo::Read(const CByteView& view, size_t offset, size_t& consumed)
{
    if (!view.Has(offset, kCursorDirectorySize))
        return CURSOR_FILE_SHORT;
    if (view.U16(offset + 2) != 2)
        return CURSOR_FILE_NOT_KIND;
    size_t header = offset + view.U32(offset + 18);
    if (view.U32(offset + 18) < kCursorDirectorySize || !view.Has(header, 12))
        return CURSOR_FILE_NOT_KIND;
    uint32_t headerSize = view.U32(header);
    int width = 0, height = 0, bits = 0;
    size_t entrySize = 4;
    if (headerSize == kBitmapHeaderSize && view.Has(header, kBitmapHeaderSize)) {
        width = static_cast<int32_t>(view.U32(header + 4));
        height = static_cast<int32_t>(view.U32(header + 8));
        bits = view.U16(header + 14);
        if (view.U32(header + 16) != 0) // compressed images are not cursor images
            return CURSOR_FILE_NOT_KIND;
    } else if (headerSize == 12) {
        // The older header: 16-bit sizes and 3-byte colour entries.
        width = view.U16(header + 4);
        height = view.U16(header + 6);
        bits = view.U16(header + 10);
        entrySize = 3;
    } else {
        return CURSOR_FILE_NOT_KIND;
    }
    // The height counts the image and its mask.
    if (!SizeAllowed(width) || height % 2 != 0 || !SizeAllowed(height / 2) || !DepthAllowed(bits))
        return CURSOR_FILE_NOT_KIND;

    CCursorInfo read;
    if (!read.CreateNew(width, height / 2, bits))
        return CURSOR_FILE_NOT_KIND;
    size_t table = header + headerSize;
    size_t colorBits = table + entrySize * read.m_Colors.size();
    size_t maskBits = colorBits + read.m_ColorBits.size();
    size_t end = maskBits + read.m_MaskBits.size();
    if (!view.Has(offset, end - offset))
        return CURSOR_FILE_NOT_KIND;
    for (size_t i = 0; i < read.m_Colors.size(); ++i) {
        const uint8_t* bgr = view.At(table + entrySize * i);
        read.m_Colors[i] = MakeColor(bgr[2], bgr[1], bgr[0]);
    }
    read.m_ColorBits.assign(view.At(colorBits), view.At(maskBits));
    read.m_MaskBits.assign(view.At(maskBits), view.At(end));
    read.m_nHotX = view.U16(offset + 10);
    read.m_nHotY = view.U16(offset + 12);
    *this = std::move(read);
    consumed = end - offset;
    return CURSOR_FILE_OK;
}

void CCursorInfo::Write(std::vector<uint8_t>& out) const
{
    PutU16(out, 0);
    PutU16(out, 2);
    PutU16(out, 1);
    out.push_back(static_cast<uint8_t>(m_nWidth));
    out.push_back(static_cast<uint8_t>(m_nHeight));
    out.push_back(0);
    out.push_back(0);
    PutU16(out, m_nHotX);
    PutU16(out, m_nHotY);
    PutU32(out, static_cast<uint32_t>(ImageDataLength()));
    PutU32(out, kCursorDirectorySize);

    PutU32(out, kBitmapHeaderSize);
    PutU32(out, static_cast<uint32_t>(m_nWidth));
    PutU32(out, static_cast<uint32_t>(2 * m_nHeight));
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(m_nBits));
    for (int i = 0; i < 6; ++i)
        PutU32(out, 0);
    for (ColorRef c : m_Colors) {
        out.push_back(static_cast<uint8_t>(BlueOf(c)));
        out.push_back(static_cast<uint8_t>(GreenOf(c)));
        out.push_back(static_cast<uint8_t>(RedOf(c)));
        out.push_back(0);
    }
    out.insert(out.end(), m_ColorBits.begin(), m_ColorBits.end());
    out.insert(out.end(), m_MaskBits.begin(), m_MaskBits.end());
}

int CCursorInfo::GetPixel(int x, int y) const
{
    size_t row = static_cast<size_t>(m_nHeight - 1 - y) * ColorStride();
    switch (m_nBits) {
    case 1:
        return m_ColorBits[row + x / 8] >> (7 - x % 8) & 1;
    case 4:
        return m_ColorBits[row + x / 2] >> (x % 2 ? 0 : 4) & 0x0F;
    default:
        return m_ColorBits[row + x];
    }
}

void CCursorInfo::SetPixel(int x, int y, int index)
{
    size_t row = static_cast<size_t>(m_nHeight - 1 - y) * ColorStride();
    switch (m_nBits) {
    case 1: {
        uint8_t& b = m_ColorBits[row + x / 8];
        uint8_t bit = static_cast<uint8_t>(0x80 >> x % 8);
        b = static_cast<uint8_t>(index & 1 ? b | bit : b & ~bit);
        break;
    }
    case 4: {
        uint8_t& b = m_ColorBits[row + x / 2];
        b = static_cast<uint8_t>(x % 2 ? (b & 0xF0) | (index & 0x0F) : (b & 0x0F) | (index & 0x0F) << 4);
        break;
    }
    default:
        m_ColorBits[row + x] = static_cast<uint8_t>(index);
    }
}

bool CCursorInfo::IsTransparent(int x, int y) const
{
    size_t row = static_cast<size_t>(m_nHeight - 1 - y) * MaskStride();
    return m_MaskBits[row + x / 8] >> (7 - x % 8) & 1;
}

void CCursorInfo::SetTransparent(int x, int y, bool transparent)
{
    size_t row = static_cast<size_t>(m_nHeight - 1 - y) * MaskStride();
    uint8_t& b = m_MaskBits[row + x / 8];
    uint8_t bit = static_cast<uint8_t>(0x80 >> x % 8);
    b = static_cast<uint8_t>(transparent ? b | bit : b & ~bit);
}

bool CCursorInfo::operator==(const CCursorInfo& other) const
{
    return m_nWidth == other.m_nWidth && m_nHeight == other.m_nHeight && m_nBits == other.m_nBits &&
           m_nHotX == other.m_nHotX && m_nHotY == other.m_nHotY && m_Colors == other.m_Colors &&
           m_ColorBits == other.m_ColorBits && m_MaskBits == other.m_MaskBits;
}

int ReadWholeFile(const char* path, size_t limit, std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return CURSOR_FILE_SHORT;
    int result = CURSOR_FILE_OK;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        result = CURSOR_FILE_SHORT;
    } else if (static_cast<unsigned long>(size) > limit) {
        result = CURSOR_FILE_NOT_KIND;
    } else {
        try {
            bytes.resize(static_cast<size_t>(size));
            if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
                result = CURSOR_FILE_SHORT;
        } catch (const std::bad_alloc&) {
            result = CURSOR_FILE_NO_MEMORY;
        }
    }
    std::fclose(file);
    return result;
}

int ReplaceFile(const char* path, const std::vector<uint8_t>& bytes)
{
    return WriteReplacingFile(path, bytes.data(), bytes.size()) ? CURSOR_FILE_OK : CURSOR_FILE_WRITE;
}

int ReadCursorFile(const char* path, CCursorInfo& info)
{
    std::vector<uint8_t> bytes;
    int result = ReadWholeFile(path, 1 << 20, bytes);
    if (result != CURSOR_FILE_OK)
        return result;
    size_t consumed = 0;
    return info.Read(CByteView(bytes.data(), bytes.size()), 0, consumed);
}

int WriteCursorFile(const char* path, const CCursorInfo& info)
{
    std::vector<uint8_t> bytes;
    info.Write(bytes);
    return ReplaceFile(path, bytes);
}

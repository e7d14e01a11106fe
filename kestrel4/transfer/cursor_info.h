// One cursor image as the projector's cursor/stamp functions and the item files keep it:
// a 22-byte cursor directory, a bitmap header with its colour table, the colour (XOR) bits
// and the mask (AND) bits, rows bottom first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Result codes of every read and write of set and item files.
enum ECursorFileResult {
    CURSOR_FILE_OK = 0,
    CURSOR_FILE_SHORT = 1,    // the file ends early
    CURSOR_FILE_WRITE = 2,    // the write failed
    CURSOR_FILE_NOT_KIND = 3, // not a file of this kind, or damaged
    CURSOR_FILE_NO_MEMORY = 4,
};

// Colours as 0x00BBGGRR.
using ColorRef = uint32_t;
constexpr ColorRef MakeColor(unsigned r, unsigned g, unsigned b)
{
    return r | g << 8 | b << 16;
}
constexpr unsigned RedOf(ColorRef c)
{
    return c & 0xFF;
}
constexpr unsigned GreenOf(ColorRef c)
{
    return c >> 8 & 0xFF;
}
constexpr unsigned BlueOf(ColorRef c)
{
    return c >> 16 & 0xFF;
}

constexpr size_t kCursorDirectorySize = 22;
constexpr size_t kBitmapHeaderSize = 40;

// A read-only view of file bytes; every access is checked against the end.
class CByteView {
public:
    CByteView(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}
    size_t Size() const { return m_nSize; }
    const uint8_t* At(size_t offset) const { return m_pData + offset; }
    bool Has(size_t offset, size_t count) const { return offset <= m_nSize && count <= m_nSize - offset; }
    uint16_t U16(size_t offset) const;
    uint32_t U32(size_t offset) const;

private:
    const uint8_t* m_pData;
    size_t m_nSize;
};

void PutU16(std::vector<uint8_t>& out, uint16_t value);
void PutU32(std::vector<uint8_t>& out, uint32_t value);

class CCursorInfo {
public:
    CCursorInfo() { CreateNew(32, 32, 4); }

    // A blank image: grey-ramp colour table, colour bits 0, mask bits 1 (transparent).
    // Refused (0) above 8 bits or for sizes the directory cannot hold.
    int CreateNew(int width, int height, int bits);
    // One image at offset of view; consumed is its length (directory and image data).
    int Read(const CByteView& view, size_t offset, size_t& consumed);
    void Write(std::vector<uint8_t>& out) const;
    // Directory and image data together: the length of an item file.
    size_t FileLength() const;

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBitCount() const { return m_nBits; }
    int GetColorCount() const { return m_nBits <= 8 ? 1 << m_nBits : 0; }
    uint16_t GetHotSpotX() const { return m_nHotX; }
    uint16_t GetHotSpotY() const { return m_nHotY; }
    void SetHotSpot(uint16_t x, uint16_t y);

    ColorRef GetColor(int index) const { return m_Colors[index]; }
    void SetColor(int index, ColorRef color) { m_Colors[index] = color; }
    const std::vector<ColorRef>& GetColorTable() const { return m_Colors; }

    // Bytes of a row, padded to 4 as bitmaps keep them.
    size_t ColorStride() const { return Stride(m_nWidth * m_nBits); }
    size_t MaskStride() const { return Stride(m_nWidth); }
    const std::vector<uint8_t>& GetColorBits() const { return m_ColorBits; }
    const std::vector<uint8_t>& GetMaskBits() const { return m_MaskBits; }
    // Pixel access with y = 0 at the top.
    int GetPixel(int x, int y) const;
    void SetPixel(int x, int y, int index);
    bool IsTransparent(int x, int y) const;
    void SetTransparent(int x, int y, bool transparent);

    bool operator==(const CCursorInfo& other) const;

private:
    static size_t Stride(int bitsPerRow) { return static_cast<size_t>((bitsPerRow + 31) / 32 * 4); }
    size_t ImageDataLength() const;

    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBits = 0;
    uint16_t m_nHotX = 0;
    uint16_t m_nHotY = 0;
    std::vector<ColorRef> m_Colors;
    std::vector<uint8_t> m_ColorBits;
    std::vector<uint8_t> m_MaskBits;
};

// Reads and writes one item file (.crs, .stp).
int ReadCursorFile(const char* path, CCursorInfo& info);
int WriteCursorFile(const char* path, const CCursorInfo& info);

// Whole-file helpers shared by the set and item files. Reading refuses files above limit
// (CURSOR_FILE_NOT_KIND) so that a damaged name cannot make us load anything huge.
int ReadWholeFile(const char* path, size_t limit, std::vector<uint8_t>& bytes);
// Written aside first, then moved over the old file, so a failed write keeps the old one.
int ReplaceFile(const char* path, const std::vector<uint8_t>& bytes);

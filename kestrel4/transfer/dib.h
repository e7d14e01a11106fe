// CDIB: a device-independent bitmap held in memory (file header, information header with room
// for 256 colours, pixel rows bottom-up) and the bitmap file format around it.
// Portable: the window side draws it through dib_gdi.h.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Result codes of reading and writing.
enum EDibResult {
    DIB_OK = 0,
    DIB_SHORT = 1,  // the file ended early
    DIB_WRITE = 2,  // a write failed
    DIB_BAD = 3,    // wrong file type or inconsistent header
    DIB_MEMORY = 4, // out of memory
    DIB_LARGE = 5,  // a picture beyond kMaxDibSide or kMaxDibBits
};

struct SRgbQuad {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    bool operator==(const SRgbQuad& o) const
    {
        return blue == o.blue && green == o.green && red == o.red && reserved == o.reserved;
    }
};

// The 40-byte information header, host order; the height is positive (rows bottom-up).
struct SBitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// An inclusive pixel rectangle; y runs downwards from the picture's top row.
struct SArea {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const SArea& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Pictures larger than this are refused before anything of their size is allocated.
constexpr int32_t kMaxDibSide = 16384;
constexpr uint64_t kMaxDibBits = 256u << 20;

// The largest picture file read: a bitmap at the size limit with its headers.
constexpr size_t kMaxPictureFileBytes = kMaxDibBits + (1u << 20);

// A width x height picture (both positive) whose rows at bitCount fit the limits.
inline bool PictureSizeAcceptable(int32_t width, int32_t height, int bitCount)
{
    return width <= kMaxDibSide && height <= kMaxDibSide &&
           (uint64_t(width) * bitCount + 31) / 32 * 4 * uint64_t(height) <= kMaxDibBits;
}

class CDIB {
public:
    CDIB() = default;
    virtual ~CDIB() = default;
    CDIB(const CDIB&) = default;
    CDIB& operator=(const CDIB&) = default;
    // Moves never allocate: a picture built aside is put in place without a failure half-way.
    CDIB(CDIB&&) = default;
    CDIB& operator=(CDIB&&) = default;

    // The whole file in memory / on disk. Memory shortage gives DIB_MEMORY (reading from
    // disk: DIB_SHORT, as for a file that cannot be read), and the picture stays empty.
    // Run-length, 2-bit and masked 16- or 32-bit files are kept as 4, 8 or 24 bits per pixel.
    int Read(const std::vector<uint8_t>& file);
    int ReadFile(const std::string& path);
    int Write(std::vector<uint8_t>& file) const;
    // Written aside and then put in place of the old file, so a failed save keeps it.
    int WriteFile(const std::string& path) const;

    // These give 0 when the picture is refused or memory is short; the picture is then as it was.
    int CreateBlank(int32_t width, int32_t height, int bitCount);
    void CopyFrom(const CDIB& other) { *this = other; }
    int CutToArea(const SArea& area);
    // 8-bit pictures only: every index becomes the nearest of the 256 palette entries.
    int MapToPalette(const std::vector<SRgbQuad>& palette);
    // The picture in 24 bits per pixel through its colour table; 0 for depths other than 1, 4, 8, 24.
    int ConvertTo24();

    bool IsEmpty() const { return m_Bits.empty(); }
    int32_t Width() const { return m_Info.biWidth; }
    int32_t Height() const { return m_Info.biHeight; }
    int BitCount() const { return m_Info.biBitCount; }
    unsigned int ColourCount() const;
    uint32_t RowStride() const { return Stride(m_Info.biWidth, m_Info.biBitCount); }
    const SBitmapInfoHeader& Info() const { return m_Info; }
    const SRgbQuad* Colours() const { return m_Colours.data(); }
    void SetColour(unsigned int index, SRgbQuad colour) { m_Colours.at(index) = colour; }
    const std::vector<uint8_t>& Bits() const { return m_Bits; }
    // Row y counted from the top of the picture.
    const uint8_t* Row(int32_t y) const { return m_Bits.data() + RowOffset(y); }
    uint8_t* Row(int32_t y) { return m_Bits.data() + RowOffset(y); }
    // The colour at x, y (from the top); any depth the reader accepts.
    SRgbQuad Pixel(int32_t x, int32_t y) const;
    // Replaces header and bits with a 24-bit picture of the given rows.
    void Assign24(int32_t width, int32_t height, std::vector<uint8_t> bits);

    static uint32_t Stride(int32_t width, int bitCount) { return ((uint32_t)width * bitCount + 31) / 32 * 4; }

protected:
    // The file's two type bytes.
    virtual uint16_t FileType() const { return 0x4D42; } // "BM"
    // Bytes between the colour table and the bits (the logo block).
    virtual uint32_t ExtraSize() const { return 0; }
    // Reads the bytes between the colour table and the bits; false when their size is not one
    // it knows. Plain bitmaps may leave such a gap, which holds nothing of theirs.
    virtual bool ReadExtra(const uint8_t*, uint32_t) { return true; }
    virtual void WriteExtra(std::vector<uint8_t>&) const {}
    // A file whose header is not 40 bytes (core header) is accepted by plain bitmaps only.
    virtual bool AcceptsCoreHeader() const { return true; }

    void Clear();

private:
    int Parse(const std::vector<uint8_t>& file);
    size_t RowOffset(int32_t y) const { return (size_t)(m_Info.biHeight - 1 - y) * RowStride(); }
    unsigned int IndexAt(int32_t x, int32_t y) const;

    SBitmapInfoHeader m_Info;
    std::vector<SRgbQuad> m_Colours = std::vector<SRgbQuad>(256);
    std::vector<uint8_t> m_Bits;
};

// Little-endian helpers shared by the file formats.
uint32_t ReadLE(const uint8_t* p, unsigned int width);
void AppendLE(std::vector<uint8_t>& out, uint32_t value, unsigned int width);
// The file's bytes, at most limit of them; false when it cannot be opened or read, or memory is short.
bool LoadFileBytes(const std::string& path, std::vector<uint8_t>& out, size_t limit);
// The new contents of path, written beside it, flushed and renamed over it; a read-only path
// is refused and left as it was.
bool ReplaceFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

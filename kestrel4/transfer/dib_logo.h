// CDIBLogo: a bitmap with the user-logo block (background colour, zoom rate, selected area)
// and its own file type "*.lgo"; fitting a picture to the projector's logo size; loading
// either kind of file.
#pragma once
#include "dib.h"

// A working logo is at most this many bytes at 24 bits per pixel.
constexpr uint32_t kLogoByteLimit = 360000;
// The smallest picture or area side a logo may have, in pixels.
constexpr int32_t kLogoMinimumSide = 9;

class CDIBLogo : public CDIB {
public:
    SRgbQuad GetColour() const { return m_Colour; }
    void SetColour(SRgbQuad colour) { m_Colour = colour; }
    int GetZoom() const { return m_nZoom; }
    void SetZoom(int zoom) { m_nZoom = static_cast<uint16_t>(zoom); }
    const SArea& GetArea() const { return m_Area; }
    void SetArea(const SArea& area) { m_Area = area; }
    // Takes a plain bitmap as a logo with no area.
    void FromDIB(CDIB dib, int zoom);

    // In 24 bits per pixel and, when larger than kLogoByteLimit, scaled down: smoothed over
    // 2 x 2 blocks and resampled. 0 for depths other than 1, 4, 8 and 24, and when memory is short.
    int ConvertTo24AndFit();
    // Becomes area of picture (all of it when area is empty) converted and fitted as
    // ConvertTo24AndFit does; colour, zoom and area stay its own. Read from picture a pixel
    // at a time, so that no full-size copy of a large picture is ever made. 0, with nothing
    // changed, for the depths ConvertTo24AndFit refuses, an area beyond the picture, and
    // memory shortage.
    int FitFrom(const CDIB& picture, const SArea& area);

protected:
    uint16_t FileType() const override { return 0x4C4F; } // "OL"
    uint32_t ExtraSize() const override { return kBlockSize; }
    bool ReadExtra(const uint8_t* block, uint32_t size) override;
    void WriteExtra(std::vector<uint8_t>& out) const override;
    bool AcceptsCoreHeader() const override { return false; }

private:
    static const uint32_t kBlockSize = 24;
    static const uint32_t kShortBlockSize = 6; // older files: colour and zoom only

    SRgbQuad m_Colour;
    uint16_t m_nZoom = 100;
    SArea m_Area;
};

// The size a picture of width x height gets when fitted to the logo limit.
void FittedLogoSize(int32_t width, int32_t height, int32_t& fittedWidth, int32_t& fittedHeight);
// Nearest-neighbour map from n source to m destination indices (m <= n), m entries.
std::vector<int32_t> ResampleMap(int32_t n, int32_t m);

// A picture that can become a logo: at least kLogoMinimumSide pixels each way.
inline bool LogoSizeAcceptable(int32_t width, int32_t height)
{
    return width >= kLogoMinimumSide && height >= kLogoMinimumSide;
}
// An area whose sides differ by at least kLogoMinimumSide (10 pixels inclusive).
inline bool LogoAreaAcceptable(const SArea& area)
{
    return area.right - area.left >= kLogoMinimumSide && area.bottom - area.top >= kLogoMinimumSide;
}
// The rectangle between two corner points, left <= right and top <= bottom.
inline SArea NormalisedArea(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    SArea a;
    a.left = x0 < x1 ? x0 : x1;
    a.right = x0 < x1 ? x1 : x0;
    a.top = y0 < y1 ? y0 : y1;
    a.bottom = y0 < y1 ? y1 : y0;
    return a;
}

enum class ELogoLoad {
    Ok,
    ReadFailed,   // cannot open or read: "Failed to read in the file."
    NotAvailable, // neither a usable picture nor a logo file: "This file is not available."
    TooLarge,     // beyond kMaxDibSide or kMaxDibBits
    NoMemory,     // read, but too large for the memory there is
};

// A picture (any kind ReadPicture knows, by content) becomes a logo with the given zoom; a .lgo
// keeps its own block. logoFile, when given, tells whether the content was a logo file's.
ELogoLoad LoadLogoFile(const std::string& path, int defaultZoom, CDIBLogo& target, bool* logoFile = nullptr);
ELogoLoad LoadLogoBytes(const std::vector<uint8_t>& bytes, int defaultZoom, CDIBLogo& target,
                        bool* logoFile = nullptr);

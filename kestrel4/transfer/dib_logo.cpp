#include "dib_logo.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "logo_document.h"
#include "picture_reader.h"

bool CDIBLogo::ReadExtra(const uint8_t* block, uint32_t size)
{
    if (size != kBlockSize && size != kShortBlockSize)
        return false;
    m_Colour = SRgbQuad{block[0], block[1], block[2], 0};
    m_nZoom = static_cast<uint16_t>(ReadLE(block + 4, 2));
    // Only the five rates exist; any other is a damaged file, not a zoom to send.
    if (ZoomIndexOfRate(m_nZoom) < 0)
        return false;
    m_Area = SArea();
    if (size == kBlockSize) {
        m_Area.left = static_cast<int32_t>(ReadLE(block + 8, 4));
        m_Area.top = static_cast<int32_t>(ReadLE(block + 12, 4));
        m_Area.right = static_cast<int32_t>(ReadLE(block + 16, 4));
        m_Area.bottom = static_cast<int32_t>(ReadLE(block + 20, 4));
    }
    return true;
}

void CDIBLogo::WriteExtra(std::vector<uint8_t>& out) const
{
    out.insert(out.end(), {m_Colour.blue, m_Colour.green, m_Colour.red, 0});
    AppendLE(out, m_nZoom, 2);
    AppendLE(out, 0, 2);
    for (int32_t v : {m_Area.left, m_Area.top, m_Area.right, m_Area.bottom})
        AppendLE(out, static_cast<uint32_t>(v), 4);
}

void CDIBLogo::FromDIB(CDIB dib, int zoom)
{
    CDIB::operator=(std::move(dib));
    m_Colour = SRgbQuad();
    m_nZoom = static_cast<uint16_t>(zoom);
    m_Area = SArea();
}

void FittedLogoSize(int32_t width, int32_t height, int32_t& fittedWidth, int32_t& fittedHeight)
{
    const double bytes = double(width) * double(height) * 3.0;
    if (bytes <= kLogoByteLimit) {
        fittedWidth = width;
        fittedHeight = height;
        return;
    }
    const double f = std::sqrt(kLogoByteLimit / bytes);
    fittedWidth = static_cast<int32_t>(std::floor(width * f));
    fittedHeight = static_cast<int32_t>(std::floor(height * f));
}

std::vector<int32_t> ResampleMap(int32_t n, int32_t m)
{
    std::vector<int32_t> map;
    map.reserve(m);
    int64_t error = 1 - int64_t(n);
    for (int32_t j = 0; j < n && int32_t(map.size()) < m; ++j) {
        if (error + 2 * int64_t(m) - 2 >= 0) {
            map.push_back(j);
            error += 2 * int64_t(m) - 2 * int64_t(n);
        } else {
            error += 2 * int64_t(m) - 2;
        }
    }
    // The error term can fall one short (1000 to 346); the last columns repeat the edge.
    while (int32_t(map.size()) < m)
        map.push_back(n - 1);
    return map;
}

int CDIBLogo::ConvertTo24AndFit()
{
    return FitFrom(*this, SArea());
}

int CDIBLogo::FitFrom(const CDIB& picture, const SArea& area)
{
    const int depth = picture.BitCount();
    if (picture.IsEmpty() || (depth != 1 && depth != 4 && depth != 8 && depth != 24))
        return 0;
    SArea a = area;
    if (a.IsEmpty())
        a = SArea{0, 0, picture.Width() - 1, picture.Height() - 1};
    if (a.left < 0 || a.top < 0 || a.right < a.left || a.bottom < a.top || a.right >= picture.Width() ||
        a.bottom >= picture.Height())
        return 0;
    const int32_t w = a.right - a.left + 1, h = a.bottom - a.top + 1;
    int32_t fw = 0, fh = 0;
    FittedLogoSize(w, h, fw, fh);
    if (fw <= 0 || fh <= 0)
        return 0;
    // Pixel of the area by stored row (bottom-up) and column.
    auto at = [&](int32_t storedRow, int32_t x) { return picture.Pixel(a.left + x, a.top + h - 1 - storedRow); };

    std::vector<uint8_t> fitted;
    try {
        const uint32_t stride = Stride(fw, 24);
        fitted.assign(size_t(stride) * fh, 0);
        const bool scaled = fw != w || fh != h;
        std::vector<int32_t> columns, rows;
        if (scaled) {
            columns = ResampleMap(w, fw);
            rows = ResampleMap(h, fh);
        }
        for (int32_t i = 0; i < fh; ++i) {
            uint8_t* out = fitted.data() + size_t(i) * stride;
            for (int32_t x = 0; x < fw; ++x) {
                SRgbQuad c;
                if (!scaled) {
                    c = at(i, x);
                } else {
                    // The mean of the 2 x 2 block the chosen pixel starts (the next stored row
                    // and the right neighbour), the pixel itself standing in at the edges.
                    const int32_t r = rows[i], r1 = r + 1 < h ? r + 1 : r;
                    const int32_t cx = columns[x], cx1 = cx + 1 < w ? cx + 1 : cx;
                    const SRgbQuad p[4] = {at(r, cx), at(r, cx1), at(r1, cx), at(r1, cx1)};
                    c.blue = static_cast<uint8_t>((p[0].blue + p[1].blue + p[2].blue + p[3].blue) / 4);
                    c.green = static_cast<uint8_t>((p[0].green + p[1].green + p[2].green + p[3].green) / 4);
                    c.red = static_cast<uint8_t>((p[0].red + p[1].red + p[2].red + p[3].red) / 4);
                }
                out[3 * x] = c.blue;
                out[3 * x + 1] = c.green;
                out[3 * x + 2] = c.red;
            }
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    Assign24(fw, fh, std::move(fitted));
    return 1;
}

ELogoLoad LoadLogoBytes(const std::vector<uint8_t>& bytes, int defaultZoom, CDIBLogo& target, bool* logoFile)
{
    CDIB plain;
    switch (ReadPicture(bytes, plain)) {
    case DIB_OK:
        target.FromDIB(std::move(plain), defaultZoom);
        if (logoFile)
            *logoFile = false;
        return ELogoLoad::Ok;
    case DIB_MEMORY:
        return ELogoLoad::NoMemory;
    case DIB_LARGE:
        return ELogoLoad::TooLarge;
    }
    CDIBLogo logo;
    switch (logo.Read(bytes)) {
    case DIB_OK:
        target = std::move(logo);
        if (logoFile)
            *logoFile = true;
        return ELogoLoad::Ok;
    case DIB_BAD:
        return ELogoLoad::NotAvailable;
    case DIB_LARGE:
        return ELogoLoad::TooLarge;
    case DIB_MEMORY:
        return ELogoLoad::NoMemory;
    default:
        return ELogoLoad::ReadFailed;
    }
}

ELogoLoad LoadLogoFile(const std::string& path, int defaultZoom, CDIBLogo& target, bool* logoFile)
{
    std::vector<uint8_t> bytes;
    if (!LoadFileBytes(path, bytes, kMaxPictureFileBytes))
        return ELogoLoad::ReadFailed;
    return LoadLogoBytes(bytes, defaultZoom, target, logoFile);
}

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
    if (!ConvertTo24())
        return 0;
    const int32_t w = Width(), h = Height();
    int32_t fw = 0, fh = 0;
    FittedLogoSize(w, h, fw, fh);
    if (fw == w && fh == h)
        return 1;
    if (fw <= 0 || fh <= 0)
        return 0;

    std::vector<uint8_t> fitted;
    try {
        // Smooth over the 2 x 2 block each pixel starts (rows as stored, bottom-up), reading the
        // unsmoothed right and next neighbours, the pixel itself where one is missing.
        const uint32_t stride = RowStride();
        const std::vector<uint8_t>& src = Bits();
        std::vector<uint8_t> smooth(src.size());
        for (int32_t r = 0; r < h; ++r) {
            const uint8_t* row = src.data() + size_t(r) * stride;
            const uint8_t* next = r + 1 < h ? row + stride : row;
            uint8_t* out = smooth.data() + size_t(r) * stride;
            for (int32_t x = 0; x < w; ++x) {
                const int32_t x1 = x + 1 < w ? x + 1 : x;
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = static_cast<uint8_t>(
                        (row[3 * x + c] + row[3 * x1 + c] + next[3 * x + c] + next[3 * x1 + c]) / 4);
            }
        }
        const std::vector<int32_t> columns = ResampleMap(w, fw), rows = ResampleMap(h, fh);
        const uint32_t fittedStride = Stride(fw, 24);
        fitted.assign(size_t(fittedStride) * fh, 0);
        for (int32_t i = 0; i < fh; ++i) {
            const uint8_t* row = smooth.data() + size_t(rows[i]) * stride;
            uint8_t* out = fitted.data() + size_t(i) * fittedStride;
            for (int32_t x = 0; x < fw; ++x)
                std::copy_n(row + 3 * size_t(columns[x]), 3, out + 3 * x);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    Assign24(fw, fh, std::move(fitted));
    return 1;
}

ELogoLoad LoadLogoBytes(const std::vector<uint8_t>& bytes, int defaultZoom, CDIBLogo& target)
{
    CDIB plain;
    switch (ReadPicture(bytes, plain)) {
    case DIB_OK:
        target.FromDIB(std::move(plain), defaultZoom);
        return ELogoLoad::Ok;
    case DIB_MEMORY:
        return ELogoLoad::ReadFailed;
    case DIB_LARGE:
        return ELogoLoad::TooLarge;
    }
    CDIBLogo logo;
    switch (logo.Read(bytes)) {
    case DIB_OK:
        target = std::move(logo);
        return ELogoLoad::Ok;
    case DIB_BAD:
        return ELogoLoad::NotAvailable;
    case DIB_LARGE:
        return ELogoLoad::TooLarge;
    default:
        return ELogoLoad::ReadFailed;
    }
}

ELogoLoad LoadLogoFile(const std::string& path, int defaultZoom, CDIBLogo& target)
{
    std::vector<uint8_t> bytes;
    if (!LoadFileBytes(path, bytes, kMaxPictureFileBytes))
        return ELogoLoad::ReadFailed;
    return LoadLogoBytes(bytes, defaultZoom, target);
}

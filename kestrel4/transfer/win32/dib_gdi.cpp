#include "dib_gdi.h"

std::vector<BYTE> MakeBitmapInfo(const CDIB& dib)
{
    const unsigned int colours = dib.ColourCount();
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 4 * (colours ? colours : 1), 0);
    BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = dib.Width();
    h->biHeight = dib.Height();
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(dib.BitCount());
    h->biCompression = BI_RGB;
    h->biClrUsed = colours;
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(h + 1);
    for (unsigned int i = 0; i < colours; ++i) {
        const SRgbQuad& c = dib.Colours()[i];
        table[i] = RGBQUAD{c.blue, c.green, c.red, 0};
    }
    return info;
}

void DrawScaled(HDC dc, const CDIB& dib, int x, int y, int width, int height, DWORD rop)
{
    if (dib.IsEmpty())
        return;
    std::vector<BYTE> info = MakeBitmapInfo(dib);
    int old = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, width, height, 0, 0, dib.Width(), dib.Height(), dib.Bits().data(),
                  reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, rop);
    SetStretchBltMode(dc, old);
}

void Draw(HDC dc, const CDIB& dib, int x, int y, DWORD rop)
{
    // The bitmap's own size in device units, as logical units of the context.
    POINT size = {dib.Width(), dib.Height()};
    DPtoLP(dc, &size, 1);
    POINT origin = {0, 0};
    DPtoLP(dc, &origin, 1);
    DrawScaled(dc, dib, x, y, size.x - origin.x, size.y - origin.y, rop);
}

namespace {
CGdiPalette MakePalette(const std::vector<PALETTEENTRY>& entries)
{
    std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * entries.size());
    LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        log->palPalEntry[i] = entries[i];
    return CGdiPalette(CreatePalette(log));
}
} // namespace

bool CDIBPal::CreateFromDIB(const CDIB& dib)
{
    const unsigned int count = dib.ColourCount();
    if (count == 0)
        return false;
    std::vector<PALETTEENTRY> entries(count);
    for (unsigned int i = 0; i < count; ++i) {
        const SRgbQuad& c = dib.Colours()[i];
        entries[i] = PALETTEENTRY{c.red, c.green, c.blue, 0};
    }
    m_Palette = MakePalette(entries);
    return m_Palette != nullptr;
}

bool CDIBPal::Create24Bit()
{
    std::vector<PALETTEENTRY> entries;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                entries.push_back(PALETTEENTRY{BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
    for (int i = 1; i <= 20; ++i) {
        BYTE v = static_cast<BYTE>(i * 12);
        entries.push_back(PALETTEENTRY{v, v, v, 0});
    }
    m_Palette = MakePalette(entries);
    return m_Palette != nullptr;
}

void PrepareDisplayPalette(const CDIB& dib, CDIBPal& palette)
{
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    CWindowDC display(nullptr);
    const bool paletted = (GetDeviceCaps(display.Get(), RASTERCAPS) & RC_PALETTE) != 0;
    const int bits = GetDeviceCaps(display.Get(), BITSPIXEL) * GetDeviceCaps(display.Get(), PLANES);
    palette.Reset();
    if (paletted) {
        if (!palette.CreateFromDIB(dib))
            palette.Create24Bit();
    } else if (bits < 8) {
        palette.Create24Bit();
    }
    SetCursor(old);
}

bool CreateFromDisplayBitmap(HDC dc, HBITMAP bitmap, CDIB& dib)
{
    BITMAP bm;
    if (!GetObject(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = bm.bmWidth;
    h.biHeight = bm.bmHeight;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    std::vector<uint8_t> bits(size_t(CDIB::Stride(bm.bmWidth, 24)) * bm.bmHeight);
    if (!GetDIBits(dc, bitmap, 0, bm.bmHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS))
        return false;
    dib.Assign24(bm.bmWidth, bm.bmHeight, std::move(bits));
    return true;
}

#include "glyph_clipboard.h"

#include <cstring>

namespace {

// The clipboard belongs to the owner between these two.
class CClipboardLock {
public:
    explicit CClipboardLock(HWND owner) : m_bOpen(OpenClipboard(owner) != 0) {}
    ~CClipboardLock()
    {
        if (m_bOpen)
            CloseClipboard();
    }
    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen;
};

} // namespace

bool PutPictureOnClipboard(HWND owner, const CPixelPicture& picture, const CPalette* palette)
{
    int width = picture.Width(), height = picture.Height();
    DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    SIZE_T bytes = sizeof(BITMAPINFOHEADER) + stride * static_cast<DWORD>(height);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    BYTE* data = static_cast<BYTE*>(GlobalLock(memory));
    std::memset(data, 0, bytes);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(data);
    header->biSize = sizeof *header;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    BYTE* bits = data + sizeof *header;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = bits + static_cast<DWORD>(height - 1 - y) * stride + x * 3;
            ColorRef c = picture.Get(x, y);
            p[0] = static_cast<BYTE>(BlueOf(c));
            p[1] = static_cast<BYTE>(GreenOf(c));
            p[2] = static_cast<BYTE>(RedOf(c));
        }
    GlobalUnlock(memory);

    CClipboardLock lock(owner);
    if (!lock.IsOpen()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_DIB, memory)) {
        GlobalFree(memory);
        return false;
    }
    if (palette) {
        struct {
            WORD version, count;
            PALETTEENTRY entries[16];
        } logical = {0x300, 16, {}};
        for (int i = 0; i < 16; ++i) {
            ColorRef c = (*palette)[static_cast<size_t>(i)];
            logical.entries[i] = {static_cast<BYTE>(RedOf(c)), static_cast<BYTE>(GreenOf(c)),
                                  static_cast<BYTE>(BlueOf(c)), 0};
        }
        if (HPALETTE handle = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)))
            if (!SetClipboardData(CF_PALETTE, handle))
                DeleteObject(handle);
    }
    return true;
}

bool ClipboardHasPicture()
{
    return IsClipboardFormatAvailable(CF_DIB) != 0;
}

bool GetPictureFromClipboard(HWND owner, CPixelPicture& picture)
{
    CClipboardLock lock(owner);
    if (!lock.IsOpen())
        return false;
    HGLOBAL memory = GetClipboardData(CF_DIB);
    if (!memory)
        return false;
    SIZE_T size = GlobalSize(memory);
    const BYTE* data = static_cast<const BYTE*>(GlobalLock(memory));
    if (!data)
        return false;
    bool ok = false;
    const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(data);
    if (size >= sizeof *h && h->biSize >= sizeof *h && h->biSize < size && h->biPlanes == 1 &&
        h->biCompression == BI_RGB && h->biWidth > 0 && h->biWidth <= 4096 && h->biHeight != 0 &&
        h->biHeight >= -4096 && h->biHeight <= 4096 &&
        (h->biBitCount == 1 || h->biBitCount == 4 || h->biBitCount == 8 || h->biBitCount == 24 ||
         h->biBitCount == 32)) {
        int width = h->biWidth, height = h->biHeight < 0 ? -h->biHeight : h->biHeight;
        DWORD colors = h->biBitCount <= 8 ? (h->biClrUsed ? h->biClrUsed : 1u << h->biBitCount) : 0;
        if (colors > 256)
            colors = 256;
        DWORD stride = ((static_cast<DWORD>(width) * h->biBitCount + 31) / 32) * 4;
        SIZE_T offset = h->biSize + colors * 4;
        if (offset + stride * static_cast<SIZE_T>(height) <= size) {
            const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(data + h->biSize);
            const BYTE* bits = data + offset;
            picture = CPixelPicture(width, height, kTransparentColor);
            for (int y = 0; y < height; ++y) {
                const BYTE* row = bits + stride * static_cast<DWORD>(h->biHeight < 0 ? y : height - 1 - y);
                for (int x = 0; x < width; ++x) {
                    ColorRef c;
                    if (h->biBitCount <= 8) {
                        int perByte = 8 / h->biBitCount;
                        int shift = (perByte - 1 - x % perByte) * h->biBitCount;
                        DWORD index = (row[x / perByte] >> shift) & ((1u << h->biBitCount) - 1);
                        RGBQUAD q = index < colors ? table[index] : RGBQUAD{0, 0, 0, 0};
                        c = MakeColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
                    } else {
                        const BYTE* p = row + x * (h->biBitCount / 8);
                        c = MakeColor(p[2], p[1], p[0]);
                    }
                    picture.Set(x, y, c);
                }
            }
            ok = true;
        }
    }
    GlobalUnlock(memory);
    return ok;
}

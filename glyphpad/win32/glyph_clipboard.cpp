#include "glyph_clipboard.h"

#include <cstring>
#include <vector>

#include "packed_dib.h"
#include "win32_handles.h"

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
    const std::vector<uint8_t> dib = EncodePackedDib(picture);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (!memory)
        return false;
    void* bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(bytes, dib.data(), dib.size());
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
        // The clipboard owns the palette once it takes it.
        CGdiPalette handle(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
        if (handle && SetClipboardData(CF_PALETTE, handle.get()))
            handle.release();
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
    bool ok = DecodePackedDib(data, size, picture);
    GlobalUnlock(memory);
    return ok;
}

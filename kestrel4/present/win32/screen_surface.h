// GDI pieces the drawers share: the display context, a memory bitmap with its context,
// the saved strips under a rubber band, the sprite that moves over the screen, and the paint
// of windows laid over it.
#pragma once
#include "effect_geometry.h"
#include "strip_layout.h"
#include "win32_handles.h"

#include <windows.h>

#include <vector>

// Every window of the desktop (or of area, in virtual-screen coordinates) draws itself
// again, so nothing drawn over them stays.
void RepaintDesktop(const SRect* area = nullptr);

// What a window over the screen shows where it is invalid: a picture of the screen whose
// corner lies at origin (virtual-screen coordinates), or without one the brush's colour.
struct SWindowFill {
    HDC picture = nullptr;
    SPoint origin;
    HBRUSH brush = nullptr;
};
// Answers a window's paint messages from fill: only the invalid part is painted, nothing is
// erased first. False for every other message.
bool PaintWindowFill(HWND hwnd, UINT msg, const SWindowFill& fill, LRESULT& result);

class CDisplayDC {
public:
    CDisplayDC() : m_DC(CreateDCA("DISPLAY", nullptr, nullptr, nullptr)) {}
    HDC Get() const { return m_DC.get(); }
    int Width() const { return GetDeviceCaps(Get(), HORZRES); }
    int Height() const { return GetDeviceCaps(Get(), VERTRES); }
    int BitsPerPixel() const { return GetDeviceCaps(Get(), BITSPIXEL) * GetDeviceCaps(Get(), PLANES); }

private:
    CMemoryDC m_DC; // DeleteDC releases a created context as well
};

// A bitmap compatible with the screen, selected into a memory context.
class CMemoryBitmap {
public:
    // Keeps the bitmap when it is at least that large already.
    bool Ensure(HDC screen, int width, int height);
    void Reset();
    HDC Get() const { return m_DC.get(); }

private:
    CBitmap m_Bitmap; // deleted after the context that holds it
    CMemoryDC m_DC;
    int m_nWidth = 0, m_nHeight = 0;
};

// The screen under a rubber band's outline, put back before the next one is drawn. The
// strips are packed into two pictures whose size follows the strips, not the box they
// enclose (see LayOutStrips).
class CSavedStrips {
public:
    void Save(HDC screen, const std::vector<SRect>& strips);
    void Restore(HDC screen);

private:
    CMemoryBitmap m_Sheets[2];
    std::vector<SRect> m_Strips;
    SStripLayout m_Layout;
};

// A movable image: a cursor image drawn with DrawIconEx, or a bitmap with a raster
// operation. Each move goes through one memory bitmap of the old and new places together
// and reaches the screen in one copy.
class CSprite {
public:
    void SetCursor(HCURSOR cursor, int width, int height);
    void SetBitmap(CBitmap bitmap, int width, int height, DWORD rop);
    // draw false only takes the image away.
    void MoveTo(HDC screen, SPoint position, bool draw = true);
    void Hide(HDC screen) { MoveTo(screen, m_Position, false); }
    // The image stays on the screen where it is when the sprite moves next.
    void Leave() { m_bLeave = true; }

private:
    SRect RectAt(SPoint p) const { return {p.x, p.y, p.x + m_nWidth, p.y + m_nHeight}; }
    void DrawImage(HDC dc, int x, int y);

    HCURSOR m_hCursor = nullptr;
    CBitmap m_Bitmap; // deleted after the context that holds it
    CMemoryDC m_ImageDC;
    DWORD m_dwRop = SRCCOPY;
    int m_nWidth = 0, m_nHeight = 0;
    SPoint m_Position;
    bool m_bVisible = false;
    bool m_bLeave = false;
    CMemoryBitmap m_Background; // what the image covers
    CMemoryBitmap m_Work;       // the union of both places
};

// An RGB colour of the effect's 0x00BBGGRR value.
inline COLORREF ToColorRef(COLORVALUE c)
{
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

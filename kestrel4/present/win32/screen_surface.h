// GDI pieces the drawers share: the display context, a memory bitmap with its context,
// the saved strip under a rubber band, and the sprite that moves over the screen.
#pragma once
#include "effect_geometry.h"

#include <windows.h>

#include <vector>

// Every window of the desktop (or of area, in virtual-screen coordinates) draws itself
// again, so nothing drawn over them stays.
void RepaintDesktop(const SRect* area = nullptr);

class CDisplayDC {
public:
    CDisplayDC() : m_hDC(CreateDCA("DISPLAY", nullptr, nullptr, nullptr)) {}
    ~CDisplayDC()
    {
        if (m_hDC)
            DeleteDC(m_hDC);
    }
    CDisplayDC(const CDisplayDC&) = delete;
    CDisplayDC& operator=(const CDisplayDC&) = delete;
    HDC Get() const { return m_hDC; }
    int Width() const { return GetDeviceCaps(m_hDC, HORZRES); }
    int Height() const { return GetDeviceCaps(m_hDC, VERTRES); }
    int BitsPerPixel() const { return GetDeviceCaps(m_hDC, BITSPIXEL) * GetDeviceCaps(m_hDC, PLANES); }

private:
    HDC m_hDC;
};

// A bitmap compatible with the screen, selected into a memory context.
class CMemoryBitmap {
public:
    CMemoryBitmap() {}
    ~CMemoryBitmap() { Reset(); }
    CMemoryBitmap(const CMemoryBitmap&) = delete;
    CMemoryBitmap& operator=(const CMemoryBitmap&) = delete;
    // Keeps the bitmap when it is at least that large already.
    bool Ensure(HDC screen, int width, int height);
    void Reset();
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    int m_nWidth = 0, m_nHeight = 0;
};

// The screen under a rubber band's outline, put back before the next one is drawn. The
// strips lie one below the other in one bitmap.
class CSavedStrips {
public:
    void Save(HDC screen, const std::vector<SRect>& strips);
    void Restore(HDC screen);

private:
    CMemoryBitmap m_Bits;
    std::vector<SRect> m_Strips;
};

// A movable image: a cursor image drawn with DrawIconEx, or a bitmap with a raster
// operation. Each move goes through one memory bitmap of the old and new places together
// and reaches the screen in one copy.
class CSprite {
public:
    ~CSprite();
    void SetCursor(HCURSOR cursor, int width, int height);
    // Takes over bitmap.
    void SetBitmap(HBITMAP bitmap, int width, int height, DWORD rop);
    // draw false only takes the image away.
    void MoveTo(HDC screen, SPoint position, bool draw = true);
    void Hide(HDC screen) { MoveTo(screen, m_Position, false); }
    // The image stays on the screen where it is when the sprite moves next.
    void Leave() { m_bLeave = true; }

private:
    SRect RectAt(SPoint p) const { return {p.x, p.y, p.x + m_nWidth, p.y + m_nHeight}; }
    void DrawImage(HDC dc, int x, int y);

    HCURSOR m_hCursor = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HDC m_hImageDC = nullptr;
    HGDIOBJ m_hOldImage = nullptr;
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

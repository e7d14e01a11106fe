// CDIB on a device context: drawing, the display palette made from a bitmap's colours, and
// filling a CDIB from a display bitmap.
#pragma once
#include <windows.h>

#include <vector>

#include "dib.h"
#include "win32_handles.h"

// The header and colour table GDI wants for dib's bits.
std::vector<BYTE> MakeBitmapInfo(const CDIB& dib);

// Stretches the bits to the bitmap's own size at x, y.
void Draw(HDC dc, const CDIB& dib, int x, int y, DWORD rop = SRCCOPY);
// The same at the given size, with colour-on-colour stretching.
void DrawScaled(HDC dc, const CDIB& dib, int x, int y, int width, int height, DWORD rop = SRCCOPY);

// One GDI palette, deleted with its owner.
class CDIBPal {
public:
    // A palette of the bitmap's ColourCount entries; false for a bitmap without colour table.
    bool CreateFromDIB(const CDIB& dib);
    // A colour cube and grey ramp suited to 24-bit pictures.
    bool Create24Bit();
    void Reset() { m_Palette.reset(); }
    HPALETTE Handle() const { return m_Palette.get(); }

private:
    CGdiPalette m_Palette;
};

// On a display of 256 colours or fewer: the palette that shows dib best. Otherwise the
// palette is left empty.
void PrepareDisplayPalette(const CDIB& dib, CDIBPal& palette);

// Fills dib with the display bitmap's pixels at 24 bits per pixel; false when GDI refuses.
bool CreateFromDisplayBitmap(HDC dc, HBITMAP bitmap, CDIB& dib);

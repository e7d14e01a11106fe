#include "cursor_drawing.h"

#include <vector>

void DrawCursorImage(HDC dc, const CCursorInfo& image, int left, int top, int side, COLORREF background)
{
    int w = image.GetWidth(), h = image.GetHeight();
    ColorRef back = MakeColor(GetRValue(background), GetGValue(background), GetBValue(background));
    std::vector<DWORD> pixels(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // A masked pixel of colour 0 shows what lies beneath; other masked pixels invert
            // it on a real pointer, which a list shows in their colour.
            ColorRef c =
                image.IsTransparent(x, y) && image.GetPixel(x, y) == 0 ? back : image.GetColor(image.GetPixel(x, y));
            pixels[static_cast<size_t>(y * w + x)] = RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c);
        }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, left, top, side, side, 0, 0, w, h, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

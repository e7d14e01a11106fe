#include "cursor_drawing.h"

#include <vector>

#include "pixel_blit.h"

void DrawCursorImage(HDC dc, const CCursorInfo& image, int left, int top, int side, COLORREF background)
{
    int w = image.GetWidth(), h = image.GetHeight();
    ColorRef back = MakeColor(GetRValue(background), GetGValue(background), GetBValue(background));
    std::vector<uint32_t> pixels(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // A masked pixel of colour 0 shows what lies beneath; other masked pixels invert
            // it on a real pointer, which a list shows in their colour.
            ColorRef c =
                image.IsTransparent(x, y) && image.GetPixel(x, y) == 0 ? back : image.GetColor(image.GetPixel(x, y));
            pixels[static_cast<size_t>(y * w + x)] = Pixel32(RedOf(c), GreenOf(c), BlueOf(c));
        }
    StretchPixels32(dc, RECT{left, top, left + side, top + side}, w, h, pixels);
}

#include "glyph_palette.h"

#include <cstdlib>

const CPalette& VgaPalette()
{
    static const CPalette table = {
        MakeColor(0, 0, 0),          MakeColor(255, 255, 255),    MakeColor(0, 255, 255),   MakeColor(255, 0, 255),
        MakeColor(0, 0, 255),        MakeColor(255, 255, 0),      MakeColor(0, 255, 0),     MakeColor(255, 0, 0),
        MakeColor(0x80, 0x80, 0x80), MakeColor(0xC0, 0xC0, 0xC0), MakeColor(0, 0x80, 0x80), MakeColor(0x80, 0, 0x80),
        MakeColor(0, 0, 0x80),       MakeColor(0x80, 0x80, 0),    MakeColor(0, 0x80, 0),    MakeColor(0x80, 0, 0),
    };
    return table;
}

namespace {

bool Pure(unsigned channel)
{
    return channel == 0 || channel == 255;
}

unsigned Distance(unsigned a, unsigned b)
{
    return a > b ? a - b : b - a;
}

} // namespace

CPalette AdjustSetPalette(const CPalette& fromFile)
{
    CPalette table = fromFile;
    for (size_t i = 0; i < 11; ++i) {
        unsigned r = RedOf(fromFile[i]), g = GreenOf(fromFile[i]), b = BlueOf(fromFile[i]);
        unsigned red = r == 255 && (!Pure(g) || !Pure(b)) ? 240 : r;
        unsigned blue = b > 230 && (!Pure(r) || !Pure(g)) ? 240 : b;
        table[i] = MakeColor(red, g, blue);
    }
    return table;
}

bool ColorsNear(ColorRef a, ColorRef b, unsigned limit)
{
    return Distance(RedOf(a), RedOf(b)) < limit && Distance(GreenOf(a), GreenOf(b)) < limit &&
           Distance(BlueOf(a), BlueOf(b)) < limit;
}

int MatchColorIndex(const CPalette& palette, ColorRef color, EEditorMode mode)
{
    if (mode == MODE_SET)
        for (size_t i = 0; i < palette.size(); ++i)
            if (ColorsNear(palette[i], color, 5))
                return static_cast<int>(i);
    for (size_t i = 0; i < palette.size(); ++i)
        if (ColorsNear(palette[i], color, 10))
            return static_cast<int>(i);
    return 0;
}

bool IsTransparentColor(ColorRef color)
{
    return ColorsNear(color, kTransparentColor, 10);
}

ColorRef NearestTableColor(const CPalette& palette, ColorRef color, bool orTransparent)
{
    auto cost = [color](ColorRef c) {
        int r = static_cast<int>(RedOf(c)) - static_cast<int>(RedOf(color));
        int g = static_cast<int>(GreenOf(c)) - static_cast<int>(GreenOf(color));
        int b = static_cast<int>(BlueOf(c)) - static_cast<int>(BlueOf(color));
        return r * r + g * g + b * b;
    };
    ColorRef best = orTransparent ? kTransparentColor : palette[0];
    for (ColorRef c : palette)
        if (cost(c) < cost(best))
            best = c;
    return best;
}

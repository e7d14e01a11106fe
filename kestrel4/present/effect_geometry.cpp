#include "effect_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Floor division that stays right left of and above the screen's origin.
int FloorTo(int v, int grid)
{
    int q = v / grid;
    if (v % grid != 0 && v < 0)
        --q;
    return q * grid;
}

} // namespace

SPoint SnapToGrid(SPoint p, int grid)
{
    if (grid < 2)
        return p;
    return {FloorTo(p.x, grid), FloorTo(p.y, grid)};
}

SRect SpanRect(SPoint a, SPoint b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

SRect InflateBy(const SRect& r, int by)
{
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

SRect UnionOf(const SRect& a, const SRect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

SRect IntersectionOf(const SRect& a, const SRect& b)
{
    SRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? SRect() : r;
}

SRect BandRect(SPoint a, SPoint b, int penWidth)
{
    // The span's far edge is a drawn pixel too.
    SRect span = SpanRect(a, b);
    ++span.right;
    ++span.bottom;
    return InflateBy(span, std::max(penWidth, 1));
}

bool IsShapeDrawn(const SRect& span)
{
    return span.Width() > 3 && span.Height() > 3;
}

SRect SpotRect(SPoint centre, int diameter)
{
    int r = std::max(diameter, 0) / 2;
    return {centre.x - r, centre.y - r, centre.x + r + 2, centre.y + r + 2};
}

std::vector<SRect> SpotSpans(SPoint centre, int diameter, const SRect& clip)
{
    std::vector<SRect> spans;
    SRect box = SpotRect(centre, diameter);
    // The ellipse inscribed in box, sampled at pixel centres.
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
    for (int y = std::max(box.top, clip.top); y < std::min(box.bottom, clip.bottom); ++y) {
        double dy = (y + 0.5 - cy) / ry;
        if (dy * dy >= 1.0)
            continue;
        double half = rx * std::sqrt(1.0 - dy * dy);
        int left = static_cast<int>(std::ceil(cx - half - 0.5));
        int right = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
        left = std::max(left, clip.left);
        right = std::min(right, clip.right);
        if (right > left)
            spans.push_back({left, y, right, y + 1});
    }
    return spans;
}

std::vector<SRect> DarkRects(const std::vector<SRect>& spans, const SRect& screen)
{
    std::vector<SRect> dark;
    int y = screen.top;
    for (const SRect& s : spans) {
        if (s.top > y)
            dark.push_back({screen.left, y, screen.right, s.top});
        if (s.left > screen.left)
            dark.push_back({screen.left, s.top, s.left, s.bottom});
        if (s.right < screen.right)
            dark.push_back({s.right, s.top, screen.right, s.bottom});
        y = s.bottom;
    }
    if (y < screen.bottom)
        dark.push_back({screen.left, y, screen.right, screen.bottom});
    return dark;
}

SPoint BarPosition(SPoint cursor, bool vertical)
{
    if (vertical)
        return {cursor.x + (cursor.x & 1), 0};
    return {0, cursor.y + (cursor.y & 1)};
}

SRect BarRect(SPoint position, bool vertical, int width, int screenWidth, int screenHeight)
{
    if (vertical)
        return {position.x, 0, position.x + width, screenHeight};
    return {0, position.y, screenWidth, position.y + width};
}

SPenColor AdjustPenColor(COLORVALUE color, bool transparent, int bitsPerPixel)
{
    const COLORVALUE black = 0x000000, white = 0xFFFFFF;
    bool palette = bitsPerPixel <= 8;
    SPenColor pen{color, transparent};
    if (!transparent)
        return pen;
    if (palette && (color == black || color == white))
        pen.color = 0x808080;
    else if (!palette && color == black)
        pen.color = 0x404040;
    else if (!palette && color == white)
        pen.color = 0xC8C8C8;
    return pen;
}

int SpotTileResource(COLORVALUE color)
{
    static const struct {
        COLORVALUE color;
        int id;
    } kTiles[] = {
        {0x0000FF, 286}, {0xFF0000, 287}, {0xFFFF00, 288}, {0x00FF00, 289},
        {0xFF00FF, 290}, {0x808080, 291}, {0x00FFFF, 292},
    };
    for (const auto& tile : kTiles)
        if (tile.color == color)
            return tile.id;
    return 0;
}

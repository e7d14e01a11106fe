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

namespace {

// Rows of the ellipse's curve taken together in one strip on each side: at least this many,
// and more while a strip stays within the pixel budget. Each strip is one read of the screen,
// and a read costs about as much as a strip of the budget's pixels, so steep parts of the
// curve, whose strips are narrow, go in few tall strips.
const int kEllipseSlice = 8;
const long kStripBudget = 16384;

void AddClipped(std::vector<SRect>& out, const SRect& r, const SRect& clip)
{
    SRect c = IntersectionOf(r, clip);
    if (!c.IsEmpty())
        out.push_back(c);
}

// The four strips along the edges of box, each m pixels to either side of its edge line.
void AddEdgeStrips(std::vector<SRect>& out, const SRect& box, int m, bool sides, const SRect& clip)
{
    int l = box.left, t = box.top, r = box.right, b = box.bottom;
    AddClipped(out, {l - m, t - m, r + m, t + m + 1}, clip);
    AddClipped(out, {l - m, b - 1 - m, r + m, b + m}, clip);
    if (sides) {
        AddClipped(out, {l - m, t + m + 1, l + m + 1, b - 1 - m}, clip);
        AddClipped(out, {r - 1 - m, t + m + 1, r + m, b - 1 - m}, clip);
    }
}

// The curve of the ellipse inscribed in box, slice by slice: in each slice the outline runs
// between its widest and its narrowest row on either side.
void AddEllipseStrips(std::vector<SRect>& out, const SRect& box, int m, const SRect& clip)
{
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    double rx = box.Width() / 2.0, ry = box.Height() / 2.0;
    auto halfWidth = [&](int y) {
        double dy = (y + 0.5 - cy) / ry;
        return dy * dy >= 1.0 ? 0.0 : rx * std::sqrt(1.0 - dy * dy);
    };
    auto rowWidth = [&](int y) { return y < box.top || y >= box.bottom ? 0.0 : halfWidth(y); };
    // The strips of the slice y0..y1 whose curve runs between widest and narrowest.
    struct SSlice {
        SRect outer; // the whole width the curve takes on both sides
        int inner;   // half the gap between the two sides' strips; <= 0: one strip
    };
    auto sliceOf = [&](int y0, int y1, double widest, double narrowest) {
        int outer = static_cast<int>(std::ceil(widest)) + m + 1;
        int inner = static_cast<int>(std::floor(narrowest)) - m - 1;
        return SSlice{{static_cast<int>(std::floor(cx)) - outer, y0 - m, static_cast<int>(std::ceil(cx)) + outer, y1 + m},
                      inner};
    };
    auto cost = [](const SSlice& s) {
        long height = s.outer.Height();
        if (s.inner <= 0)
            return s.outer.Width() * height;
        return (s.outer.Width() / 2 - s.inner + 2) * height;
    };
    for (int y0 = box.top; y0 < box.bottom;) {
        int y1 = std::min(y0 + kEllipseSlice, box.bottom);
        double widest = 0, narrowest = rx;
        // One row beyond the slice on each side: the curve joins its neighbours' rows.
        for (int y = y0 - 1; y <= y1; ++y) {
            widest = std::max(widest, rowWidth(y));
            narrowest = std::min(narrowest, rowWidth(y));
        }
        while (y1 < box.bottom) {
            double w = rowWidth(y1 + 1);
            double nextWidest = std::max(widest, w), nextNarrowest = std::min(narrowest, w);
            if (cost(sliceOf(y0, y1 + 1, nextWidest, nextNarrowest)) > kStripBudget)
                break;
            widest = nextWidest;
            narrowest = nextNarrowest;
            ++y1;
        }
        SSlice slice = sliceOf(y0, y1, widest, narrowest);
        const SRect& o = slice.outer;
        if (slice.inner <= 0) {
            AddClipped(out, o, clip);
        } else {
            AddClipped(out, {o.left, o.top, static_cast<int>(std::floor(cx)) - slice.inner + 1, o.bottom}, clip);
            AddClipped(out, {static_cast<int>(std::ceil(cx)) + slice.inner - 1, o.top, o.right, o.bottom}, clip);
        }
        y0 = y1;
    }
}

} // namespace

std::vector<SRect> BandStrips(SPoint a, SPoint b, int penWidth, EBandShape shape, const SRect& screen)
{
    int m = std::max(penWidth, 1);
    SRect whole = BandRect(a, b, penWidth);
    // Nothing beyond what the whole band would save.
    SRect clip = IntersectionOf(whole, screen);
    SRect box = SpanRect(a, b);
    ++box.right;
    ++box.bottom;
    std::vector<SRect> strips;
    // Small figures, and lines, are saved as their bounding strip.
    bool small = box.Width() <= 4 * m + 2 || box.Height() <= 4 * m + 2;
    if (shape == BAND_LINE || small) {
        AddClipped(strips, whole, clip);
        return strips;
    }
    switch (shape) {
    case BAND_RECT:
        AddEdgeStrips(strips, box, m, true, clip);
        break;
    case BAND_ELLIPSE:
        AddEllipseStrips(strips, box, m, clip);
        break;
    case BAND_TRACK: {
        // Straight edges between the ends; each end is half an ellipse half the width wide.
        AddEdgeStrips(strips, box, m, false, clip);
        int quarter = box.Width() / 4;
        // Only each ellipse's outer half is drawn.
        SRect leftEnd = IntersectionOf(clip, {clip.left, clip.top, box.left + quarter + m + 1, clip.bottom});
        SRect rightEnd = IntersectionOf(clip, {box.right - quarter - m - 1, clip.top, clip.right, clip.bottom});
        AddEllipseStrips(strips, {box.left, box.top, box.left + 2 * quarter, box.bottom}, m, leftEnd);
        AddEllipseStrips(strips, {box.right - 2 * quarter, box.top, box.right, box.bottom}, m, rightEnd);
        break;
    }
    case BAND_LINE:
        break;
    }
    return strips;
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

SPoint BarPosition(SPoint cursor, bool vertical, const SRect& monitor)
{
    // x AND 1 in two's complement raises negative odd coordinates too: -3 becomes -2.
    if (vertical)
        return {cursor.x + (cursor.x & 1), monitor.top};
    return {monitor.left, cursor.y + (cursor.y & 1)};
}

SRect BarRect(SPoint position, bool vertical, int width, const SRect& monitor)
{
    if (vertical)
        return {position.x, monitor.top, position.x + width, monitor.bottom};
    return {monitor.left, position.y, monitor.right, position.y + width};
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

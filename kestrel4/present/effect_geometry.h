// Geometry of the drawers: grid snapping, rubber-band and sprite rectangles, the spot light
// and its dark surround, bar positions and the pen colours of transparent drawing. Plain
// functions, so that what the drawers put on the screen can be checked without one.
#pragma once
#include "effects.h"

#include <vector>

struct SPoint {
    int x = 0;
    int y = 0;
};
inline bool operator==(SPoint a, SPoint b)
{
    return a.x == b.x && a.y == b.y;
}

// Half-open: right and bottom are outside.
struct SRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};
inline bool operator==(const SRect& a, const SRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Down to the grid line at or before the point; a grid below 2 leaves it alone.
SPoint SnapToGrid(SPoint p, int grid);

// The rectangle two clicks span, whichever corner came first.
SRect SpanRect(SPoint a, SPoint b);
SRect InflateBy(const SRect& r, int by);
// The smallest rectangle holding both; an empty one does not count.
SRect UnionOf(const SRect& a, const SRect& b);
SRect IntersectionOf(const SRect& a, const SRect& b);

// The strip a rubber band or a transparent shape covers: the span widened by the pen.
SRect BandRect(SPoint a, SPoint b, int penWidth);
// The parts of the screen a rubber band's outline between a and b can touch, clipped to
// clip: saved before it is drawn and put back before the next one, so that the cost of a move
// follows the outline, not the area it encloses.
enum EBandShape {
    BAND_LINE,    // the line's bounding strip
    BAND_RECT,    // four strips along the edges
    BAND_ELLIPSE, // strips along the curve, a few rows at a time
    BAND_TRACK,   // a rectangle with semicircular ends: its edges and both ends' curves
};
std::vector<SRect> BandStrips(SPoint a, SPoint b, int penWidth, EBandShape shape, const SRect& clip);

// An ellipse or square 3 pixels or less across in either direction is not drawn.
bool IsShapeDrawn(const SRect& span);

// The bounding box of the spot centred at the point: one pixel wider than its diameter
// on each side so that odd diameters still have a centre pixel.
SRect SpotRect(SPoint centre, int diameter);
// The spot as rows of pixels inside the ellipse of SpotRect, clipped to clip; top to bottom.
std::vector<SRect> SpotSpans(SPoint centre, int diameter, const SRect& clip);

// A bar follows the pointer on even coordinates, along the top or the left edge of the
// monitor the effect runs on, and spans that monitor's full height or width.
SPoint BarPosition(SPoint cursor, bool vertical, const SRect& monitor);
SRect BarRect(SPoint position, bool vertical, int width, const SRect& monitor);

// The colour a shape of color is drawn in, and whether it goes onto the screen by AND
// (transparent) or directly.
struct SPenColor {
    COLORVALUE color;
    bool bAnd;
};
SPenColor AdjustPenColor(COLORVALUE color, bool transparent, int bitsPerPixel);

// The cursor resource tiling a transparent spot light's surround on palette displays;
// 0 when the colour has no tile.
int SpotTileResource(COLORVALUE color);

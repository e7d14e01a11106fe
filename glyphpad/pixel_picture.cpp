#include "pixel_picture.h"

#include <algorithm>
#include <cstdlib>

#include "glyph_palette.h"

SCellRect SCellRect::Spanning(SCell a, SCell b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

CPixelPicture::CPixelPicture(int width, int height, ColorRef fill)
    : m_nWidth(width), m_nHeight(height), m_Pixels(static_cast<size_t>(width * height), fill)
{
}

void CPixelPicture::Set(int x, int y, ColorRef color)
{
    if (Inside(x, y))
        m_Pixels[Index(x, y)] = color;
}

void CPixelPicture::Fill(ColorRef color)
{
    std::fill(m_Pixels.begin(), m_Pixels.end(), color);
}

void CPixelPicture::Line(SCell from, SCell to, ColorRef color)
{
    int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
    int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
    int err = dx + dy;
    for (SCell c = from;;) {
        Set(c.x, c.y, color);
        if (c == to)
            return;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            c.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            c.y += sy;
        }
    }
}

void CPixelPicture::RectOutline(const SCellRect& r, ColorRef color)
{
    Line({r.left, r.top}, {r.right, r.top}, color);
    Line({r.left, r.bottom}, {r.right, r.bottom}, color);
    Line({r.left, r.top}, {r.left, r.bottom}, color);
    Line({r.right, r.top}, {r.right, r.bottom}, color);
}

void CPixelPicture::RectFilled(const SCellRect& r, ColorRef color)
{
    for (int y = r.top; y <= r.bottom; ++y)
        for (int x = r.left; x <= r.right; ++x)
            Set(x, y, color);
}

void CPixelPicture::Ellipse(const SCellRect& r, ColorRef color, bool filled)
{
    // The ellipse inscribed in the cells of r, traced a quadrant at a time with integer
    // error terms so that even and odd sizes both touch every side.
    std::vector<int> left(static_cast<size_t>(r.Height()), r.right), right(static_cast<size_t>(r.Height()), r.left);
    auto plot = [&](long long x, long long y) {
        int row = static_cast<int>(y) - r.top;
        if (row < 0 || row >= r.Height())
            return;
        left[static_cast<size_t>(row)] = std::min(left[static_cast<size_t>(row)], static_cast<int>(x));
        right[static_cast<size_t>(row)] = std::max(right[static_cast<size_t>(row)], static_cast<int>(x));
        if (!filled)
            Set(static_cast<int>(x), static_cast<int>(y), color);
    };
    long long x0 = r.left, x1 = r.right, y0 = r.top, y1 = r.bottom;
    long long a = x1 - x0, b = y1 - y0, b1 = b & 1;
    long long dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
    long long err = dx + dy + b1 * a * a, e2;
    y0 += (b + 1) / 2;
    y1 = y0 - b1;
    a *= 8 * a;
    b1 = 8 * b * b;
    do {
        plot(x1, y0);
        plot(x0, y0);
        plot(x0, y1);
        plot(x1, y1);
        e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += a;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += b1;
        }
    } while (x0 <= x1);
    while (y0 - y1 <= b) {
        plot(x0 - 1, y0);
        plot(x1 + 1, y0++);
        plot(x0 - 1, y1);
        plot(x1 + 1, y1--);
    }
    if (filled)
        for (int row = 0; row < r.Height(); ++row)
            for (int x = left[static_cast<size_t>(row)]; x <= right[static_cast<size_t>(row)]; ++x)
                Set(x, r.top + row, color);
}

void CPixelPicture::FloodFill(SCell start, ColorRef target, ColorRef color)
{
    if (!Inside(start.x, start.y) || !ColorsNear(Get(start.x, start.y), target, 10))
        return;
    std::vector<bool> seen(m_Pixels.size(), false);
    std::vector<SCell> pending = {start};
    seen[Index(start.x, start.y)] = true;
    while (!pending.empty()) {
        SCell c = pending.back();
        pending.pop_back();
        m_Pixels[Index(c.x, c.y)] = color;
        const SCell next[4] = {{c.x + 1, c.y}, {c.x - 1, c.y}, {c.x, c.y + 1}, {c.x, c.y - 1}};
        for (SCell n : next) {
            if (!Inside(n.x, n.y) || seen[Index(n.x, n.y)] || !ColorsNear(Get(n.x, n.y), target, 10))
                continue;
            seen[Index(n.x, n.y)] = true;
            pending.push_back(n);
        }
    }
}

CPixelPicture CPixelPicture::Cut(const SCellRect& r) const
{
    CPixelPicture image(r.Width(), r.Height(), kTransparentColor);
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            if (Inside(r.left + x, r.top + y))
                image.Set(x, y, Get(r.left + x, r.top + y));
    return image;
}

void CPixelPicture::Paste(const CPixelPicture& image, int left, int top)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            Set(left + x, top + y, image.Get(x, y));
}

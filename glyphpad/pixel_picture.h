// The picture being edited: size x size colours, y = 0 at the top, and the shapes the
// drawing tools put on it. Every shape includes both of its end cells.
#pragma once
#include <vector>

#include "cursor_info.h"

struct SCell {
    int x = 0;
    int y = 0;
    bool operator==(const SCell& other) const { return x == other.x && y == other.y; }
    bool operator!=(const SCell& other) const { return !(*this == other); }
};

// Cells from left to right and top to bottom, both corners included.
struct SCellRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    static SCellRect Spanning(SCell a, SCell b);
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    bool Contains(SCell c) const { return c.x >= left && c.x <= right && c.y >= top && c.y <= bottom; }
    bool operator==(const SCellRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

class CPixelPicture {
public:
    CPixelPicture() = default;
    CPixelPicture(int width, int height, ColorRef fill);

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight; }
    ColorRef Get(int x, int y) const { return m_Pixels[Index(x, y)]; }
    // Cells outside the picture are ignored, so shapes may run over the edge.
    void Set(int x, int y, ColorRef color);
    void Fill(ColorRef color);

    void Line(SCell from, SCell to, ColorRef color);
    void RectOutline(const SCellRect& rect, ColorRef color);
    void RectFilled(const SCellRect& rect, ColorRef color);
    void Ellipse(const SCellRect& rect, ColorRef color, bool filled);
    // Fills the 4-connected area around start whose colours lie within 10 of target.
    void FloodFill(SCell start, ColorRef target, ColorRef color);

    CPixelPicture Cut(const SCellRect& rect) const;
    void Paste(const CPixelPicture& image, int left, int top);

    bool operator==(const CPixelPicture& o) const
    {
        return m_nWidth == o.m_nWidth && m_nHeight == o.m_nHeight && m_Pixels == o.m_Pixels;
    }
    bool operator!=(const CPixelPicture& o) const { return !(*this == o); }

private:
    size_t Index(int x, int y) const
    {
        return static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x);
    }

    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<ColorRef> m_Pixels;
};

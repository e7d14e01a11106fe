#include "test_pattern_geometry.h"

#include <algorithm>

const uint8_t kGrayLevels[16] = {0, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240, 255};

namespace {
// From a to b over len steps, at step, rounded to nearest.
int Ramp(int a, int b, int step, int len)
{
    if (len <= 0)
        return a;
    const int delta = (b - a) * step;
    return a + (delta >= 0 ? (delta + len / 2) / len : -((-delta + len / 2) / len));
}
} // namespace

SPatternShapes ColorImagePattern(int w, int h, bool paletteDisplay, int cellWidth, int cellHeight)
{
    SPatternShapes shapes;
    if (w <= 0 || h <= 0)
        return shapes;
    int cw = std::max(w / 256, paletteDisplay ? 4 : 2);
    int ch = std::max(h / 96, paletteDisplay ? 12 : 6);
    if (cellWidth > 0)
        cw = cellWidth;
    if (cellHeight > 0)
        ch = cellHeight;
    const int bounds[7] = {0, (w + 3) / 6, (2 * w + 3) / 6, (3 * w + 3) / 6, (4 * w + 3) / 6, (5 * w + 3) / 6, w};
    for (int y = 0; y < h; y += ch) {
        const int lo = (128 * y + h / 2) / h, hi = 255 - lo;
        for (int x = 0; x < w; x += cw) {
            int segment = 0;
            while (segment < 5 && x >= bounds[segment + 1])
                ++segment;
            const int step = x - bounds[segment], len = bounds[segment + 1] - bounds[segment];
            const int up = Ramp(lo, hi, step, len), down = Ramp(hi, lo, step, len);
            int r = lo, g = lo, b = lo;
            switch (segment) {
            case 0:
                r = hi, g = up;
                break; // red to yellow
            case 1:
                r = down, g = hi;
                break; // yellow to green
            case 2:
                g = hi, b = up;
                break; // green to cyan
            case 3:
                g = down, b = hi;
                break; // cyan to blue
            case 4:
                r = up, b = hi;
                break; // blue to magenta
            default:
                r = hi, b = down;
                break; // magenta to red
            }
            shapes.rects.push_back({x, y, std::min(x + cw, w), std::min(y + ch, h), PatternRgb(r, g, b)});
        }
    }
    return shapes;
}

SPatternShapes GrayScalePattern(int w, int h)
{
    SPatternShapes shapes;
    const int bar = (w + 8) / 16;
    for (int i = 0; i < 16; ++i) {
        const int left = std::min(i * bar, w);
        // The last bar reaches the edge, so no column is left unpainted.
        const int right = i == 15 ? w : std::min(left + bar, w);
        const uint8_t v = kGrayLevels[i];
        shapes.rects.push_back({left, 0, right, h, PatternRgb(v, v, v)});
    }
    return shapes;
}

int FocusCellSize(int w, int h)
{
    int candidate = 0;
    for (int d : {6, 8, 10, 12}) {
        if (h % d != 0)
            continue;
        if (h / d > 0 && w % (h / d) == 0)
            return h / d;
        candidate = h / d;
    }
    return candidate > 0 ? candidate : 100;
}

SPatternShapes FocusPattern(int w, int h)
{
    SPatternShapes shapes;
    const int k = FocusCellSize(w, h);
    const int n = std::max(w / k, 1), m = std::max(h / k, 1);
    std::vector<int> xs(n + 1), ys(m + 1);
    for (int i = 0; i <= n; ++i)
        xs[i] = static_cast<int>((n / 2 + int64_t(w - 1) * i) / n);
    for (int j = 0; j <= m; ++j)
        ys[j] = static_cast<int>((m / 2 + int64_t(h - 1) * j) / m);
    const int xMid = xs[n / 2], yMid = ys[m / 2];

    const int corners[4][2] = {{0, 0}, {w, 0}, {0, h}, {w, h}};
    for (const auto& corner : corners)
        shapes.circles.push_back({corner[0], corner[1], 2 * k});
    shapes.circles.push_back({xMid, yMid, k});
    shapes.circles.push_back({xMid, yMid, 2 * k});

    for (int x : xs)
        shapes.lines.push_back({x, 0, x, h});
    for (int y : ys)
        shapes.lines.push_back({0, y, w, y});

    const int t1 = std::max(3, k / 50), t2 = std::max(6, k / 25);
    for (int c = 0; c < n; ++c)
        for (int i = 1; i <= 9; ++i) {
            const int x = xs[c] + (i * k + 5) / 10, t = i == 5 ? t2 : t1;
            shapes.lines.push_back({x, yMid - t, x, yMid + t + 1});
            shapes.lines.push_back({x, ys[0], x, ys[0] + t});
            shapes.lines.push_back({x, ys[m], x, ys[m] - t});
        }
    for (int r = 0; r < m; ++r)
        for (int i = 1; i <= 9; ++i) {
            const int y = ys[r] + (i * k + 5) / 10, t = i == 5 ? t2 : t1;
            shapes.lines.push_back({xMid - t, y, xMid + t + 1, y});
            shapes.lines.push_back({xs[0], y, xs[0] + t, y});
            shapes.lines.push_back({xs[n], y, xs[n] - t, y});
        }
    return shapes;
}

SPatternCanvas UserPictureCanvas(int screenWidth, int screenHeight, int pictureWidth, int pictureHeight,
                                 int reductions)
{
    // 64-bit arithmetic: a picture of tens of thousands of pixels times 9 must not overflow.
    int64_t w = std::max(screenWidth, pictureWidth), h = std::max(screenHeight, pictureHeight);
    int64_t pw = pictureWidth, ph = pictureHeight;
    for (int i = 0; i < reductions && w > 0 && h > 0; ++i) {
        w = w * 9 / 10;
        h = h * 9 / 10;
        pw = pw * 9 / 10;
        ph = ph * 9 / 10;
    }
    SPatternCanvas canvas;
    canvas.width = static_cast<int>(w);
    canvas.height = static_cast<int>(h);
    const int left = static_cast<int>((w - pw) / 2), top = static_cast<int>((h - ph) / 2);
    canvas.picture = {left, top, left + static_cast<int>(pw), top + static_cast<int>(ph), 0};
    return canvas;
}

// The test patterns as shapes: what each pattern paints on a screen of a given size, as lists
// of filled rectangles, lines and circle outlines that the pattern window only draws.
#pragma once
#include <cstdint>
#include <vector>

enum ETestPattern { PATTERN_COLOR_IMAGE = 0, PATTERN_GRAY_SCALE = 1, PATTERN_FOCUS = 2, PATTERN_USER_FILE = 3 };

// Colours are 0x00BBGGRR.
constexpr uint32_t PatternRgb(unsigned int r, unsigned int g, unsigned int b)
{
    return r | g << 8 | b << 16;
}

struct SPatternRect {
    int left, top, right, bottom; // right and bottom exclusive
    uint32_t colour;
};
// A line as drawn from (x0, y0) up to, not including, (x1, y1).
struct SPatternLine {
    int x0, y0, x1, y1;
};
struct SPatternCircle {
    int cx, cy, radius;
};

struct SPatternShapes {
    uint32_t background = 0;
    std::vector<SPatternRect> rects; // filled, in order
    uint32_t pen = PatternRgb(255, 255, 255);
    std::vector<SPatternCircle> circles; // outlines, one pixel wide
    std::vector<SPatternLine> lines;
};

// The 16 grey levels of Gray Scale, left to right.
extern const uint8_t kGrayLevels[16];

// Hue cells fading from full saturation at the top to nearly grey at the bottom. Fixed cell
// sizes (0 = automatic) replace the computed ones.
SPatternShapes ColorImagePattern(int width, int height, bool paletteDisplay, int cellWidth = 0, int cellHeight = 0);
SPatternShapes GrayScalePattern(int width, int height);
// The side of a focus grid cell: a divisor of the height that also divides the width, when
// there is one.
int FocusCellSize(int width, int height);
SPatternShapes FocusPattern(int width, int height);

// The memory canvas a user picture is drawn into before it is stretched over the screen: the
// picture centred at its own size on a canvas at least as large as the screen. When the system
// cannot make a canvas that large, each further attempt shrinks canvas and picture alike to nine
// tenths, so the stretched result looks the same; an empty canvas means there is nothing left to try.
struct SPatternCanvas {
    int width, height;
    SPatternRect picture; // where the picture goes on the canvas (colour unused)
    bool Empty() const { return width <= 0 || height <= 0; }
};
SPatternCanvas UserPictureCanvas(int screenWidth, int screenHeight, int pictureWidth, int pictureHeight,
                                 int reductions);

// The editor's colours: the sixteen-colour table of each mode, the colour that marks
// transparent pixels on the picture, and the matching of picture colours to table indexes.
#pragma once
#include <array>

#include "cursor_info.h"

enum EEditorMode { MODE_CURSOR = 0, MODE_STAMP = 1, MODE_SET = 2 };

using CPalette = std::array<ColorRef, 16>;

constexpr ColorRef kTransparentColor = MakeColor(0xA5, 0xC6, 0xE7);

// The standard VGA sixteen in the order of the colour buttons.
const CPalette& VgaPalette();
// A set frame's table as the editor shows it: among the first eleven entries, near-white
// channels that the projector cannot tell apart are lowered to 240.
CPalette AdjustSetPalette(const CPalette& fromFile);

// Each of red, green and blue differs by less than limit.
bool ColorsNear(ColorRef a, ColorRef b, unsigned limit);
// The table index stored for a picture colour: the first entry within 10 in each channel
// (set mode tries within 5 first); 0 when none matches.
int MatchColorIndex(const CPalette& palette, ColorRef color, EEditorMode mode);
bool IsTransparentColor(ColorRef color);
// The nearest of the table's colours and, when allowed, the transparent colour.
ColorRef NearestTableColor(const CPalette& palette, ColorRef color, bool orTransparent = true);

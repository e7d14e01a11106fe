// Draws a cursor image scaled into a square: opaque pixels in their colours, transparent
// ones in the background colour.
#pragma once
#include <windows.h>

#include "cursor_info.h"

void DrawCursorImage(HDC dc, const CCursorInfo& image, int left, int top, int side, COLORREF background);

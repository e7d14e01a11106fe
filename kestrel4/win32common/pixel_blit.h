// Drawing a 32-bit picture held in memory onto a device context.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

// One pixel of such a picture: 0x00RRGGBB.
inline uint32_t Pixel32(unsigned red, unsigned green, unsigned blue)
{
    return red << 16 | green << 8 | blue;
}

// Stretches a top-down picture of width x height pixels into rect of dc.
void StretchPixels32(HDC dc, const RECT& rect, int width, int height, const std::vector<uint32_t>& pixels);

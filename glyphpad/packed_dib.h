// Pictures as the clipboard's device-independent bitmaps: a bitmap header, its colour masks
// or colour table, then the rows. Pasting takes what other programs put there: 1, 4 and 8
// bits with a colour table, 16 and 32 bits plain or with colour masks, 24 bits, rows bottom
// up or top down, and the longer headers of newer writers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixel_picture.h"

// A 24-bit bitmap, rows bottom up, with a 40-byte header.
std::vector<uint8_t> EncodePackedDib(const CPixelPicture& picture);

// False, with picture untouched, for compressed bitmaps, other depths, sizes above 4096
// pixels a side, or bytes that end before the rows do.
bool DecodePackedDib(const uint8_t* data, size_t size, CPixelPicture& picture);

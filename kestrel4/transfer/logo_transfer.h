// The user logo as the projector receives it: a 14-byte head (0x49 0x47, big-endian width,
// height and zoom) and RGB565 pixels, most significant byte first, top row first.
#pragma once
#include <cstdint>
#include <vector>

class CDIB;

constexpr uint32_t kLogoAddress = 0x400000;
constexpr uint32_t kLogoAreaLength = 0x40000;
constexpr uint32_t kTransferHeadSize = 14;

// Empty unless the picture has 24 bits per pixel.
std::vector<uint8_t> BuildTransferImage(const CDIB& picture, int zoom);

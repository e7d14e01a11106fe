// Pixel layouts of bitmap files beyond the plain ones CDIB keeps (run-length compressed rows,
// 2-bit indices, 16- and 32-bit pixels with colour masks), decoded into 4-, 8- or 24-bit rows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Run-length data of 8 or 4 bits per pixel into bottom-up rows padded to 4 bytes; pixels the
// data skips keep index 0. DIB_OK; DIB_SHORT when the data ends before its end code; DIB_BAD
// when a run, an absolute block or a delta leaves the picture.
int DecodeRunLength(const uint8_t* data, size_t size, int32_t width, int32_t height, int bits,
                    std::vector<uint8_t>& rows);

struct SColourMasks {
    uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};
// The layout of 16- and 32-bit pixels in files without masks: 5-5-5, or 8-8-8 with the top byte unused.
SColourMasks DefaultMasks(int bits);
// Each colour mask one unbroken run of bits inside the pixel, none sharing a bit with another.
bool MasksUsable(const SColourMasks& masks, int bits);
// 16- or 32-bit rows to 24-bit rows, both padded to 4 bytes. With an alpha mask the pixels are
// laid over white, unless every alpha is 0: writers leave it so when they do not use it.
std::vector<uint8_t> MaskedTo24(const std::vector<uint8_t>& rows, int32_t width, int32_t height, int bits,
                                const SColourMasks& masks);
// 2-bit index rows to 4-bit ones, both padded to 4 bytes.
std::vector<uint8_t> TwoBitTo4(const std::vector<uint8_t>& rows, int32_t width, int32_t height);

// A colour channel c of opacity alpha laid over white.
inline uint8_t OverWhite(unsigned int c, unsigned int alpha)
{
    return static_cast<uint8_t>((c * alpha + 255 * (255 - alpha) + 127) / 255);
}
// A row of 8-bit blue, green, red, alpha pixels laid over white into a 24-bit row.
void BgraRowOverWhite(const uint8_t* bgra, uint8_t* dst, uint32_t width);

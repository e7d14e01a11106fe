#include "logo_transfer.h"

#include "dib.h"
#include "zelq_items.h"

std::vector<uint8_t> BuildTransferImage(const CDIB& picture, int zoom)
{
    if (picture.BitCount() != 24 || picture.IsEmpty())
        return {};
    const int32_t w = picture.Width(), h = picture.Height();
    std::vector<uint8_t> image(kTransferHeadSize + 2 * size_t(w) * h, 0);
    image[0] = 0x49;
    image[1] = 0x47;
    PutBigEndian(static_cast<uint32_t>(w), 2, &image[2]);
    PutBigEndian(static_cast<uint32_t>(h), 2, &image[4]);
    image[8] = 4;
    PutBigEndian(static_cast<uint32_t>(zoom), 2, &image[12]);
    uint8_t* out = image.data() + kTransferHeadSize;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* row = picture.Row(y);
        for (int32_t x = 0; x < w; ++x, out += 2) {
            const uint8_t b = row[3 * x], g = row[3 * x + 1], r = row[3 * x + 2];
            PutBigEndian(static_cast<uint32_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)), 2, out);
        }
    }
    return image;
}

// A bounded fuzz run of the bitmap and logo readers, the run-length decoder among them: seeded
// mutations of well-formed files.
// Every mutation must be read or refused without touching memory outside the file (the
// sanitizers watch), and what is read must write back and read again the same.
#include <gtest/gtest.h>

#include <random>

#include "bmp_builder.h"
#include "dib_logo.h"

namespace {

std::vector<std::vector<uint8_t>> Seeds()
{
    std::vector<std::vector<uint8_t>> seeds;
    SBmpSpec specs[5];
    specs[0].bits = 8, specs[0].colours = 256, specs[0].width = 7;
    specs[1].bits = 1, specs[1].colours = 2, specs[1].width = 13;
    specs[2].bits = 24, specs[2].height = -5;
    specs[3].bits = 8, specs[3].colours = 256, specs[3].core = true;
    specs[4].bits = 4, specs[4].colours = 16, specs[4].extra.assign(10, 0x5A); // a gap before the bits
    for (const SBmpSpec& s : specs)
        seeds.push_back(MakeBmp(s));
    // Run-length files of both depths, with runs, absolute blocks, a delta, end-of-line codes.
    for (uint16_t bits : {8, 4}) {
        SBmpSpec rle = Picture(12, 5, bits, bits == 8 ? 256 : 16);
        rle.compression = bits == 8 ? 1 : 2;
        std::vector<uint8_t> file = MakeBmp(rle, 0);
        const std::vector<uint8_t> data = {3, 0x12, 0, 4, 0x21, 0x43, 2, 0x55, 0, 0, 0, 2, 2, 1,
                                           4, 7, 0, 0, 0, 3, 9, 8, 7, 0, 2, 0x33, 0, 1};
        file.insert(file.end(), data.begin(), data.end());
        PutAt(file, 2, uint32_t(file.size()), 4);
        seeds.push_back(file);
    }
    CDIBLogo logo;
    CDIB dib;
    dib.Read(seeds[0]);
    logo.FromDIB(dib, 150);
    logo.SetArea({1, 1, 5, 2});
    std::vector<uint8_t> lgo;
    logo.Write(lgo);
    seeds.push_back(lgo);
    return seeds;
}

void Mutate(std::vector<uint8_t>& file, std::mt19937& random)
{
    const int kind = random() % 4;
    if (file.size() < 8)
        return;
    if (kind == 0) { // random bytes
        for (int i = 0, n = 1 + random() % 4; i < n; ++i)
            file[random() % file.size()] = static_cast<uint8_t>(random());
    } else if (kind == 1) { // a header field set to an extreme
        static const uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000, 256, 257};
        size_t at = random() % std::min<size_t>(file.size() - 3, 60);
        PutAt(file, at, extremes[random() % 8], 4);
    } else if (kind == 2) { // truncated
        file.resize(random() % file.size());
    } else { // grown with junk
        for (int i = 0, n = random() % 64; i < n; ++i)
            file.push_back(static_cast<uint8_t>(random()));
    }
}

TEST(DibFuzz, MutatedFilesAreReadConsistentlyOrRefused)
{
    const std::vector<std::vector<uint8_t>> seeds = Seeds();
    std::mt19937 random(20261208);
    int read = 0, refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<uint8_t> file = seeds[round % seeds.size()];
        // Every seed goes through both readers in turn.
        const bool asLogo = (round / seeds.size()) % 2;
        for (int i = 0, n = 1 + random() % 3; i < n; ++i)
            Mutate(file, random);
        CDIB plain;
        CDIBLogo logo;
        CDIB& dib = asLogo ? static_cast<CDIB&>(logo) : plain;
        const int result = dib.Read(file);
        ASSERT_GE(result, DIB_OK);
        ASSERT_LE(result, DIB_LARGE);
        if (result != DIB_OK) {
            ++refused;
            ASSERT_TRUE(dib.IsEmpty());
            continue;
        }
        ++read;
        ASSERT_EQ(dib.Bits().size(), size_t(dib.RowStride()) * dib.Height());
        for (int32_t y = 0; y < dib.Height(); y += 7)
            for (int32_t x = 0; x < dib.Width(); x += 5)
                dib.Pixel(x, y);
        CDIBLogo converted;
        converted.FromDIB(dib, 100);
        converted.ConvertTo24AndFit();
        if (asLogo) {
            CDIBLogo cut(logo);
            cut.CutToArea(logo.GetArea());
        }
        std::vector<uint8_t> again;
        ASSERT_EQ(dib.Write(again), DIB_OK);
        CDIB plainBack;
        CDIBLogo logoBack;
        CDIB& back = asLogo ? static_cast<CDIB&>(logoBack) : plainBack;
        ASSERT_EQ(back.Read(again), DIB_OK);
        ASSERT_EQ(back.Bits(), dib.Bits());
    }
    // The run must exercise both sides.
    EXPECT_GT(read, 1000);
    EXPECT_GT(refused, 1000);
}

} // namespace

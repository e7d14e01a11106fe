// Logo files, loading either kind of file, fitting to the logo size, the transfer image.
#include <gtest/gtest.h>

#include <fstream>

#include "bmp_builder.h"
#include "bulk_transfer.h"
#include "dib_logo.h"
#include "logo_transfer.h"

namespace {

CDIB Picture24(int32_t w, int32_t h, SRgbQuad (*colour)(int32_t x, int32_t y))
{
    CDIB dib;
    dib.CreateBlank(w, h, 24);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            SRgbQuad c = colour(x, y);
            uint8_t* p = dib.Row(y) + 3 * x;
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    return dib;
}

CDIBLogo SampleLogo()
{
    SBmpSpec s;
    s.width = 6;
    s.height = 5;
    s.bits = 8;
    s.colours = 256;
    CDIB dib;
    EXPECT_EQ(dib.Read(MakeBmp(s)), DIB_OK);
    CDIBLogo logo;
    logo.FromDIB(dib, 150);
    logo.SetColour({10, 20, 30, 0});
    logo.SetArea({1, 1, 4, 3});
    return logo;
}

TEST(LogoFile, WritesTheBlockAfterTheTableAndReadsItBack)
{
    CDIBLogo logo = SampleLogo();
    std::vector<uint8_t> file;
    ASSERT_EQ(logo.Write(file), DIB_OK);
    EXPECT_EQ(file[0], 0x4F);
    EXPECT_EQ(file[1], 0x4C);
    const uint32_t offset = 78 + 4 * 256;
    EXPECT_EQ(ReadLE(&file[10], 4), offset);
    EXPECT_EQ(ReadLE(&file[2], 4), file.size());
    EXPECT_EQ(file.size(), offset + 8 * 5);
    const uint8_t* block = &file[54 + 4 * 256];
    EXPECT_EQ(std::vector<uint8_t>(block, block + 24),
              (std::vector<uint8_t>{10, 20, 30, 0, 150, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0}));

    CDIBLogo back;
    ASSERT_EQ(back.Read(file), DIB_OK);
    EXPECT_EQ(back.GetZoom(), 150);
    EXPECT_EQ(back.GetColour(), (SRgbQuad{10, 20, 30, 0}));
    EXPECT_EQ(back.GetArea(), (SArea{1, 1, 4, 3}));
    EXPECT_EQ(back.Bits(), logo.Bits());
    // A bitmap reader does not take a logo file, nor a logo reader a bitmap.
    EXPECT_EQ(CDIB().Read(file), DIB_BAD);
}

TEST(LogoFile, OlderFilesWithTheShortBlockKeepColourAndZoom)
{
    CDIBLogo logo = SampleLogo();
    std::vector<uint8_t> file;
    logo.Write(file);
    const size_t block = 54 + 4 * 256;
    file.erase(file.begin() + block + 6, file.begin() + block + 24);
    PutAt(file, 10, uint32_t(block + 6), 4);
    PutAt(file, 2, uint32_t(file.size()), 4);
    CDIBLogo back;
    ASSERT_EQ(back.Read(file), DIB_OK);
    EXPECT_EQ(back.GetZoom(), 150);
    EXPECT_EQ(back.GetColour(), (SRgbQuad{10, 20, 30, 0}));
    EXPECT_TRUE(back.GetArea().IsEmpty());
    EXPECT_EQ(back.Bits(), logo.Bits());

    // Any other gap between table and bits is not a logo block.
    PutAt(file, 10, uint32_t(block + 5), 4);
    EXPECT_EQ(CDIBLogo().Read(file), DIB_BAD);
}

TEST(LogoLoad, EitherKindOfFileOrAClearRefusal)
{
    const std::string dir = testing::TempDir();
    SBmpSpec s;
    s.width = 12;
    s.height = 10;
    std::vector<uint8_t> bmp = MakeBmp(s), lgo;
    SampleLogo().Write(lgo);
    struct SCase {
        const char* name;
        std::vector<uint8_t> bytes;
        ELogoLoad result;
        int zoom;
    } cases[] = {
        {"bitmap", bmp, ELogoLoad::Ok, 200},
        {"logo", lgo, ELogoLoad::Ok, 150},
        {"text named .bmp", std::vector<uint8_t>(100, 'x'), ELogoLoad::NotAvailable, 0},
        {"damaged bitmap", std::vector<uint8_t>(bmp.begin(), bmp.begin() + 40), ELogoLoad::NotAvailable, 0},
        {"truncated logo", std::vector<uint8_t>(lgo.begin(), lgo.begin() + 300), ELogoLoad::ReadFailed, 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "logo_load_test.bin";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(c.bytes.data()), c.bytes.size());
        CDIBLogo target;
        target.SetZoom(250);
        ASSERT_EQ(LoadLogoFile(path, 200, target), c.result);
        if (c.result == ELogoLoad::Ok)
            EXPECT_EQ(target.GetZoom(), c.zoom);
        else
            EXPECT_EQ(target.GetZoom(), 250); // untouched
        std::remove(path.c_str());
    }
    CDIBLogo target;
    EXPECT_EQ(LoadLogoFile(dir + "no-such-file.lgo", 100, target), ELogoLoad::ReadFailed);
}

TEST(LogoFit, SizesAboveTheLimitShrinkByTheSquareRoot)
{
    struct SCase {
        int32_t w, h, fw, fh;
    } cases[] = {{1000, 1000, 346, 346}, {640, 480, 400, 300}, {346, 346, 346, 346},
                 {400, 300, 400, 300},   {400, 301, 399, 300}, {2000, 10, 2000, 10}};
    for (const SCase& c : cases) {
        int32_t fw = 0, fh = 0;
        FittedLogoSize(c.w, c.h, fw, fh);
        EXPECT_EQ(fw, c.fw) << c.w << "x" << c.h;
        EXPECT_EQ(fh, c.fh) << c.w << "x" << c.h;
    }
}

TEST(LogoFit, ResampleMapsHaveOneSourceIndexPerDestination)
{
    struct SCase {
        int32_t n, m;
    } cases[] = {{1000, 346}, {640, 400}, {480, 300}, {10, 9}, {5, 5}, {3, 1}, {301, 300}};
    for (const SCase& c : cases) {
        std::vector<int32_t> map = ResampleMap(c.n, c.m);
        ASSERT_EQ(int32_t(map.size()), c.m) << c.n << "->" << c.m;
        EXPECT_TRUE(std::is_sorted(map.begin(), map.end()));
        EXPECT_GE(map.front(), 0);
        EXPECT_LT(map.back(), c.n);
    }
    EXPECT_EQ(ResampleMap(640, 400)[1], 2);
    EXPECT_EQ(ResampleMap(640, 400)[3], 5);
    EXPECT_EQ(ResampleMap(5, 5), (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST(LogoFit, LargePicturesAreSmoothedAndResampled)
{
    // Columns alternate black and grey 200: every 2 x 2 mean is 100, except in the last
    // column, whose missing right neighbour is the pixel itself (200).
    CDIBLogo logo;
    logo.FromDIB(Picture24(1000, 1000,
                           [](int32_t x, int32_t) {
                               uint8_t v = x % 2 ? 200 : 0;
                               return SRgbQuad{v, v, v, 0};
                           }),
                 100);
    ASSERT_TRUE(logo.ConvertTo24AndFit());
    ASSERT_EQ(logo.Width(), 346);
    ASSERT_EQ(logo.Height(), 346);
    EXPECT_EQ(logo.Bits().size(), size_t(CDIB::Stride(346, 24)) * 346);
    for (int32_t x = 0; x < 345; ++x)
        ASSERT_EQ(logo.Pixel(x, 100), (SRgbQuad{100, 100, 100, 0})) << x;
    EXPECT_EQ(logo.Pixel(345, 100), (SRgbQuad{200, 200, 200, 0}));

    // 640 x 480 to 400 x 300: stored rows hold their own index, which the 2 x 2 mean keeps
    // ((r + r + (r + 1) + (r + 1)) / 4 = r), so each result row shows the source row it took.
    CDIBLogo rows;
    rows.FromDIB(Picture24(640, 480,
                           [](int32_t, int32_t y) {
                               uint8_t v = static_cast<uint8_t>(479 - y); // stored row index (bottom-up)
                               return SRgbQuad{v, 0, 0, 0};
                           }),
                 100);
    ASSERT_TRUE(rows.ConvertTo24AndFit());
    ASSERT_EQ(rows.Width(), 400);
    ASSERT_EQ(rows.Height(), 300);
    EXPECT_EQ(rows.Pixel(0, 299).blue, 0);
    EXPECT_EQ(rows.Pixel(0, 298).blue, 2);
    EXPECT_EQ(rows.Pixel(0, 297).blue, 4);
    EXPECT_EQ(rows.Pixel(0, 296).blue, 5);
}

TEST(LogoFit, PalettePicturesBecome24BitsOtherDepthsAreRefused)
{
    SBmpSpec s;
    s.width = 6;
    s.height = 5;
    s.bits = 4;
    s.colours = 16;
    CDIB dib;
    ASSERT_EQ(dib.Read(MakeBmp(s)), DIB_OK);
    CDIBLogo logo;
    logo.FromDIB(dib, 100);
    ASSERT_TRUE(logo.ConvertTo24AndFit());
    EXPECT_EQ(logo.BitCount(), 24);
    EXPECT_EQ(logo.ColourCount(), 0u);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 6; ++x)
            ASSERT_EQ(logo.Pixel(x, y), dib.Pixel(x, y));

    // The reader keeps no such depth; a picture made so is refused.
    for (int bits : {16, 32}) {
        ASSERT_TRUE(dib.CreateBlank(6, 5, bits)) << bits;
        logo.FromDIB(dib, 100);
        EXPECT_FALSE(logo.ConvertTo24AndFit()) << bits;
    }
}

TEST(LogoArea, NineDifferencesAreTheSmallestArea)
{
    EXPECT_TRUE(LogoAreaAcceptable({0, 0, 9, 9}));
    EXPECT_TRUE(LogoAreaAcceptable({5, 7, 14, 16}));
    EXPECT_FALSE(LogoAreaAcceptable({0, 0, 8, 9}));
    EXPECT_FALSE(LogoAreaAcceptable({0, 0, 9, 8}));
    EXPECT_TRUE(LogoSizeAcceptable(9, 9));
    EXPECT_FALSE(LogoSizeAcceptable(8, 100));
    EXPECT_EQ(NormalisedArea(30, 5, 10, 40), (SArea{10, 5, 30, 40}));
    EXPECT_EQ(NormalisedArea(10, 40, 30, 5), (SArea{10, 5, 30, 40}));
}

TEST(TransferImage, HeadAndBigEndianRgb565TopRowFirst)
{
    CDIB picture = Picture24(100, 50, [](int32_t x, int32_t y) {
        if (x == 0 && y == 0)
            return SRgbQuad{0, 0, 255, 0}; // red
        if (x == 1 && y == 0)
            return SRgbQuad{0x56, 0x34, 0x12, 0};
        if (x == 99 && y == 49)
            return SRgbQuad{255, 255, 255, 0};
        return SRgbQuad{0, 0, 0, 0};
    });
    std::vector<uint8_t> image = BuildTransferImage(picture, 250);
    ASSERT_EQ(image.size(), 10014u);
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.begin() + 14),
              (std::vector<uint8_t>{0x49, 0x47, 0, 100, 0, 50, 0, 0, 4, 0, 0, 0, 0, 250}));
    EXPECT_EQ(image[14], 0xF8);
    EXPECT_EQ(image[15], 0x00);
    EXPECT_EQ(image[16], 0x11); // (0x12 >> 3) << 11 | (0x34 >> 2) << 5 | 0x56 >> 3 = 0x11AA
    EXPECT_EQ(image[17], 0xAA);
    EXPECT_EQ(image[10012], 0xFF);
    EXPECT_EQ(image[10013], 0xFF);
    CDIB eight;
    eight.CreateBlank(10, 10, 8);
    EXPECT_TRUE(BuildTransferImage(eight, 100).empty());
}

TEST(TransferProgress, BigImagesCountInHundreds)
{
    struct SCase {
        uint32_t size, range, factor;
    } cases[] = {{10014, 10014, 1}, {65535, 65535, 1}, {65536, 655, 100}, {240014, 2400, 100}, {7000000, 700, 10000}};
    for (const SCase& c : cases) {
        SProgressScale scale = ScaleProgress(c.size);
        EXPECT_EQ(scale.nRange, c.range) << c.size;
        EXPECT_EQ(scale.nFactor, c.factor) << c.size;
    }
}

} // namespace

// The picture reader outside Windows: PNG and JPEG through their libraries, laid over white,
// compared with what their independent encoder decodes; sizes beyond the limits refused
// before decoding; damaged files refused without touching the picture held.
#include <gtest/gtest.h>

#include <cstdlib>

#include "bmp_builder.h"
#include "logo_document.h"
#include "magick.h"
#include "picture_reader.h"

namespace {

// The picture's rows top-first as 8-bit red, green, blue.
std::vector<uint8_t> TopDownRgb(const CDIB& dib)
{
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < dib.Height(); ++y)
        for (int32_t x = 0; x < dib.Width(); ++x) {
            const SRgbQuad c = dib.Pixel(x, y);
            out.insert(out.end(), {c.red, c.green, c.blue});
        }
    return out;
}

int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

uint32_t Crc(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

void PutBig(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void Chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    PutBig(png, uint32_t(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBig(png, Crc(png.data() + start, png.size() - start));
}

// A PNG header of w x h, 8-bit RGB, followed by an IDAT of junk that is never reached.
std::vector<uint8_t> PngHeaderOnly(uint32_t w, uint32_t h)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    PutBig(ihdr, w);
    PutBig(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", std::vector<uint8_t>(16, 0x55));
    Chunk(png, "IEND", {});
    return png;
}

class PictureReader : public ::testing::Test {
protected:
    std::string Made(const std::string& name, int w, int h, const std::string& options = "")
    {
        const std::string path = testing::TempDir() + name;
        EXPECT_TRUE(MakePicture(path, w, h, options)) << "convert could not make " << name;
        m_Files.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (const std::string& f : m_Files)
            std::remove(f.c_str());
    }
    std::vector<std::string> m_Files;
};

TEST_F(PictureReader, PngAndJpegReadAsTheirEncoderDecodesThem)
{
    const struct {
        const char* name;
        std::string options;
        std::string flatten;
        int tolerance;
    } cases[] = {
        {"opaque.png", "", "", 0},
        {"interlaced.png", "-interlace PNG", "", 0},
        {"palette.png", "-colors 16", "", 0},
        {"grey.png", "-colorspace Gray", "", 0},
        // 16 bits a channel narrowed to 8: rounding may differ by one.
        {"deep.png", "-depth 16", "", 1},
        // Transparent pixels laid over white, as convert flattens them.
        {"alpha.png", "-alpha set -channel A -evaluate set 40% +channel", "-background white -flatten", 1},
        {"photo.jpg", "-quality 85", "", 1},
        {"grey.jpg", "-colorspace Gray -quality 90", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Made(c.name, 37, 23, c.options);
        const std::vector<uint8_t> expected = DecodedByConvert(path, c.flatten);
        ASSERT_EQ(expected.size(), 37u * 23 * 3);
        CDIB dib;
        ASSERT_EQ(ReadPictureFile(path, dib), DIB_OK);
        EXPECT_EQ(dib.Width(), 37);
        EXPECT_EQ(dib.Height(), 23);
        EXPECT_EQ(dib.BitCount(), 24);
        const std::vector<uint8_t> got = TopDownRgb(dib);
        ASSERT_EQ(got.size(), expected.size());
        EXPECT_LE(LargestDifference(got, expected), c.tolerance);
    }
}

TEST_F(PictureReader, DamagedAndOversizedFilesChangeNothing)
{
    const std::vector<uint8_t> png = FileBytes(Made("whole.png", 40, 30));
    const std::vector<uint8_t> jpeg = FileBytes(Made("whole.jpg", 40, 30));
    ASSERT_GT(png.size(), 100u);
    ASSERT_GT(jpeg.size(), 100u);
    std::vector<uint8_t> badCrc = png;
    badCrc[40] ^= 0xFF;
    // The JPEG's frame header with its height and width (big-endian) set to 20000.
    std::vector<uint8_t> hugeJpeg = jpeg;
    for (size_t i = 2; i + 9 < hugeJpeg.size(); ++i)
        if (hugeJpeg[i] == 0xFF && (hugeJpeg[i + 1] == 0xC0 || hugeJpeg[i + 1] == 0xC2)) {
            hugeJpeg[i + 5] = hugeJpeg[i + 7] = 20000 >> 8;
            hugeJpeg[i + 6] = hugeJpeg[i + 8] = 20000 & 0xFF;
            break;
        }
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        int result;
    } cases[] = {
        {"PNG cut short", std::vector<uint8_t>(png.begin(), png.begin() + png.size() / 2), DIB_BAD},
        {"PNG with a wrong checksum", badCrc, DIB_BAD},
        {"JPEG cut short", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), DIB_BAD},
        {"JPEG header only", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 4), DIB_BAD},
        {"PNG over 16384 wide", PngHeaderOnly(16385, 10), DIB_LARGE},
        // 10000 x 10000 at 24 bits is 300 MB: over the limit though each side is within it.
        {"PNG over 256 MB", PngHeaderOnly(10000, 10000), DIB_LARGE},
        {"JPEG over 16384 a side", hugeJpeg, DIB_LARGE},
        {"text", std::vector<uint8_t>(100, 'x'), DIB_BAD},
        {"empty", {}, DIB_BAD},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDIB dib;
        ASSERT_EQ(dib.Read(MakeBmp(Picture(5, 3))), DIB_OK);
        const std::vector<uint8_t> before = dib.Bits();
        EXPECT_EQ(ReadPicture(c.bytes, dib), c.result);
        EXPECT_EQ(dib.Width(), 5);
        EXPECT_EQ(dib.Bits(), before);
    }
}

TEST_F(PictureReader, ALogoSavedFromAPngHoldsTheConvertedBitmap)
{
    const std::string png = Made("for_logo.png", 30, 20, "-alpha set -channel A -evaluate set 50% +channel");
    CLogoDocument logo;
    ASSERT_EQ(logo.Open(png, 150), ELogoResult::Ok);
    EXPECT_TRUE(logo.NeedsSaveName()) << "the PNG is never written over";
    const std::string lgo = testing::TempDir() + "from_png.lgo";
    m_Files.push_back(lgo);
    ASSERT_EQ(logo.Save(lgo), ELogoResult::Ok);
    CDIBLogo saved;
    ASSERT_EQ(saved.ReadFile(lgo), DIB_OK);
    EXPECT_EQ(saved.BitCount(), 24);
    EXPECT_EQ(saved.GetZoom(), 150);
    CDIB decoded;
    ASSERT_EQ(ReadPictureFile(png, decoded), DIB_OK);
    EXPECT_EQ(TopDownRgb(saved), TopDownRgb(decoded));
    // Laid over white: half-transparent red lightens to pink.
    EXPECT_EQ(saved.Pixel(0, 0).red, 255);
    EXPECT_GE(saved.Pixel(0, 0).green, 126);
}

TEST_F(PictureReader, BitmapsGoToTheirOwnReader)
{
    CDIB dib;
    EXPECT_EQ(ReadPicture(MakeBmp(Picture(5, 3)), dib), DIB_OK);
    EXPECT_EQ(dib.Width(), 5);
    // A damaged bitmap keeps the bitmap reader's own answer.
    EXPECT_EQ(ReadPicture({'B', 'M', 0, 0}, dib), DIB_SHORT);
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(ReadPictureFile(testing::TempDir() + "no-such-picture.png", dib), DIB_SHORT);
}

} // namespace

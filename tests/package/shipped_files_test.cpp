// What ships beside the programs, read back by the program's own readers: the starter
// libraries the first-start setting names, the default user logo, the sample set and the
// test pattern. The files are the ones the build drew into KESTREL_SHIPPED.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ani_info.h"
#include "cursor_info.h"
#include "dib.h"
#include "dib_logo.h"
#include "item_library.h"
#include "kestrel_ini.h"

namespace {

const std::string kShipped = KESTREL_SHIPPED;

// Pixels that show (not transparent) and how many colours they use.
void CountInk(const CCursorInfo& info, int& shown, int& colours)
{
    std::vector<bool> used(16, false);
    shown = 0;
    for (int y = 0; y < info.GetHeight(); ++y)
        for (int x = 0; x < info.GetWidth(); ++x)
            if (!info.IsTransparent(x, y)) {
                ++shown;
                used[static_cast<size_t>(info.GetPixel(x, y))] = true;
            }
    colours = 0;
    for (bool u : used)
        colours += u;
}

TEST(ShippedFiles, LibrariesHoldTheStarterItemsNumberedFromZero)
{
    const struct {
        EItemKind kind;
        size_t count;
        int size;
    } libraries[] = {{ITEM_CURSOR, 4, 32}, {ITEM_STAMP, 6, 48}};
    for (const auto& l : libraries) {
        CItemLibrary library(l.kind, kShipped);
        library.List();
        ASSERT_EQ(l.count, library.GetNames().size()) << ItemExtension(l.kind);
        for (size_t i = 0; i < l.count; ++i) {
            const std::string& name = library.GetNames()[i];
            SCOPED_TRACE(name);
            char expected[16];
            std::snprintf(expected, sizeof expected, "%02u%s", static_cast<unsigned>(i), ItemExtension(l.kind));
            EXPECT_STREQ(expected, name.c_str()) << "numbers run without gaps from 00";
            CCursorInfo info;
            ASSERT_EQ(CURSOR_FILE_OK, ReadCursorFile(library.GetPath(name).c_str(), info));
            EXPECT_EQ(l.size, info.GetWidth());
            EXPECT_EQ(l.size, info.GetHeight());
            EXPECT_EQ(4, info.GetBitCount());
            EXPECT_LT(info.GetHotSpotX(), l.size);
            EXPECT_LT(info.GetHotSpotY(), l.size);
            int shown = 0, colours = 0;
            CountInk(info, shown, colours);
            EXPECT_GT(shown, l.size * l.size / 20) << "a picture, not an empty item";
            EXPECT_LT(shown, l.size * l.size) << "a shape with transparent surroundings";
            EXPECT_GE(colours, 2) << "a fill and its rim";
        }
    }
}

TEST(ShippedFiles, TheFirstStartSettingFindsItsCursorAndStamp)
{
    const struct {
        const char* key;
        const char* folder;
    } named[] = {{"E1CustomCursorEffectFileName", "cursor/"}, {"E2StampEffectFileName", "stamp/"}};
    for (const auto& n : named) {
        const char* file = nullptr;
        for (const SIniDefault& d : kSupportSeed)
            if (std::strcmp(d.pszKey, n.key) == 0)
                file = d.pszValue;
        ASSERT_NE(nullptr, file) << n.key;
        CCursorInfo info;
        EXPECT_EQ(CURSOR_FILE_OK, ReadCursorFile((kShipped + n.folder + file).c_str(), info)) << file;
    }
}

TEST(ShippedFiles, DefaultLogoIsALogoFileThatFits)
{
    CDIBLogo logo;
    ASSERT_EQ(ELogoLoad::Ok, LoadLogoFile(kShipped + "deflogo.lgo", 150, logo));
    EXPECT_TRUE(LogoSizeAcceptable(logo.Width(), logo.Height()));
    EXPECT_LE(static_cast<long>(logo.Width()) * logo.Height() * 3, 360000L) << "sent without being scaled down";
    EXPECT_EQ(100, logo.GetZoom()) << "a logo file keeps its own zoom";
    EXPECT_EQ(24, logo.BitCount());
    EXPECT_EQ(0, logo.GetArea().left);
    EXPECT_EQ(logo.Width() - 1, logo.GetArea().right);
    EXPECT_EQ(logo.Height() - 1, logo.GetArea().bottom);
}

TEST(ShippedFiles, SampleSetIsOneTheProjectorTakes)
{
    CAniInfo set;
    ASSERT_EQ(CURSOR_FILE_OK, set.ReadFile((kShipped + "Sample.csp").c_str()));
    ASSERT_EQ(8, set.GetFrameCount());
    std::vector<uint8_t> image;
    ASSERT_TRUE(set.PackImage(image));
    EXPECT_EQ(kSetImageSize, image.size());
    for (int i = 0; i < 8; ++i) {
        int shown = 0, colours = 0;
        CountInk(set.GetFrame(i), shown, colours);
        EXPECT_GT(shown, 32 * 32 / 20) << "frame " << i;
    }
}

TEST(ShippedFiles, TestPatternIsABitmapTheTestPatternScreenShows)
{
    CDIB pattern;
    ASSERT_EQ(DIB_OK, pattern.ReadFile(kShipped + "TestPattern.bmp"));
    EXPECT_GE(pattern.Width(), 320);
    EXPECT_GE(pattern.Height(), 240);
    // Its colour bars: the first column is white, the last before the frame black.
    SRgbQuad first = pattern.Pixel(pattern.Width() / 16, pattern.Height() / 3);
    SRgbQuad last = pattern.Pixel(pattern.Width() - pattern.Width() / 16, pattern.Height() / 3);
    EXPECT_EQ(255 * 3, first.red + first.green + first.blue);
    EXPECT_EQ(0, last.red + last.green + last.blue);
}

} // namespace

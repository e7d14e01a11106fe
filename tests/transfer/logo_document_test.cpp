// The logo page's document: open, area, zoom, save and open again.
#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>
#include <iterator>

#include "bmp_builder.h"
#include "logo_document.h"
#include "logo_transfer.h"

namespace {

// Write permission taken from everyone, or given back to the owner.
void SetReadOnly(const std::string& path, bool readOnly)
{
    using std::filesystem::perms;
    std::filesystem::permissions(path, readOnly ? perms::owner_read | perms::group_read | perms::others_read
                                                : perms::owner_read | perms::owner_write);
}

std::vector<char> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WriteBmp(const std::string& name, const SBmpSpec& spec)
{
    const std::string path = testing::TempDir() + name;
    std::vector<uint8_t> bytes = MakeBmp(spec);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

TEST(LogoDocument, OpenAreaZoomSaveAndOpenAgain)
{
    const std::string bmp = WriteBmp("doc_test.bmp", Picture(640, 480));
    CLogoDocument doc;
    ASSERT_EQ(doc.Open(bmp, 200), ELogoResult::Ok);
    EXPECT_EQ(doc.Working().Width(), 400);
    EXPECT_EQ(doc.Working().Height(), 300);
    EXPECT_EQ(doc.Source().GetZoom(), 200);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.NeedsSaveName()) << "a bitmap is never written over";

    EXPECT_EQ(doc.SetArea({10, 20, 18, 40}), ELogoResult::TooSmall) << "8 differences";
    EXPECT_FALSE(doc.IsModified());
    ASSERT_EQ(doc.SetArea({10, 20, 19, 29}), ELogoResult::Ok) << "9 differences";
    EXPECT_EQ(doc.Working().Width(), 10);
    EXPECT_EQ(doc.Working().Height(), 10);
    EXPECT_EQ(doc.Working().Pixel(0, 0), doc.Source().Pixel(10, 20));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.SetArea({600, 0, 640, 100}), ELogoResult::TooSmall) << "beyond the picture";

    EXPECT_FALSE(doc.SetZoom(200));
    EXPECT_TRUE(doc.SetZoom(250));
    std::vector<uint8_t> image = doc.TransferImage();
    ASSERT_EQ(image.size(), 14u + 2 * 10 * 10);
    EXPECT_EQ(image[13], 250);

    const std::string lgo = testing::TempDir() + "doc_test.lgo";
    ASSERT_EQ(doc.Save(lgo), ELogoResult::Ok);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.NeedsSaveName());

    CLogoDocument again;
    ASSERT_EQ(again.Open(lgo, 100), ELogoResult::Ok);
    EXPECT_EQ(again.Source().GetZoom(), 250);
    EXPECT_EQ(again.Source().GetArea(), (SArea{10, 20, 19, 29}));
    EXPECT_EQ(again.Working().Bits(), doc.Working().Bits());
    EXPECT_EQ(again.TransferImage(), image);
    std::remove(bmp.c_str());
    std::remove(lgo.c_str());
}

// An 8-bit run-length file whose data (the builder's counting bytes) runs past its first row.
SBmpSpec RunLength()
{
    SBmpSpec s = Picture(20, 20, 8, 256);
    s.compression = 1;
    return s;
}

TEST(LogoDocument, RefusedFilesLeaveTheDocumentAsItWas)
{
    const std::string good = WriteBmp("doc_good.bmp", Picture(20, 20, 8, 256));
    CLogoDocument doc;
    ASSERT_EQ(doc.Open(good, 100), ELogoResult::Ok);
    EXPECT_EQ(doc.Working().BitCount(), 24);
    struct SCase {
        const char* name;
        std::string path;
        ELogoResult result;
    } cases[] = {
        {"missing", testing::TempDir() + "no-such.bmp", ELogoResult::ReadFailed},
        {"too narrow", WriteBmp("doc_narrow.bmp", Picture(8, 50)), ELogoResult::TooSmall},
        {"run-length run past the row", WriteBmp("doc_rle.bmp", RunLength()), ELogoResult::NotAvailable},
        {"20000 pixels wide", WriteBmp("doc_wide.bmp", Picture(20000, 2)), ELogoResult::TooLarge},
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(doc.Open(c.path, 100), c.result) << c.name;
        EXPECT_EQ(doc.Path(), good) << c.name;
        EXPECT_EQ(doc.Working().Width(), 20) << c.name;
        std::remove(c.path.c_str());
    }
    EXPECT_EQ(doc.Save(testing::TempDir() + "no-such-folder/x.lgo"), ELogoResult::WriteFailed);
    std::remove(good.c_str());
}

TEST(LogoDocument, OnlyALogoFileIsSavedUnderItsOwnName)
{
    // What a file holds decides, not only its name: a bitmap renamed to .lgo is a picture.
    const struct {
        const char* name;
        bool holdsLogo;
        bool asks;
    } cases[] = {{"doc_named.png", false, true}, {"doc_named.JPG", false, true}, {"doc_named", false, true},
                 {"doc_named.LGO", false, true}, {"doc_named.LGO", true, false},  {"doc_named.bmp", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.holdsLogo ? " holding a logo" : " holding a bitmap"));
        std::string path = WriteBmp(c.name, Picture(20, 20));
        if (c.holdsLogo) {
            CLogoDocument maker;
            ASSERT_EQ(maker.Open(path, 100), ELogoResult::Ok);
            ASSERT_EQ(maker.Save(path), ELogoResult::Ok);
        }
        CLogoDocument doc;
        ASSERT_EQ(doc.Open(path, 100), ELogoResult::Ok);
        EXPECT_EQ(doc.NeedsSaveName(), c.asks);
        const std::string saved = testing::TempDir() + "doc_named_saved.lgo";
        ASSERT_EQ(doc.Save(saved), ELogoResult::Ok);
        EXPECT_FALSE(doc.NeedsSaveName()) << "saved as a logo file, it is one";
        std::remove(saved.c_str());
        std::remove(path.c_str());
    }
}

TEST(LogoDocument, AReadOnlyLogoFileIsNotSavedOver)
{
    const std::string path = testing::TempDir() + "doc_read_only.lgo";
    CLogoDocument doc;
    ASSERT_EQ(doc.Open(WriteBmp("doc_read_only.bmp", Picture(20, 20)), 100), ELogoResult::Ok);
    ASSERT_EQ(doc.Save(path), ELogoResult::Ok);
    const std::vector<char> before = ReadAll(path);
    SetReadOnly(path, true);
    ASSERT_TRUE(doc.SetZoom(250));
    EXPECT_EQ(doc.Save(path), ELogoResult::WriteFailed);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_TRUE(doc.IsModified());
    SetReadOnly(path, false);
    std::remove(path.c_str());
}

TEST(LogoDocument, TheDefaultLogoTakesNoNameSoItsFileIsNeverSavedOver)
{
    CDIB picture;
    ASSERT_EQ(picture.Read(MakeBmp(Picture(30, 20))), DIB_OK);
    CDIBLogo shipped;
    shipped.FromDIB(picture, 150);
    shipped.SetColour(SRgbQuad{10, 20, 30, 0});
    const std::string path = testing::TempDir() + "deflogo_test.lgo";
    ASSERT_EQ(shipped.WriteFile(path), DIB_OK);

    CLogoDocument doc;
    ASSERT_EQ(doc.OpenDefault(path, 200), ELogoResult::Ok);
    EXPECT_TRUE(doc.HasSource());
    EXPECT_EQ(doc.Path(), "");
    EXPECT_TRUE(doc.NeedsSaveName()) << "the first save asks for a name";
    EXPECT_EQ(doc.Source().GetZoom(), 150);
    EXPECT_EQ(doc.Source().GetColour(), SRgbQuad()) << "its colour is cleared";
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.SetZoom(250));
    EXPECT_TRUE(doc.NeedsSaveName());

    CLogoDocument missing;
    EXPECT_EQ(missing.OpenDefault(testing::TempDir() + "no-deflogo.lgo", 200), ELogoResult::ReadFailed);
    EXPECT_FALSE(missing.HasSource());
    std::remove(path.c_str());
}

// The bytes of a logo file of a w x h picture.
std::string LogoFileBytes(int32_t w, int32_t h)
{
    CDIB picture;
    EXPECT_EQ(picture.Read(MakeBmp(Picture(w, h))), DIB_OK);
    CDIBLogo logo;
    logo.FromDIB(picture, 100);
    const std::string path = testing::TempDir() + "deflogo_source.lgo";
    EXPECT_EQ(logo.WriteFile(path), DIB_OK);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}

// A shipped default logo that is damaged leaves the page empty and is told of; only a
// missing one is passed over in silence.
TEST(LogoDocument, BadDefaultLogoLeavesThePageEmptyAndIsReported)
{
    const std::string good = LogoFileBytes(100, 80);
    ASSERT_GT(good.size(), 64u);
    struct SCase {
        const char* pszName;
        bool bWrite;
        std::string strBytes;
        ELogoResult result;
    } cases[] = {
        {"deflogo_missing.lgo", false, "", ELogoResult::ReadFailed},
        {"deflogo_garbage.lgo", true, std::string(300, '\x5A'), ELogoResult::NotAvailable},
        {"deflogo_cut.lgo", true, good.substr(0, good.size() / 2), ELogoResult::ReadFailed},
        {"deflogo_empty.lgo", true, "", ELogoResult::ReadFailed},
        {"deflogo_tiny.lgo", true, LogoFileBytes(4, 4), ELogoResult::TooSmall},
    };
    for (const SCase& c : cases) {
        const std::string path = testing::TempDir() + c.pszName;
        std::remove(path.c_str());
        if (c.bWrite)
            std::ofstream(path, std::ios::binary).write(c.strBytes.data(), std::streamsize(c.strBytes.size()));
        CLogoDocument doc;
        const ELogoResult result = doc.OpenDefault(path, 100);
        EXPECT_EQ(result, c.result) << c.pszName;
        EXPECT_FALSE(doc.HasSource()) << c.pszName;
        EXPECT_EQ(IsDefaultLogoFailureReported(result, path), c.bWrite) << c.pszName;
        std::remove(path.c_str());
    }
}

TEST(LogoDocument, ZoomIndexes)
{
    EXPECT_EQ(ZoomRateOfIndex(0), 100);
    EXPECT_EQ(ZoomRateOfIndex(2), 200);
    EXPECT_EQ(ZoomRateOfIndex(4), 300);
    EXPECT_EQ(ZoomRateOfIndex(9), 100);
    EXPECT_EQ(ZoomIndexOfRate(150), 1);
    EXPECT_EQ(ZoomIndexOfRate(120), -1);
}

} // namespace

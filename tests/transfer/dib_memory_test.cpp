// Pictures when memory runs short: every operation fails the way it reports failure and
// leaves what it worked on as it was. This program replaces the global allocator so that
// requests above a limit, or beyond a total held at once, fail as they would on a machine
// without the memory; it also keeps the most held at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <new>

#include <malloc.h>

#include "bmp_builder.h"
#include "dib_logo.h"
#include "logo_document.h"

namespace {
size_t g_nLimitBytes = std::numeric_limits<size_t>::max();
size_t g_nTotalLimitBytes = std::numeric_limits<size_t>::max();
size_t g_nHeldBytes = 0;
size_t g_nMostHeldBytes = 0;

void* Allocate(std::size_t size) noexcept
{
    if (size > g_nLimitBytes || size > g_nTotalLimitBytes - g_nHeldBytes)
        return nullptr;
    void* block = std::malloc(size ? size : 1);
    if (block) {
        g_nHeldBytes += malloc_usable_size(block);
        if (g_nHeldBytes > g_nMostHeldBytes)
            g_nMostHeldBytes = g_nHeldBytes;
    }
    return block;
}

void Release(void* block) noexcept
{
    if (block)
        g_nHeldBytes -= malloc_usable_size(block);
    std::free(block);
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* block) noexcept
{
    Release(block);
}
void operator delete[](void* block) noexcept
{
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    Release(block);
}

namespace {

// Requests above bytes fail while it lives.
class CMemoryLimit {
public:
    explicit CMemoryLimit(size_t bytes) { g_nLimitBytes = bytes; }
    ~CMemoryLimit() { g_nLimitBytes = std::numeric_limits<size_t>::max(); }
};

// While it lives, no more than bytes beyond what is held at its start may be held at once;
// Most() is the most that was.
class CHeldMemoryLimit {
public:
    explicit CHeldMemoryLimit(size_t bytes) : m_nStart(g_nHeldBytes)
    {
        g_nTotalLimitBytes = m_nStart + bytes;
        g_nMostHeldBytes = m_nStart;
    }
    ~CHeldMemoryLimit() { g_nTotalLimitBytes = std::numeric_limits<size_t>::max(); }
    size_t Most() const { return g_nMostHeldBytes - m_nStart; }

private:
    size_t m_nStart;
};

const size_t kMegabyte = 1 << 20;

std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes)
{
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

CDIB Blank(int32_t w, int32_t h, int bits)
{
    CDIB dib;
    EXPECT_EQ(dib.CreateBlank(w, h, bits), 1);
    return dib;
}

TEST(DibMemory, ReadingAPictureLargerThanMemoryIsARefusal)
{
    // 2000 x 2000 at 24 bits: 12 MB of bits.
    const std::vector<uint8_t> bytes = MakeBmp(Picture(2000, 2000));
    const std::string path = WriteBytes("memory_big.bmp", bytes);
    CMemoryLimit limit(4 * kMegabyte);

    CDIB dib;
    EXPECT_EQ(dib.Read(bytes), DIB_MEMORY);
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.ReadFile(path), DIB_SHORT) << "as a file that cannot be read";
    EXPECT_TRUE(dib.IsEmpty());

    CDIBLogo target;
    target.SetZoom(250);
    EXPECT_EQ(LoadLogoBytes(bytes, 100, target), ELogoLoad::NoMemory);
    EXPECT_EQ(LoadLogoFile(path, 100, target), ELogoLoad::ReadFailed);
    EXPECT_EQ(target.GetZoom(), 250);
    EXPECT_TRUE(target.IsEmpty());
    std::remove(path.c_str());
}

TEST(DibMemory, ReshapingFailsAndKeepsThePicture)
{
    const CDIB palette8 = Blank(2000, 2000, 8); // 4 MB
    const CDIB full24 = Blank(1000, 1000, 24);  // 3 MB
    struct SCase {
        const char* name;
        const CDIB& picture;
        std::function<int(CDIB&)> operation;
    } cases[] = {
        {"to 24 bits", palette8, [](CDIB& d) { return d.ConvertTo24(); }},
        {"cut", full24,
         [](CDIB& d) {
             return d.CutToArea({0, 0, 999, 899});
         }},
        {"new blank picture", full24, [](CDIB& d) { return d.CreateBlank(2000, 2000, 24); }},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        CDIB dib(c.picture);
        CMemoryLimit limit(2 * kMegabyte);
        EXPECT_EQ(c.operation(dib), 0);
        EXPECT_EQ(dib.Width(), c.picture.Width());
        EXPECT_EQ(dib.Height(), c.picture.Height());
        EXPECT_EQ(dib.BitCount(), c.picture.BitCount());
        EXPECT_EQ(dib.Bits().size(), c.picture.Bits().size());
    }
}

TEST(DibMemory, FittingAndWritingFailWithTheirOwnResults)
{
    CDIBLogo logo;
    logo.FromDIB(Blank(1000, 1000, 24), 100); // 3 MB, above the logo limit
    const std::string path = WriteBytes("memory_kept.lgo", {1, 2, 3});
    CMemoryLimit limit(256 * 1024);

    EXPECT_EQ(logo.ConvertTo24AndFit(), 0) << "no room for the fitted picture (about 360 KB)";
    EXPECT_EQ(logo.Width(), 1000);
    std::vector<uint8_t> file;
    EXPECT_EQ(logo.Write(file), DIB_MEMORY);
    EXPECT_TRUE(file.empty());
    EXPECT_EQ(logo.WriteFile(path), DIB_MEMORY);
    std::ifstream kept(path, std::ios::binary);
    EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(kept), {}), (std::vector<char>{1, 2, 3}));
    std::remove(path.c_str());
}

TEST(DibMemory, TheLogoDocumentStaysAsItWasAndSaysMemoryRanShort)
{
    // 1000 x 600 at 24 bits: 1.8 MB, fitted to 346 x 207 for the working copy.
    const std::string path = WriteBytes("memory_doc.bmp", MakeBmp(Picture(1000, 600)));
    CLogoDocument doc;
    ASSERT_EQ(doc.Open(path, 150), ELogoResult::Ok);
    const std::vector<uint8_t> image = doc.TransferImage();
    {
        CMemoryLimit limit(kMegabyte);
        EXPECT_EQ(doc.Open(path, 200), ELogoResult::ReadFailed) << "the file's bytes find no room";
        EXPECT_TRUE(doc.SetZoom(250));
        EXPECT_EQ(doc.Save(testing::TempDir() + "memory_doc.lgo"), ELogoResult::WriteFailed);
    }
    {
        // The fitted copy (about 200 KB) finds no room: said as such, not as a small picture.
        CMemoryLimit limit(64 * 1024);
        EXPECT_EQ(doc.SetArea({0, 0, 899, 599}), ELogoResult::NoMemory);
        EXPECT_TRUE(doc.TransferImage().empty());
    }
    EXPECT_TRUE(doc.IsModified()) << "the zoom is not saved";
    EXPECT_TRUE(doc.Source().GetArea().IsEmpty());
    EXPECT_EQ(doc.Source().Width(), 1000);
    EXPECT_EQ(doc.Working().Bits().size(), doc.Transfer().Bits().size());
    EXPECT_EQ(doc.TransferImage().size(), image.size());
    std::remove(path.c_str());
}

TEST(DibMemory, AnAreaOfALargePictureIsFittedWithoutCopyingThePicture)
{
    CDIBLogo picture;
    picture.FromDIB(Blank(2000, 2000, 8), 100); // 4 MB
    const std::string path = testing::TempDir() + "memory_area.lgo";
    ASSERT_EQ(picture.WriteFile(path), DIB_OK);
    CLogoDocument doc;
    ASSERT_EQ(doc.Open(path, 100), ELogoResult::Ok);
    CMemoryLimit limit(kMegabyte);
    EXPECT_EQ(doc.SetArea({10, 20, 1809, 1519}), ELogoResult::Ok);
    EXPECT_EQ(doc.Source().GetArea(), (SArea{10, 20, 1809, 1519}));
    int32_t w = 0, h = 0;
    FittedLogoSize(1800, 1500, w, h);
    EXPECT_EQ(doc.Working().Width(), w);
    EXPECT_EQ(doc.Working().Height(), h);
    std::remove(path.c_str());
}

TEST(DibMemory, APictureAtTheSizeLimitIsFittedWithoutASecondFullCopy)
{
    // 16384 x 16384 at 8 bits is the largest picture read (256 MB); in 24 bits it would be
    // 768 MB. Reading holds the file's bytes and the picture; nothing after that may come near.
    const std::string path = testing::TempDir() + "memory_limit.bmp";
    size_t pictureBytes = 0;
    {
        CDIB huge = Blank(kMaxDibSide, kMaxDibSide, 8);
        pictureBytes = huge.Bits().size();
        ASSERT_EQ(huge.WriteFile(path), DIB_OK);
    }
    CLogoDocument doc;
    size_t most = 0;
    {
        CHeldMemoryLimit limit(pictureBytes * 5 / 2);
        ASSERT_EQ(doc.Open(path, 100), ELogoResult::Ok);
        most = limit.Most();
    }
    std::printf("most held while opening a %d x %d picture of 8 bits: %zu MB\n", kMaxDibSide, kMaxDibSide,
                most >> 20);
    EXPECT_LE(most, pictureBytes * 21 / 10);
    EXPECT_EQ(doc.Working().BitCount(), 24);
    EXPECT_LE(doc.Working().Bits().size(), size_t(kLogoByteLimit) + 4 * 346);
    {
        CHeldMemoryLimit limit(8 * kMegabyte);
        EXPECT_EQ(doc.SetArea({0, 0, kMaxDibSide - 1, kMaxDibSide / 2}), ELogoResult::Ok);
    }
    std::remove(path.c_str());
}

} // namespace

// Pictures when memory runs short: every operation fails the way it reports failure and
// leaves what it worked on as it was. This program replaces the global allocator so that
// requests above a limit fail as they would on a machine without the memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <new>

#include "bmp_builder.h"
#include "dib_logo.h"
#include "logo_document.h"

namespace {
size_t g_nLimitBytes = std::numeric_limits<size_t>::max();
} // namespace

void* operator new(std::size_t size)
{
    if (size > g_nLimitBytes)
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return size > g_nLimitBytes ? nullptr : std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

// Requests above bytes fail while it lives.
class CMemoryLimit {
public:
    explicit CMemoryLimit(size_t bytes) { g_nLimitBytes = bytes; }
    ~CMemoryLimit() { g_nLimitBytes = std::numeric_limits<size_t>::max(); }
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
    EXPECT_EQ(LoadLogoBytes(bytes, 100, target), ELogoLoad::ReadFailed);
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
    CMemoryLimit limit(2 * kMegabyte);

    EXPECT_EQ(logo.ConvertTo24AndFit(), 0) << "no room to smooth";
    std::vector<uint8_t> file;
    EXPECT_EQ(logo.Write(file), DIB_MEMORY);
    EXPECT_TRUE(file.empty());
    EXPECT_EQ(logo.WriteFile(path), DIB_MEMORY);
    std::ifstream kept(path, std::ios::binary);
    EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(kept), {}), (std::vector<char>{1, 2, 3}));
    std::remove(path.c_str());
}

TEST(DibMemory, TheLogoDocumentStaysAsItWas)
{
    // 1000 x 600 at 24 bits: 1.8 MB, fitted to 346 x 207 for the working copy.
    const std::string path = WriteBytes("memory_doc.bmp", MakeBmp(Picture(1000, 600)));
    CLogoDocument doc;
    ASSERT_EQ(doc.Open(path, 150), ELogoResult::Ok);
    const std::vector<uint8_t> image = doc.TransferImage();
    {
        CMemoryLimit limit(kMegabyte);
        EXPECT_EQ(doc.Open(path, 200), ELogoResult::ReadFailed);
        EXPECT_EQ(doc.SetArea({0, 0, 899, 599}), ELogoResult::TooSmall);
        EXPECT_TRUE(doc.SetZoom(250));
        EXPECT_EQ(doc.Save(testing::TempDir() + "memory_doc.lgo"), ELogoResult::WriteFailed);
    }
    EXPECT_TRUE(doc.IsModified()) << "the zoom is not saved";
    EXPECT_TRUE(doc.Source().GetArea().IsEmpty());
    EXPECT_EQ(doc.Source().Width(), 1000);
    EXPECT_EQ(doc.Working().Bits().size(), doc.Transfer().Bits().size());
    EXPECT_EQ(doc.TransferImage().size(), image.size());
    {
        // The transfer image alone (about 140 KB) finds no room.
        CMemoryLimit limit(64 * 1024);
        EXPECT_TRUE(doc.TransferImage().empty());
    }
    std::remove(path.c_str());
}

} // namespace

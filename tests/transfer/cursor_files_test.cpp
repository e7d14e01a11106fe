// Set and item files: layout of what is written, round trips, and damaged files refused.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

#include "ani_info.h"
#include "cursor_info.h"
#include "temp_folder.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void PokeU32(std::vector<uint8_t>& b, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> NewSetBytes()
{
    CAniInfo set;
    EXPECT_EQ(set.CreateNew(8, 32, 32, 4), 1);
    std::vector<uint8_t> bytes;
    set.Write(bytes);
    return bytes;
}

// A frame whose every pixel, colour and mask bit depends on seed, so mix-ups show.
CCursorInfo PatternFrame(int size, int bits, int seed)
{
    CCursorInfo frame;
    EXPECT_EQ(frame.CreateNew(size, size, bits), 1);
    for (int i = 0; i < frame.GetColorCount(); ++i)
        frame.SetColor(i, MakeColor((i * 7 + seed) & 0xFF, (i * 13) & 0xFF, (i * 29 + seed) & 0xFF));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            frame.SetPixel(x, y, (x * 3 + y * 5 + seed) % frame.GetColorCount());
            frame.SetTransparent(x, y, (x + y + seed) % 3 == 0);
        }
    frame.SetHotSpot(static_cast<uint16_t>(seed % size), static_cast<uint16_t>((seed * 3) % size));
    return frame;
}

TEST(CursorSetFile, NewSetHasTheFixedLayout)
{
    std::vector<uint8_t> b = NewSetBytes();
    ASSERT_EQ(b.size(), 6260u);
    EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
    EXPECT_EQ(U32At(b, 4), 6260u);
    EXPECT_EQ(std::memcmp(&b[8], "ACONanih", 8), 0);
    const struct {
        size_t at;
        uint32_t value;
    } fields[] = {{16, 36}, {20, 36}, {24, 8}, {28, 8}, {32, 0}, {44, 0}, {48, 8}, {52, 1}, {60, 4 + 8 * 774}};
    for (const auto& f : fields)
        EXPECT_EQ(U32At(b, f.at), f.value) << "offset " << f.at;
    EXPECT_EQ(std::memcmp(&b[56], "LIST", 4), 0);
    EXPECT_EQ(std::memcmp(&b[64], "fram", 4), 0);
    for (size_t i = 0; i < 8; ++i) {
        size_t chunk = 68 + i * 774;
        SCOPED_TRACE(i);
        EXPECT_EQ(std::memcmp(&b[chunk], "icon", 4), 0);
        EXPECT_EQ(U32At(b, chunk + 4), 766u);
        size_t frame = chunk + 8;
        EXPECT_EQ(b[frame + 2], 2);
        EXPECT_EQ(b[frame + 6], 32);
        EXPECT_EQ(b[frame + 7], 32);
        EXPECT_EQ(U32At(b, frame + 14), 744u);
        EXPECT_EQ(U32At(b, frame + 18), 22u);
        EXPECT_EQ(U32At(b, frame + 22), 40u);
        EXPECT_EQ(U32At(b, frame + 26), 32u);
        EXPECT_EQ(U32At(b, frame + 30), 64u);
        EXPECT_EQ(b[frame + 36], 4);
        // Grey ramp, colour bits 0, mask bits 1.
        EXPECT_EQ(U32At(b, frame + 62 + 4 * 5), 0x505050u);
        EXPECT_EQ(b[frame + 126], 0);
        EXPECT_EQ(b[frame + 126 + 511], 0);
        EXPECT_EQ(b[frame + 126 + 512], 0xFF);
        EXPECT_EQ(b[frame + 765], 0xFF);
    }
}

TEST(CursorSetFile, EmptySetIsWrittenAsANewSet)
{
    CAniInfo empty;
    std::vector<uint8_t> b;
    empty.Write(b);
    EXPECT_EQ(b, NewSetBytes());
}

TEST(CursorSetFile, FramesRoundTripThroughAFile)
{
    TempFolder folder;
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> frames; // size, bits
    } cases[] = {
        {"eight projector frames", {{32, 4}, {32, 4}, {32, 4}, {32, 4}, {32, 4}, {32, 4}, {32, 4}, {32, 4}}},
        {"mixed sizes and depths", {{48, 8}, {32, 1}, {48, 4}}},
        {"one frame", {{32, 8}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CAniInfo set;
        ASSERT_EQ(set.CreateNew(static_cast<int>(c.frames.size()), 32, 32, 4), 1);
        for (size_t i = 0; i < c.frames.size(); ++i)
            set.GetFrame(static_cast<int>(i)) =
                PatternFrame(c.frames[i].first, c.frames[i].second, static_cast<int>(i) + 1);
        std::string path = folder.Path("set.csp");
        ASSERT_EQ(set.WriteFile(path.c_str()), CURSOR_FILE_OK);
        CAniInfo back;
        ASSERT_EQ(back.ReadFile(path.c_str()), CURSOR_FILE_OK);
        ASSERT_EQ(back.GetFrameCount(), set.GetFrameCount());
        for (int i = 0; i < set.GetFrameCount(); ++i)
            EXPECT_TRUE(back.GetFrame(i) == set.GetFrame(i)) << "frame " << i;
    }
}

TEST(CursorItemFile, ItemsRoundTripWithTheirLengths)
{
    TempFolder folder;
    const struct {
        int size;
        size_t length;
    } cases[] = {{32, 22 + 744}, {48, 22 + 1640}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        CCursorInfo item = PatternFrame(c.size, 4, c.size);
        std::string path = folder.Path("00.crs");
        ASSERT_EQ(WriteCursorFile(path.c_str(), item), CURSOR_FILE_OK);
        EXPECT_EQ(std::filesystem::file_size(path), c.length);
        CCursorInfo back;
        ASSERT_EQ(ReadCursorFile(path.c_str(), back), CURSOR_FILE_OK);
        EXPECT_TRUE(back == item);
        // Mask rows of 48 pixels carry two zero bytes of padding.
        if (c.size == 48) {
            std::vector<uint8_t> b;
            item.Write(b);
            for (size_t row = 0; row < 48; ++row) {
                size_t at = 22 + 40 + 64 + 1152 + row * 8;
                EXPECT_EQ(b[at + 6] | b[at + 7], 0) << "row " << row;
            }
        }
    }
}

TEST(CursorItemFile, PixelsAreHighNibbleLeftAndBottomRowFirst)
{
    CCursorInfo item;
    item.SetPixel(0, 0, 0xA);
    item.SetPixel(1, 0, 0x5);
    item.SetPixel(31, 31, 0x3);
    item.SetTransparent(0, 31, false);
    std::vector<uint8_t> b;
    item.Write(b);
    size_t colours = 22 + 40 + 64;
    EXPECT_EQ(b[colours + 31 * 16], 0xA5) << "top row is stored last";
    EXPECT_EQ(b[colours + 15], 0x03) << "bottom row first, right pixel low nibble";
    EXPECT_EQ(b[colours + 512], 0x7F) << "mask of the bottom-left pixel";
    EXPECT_EQ(item.GetPixel(1, 0), 5);
}

TEST(CursorItemFile, OlderHeaderIsWidened)
{
    // Directory, 12-byte header, 16 three-byte colours, colour bits, mask bits.
    std::vector<uint8_t> b = {0, 0, 2, 0, 1, 0, 32, 32, 0, 0, 3, 0, 4, 0};
    PutU32(b, 12 + 48 + 512 + 128);
    PutU32(b, 22);
    PutU32(b, 12);
    PutU16(b, 32);
    PutU16(b, 64);
    PutU16(b, 1);
    PutU16(b, 4);
    for (int i = 0; i < 16; ++i) {
        b.push_back(static_cast<uint8_t>(i)); // blue
        b.push_back(0x20);                    // green
        b.push_back(static_cast<uint8_t>(0xF0 - i));
    }
    std::vector<uint8_t> bits(512, 0x12);
    b.insert(b.end(), bits.begin(), bits.end());
    b.insert(b.end(), 128, 0x00);
    CCursorInfo item;
    size_t consumed = 0;
    ASSERT_EQ(item.Read(CByteView(b.data(), b.size()), 0, consumed), CURSOR_FILE_OK);
    EXPECT_EQ(consumed, b.size());
    EXPECT_EQ(item.GetColor(3), MakeColor(0xED, 0x20, 3));
    EXPECT_EQ(item.GetPixel(0, 5), 1);
    EXPECT_EQ(item.GetPixel(1, 5), 2);
    EXPECT_EQ(item.GetHotSpotX(), 3);
    EXPECT_EQ(item.GetHotSpotY(), 4);
    EXPECT_FALSE(item.IsTransparent(4, 4));
    std::vector<uint8_t> widened;
    item.Write(widened);
    EXPECT_EQ(widened.size(), 766u);
}

TEST(CursorSetFile, DamagedFilesAreRefusedAndKeepTheSet)
{
    const size_t frame0 = 68 + 8;
    const struct {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        int result;
    } cases[] = {
        {"offset 8 not ACON", [](std::vector<uint8_t>& b) { std::memcpy(&b[8], "ACOM", 4); }, CURSOR_FILE_NOT_KIND},
        {"not RIFF", [](std::vector<uint8_t>& b) { std::memcpy(&b[0], "RIFX", 4); }, CURSOR_FILE_NOT_KIND},
        {"frame count 0", [](std::vector<uint8_t>& b) { PokeU32(b, 24, 0); }, CURSOR_FILE_NOT_KIND},
        {"frame count huge", [](std::vector<uint8_t>& b) { PokeU32(b, 24, 0xFFFFFFFF); }, CURSOR_FILE_NOT_KIND},
        {"one frame more than the file", [](std::vector<uint8_t>& b) { PokeU32(b, 24, 9); }, CURSOR_FILE_NOT_KIND},
        {"chunk longer than the file", [](std::vector<uint8_t>& b) { PokeU32(b, 68 + 4, 7000); }, CURSOR_FILE_NOT_KIND},
        {"12-bit depth", [=](std::vector<uint8_t>& b) { b[frame0 + 22 + 14] = 12; }, CURSOR_FILE_NOT_KIND},
        {"32 bits", [=](std::vector<uint8_t>& b) { b[frame0 + 22 + 14] = 32; }, CURSOR_FILE_NOT_KIND},
        {"header size 20", [=](std::vector<uint8_t>& b) { PokeU32(b, frame0 + 22, 20); }, CURSOR_FILE_NOT_KIND},
        {"width 64", [=](std::vector<uint8_t>& b) { PokeU32(b, frame0 + 22 + 4, 64); }, CURSOR_FILE_NOT_KIND},
        {"negative height", [=](std::vector<uint8_t>& b) { PokeU32(b, frame0 + 22 + 8, 0xFFFFFFC0); },
         CURSOR_FILE_NOT_KIND},
        {"image offset past the end", [=](std::vector<uint8_t>& b) { PokeU32(b, frame0 + 18, 0x7FFFFFF0); },
         CURSOR_FILE_NOT_KIND},
        {"icon image type", [=](std::vector<uint8_t>& b) { b[frame0 + 2] = 1; }, CURSOR_FILE_NOT_KIND},
        {"compressed", [=](std::vector<uint8_t>& b) { PokeU32(b, frame0 + 22 + 16, 2); }, CURSOR_FILE_NOT_KIND},
        {"last frame cut", [](std::vector<uint8_t>& b) { b.resize(b.size() - 100); }, CURSOR_FILE_NOT_KIND},
        {"48 at 8 bits promised by a 32 frame",
         [=](std::vector<uint8_t>& b) {
             PokeU32(b, frame0 + 22 + 4, 48);
             PokeU32(b, frame0 + 22 + 8, 96);
             b[frame0 + 22 + 14] = 8;
             b.resize(68 + 8 + 2000);
             PokeU32(b, 24, 1);
         },
         CURSOR_FILE_NOT_KIND},
        {"header cut", [](std::vector<uint8_t>& b) { b.resize(60); }, CURSOR_FILE_SHORT},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = NewSetBytes();
        c.damage(bytes);
        CAniInfo set;
        set.CreateNew(2, 48, 48, 8);
        EXPECT_EQ(set.Read(CByteView(bytes.data(), bytes.size())), c.result);
        EXPECT_EQ(set.GetFrameCount(), 2) << "the previous set stays";
        EXPECT_EQ(set.GetFrame(0).GetWidth(), 48);
    }
    CAniInfo set;
    EXPECT_EQ(set.ReadFile(folder.Path("missing.csp").c_str()), CURSOR_FILE_SHORT);
}

TEST(CursorSetFile, FailedSaveKeepsTheOldFile)
{
    TempFolder folder;
    std::string path = folder.Path("kept.csp");
    CAniInfo set;
    set.CreateNew(8, 32, 32, 4);
    ASSERT_EQ(set.WriteFile(path.c_str()), CURSOR_FILE_OK);
    // A folder in the way of the file written aside makes the write fail.
    std::filesystem::create_directory(path + ".new");
    set.GetFrame(0).SetPixel(0, 0, 9);
    EXPECT_EQ(set.WriteFile(path.c_str()), CURSOR_FILE_WRITE);
    CAniInfo back;
    ASSERT_EQ(back.ReadFile(path.c_str()), CURSOR_FILE_OK);
    EXPECT_EQ(back.GetFrame(0).GetPixel(0, 0), 0);
    EXPECT_EQ(set.WriteFile(folder.Path("no-such-folder/x.csp").c_str()), CURSOR_FILE_WRITE);
}

TEST(CursorSetFile, ReadOnlySetsAndItemsAreNotSavedOver)
{
    TempFolder folder;
    const std::string setPath = folder.Path("kept.csp"), itemPath = folder.Path("00.crs");
    CAniInfo set;
    set.CreateNew(8, 32, 32, 4);
    ASSERT_EQ(set.WriteFile(setPath.c_str()), CURSOR_FILE_OK);
    ASSERT_EQ(WriteCursorFile(itemPath.c_str(), set.GetFrame(0)), CURSOR_FILE_OK);
    for (const std::string& path : {setPath, itemPath})
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
    set.GetFrame(0).SetPixel(0, 0, 9);
    EXPECT_EQ(set.WriteFile(setPath.c_str()), CURSOR_FILE_WRITE);
    EXPECT_EQ(WriteCursorFile(itemPath.c_str(), set.GetFrame(0)), CURSOR_FILE_WRITE);
    CAniInfo back;
    ASSERT_EQ(back.ReadFile(setPath.c_str()), CURSOR_FILE_OK);
    EXPECT_EQ(back.GetFrame(0).GetPixel(0, 0), 0);
    CCursorInfo item;
    ASSERT_EQ(ReadCursorFile(itemPath.c_str(), item), CURSOR_FILE_OK);
    EXPECT_EQ(item.GetPixel(0, 0), 0);
}

TEST(CursorSetImage, PacksTopRowFirstWithTheLeftPixelHigh)
{
    CAniInfo set;
    set.CreateNew(8, 32, 32, 4);
    const struct {
        int frame, x, y, index;
        size_t at;
        uint8_t byte;
    } pixels[] = {
        {0, 0, 0, 0xF, 0, 0xF1},
        {0, 1, 0, 0x1, 0, 0xF1},
        {0, 31, 31, 0x7, 31 * 16 + 15, 0x07},
        {3, 2, 1, 0xC, 3 * 512 + 16 + 1, 0xC0},
        {7, 31, 0, 0x9, 7 * 512 + 15, 0x09},
    };
    for (const auto& p : pixels)
        set.GetFrame(p.frame).SetPixel(p.x, p.y, p.index);
    std::vector<uint8_t> image;
    ASSERT_TRUE(set.PackImage(image));
    ASSERT_EQ(image.size(), 4096u);
    size_t nonzero = 0;
    for (uint8_t b : image)
        nonzero += b != 0;
    EXPECT_EQ(nonzero, 4u);
    for (const auto& p : pixels)
        EXPECT_EQ(image[p.at], p.byte) << "frame " << p.frame << " at " << p.x << "," << p.y;
}

TEST(CursorSetImage, OnlyEightFramesOf32At4BitsAreSent)
{
    const struct {
        const char* name;
        int count, size, bits;
        int oddFrame;
    } cases[] = {
        {"seven frames", 7, 32, 4, -1},
        {"nine frames", 9, 32, 4, -1},
        {"8 bits", 8, 32, 8, -1},
        {"one frame of 48", 8, 32, 4, 5},
    };
    for (const auto& c : cases) {
        CAniInfo set;
        set.CreateNew(c.count, c.size, c.size, c.bits);
        if (c.oddFrame >= 0)
            set.GetFrame(c.oddFrame).CreateNew(48, 48, 4);
        std::vector<uint8_t> image;
        EXPECT_FALSE(set.PackImage(image)) << c.name;
    }
}

TEST(CursorInfo, NewFramesAboveEightBitsAreRefused)
{
    CCursorInfo frame;
    EXPECT_EQ(frame.CreateNew(32, 32, 16), 0);
    EXPECT_EQ(frame.CreateNew(32, 32, 24), 0);
    EXPECT_EQ(frame.GetBitCount(), 4) << "unchanged";
    CAniInfo set;
    EXPECT_EQ(set.CreateNew(8, 32, 32, 24), 0);
    EXPECT_EQ(set.GetFrameCount(), 0);
}

// Random damage to good files: the readers answer with a result code and never touch memory
// they should not (the sanitizers watch).
TEST(CursorFilesFuzz, RandomDamageGivesAResultCode)
{
    std::mt19937 random(20261208);
    CAniInfo mixed;
    mixed.CreateNew(3, 32, 32, 4);
    mixed.GetFrame(1) = PatternFrame(48, 8, 2);
    mixed.GetFrame(2) = PatternFrame(32, 1, 3);
    std::vector<uint8_t> seeds[2];
    mixed.Write(seeds[0]);
    PatternFrame(48, 4, 1).Write(seeds[1]);
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> bytes = seeds[round % 2];
        int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits; ++e) {
            size_t at = random() % bytes.size();
            // Damage the headers most: that is where sizes come from.
            if (random() % 2)
                at %= 150;
            bytes[at] = static_cast<uint8_t>(random());
        }
        if (random() % 4 == 0)
            bytes.resize(random() % bytes.size());
        CByteView view(bytes.data(), bytes.size());
        int result;
        if (round % 2 == 0) {
            CAniInfo set;
            result = set.Read(view);
        } else {
            CCursorInfo item;
            size_t consumed = 0;
            result = item.Read(view, 0, consumed);
            if (result == CURSOR_FILE_OK) {
                EXPECT_LE(consumed, bytes.size());
            }
        }
        ASSERT_TRUE(result == CURSOR_FILE_OK || result == CURSOR_FILE_SHORT || result == CURSOR_FILE_NOT_KIND)
            << "round " << round << " gave " << result;
    }
}

} // namespace

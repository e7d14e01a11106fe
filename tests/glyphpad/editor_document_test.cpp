// The editor's command line, colour matching, and what it writes to items and Temp.csp.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ani_info.h"
#include "editor_document.h"
#include "../transfer/temp_folder.h"

namespace {

TEST(EditorCommandLine, SwitchesAndTheirArguments)
{
    const struct {
        const char* line;
        bool ok;
        EEditorMode mode;
        bool isNew;
        const char* current;
        const char* last;
        int slot;
    } cases[] = {
        {"/CN 05.crs", true, MODE_CURSOR, true, "", "05.crs", 0},
        {"/cn 05.crs", true, MODE_CURSOR, true, "", "05.crs", 0},
        {"/SNX 09.stp", true, MODE_STAMP, true, "", "09.stp", 0},
        {"/CN", true, MODE_CURSOR, true, "", "", 0},
        {"/CE 02.crs 05.crs", true, MODE_CURSOR, false, "02.crs", "05.crs", 0},
        {"/se 00.stp 01.STP", true, MODE_STAMP, false, "00.stp", "01.STP", 0},
        {"/CS 3 Temp.csp", true, MODE_SET, false, "", "", 3},
        {"/cs 7 TEMP.CSP", true, MODE_SET, false, "", "", 7},
        {"", false, MODE_CURSOR, false, "", "", 0},
        {"/XX 05.crs", false, MODE_CURSOR, false, "", "", 0},
        {"/C", false, MODE_CURSOR, false, "", "", 0},
        {"/CS 8 Temp.csp", false, MODE_CURSOR, false, "", "", 0},
        {"/CS 3 Other.csp", false, MODE_CURSOR, false, "", "", 0},
        {"/CE 02.crs", false, MODE_CURSOR, false, "", "", 0},
        {"/CE 02.stp 05.stp", false, MODE_CURSOR, false, "", "", 0},
        {"/CE ..\\..\\x.crs 05.crs", false, MODE_CURSOR, false, "", "", 0},
        {"/SN c:/windows/x.stp", false, MODE_CURSOR, false, "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SEditorStart start;
        start.nSlot = -1;
        ASSERT_EQ(ParseEditorCommandLine(c.line, start), c.ok);
        if (!c.ok) {
            EXPECT_EQ(start.nSlot, -1) << "untouched";
            continue;
        }
        EXPECT_EQ(start.eMode, c.mode);
        EXPECT_EQ(start.bNew, c.isNew);
        EXPECT_EQ(start.strCurrent, c.current);
        EXPECT_EQ(start.strLast, c.last);
        EXPECT_EQ(start.nSlot, c.slot);
    }
    EXPECT_STREQ(EditorTitle(MODE_SET), "Cursor/Stamp Edit");
    EXPECT_EQ(EditorImageSize(MODE_STAMP), 48);
}

TEST(EditorColours, MatchingLimits)
{
    CPalette table = VgaPalette();
    table[3] = MakeColor(100, 100, 100);
    table[4] = MakeColor(108, 100, 100);
    const struct {
        ColorRef pixel;
        EEditorMode mode;
        int index;
    } cases[] = {
        {MakeColor(109, 100, 100), MODE_CURSOR, 3}, // 9 from entry 3: the first within 10
        {MakeColor(110, 100, 100), MODE_CURSOR, 4}, // 10 is too far for entry 3
        {MakeColor(104, 100, 100), MODE_SET, 3},    // 4 and 4: the first within 5
        {MakeColor(105, 100, 100), MODE_SET, 4},    // 5 from entry 3, 3 from entry 4
        {MakeColor(109, 100, 100), MODE_SET, 4},    // within 5 of entry 4 wins over 10 of entry 3
        {MakeColor(93, 100, 100), MODE_SET, 3},     // none within 5: then within 10
        {MakeColor(50, 50, 50), MODE_CURSOR, 0},    // none at all
        {MakeColor(254, 254, 254), MODE_STAMP, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchColorIndex(table, c.pixel, c.mode), c.index) << std::hex << c.pixel << " mode " << c.mode;
    const struct {
        ColorRef pixel;
        bool transparent;
    } masks[] = {{kTransparentColor, true},
                 {MakeColor(0xA5 + 9, 0xC6 - 9, 0xE7), true},
                 {MakeColor(0xA5 + 10, 0xC6, 0xE7), false},
                 {MakeColor(0xA5, 0xC6, 0xE7 - 10), false}};
    for (const auto& m : masks)
        EXPECT_EQ(IsTransparentColor(m.pixel), m.transparent) << std::hex << m.pixel;
}

TEST(EditorColours, SetTableAdjustment)
{
    CPalette file = VgaPalette();
    file[2] = MakeColor(255, 128, 0);  // red lowered: green is neither 0 nor 255
    file[3] = MakeColor(128, 0, 250);  // blue lowered: red is neither
    file[4] = MakeColor(255, 255, 0);  // pure: kept
    file[5] = MakeColor(255, 10, 231); // both lowered
    file[11] = MakeColor(255, 128, 0); // beyond the first eleven: kept
    CPalette shown = AdjustSetPalette(file);
    EXPECT_EQ(shown[2], MakeColor(240, 128, 0));
    EXPECT_EQ(shown[3], MakeColor(128, 0, 240));
    EXPECT_EQ(shown[4], MakeColor(255, 255, 0));
    EXPECT_EQ(shown[5], MakeColor(240, 10, 240));
    EXPECT_EQ(shown[11], file[11]);
    EXPECT_EQ(shown[1], MakeColor(255, 255, 255));
}

class EditorFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_Folder.Root() / "cursor");
        std::filesystem::create_directories(m_Folder.Root() / "stamp");
    }
    std::string Dir() const { return m_Folder.Root().string(); }
    std::vector<uint8_t> Bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    CEditorDocument Open(const std::string& line)
    {
        SEditorStart start;
        EXPECT_TRUE(ParseEditorCommandLine(line, start));
        return CEditorDocument(start, Dir());
    }
    CPixelPicture Drawn(int size)
    {
        CPixelPicture p(size, size, kTransparentColor);
        p.Set(0, 0, VgaPalette()[7]);
        p.Set(size - 1, size - 1, VgaPalette()[15]);
        return p;
    }

    TempFolder m_Folder;
};

TEST_F(EditorFiles, NewItemsTakeTheNextNameAndTheirLength)
{
    const struct {
        const char* line;
        const char* written;
        size_t length;
    } cases[] = {
        {"/CN 05.crs", "cursor/06.crs", 766}, {"/SN 09.stp", "stamp/10.stp", 22 + 1640}, {"/CN", "cursor/00.crs", 766}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        CEditorDocument doc = Open(c.line);
        ASSERT_EQ(doc.Load(), CURSOR_FILE_OK);
        int size = EditorImageSize(doc.GetMode());
        ASSERT_EQ(doc.AddItem(Drawn(size)), 1);
        std::string path = m_Folder.Path(c.written);
        EXPECT_EQ(std::filesystem::file_size(path), c.length);
        EXPECT_FALSE(doc.IsNew());
        EXPECT_EQ(doc.GetLastName(), std::filesystem::path(c.written).filename().string());
        EXPECT_EQ(doc.GetCurrentName(), doc.GetLastName());

        CCursorInfo item;
        ASSERT_EQ(ReadCursorFile(path.c_str(), item), CURSOR_FILE_OK);
        EXPECT_EQ(item.GetPixel(0, 0), 7);
        EXPECT_EQ(item.GetPixel(size - 1, size - 1), 15);
        EXPECT_FALSE(item.IsTransparent(0, 0));
        EXPECT_TRUE(item.IsTransparent(1, 0));
        EXPECT_EQ(item.GetColor(5), VgaPalette()[5]);
        // The item opens again as it was drawn.
        CEditorDocument again =
            Open(std::string(size == 48 ? "/SE " : "/CE ") + doc.GetCurrentName() + " " + doc.GetLastName());
        ASSERT_EQ(again.Load(), CURSOR_FILE_OK);
        EXPECT_EQ(again.GetPicture(), Drawn(size));
    }
}

TEST_F(EditorFiles, EditedItemsOverwriteOrBecomeNew)
{
    CEditorDocument first = Open("/CN");
    ASSERT_EQ(first.AddItem(Drawn(32)), 1);
    CEditorDocument doc = Open("/CE 00.crs 00.crs");
    ASSERT_EQ(doc.Load(), CURSOR_FILE_OK);
    EXPECT_TRUE(doc.CanSaveAsNew());
    CPixelPicture blank(32, 32, kTransparentColor);
    ASSERT_EQ(doc.SaveItem(blank, SAVE_OVERWRITE), 1);
    CCursorInfo item;
    ASSERT_EQ(ReadCursorFile(m_Folder.Path("cursor/00.crs").c_str(), item), CURSOR_FILE_OK);
    EXPECT_TRUE(item.IsTransparent(0, 0));
    ASSERT_EQ(doc.SaveItem(Drawn(32), SAVE_AS_NEW), 1);
    EXPECT_TRUE(std::filesystem::exists(m_Folder.Path("cursor/01.crs")));
    EXPECT_EQ(doc.GetCurrentName(), "01.crs");

    CEditorDocument full = Open("/CE 03.crs 99.crs");
    EXPECT_FALSE(full.CanSaveAsNew());
    EXPECT_EQ(full.SaveItem(blank, SAVE_AS_NEW), 0);
    EXPECT_FALSE(std::filesystem::exists(m_Folder.Path("cursor/99.crs")));

    CEditorDocument missing = Open("/CE 42.crs 99.crs");
    EXPECT_NE(missing.Load(), CURSOR_FILE_OK);
    CEditorDocument nowhere = Open("/CN 05.crs");
    std::filesystem::remove_all(m_Folder.Root() / "cursor");
    EXPECT_EQ(nowhere.AddItem(blank), 0);
    EXPECT_EQ(nowhere.GetLastName(), "05.crs") << "names stay when nothing was written";
    EXPECT_TRUE(nowhere.IsNew());
}

TEST_F(EditorFiles, ANewItemNeverReplacesTheLibrarysLast)
{
    for (const char* line : {"/CN 99.crs", "/SN 99.stp"}) {
        SCOPED_TRACE(line);
        CEditorDocument first = Open(std::string(line).substr(0, 3));
        const int size = EditorImageSize(first.GetMode());
        const std::string kind = size == 48 ? "stamp/" : "cursor/";
        const std::string last = m_Folder.Path(kind + (size == 48 ? "99.stp" : "99.crs"));
        ASSERT_EQ(first.AddItem(Drawn(size)), 1);
        std::filesystem::rename(m_Folder.Path(kind + first.GetLastName()), last);
        const std::vector<uint8_t> before = Bytes(last);

        CEditorDocument doc = Open(line);
        EXPECT_TRUE(doc.IsLibraryFull());
        EXPECT_EQ(doc.AddItem(CPixelPicture(size, size, kTransparentColor)), 0);
        EXPECT_EQ(Bytes(last), before) << "99 was overwritten";
        EXPECT_TRUE(doc.IsNew());
    }
    EXPECT_FALSE(Open("/CN 05.crs").IsLibraryFull());
}

TEST_F(EditorFiles, AnItemSavedUnchangedKeepsTheColoursItShowed)
{
    // A sixteen-colour item in a projector's table (as the shipped ones are, orange at 5),
    // and a 256-colour one whose colours no sixteen-colour table holds.
    const ColorRef orange = MakeColor(0xFF, 0x99, 0x00), rust = MakeColor(250, 100, 0);
    const struct {
        const char* line;
        int bits;
        ColorRef drawn;
        ColorRef shown; // what the editor shows and a save must write
    } cases[] = {
        {"/SE 05.stp 05.stp", 4, orange, orange},
        {"/CE 02.crs 02.crs", 4, MakeColor(0x33, 0x33, 0x33), MakeColor(0x33, 0x33, 0x33)},
        {"/CE 03.crs 03.crs", 8, rust, VgaPalette()[7]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SEditorStart start;
        ASSERT_TRUE(ParseEditorCommandLine(c.line, start));
        const int size = EditorImageSize(start.eMode);
        CCursorInfo item;
        ASSERT_EQ(item.CreateNew(size, size, c.bits), 1);
        for (int i = 0; i < item.GetColorCount(); ++i)
            item.SetColor(i, MakeColor(0, 0, static_cast<unsigned>(i % 16) * 16));
        item.SetColor(5, c.drawn);
        for (int x = 0; x < 6; ++x) {
            item.SetPixel(x, 2, 5);
            item.SetTransparent(x, 2, false);
        }
        CEditorDocument doc(start, Dir());
        const std::string path = doc.ItemPath(start.strCurrent);
        ASSERT_EQ(WriteCursorFile(path.c_str(), item), CURSOR_FILE_OK);

        ASSERT_EQ(doc.Load(), CURSOR_FILE_OK);
        EXPECT_EQ(doc.GetPicture().Get(0, 2), c.shown);
        EXPECT_TRUE(IsTransparentColor(doc.GetPicture().Get(0, 3)));
        ASSERT_EQ(doc.SaveItem(doc.GetPicture(), SAVE_OVERWRITE), 1);

        CCursorInfo saved;
        ASSERT_EQ(ReadCursorFile(path.c_str(), saved), CURSOR_FILE_OK);
        EXPECT_EQ(saved.GetColor(saved.GetPixel(5, 2)), c.shown) << "the colour became another";
        EXPECT_FALSE(saved.IsTransparent(5, 2));
        EXPECT_TRUE(saved.IsTransparent(6, 2));
        CEditorDocument again(start, Dir());
        ASSERT_EQ(again.Load(), CURSOR_FILE_OK);
        EXPECT_EQ(again.GetPicture(), doc.GetPicture()) << "opened again, the item is what was shown";
    }
    // A new item is drawn in the fixed colours.
    CEditorDocument fresh = Open("/CN 05.crs");
    ASSERT_EQ(fresh.Load(), CURSOR_FILE_OK);
    EXPECT_EQ(fresh.GetPalette(), VgaPalette());
}

TEST_F(EditorFiles, FramesAreFoundAcrossTheWholeSet)
{
    CAniInfo set;
    set.CreateNew(8, 32, 32, 4);
    // Pixel bytes that spell the tag must not be taken for a frame.
    set.GetFrame(1).SetPixel(0, 31, 6);
    set.GetFrame(1).SetPixel(1, 31, 9);
    set.GetFrame(1).SetPixel(2, 31, 6);
    set.GetFrame(1).SetPixel(3, 31, 3);
    set.GetFrame(1).SetPixel(4, 31, 6);
    set.GetFrame(1).SetPixel(5, 31, 15);
    set.GetFrame(1).SetPixel(6, 31, 6);
    set.GetFrame(1).SetPixel(7, 31, 14);
    std::vector<uint8_t> bytes;
    set.Write(bytes);
    for (int slot = 0; slot < 8; ++slot)
        EXPECT_EQ(FindSetFrame(bytes, slot), 68 + 8 + 774 * slot) << slot; // slot 7 lies where reads overlap
    EXPECT_EQ(FindSetFrame(bytes, 8), -1);
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 5000);
    EXPECT_EQ(FindSetFrame(cut, 7), -1);
    EXPECT_EQ(FindSetFrame(cut, 5), 68 + 8 + 774 * 5);
}

TEST_F(EditorFiles, RenewingAFrameChangesOnlyItsColourAndMaskBits)
{
    CAniInfo set;
    set.CreateNew(8, 32, 32, 4);
    CPalette projector = VgaPalette();
    projector[2] = MakeColor(0, 200, 255); // shown with blue 240
    set.SetColorTable(projector);
    std::string path = m_Folder.Path("Temp.csp");
    ASSERT_EQ(set.WriteFile(path.c_str()), CURSOR_FILE_OK);
    std::vector<uint8_t> before = Bytes(path);

    CEditorDocument doc = Open("/CS 3 Temp.csp");
    ASSERT_EQ(doc.Load(), CURSOR_FILE_OK);
    EXPECT_EQ(doc.GetPalette()[2], MakeColor(0, 200, 240));
    EXPECT_EQ(doc.GetPicture().Get(5, 5), projector[0]) << "blank frame shows colour 0";
    CPixelPicture picture = doc.GetPicture();
    picture.Line({0, 0}, {3, 0}, doc.GetPalette()[2]);
    picture.Set(31, 31, kTransparentColor);
    ASSERT_EQ(doc.RenewFrame(picture), 1);

    std::vector<uint8_t> after = Bytes(path);
    ASSERT_EQ(after.size(), before.size());
    size_t frame = 68 + 8 + 774 * 3, colors = frame + 126, mask = colors + 512, end = mask + 128;
    for (size_t i = 0; i < after.size(); ++i) {
        if (i < colors || i >= end) {
            ASSERT_EQ(after[i], before[i]) << "byte " << i << " outside frame 3's bits";
        }
    }
    EXPECT_EQ(after[colors + 31 * 16], 0x22);
    EXPECT_EQ(after[colors + 31 * 16 + 1], 0x22);
    EXPECT_EQ(after[colors + 31 * 16 + 2], 0x00);
    EXPECT_EQ(after[mask + 31 * 4], 0x00) << "drawn pixels are opaque";
    EXPECT_EQ(after[mask + 3], 0x01) << "bottom-right pixel transparent";

    CEditorDocument other = Open("/CS 3 Temp.csp");
    ASSERT_EQ(other.Load(), CURSOR_FILE_OK);
    EXPECT_EQ(other.GetPicture().Get(3, 0), doc.GetPalette()[2]);

    std::filesystem::resize_file(path, 3000);
    EXPECT_EQ(doc.RenewFrame(picture), 0) << "frame 3 is cut off";
    EXPECT_EQ(std::filesystem::file_size(path), 3000u);
}

} // namespace

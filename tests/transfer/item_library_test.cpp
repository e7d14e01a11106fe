// Item libraries: listing, renumbering on delete, the 100-item limit, next names and the
// editor's arguments.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "item_library.h"
#include "temp_folder.h"

namespace {

class ItemLibrary : public ::testing::Test {
protected:
    void Put(const std::string& folder, const std::string& name, const std::string& content)
    {
        std::filesystem::create_directories(m_Folder.Root() / folder);
        std::ofstream(m_Folder.Path(folder + "/" + name), std::ios::binary) << content;
    }
    std::string Content(const std::string& folder, const std::string& name)
    {
        std::ifstream in(m_Folder.Path(folder + "/" + name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void PutNumbered(const std::string& folder, const char* ext, int count)
    {
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d%s", i, ext);
            Put(folder, name, name);
        }
    }

    TempFolder m_Folder;
};

TEST_F(ItemLibrary, ListsItsOwnFilesInCaseInsensitiveOrder)
{
    Put("cursor", "02.crs", "");
    Put("cursor", "00.CRS", "");
    Put("cursor", "01.crs", "");
    Put("cursor", "readme.txt", "");
    Put("cursor", "03.stp", "");
    Put("stamp", "00.stp", "");
    CItemLibrary cursors(ITEM_CURSOR, m_Folder.Root().string());
    cursors.List();
    EXPECT_EQ(cursors.GetNames(), (std::vector<std::string>{"00.CRS", "01.crs", "02.crs"}));
    EXPECT_EQ(cursors.GetLastName(), "02.crs");
    EXPECT_TRUE(cursors.CanDelete());
    CItemLibrary stamps(ITEM_STAMP, m_Folder.Root().string());
    stamps.List();
    EXPECT_EQ(stamps.GetNames(), (std::vector<std::string>{"00.stp"}));
    EXPECT_FALSE(stamps.CanDelete()) << "the last item stays";
    CItemLibrary none(ITEM_CURSOR, m_Folder.Path("nowhere"));
    none.List();
    EXPECT_TRUE(none.GetNames().empty());
}

TEST_F(ItemLibrary, DeleteRenumbersLaterItemsDown)
{
    const struct {
        size_t deleted;
        std::vector<std::string> contents; // of 00.. afterwards
    } cases[] = {
        {3, {"00.crs", "01.crs", "02.crs", "04.crs", "05.crs"}},
        {0, {"01.crs", "02.crs", "03.crs", "04.crs", "05.crs"}},
        {5, {"00.crs", "01.crs", "02.crs", "03.crs", "04.crs"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleted);
        std::filesystem::remove_all(m_Folder.Root() / "cursor");
        PutNumbered("cursor", ".crs", 6);
        CItemLibrary library(ITEM_CURSOR, m_Folder.Root().string());
        library.List();
        ASSERT_EQ(library.Delete(c.deleted), 1);
        ASSERT_EQ(library.GetNames().size(), 5u);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(library.GetNames()[i], "0" + std::to_string(i) + ".crs");
            EXPECT_EQ(Content("cursor", library.GetNames()[i]), c.contents[i]);
        }
    }
    CItemLibrary library(ITEM_CURSOR, m_Folder.Root().string());
    library.List();
    EXPECT_EQ(library.Delete(99), 0);
}

TEST_F(ItemLibrary, NamesAfterDeleteFollowTheRenamedFiles)
{
    // Every surviving item is found under its new name with its old content.
    for (size_t deleted = 0; deleted < 4; ++deleted) {
        SCOPED_TRACE(deleted);
        std::filesystem::remove_all(m_Folder.Root() / "stamp");
        PutNumbered("stamp", ".stp", 4);
        CItemLibrary library(ITEM_STAMP, m_Folder.Root().string());
        library.List();
        std::vector<std::string> before = library.GetNames();
        ASSERT_EQ(library.Delete(deleted), 1);
        for (size_t i = 0; i < before.size(); ++i) {
            if (i == deleted)
                continue;
            std::string now = NameAfterDelete(before, deleted, before[i]);
            EXPECT_EQ(Content("stamp", now), before[i]) << before[i] << " -> " << now;
        }
    }
}

TEST(ItemNames, NameAfterDeleteAndFinding)
{
    const std::vector<std::string> six = {"00.crs", "01.crs", "02.crs", "03.crs", "04.crs", "05.CRS"};
    const std::vector<std::string> one = {"00.crs"};
    const struct {
        const std::vector<std::string>* before;
        size_t deleted;
        const char* name;
        const char* after;
    } cases[] = {
        {&six, 3, "02.crs", "02.crs"}, // before the deleted one: unchanged
        {&six, 3, "03.crs", "03.crs"}, // the deleted one: the former 04 now in its place
        {&six, 3, "04.crs", "03.crs"}, {&six, 3, "05.crs", "04.crs"}, // later: one down, any case
        {&six, 5, "05.crs", "04.crs"}, // the last deleted: the new last
        {&six, 0, "00.CRS", "00.crs"}, {&six, 0, "01.crs", "00.crs"},
        {&six, 2, "17.crs", "17.crs"}, // not in the library: left alone
        {&six, 2, "", ""},             {&six, 9, "04.crs", "04.crs"}, // no such index
        {&one, 0, "00.crs", ""},       // nothing left
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameAfterDelete(*c.before, c.deleted, c.name), c.after) << c.deleted << " " << c.name;
    EXPECT_EQ(FindItem(six, "05.crs"), 5);
    EXPECT_EQ(FindItem(six, "02.CRS"), 2);
    EXPECT_EQ(FindItem(six, "0"), -1) << "no prefix match";
    EXPECT_EQ(FindItem(six, ""), -1);
}

TEST_F(ItemLibrary, HoldsAtMostOneHundredItems)
{
    PutNumbered("stamp", ".stp", 99);
    CItemLibrary library(ITEM_STAMP, m_Folder.Root().string());
    library.List();
    EXPECT_FALSE(library.IsFull());
    Put("stamp", "99.stp", "");
    Put("stamp", "zz.stp", "");
    library.List();
    EXPECT_TRUE(library.IsFull());
    EXPECT_EQ(library.GetNames().size(), 100u);
    EXPECT_EQ(library.GetLastName(), "99.stp");
}

TEST(ItemNames, NextNameAndEditorArguments)
{
    const struct {
        const char* last;
        EItemKind kind;
        const char* next;
    } names[] = {
        {"05.crs", ITEM_CURSOR, "06.crs"}, {"09.stp", ITEM_STAMP, "10.stp"}, {"98.crs", ITEM_CURSOR, "99.crs"},
        {"99.crs", ITEM_CURSOR, "99.crs"}, {"", ITEM_STAMP, "00.stp"},       {"00.stp", ITEM_STAMP, "01.stp"},
    };
    for (const auto& n : names)
        EXPECT_EQ(NextItemName(n.last, n.kind), n.next) << n.last;
    EXPECT_EQ(SlotEditArguments(3), "/CS 3 Temp.csp");
    EXPECT_EQ(NewItemArguments(ITEM_CURSOR, "05.crs"), "/CN 05.crs");
    EXPECT_EQ(NewItemArguments(ITEM_STAMP, "09.stp"), "/SN 09.stp");
    EXPECT_EQ(EditItemArguments(ITEM_CURSOR, "02.crs", "05.crs"), "/CE 02.crs 05.crs");
    EXPECT_EQ(EditItemArguments(ITEM_STAMP, "00.stp", "01.stp"), "/SE 00.stp 01.stp");
}

} // namespace

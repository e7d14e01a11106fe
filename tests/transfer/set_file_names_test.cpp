// The set page's file names: when Save must ask, the titles, and the last set file that the
// main window keeps in the ini and the file dialogs start from.
#include <gtest/gtest.h>

#include <cstdio>

#include "kestrel_ini.h"
#include "portable_profile.h"
#include "set_file_names.h"

namespace {

const char kTemp[] = "C:\\Kestrel\\Temp.csp";

TEST(SetFileNames, SaveAsksForANameUntilTheSetHasOneOfItsOwn)
{
    const struct {
        const char* step; // "new", "open" or "save", with path
        const char* path;
        bool needsName;
        const char* title;
        const char* startFolder;
    } steps[] = {
        {"new", "", true, "Untitled", "D:\\sets\\"}, // the folder remembered from an earlier run
        {"save", "E:\\talks\\one.csp", false, "one.csp", "E:\\talks\\"},
        {"new", "", true, "Untitled", "E:\\talks\\"}, // New keeps the folder
        {"open", "F:\\two.CSP", false, "two.CSP", "F:\\"},
        {"open", "c:\\KESTREL\\temp.csp", true, "temp.csp", "c:\\KESTREL\\"}, // Temp.csp in any case
        {"save", "relative.csp", false, "relative.csp", ""},                  // no folder to start in
        {"open", "G:/unix/style.csp", false, "style.csp", "G:/unix/"},
    };
    std::string lastFile = "D:\\sets\\old.csp";
    CSetFileNames names(kTemp, lastFile, "Untitled");
    EXPECT_TRUE(names.NeedsName()) << "nothing named before New";
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.step) + " " + s.path);
        std::string step = s.step;
        if (step == "new")
            names.New();
        else if (step == "open")
            names.Opened(s.path);
        else
            names.Saved(s.path);
        EXPECT_EQ(names.NeedsName(), s.needsName);
        EXPECT_EQ(names.GetTitle(), s.title);
        EXPECT_EQ(names.StartFolder(), s.startFolder);
        EXPECT_EQ(names.GetFile(), step == "new" ? std::string(kTemp) : std::string(s.path));
    }
    EXPECT_EQ(lastFile, "G:/unix/style.csp") << "the main window's copy follows";
}

TEST(SetFileNames, TheLastSetFileLivesInTheIniAcrossRuns)
{
    std::string path = testing::TempDir() + "set_file_names_test.ini";
    std::remove(path.c_str());
    CPortableProfile ini(path);
    SKestrelSettings first;
    LoadFileSettings(ini, first);
    CSetFileNames page(kTemp, first.strCursorStampFile, "Untitled");
    page.New();
    EXPECT_EQ(page.StartFolder(), "") << "a first run starts where the dialog likes";
    page.Saved("E:\\talks\\one.csp");
    ASSERT_TRUE(SaveFileSettings(ini, first));

    SKestrelSettings next;
    LoadFileSettings(ini, next);
    CSetFileNames again(kTemp, next.strCursorStampFile, "Untitled");
    again.New();
    EXPECT_EQ(again.StartFolder(), "E:\\talks\\");
    EXPECT_TRUE(again.NeedsName()) << "the file itself is not reopened";
}

} // namespace

// The package's contents list (resources/package/contents.txt), from which scripts/package.sh
// builds the setup program and the portable zip: every deliverable, every file the build
// draws beside them, nothing a user makes, and the kinds that decide what an upgrade keeps.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

struct SContents {
    std::map<std::string, std::string> kindOf; // path -> "program" or "starter"
    std::vector<std::string> problems;
};

SContents ReadContents()
{
    SContents contents;
    std::ifstream in(KESTREL_PACKAGE_LIST);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string kind, path, extra;
        fields >> kind >> path;
        if (fields >> extra || path.empty())
            contents.problems.push_back("not KIND PATH: " + line);
        else if (!contents.kindOf.emplace(path, kind).second)
            contents.problems.push_back("listed twice: " + path);
    }
    return contents;
}

TEST(PackageContents, ListsEveryDeliverableAsAProgram)
{
    SContents contents = ReadContents();
    EXPECT_TRUE(contents.problems.empty()) << contents.problems.front();
    for (const char* file : {"Kestrel4.exe", "Serilox.dll", "Tapline.dll", "Glyphpad.exe", "kestrelctl.exe",
                             "Kestrel4.html", "Glyphpad.html"})
        EXPECT_EQ("program", contents.kindOf[file]) << file;
}

TEST(PackageContents, ListsWhatTheBuildDrawsAsStarterFiles)
{
    SContents contents = ReadContents();
    std::istringstream shipped(KESTREL_SHIPPED_LIST);
    std::string file;
    size_t count = 0;
    while (std::getline(shipped, file, ',')) {
        ++count;
        EXPECT_EQ("starter", contents.kindOf[file]) << file << ": an upgrade must not replace what the user redrew";
        std::ifstream drawn(std::string(KESTREL_SHIPPED) + file, std::ios::binary);
        EXPECT_TRUE(drawn.good()) << file << " is listed but not drawn";
    }
    EXPECT_GE(count, 13u);
}

TEST(PackageContents, ListsTheManualsPicturesAsProgramsFromBesideTheManuals)
{
    // A refreshed picture must reach every install; the build copies it from beside its manual.
    SContents contents = ReadContents();
    size_t pictures = 0;
    for (const auto& entry : contents.kindOf) {
        const std::string& path = entry.first;
        if (path.size() < 4 || path.compare(path.size() - 4, 4, ".png") != 0)
            continue;
        ++pictures;
        EXPECT_EQ("program", entry.second) << path;
        const std::string resources = KESTREL_RESOURCES;
        EXPECT_TRUE(std::ifstream(resources + "/kestrel4/" + path).good() ||
                    std::ifstream(resources + "/glyphpad/" + path).good())
            << path << " is not beside a manual";
    }
    EXPECT_GE(pictures, 20u);
}

TEST(PackageContents, EveryEntryIsAPlainRelativePathOfAKnownKind)
{
    SContents contents = ReadContents();
    ASSERT_FALSE(contents.kindOf.empty());
    for (const auto& entry : contents.kindOf) {
        const std::string& path = entry.first;
        EXPECT_TRUE(entry.second == "program" || entry.second == "starter") << path;
        EXPECT_NE('/', path[0]) << path;
        EXPECT_EQ(std::string::npos, path.find('\\')) << path << ": folders are written with /";
        EXPECT_EQ(std::string::npos, path.find("..")) << path;
        EXPECT_EQ(std::string::npos, path.find(':')) << path;
    }
}

TEST(PackageContents, ShipsNothingTheUserMakes)
{
    // An install over an earlier one must find these as the user left them.
    SContents contents = ReadContents();
    for (const char* file : {"Kestrel4.ini", "Temp.csp", "Uninstall.exe"})
        EXPECT_EQ(0u, contents.kindOf.count(file)) << file;
    for (const auto& entry : contents.kindOf)
        EXPECT_NE(".kst", entry.first.substr(entry.first.size() > 4 ? entry.first.size() - 4 : 0)) << entry.first;
}

} // namespace

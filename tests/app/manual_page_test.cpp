// The manual pages as shipped, Kestrel4's and Glyphpad's: plain HTML whose links, sections,
// menu commands and messages are those of the program, and whose pictures ship beside them.
#include "manual_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kResources = KESTREL_RESOURCES;

// Each manual: its folder under resources/, its page, the program's resource script, the
// top-level menus it names commands of, and the sections that must show their screen.
struct SManual {
    const char* folder;
    const char* page;
    const char* script;
    const char* menus;
    std::vector<const char*> pictured;
};

void PrintTo(const SManual& manual, std::ostream* out)
{
    *out << manual.page;
}

const SManual kManuals[] = {
    {"kestrel4", kManualFileName, "Kestrel4.rc", "File|Options|Help",
     {"projector-control", "control-pages", "presets", "reset", "user-logo", "logo-area", "cursor-stamp",
      "presentation-support", "named-settings", "test-patterns", "installer"}},
    {"glyphpad", "Glyphpad.html", "Glyphpad.rc", "File|Edit|Help", {"window", "tools", "saving", "leaving"}},
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path)
{
    return std::ifstream(path, std::ios::binary).good();
}

std::vector<std::string> Matches(const std::string& text, const std::string& pattern)
{
    std::vector<std::string> found;
    std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1].str());
    return found;
}

// Entities undone, line breaks and runs of blanks made one blank.
std::string Plain(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            static const std::pair<const char*, char> kEntities[] = {{"&gt;", '>'}, {"&lt;", '<'}, {"&amp;", '&'}};
            bool replaced = false;
            for (const auto& e : kEntities) {
                if (text.compare(i, std::char_traits<char>::length(e.first), e.first) == 0) {
                    out += e.second;
                    i += std::char_traits<char>::length(e.first) - 1;
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
        }
        char c = text[i] == '\n' || text[i] == '\r' || text[i] == '\t' ? ' ' : text[i];
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The quoted texts of a resource script, with "" undone and \n read as a line break.
std::vector<std::string> ScriptStrings(const std::string& script)
{
    std::vector<std::string> strings;
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        size_t code = line.find_first_not_of(" \t");
        if (code == std::string::npos || line.compare(code, 2, "//") == 0 || line[code] == '#')
            continue;
        for (size_t i = line.find('"'); i != std::string::npos; i = line.find('"', i + 1)) {
            std::string text;
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                    text += '"';
                    ++i;
                } else if (line[i] == '"') {
                    break;
                } else if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'n') {
                    text += '\n';
                    ++i;
                } else {
                    text += line[i];
                }
            }
            strings.push_back(Plain(text));
        }
    }
    return strings;
}

// "File > Open...": each menu item under its top-level menu, without & and accelerator text.
std::set<std::string> MenuPaths(const std::string& script)
{
    std::set<std::string> paths;
    std::istringstream lines(script);
    std::string line;
    std::vector<std::string> popups;
    int depth = 0;
    bool inMenu = false;
    std::regex item(R"re(^\s*(POPUP|MENUITEM)\s+"([^"]*)")re");
    while (std::getline(lines, line)) {
        if (!inMenu) {
            inMenu = std::regex_search(line, std::regex(R"(^\w+\s+MENU\s*$)"));
            continue;
        }
        std::smatch m;
        if (std::regex_search(line, m, item)) {
            std::string text = m[2].str();
            text = text.substr(0, text.find("\\t"));
            text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
            if (m[1] == "POPUP" && depth == 1)
                popups.assign(1, text);
            else if (!popups.empty())
                paths.insert(popups[0] + " > " + text);
        } else if (std::regex_search(line, std::regex(R"(^\s*BEGIN\b)"))) {
            ++depth;
        } else if (std::regex_search(line, std::regex(R"(^\s*END\b)"))) {
            if (--depth == 0)
                inMenu = false;
        }
    }
    return paths;
}

// The files of the package, from its contents list ("KIND PATH" lines).
std::set<std::string> PackagedFiles()
{
    std::set<std::string> files;
    std::istringstream lines(ReadFile(KESTREL_PACKAGE_LIST));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kind, path;
        if (line.empty() || line[0] == '#' || !(fields >> kind >> path))
            continue;
        files.insert(path);
    }
    return files;
}

// An attribute of one tag, "" when it has none.
std::string Attribute(const std::string& tag, const std::string& name)
{
    std::smatch m;
    if (std::regex_search(tag, m, std::regex("\\s" + name + "=\"([^\"]*)\"")))
        return m[1].str();
    return "";
}

// Width and height from a PNG file's header; 0, 0 when it is not a PNG.
std::pair<unsigned, unsigned> PngSize(const std::string& path)
{
    std::string bytes = ReadFile(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto big = [&](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {big(16), big(20)};
}

class ManualPageTest : public ::testing::TestWithParam<SManual> {
protected:
    void SetUp() override
    {
        m_strFolder = kResources + "/" + GetParam().folder + "/";
        m_strPage = ReadFile(m_strFolder + GetParam().page);
        ASSERT_FALSE(m_strPage.empty()) << "the manual is missing from the resources";
        for (const std::string& id : Matches(m_strPage, R"re(\sid="([^"]*)")re"))
            EXPECT_TRUE(m_Ids.insert(id).second) << "section id given twice: " << id;
    }

    // The text of section id, up to the next heading of its level or above.
    std::string Section(const std::string& id) const
    {
        std::smatch m;
        if (!std::regex_search(m_strPage, m, std::regex("<h([23]) id=\"" + id + "\">")))
            return "";
        size_t begin = m.position(0) + m.length(0);
        size_t end = m_strPage.size();
        for (int level = 2; level <= std::stoi(m[1].str()); ++level)
            end = std::min(end, m_strPage.find("<h" + std::to_string(level), begin));
        return m_strPage.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    }

    std::string m_strFolder;
    std::string m_strPage;
    std::set<std::string> m_Ids;
};

INSTANTIATE_TEST_SUITE_P(Manuals, ManualPageTest, ::testing::ValuesIn(kManuals),
                         [](const ::testing::TestParamInfo<SManual>& info) { return std::string(info.param.folder); });

TEST(ManualPage, SectionsThatDialogsOpenExist)
{
    std::string page = ReadFile(kResources + "/kestrel4/" + kManualFileName);
    std::set<std::string> ids;
    for (const std::string& id : Matches(page, R"re(\sid="([^"]*)")re"))
        ids.insert(id);
    for (const char* topic : {kManualTopicLogoArea})
        EXPECT_EQ(1u, ids.count(topic)) << topic;
}

TEST_P(ManualPageTest, LinksLeadToSectionsAndToPagesShippedBesideIt)
{
    std::vector<std::string> links = Matches(m_strPage, R"re(\shref="([^"]*)")re");
    ASSERT_FALSE(links.empty());
    for (const std::string& link : links) {
        if (link[0] == '#') {
            EXPECT_EQ(1u, m_Ids.count(link.substr(1))) << "no section for " << link;
            continue;
        }
        std::string file = link.substr(0, link.find('#'));
        EXPECT_EQ(std::string::npos, file.find_first_of("/\\:")) << "not a page beside the program: " << link;
        EXPECT_TRUE(FileExists(kResources + "/kestrel4/" + file) || FileExists(kResources + "/glyphpad/" + file))
            << "no such page: " << link;
    }
}

TEST_P(ManualPageTest, PlainHtmlWithoutScriptsOrOutsideResources)
{
    for (const char* banned : {"<script", "<iframe", "<object", "<embed", "javascript:", "@import", "url("})
        EXPECT_EQ(std::string::npos, m_strPage.find(banned)) << banned;
    // Only pictures load anything, and only files beside the page.
    for (const std::string& tag : Matches(m_strPage, R"re((<[a-z]+\s[^>]*\ssrc="[^"]*"[^>]*>))re")) {
        EXPECT_EQ(0u, tag.find("<img ")) << "the page loads " << tag;
        EXPECT_EQ(std::string::npos, Attribute(tag, "src").find_first_of("/\\:")) << "not beside the page: " << tag;
    }
}

TEST_P(ManualPageTest, PicturesShipBesideThePageAtTheirSize)
{
    std::set<std::string> packaged = PackagedFiles();
    ASSERT_TRUE(packaged.count(GetParam().page)) << "package list not read";
    std::vector<std::string> pictures = Matches(m_strPage, R"re((<img\s[^>]*>))re");
    ASSERT_FALSE(pictures.empty());
    for (const std::string& tag : pictures) {
        std::string file = Attribute(tag, "src");
        EXPECT_FALSE(Attribute(tag, "alt").empty()) << "no words for those who cannot see it: " << tag;
        EXPECT_TRUE(packaged.count(file)) << file << " does not ship beside the page";
        // Width and height keep the text from jumping while the picture loads; stale ones
        // would stretch a refreshed picture.
        std::pair<unsigned, unsigned> size = PngSize(m_strFolder + file);
        EXPECT_NE(0u, size.first) << file << " is not a PNG beside the page";
        EXPECT_EQ(std::to_string(size.first), Attribute(tag, "width")) << file;
        EXPECT_EQ(std::to_string(size.second), Attribute(tag, "height")) << file;
    }
}

TEST_P(ManualPageTest, EachScreenShowsItsPicture)
{
    for (const char* id : GetParam().pictured) {
        ASSERT_TRUE(m_Ids.count(id)) << "no section " << id;
        EXPECT_NE(std::string::npos, Section(id).find("<img ")) << "section " << id << " shows no picture";
    }
}

TEST(ManualPage, EveryPictureShippedIsShown)
{
    std::string pages;
    for (const SManual& manual : kManuals)
        pages += ReadFile(kResources + "/" + manual.folder + "/" + manual.page);
    for (const std::string& file : PackagedFiles()) {
        if (file.size() > 4 && file.compare(file.size() - 4, 4, ".png") == 0) {
            EXPECT_NE(std::string::npos, pages.find("src=\"" + file + "\"")) << file << " ships but no manual shows it";
        }
    }
}

TEST_P(ManualPageTest, MenuCommandsAreThoseOfTheMenus)
{
    std::set<std::string> paths = MenuPaths(ReadFile(m_strFolder + GetParam().script));
    ASSERT_FALSE(paths.empty()) << "menu not read";
    std::vector<std::string> named =
        Matches(m_strPage, std::string("<b>((?:") + GetParam().menus + ") &gt; [^<]*)</b>");
    ASSERT_FALSE(named.empty());
    for (const std::string& command : named)
        EXPECT_EQ(1u, paths.count(Plain(command))) << "no menu command " << Plain(command);
}

TEST_P(ManualPageTest, MessagesQuotedAreThoseOfTheProgram)
{
    // The program's script and the scripts it includes.
    std::string main = ReadFile(m_strFolder + GetParam().script);
    ASSERT_FALSE(main.empty()) << GetParam().script;
    std::vector<std::string> texts = ScriptStrings(main);
    for (const std::string& script : Matches(main, R"re(#include\s+"([^"]+\.rc)")re")) {
        std::string content = ReadFile(m_strFolder + script);
        ASSERT_FALSE(content.empty()) << script;
        for (const std::string& text : ScriptStrings(content))
            texts.push_back(text);
    }
    std::vector<std::string> quoted = Matches(m_strPage, R"(class="msg">([^<]*)<)");
    ASSERT_FALSE(quoted.empty());
    for (const std::string& message : quoted) {
        // A quote may stop after the first sentence of a longer message.
        std::string plain = Plain(message);
        bool found = false;
        for (const std::string& text : texts)
            found = found || text.compare(0, plain.size(), plain) == 0;
        EXPECT_TRUE(found) << "the program has no message \"" << plain << "\"";
    }
}

} // namespace

// The manual page as shipped: plain HTML whose links, sections, menu commands and messages
// are those of the program.
#include "manual_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kResources = KESTREL_RESOURCES;

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

class ManualPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strPage = ReadFile(kResources + "/kestrel4/" + kManualFileName);
        ASSERT_FALSE(m_strPage.empty()) << "the manual is missing from the resources";
        for (const std::string& id : Matches(m_strPage, R"re(\sid="([^"]*)")re"))
            EXPECT_TRUE(m_Ids.insert(id).second) << "section id given twice: " << id;
    }

    std::string m_strPage;
    std::set<std::string> m_Ids;
};

TEST_F(ManualPageTest, SectionsThatDialogsOpenExist)
{
    for (const char* topic : {kManualTopicLogoArea})
        EXPECT_EQ(1u, m_Ids.count(topic)) << topic;
}

TEST_F(ManualPageTest, LinksLeadToSectionsAndToPagesShippedBesideIt)
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

TEST_F(ManualPageTest, PlainHtmlWithoutScriptsOrOutsideResources)
{
    for (const char* banned : {"<script", "<iframe", "<object", "<embed", "javascript:", "@import", "url("})
        EXPECT_EQ(std::string::npos, m_strPage.find(banned)) << banned;
    for (const std::string& source : Matches(m_strPage, R"re(\ssrc="([^"]*)")re"))
        ADD_FAILURE() << "the page loads " << source;
}

TEST_F(ManualPageTest, MenuCommandsAreThoseOfTheMenus)
{
    std::set<std::string> paths = MenuPaths(ReadFile(kResources + "/kestrel4/Kestrel4.rc"));
    ASSERT_TRUE(paths.count("Help > Help Topics")) << "menu not read";
    std::vector<std::string> named = Matches(m_strPage, R"(<b>((?:File|Options|Help) &gt; [^<]*)</b>)");
    ASSERT_FALSE(named.empty());
    for (const std::string& command : named)
        EXPECT_EQ(1u, paths.count(Plain(command))) << "no menu command " << Plain(command);
}

TEST_F(ManualPageTest, MessagesQuotedAreThoseOfTheProgram)
{
    // The program's script and the scripts it includes.
    std::string main = ReadFile(kResources + "/kestrel4/Kestrel4.rc");
    std::vector<std::string> texts = ScriptStrings(main);
    std::vector<std::string> included = Matches(main, R"re(#include\s+"([^"]+\.rc)")re");
    ASSERT_FALSE(included.empty());
    for (const std::string& script : included) {
        std::string content = ReadFile(kResources + "/kestrel4/" + script);
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

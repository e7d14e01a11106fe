// Lookup, fallback and write rules of a private profile file, held against both backends.
#include "test_profiles.h"

#include <vector>

namespace {

struct SReadCase {
    const char* pszName;
    const char* pszFile;
    const char* pszSection;
    const char* pszKey;
    const char* pszFallback;
    unsigned int nBuffer;
    const char* pszExpected;
};

const SReadCase kReadCases[] = {
    {"plain", "[A]\r\nk=v\r\n", "A", "k", "D", 260, "v"},
    {"sections and keys ignore case", "[ConnectStatus]\r\nconnectmode=0\r\n", "CONNECTSTATUS", "ConnectMode", "D", 260,
     "0"},
    {"missing section", "[A]\r\nk=v\r\n", "B", "k", "D", 260, "D"},
    {"missing key", "[A]\r\nk=v\r\n", "A", "x", "D", 260, "D"},
    {"key of another section", "[A]\r\nk=v\r\n[B]\r\nx=1\r\n", "B", "k", "D", 260, "D"},
    {"blanks around key and value", "[A]\r\n   key  =   some value  \t\r\n", "A", "key", "D", 260, "some value"},
    {"blanks in the asked names", "[A]\r\nkey=1\r\n", "  A ", " key ", "D", 260, "1"},
    {"double quotes dropped", "[A]\r\nk=\"q v\"\r\n", "A", "k", "D", 260, "q v"},
    {"single quotes dropped", "[A]\r\nk='x'\r\n", "A", "k", "D", 260, "x"},
    {"unpaired quotes kept", "[A]\r\nk=\"x'\r\n", "A", "k", "D", 260, "\"x'"},
    {"empty value is not missing", "[A]\r\nk=\r\n", "A", "k", "D", 260, ""},
    {"first of two sections", "[A]\r\nk=1\r\n[a]\r\nk=2\r\n", "A", "k", "D", 260, "1"},
    {"first of two keys", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "D", 260, "1"},
    {"value cut to the buffer", "[A]\r\nk=abcdef\r\n", "A", "k", "D", 4, "abc"},
    {"fallback cut to the buffer", "[A]\r\n", "A", "k", "fallback", 4, "fal"},
    {"fallback loses trailing blanks", "[A]\r\n", "A", "k", "NOTHING  ", 260, "NOTHING"},
    {"header without bracket is no header", "[A]\r\n[B\r\nk=1\r\n", "A", "k", "D", 260, "1"},
    {"text after the bracket", "[A] ; note\r\nk=1\r\n", "A", "k", "D", 260, "1"},
    {"lines ending in LF only", "[A]\nk=1\n[B]\nk=2", "B", "k", "D", 260, "2"},
    {"keys before any section", "k=1\r\n[A]\r\n", "", "k", "D", 260, "1"},
    {"keys before any section are in none", "k=1\r\n[A]\r\n", "A", "k", "D", 260, "D"},
    {"comment is not the key", "[A]\r\n;k=1\r\n", "A", "k", "D", 260, "D"},
    {"equals sign inside the value", "[A]\r\nk=a=b\r\n", "A", "k", "D", 260, "a=b"},
    {"indented header", "  [A]\r\nk=1\r\n", "A", "k", "D", 260, "1"},
    {"ini values are case-preserving", "[A]\r\nk=MixedCase\r\n", "a", "K", "D", 260, "MixedCase"},
};

struct SIntCase {
    const char* pszLine; // the key line in [A], or nullptr for no key
    int nExpected;
};

const SIntCase kIntCases[] = {
    {"n=12", 12},    {"n= -7", -7},  {"n=+5", 5},
    {"n=12abc", 12}, {"n=abc", 0},   {"n=", 99}, // empty reads as missing
    {nullptr, 99},   {"n=0x1F", 31}, {"n=4294967295", -1},
};

class ProfileFileTest : public ::testing::TestWithParam<EProfileKind> {
protected:
    std::unique_ptr<IProfileFile> Open(const std::string& path) { return MakeProfile(GetParam(), path); }
};

TEST_P(ProfileFileTest, ReadsLikeTheSystem)
{
    for (const SReadCase& c : kReadCases) {
        SCOPED_TRACE(c.pszName);
        std::string path = FreshIniPath();
        WriteText(path, c.pszFile);
        EXPECT_EQ(c.pszExpected, Open(path)->GetString(c.pszSection, c.pszKey, c.pszFallback, c.nBuffer));
    }
}

TEST_P(ProfileFileTest, MissingFileGivesFallbacks)
{
    std::string path = FreshIniPath();
    auto ini = Open(path);
    EXPECT_EQ("NOTHING", ini->GetString("ConnectStatus", "ConnectMode", "NOTHING"));
    EXPECT_EQ(1, ini->GetInt("ConnectStatus", "ConnectMode", 1));
    std::ifstream probe(path);
    EXPECT_FALSE(probe.good()) << "reading must not create the file";
}

TEST_P(ProfileFileTest, ReadsIntegers)
{
    for (const SIntCase& c : kIntCases) {
        SCOPED_TRACE(c.pszLine ? c.pszLine : "(no key)");
        std::string path = FreshIniPath();
        WriteText(path, std::string("[A]\r\n") + (c.pszLine ? c.pszLine : "other=1") + "\r\n");
        EXPECT_EQ(c.nExpected, Open(path)->GetInt("A", "n", 99));
    }
}

TEST_P(ProfileFileTest, WritesCreateFileSectionAndKey)
{
    std::string path = FreshIniPath();
    auto ini = Open(path);
    ASSERT_TRUE(ini->WriteString("First", "One", "1"));
    ASSERT_TRUE(ini->WriteString("Second", "Two", "2"));
    ASSERT_TRUE(ini->WriteString("first", "Three", "3")); // into the existing section

    EXPECT_EQ("1", ini->GetString("First", "One", "D"));
    EXPECT_EQ("2", ini->GetString("Second", "Two", "D"));
    EXPECT_EQ("3", ini->GetString("First", "Three", "D"));
    EXPECT_EQ("D", ini->GetString("Second", "Three", "D"));

    std::vector<SProfileLine> lines = ParseProfileText(ReadText(path));
    int sections = 0;
    for (const SProfileLine& l : lines)
        sections += l.kind == SProfileLine::SECTION;
    EXPECT_EQ(2, sections);
    EXPECT_LT(FindProfileKey(lines, "First", "Three"), FindProfileKey(lines, "Second", "Two"));
}

TEST_P(ProfileFileTest, RewritingAKeyReplacesItInPlace)
{
    std::string path = FreshIniPath();
    WriteText(path, "; kept comment\r\n[A]\r\nk=old\r\nother=x\r\n\r\n[B]\r\nz=1\r\n");
    auto ini = Open(path);
    ASSERT_TRUE(ini->WriteString("a", "K", "new value"));
    EXPECT_EQ("new value", ini->GetString("A", "k", "D"));
    EXPECT_EQ("x", ini->GetString("A", "other", "D"));
    EXPECT_EQ("1", ini->GetString("B", "z", "D"));

    std::string text = ReadText(path);
    EXPECT_NE(std::string::npos, text.find("; kept comment"));
    EXPECT_EQ(std::string::npos, text.find("old"));
    std::vector<SProfileLine> lines = ParseProfileText(text);
    EXPECT_EQ(FindProfileKey(lines, "A", "k") + 1, FindProfileKey(lines, "A", "other"));
}

TEST_P(ProfileFileTest, EmptyValueIsStoredAsPresent)
{
    std::string path = FreshIniPath();
    auto ini = Open(path);
    ASSERT_TRUE(ini->WriteString("A", "k", ""));
    EXPECT_EQ("", ini->GetString("A", "k", "NOTHING"));
}

TEST_P(ProfileFileTest, DeletesKeysAndWholeSections)
{
    std::string path = FreshIniPath();
    WriteText(path, "[A]\r\nk=1\r\nm=2\r\n[B]\r\nx=1\r\ny=2\r\n[C]\r\nz=3\r\n");
    auto ini = Open(path);
    ASSERT_TRUE(ini->DeleteKey("a", "K"));
    ASSERT_TRUE(ini->DeleteSection("b"));
    EXPECT_TRUE(ini->DeleteKey("A", "never there"));
    EXPECT_TRUE(ini->DeleteSection("Never"));

    EXPECT_EQ("D", ini->GetString("A", "k", "D"));
    EXPECT_EQ("2", ini->GetString("A", "m", "D"));
    EXPECT_EQ("D", ini->GetString("B", "x", "D"));
    EXPECT_EQ("D", ini->GetString("B", "y", "D"));
    EXPECT_EQ("3", ini->GetString("C", "z", "D"));
    std::string text = ReadText(path);
    EXPECT_EQ(std::string::npos, text.find("[B]"));
    EXPECT_EQ(std::string::npos, text.find("k=1"));
}

TEST_P(ProfileFileTest, WriteIntoMissingFolderFails)
{
    std::string path = ::testing::TempDir() + "k4_no_such_folder/sub/Kestrel4.ini";
    auto ini = Open(path);
    EXPECT_FALSE(ini->WriteString("A", "k", "v"));
    EXPECT_EQ("D", ini->GetString("A", "k", "D"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ProfileFileTest, KESTREL_PROFILE_KINDS, ProfileKindName);

TEST(ParseProfileIntTest, BasesAndStops)
{
    const struct {
        const char* pszText;
        int nValue;
    } cases[] = {
        {"0", 0},    {"  42", 42}, {"-0x10", -16}, {"0b101", 5}, {"0o17", 15},
        {"019", 19}, {"0x", 0},    {"-", 0},       {"7 8", 7},   {"\t-3", -3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nValue, ParseProfileInt(c.pszText)) << c.pszText;
}

} // namespace

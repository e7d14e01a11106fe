#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/key_converter.h"
#include "core/key_layout.h"

using namespace tapline;

namespace {

constexpr int S = 16, C = 17, A = 18;

struct SConvertCase {
    const char* pszText;
    int nCapacity;
    int nResult;
    std::vector<int> codes;
};

void PrintTo(const SConvertCase& c, std::ostream* os)
{
    *os << '"';
    for (const char* p = c.pszText; *p; ++p) {
        unsigned char ch = static_cast<unsigned char>(*p);
        if (ch >= 0x20 && ch < 0x7F)
            *os << *p;
        else
            *os << "\\x" << std::hex << static_cast<int>(ch) << std::dec;
    }
    *os << "\" capacity " << c.nCapacity;
}

// Converts into a buffer pre-filled with a marker, so writes past the reported count show.
std::vector<int> Convert(const std::string& text, int capacity, int& result, int& count)
{
    std::vector<int> buffer(static_cast<size_t>(capacity) + 8, 0x5A5A);
    const CUsKeyLayout layout;
    count = -1;
    result = ConvertKeyText(text.c_str(), buffer.data(), capacity, count, layout);
    for (size_t i = static_cast<size_t>(count < 0 ? 0 : count); i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], 0x5A5A) << "written past the count at " << i << " for " << text;
    buffer.resize(static_cast<size_t>(count < 0 ? 0 : count));
    return buffer;
}

class ConvertTable : public ::testing::TestWithParam<SConvertCase> {};

TEST_P(ConvertTable, CodesAndResult)
{
    const SConvertCase& c = GetParam();
    int nResult = -1, nCount = -1;
    std::vector<int> codes = Convert(c.pszText, c.nCapacity, nResult, nCount);
    EXPECT_EQ(nResult, c.nResult) << c.pszText;
    EXPECT_EQ(nCount, static_cast<int>(c.codes.size())) << c.pszText;
    EXPECT_EQ(codes, c.codes) << c.pszText;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ConvertTable,
    ::testing::Values(SConvertCase{"", 16, 0, {}}, SConvertCase{"abc", 16, 0, {65, 66, 67}},
                      SConvertCase{"^+a", 16, 0, {C, S, 65, S, C}}, SConvertCase{"{F5}", 16, 0, {116}},
                      SConvertCase{"{TAB 3}", 16, 0, {9, 9, 9}}, SConvertCase{"{}}", 16, 0, {S, 221, S}},
                      SConvertCase{"{F1 3}", 16, 0, {112, 112, 112}}, SConvertCase{"^a", 2, 5, {C, 65}}));

INSTANTIATE_TEST_SUITE_P(Errors, ConvertTable,
                         ::testing::Values(SConvertCase{"{F16}", 16, 2, {}}, SConvertCase{"{XYZ}", 16, 2, {}},
                                           SConvertCase{"{F1", 16, 1, {}}, SConvertCase{"{F1 0}", 16, 4, {}},
                                           SConvertCase{"{}", 16, 1, {}}, SConvertCase{"{ }", 16, 2, {}},
                                           SConvertCase{"{ABCDEFGHIJKLMNOP}", 16, 2, {}},
                                           // The codes before an error stay, also those of enclosing modifiers.
                                           SConvertCase{"ab{F16}c", 16, 2, {65, 66}},
                                           SConvertCase{"^+{XYZ}a", 16, 2, {C, S}}, SConvertCase{"x{TAB", 16, 1, {88}},
                                           // A count without its closing brace is unfinished too.
                                           SConvertCase{"{TAB 3", 16, 1, {}}, SConvertCase{"{TAB x}", 16, 4, {}},
                                           // Characters no key of the layout types.
                                           SConvertCase{"a\x80", 16, 2, {65}}, SConvertCase{"{\x01}", 16, 2, {}}));

INSTANTIATE_TEST_SUITE_P(
    Grammar, ConvertTable,
    ::testing::Values(SConvertCase{"A", 16, 0, {S, 65, S}}, SConvertCase{"a B", 16, 0, {65, 32, S, 66, S}},
                      SConvertCase{"%{F4}", 16, 0, {A, 115, A}}, SConvertCase{"+^%x", 16, 0, {S, C, A, 88, A, C, S}},
                      SConvertCase{"^ab", 16, 0, {C, 65, C, 66}}, SConvertCase{"a^", 16, 0, {65, C, C}},
                      SConvertCase{"{f5}{Tab}{numpad7}", 16, 0, {116, 9, 103}},
                      SConvertCase{"{BREAK}{EQUAL}", 16, 0, {17, 146}},
                      SConvertCase{"{+}{^}{%}{{}", 16, 0, {S, 187, S, S, 54, S, S, 53, S, S, 219, S}},
                      SConvertCase{"{a 2}{A 2}", 16, 0, {65, 65, S, 65, 65, S}},
                      SConvertCase{"+{a 2}", 16, 0, {S, 65, 65, S}}, SConvertCase{"{} 2}", 16, 0, {S, 221, 221, S}},
                      SConvertCase{"{TAB  2 }x", 16, 0, {9, 9, 88}}, SConvertCase{"\t\r\b", 16, 0, {9, 13, 8}}));

INSTANTIATE_TEST_SUITE_P(Capacity, ConvertTable,
                         ::testing::Values(SConvertCase{"a", 0, 5, {}}, SConvertCase{"A", 1, 5, {S}},
                                           SConvertCase{"A", 2, 5, {S, 65}}, SConvertCase{"A", 3, 0, {S, 65, S}},
                                           SConvertCase{"^+a", 4, 5, {C, S, 65, S}},
                                           SConvertCase{"{TAB 3}", 2, 5, {9, 9}},
                                           // A negative count types until the output is full.
                                           SConvertCase{"{F1 -1}", 4, 5, {112, 112, 112, 112}},
                                           SConvertCase{"{F1 99999999999999999999}", 3, 5, {112, 112, 112}}));

TEST(ConvertKeyText, NamesOfTheKeyTableInAnyCase)
{
    struct SRange {
        const char* pszPrefix;
        int nFirst;
        int nFirstCode;
        int nLast;
    };
    const SRange ranges[] = {{"F", 1, 112, 15}, {"numpad", 0, 96, 9}, {"NumPad", 0, 96, 9}};
    for (const SRange& range : ranges) {
        for (int i = range.nFirst; i <= range.nLast; ++i) {
            std::string name = range.pszPrefix + std::to_string(i);
            EXPECT_EQ(LookUpKeyName(name.c_str(), static_cast<int>(name.size())), range.nFirstCode + i - range.nFirst)
                << name;
        }
    }
    const std::pair<const char*, int> named[] = {
        {"multiply", 106}, {"Subtract", 109}, {"equal", 146}, {"break", 17}, {"rtn", 13},
        {"prtsc", 44},     {"slock", 145},    {"help", 47},   {"cls", 12},   {"pgdn", 34},
    };
    for (const auto& [pszName, nCode] : named)
        EXPECT_EQ(LookUpKeyName(pszName, static_cast<int>(std::string(pszName).size())), nCode) << pszName;
    // Prefixes and extensions of table names are not names.
    for (const char* psz : {"F", "F0", "F16", "NUMPAD", "NUMPAD10", "TABS", "ES", ""})
        EXPECT_EQ(LookUpKeyName(psz, static_cast<int>(std::string(psz).size())), 0) << psz;
}

TEST(ConvertKeyText, LongModifierRunStaysOffTheStack)
{
    const int nRun = 200000;
    std::string text(nRun, '+');
    text += 'a';
    std::vector<int> codes(2 * nRun + 1);
    int nCount = 0;
    const CUsKeyLayout layout;
    ASSERT_EQ(ConvertKeyText(text.c_str(), codes.data(), static_cast<int>(codes.size()), nCount, layout), 0);
    ASSERT_EQ(nCount, 2 * nRun + 1);
    EXPECT_EQ(codes[nRun - 1], S);
    EXPECT_EQ(codes[nRun], 65);
    EXPECT_EQ(codes[nRun + 1], S);
}

TEST(ConvertKeyText, NullTextAndNullOutput)
{
    const CUsKeyLayout layout;
    int nCount = -1;
    EXPECT_EQ(ConvertKeyText(nullptr, nullptr, 0, nCount, layout), 0);
    EXPECT_EQ(nCount, 0);
    EXPECT_EQ(ConvertKeyText("a", nullptr, 4, nCount, layout), 5);
    EXPECT_EQ(nCount, 0);
    int code = 0;
    EXPECT_EQ(ConvertKeyText("a", &code, -3, nCount, layout), 5);
    EXPECT_EQ(nCount, 0);
}

TEST(UsKeyLayout, ShiftedAndPlainCharactersShareTheirKey)
{
    const CUsKeyLayout layout;
    const char* pairs[] = {"aA", "zZ",  "1!", "2@",  "0)", "9(", "-_", "=+", "[{",
                           "]}", "\\|", ";:", "'\"", ",<", ".>", "/?", "`~"};
    for (const char* pair : pairs) {
        int nPlain = layout.KeyScan(pair[0]);
        int nShifted = layout.KeyScan(pair[1]);
        EXPECT_EQ(nPlain & kScanShift, 0) << pair;
        EXPECT_EQ(nShifted & kScanShift, kScanShift) << pair;
        EXPECT_EQ(nPlain & 0xFF, nShifted & 0xFF) << pair;
    }
    for (char ch : {'\0', '\x7F', '\x80', '\xFF', '\x01'})
        EXPECT_EQ(layout.KeyScan(ch), kScanNone) << static_cast<int>(ch);
}

} // namespace

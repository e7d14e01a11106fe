#include "key_converter.h"

#include <climits>

namespace tapline {

namespace {

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkAlt = 18;
constexpr int kMaxNameLength = 15;

struct SKeyName {
    const char* pszName;
    int nCode;
};

// BREAK gives the Ctrl code and EQUAL the numeric pad's equals key of PC-98 keyboards:
// stored key texts rely on both.
constexpr SKeyName kKeyNames[] = {
    {"F1", 112},      {"F2", 113},       {"F3", 114},      {"F4", 115},       {"F5", 116},      {"F6", 117},
    {"F7", 118},      {"F8", 119},       {"F9", 120},      {"F10", 121},      {"F11", 122},     {"F12", 123},
    {"F13", 124},     {"F14", 125},      {"F15", 126},     {"NUMPAD0", 96},   {"NUMPAD1", 97},  {"NUMPAD2", 98},
    {"NUMPAD3", 99},  {"NUMPAD4", 100},  {"NUMPAD5", 101}, {"NUMPAD6", 102},  {"NUMPAD7", 103}, {"NUMPAD8", 104},
    {"NUMPAD9", 105}, {"MULTIPLY", 106}, {"ADD", 107},     {"SUBTRACT", 109}, {"DECIMAL", 110}, {"DIVIDE", 111},
    {"EQUAL", 146},   {"NUM", 144},      {"CAPS", 20},     {"ESC", 27},       {"RTN", 13},      {"UP", 38},
    {"DOWN", 40},     {"RIGHT", 39},     {"LEFT", 37},     {"PRTSC", 44},     {"DEL", 46},      {"INS", 45},
    {"TAB", 9},       {"BREAK", 17},     {"CLS", 12},      {"BS", 8},         {"PGUP", 33},     {"PGDN", 34},
    {"HOME", 36},     {"END", 35},       {"SLOCK", 145},   {"HELP", 47},
};
static_assert(sizeof(kKeyNames) / sizeof(kKeyNames[0]) == 52, "key name table");

char ToUpper(char ch)
{
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool IsModifier(char ch)
{
    return ch == '+' || ch == '^' || ch == '%';
}

int ModifierCode(char ch)
{
    return ch == '+' ? kVkShift : (ch == '^' ? kVkControl : kVkAlt);
}

// Decimal repeat count as the C library reads it (leading blanks, a sign), saturated
// instead of overflowing.
int ParseRepeat(const char*& p)
{
    while (*p == ' ')
        ++p;
    bool bNegative = false;
    if (*p == '+' || *p == '-')
        bNegative = (*p++ == '-');
    long long nValue = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (nValue <= INT_MAX)
            nValue = nValue * 10 + (*p - '0');
    }
    if (nValue > INT_MAX)
        nValue = INT_MAX;
    return static_cast<int>(bNegative ? -nValue : nValue);
}

class CConverter {
public:
    CConverter(int* codes, int capacity, const CKeyLayout& layout)
        : m_pCodes(codes), m_nCapacity(capacity < 0 || !codes ? 0 : capacity), m_layout(layout)
    {
    }

    int Run(const char* text);
    int Count() const { return m_nCount; }

private:
    bool Emit(int code);
    int ConvertKey(const char*& p);
    int ConvertBrace(const char*& p);
    int EmitKey(int scan, int repeat);

    int* m_pCodes;
    int m_nCapacity;
    int m_nCount = 0;
    const CKeyLayout& m_layout;
};

bool CConverter::Emit(int code)
{
    if (m_nCount >= m_nCapacity)
        return false;
    m_pCodes[m_nCount++] = code;
    return true;
}

// A modifier holds its key around the next token; a run of modifiers nests, so they are
// released in reverse order once the token is done. Walking the run back in the text keeps
// long runs off the stack.
int CConverter::Run(const char* text)
{
    if (!text)
        return CONVERT_OK;
    const char* p = text;
    while (*p) {
        const char* pRun = p;
        while (IsModifier(*p)) {
            if (!Emit(ModifierCode(*p)))
                return CONVERT_OUTPUT_FULL;
            ++p;
        }
        const char* pRunEnd = p;
        if (*p) {
            int nResult = ConvertKey(p);
            if (nResult != CONVERT_OK)
                return nResult;
        }
        for (const char* q = pRunEnd; q != pRun; --q) {
            if (!Emit(ModifierCode(q[-1])))
                return CONVERT_OUTPUT_FULL;
        }
    }
    return CONVERT_OK;
}

int CConverter::ConvertKey(const char*& p)
{
    if (*p == '{')
        return ConvertBrace(p);
    int nScan = m_layout.KeyScan(*p++);
    return EmitKey(nScan, 1);
}

int CConverter::ConvertBrace(const char*& p)
{
    const char* pName = p + 1;
    const char* q = pName;
    bool bCloseBraceKey = (*q == '}');
    if (bCloseBraceKey)
        ++q;
    while (*q && *q != ' ' && *q != '}')
        ++q;
    if (!*q)
        return CONVERT_UNCLOSED_BRACE;

    int nScan;
    if (bCloseBraceKey) {
        nScan = m_layout.KeyScan('}');
    } else {
        int nLength = static_cast<int>(q - pName);
        if (nLength > kMaxNameLength)
            return CONVERT_UNKNOWN_KEY;
        nScan = LookUpKeyName(pName, nLength);
        if (nScan == 0) {
            if (nLength != 1)
                return CONVERT_UNKNOWN_KEY;
            nScan = m_layout.KeyScan(*pName);
        }
    }

    int nRepeat = 1;
    if (*q == ' ') {
        ++q;
        nRepeat = ParseRepeat(q);
        while (*q && *q != '}')
            ++q;
        // A count without its closing brace is as unfinished as a name without one.
        if (!*q)
            return CONVERT_UNCLOSED_BRACE;
        if (nRepeat == 0)
            return CONVERT_ZERO_REPEAT;
    }
    p = q + 1;
    return EmitKey(nScan, nRepeat);
}

// A negative repeat keeps typing until the output is full.
int CConverter::EmitKey(int scan, int repeat)
{
    // A character no key of the layout types would play as garbage codes.
    if (scan == kScanNone)
        return CONVERT_UNKNOWN_KEY;
    bool bShift = (scan & kScanShift) != 0;
    int nCode = scan & 0xFF;
    if (bShift && !Emit(kVkShift))
        return CONVERT_OUTPUT_FULL;
    for (int i = 0; repeat < 0 || i < repeat; ++i) {
        if (!Emit(nCode))
            return CONVERT_OUTPUT_FULL;
    }
    if (bShift && !Emit(kVkShift))
        return CONVERT_OUTPUT_FULL;
    return CONVERT_OK;
}

} // namespace

int LookUpKeyName(const char* name, int length)
{
    for (const SKeyName& entry : kKeyNames) {
        int i = 0;
        while (i < length && entry.pszName[i] && ToUpper(name[i]) == entry.pszName[i])
            ++i;
        if (i == length && entry.pszName[i] == '\0')
            return entry.nCode;
    }
    return 0;
}

int ConvertKeyText(const char* text, int* codes, int capacity, int& count, const CKeyLayout& layout)
{
    CConverter converter(codes, capacity, layout);
    int nResult = converter.Run(text);
    count = converter.Count();
    return nResult;
}

} // namespace tapline

#include "key_layout.h"

#include <cstring>

namespace tapline {

namespace {

// Unshifted and shifted characters of the US keyboard's symbol keys, by virtual-key code.
struct SSymbolKey {
    int nVk;
    char chPlain;
    char chShifted;
};

constexpr SSymbolKey kSymbolKeys[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'}, {0xBE, '.', '>'},  {0xBF, '/', '?'},
    {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
};

// Shifted characters of the digit row, '0' first.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

} // namespace

int CUsKeyLayout::KeyScan(char ch) const
{
    if (ch >= 'a' && ch <= 'z')
        return ch - 'a' + 'A';
    if (ch >= 'A' && ch <= 'Z')
        return kScanShift | ch;
    if (ch >= '0' && ch <= '9')
        return ch;
    switch (ch) {
    case ' ':
        return 0x20;
    case '\t':
        return 0x09;
    case '\r':
        return 0x0D;
    case '\b':
        return 0x08;
    default:
        break;
    }
    if (ch != '\0') {
        if (const char* p = std::strchr(kShiftedDigits, ch))
            return kScanShift | ('0' + static_cast<int>(p - kShiftedDigits));
    }
    for (const SSymbolKey& key : kSymbolKeys) {
        if (ch == key.chPlain)
            return key.nVk;
        if (ch == key.chShifted)
            return kScanShift | key.nVk;
    }
    return kScanNone;
}

} // namespace tapline

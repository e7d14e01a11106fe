// The keyboard layout as the converter sees it: which key, and whether Shift, types a
// character. The Windows build asks the system; native tests use the US table below.
#pragma once

namespace tapline {

// Scan values follow the system's convention: virtual-key code in the low byte, 0x100 when
// Shift is needed (0x200 Ctrl and 0x400 Alt may be set as well), -1 when no key types it.
constexpr int kScanShift = 0x100;
constexpr int kScanNone = -1;

class CKeyLayout {
public:
    virtual ~CKeyLayout() = default;
    virtual int KeyScan(char ch) const = 0;
};

// US English layout for the printable ASCII characters, tab, return and backspace.
class CUsKeyLayout : public CKeyLayout {
public:
    int KeyScan(char ch) const override;
};

} // namespace tapline

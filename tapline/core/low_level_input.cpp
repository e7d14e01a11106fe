#include "low_level_input.h"

namespace tapline {

int ReportedKeyCode(uint32_t virtualKey)
{
    switch (virtualKey) {
    case 160:
    case 161:
        return 16;
    case 162:
    case 163:
        return 17;
    case 164:
    case 165:
        return 18;
    default:
        return static_cast<int>(virtualKey & 0xFF);
    }
}

uint32_t KeystrokeFlags(uint32_t scanCode, uint32_t lowFlags)
{
    uint32_t flags = 1u | ((scanCode & 0xFFu) << 16);
    if (lowFlags & kLowExtended)
        flags |= 1u << 24;
    if (lowFlags & kLowAltDown)
        flags |= 1u << 29;
    if (lowFlags & kLowUp)
        flags |= (1u << 30) | (1u << 31);
    return flags;
}

} // namespace tapline

// What the low-level hooks report of an input: the key code and keystroke flags the
// notification has always carried, made from a low-level keyboard event.
#pragma once

#include <cstdint>

namespace tapline {

// The low-level event's flags that matter here.
constexpr uint32_t kLowExtended = 0x01;
constexpr uint32_t kLowAltDown = 0x20;
constexpr uint32_t kLowUp = 0x80;

// Left and right Shift, Ctrl and Alt (160..165) are reported as 16, 17 and 18, as a
// keyboard hook of a thread sees them.
int ReportedKeyCode(uint32_t virtualKey);

// The keystroke flags of a thread's keyboard hook: repeat count 1, scan code in bits 16-23,
// extended key in bit 24, Alt down in bit 29, and for a key going up bits 30 and 31.
uint32_t KeystrokeFlags(uint32_t scanCode, uint32_t lowFlags);

} // namespace tapline

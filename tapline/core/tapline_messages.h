// Messages the hook library sends to its notification windows, and the packing of the mouse
// position: x in the HIGH 16 bits, y in the LOW 16 bits, the reverse of the usual order.
#pragma once

#include <cstdint>

namespace tapline {

constexpr unsigned kWmTaplineKey = 0x464;   // WM_USER + 100
constexpr unsigned kWmTaplineMouse = 0x465; // WM_USER + 101

// Works in unsigned arithmetic: left of the primary monitor x and y are negative.
constexpr uint32_t PackMousePoint(int x, int y)
{
    return ((static_cast<uint32_t>(x) & 0xFFFFu) << 16) | (static_cast<uint32_t>(y) & 0xFFFFu);
}

constexpr int UnpackMouseX(uint64_t packed)
{
    return static_cast<int16_t>(static_cast<uint16_t>((packed >> 16) & 0xFFFFu));
}

constexpr int UnpackMouseY(uint64_t packed)
{
    return static_cast<int16_t>(static_cast<uint16_t>(packed & 0xFFFFu));
}

} // namespace tapline

// A cursor/stamp set: an animated-cursor file (RIFF form ACON) of cursor images, eight for
// the projector. The file layout is the one the projector's tools have always written: the
// RIFF length counts the whole file, and every frame chunk carries the first frame's length.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "cursor_info.h"

constexpr int kSetFrames = 8;
constexpr size_t kSetHeaderSize = 68;
// The projector's set image: eight 32 x 32 frames at 4 bits, top row first.
constexpr size_t kSetImageSize = 4096;
constexpr size_t kSetFrameImageSize = 512;

class CAniInfo {
public:
    CAniInfo() = default;

    // count blank frames of width x height at bits; 0 when a frame is refused.
    int CreateNew(int count, int width, int height, int bits);
    int Read(const CByteView& view);
    // A set without frames is first made a new set of eight.
    void Write(std::vector<uint8_t>& out);
    int ReadFile(const char* path);
    int WriteFile(const char* path);
    void CopyFrom(const CAniInfo& other) { *this = other; }

    int GetFrameCount() const { return static_cast<int>(m_Frames.size()); }
    const CCursorInfo& GetFrame(int index) const { return m_Frames[static_cast<size_t>(index)]; }
    CCursorInfo& GetFrame(int index) { return m_Frames[static_cast<size_t>(index)]; }
    // Copies a 16-colour table into every frame of 4 bits.
    void SetColorTable(const std::array<ColorRef, 16>& colors);

    // The image the projector takes; false (nothing to send) unless the set is eight frames
    // of 32 x 32 at 4 bits.
    bool PackImage(std::vector<uint8_t>& image) const;

private:
    std::vector<CCursorInfo> m_Frames;
};

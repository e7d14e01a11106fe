#include "ani_info.h"

#include <cstring>

namespace {

// The smallest frame chunk: tag, length, directory, header, two colours, 32 x 32 at one bit.
constexpr size_t kSmallestChunk = 8 + kCursorDirectorySize + kBitmapHeaderSize + 2 * 4 + 128 + 128;
constexpr size_t kLargestSetFile = 8 << 20;

bool TagAt(const CByteView& view, size_t offset, const char* tag)
{
    return view.Has(offset, 4) && std::memcmp(view.At(offset), tag, 4) == 0;
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

int CAniInfo::CreateNew(int count, int width, int height, int bits)
{
    std::vector<CCursorInfo> frames(static_cast<size_t>(count));
    for (CCursorInfo& frame : frames)
        if (!frame.CreateNew(width, height, bits))
            return 0;
    m_Frames = std::move(frames);
    return 1;
}

int CAniInfo::Read(const CByteView& view)
{
    if (view.Size() < kSetHeaderSize)
        return CURSOR_FILE_SHORT;
    if (!TagAt(view, 0, "RIFF") || !TagAt(view, 8, "ACON"))
        return CURSOR_FILE_NOT_KIND;
    uint32_t count = view.U32(24);
    // The count comes from the file: it must fit the bytes that follow.
    if (count == 0 || count > (view.Size() - kSetHeaderSize) / kSmallestChunk)
        return CURSOR_FILE_NOT_KIND;
    std::vector<CCursorInfo> frames(count);
    size_t position = kSetHeaderSize;
    for (CCursorInfo& frame : frames) {
        // Every chunk repeats the first frame's length, so a later, smaller frame may claim
        // more than is left; a length beyond the whole file is damage all the same.
        if (!view.Has(position, 8) || view.U32(position + 4) > view.Size())
            return CURSOR_FILE_NOT_KIND;
        size_t consumed = 0;
        int result = frame.Read(view, position + 8, consumed);
        if (result != CURSOR_FILE_OK)
            return result;
        // The image itself says where the next chunk starts.
        position += 8 + consumed;
    }
    m_Frames = std::move(frames);
    return CURSOR_FILE_OK;
}

void CAniInfo::Write(std::vector<uint8_t>& out)
{
    if (m_Frames.empty())
        CreateNew(kSetFrames, 32, 32, 4);
    uint32_t chunkLength = static_cast<uint32_t>(m_Frames[0].FileLength());
    uint32_t chunks = 0;
    for (const CCursorInfo& frame : m_Frames)
        chunks += static_cast<uint32_t>(8 + frame.FileLength());
    uint32_t count = static_cast<uint32_t>(m_Frames.size());

    PutTag(out, "RIFF");
    PutU32(out, static_cast<uint32_t>(kSetHeaderSize) + chunks); // the whole file, as readers expect
    PutTag(out, "ACON");
    PutTag(out, "anih");
    PutU32(out, 36);
    PutU32(out, 36);
    PutU32(out, count);
    PutU32(out, count);
    for (int i = 0; i < 4; ++i)
        PutU32(out, 0);
    PutU32(out, count);
    PutU32(out, 1);
    PutTag(out, "LIST");
    PutU32(out, 4 + chunks);
    PutTag(out, "fram");
    for (const CCursorInfo& frame : m_Frames) {
        PutTag(out, "icon");
        PutU32(out, chunkLength);
        frame.Write(out);
    }
}

int CAniInfo::ReadFile(const char* path)
{
    std::vector<uint8_t> bytes;
    int result = ReadWholeFile(path, kLargestSetFile, bytes);
    return result == CURSOR_FILE_OK ? Read(CByteView(bytes.data(), bytes.size())) : result;
}

int CAniInfo::WriteFile(const char* path)
{
    std::vector<uint8_t> bytes;
    Write(bytes);
    return ReplaceFile(path, bytes);
}

void CAniInfo::SetColorTable(const std::array<ColorRef, 16>& colors)
{
    for (CCursorInfo& frame : m_Frames)
        if (frame.GetBitCount() == 4)
            for (int i = 0; i < 16; ++i)
                frame.SetColor(i, colors[static_cast<size_t>(i)]);
}

bool CAniInfo::PackImage(std::vector<uint8_t>& image) const
{
    if (m_Frames.size() != kSetFrames)
        return false;
    for (const CCursorInfo& frame : m_Frames)
        if (frame.GetWidth() != 32 || frame.GetHeight() != 32 || frame.GetBitCount() != 4 ||
            frame.GetColorBits().size() != kSetFrameImageSize)
            return false;
    image.assign(kSetImageSize, 0);
    for (size_t i = 0; i < kSetFrames; ++i) {
        // Files keep the bottom row first, the projector the top row; nibbles stay as they are.
        const std::vector<uint8_t>& bits = m_Frames[i].GetColorBits();
        for (size_t row = 0; row < 32; ++row)
            std::memcpy(&image[i * kSetFrameImageSize + row * 16], &bits[(31 - row) * 16], 16);
    }
    return true;
}

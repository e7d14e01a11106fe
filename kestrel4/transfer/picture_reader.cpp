#include "picture_reader.h"

int ReadPicture(const std::vector<uint8_t>& bytes, CDIB& out)
{
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        CDIB bitmap;
        const int result = bitmap.Read(bytes);
        if (result == DIB_OK)
            out = std::move(bitmap);
        return result;
    }
    return PlatformPictureDecoder().Decode(bytes, out);
}

int ReadPictureFile(const std::string& path, CDIB& out)
{
    std::vector<uint8_t> bytes;
    if (!LoadFileBytes(path, bytes, kMaxPictureFileBytes))
        return DIB_SHORT;
    return ReadPicture(bytes, out);
}

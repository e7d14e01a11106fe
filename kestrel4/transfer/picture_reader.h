// One way from a picture file to a CDIB: bitmaps by CDIB's own reader, the other kinds the
// platform knows (PNG, JPEG, GIF, TIFF, ICO on Windows; PNG and JPEG elsewhere) through its
// decoder, laid over white where they are transparent and kept at 24 bits per pixel.
#pragma once
#include <string>
#include <vector>

#include "dib.h"

// The picture-file decoder of the platform, for files that are not bitmaps.
class IPictureDecoder {
public:
    virtual ~IPictureDecoder() = default;
    // DIB_OK with out a 24-bit picture; DIB_BAD for a kind it does not know or a damaged file;
    // DIB_LARGE before the whole is decoded; DIB_MEMORY. out is untouched unless DIB_OK.
    virtual int Decode(const std::vector<uint8_t>& bytes, CDIB& out) = 0;
    // The kinds it decodes, for messages: "PNG, JPEG".
    virtual const char* Kinds() const = 0;
};

// Defined by the platform's decoder file.
IPictureDecoder& PlatformPictureDecoder();

// Result codes as CDIB::Read; out is untouched unless DIB_OK.
int ReadPicture(const std::vector<uint8_t>& bytes, CDIB& out);
int ReadPictureFile(const std::string& path, CDIB& out);

// PNG and JPEG pictures through libpng and libjpeg-turbo, for the builds outside Windows.
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>
#include <png.h>

#include "dib_pixels.h"
#include "picture_reader.h"

namespace {

// ---- PNG ----

struct SPngSource {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t count)
{
    SPngSource* source = static_cast<SPngSource*>(png_get_io_ptr(png));
    if (source->size - source->at < count)
        png_error(png, "the file ends early");
    std::copy_n(source->data + source->at, count, out);
    source->at += count;
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// The decoding itself, apart from any object with a destructor, as libpng leaves by longjmp.
// rows and bgra are sized here, once the picture's size is known and accepted.
int DecodePng(png_structp png, png_infop info, SPngSource& source, std::vector<uint8_t>& rows,
              std::vector<uint8_t>& bgra, uint32_t& width, uint32_t& height)
{
    if (setjmp(png_jmpbuf(png)))
        return DIB_BAD;
    png_set_read_fn(png, &source, ReadPngBytes);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (width == 0 || height == 0)
        return DIB_BAD;
    if (width > uint32_t(kMaxDibSide) || height > uint32_t(kMaxDibSide) ||
        !PictureSizeAcceptable(int32_t(width), int32_t(height), 24))
        return DIB_LARGE;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const uint32_t stride = CDIB::Stride(int32_t(width), 24);
    try {
        rows.assign(size_t(stride) * height, 0);
        // Interlaced pictures come in passes over every row: they need the whole at once.
        bgra.assign(size_t(width) * 4 * (passes > 1 ? height : 1), 0);
    } catch (const std::bad_alloc&) {
        return DIB_MEMORY;
    }
    auto target = [&](uint32_t y) { return rows.data() + size_t(height - 1 - y) * stride; };
    if (passes == 1) {
        for (uint32_t y = 0; y < height; ++y) {
            png_read_row(png, bgra.data(), nullptr);
            BgraRowOverWhite(bgra.data(), target(y), width);
        }
    } else {
        for (int pass = 0; pass < passes; ++pass)
            for (uint32_t y = 0; y < height; ++y)
                png_read_row(png, bgra.data() + size_t(y) * width * 4, nullptr);
        for (uint32_t y = 0; y < height; ++y)
            BgraRowOverWhite(bgra.data() + size_t(y) * width * 4, target(y), width);
    }
    png_read_end(png, nullptr);
    return DIB_OK;
}

int ReadPng(const std::vector<uint8_t>& bytes, CDIB& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnorePngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return DIB_MEMORY;
    }
    SPngSource source = {bytes.data(), bytes.size(), 0};
    std::vector<uint8_t> rows, bgra;
    uint32_t width = 0, height = 0;
    const int result = DecodePng(png, info, source, rows, bgra, width, height);
    png_destroy_read_struct(&png, &info, nullptr);
    if (result == DIB_OK)
        out.Assign24(int32_t(width), int32_t(height), std::move(rows));
    return result;
}

// ---- JPEG ----

struct SJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool endedEarly;
};

void LeaveJpeg(j_common_ptr decoder)
{
    std::longjmp(reinterpret_cast<SJpegError*>(decoder->err)->jump, 1);
}

// Warnings go nowhere, but a file that ends inside the picture is damaged.
void NoteJpegWarning(j_common_ptr decoder, int level)
{
    SJpegError* error = reinterpret_cast<SJpegError*>(decoder->err);
    if (level < 0 && error->manager.msg_code == JWRN_JPEG_EOF)
        error->endedEarly = true;
}

int DecodeJpeg(jpeg_decompress_struct& decoder, SJpegError& error, const std::vector<uint8_t>& bytes,
               std::vector<uint8_t>& rows)
{
    if (setjmp(error.jump))
        return DIB_BAD;
    jpeg_mem_src(&decoder, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&decoder, TRUE);
    const uint32_t width = decoder.image_width, height = decoder.image_height;
    if (width == 0 || height == 0)
        return DIB_BAD;
    if (width > uint32_t(kMaxDibSide) || height > uint32_t(kMaxDibSide) ||
        !PictureSizeAcceptable(int32_t(width), int32_t(height), 24))
        return DIB_LARGE;
    decoder.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&decoder);
    const uint32_t stride = CDIB::Stride(int32_t(width), 24);
    try {
        rows.assign(size_t(stride) * height, 0);
    } catch (const std::bad_alloc&) {
        return DIB_MEMORY;
    }
    while (decoder.output_scanline < height) {
        JSAMPROW row = rows.data() + size_t(height - 1 - decoder.output_scanline) * stride;
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    return error.endedEarly ? DIB_BAD : DIB_OK;
}

int ReadJpeg(const std::vector<uint8_t>& bytes, CDIB& out)
{
    jpeg_decompress_struct decoder = {};
    SJpegError error = {};
    decoder.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = LeaveJpeg;
    error.manager.emit_message = NoteJpegWarning;
    jpeg_create_decompress(&decoder);
    std::vector<uint8_t> rows;
    const int result = DecodeJpeg(decoder, error, bytes, rows);
    jpeg_destroy_decompress(&decoder);
    if (result == DIB_OK)
        out.Assign24(int32_t(decoder.image_width), int32_t(decoder.image_height), std::move(rows));
    return result;
}

class CLibraryDecoder : public IPictureDecoder {
public:
    const char* Kinds() const override { return "PNG, JPEG"; }
    int Decode(const std::vector<uint8_t>& bytes, CDIB& out) override
    {
        static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        if (bytes.size() >= 8 && std::equal(kPng, kPng + 8, bytes.begin()))
            return ReadPng(bytes, out);
        if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
            return ReadJpeg(bytes, out);
        return DIB_BAD;
    }
};

} // namespace

IPictureDecoder& PlatformPictureDecoder()
{
    static CLibraryDecoder decoder;
    return decoder;
}

// PNG, JPEG, GIF (first frame), TIFF and ICO pictures through the Windows imaging component.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <new>

#include "dib_pixels.h"
#include "picture_reader.h"

namespace {

// One COM interface pointer, released with its owner.
template <class T> class CComRef {
public:
    CComRef() = default;
    ~CComRef()
    {
        if (m_p)
            m_p->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    T** Out() { return &m_p; }

private:
    T* m_p = nullptr;
};

// COM for this thread while a picture is decoded; a thread that has it already keeps it.
class CComUse {
public:
    CComUse() : m_bOwn(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~CComUse()
    {
        if (m_bOwn)
            CoUninitialize();
    }
    CComUse(const CComUse&) = delete;
    CComUse& operator=(const CComUse&) = delete;

private:
    bool m_bOwn;
};

// Rows converted at a time: a strip of BGRA pixels, never the whole picture.
const UINT kStripRows = 64;

int DecodeFirstFrame(const std::vector<uint8_t>& bytes, CDIB& out)
{
    CComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Out()))))
        return DIB_BAD;
    CComRef<IWICStream> stream;
    CComRef<IWICBitmapDecoder> decoder;
    CComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())))
        return DIB_BAD;
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0)
        return DIB_BAD;
    if (width > UINT(kMaxDibSide) || height > UINT(kMaxDibSide) ||
        !PictureSizeAcceptable(int32_t(width), int32_t(height), 24))
        return DIB_LARGE;
    CComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr,
                                     0.0, WICBitmapPaletteTypeCustom)))
        return DIB_BAD;
    const uint32_t stride = CDIB::Stride(int32_t(width), 24);
    std::vector<uint8_t> rows, strip;
    try {
        rows.assign(size_t(stride) * height, 0);
        strip.assign(size_t(width) * 4 * kStripRows, 0);
    } catch (const std::bad_alloc&) {
        return DIB_MEMORY;
    }
    for (UINT top = 0; top < height; top += kStripRows) {
        const UINT count = std::min(kStripRows, height - top);
        const WICRect rect = {0, INT(top), INT(width), INT(count)};
        if (FAILED(converter->CopyPixels(&rect, width * 4, width * 4 * count, strip.data())))
            return DIB_BAD;
        for (UINT y = 0; y < count; ++y) {
            BgraRowOverWhite(strip.data() + size_t(y) * width * 4, rows.data() + size_t(height - 1 - (top + y)) * stride,
                             width);
        }
    }
    out.Assign24(int32_t(width), int32_t(height), std::move(rows));
    return DIB_OK;
}

class CImagingDecoder : public IPictureDecoder {
public:
    const char* Kinds() const override { return "PNG, JPEG, GIF, TIFF, ICO"; }
    int Decode(const std::vector<uint8_t>& bytes, CDIB& out) override
    {
        if (bytes.empty() || bytes.size() > MAXDWORD)
            return DIB_BAD;
        CComUse com;
        return DecodeFirstFrame(bytes, out);
    }
};

} // namespace

IPictureDecoder& PlatformPictureDecoder()
{
    static CImagingDecoder decoder;
    return decoder;
}

#include "imaging/win32/wic_decoder.h"

#include <windows.h>
#include <propidl.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"
#include "imaging/win32/com_ref.h"
#include "imaging/win32/wic_source_transform.h"

namespace cs {
namespace {

// Rows handed to the receiver at a time, fewer for very wide pictures.
constexpr int kBandRows = 16;
constexpr std::size_t kBandBytes = std::size_t{4} << 20;

unsigned long Code(HRESULT result) { return static_cast<unsigned long>(result); }

// A codec's failure as the decoders' error codes, the HRESULT in the text
// (and so in the trace).
[[noreturn]] void ThrowCodecFailure(HRESULT result, const char* step) {
    if (result == E_OUTOFMEMORY) {
        DecoderTrace::Writef(0, "System codec ran out of memory %s (HRESULT 0x%08lX).\n", step, Code(result));
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
    }
    const std::int32_t code = result == WINCODEC_ERR_COMPONENTNOTFOUND || result == WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT
                                  ? plerr::kNotSupported
                                  : plerr::kMalformed;
    ThrowDecoderErrorf(code, "The system codec failed %s (HRESULT 0x%08lX).", step, Code(result));
}

void Check(HRESULT result, const char* step) {
    if (FAILED(result)) ThrowCodecFailure(result, step);
}

bool HasAlpha(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame) {
    WICPixelFormatGUID format{};
    ComRef<IWICComponentInfo> info;
    ComRef<IWICPixelFormatInfo2> pixels;
    BOOL transparency = FALSE;
    UINT bits = 0;
    if (FAILED(frame.GetPixelFormat(&format)) || FAILED(factory.CreateComponentInfo(format, info.Out())) ||
        FAILED(info.QueryTo(pixels, IID_IWICPixelFormatInfo2)) || FAILED(pixels->SupportsTransparency(&transparency)) ||
        !transparency) {
        return false;
    }
    if (FAILED(pixels->GetBitsPerPixel(&bits)) || bits > 8) return true;
    // An indexed picture has alpha only where its palette says so.
    ComRef<IWICPalette> palette;
    BOOL alpha = FALSE;
    if (FAILED(factory.CreatePalette(palette.Out())) || FAILED(frame.CopyPalette(palette.get())) ||
        FAILED(palette->HasAlpha(&alpha))) {
        return false;
    }
    return alpha != FALSE;
}

Resolution ResolutionOf(IWICBitmapFrameDecode& frame) {
    double x = 0, y = 0;
    if (FAILED(frame.GetResolution(&x, &y))) return {};
    auto dpi = [](double value) {
        return value >= 0.5 && value < 1e6 ? static_cast<std::int32_t>(value + 0.5) : std::int32_t{0};
    };
    return {dpi(x), dpi(y)};
}

std::uint32_t Reduced(UINT size, int reduction) { return (size + reduction - 1) / reduction; }

// Hands a picture held whole to the receiver, band by band.
void HandOver(const std::vector<std::uint8_t>& pixels, UINT width, UINT height, RowReceiver& receiver) {
    const std::size_t stride = std::size_t{width} * 4;
    const std::uint8_t* rows[kBandRows];
    for (UINT y = 0; y < height;) {
        const int count = static_cast<int>(std::min<UINT>(kBandRows, height - y));
        for (int i = 0; i < count; ++i) rows[i] = pixels.data() + (y + i) * stride;
        receiver.TakeRows(rows, count);
        y += count;
    }
}

// The codec's own reduced decode (a JPEG or HEIF codec's), when it gives a
// size no smaller than the receiver's reduced one and BGR(A) pixels.
bool DecodeScaledByCodec(IWICBitmapFrameDecode& frame, UINT width, UINT height, int reduction, bool alpha,
                         Resolution resolution, RowReceiver& receiver) {
    ComRef<IUnknown> unknown;
    WicBitmapSourceTransform* transform = nullptr;
    if (FAILED(frame.QueryInterface(kIidWicBitmapSourceTransform, reinterpret_cast<void**>(&transform)))) return false;
    *unknown.Out() = transform;  // released with `unknown`
    const UINT wanted_width = Reduced(width, reduction), wanted_height = Reduced(height, reduction);
    UINT scaled_width = wanted_width, scaled_height = wanted_height;
    if (FAILED(transform->GetClosestSize(&scaled_width, &scaled_height)) || scaled_width < wanted_width ||
        scaled_height < wanted_height || scaled_width > width || scaled_height > height ||
        (scaled_width == width && scaled_height == height)) {
        return false;
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(transform->GetClosestPixelFormat(&format))) return false;
    const bool has_alpha_channel = IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA);
    if (!has_alpha_channel && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) return false;

    const std::size_t stride = std::size_t{scaled_width} * 4;
    std::vector<std::uint8_t> pixels(stride * scaled_height);
    Check(transform->CopyPixels(nullptr, scaled_width, scaled_height, &format, WICBitmapTransformRotate0,
                                static_cast<UINT>(stride), static_cast<UINT>(pixels.size()), pixels.data()),
          "decoding the picture reduced");
    if (!has_alpha_channel)
        for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    receiver.Begin(static_cast<std::int32_t>(scaled_width), static_cast<std::int32_t>(scaled_height),
                   alpha && has_alpha_channel, resolution);
    HandOver(pixels, scaled_width, scaled_height, receiver);
    return true;
}

}  // namespace

struct WicDecoder::Picture {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;  // once asked for

    HRESULT OpenOver(std::span<const std::uint8_t> bytes) {
        data = bytes.data();
        size = bytes.size();
        if (bytes.size() > MAXDWORD) return E_INVALIDARG;
        HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()));
        if (SUCCEEDED(result)) result = factory->CreateStream(stream.Out());
        // The codec reads the data where the source holds it (the mapped
        // file), for as long as the decode runs.
        if (SUCCEEDED(result))
            result = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
        if (SUCCEEDED(result))
            result = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                      decoder.Out());
        return result;
    }

    IWICBitmapFrameDecode& Frame() {
        if (!frame) Check(decoder->GetFrame(0, frame.Out()), "reading the first frame");
        return *frame.get();
    }
};

WicDecoder::WicDecoder() = default;
WicDecoder::~WicDecoder() = default;

bool WicDecoder::Recognises(DataSource& source) {
    // Some codecs (Wine's GIF decoder) decode the whole file as they open
    // it: a GIF whose screen promises more pixels than any bitmap may hold
    // is refused before the codec sees it.
    const std::span<const std::uint8_t> head = source.LookAhead(10);
    if (head.size() == 10 && std::equal(head.begin(), head.begin() + 4, "GIF8"))
        CheckImageSize(head[6] | head[7] << 8, head[8] | head[9] << 8);
    picture_ = std::make_unique<Picture>();
    const HRESULT result = picture_->OpenOver(source.LookAhead(source.Remaining()));
    if (SUCCEEDED(result)) return true;
    DecoderTrace::Writef(0, "No system codec reads this data (HRESULT 0x%08lX).\n", Code(result));
    picture_.reset();
    return false;
}

WicDecoder::Picture& WicDecoder::Open(DataSource& source) {
    const std::span<const std::uint8_t> bytes = source.LookAhead(source.Remaining());
    if (picture_ && picture_->data == bytes.data() && picture_->size == bytes.size()) return *picture_;
    picture_ = std::make_unique<Picture>();
    const HRESULT result = picture_->OpenOver(bytes);
    if (FAILED(result)) {
        picture_.reset();
        if (result == WINCODEC_ERR_COMPONENTNOTFOUND) {
            DecoderTrace::Writef(0, "No system codec reads this data (HRESULT 0x%08lX).\n", Code(result));
            ThrowDecoderError(plerr::kUnknownFileType, pltext::kUnknownFileType);
        }
        ThrowCodecFailure(result, "opening the picture");
    }
    return *picture_;
}

int WicDecoder::ReadOrientation(DataSource& source) {
    try {
        Picture& picture = Open(source);
        GUID container{};
        ComRef<IWICMetadataQueryReader> metadata;
        if (FAILED(picture.decoder->GetContainerFormat(&container)) ||
            FAILED(picture.Frame().GetMetadataQueryReader(metadata.Out()))) {
            return 1;
        }
        // The codecs hand over the pixels as stored; none turns them by
        // the metadata. TIFF keeps the Exif tag in its first directory.
        const wchar_t* query =
            IsEqualGUID(container, GUID_ContainerFormatTiff) ? L"/ifd/{ushort=274}" : L"System.Photo.Orientation";
        PROPVARIANT value;
        PropVariantInit(&value);
        int orientation = 1;
        if (SUCCEEDED(metadata->GetMetadataByName(query, &value)) && value.vt == VT_UI2 && value.uiVal >= 1 &&
            value.uiVal <= 8) {
            orientation = value.uiVal;
        }
        PropVariantClear(&value);
        return orientation;
    } catch (const PLTextException&) {
        // The decode that follows reports what is wrong with the picture.
        return 1;
    }
}

void WicDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    // The whole picture at 32 bits, through the same rows as a resized
    // decode at full size.
    class Filler final : public RowReceiver {
    public:
        explicit Filler(Bitmap& target) : target_(target) {}
        void Begin(std::int32_t width, std::int32_t height, bool hasAlpha, Resolution resolution) override {
            target_.Create(width, height, 32, hasAlpha, resolution);
            width_ = width;
        }
        void TakeRows(const std::uint8_t* const* rows, int count) override {
            BitmapLock lock(target_, false, true);
            for (int i = 0; i < count; ++i) std::copy_n(rows[i], std::size_t(width_) * 4, target_.Row(next_row_++));
        }

    private:
        Bitmap& target_;
        std::int32_t width_ = 0;
        std::int32_t next_row_ = 0;
    } filler(target);
    DecodeRows(source, filler);
}

bool WicDecoder::DecodeRows(DataSource& source, RowReceiver& receiver) {
    struct Release {
        std::unique_ptr<Picture>& picture;
        ~Release() { picture.reset(); }
    } release{picture_};
    Picture& picture = Open(source);
    IWICBitmapFrameDecode& frame = picture.Frame();
    UINT width = 0, height = 0;
    Check(frame.GetSize(&width, &height), "reading the picture's size");
    CheckImageSize(width, height);
    const int reduction = receiver.ReductionFor(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    const bool alpha = HasAlpha(*picture.factory.get(), frame);
    const Resolution resolution = ResolutionOf(frame);
    if (reduction > 1 && DecodeScaledByCodec(frame, width, height, reduction, alpha, resolution, receiver)) return true;

    ComRef<IWICBitmapScaler> scaler;
    IWICBitmapSource* input = &frame;
    if (reduction > 1) {
        Check(picture.factory->CreateBitmapScaler(scaler.Out()), "creating the scaler");
        Check(scaler->Initialize(&frame, Reduced(width, reduction), Reduced(height, reduction),
                                 WICBitmapInterpolationModeFant),
              "scaling the picture");
        input = scaler.get();
    }
    ComRef<IWICFormatConverter> converter;
    Check(picture.factory->CreateFormatConverter(converter.Out()), "creating the colour converter");
    Check(converter->Initialize(input, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          "converting the picture to 32-bit colour");
    UINT out_width = 0, out_height = 0;
    Check(converter->GetSize(&out_width, &out_height), "reading the converted size");

    const std::size_t stride = std::size_t{out_width} * 4;
    const int band_rows = static_cast<int>(std::clamp<std::size_t>(kBandBytes / stride, 1, kBandRows));
    std::vector<std::uint8_t> band(stride * band_rows);
    receiver.Begin(static_cast<std::int32_t>(out_width), static_cast<std::int32_t>(out_height), alpha, resolution);
    const std::uint8_t* rows[kBandRows];
    for (UINT y = 0; y < out_height;) {
        const int count = static_cast<int>(std::min<UINT>(band_rows, out_height - y));
        const WICRect rect{0, static_cast<INT>(y), static_cast<INT>(out_width), count};
        Check(converter->CopyPixels(&rect, static_cast<UINT>(stride), static_cast<UINT>(stride * count), band.data()),
              "decoding the picture");
        for (int i = 0; i < count; ++i) rows[i] = band.data() + i * stride;
        receiver.TakeRows(rows, count);
        y += count;
    }
    return true;
}

}  // namespace cs

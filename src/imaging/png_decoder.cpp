// PNG through libpng. libpng's error routine must not return: it long-jumps
// back to the C++ side, which throws there. A read past the end of the data
// is caught inside the read callback, kept, and re-thrown the same way, so no
// C++ exception ever crosses the library's frames.
#include "imaging/png_decoder.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <vector>
#include <string>

#include <png.h>

#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;

struct ReadContext {
    DataSource* source = nullptr;
    std::optional<PLTextException> pending;  // a read failure waiting to be re-thrown
    char message[256] = {};
};

void OnError(png_structp png, png_const_charp message) {
    auto* context = static_cast<ReadContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof context->message, "%s", message != nullptr ? message : "");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep out, png_size_t length) {
    auto* context = static_cast<ReadContext*>(png_get_io_ptr(png));
    try {
        DataSource& source = *context->source;
        std::memcpy(out, source.Read(length), length);
        // libpng allocates a whole ancillary chunk before reading it: a chunk
        // longer than the data left (its checksum included) could never be
        // read anyway, so it ends the data here, before the allocation.
        if ((png_get_io_state(png) & PNG_IO_MASK_LOC) == PNG_IO_CHUNK_HDR && length == 8) {
            const std::uint32_t chunkLength = png_get_uint_32(out);
            if (source.Remaining() < 4 || chunkLength > source.Remaining() - 4) {
                ThrowPlainError(plerr::kEndOfData, pltext::kEndOfData);
            }
        }
        return;
    } catch (const PLTextException& e) {
        context->pending.emplace(e);
    }
    png_error(png, "read failed");
}

// The library's structures reading from a source. Throws code 10 when they
// cannot be made.
class ReadStruct {
public:
    explicit ReadStruct(DataSource& source) {
        context_.source = &source;
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context_, OnError, OnWarning);
        if (png_ != nullptr) info_ = png_create_info_struct(png_);
        if (png_ == nullptr || info_ == nullptr) {
            Destroy();
            ThrowDecoderError(plerr::kOutOfMemory, "Cannot create the PNG reader.");
        }
        png_set_read_fn(png_, &context_, ReadData);
        // Ancillary chunks (text, profiles) are read whole into memory; a few
        // bytes of length field must not make that a gigabyte. Larger ones are
        // skipped with a warning.
        png_set_chunk_malloc_max(png_, kMaxChunkBytes);
    }
    ~ReadStruct() { Destroy(); }
    ReadStruct(const ReadStruct&) = delete;
    ReadStruct& operator=(const ReadStruct&) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }
    ReadContext& context() { return context_; }

private:
    void Destroy() {
        if (png_ != nullptr) png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
    }

    ReadContext context_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// Runs one library call. The long jump lands in this frame, which holds no
// object with a destructor.
template <typename Call>
bool Guarded(png_structp png, Call&& call) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    call();
    return true;
}

[[noreturn]] void ThrowFailure(ReadContext& context) {
    if (context.pending) throw PLTextException(*context.pending);
    ThrowDecoderError(plerr::kMalformed, context.message);
}

}  // namespace

// The picture's layout once the header is read and the transformations are
// set: one byte (an index or a grey level) or one B G R A pixel per pixel.
struct PngLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bits = 32;
    bool alpha = false;
    bool interlaced = false;
    bool metres = false;  // the pHYs chunk gives pixels per metre
    png_uint_32 xPerMetre = 0;
    png_uint_32 yPerMetre = 0;
    // The colour of each byte value of an 8-bit picture, as the bitmap's
    // palette gets it (the grey ramp where the file gives no entry).
    std::array<Pixel32, 256> palette{};
};

namespace {

// Reads the header and sets the transformations for the layout above.
PngLayout ReadLayout(ReadStruct& reader) {
    png_structp png = reader.png();
    png_infop info = reader.info();
    ReadContext& context = reader.context();
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    if (!Guarded(png, [&] {
            png_read_info(png, info);
            png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
        })) {
        ThrowFailure(context);
    }
    PngLayout layout;
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE: layout.bits = 8; break;
        case PNG_COLOR_TYPE_RGB: break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
        case PNG_COLOR_TYPE_RGB_ALPHA: layout.alpha = true; break;
        default: ThrowDecoderErrorf(plerr::kMalformed, "Unsupported PNG colour type %d.", colourType);
    }
    std::size_t rowBytes = 0;
    if (!Guarded(png, [&] {
            switch (colourType) {
                case PNG_COLOR_TYPE_RGB:
                    png_set_bgr(png);
                    png_set_filler(png, 255, PNG_FILLER_AFTER);
                    break;
                case PNG_COLOR_TYPE_GRAY_ALPHA:
                    png_set_gray_to_rgb(png);
                    png_set_expand(png);
                    png_set_bgr(png);
                    break;
                case PNG_COLOR_TYPE_RGB_ALPHA: png_set_bgr(png); break;
                default: break;
            }
            if (bitDepth == 16) png_set_strip_16(png);
            if (bitDepth < 8) png_set_packing(png);
            png_set_interlace_handling(png);
            png_read_update_info(png, info);
            rowBytes = png_get_rowbytes(png, info);
        })) {
        ThrowFailure(context);
    }
    // libpng refuses sides above 2^31 - 1.
    layout.width = static_cast<std::int32_t>(width);
    layout.height = static_cast<std::int32_t>(height);
    layout.interlaced = interlace != PNG_INTERLACE_NONE;
    // The transformations above must give exactly one byte or one 32-bit
    // pixel per pixel; anything wider would overrun the rows.
    if (rowBytes != Bitmap::RowBytes(layout.width, layout.bits)) ThrowDecoderError(plerr::kMalformed, "Unexpected PNG row layout.");

    for (unsigned i = 0; i < layout.palette.size(); ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        layout.palette[i] = Pixel32{v, v, v, 255};
    }
    if (colourType == PNG_COLOR_TYPE_GRAY) {
        const unsigned entries = 1u << std::min(bitDepth, 8);
        for (unsigned i = 0; i < entries; ++i) {
            const auto v = static_cast<std::uint8_t>(i * 255 / (entries - 1));
            layout.palette[i] = Pixel32{v, v, v, 255};
        }
    } else if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count) != 0 && palette != nullptr) {
            for (int i = 0; i < count && i < 256; ++i)
                layout.palette[static_cast<std::size_t>(i)] = Pixel32{palette[i].blue, palette[i].green, palette[i].red, 255};
        }
    }
    // pHYs comes before the image data, so png_read_info has seen it.
    int unit = 0;
    layout.metres = png_get_pHYs(png, info, &layout.xPerMetre, &layout.yPerMetre, &unit) != 0 && unit == PNG_RESOLUTION_METER;
    return layout;
}

// Rows handed to a RowReceiver at a time, as for JPEG.
constexpr int kBandRows = 16;

}  // namespace

Resolution PngDecoder::ResolutionOf(const PngLayout& layout) {
    if (!layout.metres) return {0, 0};
    return {DpiFromPixelsPerMetre(layout.xPerMetre), DpiFromPixelsPerMetre(layout.yPerMetre)};
}

void PngDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    ReadStruct reader(source);
    const PngLayout layout = ReadLayout(reader);
    CheckImageSize(layout.width, layout.height);
    png_structp png = reader.png();
    target.Create(layout.width, layout.height, layout.bits, layout.alpha);
    if (Pixel32* palette = target.Palette()) std::copy(layout.palette.begin(), layout.palette.end(), palette);
    {
        BitmapLock lock(target, false, true);
        // libpng only writes through the row pointers, never to the table.
        png_bytepp rows = const_cast<png_bytepp>(target.RowTable());
        if (!Guarded(png, [&] { png_read_image(png, rows); })) ThrowFailure(reader.context());
    }
    target.SetResolution(ResolutionOf(layout));
    if (!Guarded(png, [&] { png_read_end(png, reader.info()); })) ThrowFailure(reader.context());
}

bool PngDecoder::DecodeRows(DataSource& source, RowReceiver& receiver) {
    // An interlaced picture's first rows are only complete after the last
    // pass: it is decoded whole instead. The IHDR chunk comes first, so its
    // interlace byte is at a fixed place.
    constexpr std::size_t kInterlaceAt = 8 + 8 + 12;
    const std::span<const std::uint8_t> head = source.LookAhead(kInterlaceAt + 1);
    if (head.size() > kInterlaceAt && head[kInterlaceAt] != 0) return false;

    ReadStruct reader(source);
    const PngLayout layout = ReadLayout(reader);
    CheckImageSize(layout.width, layout.height);
    png_structp png = reader.png();
    if (layout.interlaced) ThrowDecoderError(plerr::kMalformed, "Unexpected PNG interlace method.");
    receiver.Begin(layout.width, layout.height, layout.alpha, ResolutionOf(layout));

    const std::size_t bgraBytes = Bitmap::RowBytes(layout.width, 32);
    const std::size_t readBytes = Bitmap::RowBytes(layout.width, layout.bits);
    std::vector<std::uint8_t> band(kBandRows * bgraBytes);
    std::vector<std::uint8_t> indices(layout.bits == 8 ? kBandRows * readBytes : 0);
    std::uint8_t* bandRows[kBandRows];
    png_bytep readRows[kBandRows];
    for (int i = 0; i < kBandRows; ++i) {
        bandRows[i] = band.data() + static_cast<std::size_t>(i) * bgraBytes;
        readRows[i] = layout.bits == 8 ? indices.data() + static_cast<std::size_t>(i) * readBytes : bandRows[i];
    }
    for (std::int32_t y = 0; y < layout.height; y += kBandRows) {
        const int count = static_cast<int>(std::min<std::int32_t>(kBandRows, layout.height - y));
        if (!Guarded(png, [&] { png_read_rows(png, readRows, nullptr, static_cast<png_uint_32>(count)); }))
            ThrowFailure(reader.context());
        if (layout.bits == 8) {
            for (int i = 0; i < count; ++i) {
                auto* out = reinterpret_cast<Pixel32*>(bandRows[i]);
                for (std::int32_t x = 0; x < layout.width; ++x) out[x] = layout.palette[readRows[i][x]];
            }
        }
        receiver.TakeRows(bandRows, count);
    }
    if (!Guarded(png, [&] { png_read_end(png, reader.info()); })) ThrowFailure(reader.context());
    return true;
}

}  // namespace cs

// PNG through libpng. libpng's error routine must not return: it long-jumps
// back to the C++ side, which throws there. A read past the end of the data
// is caught inside the read callback, kept, and re-thrown the same way, so no
// C++ exception ever crosses the library's frames.
#include "imaging/png_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
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

class ReadStruct {
public:
    explicit ReadStruct(ReadContext& context) {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, &context, OnError, OnWarning);
        if (png_ != nullptr) info_ = png_create_info_struct(png_);
    }
    ~ReadStruct() {
        if (png_ != nullptr) png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr);
    }
    ReadStruct(const ReadStruct&) = delete;
    ReadStruct& operator=(const ReadStruct&) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
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

void PngDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    ReadContext context;
    context.source = &source;
    ReadStruct reader(context);
    png_structp png = reader.png();
    png_infop info = reader.info();
    if (png == nullptr || info == nullptr) ThrowDecoderError(plerr::kOutOfMemory, "Cannot create the PNG reader.");
    png_set_read_fn(png, &context, ReadData);
    // Ancillary chunks (text, profiles) are read whole into memory; a few
    // bytes of length field must not make that a gigabyte. Larger ones are
    // skipped with a warning.
    png_set_chunk_malloc_max(png, kMaxChunkBytes);

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
    CheckImageSize(width, height);

    std::uint16_t bits = 32;
    bool alpha = false;
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE: bits = 8; break;
        case PNG_COLOR_TYPE_RGB: break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
        case PNG_COLOR_TYPE_RGB_ALPHA: alpha = true; break;
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
    const auto w = static_cast<std::int32_t>(width);
    const auto h = static_cast<std::int32_t>(height);
    // The transformations above must give exactly one byte or one 32-bit
    // pixel per pixel; anything wider would overrun the rows.
    if (rowBytes != Bitmap::RowBytes(w, bits)) ThrowDecoderError(plerr::kMalformed, "Unexpected PNG row layout.");

    target.Create(w, h, bits, alpha);
    if (colourType == PNG_COLOR_TYPE_GRAY) {
        const unsigned entries = 1u << std::min(bitDepth, 8);
        for (unsigned i = 0; i < entries; ++i) {
            const auto v = static_cast<std::uint8_t>(i * 255 / (entries - 1));
            target.SetPaletteEntry(i, v, v, v);
        }
    } else if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count) != 0 && palette != nullptr) {
            for (int i = 0; i < count && i < 256; ++i) {
                target.SetPaletteEntry(static_cast<std::size_t>(i), palette[i].red, palette[i].green, palette[i].blue);
            }
        }
    }

    {
        BitmapLock lock(target, false, true);
        // libpng only writes through the row pointers, never to the table.
        png_bytepp rows = const_cast<png_bytepp>(target.RowTable());
        if (!Guarded(png, [&] { png_read_image(png, rows); })) ThrowFailure(context);
    }

    png_uint_32 xPerMetre = 0;
    png_uint_32 yPerMetre = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xPerMetre, &yPerMetre, &unit) != 0 && unit == PNG_RESOLUTION_METER) {
        target.SetResolution({DpiFromPixelsPerMetre(xPerMetre), DpiFromPixelsPerMetre(yPerMetre)});
    } else {
        target.SetResolution({0, 0});
    }
    if (!Guarded(png, [&] { png_read_end(png, info); })) ThrowFailure(context);
}

}  // namespace cs

#include "imaging/picture_decoder.h"

#include <cstdio>
#include <memory>

#include "imaging/bilinear_resize.h"
#include "imaging/decoder_trace.h"
#include "imaging/exif_orientation.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

std::string FormatText(const char* format, const void* pointer) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, pointer);
    return buffer;
}

// Opens with `open`; on failure throws the open result as the code. Then
// decodes with `make`, closing the source whatever happens.
template <typename Source, typename OpenFn, typename MakeFn>
void DecodeThrough(PictureDecoder& decoder, Source& source, OpenFn open, const std::string& failureText,
                   MakeFn make) {
    const int result = open();
    if (result != 0) ThrowDecoderError(result, failureText);
    try {
        make();
    } catch (...) {
        source.Close();
        throw;
    }
    decoder.CloseSource(source);
}

// The file and memory decodes, whatever they make.
template <typename MakeFn>
void DecodeFile(PictureDecoder& decoder, const char* fileName, ProgressSink* sink, MakeFn make) {
    const char* name = fileName != nullptr ? fileName : "";
    DecoderTrace::Writef(1, "--- Decoding file %s. ---\n", name);
    FileSource source(sink);
    DecodeThrough(decoder, source, [&] { return source.Open(name); }, std::string("Opening ") + name + " failed",
                  [&] { make(source); });
}

template <typename MakeFn>
void DecodeMemory(PictureDecoder& decoder, const std::uint8_t* data, std::size_t size, ProgressSink* sink,
                  MakeFn make) {
    DecoderTrace::Writef(1, "--- Decoding from memory at %p. ---\n", static_cast<const void*>(data));
    MemorySource source(sink);
    DecodeThrough(decoder, source, [&] { return source.Open(data, size); },
                  FormatText("Reading from memory at %p failed", data), [&] { make(source); });
}

}  // namespace

void PictureDecoder::DecodeFromFile(const char* fileName, Bitmap& target, int requestedBits, ProgressSink* sink) {
    DecodeFile(*this, fileName, sink, [&](DataSource& source) { MakeBitmap(source, target, requestedBits); });
}

void PictureDecoder::DecodeResizedFromFile(const char* fileName, Bitmap& target, const SizeChooser& choose,
                                           ProgressSink* sink, DecodeScale scale) {
    DecodeFile(*this, fileName, sink, [&](DataSource& source) { MakeResizedBitmap(source, target, choose, scale); });
}

void PictureDecoder::DecodeUprightFromFile(const char* fileName, Bitmap& target, const SizeChooser& choose,
                                           ProgressSink* sink) {
    DecodeFile(*this, fileName, sink, [&](DataSource& source) { MakeUprightBitmap(source, target, choose); });
}

void PictureDecoder::DecodeUprightFromMemory(const std::uint8_t* data, std::size_t size, Bitmap& target,
                                             const SizeChooser& choose, ProgressSink* sink) {
    DecodeMemory(*this, data, size, sink, [&](DataSource& source) { MakeUprightBitmap(source, target, choose); });
}

void PictureDecoder::DecodeFromResource(void* module, int id, Bitmap& target, int requestedBits, const char* type) {
    DecoderTrace::Writef(1, "--- Decoding resource ID %i. ---\n", id);
    ResourceSource source;
    DecodeThrough(*this, source, [&] { return source.Open(module, id, type); },
                  "Opening resource " + std::to_string(id) + " failed",
                  [&] { MakeBitmap(source, target, requestedBits); });
}

void PictureDecoder::DecodeFromMemory(const std::uint8_t* data, std::size_t size, Bitmap& target, int requestedBits,
                                      ProgressSink* sink) {
    DecodeMemory(*this, data, size, sink, [&](DataSource& source) { MakeBitmap(source, target, requestedBits); });
}

void PictureDecoder::DecodeResizedFromMemory(const std::uint8_t* data, std::size_t size, Bitmap& target,
                                             const SizeChooser& choose, ProgressSink* sink, DecodeScale scale) {
    DecodeMemory(*this, data, size, sink,
                 [&](DataSource& source) { MakeResizedBitmap(source, target, choose, scale); });
}

void PictureDecoder::MakeBitmap(DataSource& source, Bitmap& target, int requestedBits) {
    DecodeInto(target, source);
    if (requestedBits == 0) return;
    if (target.BitsPerPixel() < requestedBits) {
        PlainBitmap converted;
        converted.CreateCopy(target, static_cast<std::uint16_t>(requestedBits));
        target.CreateCopy(converted);
    } else if (target.BitsPerPixel() > requestedBits) {
        ThrowPlainError(plerr::kNotSupported, pltext::kDepthMismatch);
    }
}

void PictureDecoder::MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose,
                                       DecodeScale scale) {
    ResizingReceiver receiver(target, choose, ResizePath::kFast, scale);
    if (DecodeRows(source, receiver)) {
        receiver.Finish();
        return;
    }
    MakeBitmap(source, target, 32);
    const PictureSize size = choose(target.Width(), target.Height());
    if (size != PictureSize{target.Width(), target.Height()}) BilinearResize(size.width, size.height).Apply(target, target);
}

void PictureDecoder::MakeUprightBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose) {
    const int orientation = ReadOrientation(source);
    if (!OrientationTurns(orientation)) {
        MakeResizedBitmap(source, target, choose, DecodeScale::kReduced);
    } else {
        // The size is chosen for the upright picture and made on its side.
        const SizeChooser sideways = [&](std::int32_t width, std::int32_t height) {
            const PictureSize upright = choose(height, width);
            return PictureSize{upright.height, upright.width};
        };
        MakeResizedBitmap(source, target, sideways, DecodeScale::kReduced);
    }
    OrientBitmap(target, orientation);
}

int PictureDecoder::ReadOrientation(DataSource& source) {
    // The whole file is mapped: looking at its start reads nothing.
    return ReadExifOrientation(source.LookAhead(source.Remaining()));
}

void PictureDecoder::CloseSource(DataSource& source) { source.Close(); }

void PictureDecoder::CheckImageSize(std::int64_t width, std::int64_t height) {
    if (width < 1 || height < 1) ThrowDecoderError(plerr::kMalformed, pltext::kBadDimensions);
    if (width > INT32_MAX || height > INT32_MAX ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > BitmapPixelLimit()) {
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
    }
}

void PictureDecoder::CheckDataFor(const DataSource& source, std::uint64_t bytesNeeded) {
    if (bytesNeeded > source.Remaining()) ThrowPlainError(plerr::kEndOfData, pltext::kEndOfData);
}

std::int32_t PictureDecoder::DpiFromPixelsPerMetre(double pixelsPerMetre) {
    const float product = static_cast<float>(pixelsPerMetre) * 0.0254f;
    const double dpi = static_cast<double>(product) + 0.5;
    if (!(dpi < 2147483647.0)) return INT32_MAX;
    if (!(dpi > -2147483648.0)) return INT32_MIN;
    return static_cast<std::int32_t>(dpi);
}

}  // namespace cs

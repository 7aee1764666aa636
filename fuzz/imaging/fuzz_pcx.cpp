// Feeds arbitrary bytes to the PCX decoder as the program decodes, then
// resamples what decodes to a small size taken from the input, through the
// vector and the plain paths, which must agree byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_decoder.h"
#include "imaging/bilinear_resize.h"
#include "imaging/pcx_decoder.h"

namespace {

void ResizeBothWays(const std::uint8_t* data, std::size_t size) {
    cs::PlainBitmap picture;
    try {
        cs::PcxDecoder().DecodeFromMemory(data, size, picture, 32);
    } catch (const cs::PLTextException&) {
        return;
    }
    if (static_cast<std::uint64_t>(picture.Width()) * static_cast<std::uint64_t>(picture.Height()) > (1u << 16)) return;
    const int w = 1 + (size > 0 ? data[size - 1] % 48 : 0);
    const int h = 1 + (size > 1 ? data[size - 2] % 48 : 0);
    cs::PlainBitmap fast, plain;
    try {
        cs::BilinearResize(w, h, cs::ResizePath::kFast).Apply(picture, fast);
    } catch (const cs::PLTextException&) {
        return;  // a tall picture's scratch image can pass the lowered pixel limit
    }
    cs::BilinearResize(w, h, cs::ResizePath::kReference).Apply(picture, plain);
    for (int y = 0; y < h; ++y)
        if (std::memcmp(fast.Row(y), plain.Row(y), static_cast<std::size_t>(w) * 4) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A header alone promises a whole picture (cut-off data decodes quietly),
    // so every input costs what its size claims: a lower limit than the
    // other targets' keeps the runs per second useful.
    cs::fuzz::LimitPictureSize();
    cs::SetBitmapPixelLimit(std::uint64_t{1} << 18);
    cs::fuzz::DecodeInput<cs::PcxDecoder>(data, size);
    ResizeBothWays(data, size);
    return 0;
}

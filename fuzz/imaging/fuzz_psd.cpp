// Feeds arbitrary bytes to the PSD decoder. Whatever decodes is also
// resampled to a small size derived from the input, through the vector and
// the plain paths, which must agree byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "imaging/bilinear_resize.h"
#include "imaging/bitmap.h"
#include "imaging/pl_exception.h"
#include "imaging/psd_decoder.h"

namespace {

// Keeps a decode within the fuzzer's memory limit; the full limit's checks
// are the same code.
constexpr std::uint64_t kFuzzPixelLimit = std::uint64_t{1} << 18;

void ResizeBothWays(const cs::Bitmap& picture, const std::uint8_t* data, std::size_t size) {
    if (picture.BitsPerPixel() != 32 || std::uint64_t(picture.Width()) * picture.Height() > (1u << 16)) return;
    const int w = 1 + (size > 0 ? data[size - 1] % 48 : 0);
    const int h = 1 + (size > 1 ? data[size - 2] % 48 : 0);
    cs::PlainBitmap fast, plain;
    cs::BilinearResize(w, h, cs::ResizePath::kFast).Apply(picture, fast);
    cs::BilinearResize(w, h, cs::ResizePath::kReference).Apply(picture, plain);
    for (int y = 0; y < h; ++y)
        if (std::memcmp(fast.Row(y), plain.Row(y), static_cast<std::size_t>(w) * 4) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cs::SetBitmapPixelLimit(kFuzzPixelLimit);
    cs::PlainBitmap picture;
    try {
        cs::PsdDecoder decoder;
        decoder.DecodeFromMemory(data, size, picture, 32);
    } catch (const cs::PLTextException&) {
        return 0;
    }
    ResizeBothWays(picture, data, size);
    return 0;
}

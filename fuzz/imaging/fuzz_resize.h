#pragma once
// Resamples what a decoder makes of the input to a small size taken from the
// input's last bytes, through the vector and the plain paths, which must
// agree byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/bilinear_resize.h"
#include "imaging/bitmap.h"
#include "imaging/pl_exception.h"

namespace cs::fuzz {

template <typename Decoder>
void ResizeBothWays(const std::uint8_t* data, std::size_t size) {
    PlainBitmap picture;
    try {
        Decoder().DecodeFromMemory(data, size, picture, 32);
    } catch (const PLTextException&) {
        return;
    }
    if (static_cast<std::uint64_t>(picture.Width()) * static_cast<std::uint64_t>(picture.Height()) > (1u << 16)) return;
    const int w = 1 + (size > 0 ? data[size - 1] % 48 : 0);
    const int h = 1 + (size > 1 ? data[size - 2] % 48 : 0);
    PlainBitmap fast, plain;
    try {
        BilinearResize(w, h, ResizePath::kFast).Apply(picture, fast);
    } catch (const PLTextException&) {
        return;  // a tall picture's scratch image can pass the lowered pixel limit
    }
    BilinearResize(w, h, ResizePath::kReference).Apply(picture, plain);
    for (int y = 0; y < h; ++y)
        if (std::memcmp(fast.Row(y), plain.Row(y), static_cast<std::size_t>(w) * 4) != 0) __builtin_trap();
}

}  // namespace cs::fuzz

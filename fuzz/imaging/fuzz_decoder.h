#pragma once
// Shared body of the imaging fuzz targets: decode the input from memory as
// the program does and let the sanitizers judge. Only PLTextException may
// come out of a decoder.
#include <cstddef>
#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/pl_exception.h"

namespace cs::fuzz {

// Keeps allocations within the fuzzer's memory limit: a few bytes of header
// can ask for the full 2^28 pixels the program allows.
inline void LimitPictureSize() {
    static const bool once = [] {
        SetBitmapPixelLimit(std::uint64_t{1} << 22);
        return true;
    }();
    (void)once;
}

template <typename Decoder>
int DecodeInput(const std::uint8_t* data, std::size_t size) {
    LimitPictureSize();
    Decoder decoder;
    // Both bitmap kinds the program decodes into: the texture loader's
    // plain bitmap at 32 bits, and the preview's packed one.
    PlainBitmap plain;
    try {
        decoder.DecodeFromMemory(data, size, plain, 32);
        if (plain.BitsPerPixel() != 32) __builtin_trap();
    } catch (const PLTextException&) {
    }
    if (plain.LockCount() != 0) __builtin_trap();
    if (size % 2 == 1) {
        DibBitmap dib;
        try {
            decoder.DecodeFromMemory(data, size, dib, 0);
        } catch (const PLTextException&) {
        }
    }
    return 0;
}

}  // namespace cs::fuzz

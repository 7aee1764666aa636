#pragma once
// Shared body of the imaging fuzz targets: decode the input from memory as
// the program does and let the sanitizers judge. Only PLTextException may
// come out of a decoder.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/bilinear_resize.h"
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

// Decoding resized on the way (as the texture loader does) must end as
// decoding whole and then resizing does: both fail, or both give the same
// bytes. The size comes from the input's last bytes.
template <typename Decoder>
void CompareResizedDecode(Decoder& decoder, const std::uint8_t* data, std::size_t size, const PlainBitmap* whole) {
    const PictureSize wanted{1 + (size > 0 ? data[size - 1] % 48 : 0), 1 + (size > 1 ? data[size - 2] % 48 : 0)};
    PlainBitmap expected;
    bool expectedOk = whole != nullptr;
    if (expectedOk) {
        try {
            if (wanted == PictureSize{whole->Width(), whole->Height()})
                expected.CreateCopy(*whole);
            else
                BilinearResize(wanted.width, wanted.height).Apply(*whole, expected);
        } catch (const PLTextException&) {
            expectedOk = false;  // a tall picture's scratch image can pass the lowered limit
        }
    }
    PlainBitmap resized;
    bool resizedOk = true;
    try {
        decoder.DecodeResizedFromMemory(data, size, resized, [&](std::int32_t, std::int32_t) { return wanted; });
    } catch (const PLTextException&) {
        resizedOk = false;
    }
    if (resizedOk != expectedOk || resized.LockCount() != 0) __builtin_trap();
    if (!resizedOk) return;
    if (resized.Width() != wanted.width || resized.Height() != wanted.height) __builtin_trap();
    for (int y = 0; y < wanted.height; ++y)
        if (std::memcmp(resized.Row(y), expected.Row(y), static_cast<std::size_t>(wanted.width) * 4) != 0)
            __builtin_trap();
}

template <typename Decoder>
int DecodeInput(const std::uint8_t* data, std::size_t size) {
    LimitPictureSize();
    Decoder decoder;
    // Both bitmap kinds the program decodes into: the texture loader's
    // plain bitmap at 32 bits, and the preview's packed one.
    PlainBitmap plain;
    bool plainOk = true;
    try {
        decoder.DecodeFromMemory(data, size, plain, 32);
        if (plain.BitsPerPixel() != 32) __builtin_trap();
    } catch (const PLTextException&) {
        plainOk = false;
    }
    if (plain.LockCount() != 0) __builtin_trap();
    CompareResizedDecode(decoder, data, size, plainOk ? &plain : nullptr);
    if (size % 2 == 1) {
        DibBitmap dib;
        try {
            decoder.DecodeFromMemory(data, size, dib, 0);
        } catch (const PLTextException&) {
        }
    }
    // The texture path's decode: at a reduced size where the format allows,
    // turned upright by an Exif orientation.
    PlainBitmap upright;
    try {
        decoder.DecodeUprightFromMemory(data, size, upright, [](std::int32_t w, std::int32_t h) {
            return PictureSize{1 + w % 40, 1 + h % 40};
        });
    } catch (const PLTextException&) {
    }
    if (upright.LockCount() != 0) __builtin_trap();
    return 0;
}

}  // namespace cs::fuzz

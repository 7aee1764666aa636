#pragma once
// A decoder that can hand over a picture's rows while it decodes them puts
// them into a RowReceiver, so that a large picture need never be held whole:
// the texture loader resamples each band of rows as it arrives.
#include <cstdint>
#include <functional>

#include "imaging/bitmap.h"

namespace cs {

class RowReceiver {
public:
    virtual ~RowReceiver() = default;
    // Before Begin, a decoder that can decode at 1/2, 1/4 or 1/8 of the size
    // as cheaply as it decodes (JPEG's DCT scaling) asks by how much it may
    // reduce a width x height picture. Begin then gets the reduced size,
    // each side rounded up, or a larger one where the decoder can give it
    // at the same cost (a JPEG at 1/4 instead of 1/8): any reduced picture
    // is one of block averages. 1: not at all.
    virtual int ReductionFor(std::int32_t width, std::int32_t height) { return 1; }
    // Once, before the first row: the picture's size, alpha flag and
    // resolution.
    virtual void Begin(std::int32_t width, std::int32_t height, bool hasAlpha, Resolution resolution) = 0;
    // The next `count` rows, top row first: 32 bits, B G R A, `width`
    // pixels each. The pointers are good only during the call.
    virtual void TakeRows(const std::uint8_t* const* rows, int count) = 0;
};

struct PictureSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// Whether a resized decode may decode a picture at a fraction of its size
// first. Reduced is far cheaper for a big JPEG going into a small texture;
// Full gives exactly the bytes of resizing the whole decode.
enum class DecodeScale { kFull, kReduced };

// Given the decoded picture's size, the size it is to be resampled to. It
// may throw to refuse the picture; the decode then stops with that exception
// before any row is decoded.
using SizeChooser = std::function<PictureSize(std::int32_t width, std::int32_t height)>;

}  // namespace cs

#pragma once
// Separable resampling of 32-bit bitmaps with a triangle kernel: every row
// to the new width into a scratch image, then every column to the new
// height. Both passes use integer weights that total 256.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/bitmap_filter.h"

namespace cs {

// One pass's weight table, old length to new length: for each output
// position the first input index and the weights of the inputs from there.
class ResizeWeights {
public:
    ResizeWeights(int old_length, int new_length);

    int size() const { return static_cast<int>(left_.size()); }
    int Left(int i) const { return left_[static_cast<std::size_t>(i)]; }
    int Right(int i) const { return Left(i) + Count(i) - 1; }
    int Count(int i) const { return count_[static_cast<std::size_t>(i)]; }
    const std::int32_t* Weights(int i) const { return weights_.data() + offset_[static_cast<std::size_t>(i)]; }

private:
    std::vector<int> left_;
    std::vector<int> count_;
    std::vector<std::size_t> offset_;
    std::vector<std::int32_t> weights_;
};

// The plain passes exist beside the vector ones so that tests and the
// benchmark can hold the fast path to the same bytes. kFast uses the best
// instructions the processor has; kBaselineVector only those every x86-64
// processor has (it is kFast's fallback). Elsewhere both are the plain passes.
enum class ResizePath { kReference, kBaselineVector, kFast };

// True when the vector paths are built in.
bool FastResizeAvailable();

// False when the scratch image for these sizes would pass the bitmap limit.
bool ResizeScratchFits(int src_height, int dst_width);

// Resamples 4-byte pixels between row tables. Sizes must be positive and
// the scratch must fit (ResizeScratchFits); the target rows must hold
// dst_width pixels each.
void ResizePixels(const std::uint8_t* const* src_rows, int src_width, int src_height, std::uint8_t* const* dst_rows,
                  int dst_width, int dst_height, ResizePath path = ResizePath::kFast);

class BilinearResize : public BitmapFilter {
public:
    BilinearResize(int new_width, int new_height, ResizePath path = ResizePath::kFast);

    using BitmapFilter::Apply;
    // Creates the target at the new size with the source's alpha flag and
    // resolution. Throws PLTextException: code 6 for a source that is not
    // 32 bits, code 2 for an empty source or new size, code 10 when the
    // target or the scratch image would pass the bitmap pixel limit.
    void Apply(const Bitmap& source, Bitmap& target) const override;

    int NewWidth() const { return new_width_; }
    int NewHeight() const { return new_height_; }

private:
    int new_width_;
    int new_height_;
    ResizePath path_;
};

}  // namespace cs

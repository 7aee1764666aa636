#pragma once
// Separable resampling of 32-bit bitmaps with a triangle kernel: every row
// to the new width into a scratch image, then every column to the new
// height. Both passes use integer weights that total 256. A picture that a
// decoder has already reduced by averaging blocks is resampled with weights
// made for block averages instead (block_average_weights.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "imaging/bitmap_filter.h"
#include "imaging/block_average_weights.h"
#include "imaging/row_receiver.h"

namespace cs {

// What the pixels of the picture to be resampled are: samples of the
// picture, or averages of blocks of a larger one (a JPEG decoded at a
// fraction of its size).
enum class ResizeSource { kSamples, kBlockAverages };

// One pass's weight table, old length to new length: for each output
// position the first input index and the weights of the inputs from there.
// The weights of samples are never negative; those of block averages can be.
class ResizeWeights {
public:
    ResizeWeights(int old_length, int new_length, ResizeSource source = ResizeSource::kSamples);

    bool HasNegativeWeights() const;

    int size() const { return static_cast<int>(left_.size()); }
    int Left(int i) const { return left_[static_cast<std::size_t>(i)]; }
    int Right(int i) const { return Left(i) + Count(i) - 1; }
    int Count(int i) const { return count_[static_cast<std::size_t>(i)]; }
    const std::int32_t* Weights(int i) const { return weights_.data() + offset_[static_cast<std::size_t>(i)]; }

private:
    void SetWeights(const std::vector<SpanWeights>& table);

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

// The two passes with the source rows arriving in bands: each band goes
// through the horizontal pass as it comes, into the scratch image (source
// height x new width), and Finish runs the vertical pass. However the rows
// are split into bands, the bytes are those of ResizePixels.
class RowResampler {
public:
    // Sizes must be positive (std::invalid_argument); std::bad_alloc when
    // the scratch image would pass the bitmap limit or cannot be allocated.
    // Block averages, whose weights can be negative, take vector passes of
    // their own (32-bit sums) unless `path` is kReference.
    RowResampler(int src_width, int src_height, int dst_width, int dst_height, ResizePath path = ResizePath::kFast,
                 ResizeSource source = ResizeSource::kSamples);
    ~RowResampler();
    RowResampler(const RowResampler&) = delete;
    RowResampler& operator=(const RowResampler&) = delete;

    // The next source rows, src_width pixels each; rows beyond the source
    // height are ignored.
    void AddRows(const std::uint8_t* const* rows, int count);
    int RowsAdded() const { return added_; }
    // Writes the dst_height rows of dst_width pixels. Source rows never
    // added count as transparent black.
    void Finish(std::uint8_t* const* dst_rows);

private:
    struct Passes;
    int src_height_;
    int dst_width_;
    ResizePath path_;
    int added_ = 0;
    std::unique_ptr<Passes> passes_;
    std::unique_ptr<std::uint8_t[]> scratch_;
};

// Resamples 4-byte pixels between row tables in one go. Sizes must be
// positive and the scratch must fit (ResizeScratchFits); the target rows
// must hold dst_width pixels each.
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

    // The refusals of Apply for a source of this size (which is 32 bits).
    static void CheckSizes(std::int32_t src_width, std::int32_t src_height, int new_width, int new_height);

private:
    int new_width_;
    int new_height_;
    ResizePath path_;
};

// The largest of 8, 4, 2 and 1 by which both sides of `decoded` can be
// divided and still be at least the sides of `fitted`: the resampler then
// only ever reduces, so the picture keeps its detail through the cheaper
// decode, and a picture smaller than twice the fitted size is never reduced.
int DecodeReductionFor(PictureSize decoded, PictureSize fitted);

// Makes the target from the rows a decoder hands over: resampled with
// BilinearResize to the size `choose` picks once the decoded size is known,
// or copied across when that is the decoded size. The bytes are those of
// decoding the whole picture and then applying BilinearResize, but only the
// scratch image between the passes is ever held, never the whole picture.
//
// With DecodeScale::kReduced it lets the decoder reduce the picture by the
// largest factor that keeps it at least the chosen size (DecodeReductionFor)
// and resamples the reduced rows, as block averages, to the size chosen for
// the whole picture.
class ResizingReceiver : public RowReceiver {
public:
    ResizingReceiver(Bitmap& target, SizeChooser choose, ResizePath path = ResizePath::kFast,
                     DecodeScale scale = DecodeScale::kFull);
    ~ResizingReceiver() override;

    // Chooses the size from the whole picture's size (what `choose` throws
    // passes on) and keeps it for Begin.
    int ReductionFor(std::int32_t width, std::int32_t height) override;
    // Creates the target at the chosen size with the picture's alpha flag
    // and resolution. Throws what `choose` throws, else as BilinearResize's
    // Apply does for the chosen size.
    void Begin(std::int32_t width, std::int32_t height, bool hasAlpha, Resolution resolution) override;
    void TakeRows(const std::uint8_t* const* rows, int count) override;
    // After the last row: the vertical pass into the target.
    void Finish();

private:
    Bitmap& target_;
    SizeChooser choose_;
    ResizePath path_;
    DecodeScale scale_;
    std::optional<PictureSize> chosen_;  // by ReductionFor, for Begin
    int reduction_ = 1;                  // granted by ReductionFor, for Begin
    std::int32_t copied_rows_ = 0;             // when the size is kept
    std::unique_ptr<RowResampler> resampler_;  // when it is not
};

}  // namespace cs

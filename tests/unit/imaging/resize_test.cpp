#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "imaging/bilinear_resize.h"
#include "imaging/bitmap.h"
#include "imaging/block_average_weights.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

Pixel32 At(const Bitmap& b, int x, int y) {
    Pixel32 p;
    std::memcpy(&p, b.Row(y) + 4 * x, 4);
    return p;
}

void Put(Bitmap& b, int x, int y, Pixel32 p) { std::memcpy(b.Row(y) + 4 * x, &p, 4); }

void FillRandom(Bitmap& b, std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    for (int y = 0; y < b.Height(); ++y)
        for (std::size_t i = 0; i < static_cast<std::size_t>(b.Width()) * 4; ++i)
            b.Row(y)[i] = static_cast<std::uint8_t>(byte(rng));
}

// Bitmaps own their storage and are not copied or moved.
using BitmapPtr = std::unique_ptr<PlainBitmap>;

BitmapPtr Make(int w, int h, bool alpha = false) {
    auto b = std::make_unique<PlainBitmap>();
    b->Create(w, h, 32, alpha);
    return b;
}

BitmapPtr Resized(const Bitmap& source, int w, int h, ResizePath path = ResizePath::kFast) {
    auto out = std::make_unique<PlainBitmap>();
    BilinearResize(w, h, path).Apply(source, *out);
    return out;
}

bool SamePixels(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), static_cast<std::size_t>(a.Width()) * 4) != 0) return false;
    return true;
}

// The same helpers for bitmaps held by pointer.
Pixel32 At(const BitmapPtr& b, int x, int y) { return At(*b, x, y); }
void Put(const BitmapPtr& b, int x, int y, Pixel32 p) { Put(*b, x, y, p); }
void FillRandom(const BitmapPtr& b, std::mt19937& rng) { FillRandom(*b, rng); }
BitmapPtr Resized(const BitmapPtr& source, int w, int h, ResizePath path = ResizePath::kFast) {
    return Resized(*source, w, h, path);
}
bool SamePixels(const BitmapPtr& a, const BitmapPtr& b) { return SamePixels(*a, *b); }
bool SamePixels(const BitmapPtr& a, const Bitmap& b) { return SamePixels(*a, b); }

std::vector<int> WeightsOf(const ResizeWeights& t, int i) {
    return std::vector<int>(t.Weights(i), t.Weights(i) + t.Count(i));
}

// --- weight tables ---------------------------------------------------------

TEST(ResizeWeights, SameSizeSelectsEachInputAlone) {
    const ResizeWeights t(7, 7);
    for (int i = 1; i < 6; ++i) {
        EXPECT_EQ(t.Left(i), i - 1);
        EXPECT_EQ(WeightsOf(t, i), (std::vector<int>{0, 256, 0}));
    }
}

TEST(ResizeWeights, HalvingAveragesPairs) {
    const ResizeWeights t(8, 4);
    for (int i = 0; i < 4; ++i) {
        const std::int32_t* w = t.Weights(i);
        int seen = 0;
        for (int k = 0; k < t.Count(i); ++k) {
            if (w[k] == 0) continue;
            EXPECT_EQ(w[k], 128);
            EXPECT_TRUE(t.Left(i) + k == 2 * i || t.Left(i) + k == 2 * i + 1);
            ++seen;
        }
        EXPECT_EQ(seen, 2);
    }
}

TEST(ResizeWeights, EveryEntryTotals256WithinTheInput) {
    for (int old_len : {1, 2, 3, 5, 17, 100, 1000, 6000}) {
        for (int new_len : {1, 2, 3, 7, 64, 341, 512, 4000}) {
            const ResizeWeights t(old_len, new_len);
            ASSERT_EQ(t.size(), new_len);
            for (int i = 0; i < new_len; ++i) {
                ASSERT_GE(t.Left(i), 0);
                ASSERT_LT(t.Right(i), old_len);
                int sum = 0;
                for (int k = 0; k < t.Count(i); ++k) {
                    ASSERT_GE(t.Weights(i)[k], 0);
                    sum += t.Weights(i)[k];
                }
                ASSERT_EQ(sum, 256) << old_len << " -> " << new_len << " at " << i;
            }
        }
    }
}

// Beyond a reduction of about 164 times every truncated weight is 0; the
// table must still spread the 256 over the neighbourhood, not give up.
TEST(ResizeWeights, ExtremeReductionStillAveragesTheNeighbourhood) {
    const ResizeWeights t(1000, 2);
    for (int i = 0; i < 2; ++i) {
        int largest = 0;
        int nonZero = 0;
        for (int k = 0; k < t.Count(i); ++k) {
            largest = std::max(largest, t.Weights(i)[k]);
            nonZero += t.Weights(i)[k] > 0;
        }
        EXPECT_LE(largest, 4);
        EXPECT_GT(nonZero, 100);
    }
}

// --- the filter on bitmaps -------------------------------------------------

TEST(BilinearResize, SameSizeReturnsThePictureUnchanged) {
    std::mt19937 rng(1);
    BitmapPtr source = Make(13, 9);
    FillRandom(source, rng);
    EXPECT_TRUE(SamePixels(Resized(source, 13, 9), *source));
    EXPECT_TRUE(SamePixels(Resized(source, 13, 9, ResizePath::kReference), *source));
}

TEST(BilinearResize, HalvingAveragesNeighboursAndDoublingRepeats) {
    BitmapPtr source = Make(4, 1);
    Put(source, 0, 0, Pixel32{0, 10, 100, 255});
    Put(source, 1, 0, Pixel32{1, 20, 201, 0});
    Put(source, 2, 0, Pixel32{50, 50, 50, 50});
    Put(source, 3, 0, Pixel32{60, 60, 60, 60});
    const BitmapPtr half = Resized(source, 2, 1);
    EXPECT_EQ(At(half, 0, 0), (Pixel32{1, 15, 151, 128}));  // (a + b + 1) / 2
    EXPECT_EQ(At(half, 1, 0), (Pixel32{55, 55, 55, 55}));

    const BitmapPtr twice = Resized(source, 8, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(At(twice, x, y), At(source, x / 2, 0)) << x;
}

TEST(BilinearResize, SinglePixelSourceFillsAnySize) {
    BitmapPtr dot = Make(1, 1);
    Put(dot, 0, 0, Pixel32{3, 2, 1, 9});
    for (auto [w, h] : {std::pair{1, 1}, {5, 1}, {1, 7}, {33, 17}}) {
        const BitmapPtr out = Resized(dot, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(At(out, x, y), (Pixel32{3, 2, 1, 9}));
    }
    BitmapPtr column = Make(1, 6);
    for (int y = 0; y < 6; ++y) Put(column, 0, y, Pixel32{static_cast<std::uint8_t>(y * 40), 0, 0, 0});
    const BitmapPtr wide = Resized(column, 9, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(At(wide, x, y), At(column, 0, y));
}

TEST(BilinearResize, ExtremeReductionKeepsTheColour) {
    BitmapPtr strip = Make(600, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 600; ++x) Put(strip, x, y, Pixel32{200, 100, 50, 255});
    const BitmapPtr dot = Resized(strip, 1, 1);
    EXPECT_EQ(At(dot, 0, 0), (Pixel32{200, 100, 50, 255}));
}

TEST(BilinearResize, AlphaFlagAndResolutionCarryOver) {
    PlainBitmap source;
    source.Create(6, 4, 32, true, Resolution{72, 96});
    const BitmapPtr out = Resized(source, 3, 8);
    EXPECT_TRUE(out->HasAlpha());
    EXPECT_EQ(out->GetResolution(), (Resolution{72, 96}));
    EXPECT_EQ(out->BitsPerPixel(), 32);
    source.Create(6, 4, 32, false);
    EXPECT_FALSE(Resized(source, 3, 8)->HasAlpha());
}

TEST(BilinearResize, InPlaceKeepsTheBitmapsClass) {
    std::mt19937 rng(2);
    DibBitmap dib;
    dib.Create(10, 7, 32, false);
    FillRandom(dib, rng);
    PlainBitmap copy;
    copy.CreateCopy(dib);
    dib.ApplyFilter(BilinearResize(5, 3));
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_TRUE(SamePixels(Resized(copy, 5, 3), dib));
    // Source and target the same object is an in-place resize too.
    BilinearResize(20, 2).Apply(copy, copy);
    EXPECT_EQ(copy.Width(), 20);
}

TEST(BilinearResize, RefusesWhatItCannotResize) {
    PlainBitmap grey;
    grey.Create(4, 4, 8, false);
    PlainBitmap out;
    try {
        BilinearResize(2, 2).Apply(grey, out);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 6);
    }
    BitmapPtr source = Make(4, 4);
    for (auto [w, h] : {std::pair{0, 3}, {3, 0}, {-1, 5}}) {
        try {
            BilinearResize(w, h).Apply(*source, out);
            FAIL();
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.GetCode(), 2);
            EXPECT_STREQ(e.GetText(), "Decoder error: Invalid image dimensions.\n");
        }
    }
    // The scratch image (source height x new width) counts against the
    // bitmap limit as well as the result does.
    BitmapPtr tall = Make(1, 70000);
    try {
        BilinearResize(5000, 1).Apply(*tall, out);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 10);
        EXPECT_STREQ(e.GetText(), "Decoder error: Out of memory creating bitmap.\n");
    }
}

// The vector passes (with and without the processor's newer instructions)
// must give the plain passes' bytes for any pair of sizes.
void ExpectAllPathsAgree(const Bitmap& source, int w, int h) {
    const BitmapPtr plain = Resized(source, w, h, ResizePath::kReference);
    for (ResizePath path : {ResizePath::kFast, ResizePath::kBaselineVector}) {
        const BitmapPtr fast = Resized(source, w, h, path);
        ASSERT_TRUE(SamePixels(fast, plain)) << source.Width() << "x" << source.Height() << " -> " << w << "x" << h
                                             << (path == ResizePath::kFast ? " fast" : " baseline");
    }
}

TEST(BilinearResize, VectorPathsMatchTheReferenceOnRandomSizes) {
    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> small(1, 40);
    std::uniform_int_distribution<int> large(1, 700);
    for (int round = 0; round < 300; ++round) {
        const bool big = round % 4 == 0;
        const int sw = big ? large(rng) : small(rng);
        const int sh = small(rng);
        const int dw = round % 3 == 0 ? large(rng) : small(rng);
        const int dh = small(rng);
        BitmapPtr source = Make(sw, sh);
        FillRandom(source, rng);
        ASSERT_NO_FATAL_FAILURE(ExpectAllPathsAgree(*source, dw, dh));
    }
    // Edges: one-pixel sources and targets, odd widths, extreme factors.
    const int sizes[][4] = {{1, 1, 1, 1},   {1, 1, 17, 3},  {17, 3, 1, 1},     {3, 1, 1000, 1}, {1000, 1, 3, 1},
                            {5, 5, 4, 4},   {7, 3, 6, 5},   {2000, 3, 1, 1},   {331, 2, 3, 7},  {4, 4, 1023, 2},
                            {9, 2, 513, 1}, {513, 2, 9, 1}, {6000, 2, 512, 1}, {1, 9, 1, 500},  {3, 500, 2, 1},
                            {10, 3, 4, 3},  {25, 1, 10, 1}, {5, 2, 2, 1}};
    for (const auto& s : sizes) {
        BitmapPtr source = Make(s[0], s[1]);
        FillRandom(source, rng);
        ASSERT_NO_FATAL_FAILURE(ExpectAllPathsAgree(*source, s[2], s[3]));
    }
}

// Pixels of all 255 push the 16-bit sums to their largest.
TEST(BilinearResize, VectorPathsMatchTheReferenceOnSaturatedPixels) {
    for (auto [sw, dw] : {std::pair{7, 3}, {1000, 7}, {12, 5}, {5, 12}, {2, 1}}) {
        BitmapPtr source = Make(sw, 3);
        for (int y = 0; y < 3; ++y) std::memset(source->Row(y), 255, static_cast<std::size_t>(sw) * 4);
        ASSERT_NO_FATAL_FAILURE(ExpectAllPathsAgree(*source, dw, 2));
        const BitmapPtr out = Resized(source, dw, 2);
        EXPECT_EQ(At(out, dw - 1, 1), (Pixel32{255, 255, 255, 255}));
    }
}

// However the rows are split into bands, the bytes are those of one resize.
TEST(RowResampler, AnySplitIntoBandsGivesTheWholeResult) {
    std::mt19937 rng(1207);
    std::uniform_int_distribution<int> width(1, 300);
    std::uniform_int_distribution<int> height(1, 60);
    std::uniform_int_distribution<int> band(1, 9);
    const ResizePath paths[] = {ResizePath::kReference, ResizePath::kBaselineVector, ResizePath::kFast};
    for (int round = 0; round < 60; ++round) {
        const int sw = width(rng), sh = height(rng), dw = width(rng), dh = height(rng);
        const ResizePath path = paths[round % 3];
        BitmapPtr source = Make(sw, sh);
        FillRandom(source, rng);
        RowResampler resampler(sw, sh, dw, dh, path);
        for (int y = 0; y < sh;) {
            const int count = std::min(band(rng), sh - y);
            resampler.AddRows(source->RowTable() + y, count);
            y += count;
        }
        resampler.AddRows(source->RowTable(), 3);  // past the last row: ignored
        EXPECT_EQ(resampler.RowsAdded(), sh);
        BitmapPtr out = Make(dw, dh);
        resampler.Finish(out->RowTable());
        ASSERT_TRUE(SamePixels(out, Resized(source, dw, dh, path))) << sw << "x" << sh << " -> " << dw << "x" << dh;
    }
}

TEST(RowResampler, RowsNeverAddedCountAsTransparentBlack) {
    std::mt19937 rng(5);
    BitmapPtr source = Make(9, 6);
    FillRandom(source, rng);
    RowResampler resampler(9, 6, 4, 3);
    resampler.AddRows(source->RowTable(), 2);
    BitmapPtr out = Make(4, 3);
    resampler.Finish(out->RowTable());
    for (int y = 2; y < 6; ++y) std::memset(source->Row(y), 0, 9 * 4);
    EXPECT_TRUE(SamePixels(out, Resized(source, 4, 3)));
}

// --- block averages (a JPEG decoded at a fraction of its size) -------------

TEST(BlockAverageWeights, AveragesOfARampGiveTheRampsExactSpanAverages) {
    // Old pixel j holds the mean of 10u over [j, j + 1); the new pixel i must
    // get the mean of 10u over its own span, whatever the step, away from the
    // edges (where the profile is held flat).
    for (const auto& [old_length, new_length] : {std::pair{12, 8}, std::pair{750, 512}, std::pair{9, 7}}) {
        const auto table = BlockAverageWeights(old_length, new_length);
        ASSERT_EQ(table.size(), static_cast<std::size_t>(new_length));
        const double step = static_cast<double>(old_length) / new_length;
        for (int i = 0; i < new_length; ++i) {
            double total = 0.0, value = 0.0;
            for (std::size_t k = 0; k < table[i].weights.size(); ++k) {
                total += table[i].weights[k];
                value += table[i].weights[k] * (10.0 * (table[i].left + static_cast<int>(k)) + 5.0);
            }
            EXPECT_NEAR(total, 1.0, 1e-9);
            if (i * step >= 1.0 && (i + 1) * step <= old_length - 1.0) {
                EXPECT_NEAR(value, 10.0 * step * (i + 0.5), 1e-9) << old_length << " -> " << new_length << " at " << i;
            }
        }
    }
    // Same length: each pixel is its own block's mean again.
    const ResizeWeights same(5, 5, ResizeSource::kBlockAverages);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(WeightsOf(same, i), std::vector<int>{256}) << i;
}

TEST(RowResampler, BlockAveragesAreHeldInRangeAndAlikeOnEveryPath) {
    const auto resample = [](const BitmapPtr& source, int dw, int dh, ResizePath path) {
        RowResampler resampler(source->Width(), source->Height(), dw, dh, path, ResizeSource::kBlockAverages);
        resampler.AddRows(source->RowTable(), source->Height());
        BitmapPtr out = Make(dw, dh);
        resampler.Finish(out->RowTable());
        return out;
    };
    // A hard edge from 0 to 255: the negative weights overshoot on both
    // sides, which must end at 0 and 255, not wrap round.
    BitmapPtr edge = Make(64, 2);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 2; ++y) Put(edge, x, y, x < 29 ? Pixel32{0, 0, 0, 0} : Pixel32{255, 255, 255, 255});
    ASSERT_TRUE(ResizeWeights(64, 37, ResizeSource::kBlockAverages).HasNegativeWeights());
    for (const ResizePath path : {ResizePath::kReference, ResizePath::kFast}) {
        BitmapPtr out = resample(edge, 37, 1, path);
        for (int x = 1; x < 37; ++x) EXPECT_GE(At(out, x, 0).b, At(out, x - 1, 0).b) << x;
        EXPECT_EQ(At(out, 0, 0).b, 0);
        EXPECT_EQ(At(out, 36, 0).b, 255);
    }
    // Reductions of any size, as the decoders hand them over: the vector
    // passes give the plain passes' bytes.
    std::mt19937 rng(88);
    std::uniform_int_distribution<int> length(1, 90);
    for (int round = 0; round < 40; ++round) {
        const int sw = length(rng), sh = length(rng);
        const int dw = 1 + length(rng) % sw, dh = 1 + length(rng) % sh;
        BitmapPtr source = Make(sw, sh);
        FillRandom(source, rng);
        ASSERT_TRUE(SamePixels(resample(source, dw, dh, ResizePath::kFast),
                               resample(source, dw, dh, ResizePath::kReference)))
            << sw << "x" << sh << " -> " << dw << "x" << dh;
    }
}

TEST(RowResampler, RefusesSizesItCannotHold) {
    EXPECT_THROW(RowResampler(0, 1, 1, 1), std::invalid_argument);
    EXPECT_THROW(RowResampler(1, 1, 1, -2), std::invalid_argument);
    EXPECT_THROW(RowResampler(1, 70000, 5000, 1), std::bad_alloc);  // the scratch passes the bitmap limit
}

}  // namespace
}  // namespace cs

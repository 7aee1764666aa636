#include "imaging/bilinear_resize.h"

#include "imaging/pl_exception.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CS_RESIZE_SSE2 1
#endif

namespace cs {

namespace {

constexpr double kRadius = 0.64;

double Triangle(double x) {
    const double a = std::fabs(x);
    return a < kRadius ? kRadius - a : 0.0;
}


}  // namespace

ResizeWeights::ResizeWeights(int old_length, int new_length) {
    if (old_length <= 0 || new_length <= 0) return;
    const double scale = static_cast<double>(new_length) / static_cast<double>(old_length);
    double width = kRadius;
    double f = 1.0;
    if (scale < 1.0) {
        width = kRadius / scale;
        f = scale;
    }
    const std::int64_t window = 2 * static_cast<std::int64_t>(std::ceil(width)) + 1;

    left_.reserve(static_cast<std::size_t>(new_length));
    count_.reserve(static_cast<std::size_t>(new_length));
    offset_.reserve(static_cast<std::size_t>(new_length));
    std::vector<double> raw;
    for (int i = 0; i < new_length; ++i) {
        const double centre = (i + 0.5) / scale - 0.5;
        std::int64_t left = static_cast<std::int64_t>(std::floor(centre - width));
        if (left < 0) left = 0;
        std::int64_t right = static_cast<std::int64_t>(std::ceil(centre + width));
        if (right > old_length - 1) right = old_length - 1;
        if (right - left + 1 > window) {
            if (left < old_length)
                ++left;
            else
                --right;
        }
        const int n = static_cast<int>(right - left + 1);
        left_.push_back(static_cast<int>(left));
        count_.push_back(n);
        offset_.push_back(weights_.size());
        weights_.resize(weights_.size() + static_cast<std::size_t>(n));
        std::int32_t* w = weights_.data() + offset_.back();

        std::int32_t sum = 0;
        for (int k = 0; k < n; ++k) {
            w[k] = static_cast<std::int32_t>(Triangle((centre - static_cast<double>(left + k)) * f) * f * 256.0);
            sum += w[k];
        }
        if (sum > 0) {
            std::int32_t given = 0;
            for (int k = 0; k + 1 < n; ++k) {
                w[k] = w[k] * 256 / sum;
                given += w[k];
            }
            w[n - 1] = 256 - given;
            continue;
        }
        // Beyond a reduction of about 160 times every truncated weight is 0,
        // which would turn the picture black. Spread the 256 over the untruncated
        // kernel instead, rounding the running total so that no input is favoured.
        raw.assign(static_cast<std::size_t>(n), 0.0);
        double total = 0.0;
        for (int k = 0; k < n; ++k) {
            raw[static_cast<std::size_t>(k)] = Triangle((centre - static_cast<double>(left + k)) * f);
            total += raw[static_cast<std::size_t>(k)];
        }
        if (!(total > 0.0)) {
            // Cannot happen with a window that always reaches the nearest input;
            // fall back to that input rather than to black.
            std::int64_t nearest = static_cast<std::int64_t>(std::floor(centre + 0.5));
            if (nearest < left) nearest = left;
            if (nearest > right) nearest = right;
            for (int k = 0; k < n; ++k) w[k] = (left + k == nearest) ? 256 : 0;
            continue;
        }
        double running = 0.0;
        std::int32_t given = 0;
        for (int k = 0; k < n; ++k) {
            running += raw[static_cast<std::size_t>(k)];
            const std::int32_t edge =
                k + 1 == n ? 256 : static_cast<std::int32_t>(std::floor(running / total * 256.0 + 0.5));
            w[k] = edge - given;
            given = edge;
        }
    }
}

namespace {

// Plain version of both passes: one multiply-add per input pixel per byte.
void HorizontalReference(const std::uint8_t* const* src_rows, int rows, const ResizeWeights& t,
                         std::uint8_t* scratch) {
    const int n = t.size();
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* in = src_rows[y];
        std::uint8_t* out = scratch + static_cast<std::size_t>(y) * static_cast<std::size_t>(n) * 4;
        for (int i = 0; i < n; ++i) {
            const std::int32_t* w = t.Weights(i);
            const std::uint8_t* p = in + static_cast<std::size_t>(t.Left(i)) * 4;
            std::uint32_t acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < t.Count(i); ++k, p += 4)
                for (int c = 0; c < 4; ++c) acc[c] += static_cast<std::uint32_t>(w[k]) * p[c];
            for (int c = 0; c < 4; ++c) out[i * 4 + c] = static_cast<std::uint8_t>((acc[c] + 128) / 256);
        }
    }
}

void VerticalReference(const std::uint8_t* scratch, int width, const ResizeWeights& t,
                       std::uint8_t* const* dst_rows) {
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int i = 0; i < t.size(); ++i) {
        const std::int32_t* w = t.Weights(i);
        std::uint8_t* out = dst_rows[i];
        for (std::size_t b = 0; b < stride; ++b) {
            std::uint32_t acc = 0;
            const std::uint8_t* p = scratch + static_cast<std::size_t>(t.Left(i)) * stride + b;
            for (int k = 0; k < t.Count(i); ++k, p += stride) acc += static_cast<std::uint32_t>(w[k]) * *p;
            out[b] = static_cast<std::uint8_t>((acc + 128) / 256);
        }
    }
}

#if defined(CS_RESIZE_SSE2)

// The weights of an entry are non-negative and total 256, so every partial
// sum of weight x byte stays below 65536: 16-bit lanes hold the sums exactly,
// which is what makes the vector passes agree with the plain ones bit for bit.

// The horizontal pass reads four input pixels (16 bytes) per step. Each entry
// is trimmed of zero weights at both ends, widened to a multiple of four taps
// and shifted left where needed so that no load passes the end of the row;
// the widening taps get weight 0. An entry that cannot fit (a row shorter
// than its widened width) is computed the plain way.
// Eight 16-bit lanes as stored in tables (a vector of __m128i would lose its
// alignment attribute).
struct alignas(16) Lanes {
    std::int16_t v[8];
};

__m128i Load(const Lanes& lanes) { return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.v)); }

struct HorizontalPlan {
    struct Entry {
        int start;   // first input pixel read
        int groups;  // steps of four pixels; 0 means the plain way
        std::size_t weights;  // index of the entry's first weight vector
    };
    std::vector<Entry> entries;
    std::vector<Lanes> vectors;  // two per group: taps 0-1 and taps 2-3, each weight repeated over 4 lanes
};

HorizontalPlan PlanHorizontal(const ResizeWeights& t, int src_width) {
    HorizontalPlan plan;
    plan.entries.reserve(static_cast<std::size_t>(t.size()));
    for (int i = 0; i < t.size(); ++i) {
        const std::int32_t* w = t.Weights(i);
        int first = 0;
        int last = t.Count(i) - 1;
        while (first < last && w[first] == 0) ++first;
        while (last > first && w[last] == 0) --last;
        const int taps = last - first + 1;
        const int groups = (taps + 3) / 4;
        const int span = groups * 4;
        if (span > src_width) {
            plan.entries.push_back({t.Left(i), 0, 0});
            continue;
        }
        int start = t.Left(i) + first;
        if (start + span > src_width) start = src_width - span;
        plan.entries.push_back({start, groups, plan.vectors.size()});
        for (int g = 0; g < groups; ++g) {
            Lanes lanes[2];
            for (int q = 0; q < 4; ++q) {
                const int j = start + g * 4 + q - t.Left(i);  // index into the entry's weights
                const bool inside = j >= first && j <= last;
                const std::int16_t value = inside ? static_cast<std::int16_t>(w[j]) : 0;
                for (int c = 0; c < 4; ++c) lanes[q / 2].v[(q % 2) * 4 + c] = value;
            }
            plan.vectors.push_back(lanes[0]);
            plan.vectors.push_back(lanes[1]);
        }
    }
    return plan;
}

void HorizontalFast(const std::uint8_t* const* src_rows, int rows, int src_width, const ResizeWeights& t,
                    std::uint8_t* scratch) {
    const HorizontalPlan plan = PlanHorizontal(t, src_width);
    const int n = t.size();
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* in = src_rows[y];
        std::uint8_t* out = scratch + static_cast<std::size_t>(y) * static_cast<std::size_t>(n) * 4;
        for (int i = 0; i < n; ++i) {
            const HorizontalPlan::Entry& e = plan.entries[static_cast<std::size_t>(i)];
            if (e.groups == 0) {
                const std::int32_t* w = t.Weights(i);
                const std::uint8_t* p = in + static_cast<std::size_t>(t.Left(i)) * 4;
                std::uint32_t acc[4] = {0, 0, 0, 0};
                for (int k = 0; k < t.Count(i); ++k, p += 4)
                    for (int c = 0; c < 4; ++c) acc[c] += static_cast<std::uint32_t>(w[k]) * p[c];
                for (int c = 0; c < 4; ++c) out[i * 4 + c] = static_cast<std::uint8_t>((acc[c] + 128) / 256);
                continue;
            }
            const std::uint8_t* p = in + static_cast<std::size_t>(e.start) * 4;
            const Lanes* wv = plan.vectors.data() + e.weights;
            __m128i acc = _mm_setzero_si128();
            for (int g = 0; g < e.groups; ++g, p += 16, wv += 2) {
                const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                acc = _mm_add_epi16(acc, _mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), Load(wv[0])));
                acc = _mm_add_epi16(acc, _mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), Load(wv[1])));
            }
            // Lanes 0-3 hold the even taps' sums, lanes 4-7 the odd taps'.
            acc = _mm_add_epi16(acc, _mm_srli_si128(acc, 8));
            acc = _mm_srli_epi16(_mm_add_epi16(acc, half), 8);
            const std::int32_t pixel = _mm_cvtsi128_si32(_mm_packus_epi16(acc, acc));
            std::memcpy(out + static_cast<std::size_t>(i) * 4, &pixel, 4);
        }
    }
}

void VerticalFast(const std::uint8_t* scratch, int width, const ResizeWeights& t, std::uint8_t* const* dst_rows) {
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const std::size_t vector_bytes = stride & ~std::size_t{15};
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    std::vector<const std::uint8_t*> tap_rows;
    std::vector<Lanes> tap_weights;
    std::vector<std::int32_t> tap_values;
    for (int i = 0; i < t.size(); ++i) {
        const std::int32_t* w = t.Weights(i);
        tap_rows.clear();
        tap_weights.clear();
        tap_values.clear();
        for (int k = 0; k < t.Count(i); ++k) {
            if (w[k] == 0) continue;  // adds nothing to any sum
            tap_rows.push_back(scratch + static_cast<std::size_t>(t.Left(i) + k) * stride);
            Lanes lanes;
            for (std::int16_t& lane : lanes.v) lane = static_cast<std::int16_t>(w[k]);
            tap_weights.push_back(lanes);
            tap_values.push_back(w[k]);
        }
        const std::size_t taps = tap_rows.size();
        std::uint8_t* out = dst_rows[i];
        std::size_t b = 0;
        for (; b < vector_bytes; b += 16) {
            __m128i lo = _mm_setzero_si128();
            __m128i hi = _mm_setzero_si128();
            for (std::size_t k = 0; k < taps; ++k) {
                const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tap_rows[k] + b));
                const __m128i weight = Load(tap_weights[k]);
                lo = _mm_add_epi16(lo, _mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), weight));
                hi = _mm_add_epi16(hi, _mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), weight));
            }
            lo = _mm_srli_epi16(_mm_add_epi16(lo, half), 8);
            hi = _mm_srli_epi16(_mm_add_epi16(hi, half), 8);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(lo, hi));
        }
        for (; b < stride; ++b) {
            std::uint32_t acc = 0;
            for (std::size_t k = 0; k < taps; ++k) acc += static_cast<std::uint32_t>(tap_values[k]) * tap_rows[k][b];
            out[b] = static_cast<std::uint8_t>((acc + 128) / 256);
        }
    }
}

#endif  // CS_RESIZE_SSE2

}  // namespace

bool FastResizeAvailable() {
#if defined(CS_RESIZE_SSE2)
    return true;
#else
    return false;
#endif
}

// The bitmap limit also bounds the scratch image between the passes.
bool ResizeScratchFits(int src_height, int dst_width) {
    return src_height > 0 && dst_width > 0 &&
           static_cast<std::uint64_t>(src_height) * static_cast<std::uint64_t>(dst_width) <= BitmapPixelLimit();
}

void ResizePixels(const std::uint8_t* const* src_rows, int src_width, int src_height, std::uint8_t* const* dst_rows,
                  int dst_width, int dst_height, ResizePath path) {
    if (src_width <= 0 || src_height <= 0 || dst_width <= 0 || dst_height <= 0) return;
    if (!ResizeScratchFits(src_height, dst_width)) throw std::bad_alloc();
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(src_height) * static_cast<std::size_t>(dst_width) * 4);

    const ResizeWeights across(src_width, dst_width);
    const ResizeWeights down(src_height, dst_height);
#if defined(CS_RESIZE_SSE2)
    if (path == ResizePath::kFast) {
        HorizontalFast(src_rows, src_height, src_width, across, scratch.data());
        VerticalFast(scratch.data(), dst_width, down, dst_rows);
        return;
    }
#endif
    HorizontalReference(src_rows, src_height, across, scratch.data());
    VerticalReference(scratch.data(), dst_width, down, dst_rows);
}

BilinearResize::BilinearResize(int new_width, int new_height, ResizePath path)
    : new_width_(new_width), new_height_(new_height), path_(path) {}

void BilinearResize::Apply(const Bitmap& source, Bitmap& target) const {
    // Creating the target would free the source's pixels before they are read.
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    if (source.BitsPerPixel() != 32)
        ThrowDecoderErrorf(plerr::kNotSupported, "Can't resize a bitmap of %u bits per pixel.",
                           static_cast<unsigned>(source.BitsPerPixel()));
    if (source.Width() < 1 || source.Height() < 1 || new_width_ < 1 || new_height_ < 1)
        ThrowDecoderError(plerr::kMalformed, pltext::kBadDimensions);
    if (!ResizeScratchFits(source.Height(), new_width_))
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);

    target.Create(new_width_, new_height_, 32, source.HasAlpha(), source.GetResolution());
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(source.Height()));
    for (std::int32_t y = 0; y < source.Height(); ++y) rows[static_cast<std::size_t>(y)] = source.Row(y);
    BitmapLock lock(target, false, true);
    try {
        ResizePixels(rows.data(), source.Width(), source.Height(), target.RowTable(), new_width_, new_height_, path_);
    } catch (const std::bad_alloc&) {
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
    }
}

}  // namespace cs

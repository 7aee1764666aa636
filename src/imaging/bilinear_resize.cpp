#include "imaging/bilinear_resize.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

#include "imaging/block_average_weights.h"
#include "imaging/pl_exception.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <tmmintrin.h>
#define CS_RESIZE_SSE2 1
#endif

namespace cs {

namespace {

// The triangle kernel: r - |x| within the radius r, 0 beyond it.
constexpr double kRadius = 0.64;

double Triangle(double x) {
    const double a = std::fabs(x);
    return a < kRadius ? kRadius - a : 0.0;
}

}  // namespace

ResizeWeights::ResizeWeights(int old_length, int new_length, ResizeSource source) {
    if (old_length <= 0 || new_length <= 0) return;
    if (source == ResizeSource::kBlockAverages) {
        SetWeights(BlockAverageWeights(old_length, new_length));
        return;
    }
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

// Each entry's weights in 256ths, rounding the running total so that they
// still total 256 and no input is favoured.
void ResizeWeights::SetWeights(const std::vector<SpanWeights>& table) {
    for (const SpanWeights& span : table) {
        left_.push_back(span.left);
        count_.push_back(static_cast<int>(span.weights.size()));
        offset_.push_back(weights_.size());
        double running = 0.0;
        std::int32_t given = 0;
        for (std::size_t k = 0; k < span.weights.size(); ++k) {
            running += span.weights[k];
            const std::int32_t edge = k + 1 == span.weights.size()
                                          ? 256
                                          : static_cast<std::int32_t>(std::floor(running * 256.0 + 0.5));
            weights_.push_back(edge - given);
            given = edge;
        }
    }
}

bool ResizeWeights::HasNegativeWeights() const {
    return std::any_of(weights_.begin(), weights_.end(), [](std::int32_t w) { return w < 0; });
}

namespace {

// A sum of weight x byte in 256ths, rounded, within the bytes' range (only
// negative weights can take it outside).
std::uint8_t RoundedByte(std::int32_t sum) {
    return static_cast<std::uint8_t>(std::clamp((sum + 128) >> 8, 0, 255));
}

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
            std::int32_t acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < t.Count(i); ++k, p += 4)
                for (int c = 0; c < 4; ++c) acc[c] += w[k] * p[c];
            for (int c = 0; c < 4; ++c) out[i * 4 + c] = RoundedByte(acc[c]);
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
            std::int32_t acc = 0;
            const std::uint8_t* p = scratch + static_cast<std::size_t>(t.Left(i)) * stride + b;
            for (int k = 0; k < t.Count(i); ++k, p += stride) acc += w[k] * *p;
            out[b] = RoundedByte(acc);
        }
    }
}

#if defined(CS_RESIZE_SSE2)

#define CS_INLINE inline __attribute__((always_inline))
#define CS_INLINE_LAMBDA __attribute__((always_inline))

// The weights of an entry are non-negative and total 256, so every partial
// sum of weight x byte stays below 65536: 16-bit lanes hold the sums exactly,
// which is what makes the vector passes agree with the plain ones bit for bit.

// Eight 16-bit lanes or sixteen bytes as stored in tables (a vector of
// __m128i would lose its alignment attribute).
struct alignas(16) Lanes {
    std::int16_t v[8];
};
struct alignas(16) ByteLanes {
    std::int8_t v[16];
};

CS_INLINE __m128i Load(const Lanes& lanes) { return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.v)); }
CS_INLINE __m128i Load(const ByteLanes& lanes) { return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes.v)); }

// The horizontal pass reads four input pixels (16 bytes) per step. Each entry
// is trimmed of zero weights at both ends, widened to a multiple of four taps
// and shifted left where needed so that no load passes the end of the row;
// the widening taps get weight 0. An entry that cannot fit (a row shorter
// than its widened width) is computed the plain way.
//
// Each step has its weights twice: as 16-bit lanes for multiplying widened
// bytes (any weights), and as signed bytes for the SSSE3 byte-pair
// multiply-add, which is exact only while every weight is below 128 and each
// pair of neighbouring taps totals at most 128 (255 x 128 fits a signed
// 16-bit sum). Reductions by more than about 2.5 always qualify.
struct HorizontalPlan {
    struct Entry {
        int start;            // first input pixel read
        int groups;           // steps of four pixels; 0 means the plain way
        bool byte_weights;    // the byte-pair form is exact for this entry
        std::size_t weights;  // index of the entry's first step in both tables
    };
    std::vector<Entry> entries;
    std::vector<Lanes> wide;       // two per step: taps 0-1 and taps 2-3, each weight over 4 lanes
    std::vector<ByteLanes> bytes;  // one per step: w0 w1 repeated 4 times, then w2 w3 likewise
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
            plan.entries.push_back({t.Left(i), 0, false, 0});
            continue;
        }
        int start = t.Left(i) + first;
        if (start + span > src_width) start = src_width - span;
        HorizontalPlan::Entry entry{start, groups, true, plan.wide.size() / 2};
        for (int g = 0; g < groups; ++g) {
            std::int32_t tap[4];
            for (int q = 0; q < 4; ++q) {
                const int j = start + g * 4 + q - t.Left(i);  // index into the entry's weights
                tap[q] = j >= first && j <= last ? w[j] : 0;
            }
            Lanes lanes[2];
            ByteLanes pairs;
            for (int q = 0; q < 4; ++q) {
                for (int c = 0; c < 4; ++c) {
                    lanes[q / 2].v[(q % 2) * 4 + c] = static_cast<std::int16_t>(tap[q]);
                    pairs.v[(q / 2) * 8 + c * 2 + q % 2] = static_cast<std::int8_t>(tap[q] & 0x7F);
                }
            }
            for (int q = 0; q < 4; q += 2)
                if (tap[q] > 127 || tap[q + 1] > 127 || tap[q] + tap[q + 1] > 128) entry.byte_weights = false;
            plan.wide.push_back(lanes[0]);
            plan.wide.push_back(lanes[1]);
            plan.bytes.push_back(pairs);
        }
        plan.entries.push_back(entry);
    }
    return plan;
}

// One output pixel of one row the plain way, for entries the plan could not widen.
void HorizontalPixelPlain(const std::uint8_t* in, const ResizeWeights& t, int i, std::uint8_t* out) {
    const std::int32_t* w = t.Weights(i);
    const std::uint8_t* p = in + static_cast<std::size_t>(t.Left(i)) * 4;
    std::int32_t acc[4] = {0, 0, 0, 0};
    for (int k = 0; k < t.Count(i); ++k, p += 4)
        for (int c = 0; c < 4; ++c) acc[c] += w[k] * p[c];
    for (int c = 0; c < 4; ++c) out[c] = RoundedByte(acc[c]);
}

// Two rows at a time share each weight load and give the processor two
// independent chains of multiply-adds. Both accumulators end with the even
// taps' sums in lanes 0-3 and the odd taps' in lanes 4-7.
CS_INLINE void AccumulateWide(const std::uint8_t* p0, const std::uint8_t* p1, const Lanes* wv, int groups,
                              __m128i& acc0, __m128i& acc1) {
    const __m128i zero = _mm_setzero_si128();
    for (int g = 0; g < groups; ++g, p0 += 16, p1 += 16, wv += 2) {
        const __m128i w01 = Load(wv[0]);
        const __m128i w23 = Load(wv[1]);
        const __m128i px0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p0));
        const __m128i px1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p1));
        acc0 = _mm_add_epi16(acc0, _mm_mullo_epi16(_mm_unpacklo_epi8(px0, zero), w01));
        acc1 = _mm_add_epi16(acc1, _mm_mullo_epi16(_mm_unpacklo_epi8(px1, zero), w01));
        acc0 = _mm_add_epi16(acc0, _mm_mullo_epi16(_mm_unpackhi_epi8(px0, zero), w23));
        acc1 = _mm_add_epi16(acc1, _mm_mullo_epi16(_mm_unpackhi_epi8(px1, zero), w23));
    }
}

CS_INLINE void StorePair(__m128i acc0, __m128i acc1, std::uint8_t* out0, std::uint8_t* out1) {
    acc0 = _mm_add_epi16(acc0, _mm_srli_si128(acc0, 8));
    acc1 = _mm_add_epi16(acc1, _mm_srli_si128(acc1, 8));
    __m128i both = _mm_unpacklo_epi64(acc0, acc1);
    both = _mm_srli_epi16(_mm_add_epi16(both, _mm_set1_epi16(128)), 8);
    both = _mm_packus_epi16(both, both);
    const std::int32_t pixel0 = _mm_cvtsi128_si32(both);
    const std::int32_t pixel1 = _mm_cvtsi128_si32(_mm_srli_si128(both, 4));
    std::memcpy(out0, &pixel0, 4);
    std::memcpy(out1, &pixel1, 4);
}

// Walks the rows in pairs (an odd last row is paired with itself, its twin
// result dropped) and the entries of each pair; `vector_entry` fills the two
// accumulators of an entry the plan widened.
template <typename VectorEntry>
CS_INLINE void HorizontalRowPairs(const std::uint8_t* const* src_rows, int rows, const ResizeWeights& t,
                                  const HorizontalPlan& plan, std::uint8_t* scratch, VectorEntry vector_entry) {
    const int n = t.size();
    const std::size_t out_stride = static_cast<std::size_t>(n) * 4;
    std::uint8_t dropped[4];
    for (int y = 0; y < rows; y += 2) {
        const bool pair = y + 1 < rows;
        const std::uint8_t* in0 = src_rows[y];
        const std::uint8_t* in1 = pair ? src_rows[y + 1] : in0;
        std::uint8_t* out0 = scratch + static_cast<std::size_t>(y) * out_stride;
        std::uint8_t* out1 = pair ? out0 + out_stride : nullptr;
        for (int i = 0; i < n; ++i) {
            const HorizontalPlan::Entry& e = plan.entries[static_cast<std::size_t>(i)];
            std::uint8_t* o0 = out0 + static_cast<std::size_t>(i) * 4;
            std::uint8_t* o1 = pair ? out1 + static_cast<std::size_t>(i) * 4 : dropped;
            if (e.groups == 0) {
                HorizontalPixelPlain(in0, t, i, o0);
                HorizontalPixelPlain(in1, t, i, o1);
                continue;
            }
            const std::size_t offset = static_cast<std::size_t>(e.start) * 4;
            __m128i acc0 = _mm_setzero_si128();
            __m128i acc1 = _mm_setzero_si128();
            vector_entry(e, in0 + offset, in1 + offset, acc0, acc1);
            StorePair(acc0, acc1, o0, o1);
        }
    }
}

void HorizontalSse2(const std::uint8_t* const* src_rows, int rows, const ResizeWeights& t, const HorizontalPlan& plan,
                    std::uint8_t* scratch) {
    HorizontalRowPairs(src_rows, rows, t, plan, scratch,
                       [&](const HorizontalPlan::Entry& e, const std::uint8_t* p0, const std::uint8_t* p1,
                           __m128i& acc0, __m128i& acc1) CS_INLINE_LAMBDA {
                           AccumulateWide(p0, p1, plan.wide.data() + 2 * e.weights, e.groups, acc0, acc1);
                       });
}

#if defined(__GNUC__)
#define CS_HAVE_SSSE3_PATH 1

// The byte pairs of four pixels side by side: B0 B1 G0 G1 R0 R1 A0 A1, then
// the same for pixels 2 and 3, to match ByteLanes.
__attribute__((target("ssse3"))) void AccumulatePairs(const std::uint8_t* p0, const std::uint8_t* p1,
                                                      const ByteLanes* wv, int groups, __m128i& acc0,
                                                      __m128i& acc1) {
    const __m128i order = _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    for (int g = 0; g < groups; ++g, p0 += 16, p1 += 16, ++wv) {
        const __m128i w = Load(*wv);
        const __m128i px0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p0)), order);
        const __m128i px1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p1)), order);
        acc0 = _mm_add_epi16(acc0, _mm_maddubs_epi16(px0, w));
        acc1 = _mm_add_epi16(acc1, _mm_maddubs_epi16(px1, w));
    }
}

__attribute__((target("ssse3"))) void HorizontalSsse3(const std::uint8_t* const* src_rows, int rows,
                                                      const ResizeWeights& t, const HorizontalPlan& plan,
                                                      std::uint8_t* scratch) {
    HorizontalRowPairs(src_rows, rows, t, plan, scratch,
                       [&](const HorizontalPlan::Entry& e, const std::uint8_t* p0, const std::uint8_t* p1,
                           __m128i& acc0, __m128i& acc1) CS_INLINE_LAMBDA {
                           if (e.byte_weights)
                               AccumulatePairs(p0, p1, plan.bytes.data() + e.weights, e.groups, acc0, acc1);
                           else
                               AccumulateWide(p0, p1, plan.wide.data() + 2 * e.weights, e.groups, acc0, acc1);
                       });
}

bool HaveSsse3() {
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return have;
}
#endif

void HorizontalFast(const std::uint8_t* const* src_rows, int rows, const ResizeWeights& t, const HorizontalPlan& plan,
                    std::uint8_t* scratch, bool allow_ssse3) {
#if defined(CS_HAVE_SSSE3_PATH)
    if (allow_ssse3 && HaveSsse3()) {
        HorizontalSsse3(src_rows, rows, t, plan, scratch);
        return;
    }
#endif
    HorizontalSse2(src_rows, rows, t, plan, scratch);
}

// The scratch rows that output row i reads, with their weights; rows of
// weight 0 add nothing to any sum and are left out.
void CollectTaps(const std::uint8_t* scratch, std::size_t stride, const ResizeWeights& t, int i,
                 std::vector<const std::uint8_t*>& rows, std::vector<std::int32_t>& values) {
    const std::int32_t* w = t.Weights(i);
    rows.clear();
    values.clear();
    for (int k = 0; k < t.Count(i); ++k) {
        if (w[k] == 0) continue;
        rows.push_back(scratch + static_cast<std::size_t>(t.Left(i) + k) * stride);
        values.push_back(w[k]);
    }
}

// The bytes from `from` to the end of an output row the plain way.
void VerticalTailPlain(const std::vector<const std::uint8_t*>& rows, const std::vector<std::int32_t>& values,
                       std::size_t from, std::size_t stride, std::uint8_t* out) {
    for (std::size_t b = from; b < stride; ++b) {
        std::int32_t acc = 0;
        for (std::size_t k = 0; k < rows.size(); ++k) acc += values[k] * rows[k][b];
        out[b] = RoundedByte(acc);
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
        CollectTaps(scratch, stride, t, i, tap_rows, tap_values);
        tap_weights.clear();
        for (const std::int32_t value : tap_values) {
            Lanes lanes;
            for (std::int16_t& lane : lanes.v) lane = static_cast<std::int16_t>(value);
            tap_weights.push_back(lanes);
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
        VerticalTailPlain(tap_rows, tap_values, b, stride, out);
    }
}

// Weights that can be negative (block averages) would take the 16-bit sums
// above out of range, so these passes multiply-add pairs of neighbouring
// taps into 32-bit sums, and the packing clamps to a byte as RoundedByte does:
// the bytes are the plain passes' bytes.
struct SignedPlan {
    struct Entry {
        int start;            // first input pixel read
        int pairs;            // pairs of taps; 0 means the plain way
        std::size_t weights;  // index of the entry's first pair
    };
    std::vector<Entry> entries;
    std::vector<Lanes> pair_weights;  // w0 w1 repeated 4 times, to match InterleavedPair
};

SignedPlan PlanSigned(const ResizeWeights& t, int src_width) {
    SignedPlan plan;
    plan.entries.reserve(static_cast<std::size_t>(t.size()));
    for (int i = 0; i < t.size(); ++i) {
        const std::int32_t* w = t.Weights(i);
        const int pairs = (t.Count(i) + 1) / 2;
        if (pairs * 2 > src_width) {
            plan.entries.push_back({t.Left(i), 0, 0});
            continue;
        }
        // An odd tap count reads one more pixel, with weight 0, on the side
        // that stays within the row.
        int start = t.Left(i);
        if (start + pairs * 2 > src_width) start = src_width - pairs * 2;
        plan.entries.push_back({start, pairs, plan.pair_weights.size()});
        const auto tap = [&](int at) {
            const int j = at - t.Left(i);
            return j >= 0 && j < t.Count(i) ? w[j] : 0;
        };
        for (int p = 0; p < pairs; ++p) {
            Lanes lanes;
            for (int c = 0; c < 4; ++c) {
                lanes.v[c * 2] = static_cast<std::int16_t>(tap(start + p * 2));
                lanes.v[c * 2 + 1] = static_cast<std::int16_t>(tap(start + p * 2 + 1));
            }
            plan.pair_weights.push_back(lanes);
        }
    }
    return plan;
}

// Four 32-bit sums in 256ths to bytes: rounded, shifted, clamped.
CS_INLINE __m128i RoundedSums(__m128i sums) {
    return _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(128)), 8);
}

void HorizontalSigned(const std::uint8_t* const* src_rows, int rows, const ResizeWeights& t, const SignedPlan& plan,
                      std::uint8_t* scratch) {
    const __m128i zero = _mm_setzero_si128();
    const int n = t.size();
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* in = src_rows[y];
        std::uint8_t* out = scratch + static_cast<std::size_t>(y) * static_cast<std::size_t>(n) * 4;
        for (int i = 0; i < n; ++i) {
            const SignedPlan::Entry& e = plan.entries[static_cast<std::size_t>(i)];
            if (e.pairs == 0) {
                HorizontalPixelPlain(in, t, i, out + static_cast<std::size_t>(i) * 4);
                continue;
            }
            const std::uint8_t* p = in + static_cast<std::size_t>(e.start) * 4;
            const Lanes* wv = plan.pair_weights.data() + e.weights;
            __m128i sums = zero;
            for (int k = 0; k < e.pairs; ++k, p += 8) {
                // B0 G0 R0 A0 B1 G1 R1 A1 widened, then paired: B0 B1 G0 G1 R0 R1 A0 A1.
                const __m128i two = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
                const __m128i paired = _mm_unpacklo_epi16(two, _mm_srli_si128(two, 8));
                sums = _mm_add_epi32(sums, _mm_madd_epi16(paired, Load(wv[k])));
            }
            const __m128i words = _mm_packs_epi32(RoundedSums(sums), zero);
            const std::int32_t pixel = _mm_cvtsi128_si32(_mm_packus_epi16(words, zero));
            std::memcpy(out + static_cast<std::size_t>(i) * 4, &pixel, 4);
        }
    }
}

void VerticalSigned(const std::uint8_t* scratch, int width, const ResizeWeights& t, std::uint8_t* const* dst_rows) {
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const std::size_t vector_bytes = stride & ~std::size_t{15};
    const __m128i zero = _mm_setzero_si128();
    std::vector<const std::uint8_t*> tap_rows;
    std::vector<std::int32_t> tap_values;
    std::vector<Lanes> pair_weights;
    for (int i = 0; i < t.size(); ++i) {
        CollectTaps(scratch, stride, t, i, tap_rows, tap_values);
        if (tap_rows.size() % 2 != 0) {  // the odd one out pairs with a row of weight 0
            tap_rows.push_back(tap_rows.front());
            tap_values.push_back(0);
        }
        pair_weights.clear();
        for (std::size_t k = 0; k < tap_rows.size(); k += 2) {
            Lanes lanes;
            for (int c = 0; c < 4; ++c) {
                lanes.v[c * 2] = static_cast<std::int16_t>(tap_values[k]);
                lanes.v[c * 2 + 1] = static_cast<std::int16_t>(tap_values[k + 1]);
            }
            pair_weights.push_back(lanes);
        }
        std::uint8_t* out = dst_rows[i];
        std::size_t b = 0;
        for (; b < vector_bytes; b += 16) {
            __m128i sums[4] = {zero, zero, zero, zero};
            for (std::size_t k = 0; k < tap_rows.size(); k += 2) {
                const __m128i upper = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tap_rows[k] + b));
                const __m128i lower = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tap_rows[k + 1] + b));
                const __m128i weights = Load(pair_weights[k / 2]);
                const __m128i low_bytes = _mm_unpacklo_epi8(upper, lower);
                const __m128i high_bytes = _mm_unpackhi_epi8(upper, lower);
                sums[0] = _mm_add_epi32(sums[0], _mm_madd_epi16(_mm_unpacklo_epi8(low_bytes, zero), weights));
                sums[1] = _mm_add_epi32(sums[1], _mm_madd_epi16(_mm_unpackhi_epi8(low_bytes, zero), weights));
                sums[2] = _mm_add_epi32(sums[2], _mm_madd_epi16(_mm_unpacklo_epi8(high_bytes, zero), weights));
                sums[3] = _mm_add_epi32(sums[3], _mm_madd_epi16(_mm_unpackhi_epi8(high_bytes, zero), weights));
            }
            const __m128i low = _mm_packs_epi32(RoundedSums(sums[0]), RoundedSums(sums[1]));
            const __m128i high = _mm_packs_epi32(RoundedSums(sums[2]), RoundedSums(sums[3]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(low, high));
        }
        VerticalTailPlain(tap_rows, tap_values, b, stride, out);
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

struct RowResampler::Passes {
    Passes(int src_width, int src_height, int dst_width, int dst_height, ResizeSource source)
        : across(src_width, dst_width, source), down(src_height, dst_height, source) {}
    ResizeWeights across;
    ResizeWeights down;
    bool signed_weights = false;  // some weight is negative
#if defined(CS_RESIZE_SSE2)
    HorizontalPlan plan;  // only for the vector paths
    SignedPlan signed_plan;  // only for the vector paths with signed weights
#endif
};

RowResampler::RowResampler(int src_width, int src_height, int dst_width, int dst_height, ResizePath path,
                           ResizeSource source)
    : src_height_(src_height), dst_width_(dst_width), path_(path) {
    if (src_width <= 0 || src_height <= 0 || dst_width <= 0 || dst_height <= 0)
        throw std::invalid_argument("resampling needs positive sizes");
    if (!ResizeScratchFits(src_height, dst_width)) throw std::bad_alloc();
    passes_ = std::make_unique<Passes>(src_width, src_height, dst_width, dst_height, source);
    passes_->signed_weights = passes_->across.HasNegativeWeights() || passes_->down.HasNegativeWeights();
#if defined(CS_RESIZE_SSE2)
    if (path_ != ResizePath::kReference) {
        if (passes_->signed_weights)
            passes_->signed_plan = PlanSigned(passes_->across, src_width);
        else
            passes_->plan = PlanHorizontal(passes_->across, src_width);
    }
#endif
    // Every byte is written by the first pass (or Finish) before the second reads it.
    scratch_ = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(src_height) *
                                                              static_cast<std::size_t>(dst_width) * 4);
}

RowResampler::~RowResampler() = default;

void RowResampler::AddRows(const std::uint8_t* const* rows, int count) {
    count = std::min(count, src_height_ - added_);
    if (count <= 0) return;
    std::uint8_t* scratch = scratch_.get() + static_cast<std::size_t>(added_) * static_cast<std::size_t>(dst_width_) * 4;
    added_ += count;
#if defined(CS_RESIZE_SSE2)
    if (path_ != ResizePath::kReference && passes_->signed_weights) {
        HorizontalSigned(rows, count, passes_->across, passes_->signed_plan, scratch);
        return;
    }
    if (path_ != ResizePath::kReference) {
        HorizontalFast(rows, count, passes_->across, passes_->plan, scratch, path_ == ResizePath::kFast);
        return;
    }
#endif
    HorizontalReference(rows, count, passes_->across, scratch);
}

void RowResampler::Finish(std::uint8_t* const* dst_rows) {
    const std::size_t stride = static_cast<std::size_t>(dst_width_) * 4;
    std::memset(scratch_.get() + static_cast<std::size_t>(added_) * stride, 0,
                static_cast<std::size_t>(src_height_ - added_) * stride);
#if defined(CS_RESIZE_SSE2)
    if (path_ != ResizePath::kReference) {
        if (passes_->signed_weights)
            VerticalSigned(scratch_.get(), dst_width_, passes_->down, dst_rows);
        else
            VerticalFast(scratch_.get(), dst_width_, passes_->down, dst_rows);
        return;
    }
#endif
    VerticalReference(scratch_.get(), dst_width_, passes_->down, dst_rows);
}

void ResizePixels(const std::uint8_t* const* src_rows, int src_width, int src_height, std::uint8_t* const* dst_rows,
                  int dst_width, int dst_height, ResizePath path) {
    if (src_width <= 0 || src_height <= 0 || dst_width <= 0 || dst_height <= 0) return;
    RowResampler resampler(src_width, src_height, dst_width, dst_height, path);
    resampler.AddRows(src_rows, src_height);
    resampler.Finish(dst_rows);
}

BilinearResize::BilinearResize(int new_width, int new_height, ResizePath path)
    : new_width_(new_width), new_height_(new_height), path_(path) {}

void BilinearResize::CheckSizes(std::int32_t src_width, std::int32_t src_height, int new_width, int new_height) {
    if (src_width < 1 || src_height < 1 || new_width < 1 || new_height < 1)
        ThrowDecoderError(plerr::kMalformed, pltext::kBadDimensions);
    if (!ResizeScratchFits(src_height, new_width)) ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
}

void BilinearResize::Apply(const Bitmap& source, Bitmap& target) const {
    // Creating the target would free the source's pixels before they are read.
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    if (source.BitsPerPixel() != 32)
        ThrowDecoderErrorf(plerr::kNotSupported, "Can't resize a bitmap of %u bits per pixel.",
                           static_cast<unsigned>(source.BitsPerPixel()));
    CheckSizes(source.Width(), source.Height(), new_width_, new_height_);

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

int DecodeReductionFor(PictureSize decoded, PictureSize fitted) {
    for (int factor : {8, 4, 2}) {
        if (std::int64_t{decoded.width} >= std::int64_t{factor} * fitted.width &&
            std::int64_t{decoded.height} >= std::int64_t{factor} * fitted.height)
            return factor;
    }
    return 1;
}

ResizingReceiver::ResizingReceiver(Bitmap& target, SizeChooser choose, ResizePath path, DecodeScale scale)
    : target_(target), choose_(std::move(choose)), path_(path), scale_(scale) {}

ResizingReceiver::~ResizingReceiver() = default;

int ResizingReceiver::ReductionFor(std::int32_t width, std::int32_t height) {
    chosen_ = choose_(width, height);
    reduction_ = scale_ == DecodeScale::kReduced ? DecodeReductionFor({width, height}, *chosen_) : 1;
    return reduction_;
}

void ResizingReceiver::Begin(std::int32_t width, std::int32_t height, bool hasAlpha, Resolution resolution) {
    const PictureSize size = chosen_ ? *chosen_ : choose_(width, height);
    const ResizeSource source = chosen_ && reduction_ > 1 ? ResizeSource::kBlockAverages : ResizeSource::kSamples;
    chosen_.reset();
    reduction_ = 1;
    copied_rows_ = 0;
    resampler_.reset();
    if (size != PictureSize{width, height}) {
        BilinearResize::CheckSizes(width, height, size.width, size.height);
        try {
            resampler_ = std::make_unique<RowResampler>(width, height, size.width, size.height, path_, source);
        } catch (const std::bad_alloc&) {
            ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
        }
    }
    target_.Create(size.width, size.height, 32, hasAlpha, resolution);
}

void ResizingReceiver::TakeRows(const std::uint8_t* const* rows, int count) {
    if (resampler_ != nullptr) {
        resampler_->AddRows(rows, count);
        return;
    }
    // The size is kept: the rows go straight across.
    BitmapLock lock(target_, false, true);
    const std::size_t bytes = Bitmap::RowBytes(target_.Width(), 32);
    for (int i = 0; i < count && copied_rows_ < target_.Height(); ++i)
        std::memcpy(target_.Row(copied_rows_++), rows[i], bytes);
}

void ResizingReceiver::Finish() {
    if (resampler_ == nullptr) return;
    BitmapLock lock(target_, false, true);
    resampler_->Finish(target_.RowTable());
    resampler_.reset();
}

}  // namespace cs

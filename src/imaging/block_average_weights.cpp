#include "imaging/block_average_weights.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <utility>

namespace cs {

namespace {

// The profile at position u (old pixel j spans [j, j + 1)) as weights of the
// old pixels: the line through the neighbouring centres, plus the pixel's own
// value less the mean that line has over the pixel. That mean is
// 1/8, 3/4, 1/8 of the pixel and its two neighbours, the edges clamped as the
// line is.
void AddProfile(double u, double amount, int length, std::map<int, double>& into) {
    const auto clamp = [length](int j) { return std::clamp(j, 0, length - 1); };
    const double t = u - 0.5;
    const int below = static_cast<int>(std::floor(t));
    const double fraction = t - below;
    into[clamp(below)] += amount * (1.0 - fraction);
    into[clamp(below + 1)] += amount * fraction;
    const int own = clamp(static_cast<int>(std::floor(u)));
    into[own] += amount;
    into[clamp(own - 1)] -= amount * 0.125;
    into[own] -= amount * 0.75;
    into[clamp(own + 1)] -= amount * 0.125;
}

}  // namespace

std::vector<SpanWeights> BlockAverageWeights(int old_length, int new_length) {
    std::vector<SpanWeights> table;
    if (old_length <= 0 || new_length <= 0) return table;
    table.reserve(static_cast<std::size_t>(new_length));
    const double step = static_cast<double>(old_length) / new_length;
    std::map<int, double> sums;
    for (int i = 0; i < new_length; ++i) {
        const double start = i * step;
        const double end = i + 1 == new_length ? old_length : (i + 1) * step;
        // The profile is linear between half-pixel marks, so each piece's
        // integral is its length times the profile at its middle.
        sums.clear();
        for (double from = start; from < end;) {
            const double to = std::min(end, std::floor(from * 2.0 + 1.0) / 2.0);
            AddProfile((from + to) / 2.0, (to - from) / (end - start), old_length, sums);
            from = to;
        }
        // Pixels whose shares cancel out (the line and the mean's correction
        // can) are left out at both ends.
        constexpr double kNothing = 1e-12;
        while (sums.size() > 1 && std::fabs(sums.begin()->second) < kNothing) sums.erase(sums.begin());
        while (sums.size() > 1 && std::fabs(sums.rbegin()->second) < kNothing) sums.erase(std::prev(sums.end()));
        SpanWeights entry;
        entry.left = sums.begin()->first;
        entry.weights.assign(static_cast<std::size_t>(sums.rbegin()->first - entry.left + 1), 0.0);
        for (const auto& [index, weight] : sums) entry.weights[static_cast<std::size_t>(index - entry.left)] = weight;
        table.push_back(std::move(entry));
    }
    return table;
}

}  // namespace cs

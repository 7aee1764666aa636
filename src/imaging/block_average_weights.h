#pragma once
// Weights for resampling a picture whose every pixel is already the average
// of a square of the original: what a JPEG decoded at 1/8 of its size gives
// (each pixel the mean of its 8 x 8 block), and nearly what 1/4 and 1/2 give.
//
// The triangle kernel would blur such a picture a second time, and an area
// average of its pixels would treat each block as flat. Instead the line of
// block means is taken as a smooth profile that keeps every block's mean (a
// line through the block centres, each block then shifted back to its own
// mean), and each new pixel is that profile's exact average over the span it
// covers. The weights can be slightly negative next to a new pixel's span.
#include <vector>

namespace cs {

struct SpanWeights {
    int left = 0;                 // first old pixel with a weight
    std::vector<double> weights;  // from there on; they total 1
};

// One entry per new pixel, old_length to new_length; both must be positive.
std::vector<SpanWeights> BlockAverageWeights(int old_length, int new_length);

}  // namespace cs

#pragma once
// How the system report picks the pixel format of its short-lived OpenGL
// context: the best double-buffered RGBA window format, hardware first.
#include <cstdint>
#include <optional>
#include <vector>

namespace cs {

struct PixelFormatTraits {
    bool supports_opengl = false;
    bool draws_to_window = false;
    bool double_buffered = false;
    bool rgba = false;
    bool generic = false;              // PFD_GENERIC_FORMAT
    bool generic_accelerated = false;  // PFD_GENERIC_ACCELERATED
    int color_bits = 0;
    int depth_bits = 0;
};

// 0 for a format that cannot be used, else colour bits + 2 x depth bits,
// less a penalty for more than 16 colour bits (half the excess, rounded
// toward zero), plus 2000 for a driver's own format or 1000 for an
// accelerated generic one.
int PixelFormatScore(const PixelFormatTraits& format);

// The 1-based number of the first format with the highest positive score.
std::optional<int> ChoosePixelFormatNumber(const std::vector<PixelFormatTraits>& formats);

}  // namespace cs

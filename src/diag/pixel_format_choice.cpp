#include "diag/pixel_format_choice.h"

namespace cs {

int PixelFormatScore(const PixelFormatTraits& f) {
    if (!f.supports_opengl || !f.draws_to_window || !f.double_buffered || !f.rgba) return 0;
    int score = f.color_bits + 2 * f.depth_bits;
    if (f.color_bits > 16) score += (16 - f.color_bits) / 2;
    if (!f.generic)
        score += 2000;
    else if (f.generic_accelerated)
        score += 1000;
    return score;
}

std::optional<int> ChoosePixelFormatNumber(const std::vector<PixelFormatTraits>& formats) {
    std::optional<int> best;
    int best_score = 0;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const int score = PixelFormatScore(formats[i]);
        if (score > best_score) {
            best_score = score;
            best = static_cast<int>(i) + 1;
        }
    }
    return best;
}

}  // namespace cs

#include "imaging/ycc_to_bgra.h"

#include <algorithm>
#include <array>

namespace cs {

namespace {

constexpr int kScaleBits = 16;
constexpr std::int32_t kHalf = 1 << (kScaleBits - 1);
constexpr std::int32_t Fixed(double x) { return static_cast<std::int32_t>(x * (1 << kScaleBits) + 0.5); }

// Each chroma sample's share of red, blue and green.
struct ChromaTerms {
    std::array<std::int32_t, 256> crRed{};
    std::array<std::int32_t, 256> cbBlue{};
    std::array<std::int32_t, 256> crGreen{};
    std::array<std::int32_t, 256> cbGreen{};
    ChromaTerms() {
        for (int i = 0; i < 256; ++i) {
            const int x = i - 128;
            crRed[i] = (Fixed(1.40200) * x + kHalf) >> kScaleBits;
            cbBlue[i] = (Fixed(1.77200) * x + kHalf) >> kScaleBits;
            crGreen[i] = -Fixed(0.71414) * x;
            cbGreen[i] = -Fixed(0.34414) * x + kHalf;
        }
    }
};

std::uint8_t Clamped(std::int32_t v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

}  // namespace

void YccToBgra(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::int32_t count,
               std::uint8_t* bgra) {
    static const ChromaTerms terms;
    for (std::int32_t i = 0; i < count; ++i, bgra += 4) {
        const std::int32_t luma = y[i];
        bgra[0] = Clamped(luma + terms.cbBlue[cb[i]]);
        bgra[1] = Clamped(luma + ((terms.cbGreen[cb[i]] + terms.crGreen[cr[i]]) >> kScaleBits));
        bgra[2] = Clamped(luma + terms.crRed[cr[i]]);
        bgra[3] = 255;
    }
}

}  // namespace cs

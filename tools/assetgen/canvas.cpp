#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace assetgen {

Color Canvas::Get(int x, int y) const {
    const std::size_t i = Index(x, y) * 3;
    return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void Canvas::Set(int x, int y, const Color& c) {
    const std::size_t i = Index(x, y) * 3;
    rgb_[i] = c.r;
    rgb_[i + 1] = c.g;
    rgb_[i + 2] = c.b;
}

void Canvas::Blend(int x, int y, const Color& c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Set(x, y, Mix(Get(x, y), c, std::clamp(coverage, 0.0f, 1.0f)));
}

namespace {
std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }
}  // namespace

void Canvas::ToTexture(cs::Texture& texture, int channels, const std::string& name) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(Size() * static_cast<std::size_t>(channels));
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const Color c = Get(x, y);
            bytes.push_back(ToByte(c.r));
            bytes.push_back(ToByte(c.g));
            bytes.push_back(ToByte(c.b));
            if (channels == 4) bytes.push_back(ToByte(Alpha(x, y)));
        }
    }
    texture.SetPixels(width_, height_, channels, std::move(bytes));
    texture.SetName(name);
}

}  // namespace assetgen

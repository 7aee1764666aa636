#pragma once
// A picture being painted, in linear floats, rows from the top; turned into
// a Texture (rows from the bottom, bytes) at the end.
#include <cstddef>
#include <string>
#include <vector>

#include "scene/texture.h"

namespace assetgen {

struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline Color Mix(const Color& a, const Color& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), rgb_(Size() * 3), alpha_(Size(), 1.0f) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    Color Get(int x, int y) const;
    void Set(int x, int y, const Color& c);
    // Blends c over the pixel with the given coverage (0..1).
    void Blend(int x, int y, const Color& c, float coverage);
    float Alpha(int x, int y) const { return alpha_[Index(x, y)]; }
    void SetAlpha(int x, int y, float a) { alpha_[Index(x, y)] = a; }

    // 3 or 4 channels, rounded to bytes, bottom row first.
    void ToTexture(cs::Texture& texture, int channels, const std::string& name) const;

private:
    std::size_t Size() const { return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_); }
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    int width_;
    int height_;
    std::vector<float> rgb_;
    std::vector<float> alpha_;
};

}  // namespace assetgen

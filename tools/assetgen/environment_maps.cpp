#include "environment_maps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace assetgen {
namespace {

struct Dir {
    float x;
    float y;  // up
    float z;  // toward the viewer
};

float Dot(const Dir& a, const Dir& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Dir Normalised(Dir d) {
    const float l = std::sqrt(Dot(d, d));
    return {d.x / l, d.y / l, d.z / l};
}

float SmoothStep(float e0, float e1, float v) {
    const float t = std::clamp((v - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// A soft light: 1 in its centre, fading with the angle from it.
float Glow(const Dir& r, const Dir& centre, float sharpness) {
    return std::exp(-(1.0f - Dot(r, centre)) * sharpness);
}

// Value noise on an integer lattice with a fixed hash: the same picture on
// every build.
float Lattice(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float ValueNoise(float x, float y) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(x0);
    float fy = y - static_cast<float>(y0);
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const float top = Lattice(x0, y0) + (Lattice(x0 + 1, y0) - Lattice(x0, y0)) * fx;
    const float bottom = Lattice(x0, y0 + 1) + (Lattice(x0 + 1, y0 + 1) - Lattice(x0, y0 + 1)) * fx;
    return top + (bottom - top) * fy;
}

float Fbm(float x, float y) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * ValueNoise(x, y);
        x = x * 2.03f + 17.0f;
        y = y * 2.03f + 5.0f;
        amplitude *= 0.5f;
    }
    return sum;
}

// Paints the sphere map of an environment, 4 x 4 samples per texel so that
// hard edges such as the horizon stay smooth.
Canvas PaintSphereMap(int size, const std::function<Color(const Dir&)>& environment) {
    Canvas canvas(size, size);
    constexpr int kSamples = 4;
    for (int row = 0; row < size; ++row) {
        for (int col = 0; col < size; ++col) {
            Color sum;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float s = (static_cast<float>(col) + (sx + 0.5f) / kSamples) / static_cast<float>(size);
                    const float t = 1.0f - (static_cast<float>(row) + (sy + 0.5f) / kSamples) / static_cast<float>(size);
                    float nx = 2.0f * s - 1.0f;
                    float ny = 2.0f * t - 1.0f;
                    const float d2 = nx * nx + ny * ny;
                    if (d2 > 0.998f) {
                        // Outside the ball: repeat a ring just inside its
                        // rim, where the directions still vary smoothly.
                        const float d = std::sqrt(d2 / 0.998f);
                        nx /= d;
                        ny /= d;
                    }
                    const float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
                    const Dir r = Normalised({2 * nz * nx, 2 * nz * ny, 2 * nz * nz - 1});
                    const Color c = environment(r);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const float n = kSamples * kSamples;
            canvas.Set(col, row, {sum.r / n, sum.g / n, sum.b / n});
        }
    }
    return canvas;
}

Color Chrome(const Dir& r) {
    Color c;
    if (r.y >= 0.0f) {
        const Color horizon{0.96f, 0.97f, 1.0f};
        const Color zenith{0.42f, 0.50f, 0.62f};
        c = Mix(horizon, zenith, std::pow(r.y, 0.6f));
        // A band of distant dark shapes just above the horizon gives the
        // mirror its edge.
        const float band = SmoothStep(0.0f, 0.02f, r.y) * (1.0f - SmoothStep(0.06f, 0.10f, r.y));
        const float ridge = 0.5f + 0.5f * std::sin(std::atan2(r.x, r.z) * 7.0f);
        c = Mix(c, {0.30f, 0.32f, 0.36f}, band * (0.35f + 0.4f * ridge));
    } else {
        const float depth = -r.y;
        c = Mix({0.10f, 0.09f, 0.09f}, {0.46f, 0.44f, 0.42f}, std::pow(depth, 0.8f));
    }
    const float lights = Glow(r, Normalised({-0.45f, 0.55f, 0.70f}), 60.0f) + Glow(r, Normalised({0.60f, 0.35f, -0.72f}), 40.0f);
    c = {c.r + lights, c.g + lights, c.b + lights};
    return c;
}

Color Sky(const Dir& r) {
    const Dir sun = Normalised({0.35f, 0.45f, 0.82f});
    Color c;
    if (r.y >= 0.0f) {
        c = Mix({0.78f, 0.86f, 0.95f}, {0.16f, 0.38f, 0.80f}, std::pow(r.y, 0.55f));
        // Clouds on a plane above the viewer, thinning toward the horizon.
        const float k = 1.0f / (r.y + 0.12f);
        const float u = r.x * k * 1.6f;
        const float v = r.z * k * 1.6f;
        const float density = SmoothStep(0.48f, 0.72f, Fbm(u + 3.0f, v + 11.0f)) * SmoothStep(0.0f, 0.25f, r.y);
        const float shade = 0.78f + 0.22f * SmoothStep(0.3f, 0.8f, Fbm(u * 1.3f + 40.0f, v * 1.3f + 7.0f));
        c = Mix(c, {shade, shade, std::min(1.0f, shade + 0.03f)}, density);
    } else {
        const float depth = -r.y;
        c = Mix({0.70f, 0.78f, 0.86f}, {0.30f, 0.42f, 0.30f}, std::pow(depth, 0.5f));
    }
    const float glow = 0.9f * Glow(r, sun, 250.0f) + 0.25f * Glow(r, sun, 12.0f);
    return {c.r + glow, c.g + glow * 0.95f, c.b + glow * 0.8f};
}

}  // namespace

Canvas PaintChromeMap(int size) { return PaintSphereMap(size, Chrome); }
Canvas PaintSkyMap(int size) { return PaintSphereMap(size, Sky); }

}  // namespace assetgen

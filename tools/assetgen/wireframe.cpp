#include "wireframe.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "scene/matrix4.h"

namespace assetgen {

std::vector<std::uint8_t> RenderWireframe(const cs::Mesh& mesh, int size) {
    const std::size_t pixels = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    std::vector<float> rgb(pixels * 3, 0.0f);
    std::vector<float> depth(pixels, std::numeric_limits<float>::infinity());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float t = static_cast<float>(y) / static_cast<float>(size);
            const std::size_t i = (static_cast<std::size_t>(y) * size + x) * 3;
            rgb[i] = 0.10f + 0.08f * t;
            rgb[i + 1] = 0.12f + 0.08f * t;
            rgb[i + 2] = 0.16f + 0.10f * t;
        }

    const cs::Matrix4 view = cs::Matrix4::RotationX(0.55f) * cs::Matrix4::RotationY(-0.65f);
    const std::size_t vertices = mesh.VertexCount();
    float extent = 1e-6f;
    for (std::size_t v = 0; v < vertices; ++v)
        for (int k = 0; k < 3; ++k) extent = std::max(extent, std::fabs(mesh.positions[3 * v + k]));
    const float scale = size * 0.32f / extent;
    std::vector<cs::Vec3> screen(vertices);
    for (std::size_t v = 0; v < vertices; ++v) {
        const cs::Vec3 p = view.TransformPoint({mesh.positions[3 * v], mesh.positions[3 * v + 1], mesh.positions[3 * v + 2]});
        // Screen y runs down; depth grows away from the viewer (who looks
        // down -z).
        screen[v] = {size / 2.0f + p.x * scale, size / 2.0f - p.y * scale, -p.z};
    }

    const auto edge = [](const cs::Vec3& a, const cs::Vec3& b, float x, float y) {
        return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
    };
    const cs::Vec3 light{0.4f, 0.7f, 0.6f};
    const std::size_t triangles = mesh.Kind() == cs::PrimitiveKind::kTriangles ? mesh.indices.size() / 3 : 0;
    std::vector<std::uint8_t> front(triangles, 0);
    for (std::size_t t = 0; t < triangles; ++t) {
        const std::uint32_t ia = mesh.indices[3 * t], ib = mesh.indices[3 * t + 1], ic = mesh.indices[3 * t + 2];
        if (ia >= vertices || ib >= vertices || ic >= vertices) continue;
        const cs::Vec3 a = screen[ia], b = screen[ib], c = screen[ic];
        const float area = edge(a, b, c.x, c.y);
        if (std::fabs(area) < 1e-6f) continue;
        // Shade by the outward normal in view space: the averaged vertex
        // normals of the triangle.
        cs::Vec3 n{0, 0, 0};
        if (mesh.normals.size() >= 3 * vertices) {
            for (std::uint32_t i : {ia, ib, ic}) {
                n.x += mesh.normals[3 * i];
                n.y += mesh.normals[3 * i + 1];
                n.z += mesh.normals[3 * i + 2];
            }
        }
        cs::Matrix4 rotation = view;
        const cs::Vec3 nv = rotation.TransformPoint(n);
        if (nv.z <= 0.0f) continue;  // facing away
        front[t] = 1;
        const float len = std::sqrt(nv.x * nv.x + nv.y * nv.y + nv.z * nv.z);
        const float lambert = std::max(0.0f, (nv.x * light.x + nv.y * light.y + nv.z * light.z) / len);
        const float shade = 0.25f + 0.65f * lambert;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
        const int x1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
        const int y1 = std::min(size - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float w0 = edge(b, c, px, py) / area;
                const float w1 = edge(c, a, px, py) / area;
                const float w2 = edge(a, b, px, py) / area;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                const float z = w0 * a.z + w1 * b.z + w2 * c.z;
                const std::size_t i = static_cast<std::size_t>(y) * size + x;
                if (z >= depth[i]) continue;
                depth[i] = z;
                rgb[3 * i] = shade * 0.62f;
                rgb[3 * i + 1] = shade * 0.80f;
                rgb[3 * i + 2] = shade * 0.98f;
            }
    }
    // Edges of the visible triangles, light and thin.
    for (std::size_t t = 0; t < triangles; ++t) {
        if (!front[t]) continue;
        for (int e = 0; e < 3; ++e) {
            const cs::Vec3 a = screen[mesh.indices[3 * t + e]];
            const cs::Vec3 b = screen[mesh.indices[3 * t + (e + 1) % 3]];
            const int steps = static_cast<int>(std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y))) + 1;
            for (int s = 0; s <= steps; ++s) {
                const float u = static_cast<float>(s) / steps;
                const int x = static_cast<int>(a.x + (b.x - a.x) * u);
                const int y = static_cast<int>(a.y + (b.y - a.y) * u);
                if (x < 0 || y < 0 || x >= size || y >= size) continue;
                const std::size_t i = (static_cast<std::size_t>(y) * size + x) * 3;
                rgb[i] = rgb[i] * 0.3f + 0.95f * 0.7f;
                rgb[i + 1] = rgb[i + 1] * 0.3f + 0.97f * 0.7f;
                rgb[i + 2] = rgb[i + 2] * 0.3f + 1.0f * 0.7f;
            }
        }
    }

    const std::string header = "P7\nWIDTH " + std::to_string(size) + "\nHEIGHT " + std::to_string(size) +
                               "\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    for (float v : rgb) out.push_back(static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)));
    return out;
}

}  // namespace assetgen

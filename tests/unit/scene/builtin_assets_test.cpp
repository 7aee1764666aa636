// The generated built-in assets: each reads, writes back to the same bytes,
// and has the shape the scene relies on.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "scene/resource_pack.h"
#include "scene_test_support.h"

namespace cs {
namespace {

using scene_test::Bytes;

Bytes Asset(const std::string& name) { return scene_test::ReadFileBytes(std::string(CS_ASSET_DIR) + "/" + name); }

// The payload inflated by the test itself rather than by the reader.
Bytes Payload(const Bytes& container) {
    const std::uint32_t size = container[4] | container[5] << 8 | container[6] << 16 |
                               static_cast<std::uint32_t>(container[7]) << 24;
    Bytes out(size);
    uLongf length = size;
    EXPECT_EQ(uncompress(out.data(), &length, container.data() + 8, static_cast<uLong>(container.size() - 8)), Z_OK);
    EXPECT_EQ(length, size);
    return out;
}

template <typename T>
void ExpectRoundTrip(const std::string& name, T& object) {
    SCOPED_TRACE(name);
    const Bytes container = Asset(name);
    ASSERT_GE(container.size(), 8u);
    EXPECT_EQ(container[0], 8);
    EXPECT_EQ(container[1], 1);
    EXPECT_EQ(container[2], 1);
    EXPECT_EQ(container[3], 0xCC);
    ASSERT_EQ(ReadResourcePack(container, &object), status::kOk);
    Bytes record;
    ASSERT_EQ(WriteRecord(object, record), status::kOk);
    EXPECT_EQ(record, Payload(container));
    // Re-read what was written: the same object again.
    T again;
    ASSERT_EQ(ReadRecord(record, &again), status::kOk);
    Bytes record2;
    ASSERT_EQ(WriteRecord(again, record2), status::kOk);
    EXPECT_EQ(record2, record);
    Bytes rewritten;
    ASSERT_EQ(WriteResourcePack(object, rewritten), status::kOk);
    EXPECT_EQ(rewritten, container);
}

TEST(BuiltinAssets, TexturesRoundTripAndHaveTheirSizes) {
    const struct {
        const char* resource;
        const char* name;
        int size;
        int channels;
    } textures[] = {
        {"CHROME.TEX", "chrome.bmp", 128, 3},
        {"SKY.TEX", "sky.bmp", 128, 3},
        {"DEFAULT.TEX", "default.bmp", 256, 3},
        {"FONT1-A.TEX", "font1-a.bmp", 256, 4},
    };
    for (const auto& t : textures) {
        Texture texture;
        ExpectRoundTrip(t.resource, texture);
        EXPECT_EQ(texture.Width(), t.size);
        EXPECT_EQ(texture.Height(), t.size);
        EXPECT_EQ(texture.Channels(), t.channels);
        EXPECT_EQ(texture.Name(), t.name);
        EXPECT_EQ(texture.NameBlock().Capacity(), texture.NameBlock().size());
        EXPECT_EQ(texture.NameBlock().size(), std::string(t.name).size() + 1);
    }
}

// The font: white everywhere, glyphs in alpha inside their cells, the
// corner texel (where characters without a cell sample) transparent.
TEST(BuiltinAssets, FontCellsHoldTheirGlyphs) {
    Texture font;
    ASSERT_EQ(ReadResourcePack(Asset("FONT1-A.TEX"), &font), status::kOk);
    const auto alpha = [&](int x, int y_from_top) {
        const std::size_t row = static_cast<std::size_t>(255 - y_from_top);
        return font.Pixels()[(row * 256 + x) * 4 + 3];
    };
    for (std::size_t i = 0; i < font.Pixels().size(); i += 4) ASSERT_EQ(font.Pixels()[i], 255);
    EXPECT_EQ(font.Pixels()[3], 0);
    for (int cell = 0; cell < 96; ++cell) {
        int covered = 0;
        const int x0 = cell % 12 * 256 / 12, y0 = cell / 12 * 32;
        for (int y = y0; y < y0 + 32; ++y)
            for (int x = x0; x < x0 + 21; ++x) covered += alpha(x, y) > 128;
        // Cell 0 is the space.
        if (cell == 0) {
            EXPECT_EQ(covered, 0);
        } else {
            EXPECT_GT(covered, 3) << "cell " << cell;
        }
    }
}

TEST(BuiltinAssets, FaceMeshesMatchTheTable) {
    constexpr float a = 4.68f;
    const char* names[] = {"Box01", "Mesh01", "Mesh02", "Mesh03", "Mesh04", "Mesh05"};
    // The first vertex and the indices of each face; the outward axis.
    const std::pair<int, float> outward[] = {{1, -a}, {2, -a}, {0, -a}, {1, a}, {2, a}, {0, a}};
    const std::uint32_t indices[6][6] = {{0, 2, 3, 3, 1, 0}, {0, 1, 3, 3, 2, 0}, {1, 0, 2, 2, 3, 1},
                                         {0, 1, 3, 3, 2, 0}, {1, 0, 2, 2, 3, 1}, {0, 1, 3, 3, 2, 0}};
    for (int face = 0; face < 6; ++face) {
        Mesh m;
        ExpectRoundTrip("PCUBE" + std::to_string(face) + ".MSH", m);
        EXPECT_EQ(m.Name(), names[face]);
        EXPECT_EQ(m.RawKind(), 7u);
        EXPECT_EQ(m.Flags(), 15u);
        ASSERT_EQ(m.VertexCount(), 4u);
        ASSERT_EQ(m.indices.size(), 6u);
        EXPECT_EQ(m.face_normals.size(), 18u);
        EXPECT_EQ(m.MaterialName(0), "");
        const auto [axis, side] = outward[face];
        for (int v = 0; v < 4; ++v) {
            EXPECT_FLOAT_EQ(m.positions[3 * v + axis], side);
            EXPECT_FLOAT_EQ(m.normals[3 * v + axis], side > 0 ? 1.0f : -1.0f);
            for (int k = 0; k < 2; ++k) {
                const float c = m.tex_coords[2 * v + k];
                EXPECT_TRUE(c == 0.001f || c == 0.999f);
            }
        }
        for (int i = 0; i < 6; ++i) EXPECT_EQ(m.indices[i], indices[face][i]);
    }
    // Two spot checks of the texture coordinate table.
    Mesh back;
    ASSERT_EQ(ReadResourcePack(Asset("PCUBE1.MSH"), &back), status::kOk);
    EXPECT_EQ(back.tex_coords[0], 0.999f);
    EXPECT_EQ(back.tex_coords[7], 0.001f);
}

struct V {
    double x, y, z;
};
V Sub(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V Cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TEST(BuiltinAssets, GlassShellIsAClosedChamferedBoxWoundLikeTheFaces) {
    Mesh m;
    ExpectRoundTrip("CUBE2.MSH", m);
    EXPECT_EQ(m.Name(), "ChamferBox01");
    EXPECT_EQ(m.RawKind(), 7u);
    EXPECT_EQ(m.Flags(), 15u);
    ASSERT_EQ(m.VertexCount(), 248u);
    ASSERT_EQ(m.indices.size(), 1476u);
    ASSERT_TRUE(m.DrawableArrays());
    const auto pos = [&](std::uint32_t i) {
        return V{m.positions[3 * i], m.positions[3 * i + 1], m.positions[3 * i + 2]};
    };
    const auto nrm = [&](std::uint32_t i) { return V{m.normals[3 * i], m.normals[3 * i + 1], m.normals[3 * i + 2]}; };
    for (std::uint32_t i = 0; i < 248; ++i) {
        const V p = pos(i), n = nrm(i);
        EXPECT_NEAR(Dot(n, n), 1.0, 1e-5);
        EXPECT_GT(Dot(n, p), 0.0);
        // The surface is 0.3 away from the inner box of half-size 4.7.
        const V inner{std::clamp(p.x, -4.7, 4.7), std::clamp(p.y, -4.7, 4.7), std::clamp(p.z, -4.7, 4.7)};
        EXPECT_NEAR(std::sqrt(Dot(Sub(p, inner), Sub(p, inner))), 0.3, 1e-4);
    }
    // Closed: every edge is shared by exactly two triangles, once each way.
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
    for (std::size_t t = 0; t < 492; ++t) {
        const std::uint32_t a = m.indices[3 * t], b = m.indices[3 * t + 1], c = m.indices[3 * t + 2];
        ++edges[{a, b}];
        ++edges[{b, c}];
        ++edges[{c, a}];
        // Clockwise from outside, like the face meshes.
        const V outward{pos(a).x + pos(b).x + pos(c).x, pos(a).y + pos(b).y + pos(c).y, pos(a).z + pos(b).z + pos(c).z};
        EXPECT_LT(Dot(Cross(Sub(pos(b), pos(a)), Sub(pos(c), pos(a))), outward), 0.0) << t;
    }
    for (const auto& [edge, count] : edges) {
        EXPECT_EQ(count, 1);
        EXPECT_EQ(edges.count({edge.second, edge.first}), 1u);
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(m.bounds_min[k], -5.0f, 1e-5);
        EXPECT_NEAR(m.bounds_max[k], 5.0f, 1e-5);
    }
}

}  // namespace
}  // namespace cs

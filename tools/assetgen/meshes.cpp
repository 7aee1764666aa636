#include "meshes.h"

#include <array>
#include <cmath>
#include <map>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace assetgen {
namespace {

struct V3 {
    float x, y, z;
};

V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Unit(V3 a) {
    const float l = std::sqrt(Dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

// Fills the arrays and the fields the authoring tool would: bounds,
// their centre as the reference point, the diagonal, one normal per
// triangle at the front of the face-normal array.
void Finish(cs::Mesh& mesh, const std::vector<V3>& positions, const std::vector<V3>& normals,
            const std::vector<std::array<float, 2>>& uv, const std::vector<std::uint32_t>& indices, const char* name) {
    const std::uint32_t triangles = static_cast<std::uint32_t>(indices.size() / 3);
    mesh.Create(cs::PrimitiveKind::kTriangles, triangles);
    mesh.CreateVertexArrays(static_cast<std::uint32_t>(positions.size()),
                            cs::mesh_flags::kNormals | cs::mesh_flags::kTexCoords | cs::mesh_flags::kTexCoords2);
    mesh.SetName(name);
    V3 lo = positions[0];
    V3 hi = positions[0];
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const V3 p = positions[i];
        mesh.positions[3 * i] = p.x;
        mesh.positions[3 * i + 1] = p.y;
        mesh.positions[3 * i + 2] = p.z;
        mesh.normals[3 * i] = normals[i].x;
        mesh.normals[3 * i + 1] = normals[i].y;
        mesh.normals[3 * i + 2] = normals[i].z;
        mesh.tex_coords[2 * i] = uv[i][0];
        mesh.tex_coords[2 * i + 1] = uv[i][1];
        lo = {std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
        hi = {std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
    }
    for (std::size_t i = 0; i < indices.size(); ++i) mesh.indices[i] = indices[i];
    for (std::uint32_t t = 0; t < triangles; ++t) {
        const V3 a = positions[indices[3 * t]];
        const V3 b = positions[indices[3 * t + 1]];
        const V3 c = positions[indices[3 * t + 2]];
        // The triangles run clockwise seen from outside, so (c - a) x (b - a)
        // points out.
        const V3 n = Unit(Cross(Sub(c, a), Sub(b, a)));
        mesh.face_normals[3 * t] = n.x;
        mesh.face_normals[3 * t + 1] = n.y;
        mesh.face_normals[3 * t + 2] = n.z;
    }
    mesh.bounds_min = {lo.x, lo.y, lo.z};
    mesh.bounds_max = {hi.x, hi.y, hi.z};
    mesh.reference_point = {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    const V3 d = Sub(hi, lo);
    mesh.diagonal = std::sqrt(Dot(d, d));
}

struct FaceDescription {
    const char* name;
    V3 normal;
    std::array<V3, 4> corners;  // in units of the half-size
    std::array<std::array<float, 2>, 4> uv;
    std::array<std::uint32_t, 6> indices;
};

constexpr float kLo = 0.001f;
constexpr float kHi = 0.999f;

const std::array<FaceDescription, 6> kFaces = {{
    {"Box01", {0, -1, 0}, {{{-1, -1, -1}, {1, -1, -1}, {-1, -1, 1}, {1, -1, 1}}},
     {{{kLo, kLo}, {kHi, kLo}, {kLo, kHi}, {kHi, kHi}}}, {0, 2, 3, 3, 1, 0}},
    {"Mesh01", {0, 0, -1}, {{{-1, -1, -1}, {1, -1, -1}, {-1, 1, -1}, {1, 1, -1}}},
     {{{kHi, kHi}, {kHi, kLo}, {kLo, kHi}, {kLo, kLo}}}, {0, 1, 3, 3, 2, 0}},
    {"Mesh02", {-1, 0, 0}, {{{-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {-1, 1, 1}}},
     {{{kHi, kLo}, {kHi, kHi}, {kLo, kLo}, {kLo, kHi}}}, {1, 0, 2, 2, 3, 1}},
    {"Mesh03", {0, 1, 0}, {{{-1, 1, -1}, {1, 1, -1}, {-1, 1, 1}, {1, 1, 1}}},
     {{{kHi, kLo}, {kLo, kLo}, {kHi, kHi}, {kLo, kHi}}}, {0, 1, 3, 3, 2, 0}},
    {"Mesh04", {0, 0, 1}, {{{-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}}},
     {{{kLo, kLo}, {kHi, kLo}, {kLo, kHi}, {kHi, kHi}}}, {1, 0, 2, 2, 3, 1}},
    {"Mesh05", {1, 0, 0}, {{{1, -1, -1}, {1, -1, 1}, {1, 1, -1}, {1, 1, 1}}},
     {{{kHi, kLo}, {kLo, kLo}, {kHi, kHi}, {kLo, kHi}}}, {0, 1, 3, 3, 2, 0}},
}};

// Vertices of the glass shell, welded where patches meet: a surface point
// is the inner box point plus the radius along its normal, and patches
// that meet compute the same normals.
class ShellBuilder {
public:
    static constexpr float kInner = 4.7f;
    static constexpr float kRadius = 0.3f;

    std::uint32_t Vertex(V3 inner, V3 normal) {
        const V3 p{inner.x + kRadius * normal.x, inner.y + kRadius * normal.y, inner.z + kRadius * normal.z};
        const auto key = std::make_tuple(std::lround(p.x * 1e4f), std::lround(p.y * 1e4f), std::lround(p.z * 1e4f));
        const auto it = index_.find(key);
        if (it != index_.end()) return it->second;
        const auto i = static_cast<std::uint32_t>(positions.size());
        positions.push_back(p);
        normals.push_back(normal);
        // Only the sphere-mapped coordinates are drawn; these are a plain
        // projection for completeness.
        uv.push_back({0.5f + p.x / 10.0f, 0.5f + p.y / 10.0f});
        index_.emplace(key, i);
        return i;
    }

    // Adds the triangle wound clockwise as seen from outside.
    void Triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        const V3 n = Cross(Sub(positions[b], positions[a]), Sub(positions[c], positions[a]));
        const V3 outward{normals[a].x + normals[b].x + normals[c].x, normals[a].y + normals[b].y + normals[c].y,
                         normals[a].z + normals[b].z + normals[c].z};
        if (Dot(n, outward) > 0) std::swap(b, c);
        indices.insert(indices.end(), {a, b, c});
    }
    void Quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        Triangle(a, b, c);
        Triangle(a, c, d);
    }

    std::vector<V3> positions;
    std::vector<V3> normals;
    std::vector<std::array<float, 2>> uv;
    std::vector<std::uint32_t> indices;

private:
    std::map<std::tuple<long, long, long>, std::uint32_t> index_;
};

V3 Axis(int axis, float value) {
    V3 v{0, 0, 0};
    (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value;
    return v;
}
V3 Add(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 Scale(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }

}  // namespace

void BuildFaceMesh(int face, cs::Mesh& mesh) {
    constexpr float kHalf = 4.68f;
    const FaceDescription& f = kFaces.at(static_cast<std::size_t>(face));
    std::vector<V3> positions;
    std::vector<V3> normals;
    std::vector<std::array<float, 2>> uv;
    for (int i = 0; i < 4; ++i) {
        positions.push_back(Scale(f.corners[i], kHalf));
        normals.push_back(f.normal);
        uv.push_back(f.uv[i]);
    }
    Finish(mesh, positions, normals, uv, {f.indices.begin(), f.indices.end()}, f.name);
}

void BuildGlassMesh(cs::Mesh& mesh) {
    constexpr int kSegments = 5;
    constexpr float kPi = 3.14159265358979f;
    const float b = ShellBuilder::kInner;
    std::array<float, kSegments + 1> cosines{};
    std::array<float, kSegments + 1> sines{};
    for (int i = 0; i <= kSegments; ++i) {
        const float angle = static_cast<float>(i) * (kPi / 2) / kSegments;
        // Exact ends keep the patches' shared vertices identical.
        cosines[i] = i == kSegments ? 0.0f : std::cos(angle);
        sines[i] = i == 0 ? 0.0f : i == kSegments ? 1.0f : std::sin(angle);
    }
    ShellBuilder shell;

    // Flat sides: one quad each.
    for (int axis = 0; axis < 3; ++axis)
        for (float s : {-1.0f, 1.0f}) {
            const int u = (axis + 1) % 3;
            const int v = (axis + 2) % 3;
            const V3 n = Axis(axis, s);
            std::array<std::uint32_t, 4> q{};
            const float corners[4][2] = {{-b, -b}, {b, -b}, {b, b}, {-b, b}};
            for (int k = 0; k < 4; ++k)
                q[k] = shell.Vertex(Add(Add(Axis(axis, s * b), Axis(u, corners[k][0])), Axis(v, corners[k][1])), n);
            shell.Quad(q[0], q[1], q[2], q[3]);
        }

    // Edges: a strip of quarter-circle segments along each of the twelve.
    for (int along = 0; along < 3; ++along) {
        const int a1 = (along + 1) % 3;
        const int a2 = (along + 2) % 3;
        for (float s1 : {-1.0f, 1.0f})
            for (float s2 : {-1.0f, 1.0f}) {
                const V3 edge = Add(Axis(a1, s1 * b), Axis(a2, s2 * b));
                for (int i = 0; i < kSegments; ++i) {
                    const V3 n0 = Add(Axis(a1, s1 * cosines[i]), Axis(a2, s2 * sines[i]));
                    const V3 n1 = Add(Axis(a1, s1 * cosines[i + 1]), Axis(a2, s2 * sines[i + 1]));
                    shell.Quad(shell.Vertex(Add(edge, Axis(along, -b)), n0), shell.Vertex(Add(edge, Axis(along, b)), n0),
                               shell.Vertex(Add(edge, Axis(along, b)), n1), shell.Vertex(Add(edge, Axis(along, -b)), n1));
                }
            }
    }

    // Corners: an eighth of a sphere in latitude and longitude, its pole on
    // the vertical axis.
    for (float sx : {-1.0f, 1.0f})
        for (float sy : {-1.0f, 1.0f})
            for (float sz : {-1.0f, 1.0f}) {
                const V3 corner{sx * b, sy * b, sz * b};
                const auto at = [&](int lat, int lon) {
                    const V3 n{sx * sines[lat] * cosines[lon], sy * cosines[lat], sz * sines[lat] * sines[lon]};
                    return shell.Vertex(corner, lat == 0 ? V3{0, sy, 0} : n);
                };
                for (int lon = 0; lon < kSegments; ++lon) shell.Triangle(at(0, 0), at(1, lon), at(1, lon + 1));
                for (int lat = 1; lat < kSegments; ++lat)
                    for (int lon = 0; lon < kSegments; ++lon)
                        shell.Quad(at(lat, lon), at(lat + 1, lon), at(lat + 1, lon + 1), at(lat, lon + 1));
            }

    if (shell.positions.size() != 248 || shell.indices.size() != 1476)
        throw std::logic_error("the glass shell came out with " + std::to_string(shell.positions.size()) +
                               " vertices and " + std::to_string(shell.indices.size()) + " indices");
    Finish(mesh, shell.positions, shell.normals, shell.uv, shell.indices, "ChamferBox01");
    mesh.SetMaterialName(0, "SKY.TEX");
}

}  // namespace assetgen

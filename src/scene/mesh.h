#pragma once
// Geometry as the scene draws it: up to five per-vertex arrays and an index
// array, with the kind of primitive the indices make, two material texture
// names and the bounds the authoring tool recorded.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/status.h"
#include "scene/mesh_array.h"

namespace cs {

class Serializer;
class Texture;

enum class PrimitiveKind : std::uint32_t {
    kNone = 0,
    kPoints = 1,
    kLineStrip = 2,
    kLineLoop = 3,
    kLines = 4,
    kTriangleStrip = 5,
    kTriangleFan = 6,
    kTriangles = 7,
    kQuadStrip = 8,
    kQuads = 9,
};

// Indices needed for n primitives of the kind; nullopt for a kind outside
// the table or a count that does not fit.
std::optional<std::uint32_t> IndexCountFor(PrimitiveKind kind, std::uint32_t primitives);

// Which arrays a mesh carries.
namespace mesh_flags {
inline constexpr std::uint32_t kPositions = 1;
inline constexpr std::uint32_t kNormals = 2;
inline constexpr std::uint32_t kTexCoords = 4;
inline constexpr std::uint32_t kTexCoords2 = 8;
inline constexpr std::uint32_t kColors = 16;
}  // namespace mesh_flags

using NameField = std::array<char, 16>;

class Mesh {
public:
    static constexpr std::size_t kHeaderBytes = 96;

    Mesh() = default;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Sizes the index array for n primitives of the kind and the face-normal
    // array to three floats per index. E_INVALIDARG for a kind outside the
    // table.
    Status Create(PrimitiveKind kind, std::uint32_t primitives);
    // Sizes the vertex arrays for v vertices: positions always, the others
    // named in `flags` (normals and colours 3 floats, both texture
    // coordinate sets 2 floats per vertex); sets the flags.
    void CreateVertexArrays(std::uint32_t vertices, std::uint32_t flags);

    PrimitiveKind Kind() const { return static_cast<PrimitiveKind>(kind_); }
    std::uint32_t RawKind() const { return kind_; }
    std::uint32_t Flags() const { return flags_; }
    void SetFlags(std::uint32_t flags) { flags_ = flags; }
    bool Empty() const { return indices.empty(); }

    // Copies at most 16 bytes of the text into the slot, padding with NULs.
    // A different text forgets the slot's resolved texture. E_INVALIDARG for
    // a slot other than 0 or 1, E_POINTER without a text.
    Status SetMaterialName(int slot, const char* text);
    std::string MaterialName(int slot) const;
    Texture* MaterialTexture(int slot) const { return material_texture_[slot & 1]; }
    void SetMaterialTexture(int slot, Texture* texture) { material_texture_[slot & 1] = texture; }

    std::string Name() const;
    void SetName(const char* text);

    // The vertex count the position array holds, and whether every array
    // the flags name is large enough for it and every index points into it:
    // only then may the arrays be handed to OpenGL.
    std::size_t VertexCount() const { return positions.size() / 3; }
    bool DrawableArrays() const;

    // The MSH record (headerless: the seven blocks without the 96-byte
    // header). A failed read leaves the mesh empty.
    void Serialize(Serializer& s, bool headerless = false);

    // Fields carried through reading and writing; the program does not use
    // them.
    std::array<float, 3> bounds_min{};
    std::array<float, 3> bounds_max{};
    std::array<float, 3> reference_point{};
    float diagonal = 0.0f;

    MeshArray<float> positions;
    MeshArray<float> normals;
    MeshArray<float> tex_coords;
    MeshArray<float> tex_coords2;
    MeshArray<float> colors;
    MeshArray<std::uint32_t> indices;
    MeshArray<float> face_normals;

    // Record fields compared by tests.
    const NameField& MaterialField(int slot) const { return material_[slot & 1]; }
    const NameField& NameFieldBytes() const { return name_; }

    // Back to a new mesh: no arrays, no names, kind 0.
    void Clear();

private:

    std::uint32_t kind_ = 0;
    std::uint32_t flags_ = 0;
    std::array<NameField, 2> material_{};
    std::array<Texture*, 2> material_texture_{};
    NameField name_{};
};

}  // namespace cs

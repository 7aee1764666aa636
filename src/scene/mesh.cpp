#include "scene/mesh.h"

#include <algorithm>

#include "scene/serializer.h"

namespace cs {

std::optional<std::uint32_t> IndexCountFor(PrimitiveKind kind, std::uint32_t n) {
    const std::uint64_t p = n;
    std::uint64_t count;
    switch (kind) {
        case PrimitiveKind::kNone: count = 0; break;
        case PrimitiveKind::kPoints: count = p; break;
        case PrimitiveKind::kLineStrip: count = p + 1; break;
        case PrimitiveKind::kLineLoop: count = p; break;
        case PrimitiveKind::kLines: count = 2 * p; break;
        case PrimitiveKind::kTriangleStrip:
        case PrimitiveKind::kTriangleFan: count = p + 2; break;
        case PrimitiveKind::kTriangles: count = 3 * p; break;
        case PrimitiveKind::kQuadStrip: count = 2 * p + 2; break;
        case PrimitiveKind::kQuads: count = 4 * p; break;
        default: return std::nullopt;
    }
    // Three face-normal floats per index must stay addressable too.
    if (count * 3 > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<std::uint32_t>(count);
}

Status Mesh::Create(PrimitiveKind kind, std::uint32_t primitives) {
    const std::optional<std::uint32_t> count = IndexCountFor(kind, primitives);
    if (!count) return status::kInvalidArg;
    kind_ = static_cast<std::uint32_t>(kind);
    indices.Resize(*count);
    face_normals.Resize(std::size_t{*count} * 3);
    return status::kOk;
}

void Mesh::CreateVertexArrays(std::uint32_t vertices, std::uint32_t flags) {
    const std::size_t v = vertices;
    flags |= mesh_flags::kPositions;
    positions.Resize(3 * v);
    if (flags & mesh_flags::kNormals) normals.Resize(3 * v);
    if (flags & mesh_flags::kTexCoords) tex_coords.Resize(2 * v);
    if (flags & mesh_flags::kTexCoords2) tex_coords2.Resize(2 * v);
    if (flags & mesh_flags::kColors) colors.Resize(3 * v);
    flags_ = flags;
}

namespace {

NameField FieldFrom(const char* text) {
    // Up to 16 bytes, NUL-padded; a 16-byte text has no terminator.
    NameField field{};
    for (std::size_t i = 0; i < field.size() && text[i] != '\0'; ++i) field[i] = text[i];
    return field;
}

std::string TextOf(const NameField& field) {
    return std::string(field.data(), std::find(field.begin(), field.end(), '\0'));
}

}  // namespace

Status Mesh::SetMaterialName(int slot, const char* text) {
    if (slot != 0 && slot != 1) return status::kInvalidArg;
    if (text == nullptr) return status::kPointer;
    const NameField field = FieldFrom(text);
    if (TextOf(field) != TextOf(material_[slot])) material_texture_[slot] = nullptr;
    material_[slot] = field;
    return status::kOk;
}

std::string Mesh::MaterialName(int slot) const { return TextOf(material_[slot & 1]); }

std::string Mesh::Name() const { return TextOf(name_); }

void Mesh::SetName(const char* text) { name_ = FieldFrom(text != nullptr ? text : ""); }

bool Mesh::DrawableArrays() const {
    if (positions.size() % 3 != 0) return false;
    const std::size_t v = VertexCount();
    if ((flags_ & mesh_flags::kNormals) && normals.size() < 3 * v) return false;
    if ((flags_ & mesh_flags::kTexCoords) && tex_coords.size() < 2 * v) return false;
    if ((flags_ & mesh_flags::kColors) && colors.size() < 3 * v) return false;
    return std::all_of(indices.begin(), indices.end(), [v](std::uint32_t i) { return i < v; });
}

void Mesh::Clear() {
    kind_ = 0;
    flags_ = 0;
    material_ = {};
    material_texture_ = {};
    name_ = {};
    bounds_min = bounds_max = reference_point = {};
    diagonal = 0.0f;
    for (MeshArray<float>* a : {&positions, &normals, &tex_coords, &tex_coords2, &colors, &face_normals}) a->Clear();
    indices.Clear();
}

void Mesh::Serialize(Serializer& s, bool headerless) {
    if (s.Reading() && !headerless) Clear();
    if (!headerless) {
        s.U32(kind_);
        s.U32(flags_);
        s.Bytes(material_[0].data(), 16);
        s.Bytes(material_[1].data(), 16);
        s.Bytes(name_.data(), 16);
        for (std::array<float, 3>* v : {&bounds_min, &bounds_max, &reference_point})
            for (float& f : *v) s.F32(f);
        s.F32(diagonal);
    }
    positions.Serialize(s, headerless);
    normals.Serialize(s, headerless);
    tex_coords.Serialize(s, headerless);
    tex_coords2.Serialize(s, headerless);
    colors.Serialize(s, headerless);
    indices.Serialize(s, headerless);
    face_normals.Serialize(s, headerless);
    if (s.Reading() && !s.Ok()) Clear();
}

}  // namespace cs

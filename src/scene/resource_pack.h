#pragma once
// The ResourcePack container of the built-in assets: an 8-byte header (its
// own length, a format byte, a compression flag, padding, the payload's
// uncompressed size) followed by a TEX or MSH record, stored as is or as one
// zlib stream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/status.h"
#include "scene/mesh.h"
#include "scene/serializer.h"
#include "scene/texture.h"

namespace cs {

namespace resource_pack {
inline constexpr std::size_t kHeaderBytes = 8;
inline constexpr std::uint8_t kFormat = 1;
inline constexpr std::uint8_t kPadding = 0xCC;
// zlib cannot expand a stream by more than about 1032 to 1; a declared size
// beyond that cannot be met and is not allocated.
inline constexpr std::uint64_t kMaxInflateRatio = 1032;
}  // namespace resource_pack

// Fills the target from a container. 0; E_POINTER without data or target;
// E_FAIL for a header longer than the data, a malformed record (bad magic or
// version, a block whose capacity is below its count, counts beyond the
// data); E_OUTOFMEMORY when the payload cannot be allocated or zlib runs out
// of memory; E_INVALIDARG for a corrupt zlib stream or a declared size too
// small for it. On failure the target is left empty.
Status ReadResourcePack(std::span<const std::uint8_t> data, Texture* target);
Status ReadResourcePack(std::span<const std::uint8_t> data, Mesh* target);

// Reads a bare record (no container). Same codes as above.
Status ReadRecord(std::span<const std::uint8_t> record, Texture* target);
Status ReadRecord(std::span<const std::uint8_t> record, Mesh* target);

// The record bytes of an object: measured, then written. E_FAIL for a
// texture without its pixels.
Status WriteRecord(const Texture& source, std::vector<std::uint8_t>& out);
Status WriteRecord(const Mesh& source, std::vector<std::uint8_t>& out);

// A whole container around the object's record, zlib-compressed (best
// compression) or stored.
Status WriteResourcePack(const Texture& source, std::vector<std::uint8_t>& out, bool compress = true);
Status WriteResourcePack(const Mesh& source, std::vector<std::uint8_t>& out, bool compress = true);

// Makes `to` a copy of `from` by measuring, writing and reading back; the
// copy has no OpenGL name and no resolved material textures.
Status CopyBySerializing(const Texture& from, Texture& to);
Status CopyBySerializing(const Mesh& from, Mesh& to);

}  // namespace cs

#pragma once
// A software picture of a mesh for the asset contact sheet: flat-shaded
// triangles seen from above one corner, with their edges drawn over them.
#include <cstdint>
#include <vector>

#include "scene/mesh.h"

namespace assetgen {

// SIZE x SIZE, as RGB PAM bytes.
std::vector<std::uint8_t> RenderWireframe(const cs::Mesh& mesh, int size);

}  // namespace assetgen

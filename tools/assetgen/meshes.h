#pragma once
// The built-in meshes: six single-face meshes of the picture cube and the
// chamfered glass shell around them.
#include "scene/mesh.h"

namespace assetgen {

// Face i (0..5) of the picture cube of half-size 4.68.
void BuildFaceMesh(int face, cs::Mesh& mesh);

// A box of half-size 5 whose flat sides span +-4.7, with edges and corners
// rounded by five segments: 248 vertices, 492 triangles, wound clockwise as
// seen from outside like the faces.
void BuildGlassMesh(cs::Mesh& mesh);

}  // namespace assetgen

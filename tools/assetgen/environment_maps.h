#pragma once
// The glass shell's reflection maps. OpenGL's sphere mapping looks a
// reflected direction up in a picture of a mirrored ball, so each map is
// painted by turning every texel back into the direction it stands for and
// asking an environment for its colour there.
#include "canvas.h"

namespace assetgen {

// 128 x 128: a studio for polished chrome (bright sky, hard horizon, dark
// floor, two soft lights).
Canvas PaintChromeMap(int size);
// 128 x 128: blue sky with clouds and a low sun over a hazy land.
Canvas PaintSkyMap(int size);

}  // namespace assetgen

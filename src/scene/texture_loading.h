#pragma once
// Turning pictures and assets into Textures without touching OpenGL: these
// run on the picture-loading thread as well as the render thread.
#include <cstdint>
#include <string>

#include "base/status.h"
#include "scene/resource_store.h"
#include "scene/texture.h"

namespace cs {

// Where a decoded W x H picture lands in its texture.
struct PictureGeometry {
    int texture_width = 0;
    int texture_height = 0;
    int picture_width = 0;  // the size the picture is scaled to
    int picture_height = 0;
    int offset_x = 0;  // of the picture's left edge, in texels
    int offset_y = 0;  // of the picture's top edge, counted from the texture's top
};

// 2 to the power of floor(log2 n), for n >= 1.
int PowerOfTwoFloor(int n);

// The texture and scaled-picture sizes for a W x H picture: requested
// width and height (-1 for none), letterboxing on a square, or both sides
// rounded down to powers of two (stretched).
PictureGeometry ComputePictureGeometry(int picture_width, int picture_height, int width, int height, bool letterbox,
                                       bool power_of_two);

// True for a path of more than four characters ending in ".tex", any case.
bool HasTexExtension(const std::string& path);

// dir/name.ext -> dir/name_a.ext: the path without its last four characters,
// "_a.", and its last three. Empty for a path of fewer than four characters.
std::string AlphaCompanionPath(const std::string& path);

// Makes the picture RGBA with the alpha taken from the first channel of
// `alpha` (which may be the picture itself). 1 and no change when the sizes
// differ or either has no pixels.
Status MergeAlpha(Texture& picture, const Texture& alpha);

// Resamples the pixels to w x h: bilinear (every channel, alpha included)
// or nearest; `swap_red_blue` exchanges the first and third channels of the
// output. 0; 1 when the size is unchanged; E_POINTER without a texture;
// E_FAIL without pixels or for a size below 1; E_OUTOFMEMORY.
Status ResampleTexture(Texture* texture, int width, int height, bool bilinear, bool swap_red_blue);

// Why a picture did not load: the decoder's code and text when decoding
// failed, else the status and its text.
struct PictureLoadError {
    std::int32_t code = 0;
    std::string text;
};

// Decodes a picture file (or, when the file cannot be decoded, the resource
// of that name) into an RGB texture, bottom row first: scaled to the
// requested size (-1 for none), letterboxed on a square in the border colour
// or stretched, or with power_of_two each side rounded down to a power of
// two. Unless no_companion is set, the alpha companion is merged in. 0;
// E_POINTER without texture or path; E_FAIL for a ".tex" path or a picture
// that cannot be decoded; E_OUTOFMEMORY. On failure the texture is empty
// and `error`, when given, says why (the file's decoding error first).
Status LoadPictureTexture(Texture* texture, const char* path, int width, int height, std::uint8_t border_r,
                          std::uint8_t border_g, std::uint8_t border_b, bool letterbox, bool no_companion,
                          bool power_of_two, const ResourceStore& resources = ProgramResources(),
                          PictureLoadError* error = nullptr);

// Fills the texture by the lookup order of named assets: a resource container
// of that name, a picture file (power-of-two, stretched, with its alpha
// companion; never for ".tex" names), a container file. Textures from the
// first two carry the requested name, one from a container file the name in
// its record. 0, or the last failure when every source failed (the texture
// is then empty).
Status FindNamedTexture(Texture* texture, const char* name, const ResourceStore& resources = ProgramResources());

}  // namespace cs

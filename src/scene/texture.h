#pragma once
// A picture as the scene uses it: RGB or RGBA bytes with the bottom row
// first, the OpenGL texture made from them, and the name it came from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "scene/mesh_array.h"

namespace cs {

class Texture {
public:
    // The TEX record's first byte and the newest version a reader accepts.
    static constexpr std::uint8_t kMagic = 'G';
    static constexpr std::uint8_t kVersion = 1;

    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Channels() const { return channels_; }
    bool HasPixels() const { return !pixels_.empty(); }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }
    std::uint8_t* PixelData() { return pixels_.data(); }
    // Bytes the pixels of this size take: width x height x channels.
    std::size_t PixelBytes() const;

    // Takes the pixels of a picture of that size. Channels must be 3 or 4
    // and the bytes exactly width x height x channels; otherwise E_INVALIDARG
    // and nothing changes. Marks the texture for re-upload.
    Status SetPixels(int width, int height, int channels, std::vector<std::uint8_t> pixels);
    // Frees the pixel bytes and keeps the size, name and OpenGL name: the
    // state of a texture whose OpenGL copy is all that is needed.
    void ReleasePixels();
    // Back to a new texture: no size, no pixels, no OpenGL name, marked for
    // upload. The name stays.
    void Clear();

    unsigned GlName() const { return gl_name_; }
    void SetGlName(unsigned name) { gl_name_ = name; }
    bool NeedsUpload() const { return needs_upload_; }
    void SetNeedsUpload(bool needed) { needs_upload_ = needed; }

    // The name up to its first NUL.
    std::string Name() const;
    void SetName(std::string_view name);
    // The name exactly as the record stores it (terminator included).
    const MeshArray<char>& NameBlock() const { return name_; }

    std::uint8_t RecordVersion() const { return version_; }

    // The TEX record. Reading refuses a wrong magic or a version above 1,
    // a channel count other than 3 or 4, and pixels beyond the data, with
    // E_FAIL and an empty texture. Headerless moves only the pixel bytes
    // of a texture whose size is already set.
    void Serialize(class Serializer& s, bool headerless = false);

private:
    int width_ = 0;
    int height_ = 0;
    int channels_ = 3;
    std::vector<std::uint8_t> pixels_;
    unsigned gl_name_ = 0;
    bool needs_upload_ = true;
    std::uint8_t version_ = kVersion;
    MeshArray<char> name_{1};
};

}  // namespace cs

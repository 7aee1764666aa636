#include "scene/texture.h"

#include <algorithm>

#include "scene/serializer.h"

namespace cs {

std::size_t Texture::PixelBytes() const {
    return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * static_cast<std::size_t>(channels_);
}

Status Texture::SetPixels(int width, int height, int channels, std::vector<std::uint8_t> pixels) {
    if (width < 0 || height < 0 || (channels != 3 && channels != 4)) return status::kInvalidArg;
    const std::uint64_t bytes = std::uint64_t{static_cast<std::uint32_t>(width)} * static_cast<std::uint32_t>(height) *
                                static_cast<std::uint32_t>(channels);
    if (bytes != pixels.size()) return status::kInvalidArg;
    width_ = width;
    height_ = height;
    channels_ = channels;
    pixels_ = std::move(pixels);
    needs_upload_ = true;
    return status::kOk;
}

void Texture::ReleasePixels() {
    pixels_.clear();
    pixels_.shrink_to_fit();
}

void Texture::Clear() {
    ReleasePixels();
    width_ = 0;
    height_ = 0;
    channels_ = 3;
    gl_name_ = 0;
    needs_upload_ = true;
}

std::string Texture::Name() const {
    const char* begin = name_.data();
    const char* end = begin + name_.size();
    return std::string(begin, std::find(begin, end, '\0'));
}

void Texture::SetName(std::string_view name) {
    std::vector<char> bytes(name.begin(), name.end());
    bytes.push_back('\0');
    name_.Assign(std::move(bytes));
}

void Texture::Serialize(Serializer& s, bool headerless) {
    if (headerless) {
        if (!s.Reading() && pixels_.size() != PixelBytes()) {
            s.Fail(status::kFail);
            return;
        }
        if (s.Reading()) {
            if (!s.CanRead(PixelBytes())) {
                s.Fail(status::kFail);
                return;
            }
            pixels_.assign(PixelBytes(), 0);
            needs_upload_ = true;
        }
        s.Bytes(pixels_.data(), pixels_.size());
        return;
    }

    // A texture whose pixels were released has nothing to write.
    if (!s.Reading() && pixels_.size() != PixelBytes()) {
        s.Fail(status::kFail);
        return;
    }
    std::uint8_t magic = kMagic;
    std::uint8_t version = version_;
    if (!s.U8(magic) || !s.U8(version)) return;
    if (s.Reading()) {
        if (magic != kMagic || version > kVersion) {
            s.Fail(status::kFail);
            return;
        }
        // Records are read only into textures that own no OpenGL copy.
        Clear();
        version_ = version;
    }

    std::uint32_t width = static_cast<std::uint32_t>(width_);
    std::uint32_t height = static_cast<std::uint32_t>(height_);
    std::uint32_t channels = static_cast<std::uint32_t>(channels_);
    if (!s.U32(width) || !s.U32(height) || !s.U32(channels)) return;
    name_.Serialize(s);
    if (!s.Ok()) return;

    if (s.Reading()) {
        // The pixels must be in the data before a byte is allocated for
        // them, whatever the header claims.
        const std::uint64_t bytes = std::uint64_t{width} * height * channels;
        if ((channels != 3 && channels != 4) || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu || !s.CanRead(bytes)) {
            s.Fail(status::kFail);
            return;
        }
        width_ = static_cast<int>(width);
        height_ = static_cast<int>(height);
        channels_ = static_cast<int>(channels);
        pixels_.assign(static_cast<std::size_t>(bytes), 0);
    }
    s.Bytes(pixels_.data(), pixels_.size());
}

}  // namespace cs

#pragma once
// A new picture used to go up to OpenGL in the frame that switched faces,
// and a megapixel texture made that frame several times as long as the
// others. The picture is ready long before its switch, so its rows now go
// up a slice per frame into a spare OpenGL texture while the current
// picture shows, and the switch only trades texture names.
#include <cstdint>
#include <memory>

#include "base/status.h"
#include "scene/texture.h"

namespace cs {

// The OpenGL work the staging needs, behind an interface so that the
// bookkeeping runs in tests without a context. RenderDevice is the real one.
class TextureUploads {
public:
    virtual ~TextureUploads() = default;
    // A new OpenGL texture of that size with undefined contents, set up as
    // UploadTexture sets its textures up; 0 when OpenGL refuses it.
    virtual unsigned CreateTextureStorage(int width, int height, int channels) = 0;
    // Rows first_row .. first_row + row_count - 1 of the picture (counted
    // from the bottom, as it stores them) into that OpenGL texture, which
    // has the picture's size. False when OpenGL reports an error.
    virtual bool UploadRows(unsigned name, const Texture& picture, int first_row, int row_count) = 0;
    virtual void DeleteTextureName(unsigned name) = 0;
    // The whole picture the ordinary way, when staging could not be done.
    virtual Status UploadTexture(Texture* texture) = 0;
};

class PictureStaging {
public:
    // About this many bytes go up per frame: a 1024 x 1024 RGB picture in
    // 13 frames, a 512 one in 4.
    static constexpr std::size_t kStepBytes = 256 * 1024;

    explicit PictureStaging(TextureUploads& uploads, std::size_t step_bytes = kStepBytes);
    ~PictureStaging() = default;
    PictureStaging(const PictureStaging&) = delete;
    PictureStaging& operator=(const PictureStaging&) = delete;

    // One frame's share of the waiting picture. `generation` tells a newly
    // loaded picture from the one being staged (the loader may replace the
    // picture before its switch), which then starts over. Once its last row
    // is up the picture's pixels are released: the spare holds them, and
    // neither the memory nor freeing it need wait for the switch frame.
    void Step(Texture& picture, std::uint64_t generation);
    // True when every row of that picture is up.
    bool Staged(std::uint64_t generation) const;

    // The switch: the face gets the picture, which takes the staged OpenGL
    // texture (any rows still missing go up now), and the face's old OpenGL
    // texture becomes the spare for the next picture. The picture's pixels
    // are released. A picture neither staged nor with pixels replaces the
    // face as it is.
    void HandOver(std::unique_ptr<Texture>& face, std::unique_ptr<Texture> picture, std::uint64_t generation);

    // Gives the spare back to OpenGL (at shutdown, context still current).
    void Release();

    unsigned SpareName() const { return spare_.name; }

private:
    struct Spare {
        unsigned name = 0;
        int width = 0;
        int height = 0;
        int channels = 0;
    };

    // Makes the spare fit the picture and starts it over.
    void Begin(const Texture& picture, std::uint64_t generation);
    void UploadUpTo(const Texture& picture, int rows);

    TextureUploads& uploads_;
    std::size_t step_bytes_;
    Spare spare_;
    bool staging_ = false;  // rows of staged_generation_ are going up
    std::uint64_t staged_generation_ = 0;
    int rows_done_ = 0;
};

}  // namespace cs

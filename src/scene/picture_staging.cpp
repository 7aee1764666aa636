#include "scene/picture_staging.h"

#include <algorithm>
#include <utility>

namespace cs {

PictureStaging::PictureStaging(TextureUploads& uploads, std::size_t step_bytes)
    : uploads_(uploads), step_bytes_(std::max<std::size_t>(step_bytes, 1)) {}

void PictureStaging::Begin(const Texture& picture, std::uint64_t generation) {
    staging_ = true;
    staged_generation_ = generation;
    rows_done_ = 0;
    if (spare_.name != 0 && spare_.width == picture.Width() && spare_.height == picture.Height() &&
        spare_.channels == picture.Channels())
        return;
    // A spare of another size would keep part of the last picture.
    if (spare_.name != 0) uploads_.DeleteTextureName(spare_.name);
    spare_ = {uploads_.CreateTextureStorage(picture.Width(), picture.Height(), picture.Channels()), picture.Width(),
              picture.Height(), picture.Channels()};
}

void PictureStaging::UploadUpTo(const Texture& picture, int rows) {
    rows = std::min(rows, picture.Height());
    if (spare_.name == 0 || rows <= rows_done_) return;
    if (!uploads_.UploadRows(spare_.name, picture, rows_done_, rows - rows_done_)) {
        // Whatever OpenGL did not take, the switch uploads the usual way.
        uploads_.DeleteTextureName(spare_.name);
        spare_ = {};
        return;
    }
    rows_done_ = rows;
}

void PictureStaging::Step(Texture& picture, std::uint64_t generation) {
    if (!picture.HasPixels() || picture.Width() < 1 || picture.Height() < 1) return;
    if (!staging_ || staged_generation_ != generation) Begin(picture, generation);
    const std::size_t row_bytes = static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Channels());
    const int step = static_cast<int>(std::max<std::size_t>(1, std::min<std::size_t>(step_bytes_ / row_bytes, 1 << 20)));
    UploadUpTo(picture, rows_done_ + std::min(step, picture.Height() - rows_done_));
    if (Staged(generation)) picture.ReleasePixels();
}

bool PictureStaging::Staged(std::uint64_t generation) const {
    return staging_ && staged_generation_ == generation && spare_.name != 0 && rows_done_ == spare_.height;
}

void PictureStaging::HandOver(std::unique_ptr<Texture>& face, std::unique_ptr<Texture> picture,
                              std::uint64_t generation) {
    if (!picture) return;
    unsigned freed = 0;  // the face's old OpenGL texture
    Spare freed_size;
    if (face && face->GlName() != 0) {
        freed = face->GlName();
        freed_size = {freed, face->Width(), face->Height(), face->Channels()};
        face->SetGlName(0);
    }
    if (Staged(generation) || picture->HasPixels()) {
        if (!staging_ || staged_generation_ != generation) Begin(*picture, generation);
        UploadUpTo(*picture, picture->Height());
        if (spare_.name != 0) {
            picture->SetGlName(spare_.name);
            picture->SetNeedsUpload(false);
            spare_ = {};
        } else {
            uploads_.UploadTexture(picture.get());
        }
        picture->ReleasePixels();
    }
    staging_ = false;
    if (freed != 0) {
        if (spare_.name == 0)
            spare_ = freed_size;
        else
            uploads_.DeleteTextureName(freed);
    }
    face = std::move(picture);
}

void PictureStaging::Release() {
    if (spare_.name != 0) uploads_.DeleteTextureName(spare_.name);
    spare_ = {};
    staging_ = false;
}

}  // namespace cs

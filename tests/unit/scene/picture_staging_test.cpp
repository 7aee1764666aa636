// The face switch under the staged upload, over a device that records which
// picture each OpenGL texture's rows came from: every face shows its own
// picture after any run of switches and the previous/next keys, no texture
// is leaked or shared, and the switch frame uploads nothing.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/random.h"
#include "scene/cube_animation.h"
#include "scene/picture_staging.h"

namespace cs {
namespace {

class RecordingUploads final : public TextureUploads {
public:
    unsigned CreateTextureStorage(int width, int height, int channels) override {
        textures[next] = {width, std::vector<std::string>(static_cast<std::size_t>(height))};
        return next++;
    }
    bool UploadRows(unsigned name, const Texture& picture, int first_row, int row_count) override {
        auto& t = textures.at(name);
        EXPECT_EQ(t.width, picture.Width());
        EXPECT_EQ(static_cast<int>(t.rows.size()), picture.Height());
        for (int r = first_row; r < first_row + row_count; ++r) t.rows.at(static_cast<std::size_t>(r)) = picture.Name();
        rows_uploaded += row_count;
        return true;
    }
    void DeleteTextureName(unsigned name) override { EXPECT_EQ(textures.erase(name), 1u) << name; }
    Status UploadTexture(Texture* texture) override {
        const unsigned name = CreateTextureStorage(texture->Width(), texture->Height(), texture->Channels());
        UploadRows(name, *texture, 0, texture->Height());
        texture->SetGlName(name);
        return status::kOk;
    }
    // The picture every row of the texture came from, or "mixed".
    std::string Shows(unsigned name) const {
        const auto& rows = textures.at(name).rows;
        for (const std::string& r : rows)
            if (r != rows.front()) return "mixed";
        return rows.front();
    }

    struct Gl {
        int width = 0;
        std::vector<std::string> rows;
    };
    std::map<unsigned, Gl> textures;
    unsigned next = 1;
    int rows_uploaded = 0;
};

// The scene's side of the hand-off with a loader that has the next picture
// at once: each picture is 16 x 16, named by its number.
class StagedFaces final : public CubeAnimationHost {
public:
    StagedFaces() : staging(gl, 16 * 3 * 5) {  // five rows a frame
        faces[0] = Picture();
        gl.UploadTexture(faces[0].get());
        faces[0]->ReleasePixels();
        Load();
    }
    bool PictureReady() override { return ready; }
    void TakePendingPicture(int face) override {
        const int before = gl.rows_uploaded;
        staging.HandOver(faces[static_cast<std::size_t>(face)], std::move(pending), generation);
        switch_rows.push_back(gl.rows_uploaded - before);
        pending = std::make_unique<Texture>();
        ready = false;
    }
    // Replaces a picture that is still waiting, as the loader does after
    // the previous-picture key.
    void RequestNextPicture() override { Load(); }
    void SetLoaderPriority(LoaderPriority) override {}

    void Frame(CubeAnimation& animation) {
        animation.Advance(0.01f, *this);
        if (ready) staging.Step(*pending, generation);
    }

    std::unique_ptr<Texture> Picture() {
        auto t = std::make_unique<Texture>();
        t->SetPixels(16, 16, 3, std::vector<std::uint8_t>(16 * 16 * 3, 7));
        t->SetName("picture " + std::to_string(loaded++));
        return t;
    }
    void Load() {
        pending = Picture();
        ++generation;
        ready = true;
    }

    RecordingUploads gl;
    PictureStaging staging;
    std::array<std::unique_ptr<Texture>, kCubeFaces> faces;
    std::unique_ptr<Texture> pending;
    std::uint64_t generation = 0;
    bool ready = false;
    int loaded = 0;
    std::vector<int> switch_rows;
};

TEST(PictureStaging, EveryFaceShowsItsOwnPictureAfterSwitchesAndKeys) {
    SeedRandom(99);
    CubeSettings settings;
    settings.show_picture_length = 1;
    settings.rotation_length = 1;
    CubeAnimation animation;
    animation.Configure(settings);
    animation.SetStarted(true);
    StagedFaces scene;

    for (int frame = 0; frame < 6000; ++frame) {
        if (frame % 700 == 350) animation.Key('Z', scene);  // previous: the waiting picture is replaced
        if (frame % 900 == 450) animation.Key('A', scene);  // next: switch as soon as it is ready
        scene.Frame(animation);
        // Once up, the waiting picture's bytes are not kept until its switch.
        if (scene.ready && scene.staging.Staged(scene.generation)) {
            EXPECT_FALSE(scene.pending->HasPixels());
        }

        std::set<unsigned> names;
        for (const auto& face : scene.faces) {
            if (!face) continue;
            ASSERT_NE(face->GlName(), 0u);
            EXPECT_TRUE(names.insert(face->GlName()).second) << "two faces share a texture";
            EXPECT_EQ(scene.gl.Shows(face->GlName()), face->Name()) << "frame " << frame;
            EXPECT_FALSE(face->HasPixels());
        }
        // The faces' textures and at most the spare: nothing leaks.
        const unsigned spare = scene.staging.SpareName();
        EXPECT_EQ(scene.gl.textures.size(), names.size() + (spare != 0 ? 1 : 0));
        EXPECT_FALSE(spare != 0 && names.count(spare) != 0);
    }
    // Every face has had its pictures, and the switches only traded names,
    // bar those the keys brought before the picture was up.
    int faces_shown = 0;
    for (const auto& face : scene.faces) faces_shown += face != nullptr;
    EXPECT_EQ(faces_shown, kCubeFaces);
    ASSERT_GT(scene.switch_rows.size(), 20u);
    int quiet = 0;
    for (int rows : scene.switch_rows) quiet += rows == 0;
    EXPECT_GE(quiet, static_cast<int>(scene.switch_rows.size()) - 3);

    scene.staging.Release();
    for (auto& face : scene.faces) scene.gl.DeleteTextureName(face->GlName());
    EXPECT_TRUE(scene.gl.textures.empty());
}

TEST(PictureStaging, APictureOfAnotherSizeGetsASpareOfItsSize) {
    RecordingUploads gl;
    PictureStaging staging(gl);
    std::unique_ptr<Texture> face;
    for (int size : {8, 8, 4, 16}) {
        auto picture = std::make_unique<Texture>();
        picture->SetPixels(size, size, 3, std::vector<std::uint8_t>(static_cast<std::size_t>(size * size * 3), 1));
        picture->SetName("p" + std::to_string(size));
        staging.Step(*picture, static_cast<std::uint64_t>(size));
        EXPECT_TRUE(staging.Staged(static_cast<std::uint64_t>(size)));
        staging.HandOver(face, std::move(picture), static_cast<std::uint64_t>(size));
        EXPECT_EQ(gl.textures.at(face->GlName()).width, size);
        EXPECT_EQ(gl.Shows(face->GlName()), face->Name());
    }
}

}  // namespace
}  // namespace cs

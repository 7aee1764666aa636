#pragma once
// The cube scene: six picture faces on a turning cube, with the background,
// the glass shell and the text overlays, drawn through the render device.
// The motion is CubeAnimation's; the pictures come from the PictureLoader.
#include <array>
#include <memory>

#include "scene/saver_scene.h"
#include "timing/stopwatch.h"
#include "scene/cube_animation.h"
#include "scene/date_time.h"
#include "scene/frame_content.h"
#include "scene/mesh.h"
#include "scene/picture_loader.h"
#include "scene/picture_staging.h"
#include "scene/render_device.h"
#include "scene/text_overlay.h"
#include "scene/texture.h"

namespace cs {

class CubeScene final : public SaverScene, private CubeAnimationHost {
public:
    CubeScene(ClockSource& clock = SystemClock(), const ResourceStore& resources = ProgramResources(),
              DateTimeSource& date_time = SystemDateTime());
    ~CubeScene() override;

    int Start(WindowHandle window, bool preview, CubeSettings& cube, const GeneralSettings& general,
              PathList pictures, ListCompletion completion) override;
    int StartBeside(WindowHandle window, SaverScene& first, int position, CubeSettings& cube,
                    const GeneralSettings& general) override;
    int Frame() override;
    double SecondsAtRest() const override;
    void Repaint() override { ++repaints_; }
    int Shutdown() override;
    bool Key(unsigned virtual_key) override;
    void Resize(WindowHandle window) override;

    RenderDevice& Device() { return device_; }
    const CubeAnimation& Animation() const { return animation_; }
    PictureLoader& Loader() { return loader_; }
    int TextureSize() { return loader_.HandOff().options.texture_size; }
    const Texture* FaceTexture(int face) const { return faces_[static_cast<std::size_t>(face)].get(); }

private:
    // CubeAnimationHost
    bool PictureReady() override;
    void TakePendingPicture(int face) override;
    void RequestNextPicture() override;
    void SetLoaderPriority(LoaderPriority priority) override;

    // How the loader makes the faces' textures.
    void SetPictureOptions(const CubeSettings& cube, int texture_size);
    // Start's work once the loader's list is set up: the device on the
    // window, the first picture and the loader thread.
    int StartDrawing(WindowHandle window, CubeSettings& cube, const GeneralSettings& general, bool beside);
    void LoadMeshes();
    void BuildBackgroundMeshes();
    void SetUpGlass(int glass_style);
    void DrawBackground();
    void DrawFaces(const Matrix4& model);
    void DrawGlass();
    void DrawOverlays(const FrameContent& content);
    void DrawText(float x, float y, unsigned flags, const std::string& text);
    // Uploads a slice of the waiting picture, never waiting for the loader;
    // true while rows of it are still to go up.
    bool StagePendingPicture();
    // How long the frames after this undrawn one have nothing to do.
    double RestAfterThisFrame(bool rows_waiting);
    std::unique_ptr<Texture> LoadUploaded(bool first_picture);

    ClockSource& clock_;
    const ResourceStore& resources_;
    DateTimeSource& date_time_;
    RenderDevice device_;
    PictureStaging staging_{device_};
    PictureLoader loader_;
    CubeAnimation animation_;

    std::array<Mesh, kCubeFaces> face_meshes_;
    std::array<std::unique_ptr<Texture>, kCubeFaces> faces_;
    Mesh glass_mesh_;
    bool glass_on_ = true;
    Mesh star_mesh_;
    Mesh background_quad_;
    int star_count_ = 0;
    std::unique_ptr<Texture> background_picture_;
    Texture font_;

    bool started_ = false;
    bool beside_ = false;  // on another monitor beside the first cube
    bool frame_clock_started_ = false;
    Stopwatch frame_clock_;
    FrameRateCounter frame_rate_;
    bool limiter_on_ = false;
    bool show_names_ = false;
    bool show_date_time_ = false;
    bool show_frame_rate_ = false;
    std::uint64_t pictures_received_ = 0;
    std::uint64_t repaints_ = 0;
    std::optional<FrameContent> on_screen_;
    bool resting_ = false;  // the last frame found nothing to draw
    double seconds_at_rest_ = 0.0;
};

}  // namespace cs

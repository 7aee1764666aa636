#include "scene/cube_scene.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "timing/frame_log.h"
#include "timing/frame_pacing.h"
#include "base/encoded_text.h"
#include "base/random.h"
#include "scene/gl_api.h"
#include "scene/resource_pack.h"
#include "scene/texture_loading.h"
#include "scene/window_size.h"

namespace cs {
namespace {

constexpr EncodedText kSkyMap("SKY.TEX");
constexpr EncodedText kChromeMap("CHROME.TEX");
constexpr EncodedText kGlassMesh("CUBE2.MSH");
constexpr EncodedText kFont("FONT1-A.TEX");
constexpr EncodedText kPaused("PAUSED");
constexpr EncodedText kLoading("Loading next image");
constexpr EncodedText kFrameRateFormat("%d fps");

constexpr int kPreviewTextureSize = 128;
constexpr int kTextureSize = 512;
constexpr int kStarCount = 1000;
constexpr float kCameraDistance = 50.0f;
constexpr float kBackgroundWidth = 180.0f;
constexpr float kBackgroundHeight = 120.0f;
constexpr float kGlassAlpha = 0.1f;

float Rand01() { return static_cast<float>(NextRandom()) / 32767.0f; }

std::string FaceMeshName(int i) {
    static constexpr EncodedText kPrefix("PCUBE");
    return kPrefix.Decode() + static_cast<char>('0' + i) + ".MSH";
}

// A mesh that cannot be read stays empty and draws nothing.
void LoadMeshResource(const ResourceStore& resources, const std::string& name, Mesh& mesh) {
    ReadResourcePack(resources.Find(name.c_str()), &mesh);
}

}  // namespace

CubeScene::CubeScene(ClockSource& clock, const ResourceStore& resources, DateTimeSource& date_time)
    : clock_(clock),
      resources_(resources),
      date_time_(date_time),
      device_(resources),
      loader_(clock, resources),
      frame_clock_(clock),
      frame_rate_(clock) {}

CubeScene::~CubeScene() { Shutdown(); }

std::unique_ptr<Texture> CubeScene::LoadUploaded(bool first_picture) {
    auto texture = std::make_unique<Texture>();
    loader_.LoadNow(texture.get(), first_picture);
    device_.UploadTexture(texture.get());
    texture->ReleasePixels();
    return texture;
}

int CubeScene::Start(WindowHandle window, bool preview, CubeSettings& cube, const GeneralSettings& general,
                     PathList pictures, ListCompletion completion) {
    try {
        SeedRandom(clock_.TickCount());
        PictureHandOff& handoff = loader_.HandOff();
        handoff.pictures = std::move(pictures);
        handoff.pictures.SetRandomize(cube.randomize_pictures != 0);
        handoff.completion = std::move(completion);
        PrepareFirstPick(handoff.pictures, handoff.completion, FreshShuffleSeed(clock_));
        if (handoff.completion.bound) Frames().Event('C', static_cast<double>(handoff.pictures.Count()));
        SetPictureOptions(cube, preview ? kPreviewTextureSize : kTextureSize);
        return StartDrawing(window, cube, general, false);
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
}

int CubeScene::StartBeside(WindowHandle window, SaverScene& first, int position, CubeSettings& cube,
                           const GeneralSettings& general) {
    auto* primary = dynamic_cast<CubeScene*>(&first);
    if (primary == nullptr || !primary->started_ || started_) return status::kFail;
    try {
        PictureHandOff& handoff = loader_.HandOff();
        handoff.deck = primary->loader_.SharedHandOff();
        handoff.completion.bound = true;  // the first cube's loader lists the rest
        SetPictureOptions(cube, kTextureSize);
        const int started = StartDrawing(window, cube, general, true);
        if (started >= 0) animation_.LeadFirstTurn(StaggeredTurnLead(position, animation_.ShowLength()));
        return started;
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
}

void CubeScene::SetPictureOptions(const CubeSettings& cube, int texture_size) {
    PictureLoadOptions& options = loader_.HandOff().options;
    options.texture_size = texture_size;
    options.letterbox = cube.stretch_to_fit == 0;
    BorderFromBackground(cube.background_color, options.border);
}

int CubeScene::StartDrawing(WindowHandle window, CubeSettings& cube, const GeneralSettings& general, bool beside) {
    try {
        PictureHandOff& handoff = loader_.HandOff();
        device_.Create(window);
        if (beside) {
            // Its monitor shows black instead; the first cube carries on.
            if (!device_.HasContext()) {
                device_.Destroy();
                return status::kFail;
            }
            device_.PresentWithoutWaiting();
        }

        background_picture_.reset();
        star_count_ = 0;
        if (cube.background == static_cast<int>(BackgroundKind::FirstPicture))
            background_picture_ = std::make_unique<Texture>();
        else if (cube.background == static_cast<int>(BackgroundKind::StarField))
            star_count_ = kStarCount;

        animation_.Configure(cube);

        if (cube.use_max_texture_size) {
            // A cap or an OpenGL answer that makes no sense keeps the size.
            const int maximum = device_.MaxTextureSize();
            int size = cube.texture_size_cap;
            if (maximum > 0) size = std::min(size, maximum);
            if (size > 0) handoff.options.texture_size = size;
        }

        LoadMeshes();
        if (background_picture_) background_picture_ = LoadUploaded(true);
        faces_[0] = LoadUploaded(false);
        if (!beside) Frames().Event('P', static_cast<double>(handoff.pictures.Count()));
        BuildBackgroundMeshes();
        loader_.Start();
        SetUpGlass(cube.cube_glass);

        started_ = true;
        on_screen_.reset();
        animation_.SetStarted(true);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(50.0, 1.33, 1.0, 300.0);
        glMatrixMode(GL_MODELVIEW);
        const auto channel = [&](int shift) {
            return static_cast<float>((static_cast<std::uint32_t>(cube.background_color) >> shift) & 0xFF) / 255.0f;
        };
        glClearColor(channel(0), channel(8), channel(16), 1.0f);

        const std::string font = kFont.Decode();
        FindNamedTexture(&font_, font.c_str(), resources_);
        device_.UploadTexture(&font_);
        font_.ReleasePixels();

        limiter_on_ = general.frame_limiter == 1;
        show_names_ = cube.show_picture_names != 0;
        beside_ = beside;
        show_date_time_ = !beside && general.show_date_time != 0;
        show_frame_rate_ = !beside && general.show_frame_rate != 0;
        return status::kOk;
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
}

void CubeScene::LoadMeshes() {
    for (int i = 0; i < kCubeFaces; ++i) LoadMeshResource(resources_, FaceMeshName(i), face_meshes_[i]);
    LoadMeshResource(resources_, kGlassMesh.Decode(), glass_mesh_);
    const std::string sky = kSkyMap.Decode();
    glass_mesh_.SetMaterialName(0, sky.c_str());
}

void CubeScene::BuildBackgroundMeshes() {
    if (star_count_ > 0) {
        const auto stars = static_cast<std::uint32_t>(star_count_);
        star_mesh_.Create(PrimitiveKind::kPoints, stars);
        star_mesh_.CreateVertexArrays(stars, mesh_flags::kPositions | mesh_flags::kColors);
        for (std::uint32_t j = 0; j < stars; ++j) {
            star_mesh_.indices[j] = j;
            star_mesh_.positions[3 * j] = Rand01() * kBackgroundWidth;
            star_mesh_.positions[3 * j + 1] = Rand01() * kBackgroundHeight;
            star_mesh_.positions[3 * j + 2] = 0.0f;
            star_mesh_.colors[3 * j] = Rand01();
            star_mesh_.colors[3 * j + 1] = Rand01();
            star_mesh_.colors[3 * j + 2] = Rand01();
        }
    }
    background_quad_.Create(PrimitiveKind::kQuads, 1);
    background_quad_.CreateVertexArrays(4, mesh_flags::kPositions | mesh_flags::kTexCoords);
    const float corners[4][4] = {{0, 0, 0, 0},
                                 {kBackgroundWidth, 0, 1, 0},
                                 {kBackgroundWidth, kBackgroundHeight, 1, 1},
                                 {0, kBackgroundHeight, 0, 1}};
    for (std::uint32_t v = 0; v < 4; ++v) {
        background_quad_.positions[3 * v] = corners[v][0];
        background_quad_.positions[3 * v + 1] = corners[v][1];
        background_quad_.positions[3 * v + 2] = 0.0f;
        background_quad_.tex_coords[2 * v] = corners[v][2];
        background_quad_.tex_coords[2 * v + 1] = corners[v][3];
        background_quad_.indices[v] = v;
    }
}

void CubeScene::SetUpGlass(int glass_style) {
    // SKY.TEX is loaded whatever the style: the glass mesh names it.
    device_.BindMaterial(&glass_mesh_);
    glass_on_ = true;
    switch (static_cast<GlassKind>(glass_style)) {
    case GlassKind::SilverChrome: {
        const std::string chrome = kChromeMap.Decode();
        glass_mesh_.SetMaterialName(0, chrome.c_str());
        device_.BindMaterial(&glass_mesh_);
        break;
    }
    case GlassKind::Disabled:
        glass_on_ = false;
        break;
    case GlassKind::SkyBlue:
    default:
        break;
    }
}

int CubeScene::Frame() {
    if (!started_) return status::kOk;
    device_.MakeCurrent();
    float dt = 0.0f;
    if (!frame_clock_started_) {
        frame_clock_.Start();
        frame_clock_started_ = true;
    } else {
        dt = static_cast<float>(frame_clock_.ElapsedSeconds());
        // Held back: the clock keeps running, so dt grows until a frame is drawn.
        if (!FrameLimiterAllows(frame_clock_, limiter_on_, clock_)) return status::kNothingToDo;
    }

    const bool after_rest = resting_;
    resting_ = false;
    animation_.Advance(dt, *this, after_rest);
    // The waiting picture goes up whether or not this frame draws: a
    // resting cube is when there is time for it.
    const bool rows_waiting = StagePendingPicture();

    const Matrix4 view = Matrix4::Translation(0.0f, 0.0f, -kCameraDistance);
    FrameContent content = AnimationContent(animation_, view);
    content.pictures_received = pictures_received_;
    content.repaints = repaints_;
    content.frame_rate_shown = show_frame_rate_;
    if (show_date_time_) {
        LocalDateTime now;
        if (date_time_.Now(now)) content.clock = std::move(now);
    }
    if (!FrameChanges(on_screen_, content)) {
        resting_ = true;
        seconds_at_rest_ = RestAfterThisFrame(rows_waiting);
        return status::kNothingToDo;
    }

    device_.Clear(true, true);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (background_picture_ || star_count_ > 0) DrawBackground();
    DrawFaces(content.model);
    if (glass_on_) DrawGlass();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawOverlays(content);
    device_.Present();
    on_screen_ = std::move(content);
    return status::kOk;
}

double CubeScene::SecondsAtRest() const { return started_ && resting_ ? seconds_at_rest_ : 0.0; }

double CubeScene::RestAfterThisFrame(bool rows_waiting) {
    // The clock's second may turn at any frame; the limiter holds frames
    // back by its own clock; every frame takes a slice of waiting rows up.
    if (show_date_time_ || limiter_on_ || rows_waiting) return 0.0;
    double rest = animation_.SecondsAtRest();
    if (!loader_.HandOff().ready.load()) {
        // Looked at this often while the loader works, so that the picture's
        // rows start going up soon after it is decoded.
        constexpr double kLoaderLook = 0.05;
        rest = std::min(rest, kLoaderLook);
    }
    return rest;
}

void CubeScene::DrawBackground() {
    const Matrix4 identity = Matrix4::Identity();
    device_.LoadMatrix(&identity);
    glPushAttrib(GL_ENABLE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glLoadIdentity();
    glOrtho(0.0, kBackgroundWidth, 0.0, kBackgroundHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    if (background_picture_) {
        glDisable(GL_BLEND);
        device_.UploadTexture(background_picture_.get());
        device_.DrawMesh(&background_quad_);
    } else {
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        device_.DrawMesh(&star_mesh_);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void CubeScene::DrawFaces(const Matrix4& model) {
    device_.LoadMatrix(&model);
    glDisable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    // The face meshes wind clockwise seen from outside.
    glCullFace(GL_FRONT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (int i = 0; i < kCubeFaces; ++i) {
        device_.BindMaterial(&face_meshes_[i]);
        // A face without a picture yet shows whatever is bound: at the start
        // every face shows the first picture.
        if (faces_[i]) device_.UploadTexture(faces_[i].get());
        device_.DrawMesh(&face_meshes_[i]);
    }
    glPopAttrib();
}

void CubeScene::DrawGlass() {
    glPushAttrib(GL_ENABLE_BIT);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glColor4f(1.0f, 1.0f, 1.0f, kGlassAlpha);
    if (Texture* map = glass_mesh_.MaterialTexture(0)) device_.UploadTexture(map);
    device_.DrawMesh(&glass_mesh_);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_BLEND);
    glPopAttrib();
}

void CubeScene::DrawText(float x, float y, unsigned flags, const std::string& text) {
    Mesh mesh;
    if (BuildTextMesh(text, x, y, flags, mesh)) device_.DrawMesh(&mesh);
}

void CubeScene::DrawOverlays(const FrameContent& content) {
    const auto overlay = [&](float width, float height, float grey, auto&& draw) {
        device_.UploadTexture(&font_);
        device_.BeginOverlay(width, height);
        glColor4f(grey, grey, grey, 1.0f);
        draw();
        device_.EndOverlay();
    };

    if (content.paused) overlay(100, 50, 0.7f, [&] { DrawText(92, 48, kTextLeft, kPaused.Decode()); });

    if (show_names_) {
        const Texture* shown = faces_[static_cast<std::size_t>(content.shown_face)].get();
        if (shown) {
            const std::string name = PictureDisplayName(shown->Name());
            overlay(50, 25, 0.7f, [&] { DrawText(25, 23.5f, kTextCentred, name); });
        }
    }

    if (const auto& now = content.clock) {
        const bool even = now->minute % 2 == 0;
        overlay(100, 50, 1.0f, [&] {
            DrawText(99, even ? 48.0f : 47.0f, kTextRightAligned, now->date);
            DrawText(99, even ? 47.0f : 48.0f, kTextRightAligned, now->time);
        });
    }

    if (content.frame_rate_shown) {
        const int rate = frame_rate_.CountFrame();
        overlay(100, 50, 1.0f, [&] {
            const std::string format = kFrameRateFormat.Decode();
            char text[32];
            std::snprintf(text, sizeof text, format.c_str(), rate);
            DrawText(1, 48, kTextLeft, text);
        });
        if (loader_.HandOff().load_state.load() == 1)
            overlay(100, 50, 1.0f, [&] { DrawText(1, 47, kTextLeft, kLoading.Decode()); });
    }
}

bool CubeScene::StagePendingPicture() {
    PictureHandOff& h = loader_.HandOff();
    if (!h.ready.load()) return false;
    // The loader holds the lock only while it replaces the picture; the
    // frame goes on without waiting and tries again next time.
    std::unique_lock<std::mutex> lock(h.lock, std::try_to_lock);
    if (!lock.owns_lock()) return true;
    if (!h.pending) return false;
    staging_.Step(*h.pending, h.generation);
    return !staging_.Staged(h.generation);
}

bool CubeScene::PictureReady() { return loader_.HandOff().ready.load(); }

void CubeScene::TakePendingPicture(int face) {
    // For the benchmarks: how long past the showing period the picture came
    // ('s' on the other monitors).
    Frames().Event(beside_ ? 's' : 'S', -(animation_.PhaseTimer() + animation_.ShowLength()));
    PictureHandOff& h = loader_.HandOff();
    ++pictures_received_;
    std::lock_guard<std::mutex> guard(h.lock);
    h.shown_pick = h.pending_pick;
    h.pending_pick = -1;
    // The picture's rows went up during the showing period: this frame
    // only trades texture names (the face's old texture is the next spare).
    staging_.HandOver(faces_[static_cast<std::size_t>(face)], std::move(h.pending), h.generation);
    h.pending = std::make_unique<Texture>();
    h.ready.store(false);
    h.load_state.store(0);
}

void CubeScene::RequestNextPicture() { loader_.HandOff().AskForNext(); }

void CubeScene::SetLoaderPriority(LoaderPriority priority) { loader_.SetPriority(priority); }

bool CubeScene::Key(unsigned virtual_key) { return started_ && animation_.Key(virtual_key, *this); }

void CubeScene::Resize(WindowHandle window) {
    device_.MakeCurrent();
    int width = 0, height = 0;
    if (ClientSize(window, width, height)) device_.SetViewport(0, 0, width, height);
    Repaint();
}

int CubeScene::Shutdown() {
    loader_.Stop();
    device_.MakeCurrent();
    const std::string sky = kSkyMap.Decode();
    const std::string chrome = kChromeMap.Decode();
    device_.ReleaseMaterial(&glass_mesh_);
    for (Mesh& mesh : face_meshes_) device_.ReleaseMaterial(&mesh);
    device_.ReleaseNamedTexture(sky.c_str());
    device_.ReleaseNamedTexture(chrome.c_str());
    for (auto& face : faces_) {
        if (face) device_.DeleteTexture(face.get());
        face.reset();
    }
    if (background_picture_) device_.DeleteTexture(background_picture_.get());
    background_picture_.reset();
    staging_.Release();
    // A loader still decoding after Stop gave up keeps the pending texture
    // until it ends; otherwise it goes now.
    if (!loader_.Running()) {
        std::lock_guard<std::mutex> guard(loader_.HandOff().lock);
        loader_.HandOff().pending = std::make_unique<Texture>();
    }
    device_.DeleteTexture(&font_);
    device_.Destroy();
    started_ = false;
    animation_.SetStarted(false);
    return status::kOk;
}

}  // namespace cs

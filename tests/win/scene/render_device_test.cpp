// RenderDevice on a real OpenGL context: a small window of its own, the
// device created on it, and pixels read back from the back buffer.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "scene/gl_api.h"
#include "scene/picture_staging.h"
#include "scene/render_device.h"
#include "scene/resource_pack.h"
#include "scene/resource_store.h"

namespace cs {
namespace {

constexpr int kSize = 64;

HWND MakeWindow() {
    static const char* kClass = "SceneDeviceTestWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        registered = RegisterClassA(&wc) != 0;
    }
    HWND window = CreateWindowExA(0, kClass, "device test", WS_POPUP | WS_VISIBLE, 0, 0, kSize, kSize, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return window;
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = MakeWindow();
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(device_.Create(window_), status::kOk);
        ASSERT_TRUE(device_.HasContext());
    }
    void TearDown() override {
        device_.Destroy();
        if (window_ != nullptr) DestroyWindow(window_);
    }

    static Texture& Solid(Texture& t, int w, int h, std::array<std::uint8_t, 3> rgb) {
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < w * h; ++i) pixels.insert(pixels.end(), rgb.begin(), rgb.end());
        EXPECT_EQ(t.SetPixels(w, h, 3, std::move(pixels)), status::kOk);
        return t;
    }
    static std::array<GLint, 2> BoundSize() {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        return {w, h};
    }
    static std::array<std::uint8_t, 3> ReadPixel(int x, int y) {
        std::array<std::uint8_t, 4> rgba{};
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return {rgba[0], rgba[1], rgba[2]};
    }

    HWND window_ = nullptr;
    RenderDevice device_;
};

TEST(RenderDeviceLifecycle, DestroyWithoutCreateAndTwice) {
    RenderDevice device;
    EXPECT_EQ(device.Destroy(), status::kNothingToDo);
    EXPECT_EQ(device.SetViewport(0, 0, 1, 1), status::kFail);
    EXPECT_EQ(device.Clear(true, true), status::kFail);
    EXPECT_EQ(device.LoadMatrix(nullptr), status::kPointer);
    EXPECT_EQ(device.DrawMesh(nullptr), status::kFail);

    HWND window = MakeWindow();
    ASSERT_EQ(device.Create(window), status::kOk);
    EXPECT_TRUE(device.HasContext());
    EXPECT_EQ(wglGetCurrentContext() != nullptr, true);
    EXPECT_EQ(device.ViewportWidth(), kSize);
    EXPECT_FLOAT_EQ(device.Aspect(), 1.0f);
    EXPECT_FLOAT_EQ(device.FarPlane(), 1000.0f);
    EXPECT_GE(device.MaxTextureSize(), 1024);
    EXPECT_EQ(device.Destroy(), status::kOk);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(device.Destroy(), status::kNothingToDo);
    DestroyWindow(window);
}

TEST_F(DeviceTest, FixedStateAfterCreate) {
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    GLint mode = 0;
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
    EXPECT_EQ(mode, GL_SPHERE_MAP);
    GLint depth_bits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
    EXPECT_GT(depth_bits, 0);
    GLint double_buffered = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &double_buffered);
    EXPECT_TRUE(double_buffered);
}

TEST_F(DeviceTest, UploadReplaceInPlaceAndDelete) {
    Texture none;
    EXPECT_EQ(device_.UploadTexture(nullptr), status::kPointer);
    EXPECT_EQ(device_.UploadTexture(&none), status::kFail);

    Texture first;
    Solid(first, 8, 8, {10, 20, 30});
    ASSERT_EQ(device_.UploadTexture(&first), status::kOk);
    const unsigned name = first.GlName();
    ASSERT_NE(name, 0u);
    EXPECT_FALSE(first.NeedsUpload());
    EXPECT_EQ(BoundSize(), (std::array<GLint, 2>{8, 8}));
    // Bound again without a new upload once the pixels are gone.
    first.ReleasePixels();
    ASSERT_EQ(device_.UploadTexture(&first), status::kOk);
    EXPECT_EQ(first.GlName(), name);

    Texture second;
    Solid(second, 8, 8, {200, 100, 50});
    ASSERT_EQ(device_.ReplaceTextureContents(&first, &second), status::kOk);
    EXPECT_EQ(second.GlName(), name);
    EXPECT_EQ(first.GlName(), 0u);
    std::vector<std::uint8_t> back(8 * 8 * 3);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, second.Pixels());
    EXPECT_EQ(device_.ReplaceTextureContents(&first, &second), status::kFail);  // first has no name now
    EXPECT_EQ(device_.ReplaceTextureContents(nullptr, &second), status::kPointer);

    // A larger picture than the OpenGL texture is refused, not written past it.
    Texture big;
    Solid(big, 16, 16, {1, 2, 3});
    EXPECT_EQ(device_.ReplaceTextureContents(&second, &big), status::kFail);
    EXPECT_EQ(second.GlName(), name);
    // So is a smaller one, which would leave part of the old picture showing.
    Texture small;
    Solid(small, 4, 4, {9, 9, 9});
    EXPECT_EQ(device_.ReplaceTextureContents(&second, &small), status::kFail);
    EXPECT_EQ(second.GlName(), name);
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, second.Pixels());

    EXPECT_EQ(device_.DeleteTexture(&second), status::kOk);
    EXPECT_EQ(second.GlName(), 0u);
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(device_.DeleteTexture(&second), status::kNothingToDo);
    EXPECT_EQ(device_.DeleteTexture(nullptr), status::kPointer);
}

TEST_F(DeviceTest, PictureStagedInSlicesIsTheWholePictureAfterTheSwitch) {
    Texture picture;
    std::vector<std::uint8_t> pixels(8 * 8 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
    picture.SetPixels(8, 8, 3, pixels);
    PictureStaging staging(device_, 8 * 3 * 3);  // three rows a frame
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(staging.Staged(1));
        staging.Step(picture, 1);
    }
    EXPECT_TRUE(staging.Staged(1));
    std::unique_ptr<Texture> face;
    staging.HandOver(face, std::make_unique<Texture>(), 2);  // an empty picture changes nothing in OpenGL
    auto owned = std::make_unique<Texture>();
    owned->SetPixels(8, 8, 3, pixels);
    staging.Step(*owned, 3);
    staging.HandOver(face, std::move(owned), 3);  // the rest goes up now
    ASSERT_NE(face->GlName(), 0u);
    EXPECT_FALSE(face->HasPixels());
    std::vector<std::uint8_t> back(pixels.size());
    glBindTexture(GL_TEXTURE_2D, face->GlName());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, pixels);
    staging.Release();
    EXPECT_EQ(device_.DeleteTexture(face.get()), status::kOk);
}

TEST_F(DeviceTest, StaleTextureIsUploadedAfresh) {
    Texture t;
    Solid(t, 4, 4, {1, 1, 1});
    ASSERT_EQ(device_.UploadTexture(&t), status::kOk);
    const unsigned old_name = t.GlName();
    Solid(t, 8, 4, {2, 2, 2});  // new pixels mark it stale
    ASSERT_EQ(device_.UploadTexture(&t), status::kOk);
    EXPECT_NE(t.GlName(), 0u);
    EXPECT_FALSE(glIsTexture(old_name) && old_name != t.GlName());
    EXPECT_EQ(BoundSize(), (std::array<GLint, 2>{8, 4}));
}

TEST_F(DeviceTest, TextureAboveTheMaximumIsShrunkBeforeUpload) {
    device_.OverrideMaxTextureSize(16);
    Texture t;
    Solid(t, 64, 8, {50, 60, 70});
    t.SetName("wide.bmp");
    ASSERT_EQ(device_.UploadTexture(&t), status::kOk);
    EXPECT_EQ(t.Width(), 16);
    EXPECT_EQ(t.Height(), 8);
    EXPECT_EQ(BoundSize(), (std::array<GLint, 2>{16, 8}));
    EXPECT_EQ(t.Pixels()[0], 50);
}

TEST_F(DeviceTest, DrawsAFaceMeshWithItsTexture) {
    Mesh front;
    ASSERT_EQ(ReadResourcePack(ProgramResources().Find("PCUBE4.MSH"), &front), status::kOk);
    // Four quadrants, bottom row first: red, green / blue, white.
    Texture t;
    std::vector<std::uint8_t> pixels;
    const std::array<std::uint8_t, 3> colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const auto& c = colours[(y / 2) * 2 + x / 2];
            pixels.insert(pixels.end(), c.begin(), c.end());
        }
    ASSERT_EQ(t.SetPixels(4, 4, 3, pixels), status::kOk);

    ASSERT_EQ(device_.Clear(true, true), status::kOk);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4.68, 4.68, -4.68, 4.68, -10, 10);
    const Matrix4 identity = Matrix4::Identity();
    ASSERT_EQ(device_.LoadMatrix(&identity), status::kOk);
    ASSERT_EQ(device_.UploadTexture(&t), status::kOk);
    ASSERT_EQ(device_.DrawMesh(&front), status::kOk);
    glFinish();
    // Quadrant centres: linear filtering blends only texels of one colour
    // there (nearer the edges the repeat wrap reaches the opposite side).
    const auto close_to = [](std::array<std::uint8_t, 3> got, int r, int g, int b) {
        return std::abs(got[0] - r) <= 2 && std::abs(got[1] - g) <= 2 && std::abs(got[2] - b) <= 2;
    };
    EXPECT_TRUE(close_to(ReadPixel(16, 16), 255, 0, 0));
    EXPECT_TRUE(close_to(ReadPixel(48, 16), 0, 255, 0));
    EXPECT_TRUE(close_to(ReadPixel(16, 48), 0, 0, 255));
    EXPECT_TRUE(close_to(ReadPixel(48, 48), 255, 255, 255));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(device_.Present(), status::kOk);

    // Without the flag the coordinates are not used, even though present.
    front.SetFlags(mesh_flags::kPositions | mesh_flags::kNormals);
    ASSERT_EQ(device_.DrawMesh(&front), status::kOk);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    // Indices past the vertices are refused rather than drawn.
    front.indices[0] = 4;
    EXPECT_EQ(device_.DrawMesh(&front), status::kFail);
}

TEST_F(DeviceTest, OverlayRestoresStateButLeavesAdditiveBlending) {
    ASSERT_EQ(device_.BeginOverlay(100.0f, 50.0f), status::kOk);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 100.0f);
    EXPECT_FLOAT_EQ(projection[5], 2.0f / 50.0f);
    device_.EndOverlay();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint dst = 0;
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(dst, GL_ONE);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NE(projection[0], 2.0f / 100.0f);
}

TEST_F(DeviceTest, AssetsAreResourcesOfTheNamedType) {
    for (const char* name : {"CHROME.TEX", "SKY.TEX", "DEFAULT.TEX", "FONT1-A.TEX", "PCUBE0.MSH", "CUBE2.MSH"}) {
        EXPECT_FALSE(ProgramResources().Find(name).empty()) << name;
        // Not under the predefined numeric data type.
        EXPECT_EQ(FindResourceA(nullptr, name, MAKEINTRESOURCEA(10)), nullptr) << name;
    }
}

TEST_F(DeviceTest, NamedTexturesLoadOnceAndMaterialsBindAndRelease) {
    Texture* first = nullptr;
    Texture* second = nullptr;
    ASSERT_EQ(device_.LoadNamedTexture("SKY.TEX", &first), status::kOk);
    ASSERT_EQ(device_.LoadNamedTexture("SKY.TEX", &second), status::kNothingToDo);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->Width(), 128);
    EXPECT_EQ(first->Name(), "SKY.TEX");
    EXPECT_TRUE(Failed(device_.LoadNamedTexture("NOSUCH.TEX", &second)));

    Mesh glass;
    ASSERT_EQ(ReadResourcePack(ProgramResources().Find("CUBE2.MSH"), &glass), status::kOk);
    ASSERT_EQ(glass.SetMaterialName(0, "CHROME.TEX"), status::kOk);
    ASSERT_EQ(device_.BindMaterial(&glass), status::kOk);
    ASSERT_NE(glass.MaterialTexture(0), nullptr);
    EXPECT_EQ(device_.BindMaterial(&glass), status::kNothingToDo);
    ASSERT_EQ(device_.UploadTexture(glass.MaterialTexture(0)), status::kOk);
    const unsigned chrome = glass.MaterialTexture(0)->GlName();
    EXPECT_EQ(device_.NamedTextures().size(), 2u);

    EXPECT_EQ(device_.ReleaseMaterial(&glass), status::kOk);
    EXPECT_EQ(glass.MaterialTexture(0), nullptr);
    EXPECT_FALSE(glIsTexture(chrome));
    EXPECT_EQ(device_.ReleaseMaterial(&glass), status::kNothingToDo);
    EXPECT_EQ(device_.ReleaseNamedTexture("SKY.TEX"), status::kOk);
    EXPECT_EQ(device_.ReleaseNamedTexture("SKY.TEX"), status::kNothingToDo);
    EXPECT_EQ(device_.NamedTextures().size(), 0u);
}

}  // namespace
}  // namespace cs

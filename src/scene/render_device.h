#pragma once
// The thin layer between the scene and OpenGL 1.1 on the saver window: the
// context and its fixed state, viewport and default projection, clearing,
// matrices, mesh drawing, 2D overlays, presenting, and the textures made
// from Texture objects. Only the render thread uses it.
#include "base/platform_handles.h"
#include "base/status.h"
#include "scene/matrix4.h"
#include "scene/mesh.h"
#include "scene/named_textures.h"
#include "scene/picture_staging.h"
#include "scene/resource_store.h"
#include "scene/texture.h"

struct HGLRC__;

namespace cs {

class RenderDevice final : public TextureUploads {
public:
    explicit RenderDevice(const ResourceStore& resources = ProgramResources());
    ~RenderDevice();
    RenderDevice(const RenderDevice&) = delete;
    RenderDevice& operator=(const RenderDevice&) = delete;

    // Pixel format, context, fixed state, viewport over the client area and
    // the default projection. Always 0: a context that cannot be made leaves
    // a device on which drawing has no effect (see HasContext). An empty
    // window destroys the context instead.
    Status Create(WindowHandle window);
    // 0, or 1 when there was no context.
    Status Destroy();
    bool HasContext() const { return context_ != nullptr; }

    // 0, or E_FAIL without a window.
    Status SetViewport(int x, int y, int width, int height);
    Status Clear(bool color, bool depth);
    // The model-view matrix. E_POINTER without a matrix.
    Status LoadMatrix(const Matrix4* matrix);
    // Draws with the bound texture through vertex arrays. E_FAIL without a
    // mesh, for a kind outside the table, or when the arrays are too short
    // for the indices.
    Status DrawMesh(const Mesh* mesh);
    // 2D drawing in a width x height extent with additive blending, until
    // EndOverlay restores the projection and the enable state.
    Status BeginOverlay(float width, float height);
    void EndOverlay();
    // Swaps the main plane. Always 0.
    Status Present();
    // Makes this device's context the thread's current one: a thread that
    // draws into several windows (one per monitor) switches before each.
    void MakeCurrent();
    // Presenting no longer waits for the display's vertical blank where the
    // driver lets it choose: one window's swap must not hold up another's.
    void PresentWithoutWaiting();

    // Binds the texture's OpenGL copy, making it first (after shrinking the
    // pixels to the maximum texture size) when it has none or is stale. 0
    // also when OpenGL refuses the pixels (the texture then has no OpenGL
    // name); E_POINTER for none; E_FAIL with neither OpenGL name nor pixels.
    Status UploadTexture(Texture* texture) override;
    // Overwrites the old texture's OpenGL copy with the new one's pixels and
    // hands its OpenGL name over. E_POINTER if either is missing; E_FAIL if
    // the old one has no OpenGL name, the new one no pixels or another size
    // or channel count than the old (nothing is written then), or OpenGL
    // reports an error.
    Status ReplaceTextureContents(Texture* old_texture, Texture* new_texture);

    // TextureUploads, for staging a picture a slice per frame.
    unsigned CreateTextureStorage(int width, int height, int channels) override;
    bool UploadRows(unsigned name, const Texture& picture, int first_row, int row_count) override;
    void DeleteTextureName(unsigned name) override;
    // 0; 1 without an OpenGL name; E_POINTER for none.
    Status DeleteTexture(Texture* texture);

    // The listed texture (1) or a newly loaded one (0); not uploaded here.
    Status LoadNamedTexture(const char* name, Texture** texture);
    // 0 when found and removed (OpenGL copy deleted), 1 when not listed.
    Status ReleaseNamedTexture(const char* name);
    const NamedTextureList& NamedTextures() const { return named_; }

    // Resolves the mesh's slot-0 material through LoadNamedTexture. 1 when
    // already resolved or unnamed.
    Status BindMaterial(Mesh* mesh);
    // Releases the slot-0 material through ReleaseNamedTexture and forgets
    // it. 1 when unresolved or unnamed.
    Status ReleaseMaterial(Mesh* mesh);

    // The largest texture side OpenGL takes (0 when unknown). A positive
    // override replaces OpenGL's answer (tests of the shrink path).
    int MaxTextureSize() const;
    void OverrideMaxTextureSize(int size) { max_texture_override_ = size; }

    float Aspect() const { return aspect_; }
    float FieldOfView() const { return field_of_view_; }
    float NearPlane() const { return near_; }
    float FarPlane() const { return far_; }
    int ViewportWidth() const { return viewport_[2]; }
    int ViewportHeight() const { return viewport_[3]; }

private:
    // The portable halves of Create.
    void ApplyFixedState();
    void ApplyDefaultProjection();
    // The viewport over a client area of this size and the default
    // projection for its aspect.
    void FitClientArea(int width, int height);

    WindowHandle window_ = nullptr;
    DeviceContextHandle device_context_ = nullptr;
    HGLRC__* context_ = nullptr;
    float aspect_ = 1.0f;
    float field_of_view_ = 80.0f;
    float near_ = 1.0f;
    float far_ = 100.0f;
    int viewport_[4] = {0, 0, 0, 0};
    int depth_bits_ = 32;
    NamedTextureList named_;
    const ResourceStore& resources_;
    int max_texture_override_ = 0;
};

}  // namespace cs

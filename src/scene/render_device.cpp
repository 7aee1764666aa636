#include "scene/render_device.h"

#include <optional>

#include "base/trace.h"
#include "scene/gl_api.h"
#include "scene/texture_loading.h"

namespace cs {
namespace {

std::optional<GLenum> GlModeFor(std::uint32_t kind) {
    switch (static_cast<PrimitiveKind>(kind)) {
        case PrimitiveKind::kNone:
        case PrimitiveKind::kPoints: return GL_POINTS;
        case PrimitiveKind::kLineStrip: return GL_LINE_STRIP;
        case PrimitiveKind::kLineLoop: return GL_LINE_LOOP;
        case PrimitiveKind::kLines: return GL_LINES;
        case PrimitiveKind::kTriangleStrip: return GL_TRIANGLE_STRIP;
        case PrimitiveKind::kTriangleFan: return GL_TRIANGLE_FAN;
        case PrimitiveKind::kTriangles: return GL_TRIANGLES;
        case PrimitiveKind::kQuadStrip: return GL_QUAD_STRIP;
        case PrimitiveKind::kQuads: return GL_QUADS;
    }
    return std::nullopt;
}

GLenum PixelFormatOf(const Texture& texture) { return texture.Channels() == 4 ? GL_RGBA : GL_RGB; }

// The sampling state every picture texture gets, on upload and on reuse.
void ApplyTextureParameters() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

// Errors left over from earlier calls must not be taken for the next one's.
void DrainErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

}  // namespace

RenderDevice::RenderDevice(const ResourceStore& resources) : resources_(resources) {}

RenderDevice::~RenderDevice() { Destroy(); }

void RenderDevice::ApplyFixedState() {
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    const GLfloat specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 50.0f);
    const GLfloat light_position[] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

void RenderDevice::FitClientArea(int width, int height) {
    near_ = 1.0f;
    far_ = 1000.0f;
    aspect_ = height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
    SetViewport(0, 0, width, height);
    ApplyDefaultProjection();
}

void RenderDevice::ApplyDefaultProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(field_of_view_, aspect_, near_, far_);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

Status RenderDevice::SetViewport(int x, int y, int width, int height) {
    if (window_ == nullptr) return status::kFail;
    viewport_[0] = x;
    viewport_[1] = y;
    viewport_[2] = width;
    viewport_[3] = height;
    glViewport(x, y, width, height);
    return status::kOk;
}

Status RenderDevice::Clear(bool color, bool depth) {
    if (window_ == nullptr) return status::kFail;
    GLbitfield mask = 0;
    if (color) mask |= GL_COLOR_BUFFER_BIT;
    if (depth) mask |= GL_DEPTH_BUFFER_BIT;
    if (mask != 0) glClear(mask);
    return status::kOk;
}

Status RenderDevice::LoadMatrix(const Matrix4* matrix) {
    if (matrix == nullptr) return status::kPointer;
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(matrix->data());
    return status::kOk;
}

Status RenderDevice::DrawMesh(const Mesh* mesh) {
    if (mesh == nullptr) return status::kFail;
    const std::optional<GLenum> mode = GlModeFor(mesh->RawKind());
    // OpenGL would read wherever a bad index points.
    if (!mode || !mesh->DrawableArrays()) return status::kFail;
    const std::uint32_t flags = mesh->Flags();
    if ((flags & mesh_flags::kPositions) && !mesh->positions.empty()) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, mesh->positions.data());
    } else {
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    if (flags & mesh_flags::kTexCoords) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, mesh->tex_coords.data());
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (flags & mesh_flags::kNormals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, mesh->normals.data());
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (flags & mesh_flags::kColors) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, 0, mesh->colors.data());
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (!mesh->indices.empty() && !mesh->positions.empty())
        glDrawElements(*mode, static_cast<GLsizei>(mesh->indices.size()), GL_UNSIGNED_INT, mesh->indices.data());
    return status::kOk;
}

Status RenderDevice::BeginOverlay(float width, float height) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushAttrib(GL_ENABLE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // The second setting is the one in force: overlays add light.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    return status::kOk;
}

void RenderDevice::EndOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

int RenderDevice::MaxTextureSize() const {
    if (max_texture_override_ > 0) return max_texture_override_;
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

Status RenderDevice::UploadTexture(Texture* texture) {
    if (texture == nullptr) return status::kPointer;
    if (texture->NeedsUpload()) DeleteTexture(texture);
    if (texture->GlName() != 0) {
        glBindTexture(GL_TEXTURE_2D, texture->GlName());
        return status::kOk;
    }
    if (!texture->HasPixels()) return status::kFail;

    const int max = MaxTextureSize();
    if (max > 0 && (texture->Width() > max || texture->Height() > max)) {
        const int w = texture->Width() < max ? texture->Width() : max;
        const int h = texture->Height() < max ? texture->Height() : max;
        Tracef("Rescaling texture, %s %dx%d resizing to %dx%d\n", texture->Name().c_str(), texture->Width(),
               texture->Height(), w, h);
        if (Status s = ResampleTexture(texture, w, h, true, false); Failed(s)) return s;
    }

    DrainErrors();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    ApplyTextureParameters();
    glTexImage2D(GL_TEXTURE_2D, 0, texture->Channels(), texture->Width(), texture->Height(), 0,
                 PixelFormatOf(*texture), GL_UNSIGNED_BYTE, texture->Pixels().data());
    if (glGetError() != GL_NO_ERROR) {
        // Not reported to the caller; the name is given back so that a
        // texture refused every frame does not leak one per frame.
        glDeleteTextures(1, &name);
        return status::kOk;
    }
    texture->SetGlName(name);
    texture->SetNeedsUpload(false);
    return status::kOk;
}

Status RenderDevice::ReplaceTextureContents(Texture* old_texture, Texture* new_texture) {
    if (old_texture == nullptr || new_texture == nullptr) return status::kPointer;
    if (old_texture->GlName() == 0 || !new_texture->HasPixels()) return status::kFail;
    // The old texture keeps its size after its pixels are released. A
    // smaller picture would leave part of the old one showing, a larger one
    // cannot fit: either needs a texture of its own.
    if (old_texture->Width() != new_texture->Width() || old_texture->Height() != new_texture->Height() ||
        old_texture->Channels() != new_texture->Channels())
        return status::kFail;
    DrainErrors();
    glBindTexture(GL_TEXTURE_2D, old_texture->GlName());
    ApplyTextureParameters();
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, new_texture->Width(), new_texture->Height(), PixelFormatOf(*new_texture),
                    GL_UNSIGNED_BYTE, new_texture->Pixels().data());
    if (glGetError() != GL_NO_ERROR) return status::kFail;
    new_texture->SetGlName(old_texture->GlName());
    new_texture->SetNeedsUpload(false);
    old_texture->SetGlName(0);
    return status::kOk;
}

unsigned RenderDevice::CreateTextureStorage(int width, int height, int channels) {
    DrainErrors();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    ApplyTextureParameters();
    glTexImage2D(GL_TEXTURE_2D, 0, channels, width, height, 0, channels == 4 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                 nullptr);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        return 0;
    }
    return name;
}

bool RenderDevice::UploadRows(unsigned name, const Texture& picture, int first_row, int row_count) {
    if (name == 0 || !picture.HasPixels() || first_row < 0 || row_count < 1 || first_row + row_count > picture.Height())
        return false;
    DrainErrors();
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const std::size_t row_bytes = static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Channels());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first_row, picture.Width(), row_count, PixelFormatOf(picture),
                    GL_UNSIGNED_BYTE, picture.Pixels().data() + static_cast<std::size_t>(first_row) * row_bytes);
    return glGetError() == GL_NO_ERROR;
}

void RenderDevice::DeleteTextureName(unsigned name) {
    if (name == 0) return;
    const GLuint gl_name = name;
    glDeleteTextures(1, &gl_name);
}

Status RenderDevice::DeleteTexture(Texture* texture) {
    if (texture == nullptr) return status::kPointer;
    if (texture->GlName() == 0) return status::kNothingToDo;
    const GLuint name = texture->GlName();
    glDeleteTextures(1, &name);
    texture->SetGlName(0);
    return status::kOk;
}

Status RenderDevice::LoadNamedTexture(const char* name, Texture** texture) {
    return named_.Load(name, texture, resources_);
}

Status RenderDevice::ReleaseNamedTexture(const char* name) {
    if (name == nullptr) return status::kPointer;
    std::unique_ptr<Texture> texture = named_.Remove(name);
    if (!texture) return status::kNothingToDo;
    DeleteTexture(texture.get());
    return status::kOk;
}

Status RenderDevice::BindMaterial(Mesh* mesh) {
    if (mesh == nullptr) return status::kPointer;
    const std::string name = mesh->MaterialName(0);
    if (mesh->MaterialTexture(0) != nullptr || name.empty()) return status::kNothingToDo;
    Texture* texture = nullptr;
    const Status s = LoadNamedTexture(name.c_str(), &texture);
    if (Failed(s)) return s;
    mesh->SetMaterialTexture(0, texture);
    return status::kOk;
}

Status RenderDevice::ReleaseMaterial(Mesh* mesh) {
    if (mesh == nullptr) return status::kPointer;
    const std::string name = mesh->MaterialName(0);
    if (mesh->MaterialTexture(0) == nullptr || name.empty()) return status::kNothingToDo;
    // The list destroys the texture: the mesh must not keep pointing at it.
    mesh->SetMaterialTexture(0, nullptr);
    return ReleaseNamedTexture(name.c_str());
}

}  // namespace cs

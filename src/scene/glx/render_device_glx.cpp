// The GLX half of RenderDevice: a direct context on the X window the shell
// prepared with a visual that has double buffering, and presenting.
#include "base/trace.h"
#include "scene/gl_api.h"
#include "scene/glx/x_window.h"
#include "scene/render_device.h"

namespace cs {
namespace {

GLXContext AsGlx(HGLRC__* context) { return reinterpret_cast<GLXContext>(context); }

}  // namespace

Status RenderDevice::Create(WindowHandle window) {
    Destroy();
    if (window == nullptr || window->display == nullptr) return status::kOk;
    window_ = window;
    Display* display = window->display;
    GLXContext context = glXCreateContext(display, &window->visual, nullptr, True);
    if (!context) context = glXCreateContext(display, &window->visual, nullptr, False);
    // As on Windows, the program carries on without a context and draws
    // nothing; the trace says why.
    if (context == nullptr) {
        Tracef("OpenGL context not created\n");
    } else if (!glXMakeCurrent(display, window->window, context)) {
        Tracef("OpenGL context not made current\n");
        glXDestroyContext(display, context);
        context = nullptr;
    }
    context_ = reinterpret_cast<HGLRC__*>(context);

    ApplyFixedState();
    FitClientArea(window->width, window->height);
    return status::kOk;
}

Status RenderDevice::Destroy() {
    if (context_ == nullptr && window_ == nullptr) return status::kNothingToDo;
    const bool had_context = context_ != nullptr;
    if (had_context) {
        Display* display = window_->display;
        if (glXGetCurrentContext() == AsGlx(context_)) glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, AsGlx(context_));
        context_ = nullptr;
    }
    window_ = nullptr;
    return had_context ? status::kOk : status::kNothingToDo;
}

void RenderDevice::MakeCurrent() {
    if (context_ != nullptr && glXGetCurrentContext() != AsGlx(context_))
        glXMakeCurrent(window_->display, window_->window, AsGlx(context_));
}

// The program draws one window: its presents wait for nobody else's.
void RenderDevice::PresentWithoutWaiting() {}

Status RenderDevice::Present() {
    if (context_ != nullptr) glXSwapBuffers(window_->display, window_->window);
    return status::kOk;
}

}  // namespace cs

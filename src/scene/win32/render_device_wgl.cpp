// The WGL half of RenderDevice: the pixel format and context on the saver
// window, and presenting.
#include <windows.h>

#include "base/trace.h"
#include "scene/gl_api.h"
#include "scene/render_device.h"

namespace cs {

Status RenderDevice::Create(WindowHandle window) {
    Destroy();
    if (window == nullptr) return status::kOk;
    window_ = window;
    device_context_ = GetDC(window);

    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_GENERIC_ACCELERATED;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = static_cast<BYTE>(depth_bits_);
    format.iLayerType = PFD_MAIN_PLANE;
    const int index = ChoosePixelFormat(device_context_, &format);
    // The program carries on without a context (nothing is drawn); the
    // trace tells a developer why.
    if (index == 0 || !SetPixelFormat(device_context_, index, &format)) {
        Tracef("OpenGL pixel format not set (error %lu)\n", GetLastError());
    }
    context_ = wglCreateContext(device_context_);
    if (context_ == nullptr) {
        Tracef("OpenGL context not created (error %lu)\n", GetLastError());
    } else {
        wglMakeCurrent(device_context_, context_);
    }

    ApplyFixedState();
    RECT client{};
    GetClientRect(window, &client);
    FitClientArea(client.right - client.left, client.bottom - client.top);
    return status::kOk;
}

Status RenderDevice::Destroy() {
    if (context_ == nullptr && window_ == nullptr) return status::kNothingToDo;
    const bool had_context = context_ != nullptr;
    if (had_context) {
        if (wglGetCurrentContext() == context_) wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
        context_ = nullptr;
    }
    if (window_ != nullptr && device_context_ != nullptr) ReleaseDC(window_, device_context_);
    device_context_ = nullptr;
    window_ = nullptr;
    return had_context ? status::kOk : status::kNothingToDo;
}

void RenderDevice::MakeCurrent() {
    if (context_ != nullptr && wglGetCurrentContext() != context_) wglMakeCurrent(device_context_, context_);
}

void RenderDevice::PresentWithoutWaiting() {
    using SwapInterval = BOOL(WINAPI*)(int);
    MakeCurrent();
    if (context_ == nullptr) return;
    // An extension: asked for while the context is current.
    const auto set_interval =
        reinterpret_cast<SwapInterval>(reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (set_interval) set_interval(0);
}

Status RenderDevice::Present() {
    if (device_context_ != nullptr) wglSwapLayerBuffers(device_context_, WGL_SWAP_MAIN_PLANE);
    return status::kOk;
}

}  // namespace cs

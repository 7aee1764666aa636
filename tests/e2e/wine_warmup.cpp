// Brings a fresh Wine prefix and the machine's caches up to speed before the
// end-to-end tests time anything: the first GUI program of a new machine
// waits for Wine's first window and Mesa's first pixel format, which can
// take longer than a test waits for the saver window.
#include <windows.h>

#include <GL/gl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA window_class = {};
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = instance;
    window_class.lpszClassName = "WineWarmUp";
    if (!RegisterClassA(&window_class)) return 1;
    HWND window = CreateWindowA("WineWarmUp", "Wine warm-up", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 64, 64,
                                nullptr, nullptr, instance, nullptr);
    if (!window) return 2;
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    int status = 0;
    const int index = ChoosePixelFormat(dc, &format);
    if (index == 0 || !SetPixelFormat(dc, index, &format)) {
        status = 3;
    } else if (HGLRC context = wglCreateContext(dc)) {
        wglMakeCurrent(dc, context);
        glClear(GL_COLOR_BUFFER_BIT);
        SwapBuffers(dc);
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    } else {
        status = 4;
    }
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return status;
}

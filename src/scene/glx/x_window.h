#pragma once
// On Linux a WindowHandle points at this record of the X window the cube
// is drawn on, kept by the program's shell: the portable code passes it on
// untouched, and the GLX device and the window-size query read it.
// Xlib defines Status as a macro for int: the program's own Status (also
// an int) is declared first, and the macro then leaves it alone.
#include "base/status.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

struct HWND__ {
    Display* display = nullptr;
    Window window = 0;
    XVisualInfo visual{};  // the visual OpenGL draws with (the window's own)
    int width = 0;         // the size the shell last saw
    int height = 0;
};

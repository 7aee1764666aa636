#include "scene/glx/x_window.h"
#include "scene/window_size.h"

namespace cs {

// The size the shell keeps from the window's configure events: no round
// trip to the server in the middle of a frame.
bool ClientSize(WindowHandle window, int& width, int& height) {
    if (!window) return false;
    width = window->width;
    height = window->height;
    return true;
}

}  // namespace cs

#include <windows.h>

#include "scene/window_size.h"

namespace cs {

bool ClientSize(WindowHandle window, int& width, int& height) {
    RECT client{};
    if (!window || !GetClientRect(window, &client)) return false;
    width = client.right - client.left;
    height = client.bottom - client.top;
    return true;
}

}  // namespace cs

#pragma once
#include "base/platform_handles.h"

namespace cs {

// The window's client area; false for no window.
bool ClientSize(WindowHandle window, int& width, int& height);

}  // namespace cs

#pragma once
// Sizes given in pixels at 96 DPI, for the DPI of the monitor a window is on.
#include <windows.h>

namespace cs {

// The window's DPI: its monitor's on Windows 10 1607 and later, the system's before.
int WindowDpi(HWND window);
// pixels_at_96 scaled to the window's DPI.
int ScaleForWindow(HWND window, int pixels_at_96);

}  // namespace cs

#include "config/win32/window_dpi.h"

namespace cs {

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (get_dpi) {
        if (const UINT dpi = get_dpi(window)) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int ScaleForWindow(HWND window, int pixels_at_96) {
    return MulDiv(pixels_at_96, WindowDpi(window), USER_DEFAULT_SCREEN_DPI);
}

}  // namespace cs

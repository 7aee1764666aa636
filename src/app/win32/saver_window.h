#pragma once
// The saver window: its class, the window procedure with the exit rules, and
// the pieces of the main loop. Exposed for the in-process tests.
#include <windows.h>

#include <string>

#include "app/exit_rules.h"

namespace cs {

struct SaverWindowGlobals {
    HWND main_window = nullptr;
    SaverWindowState input;
    // The password question asked when the saver closes after the grace
    // period; the system's verifier unless a test replaces it.
    BOOL (*verify_password)(HWND) = nullptr;
};
SaverWindowGlobals& SaverWindow();
// Back to the state of a fresh process (tests create many windows).
void ResetSaverWindowGlobals();

std::string SaverClassName();
std::string SaverWindowTitle(bool preview);

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
bool RegisterSaverWindowClass(HINSTANCE instance);

struct SaverWindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;
};
// The position, size and styles of the window for the current mode (the
// chosen resolution is passed when the display mode was switched).
SaverWindowGeometry SaverGeometryForMode(ScreenMode mode, HWND parent, int windowed_width, int windowed_height,
                                         bool layered, int switched_width, int switched_height);
HWND CreateSaverWindow(HINSTANCE instance, const SaverWindowGeometry& geometry, bool preview);

// Yes means the saver may close.
BOOL VerifyPassword(HWND window);
void ChangePassword(HWND parent);

// SetLayeredWindowAttributes, looked up at run time (from library, or from
// the system's user library when none is given).
void SetWindowAlpha(HMODULE library, HWND window, int opacity);
void ClearLayeredStyle(HWND window);

}  // namespace cs

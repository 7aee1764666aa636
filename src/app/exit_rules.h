#pragma once
// The decisions of the saver window procedure: which input ends the saver,
// when WM_CLOSE may destroy the window, and which keys are commands for the
// scene instead. The Win32 window procedure acts on these answers.
#include <cstdint>

#include "app/command_line.h"

namespace cs {

// A full-screen saver closes without a password check this soon after its
// window was created.
inline constexpr std::uint32_t kPasswordGraceMilliseconds = 3000;
// Mouse movements tolerated before the saver ends (small knocks of the desk).
inline constexpr int kTolerableMouseMoves = 5;

// State shared by the window procedure of the one saver window.
struct SaverWindowState {
    bool close_requested = false;
    bool in_password_check = false;
    std::uint32_t creation_tick = 0;
    int mouse_moves = 0;
    std::int16_t last_mouse_x = -1;
    std::int16_t last_mouse_y = -1;
};

struct ExitPolicy {
    ScreenMode mode = ScreenMode::Configure;
    bool exit_on_escape_only = false;
};

// Keyboard, mouse-button and activation input that ends a full-screen saver.
bool KeyDownRequestsExit(const ExitPolicy& policy, const SaverWindowState& state);
bool ButtonRequestsExit(const ExitPolicy& policy, const SaverWindowState& state);
bool DeactivationRequestsExit(const ExitPolicy& policy, const SaverWindowState& state, bool activated);
// Releasing Escape ends a windowed saver, and any saver in Escape-only mode.
bool KeyUpEndsSaver(const ExitPolicy& policy, bool is_escape);
// Counts position changes; true when this movement ends the saver.
bool MouseMoveRequestsExit(const ExitPolicy& policy, SaverWindowState& state, std::int16_t x, std::int16_t y);
// The cursor is hidden over a full-screen saver unless a password prompt needs it.
bool HidesCursor(const ExitPolicy& policy, const SaverWindowState& state);

enum class CloseDecision {
    Ignore,         // not asked for by the user, or a password check is already running
    Destroy,        // within the grace period
    CheckPassword,  // ask the system; destroy only on yes
};
CloseDecision DecideClose(const SaverWindowState& state, std::uint32_t now_tick);

enum class SystemCommand { Close, NextWindow, PrevWindow, ScreenSave, MonitorPower, Other };
enum class SystemCommandAction {
    Swallow,            // return 0
    DisplayPowerDown,   // set display-idle, tell the app, then default handling
    DisplayPowerUp,     // clear display-idle, then default handling
    Default,
};
SystemCommandAction DecideSystemCommand(const ExitPolicy& policy, SystemCommand command, std::intptr_t lparam);

// The scene's command keys. They never end the saver.
enum class SceneCommand { None, Previous, Next, Spin, Pause };
enum class VirtualKey : unsigned { Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28, Escape = 0x1B };
SceneCommand CommandForKey(unsigned virtual_key);

// Opacity of the opening fade after the given seconds (about 4.2 s to opaque),
// and of the closing fade (2 s to transparent).
int OpeningFadeOpacity(double seconds);
int ClosingFadeOpacity(double seconds);

}  // namespace cs

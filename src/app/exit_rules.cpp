#include "app/exit_rules.h"

#include <algorithm>
#include <cmath>

namespace cs {
namespace {

bool InputMayEndSaver(const ExitPolicy& policy, const SaverWindowState& state) {
    return policy.mode == ScreenMode::Saver && !state.in_password_check && !policy.exit_on_escape_only;
}

int ClampOpacity(double value) {
    if (!(value > 0)) return 0;  // also NaN
    return static_cast<int>(std::min(value, 255.0));
}

}  // namespace

bool KeyDownRequestsExit(const ExitPolicy& policy, const SaverWindowState& state) {
    return InputMayEndSaver(policy, state);
}

bool ButtonRequestsExit(const ExitPolicy& policy, const SaverWindowState& state) {
    return InputMayEndSaver(policy, state);
}

bool DeactivationRequestsExit(const ExitPolicy& policy, const SaverWindowState& state, bool activated) {
    // Losing activation ends the saver even in Escape-only mode: another
    // program has taken over the screen.
    return policy.mode == ScreenMode::Saver && !state.in_password_check && !activated;
}

bool KeyUpEndsSaver(const ExitPolicy& policy, bool is_escape) {
    return is_escape && (policy.mode == ScreenMode::Windowed || policy.exit_on_escape_only);
}

bool MouseMoveRequestsExit(const ExitPolicy& policy, SaverWindowState& state, std::int16_t x, std::int16_t y) {
    if (!InputMayEndSaver(policy, state)) return false;
    if (x == state.last_mouse_x && y == state.last_mouse_y) return false;
    state.last_mouse_x = x;
    state.last_mouse_y = y;
    ++state.mouse_moves;
    return state.mouse_moves > kTolerableMouseMoves;
}

bool HidesCursor(const ExitPolicy& policy, const SaverWindowState& state) {
    return policy.mode == ScreenMode::Saver && !state.in_password_check;
}

CloseDecision DecideClose(const SaverWindowState& state, std::uint32_t now_tick) {
    if (!state.close_requested || state.in_password_check) return CloseDecision::Ignore;
    // Unsigned difference: correct across the tick count's wrap.
    if (now_tick - state.creation_tick <= kPasswordGraceMilliseconds) return CloseDecision::Destroy;
    return CloseDecision::CheckPassword;
}

SystemCommandAction DecideSystemCommand(const ExitPolicy& policy, SystemCommand command, std::intptr_t lparam) {
    if (policy.mode != ScreenMode::Saver) return SystemCommandAction::Default;
    switch (command) {
    case SystemCommand::Close:
    case SystemCommand::NextWindow:
    case SystemCommand::PrevWindow:
    case SystemCommand::ScreenSave:
        return SystemCommandAction::Swallow;
    case SystemCommand::MonitorPower:
        return (lparam == 1 || lparam == 2) ? SystemCommandAction::DisplayPowerDown
                                            : SystemCommandAction::DisplayPowerUp;
    case SystemCommand::Other:
        break;
    }
    return SystemCommandAction::Default;
}

SceneCommand CommandForKey(unsigned key) {
    switch (key) {
    case 'Z':
    case static_cast<unsigned>(VirtualKey::Left): return SceneCommand::Previous;
    case 'A':
    case static_cast<unsigned>(VirtualKey::Right): return SceneCommand::Next;
    case 'S':
    case static_cast<unsigned>(VirtualKey::Up): return SceneCommand::Spin;
    case 'P':
    case static_cast<unsigned>(VirtualKey::Down): return SceneCommand::Pause;
    default: return SceneCommand::None;
    }
}

int OpeningFadeOpacity(double seconds) { return ClampOpacity(1.0 + std::trunc(60.0 * seconds)); }

int ClosingFadeOpacity(double seconds) { return ClampOpacity(255.0 - std::trunc(127.5 * seconds)); }

}  // namespace cs

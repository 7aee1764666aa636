#include "config/win32/settings_dialog_context.h"

namespace cs {
namespace {

DisplayModeInfo FromDevMode(const DEVMODEA& mode) {
    return {static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
            static_cast<int>(mode.dmBitsPerPel), static_cast<int>(mode.dmDisplayFrequency)};
}

}  // namespace

std::vector<DisplayModeInfo> EnumerateDisplayModes() {
    std::vector<DisplayModeInfo> modes;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) modes.push_back(FromDevMode(mode));
    return modes;
}

DisplayModeInfo CurrentDisplayMode() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return {};
    return FromDevMode(mode);
}

}  // namespace cs

#pragma once
// Which parts of the virtual desktop get a black window while the full-screen
// saver runs: every monitor the saver's own window does not already cover.
#include <span>
#include <vector>

namespace cs {

// A rectangle in virtual-desktop pixels, right and bottom exclusive. Monitors
// left of or above the primary one have negative coordinates.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The monitors, in the order the system lists them, that need a cover: not
// empty, not inside the saver window's rectangle (the primary monitor, and
// monitors that mirror it), and each distinct rectangle once.
std::vector<ScreenRect> MonitorsToCover(std::span<const ScreenRect> monitors, const ScreenRect& saver_window);

}  // namespace cs

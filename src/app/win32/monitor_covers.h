#pragma once
// The windows over the monitors the full-screen saver's main window does not
// cover: each shows a cube of its own where the settings ask for one, else
// black. They are windows of the saver's own class, so the same exit rules
// apply.
#include <windows.h>

#include <span>

#include "app/monitor_layout.h"

namespace cs {

// Creates, moves or destroys cover windows until every monitor outside the
// main window's rectangle has one. Called after the main window exists and
// again when the monitor layout changes.
void FollowMonitorLayout(HINSTANCE instance, HWND main_window);
// One cover over each rectangle, reusing the covers there are.
void ArrangeMonitorCovers(HINSTANCE instance, HWND main_window, std::span<const ScreenRect> rects);
void CloseMonitorCovers();
// Once the main window's cube runs: a cube on each cover that has none.
void StartMonitorCubes();
bool IsMonitorCover(HWND window);
// The creation parameter that tells a cover's WM_CREATE from the main window's.
void* MonitorCoverMarker();

// Closes the covers however the full-screen run ends.
class MonitorCoversGuard {
public:
    MonitorCoversGuard() = default;
    MonitorCoversGuard(const MonitorCoversGuard&) = delete;
    MonitorCoversGuard& operator=(const MonitorCoversGuard&) = delete;
    ~MonitorCoversGuard() { CloseMonitorCovers(); }
};

}  // namespace cs

#include "app/monitor_layout.h"

#include <algorithm>

namespace cs {
namespace {

bool IsEmpty(const ScreenRect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Contains(const ScreenRect& outer, const ScreenRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

std::vector<ScreenRect> MonitorsToCover(std::span<const ScreenRect> monitors, const ScreenRect& saver_window) {
    std::vector<ScreenRect> covers;
    for (const ScreenRect& monitor : monitors) {
        if (IsEmpty(monitor) || Contains(saver_window, monitor)) continue;
        if (std::find(covers.begin(), covers.end(), monitor) != covers.end()) continue;
        covers.push_back(monitor);
    }
    return covers;
}

}  // namespace cs

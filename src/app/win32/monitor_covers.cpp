#include "app/win32/monitor_covers.h"

#include <algorithm>
#include <vector>

#include "app/process_state.h"
#include "app/screen_saver_app.h"
#include "app/win32/saver_window.h"

namespace cs {
namespace {

std::vector<HWND>& Covers() {
    static std::vector<HWND> covers;
    return covers;
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    reinterpret_cast<std::vector<ScreenRect>*>(data)->push_back({rect->left, rect->top, rect->right, rect->bottom});
    return TRUE;
}

HWND CreateCover(HINSTANCE instance, const ScreenRect& r) {
    const std::string class_name = SaverClassName();
    const std::string title = SaverWindowTitle(false);
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, class_name.c_str(), title.c_str(),
                                 WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, instance, MonitorCoverMarker());
    // Shown without activation: the main window keeps the keyboard.
    if (cover) ShowWindow(cover, SW_SHOWNOACTIVATE);
    if (cover && Process().app) Process().app->StartMonitorCube(cover);
    return cover;
}

void DestroyCover(HWND cover) {
    if (Process().app) Process().app->StopMonitorCube(cover);
    DestroyWindow(cover);
}

}  // namespace

void* MonitorCoverMarker() {
    static int marker;
    return &marker;
}

void FollowMonitorLayout(HINSTANCE instance, HWND main_window) {
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    RECT main_rect{};
    GetWindowRect(main_window, &main_rect);
    ArrangeMonitorCovers(instance, main_window,
                         MonitorsToCover(monitors, {main_rect.left, main_rect.top, main_rect.right, main_rect.bottom}));
}

void ArrangeMonitorCovers(HINSTANCE instance, HWND main_window, std::span<const ScreenRect> wanted) {
    std::vector<HWND>& covers = Covers();
    while (covers.size() > wanted.size()) {
        DestroyCover(covers.back());
        covers.pop_back();
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const ScreenRect& r = wanted[i];
        if (i < covers.size()) {
            SetWindowPos(covers[i], HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOACTIVATE);
        } else if (HWND cover = CreateCover(instance, r)) {
            covers.push_back(cover);
        }
    }
    // Where a cover overlaps the main window, the picture stays in front.
    SetWindowPos(main_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CloseMonitorCovers() {
    std::vector<HWND>& covers = Covers();
    for (HWND cover : covers) DestroyCover(cover);
    covers.clear();
}

void StartMonitorCubes() {
    ScreenSaverApp* app = Process().app;
    if (!app) return;
    for (HWND cover : Covers())
        if (!app->HasMonitorCube(cover)) app->StartMonitorCube(cover);
}

bool IsMonitorCover(HWND window) {
    const std::vector<HWND>& covers = Covers();
    return window && std::find(covers.begin(), covers.end(), window) != covers.end();
}

}  // namespace cs

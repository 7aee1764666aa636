#pragma once
// The saver framework: modes, the saver window and its main loop, pacing,
// fades and password handling. The concrete saver overrides the virtual
// operations below; their order is the order of the virtual table.
#include <cstdint>
#include <string>

#include "base/platform_handles.h"
#include "timing/stopwatch.h"
#include "config/settings.h"

namespace cs {

class SettingsStore;
class SettingsRegistry;

// Settings groups of ResetDefaults.
enum SettingsGroup : int { kAllGroups = 0, kPicturesGroup = 1, kCubeGroup = 2 };

// What the settings dialog keeps between its pages.
struct SettingsDialogState {
    WindowHandle dialog = nullptr;
    int current_page = 0;
};

class ScreenSaverApp {
public:
    ScreenSaverApp();
    ScreenSaverApp(const ScreenSaverApp&) = delete;
    ScreenSaverApp& operator=(const ScreenSaverApp&) = delete;

    // 0: reads (store clear) or writes (store set) the concrete saver's values.
    virtual void LoadSettings(WindowHandle owner, bool store, SettingsStore* key, int group, int first_index) {}
    // 1: random appearance for a first run.
    virtual void SeedFirstRunDefaults() {}
    // 2
    virtual ~ScreenSaverApp();
    // 3: negative is failure.
    virtual int StartScene(WindowHandle window, DeviceContextHandle dc) { return 0; }
    // 4
    virtual int OnWindowReplaced(WindowHandle window, DeviceContextHandle dc) { return 0; }
    // 5: negative ends the main loop.
    virtual int RenderFrame(WindowHandle window, DeviceContextHandle dc) { return 0; }
    // 6
    virtual int OnPaint(WindowHandle window, DeviceContextHandle dc) { return 0; }
    // 7
    virtual int StopScene(WindowHandle window, DeviceContextHandle dc) { return 0; }
    // 8: group is a SettingsGroup.
    virtual void ResetDefaults(WindowHandle owner, int group) {}
    // 9, 10: 1 means handled.
    virtual int PreDialogMessage(WindowHandle dialog, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) { return 0; }
    virtual int PostDialogMessage(WindowHandle dialog, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) { return 0; }
    // 11
    virtual void OnResize(WindowHandle window) {}
    // 12
    virtual void BeforeWindowClass() {}
    // 13: 1 means consumed.
    virtual int PreWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) { return 0; }
    // 14
    virtual void OnDisplayPowerDown() {}
    // 15
    virtual void VersionText(std::string& out);
    // 16: the full-screen saver's window over another monitor gets a cube
    // of its own (true) when the settings ask for it and it could start
    // there; otherwise it stays black.
    virtual bool StartMonitorCube(WindowHandle window) { return false; }
    // 17: before that window goes.
    virtual void StopMonitorCube(WindowHandle window) {}
    // 18
    virtual bool HasMonitorCube(WindowHandle window) const { return false; }
    // 19: after a frame that drew nothing, how many seconds nothing will
    // change unless a window message comes; the main loop lets the frames
    // of that time go by undrawn. 0: frames as usual.
    virtual double SecondsAtRest() { return 0.0; }

    // Runs the preview, full-screen or windowed saver until it ends.
    void Run(WindowHandle parent, int show_command);

    // The settings load at the start of every run, and the save on OK.
    void LoadAllSettings(WindowHandle owner, SettingsRegistry& registry, std::uint32_t tick_count);
    void SaveSettings(WindowHandle owner, SettingsRegistry& registry);
    void InitialiseFirstRun(WindowHandle owner, SettingsRegistry& registry);

    GeneralSettings& General() { return general_; }
    const GeneralSettings& General() const { return general_; }
    bool NotReady() const { return not_ready_; }
    bool DisplayIdle() const { return display_idle_; }
    void SetDisplayIdle(bool idle) {
        if (display_idle_ && !idle) ++display_wakes_;
        display_idle_ = idle;
    }
    // How often the display came back from idle: the window may have lost
    // its picture meanwhile.
    std::uint32_t DisplayWakes() const { return display_wakes_; }

protected:
    Stopwatch clock_a_;
    Stopwatch clock_b_;
    Stopwatch closing_fade_clock_;
    SettingsDialogState dialog_state_;

    bool not_ready_ = true;
    bool display_idle_ = false;
    std::uint32_t display_wakes_ = 0;
    int opacity_ = 0;
    void* layered_library_ = nullptr;
    bool closing_fade_ = false;
    GeneralSettings general_;

    friend struct SaverWindowAccess;

private:
    // Every setting stored under a numbered value name.
    void StoreNumberedSettings(WindowHandle owner, SettingsStore& key);
};

}  // namespace cs

// Run: the preview, full-screen and windowed saver from window creation to
// the end of the main loop.
#include <windows.h>

#include "timing/frame_log.h"
#include "timing/frame_pacing.h"
#include "timing/win32/message_queue_waiter.h"
#include "app/process_state.h"
#include "app/screen_saver_app.h"
#include "app/win32/monitor_covers.h"
#include "app/win32/saver_window.h"
#include "app/win32/system_settings_registry.h"
#include "app/win32/win32_display.h"
#include "base/encoded_text.h"
#include "base/status.h"
#include "diag/win32/crash_reporter.h"

namespace cs {
namespace {

constexpr EncodedText kLayeredLibrary("USER32.dll");
constexpr EncodedText kWarningCaption("Cube Saver");
constexpr EncodedText kClassFailedText("The screen saver window class could not be registered.");
constexpr EncodedText kWindowFailedText("The screen saver window could not be created.");
constexpr EncodedText kDisplayModeFailedText(
    "The screen saver could not switch to the display mode chosen in its settings.");

template <std::size_t N>
void Warn(HWND owner, const EncodedText<N>& text) {
    const std::string message = text.Decode();
    const std::string caption = kWarningCaption.Decode();
    MessageBoxA(owner, message.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

void ClearSaverRunning() { SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, nullptr, 0); }

// What Run has changed in the system and must undo however it ends; the
// running flag even when the process crashes.
class SystemChanges {
public:
    ~SystemChanges() {
        if (saver_running_) {
            SetCrashUndo(nullptr);
            ClearSaverRunning();
        }
        if (display_switched_) SwitchSystemDisplayMode(0, 0, 0, 0);
    }
    void DisplaySwitched() { display_switched_ = true; }
    void SaverRunning() {
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, nullptr, 0);
        saver_running_ = true;
        SetCrashUndo(ClearSaverRunning);
    }

private:
    bool display_switched_ = false;
    bool saver_running_ = false;
};

}  // namespace

void ScreenSaverApp::Run(WindowHandle parent, int show_command) {
    const ScreenMode mode = Process().mode;
    const bool preview = mode == ScreenMode::Preview;
    const HINSTANCE instance = static_cast<HINSTANCE>(Process().instance);
    SaverWindowGlobals& globals = SaverWindow();

    LoadAllSettings(parent, SystemSettingsRegistry(), GetTickCount());

    BeforeWindowClass();
    if (!RegisterSaverWindowClass(instance)) {
        Warn(nullptr, kClassFailedText);
        return;
    }

    SystemChanges changes;
    int switched_width = 0, switched_height = 0;
    if (preview) {
        // The preview lives inside the display settings' little monitor.
        if (!parent || !IsWindow(parent)) return;
    } else if (mode == ScreenMode::Saver) {
        const std::string class_name = SaverClassName();
        const std::string title = SaverWindowTitle(false);
        HWND running = FindWindowA(class_name.c_str(), title.c_str());
        if (running && IsWindow(running)) {
            SetForegroundWindow(running);
            return;
        }
        if (general_.use_other_resolution == 1) {
            if (!SwitchSystemDisplayMode(general_.resolution_width, general_.resolution_height, general_.color_depth,
                                         general_.refresh_rate)) {
                Warn(parent, kDisplayModeFailedText);
                return;
            }
            changes.DisplaySwitched();
            switched_width = general_.resolution_width;
            switched_height = general_.resolution_height;
        }
    }

    display_idle_ = true;
    const bool layered = general_.blend_on_open != 0 && mode != ScreenMode::Preview;
    const SaverWindowGeometry geometry = SaverGeometryForMode(mode, parent, Process().windowed_width,
                                                              Process().windowed_height, layered, switched_width,
                                                              switched_height);
    HWND window = CreateSaverWindow(instance, geometry, preview);
    if (!window) {
        Warn(nullptr, kWindowFailedText);
        return;
    }
    globals.main_window = window;
    MonitorCoversGuard covers;
    if (mode == ScreenMode::Saver) FollowMonitorLayout(instance, window);

    HMODULE layered_library = nullptr;
    if (general_.blend_on_open) {
        const std::string library = kLayeredLibrary.Decode();
        layered_library = LoadLibraryA(library.c_str());
        if (layered_library) {
            opacity_ = 1;
            SetWindowAlpha(layered_library, window, opacity_);
        } else {
            general_.blend_on_open = 0;  // this run only
            opacity_ = 255;
        }
    }
    layered_library_ = layered_library;

    if (mode == ScreenMode::Saver) changes.SaverRunning();

    HDC dc = GetDC(window);
    if (StartScene(window, dc) < 0) {
        ReleaseDC(window, dc);
        globals.main_window = nullptr;
        DestroyWindow(window);
        if (layered_library) FreeLibrary(layered_library);
        layered_library_ = nullptr;
        return;
    }

    if (mode == ScreenMode::Saver) StartMonitorCubes();
    not_ready_ = false;
    if (!preview) SetForegroundWindow(window);
    ShowWindow(window, show_command);

    FrameLog& frame_log = Frames();
    FramePacer pacer;
    MessageQueueWaiter waiter;
    bool drawing = true;  // whether the last frame drew, and so the next will
    // Looking into an empty queue costs Wine about a tenth of a millisecond.
    // Right after a sleep that no message ended there is no need: a message
    // that came since ends the next wait at once.
    bool queue_seen_empty = false;
    Stopwatch fade_clock;
    bool fade_started = false;

    for (;;) {
        MSG msg;
        if (!queue_seen_empty && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        queue_seen_empty = false;
        if ((display_idle_ && general_.support_power_down) || not_ready_) {
            WaitMessage();
            continue;
        }

        if (mode == ScreenMode::Saver || mode == ScreenMode::Windowed) {
            if (general_.blend_on_open && opacity_ < 255) {
                if (!fade_started) {
                    fade_clock.Start();
                    fade_started = true;
                }
                opacity_ = OpeningFadeOpacity(static_cast<double>(fade_clock.ElapsedSeconds()));
                if (opacity_ < 255) {
                    SetWindowAlpha(layered_library, window, opacity_);
                } else {
                    // Fully opaque: continue in a fresh window without the
                    // layered style, which costs a copy on every frame.
                    general_.blend_on_open = 0;
                    SetWindowAlpha(layered_library, window, 255);
                    ClearLayeredStyle(window);
                    RECT rc{};
                    GetWindowRect(window, &rc);
                    SaverWindowGeometry replacement = geometry;
                    replacement.x = rc.left;
                    replacement.y = rc.top;
                    replacement.width = rc.right - rc.left;
                    replacement.height = rc.bottom - rc.top;
                    replacement.ex_style &= ~static_cast<DWORD>(WS_EX_LAYERED);
                    replacement.style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~WS_VISIBLE;
                    HWND old_window = window;
                    HDC old_dc = dc;
                    window = CreateSaverWindow(instance, replacement, preview);
                    if (!window) {
                        Warn(nullptr, kWindowFailedText);
                        globals.main_window = nullptr;
                        window = old_window;
                        dc = old_dc;
                        break;
                    }
                    globals.main_window = window;
                    dc = GetDC(window);
                    OnWindowReplaced(window, dc);
                    RenderFrame(window, dc);
                    ShowWindow(window, show_command);
                    if (!preview) SetForegroundWindow(window);
                    ReleaseDC(old_window, old_dc);
                    ShowWindow(old_window, SW_HIDE);
                    DestroyWindow(old_window);
                }
            }
            if (closing_fade_) {
                opacity_ = ClosingFadeOpacity(static_cast<double>(closing_fade_clock_.ElapsedSeconds()));
                SetWindowAlpha(layered_library, window, opacity_);
                if (opacity_ == 0) {
                    ShowWindow(window, SW_HIDE);
                    break;
                }
            }
        }

        // A message that comes during the wait is handled first; the frame
        // stays due at the same moment.
        if (pacer.WaitUntilDue(FrameInterval(general_.target_framerate), drawing, waiter) != FrameWait::Due)
            continue;
        queue_seen_empty = pacer.LastWaitSlept();
        pacer.FrameStarts();
        frame_log.FrameStart();
        const int rendered = RenderFrame(window, dc);
        drawing = rendered != status::kNothingToDo;
        frame_log.FrameEnd(drawing);
        if (rendered < 0) break;
        // A fade steps with every frame, drawn or not.
        const bool fading = (general_.blend_on_open && opacity_ < 255) || closing_fade_;
        if (!drawing && !fading) pacer.RestFor(SecondsAtRest());
    }

    if (layered_library) FreeLibrary(layered_library);
    layered_library_ = nullptr;
    StopScene(window, dc);
    ReleaseDC(window, dc);
    if (IsWindow(window)) {
        globals.main_window = nullptr;
        DestroyWindow(window);
    }
    // SystemChanges: the saver-running flag is cleared and the display mode
    // restored on the way out.
}

}  // namespace cs

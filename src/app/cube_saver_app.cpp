#include "app/cube_saver_app.h"

#include <algorithm>

#include "app/exit_rules.h"
#include "app/process_state.h"
#include "base/status.h"
#include "config/settings_defaults.h"
#include "config/settings_values.h"

namespace cs {
namespace {
constexpr unsigned kMessageKeyDown = 0x0100;
}

CubeSaverApp::CubeSaverApp(ListSources sources, SaverScene* scene, MediaControl* media,
                           MonitorCubes::SceneMaker make_monitor_cube)
    : sources_(std::move(sources)), scene_(scene), music_(media), monitor_cubes_(std::move(make_monitor_cube)) {
    // Last step of construction: the page groups take their defaults.
    ResetDefaults(nullptr, kAllGroups);
}

CubeSaverApp::~CubeSaverApp() = default;

void CubeSaverApp::LoadSettings(WindowHandle owner, bool store, SettingsStore* key, int group, int first_index) {
    if (!key) return;
    if (store) {
        WriteCubeSettings(cube_, *key, group, first_index);
        return;
    }
    ReadCubeSettings(cube_, *key, group, first_index);
    // The settings dialog edits the stored lists; only a running saver
    // needs them expanded.
    if (Process().mode != ScreenMode::Configure && sources_.lister) {
        if (sources_.special_folders) {
            // The small preview in the display settings leaves the user's
            // cycle alone.
            const bool remembers = Process().mode != ScreenMode::Preview;
            picture_completion_ = BeginPictureList(
                std::make_unique<ListExpansion>(
                    PictureListExpansion(*key, *sources_.lister, *sources_.special_folders,
                                         sources_.system_formats)),
                picture_list_, remembers ? sources_.shuffle_memory : nullptr);
        }
        BuildMusicList(music_.List(), *key, *sources_.lister);
    }
}

void CubeSaverApp::SeedFirstRunDefaults() { SeedFirstRunCubeDefaults(cube_); }

void CubeSaverApp::ResetDefaults(WindowHandle owner, int group) { ResetCubeDefaults(cube_, group); }

int CubeSaverApp::PreWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    music_.OnWindowMessage(window, message, wparam, lparam);
    // The command keys belong to the scene and never end the saver.
    if (message == kMessageKeyDown && CommandForKey(static_cast<unsigned>(wparam)) != SceneCommand::None) {
        if (scene_) scene_->Key(static_cast<unsigned>(wparam));
        monitor_cubes_.Key(static_cast<unsigned>(wparam));
        return 1;
    }
    return 0;
}

int CubeSaverApp::StartScene(WindowHandle window, DeviceContextHandle) {
    if (!scene_) return 0;
    // From here on the picture list belongs to the scene's loader.
    const int started = scene_->Start(window, Process().mode == ScreenMode::Preview, cube_, general_,
                                      std::move(picture_list_), std::move(picture_completion_));
    scene_started_ = started >= 0;
    return started;
}

bool CubeSaverApp::StartMonitorCube(WindowHandle window) {
    if (!scene_ || !scene_started_ || Process().mode != ScreenMode::Saver ||
        general_.other_monitors != static_cast<std::int32_t>(OtherMonitors::OwnCube))
        return false;
    return monitor_cubes_.Start(window, *scene_, cube_, general_);
}

void CubeSaverApp::StopMonitorCube(WindowHandle window) { monitor_cubes_.Stop(window); }

bool CubeSaverApp::HasMonitorCube(WindowHandle window) const { return monitor_cubes_.Has(window); }

int CubeSaverApp::OnWindowReplaced(WindowHandle window, DeviceContextHandle) {
    music_.MoveTo(window);
    if (scene_) scene_->Repaint();
    return 0;
}

int CubeSaverApp::RenderFrame(WindowHandle window, DeviceContextHandle) {
    music_.StartWhenDue(window, Process().mode == ScreenMode::Preview, cube_.randomize_music == 1);
    if (!scene_) return 0;
    if (DisplayWakes() != display_wakes_seen_) {
        display_wakes_seen_ = DisplayWakes();
        scene_->Repaint();
        monitor_cubes_.RepaintAll();
    }
    const int first = scene_->Frame();
    if (first < 0) return first;
    // Every cube is drawn in the same pass, so all keep the frame rate.
    const bool others_drew = monitor_cubes_.Frame();
    return others_drew ? status::kOk : first;
}

double CubeSaverApp::SecondsAtRest() {
    if (!scene_) return 0.0;
    return std::min({scene_->SecondsAtRest(), monitor_cubes_.SecondsAtRest(), music_.SecondsUntilStart()});
}

// The scene draws only what changed; the window's picture is drawn again
// by the next frame.
int CubeSaverApp::OnPaint(WindowHandle window, DeviceContextHandle) {
    if (SaverScene* scene = SceneFor(window)) scene->Repaint();
    return 0;
}

int CubeSaverApp::StopScene(WindowHandle, DeviceContextHandle) {
    // The other cubes first: they deal from the first one's list.
    monitor_cubes_.StopAll();
    scene_started_ = false;
    return scene_ ? scene_->Shutdown() : 0;
}

void CubeSaverApp::OnResize(WindowHandle window) {
    if (SaverScene* scene = SceneFor(window)) scene->Resize(window);
}

SaverScene* CubeSaverApp::SceneFor(WindowHandle window) const {
    if (SaverScene* beside = monitor_cubes_.SceneOf(window)) return beside;
    return scene_;
}

// Without a media-control window no notification can start the next song,
// so the music stays off for the rest of the run.
void CubeSaverApp::OnDisplayPowerDown() { music_.Stop(); }

}  // namespace cs

#include "app/cube_saver_app.h"

#include "app/exit_rules.h"
#include "app/process_state.h"
#include "config/settings_defaults.h"
#include "config/settings_values.h"

namespace cs {
namespace {
constexpr unsigned kMessageKeyDown = 0x0100;
}

CubeSaverApp::CubeSaverApp(ListSources sources, SaverScene* scene, MediaControl* media)
    : sources_(sources), scene_(scene), music_(media) {
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
                    PictureListExpansion(*key, *sources_.lister, *sources_.special_folders)),
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
        return 1;
    }
    return 0;
}

int CubeSaverApp::StartScene(WindowHandle window, DeviceContextHandle) {
    if (!scene_) return 0;
    // From here on the picture list belongs to the scene's loader.
    return scene_->Start(window, Process().mode == ScreenMode::Preview, cube_, general_, std::move(picture_list_),
                         std::move(picture_completion_));
}

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
    }
    return scene_->Frame();
}

// The scene draws only what changed; the window's picture is drawn again
// by the next frame.
int CubeSaverApp::OnPaint(WindowHandle, DeviceContextHandle) {
    if (scene_) scene_->Repaint();
    return 0;
}

int CubeSaverApp::StopScene(WindowHandle, DeviceContextHandle) { return scene_ ? scene_->Shutdown() : 0; }

void CubeSaverApp::OnResize(WindowHandle window) {
    if (scene_) scene_->Resize(window);
}

// Without a media-control window no notification can start the next song,
// so the music stays off for the rest of the run.
void CubeSaverApp::OnDisplayPowerDown() { music_.Stop(); }

}  // namespace cs

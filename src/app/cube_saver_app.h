#pragma once
// The concrete saver: the cube scene's settings, lists and scene behind the
// framework's virtual operations.
#include "library/list_completion.h"
#include "library/path_list.h"
#include "library/picture_lists.h"
#include "scene/saver_scene.h"
#include "app/monitor_cubes.h"
#include "app/screen_saver_app.h"
#include "config/settings.h"
#include "scene/music_player.h"

namespace cs {

// Where the lists' folders are read from and the picture shuffle is
// remembered; the platform supplies them.
struct ListSources {
    DirectoryLister* lister = nullptr;
    SpecialFolders* special_folders = nullptr;
    std::shared_ptr<ShuffleMemory> shuffle_memory;
    // Read by the system's codecs: folders list their files too.
    std::vector<SystemPictureFormat> system_formats;
};

class CubeSaverApp : public ScreenSaverApp {
public:
    // make_monitor_cube makes the scenes of the other monitors' cubes.
    explicit CubeSaverApp(ListSources sources = {}, SaverScene* scene = nullptr, MediaControl* media = nullptr,
                          MonitorCubes::SceneMaker make_monitor_cube = nullptr);
    ~CubeSaverApp() override;

    void LoadSettings(WindowHandle owner, bool store, SettingsStore* key, int group, int first_index) override;
    void SeedFirstRunDefaults() override;
    void ResetDefaults(WindowHandle owner, int group) override;
    int PreWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) override;
    int StartScene(WindowHandle window, DeviceContextHandle dc) override;
    int OnWindowReplaced(WindowHandle window, DeviceContextHandle dc) override;
    int RenderFrame(WindowHandle window, DeviceContextHandle dc) override;
    int OnPaint(WindowHandle window, DeviceContextHandle dc) override;
    int StopScene(WindowHandle window, DeviceContextHandle dc) override;
    void OnResize(WindowHandle window) override;
    void OnDisplayPowerDown() override;
    bool StartMonitorCube(WindowHandle window) override;
    void StopMonitorCube(WindowHandle window) override;
    bool HasMonitorCube(WindowHandle window) const override;
    double SecondsAtRest() override;

    CubeSettings& Cube() { return cube_; }
    const CubeSettings& Cube() const { return cube_; }
    PathList& Pictures() { return picture_list_; }
    ListCompletion& PictureCompletion() { return picture_completion_; }
    PathList& Music() { return music_.List(); }
    MusicPlayer& Player() { return music_; }

private:
    // The scene drawing into that window: a monitor's cube, or the first.
    SaverScene* SceneFor(WindowHandle window) const;

    ListSources sources_;
    SaverScene* scene_;
    CubeSettings cube_;
    PathList picture_list_;
    ListCompletion picture_completion_;
    MusicPlayer music_;
    MonitorCubes monitor_cubes_;
    bool scene_started_ = false;
    std::uint32_t display_wakes_seen_ = 0;
};

}  // namespace cs

#pragma once
// The concrete saver: the cube scene's settings, lists and scene behind the
// framework's virtual operations.
#include "app/screen_saver_app.h"
#include "config/settings.h"

namespace cs {

class CubeSaverApp : public ScreenSaverApp {
public:
    CubeSaverApp();
    ~CubeSaverApp() override;

    void LoadSettings(WindowHandle owner, bool store, SettingsStore* key, int group, int first_index) override;
    void SeedFirstRunDefaults() override;
    void ResetDefaults(WindowHandle owner, int group) override;
    int PreWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam) override;

    CubeSettings& Cube() { return cube_; }
    const CubeSettings& Cube() const { return cube_; }

private:
    CubeSettings cube_;
};

}  // namespace cs

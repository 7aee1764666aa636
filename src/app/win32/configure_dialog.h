#pragma once
#include <windows.h>

#include "app/cube_saver_app.h"
#include "app/settings_registry.h"
#include "config/win32/settings_dialog.h"

namespace cs {

// The settings dialog's view of the application object: the record lives in
// the app, the registry behind it is the given one.
class AppSettingsDialogHost : public SettingsDialogHost {
public:
    AppSettingsDialogHost(CubeSaverApp& app, SettingsRegistry& registry) : app_(app), registry_(registry) {}

    GeneralSettings& General() override { return app_.General(); }
    CubeSettings& Cube() override { return app_.Cube(); }
    void LoadAllSettings(HWND owner) override;
    void SaveSettings(HWND owner) override;
    void ResetDefaults(HWND owner, int group) override { app_.ResetDefaults(owner, group); }
    std::uint32_t CountOpening() override;
    std::string VersionText() override;
    void WarnIfSoftwareRenderer(HWND owner) override;
    void ShowSystemInfo(HWND owner) override;
    void EmailSupport(HWND owner) override;

private:
    CubeSaverApp& app_;
    SettingsRegistry& registry_;
};

// The modal settings dialog (template 106) owned by parent.
void RunConfigureDialog(HINSTANCE instance, HWND parent, CubeSaverApp& app);

}  // namespace cs

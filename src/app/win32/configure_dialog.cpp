#include "app/win32/configure_dialog.h"

#include "app/win32/system_settings_registry.h"
#include "config/settings_values.h"
#include "diag/win32/support_actions.h"

namespace cs {

void AppSettingsDialogHost::LoadAllSettings(HWND owner) { app_.LoadAllSettings(owner, registry_, GetTickCount()); }

void AppSettingsDialogHost::SaveSettings(HWND owner) { app_.SaveSettings(owner, registry_); }

std::uint32_t AppSettingsDialogHost::CountOpening() {
    // A key that cannot be opened counts this as the first opening.
    std::unique_ptr<SettingsStore> key = registry_.OpenSettingsKey();
    return key ? IncrementSettingsOpenCount(*key) : 1u;
}

std::string AppSettingsDialogHost::VersionText() {
    std::string text;
    app_.VersionText(text);
    return text;
}

void AppSettingsDialogHost::WarnIfSoftwareRenderer(HWND owner) { cs::WarnIfSoftwareRenderer(owner); }

void AppSettingsDialogHost::ShowSystemInfo(HWND owner) { cs::ShowSystemInfo(owner); }

void AppSettingsDialogHost::EmailSupport(HWND owner) { cs::EmailSupport(owner, VersionText()); }

void RunConfigureDialog(HINSTANCE instance, HWND parent, CubeSaverApp& app) {
    // A number that is no window (or a window since closed) must not keep the
    // dialog from showing.
    if (parent && !IsWindow(parent)) parent = nullptr;
    AppSettingsDialogHost host(app, SystemSettingsRegistry());
    RunSettingsDialog(instance, parent, host);
}

}  // namespace cs

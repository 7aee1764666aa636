#include "app/screen_saver_app.h"

#include <cstdio>

#include "app/process_state.h"
#include "app/settings_registry.h"
#include "base/random.h"
#include "base/version.h"
#include "config/first_run_marker.h"
#include "config/settings_values.h"

namespace cs {

ProcessState& Process() {
    static ProcessState state;
    return state;
}

ScreenSaverApp::ScreenSaverApp() = default;
ScreenSaverApp::~ScreenSaverApp() = default;

void ScreenSaverApp::VersionText(std::string& out) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d", CUBESAVER_VERSION_MAJOR, CUBESAVER_VERSION_MINOR);
    out = text;
}

}  // namespace cs

namespace cs {

void ScreenSaverApp::LoadAllSettings(WindowHandle owner, SettingsRegistry& registry, std::uint32_t tick_count) {
    SeedRandom(tick_count);
    InitialiseFirstRun(owner, registry);
    ResetDefaults(owner, kAllGroups);
    std::unique_ptr<SettingsStore> key = registry.OpenSettingsKey();
    if (!key) return;  // every setting keeps its default
    ReadGeneralSettings(general_, *key);
    ReadOtherMonitors(general_, *key);
    LoadSettings(owner, false, key.get(), kSettingsGroup, kCubeFirstIndex);
}

void ScreenSaverApp::SaveSettings(WindowHandle owner, SettingsRegistry& registry) {
    std::unique_ptr<SettingsStore> key = registry.OpenSettingsKey();
    if (!key) return;
    StoreNumberedSettings(owner, *key);
    WriteOtherMonitors(general_, *key);
}

void ScreenSaverApp::StoreNumberedSettings(WindowHandle owner, SettingsStore& key) {
    WriteGeneralSettings(general_, key);
    LoadSettings(owner, true, &key, kSettingsGroup, kCubeFirstIndex);
}

void ScreenSaverApp::InitialiseFirstRun(WindowHandle owner, SettingsRegistry& registry) {
    std::unique_ptr<SettingsStore> key = registry.OpenSettingsKey();
    if (!key) {
        SeedFirstRunDefaults();
        return;
    }
    if (IsFirstRunDone(*key, kFirstRunVersion)) return;
    SeedFirstRunDefaults();
    // The first run stores the numbered settings only: a value the user has
    // not chosen with OK stays as it is.
    StoreNumberedSettings(owner, *key);
    MarkFirstRunDone(*key, kFirstRunVersion);
}

}  // namespace cs

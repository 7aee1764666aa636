#include "app/win32/system_settings_registry.h"

#include "config/win32/registry_settings_store.h"

namespace cs {
namespace {

class Win32SettingsRegistry final : public SettingsRegistry {
public:
    std::unique_ptr<SettingsStore> OpenSettingsKey() override { return cs::OpenSettingsKey(); }
};

}  // namespace

SettingsRegistry& SystemSettingsRegistry() {
    static Win32SettingsRegistry registry;
    return registry;
}

}  // namespace cs

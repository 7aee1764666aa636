#pragma once
// Where the settings live, as the application object needs it: the settings
// key, created when missing. The registry on Windows, memory in tests.
#include <memory>

#include "config/settings_store.h"

namespace cs {

class SettingsRegistry {
public:
    virtual ~SettingsRegistry() = default;
    // The settings key opened for reading and writing, created when missing;
    // null when it cannot be opened.
    virtual std::unique_ptr<SettingsStore> OpenSettingsKey() = 0;
};

}  // namespace cs

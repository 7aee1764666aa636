#pragma once
#include "app/settings_registry.h"

namespace cs {

// The settings key in the current user's registry.
SettingsRegistry& SystemSettingsRegistry();

}  // namespace cs

#pragma once
// The marker of the first run of a program version. It sits in a subkey of
// the settings key rather than among its values, so that the key holds the
// settings values and nothing else, and removing the key starts afresh.
#include <string_view>

#include "base/version.h"
#include "config/settings_store.h"

namespace cs {

inline constexpr std::string_view kFirstRunVersion = CUBESAVER_VERSION_TEXT;

// Whether the first run of this version is recorded in the settings key.
bool IsFirstRunDone(SettingsStore& settings_key, std::string_view version);
// Records it; failures are silent (the next run then seeds again).
void MarkFirstRunDone(SettingsStore& settings_key, std::string_view version);

}  // namespace cs

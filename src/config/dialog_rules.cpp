#include "config/dialog_rules.h"

#include <charconv>

#include "config/settings_defaults.h"
#include "config/settings_names.h"

namespace cs {

std::string SettingsPageTitle(SettingsPageId page) {
    switch (page) {
    case SettingsPageId::Pictures: return PictureListKeyName();
    case SettingsPageId::CubeAppearance: return "Cube Appearance";
    case SettingsPageId::Music: return MusicListKeyName();
    case SettingsPageId::Options: return "Options";
    case SettingsPageId::About: return "About";
    }
    return {};
}

std::optional<int> DefaultsGroupForPage(SettingsPageId page) {
    if (page == SettingsPageId::Pictures) return kDefaultsPicturesGroup;
    if (page == SettingsPageId::CubeAppearance) return kDefaultsCubeGroup;
    return std::nullopt;
}

std::optional<std::int32_t> ParseNumberField(std::string_view text) {
    if (text.empty() || text.size() > 31) return std::nullopt;
    const char* begin = text.data();
    const char* end = begin + text.size();
    // from_chars takes a minus sign but not a plus sign.
    if (*begin == '+' && ++begin != end && *begin == '-') return std::nullopt;
    std::int32_t value = 0;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

bool ShouldCheckRendererOnOpening(std::uint32_t open_count) { return open_count == 1 || (open_count != 0 && open_count % 4 == 0); }

}  // namespace cs

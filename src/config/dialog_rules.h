#pragma once
// Decisions of the settings dialog that need no window: the pages and their
// "Defaults" groups, what a number field takes from its text, and when the
// dialog looks for the slow software renderer.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cs {

// The pages in tab order.
enum class SettingsPageId : int { Pictures = 0, CubeAppearance = 1, Music = 2, Options = 3, About = 4 };
inline constexpr int kSettingsPageCount = 5;
// The dialog never holds more pages than this.
inline constexpr int kMaxSettingsPages = 32;

// Tab titles; the Pictures and Music titles are also the list subkey names.
std::string SettingsPageTitle(SettingsPageId page);

// The settings group the "Defaults" button resets on that page: the Pictures
// page group or the Cube Appearance page group; nothing on other pages.
std::optional<int> DefaultsGroupForPage(SettingsPageId page);

// A number field's text as a value: a decimal number with an optional sign,
// at most 31 characters, that fits 32 bits. Anything else gives nothing, and
// the field keeps its value. Numbers outside the up-down range are kept as
// typed.
std::optional<std::int32_t> ParseNumberField(std::string_view text);
inline constexpr int kNumberFieldMin = 1;
inline constexpr int kNumberFieldMax = 600;

// The renderer is checked on the 1st opening of the dialog and every 4th.
bool ShouldCheckRendererOnOpening(std::uint32_t open_count);

}  // namespace cs

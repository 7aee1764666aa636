#pragma once
// The value table of the settings record: which field is stored under which
// value name ("%03d_%03d" of group and index), in the order values are read
// and written, and the rule for taking a stored value into a field.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/settings.h"
#include "config/settings_store.h"

namespace cs {

inline constexpr int kSettingsGroup = 0;
inline constexpr int kCubeFirstIndex = 100;
inline constexpr int kCubeValueCount = 12;
inline constexpr int kSettingsOpenCountIndex = 77;

// "%03d_%03d" of group and index, e.g. "000_018".
std::string SettingValueName(int group, int index);

// Calls visit(index, field) for every general value in read and write order:
// "000_000" to "000_005", "000_007" to "000_017", "000_075", "000_076",
// "000_018". The field's type gives the stored form: std::int32_t is a DWORD,
// float 4 bytes of binary, std::array<char, N> a string in an N-byte buffer.
template <class General, class Visit>
void VisitGeneralValues(General& g, Visit&& visit) {
    visit(0, g.value_000);
    visit(1, g.show_frame_rate);
    visit(2, g.support_power_down);
    visit(3, g.value_003);
    visit(4, g.value_004);
    visit(5, g.value_005);
    visit(7, g.use_other_resolution);
    visit(8, g.resolution_width);
    visit(9, g.resolution_height);
    visit(10, g.color_depth);
    visit(11, g.refresh_rate);
    visit(12, g.frame_limiter);
    visit(13, g.show_date_time);
    visit(14, g.blend_on_open);
    visit(15, g.exit_on_escape_only);
    visit(16, g.blend_on_close);
    visit(17, g.text_017);
    visit(75, g.text_075);
    visit(76, g.text_076);
    visit(18, g.target_framerate);
}

// Calls visit(position, field) for the cube values, position 0 to 11; the
// value at position k is named by the group and first index + k.
template <class Cube, class Visit>
void VisitCubeValues(Cube& c, Visit&& visit) {
    visit(0, c.rotation_length);
    visit(1, c.cube_style);
    visit(2, c.stretch_to_fit);
    visit(3, c.randomize_pictures);
    visit(4, c.background);
    visit(5, c.background_color);
    visit(6, c.cube_glass);
    visit(7, c.show_picture_length);
    visit(8, c.show_picture_names);
    visit(9, c.randomize_music);
    visit(10, c.use_max_texture_size);
    visit(11, c.texture_size_cap);
}

// Taking one stored value into a field. A value replaces the field only when
// it exists, has the field's type (DWORD for a number, binary for the float,
// string for a text) and fits: exactly 4 bytes for a number or the float; for
// a text at most the buffer's size with a terminating NUL inside. Anything
// else leaves the field as it was. Each answers whether the field changed.
bool ReadNumberValue(const SettingsStore& key, const std::string& name, std::int32_t& field);
bool ReadFloatValue(const SettingsStore& key, const std::string& name, float& field);
bool ReadTextValue(const SettingsStore& key, const std::string& name, char* buffer, std::size_t size);

void WriteNumberValue(SettingsStore& key, const std::string& name, std::int32_t value);
void WriteFloatValue(SettingsStore& key, const std::string& name, float value);
// Writes the text up to its NUL (at most size - 1 characters) with its NUL.
void WriteTextValue(SettingsStore& key, const std::string& name, const char* buffer, std::size_t size);

// The general values, group 0, in the table's order.
void ReadGeneralSettings(GeneralSettings& settings, const SettingsStore& key);
void WriteGeneralSettings(const GeneralSettings& settings, SettingsStore& key);
// "OtherMonitors": 0 or 1 as a DWORD; anything else, or nothing, reads as 1
// (a cube on each monitor) and is left in the key as it is.
void ReadOtherMonitors(GeneralSettings& settings, const SettingsStore& key);
void WriteOtherMonitors(const GeneralSettings& settings, SettingsStore& key);

// The cube values in position order, named from group and first_index.
void ReadCubeSettings(CubeSettings& settings, const SettingsStore& key, int group, int first_index);
void WriteCubeSettings(const CubeSettings& settings, SettingsStore& key, int group, int first_index);

// "000_077", the number of times the settings dialog was opened. A missing
// or unfit value counts as 0.
std::uint32_t ReadSettingsOpenCount(const SettingsStore& key);
// Adds one, writes it back and answers the new count.
std::uint32_t IncrementSettingsOpenCount(SettingsStore& key);

}  // namespace cs

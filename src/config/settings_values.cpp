#include "config/settings_values.h"

#include <cstdio>
#include <cstring>

#include "config/settings_names.h"

namespace cs {

std::string SettingValueName(int group, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d_%03d", group, index);
    return name;
}

namespace {

// A 4-byte value of the given type, or nothing.
bool ReadFourBytes(const SettingsStore& key, const std::string& name, ValueType type,
                   std::uint8_t (&out)[4]) {
    const auto value = key.Read(name);
    if (!value || value->type != type || value->bytes.size() != 4) return false;
    std::memcpy(out, value->bytes.data(), 4);
    return true;
}

template <std::size_t N>
void ReadField(const SettingsStore& key, const std::string& name, std::array<char, N>& field) {
    ReadTextValue(key, name, field.data(), field.size());
}
void ReadField(const SettingsStore& key, const std::string& name, std::int32_t& field) {
    ReadNumberValue(key, name, field);
}
void ReadField(const SettingsStore& key, const std::string& name, float& field) {
    ReadFloatValue(key, name, field);
}

template <std::size_t N>
void WriteField(SettingsStore& key, const std::string& name, const std::array<char, N>& field) {
    WriteTextValue(key, name, field.data(), field.size());
}
void WriteField(SettingsStore& key, const std::string& name, std::int32_t field) {
    WriteNumberValue(key, name, field);
}
void WriteField(SettingsStore& key, const std::string& name, float field) {
    WriteFloatValue(key, name, field);
}

}  // namespace

bool ReadNumberValue(const SettingsStore& key, const std::string& name, std::int32_t& field) {
    std::uint8_t b[4];
    if (!ReadFourBytes(key, name, ValueType::Dword, b)) return false;
    const std::uint32_t v = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 |
                            std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
    field = static_cast<std::int32_t>(v);
    return true;
}

bool ReadFloatValue(const SettingsStore& key, const std::string& name, float& field) {
    static_assert(sizeof(float) == 4);
    std::uint8_t b[4];
    if (!ReadFourBytes(key, name, ValueType::Binary, b)) return false;
    std::memcpy(&field, b, 4);
    return true;
}

bool ReadTextValue(const SettingsStore& key, const std::string& name, char* buffer, std::size_t size) {
    if (size == 0) return false;
    const auto value = key.Read(name);
    if (!value || value->type != ValueType::String || value->bytes.size() > size) return false;
    // The registry does not promise a terminator; without one inside the
    // buffer the text would run on into whatever follows it.
    const void* nul = std::memchr(value->bytes.data(), 0, value->bytes.size());
    if (!nul) return false;
    const std::size_t length = static_cast<const std::uint8_t*>(nul) - value->bytes.data();
    std::memcpy(buffer, value->bytes.data(), length);
    std::memset(buffer + length, 0, size - length);
    return true;
}

void WriteNumberValue(SettingsStore& key, const std::string& name, std::int32_t value) {
    key.WriteDword(name, static_cast<std::uint32_t>(value));
}

void WriteFloatValue(SettingsStore& key, const std::string& name, float value) {
    std::uint8_t b[4];
    std::memcpy(b, &value, 4);
    key.WriteBinary(name, b, 4);
}

void WriteTextValue(SettingsStore& key, const std::string& name, const char* buffer, std::size_t size) {
    if (size == 0) return;
    // An unterminated buffer is cut so that the value still fits it on the
    // way back in.
    const void* nul = std::memchr(buffer, 0, size - 1);
    const std::size_t length = nul ? static_cast<const char*>(nul) - buffer : size - 1;
    key.WriteString(name, std::string(buffer, length));
}

void ReadGeneralSettings(GeneralSettings& settings, const SettingsStore& key) {
    VisitGeneralValues(settings, [&](int index, auto& field) {
        ReadField(key, SettingValueName(kSettingsGroup, index), field);
    });
}

void WriteGeneralSettings(const GeneralSettings& settings, SettingsStore& key) {
    VisitGeneralValues(settings, [&](int index, const auto& field) {
        WriteField(key, SettingValueName(kSettingsGroup, index), field);
    });
}

void ReadOtherMonitors(GeneralSettings& settings, const SettingsStore& key) {
    std::int32_t value = static_cast<std::int32_t>(OtherMonitors::OwnCube);
    ReadNumberValue(key, OtherMonitorsValueName(), value);
    settings.other_monitors = value == static_cast<std::int32_t>(OtherMonitors::Black)
                                  ? value
                                  : static_cast<std::int32_t>(OtherMonitors::OwnCube);
}

void WriteOtherMonitors(const GeneralSettings& settings, SettingsStore& key) {
    WriteNumberValue(key, OtherMonitorsValueName(), settings.other_monitors);
}

void ReadCubeSettings(CubeSettings& settings, const SettingsStore& key, int group, int first_index) {
    VisitCubeValues(settings, [&](int position, std::int32_t& field) {
        ReadNumberValue(key, SettingValueName(group, first_index + position), field);
    });
}

void WriteCubeSettings(const CubeSettings& settings, SettingsStore& key, int group, int first_index) {
    VisitCubeValues(settings, [&](int position, std::int32_t field) {
        WriteNumberValue(key, SettingValueName(group, first_index + position), field);
    });
}

std::uint32_t ReadSettingsOpenCount(const SettingsStore& key) {
    std::int32_t count = 0;
    ReadNumberValue(key, SettingValueName(kSettingsGroup, kSettingsOpenCountIndex), count);
    return static_cast<std::uint32_t>(count);
}

std::uint32_t IncrementSettingsOpenCount(SettingsStore& key) {
    const std::uint32_t count = ReadSettingsOpenCount(key) + 1u;
    key.WriteDword(SettingValueName(kSettingsGroup, kSettingsOpenCountIndex), count);
    return count;
}

}  // namespace cs

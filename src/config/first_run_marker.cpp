#include "config/first_run_marker.h"

#include <cstring>
#include <string>

#include "base/encoded_text.h"

namespace cs {
namespace {

std::string MarkerKeyName() {
    static constexpr EncodedText kText("Setup");
    return kText.Decode();
}

std::string MarkerValueName() {
    static constexpr EncodedText kText("First run");
    return kText.Decode();
}

}  // namespace

bool IsFirstRunDone(SettingsStore& settings_key, std::string_view version) {
    const auto marker = settings_key.OpenSubkey(MarkerKeyName(), false);
    if (!marker) return false;
    const auto value = marker->Read(MarkerValueName());
    if (!value || value->type != ValueType::String) return false;
    const auto& bytes = value->bytes;
    const void* nul = std::memchr(bytes.data(), 0, bytes.size());
    if (!nul) return false;
    const std::size_t length = static_cast<const std::uint8_t*>(nul) - bytes.data();
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), length) == version;
}

void MarkFirstRunDone(SettingsStore& settings_key, std::string_view version) {
    if (auto marker = settings_key.OpenSubkey(MarkerKeyName(), true))
        marker->WriteString(MarkerValueName(), std::string(version));
}

}  // namespace cs

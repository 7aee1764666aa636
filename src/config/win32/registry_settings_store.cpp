#include "config/win32/registry_settings_store.h"

#include <limits>

#include "config/first_run_marker.h"
#include "config/settings_names.h"

namespace cs {
namespace {

// Larger values fit no field nor list entry; refusing them keeps a damaged
// key from driving a large allocation.
constexpr DWORD kMaxValueBytes = 1u << 20;

ValueType TypeOf(DWORD type) {
    switch (type) {
    case REG_SZ: return ValueType::String;
    case REG_BINARY: return ValueType::Binary;
    case REG_DWORD: return ValueType::Dword;
    default: return ValueType::Other;
    }
}

}  // namespace

std::unique_ptr<RegistrySettingsStore> RegistrySettingsStore::Open(HKEY parent, const std::string& path,
                                                                   bool create) {
    HKEY key = nullptr;
    LONG result;
    if (create) {
        result = RegCreateKeyExA(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    } else {
        result = RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
        if (result != ERROR_SUCCESS) result = RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key);
    }
    if (result != ERROR_SUCCESS || !key) return nullptr;
    return std::unique_ptr<RegistrySettingsStore>(new RegistrySettingsStore(key));
}

RegistrySettingsStore::~RegistrySettingsStore() { RegCloseKey(key_); }

std::optional<StoredValue> RegistrySettingsStore::Read(const std::string& name) const {
    // The value may change between asking its size and reading it; a few
    // tries settle that.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (size > kMaxValueBytes) return std::nullopt;
        StoredValue value;
        value.bytes.resize(size);
        DWORD read = size;
        const LONG result =
            RegQueryValueExA(key_, name.c_str(), nullptr, &type, size ? value.bytes.data() : nullptr, &read);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS || read > size) return std::nullopt;
        value.bytes.resize(read);
        value.type = TypeOf(type);
        return value;
    }
    return std::nullopt;
}

void RegistrySettingsStore::WriteDword(const std::string& name, std::uint32_t value) {
    const DWORD data = value;
    RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void RegistrySettingsStore::WriteBinary(const std::string& name, const void* data, std::size_t size) {
    if (size > std::numeric_limits<DWORD>::max()) return;
    RegSetValueExA(key_, name.c_str(), 0, REG_BINARY, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

void RegistrySettingsStore::WriteString(const std::string& name, const std::string& text) {
    if (text.size() >= std::numeric_limits<DWORD>::max()) return;
    RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

std::uint32_t RegistrySettingsStore::ValueCount() const {
    DWORD values = 0;
    if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return values;
}

std::unique_ptr<SettingsStore> RegistrySettingsStore::OpenSubkey(const std::string& name, bool create) {
    return Open(key_, name, create);
}

std::unique_ptr<SettingsStore> OpenSettingsKey() {
    return RegistrySettingsStore::Open(HKEY_CURRENT_USER, SettingsKeyPath(), true);
}

bool IsFirstRunDoneInRegistry(std::string_view version) {
    // Only look: a missing key simply means no first run yet.
    const auto key = RegistrySettingsStore::Open(HKEY_CURRENT_USER, SettingsKeyPath(), false);
    return key && IsFirstRunDone(*key, version);
}

void MarkFirstRunDoneInRegistry(std::string_view version) {
    if (const auto key = OpenSettingsKey()) MarkFirstRunDone(*key, version);
}

}  // namespace cs

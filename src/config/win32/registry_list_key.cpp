#include "config/win32/registry_list_key.h"

#include <limits>

namespace cs {

SystemError RegistryListKey::Create(HKEY root, const std::string& path, std::unique_ptr<RegistryListKey>& key) {
    HKEY handle = nullptr;
    const LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                        nullptr, &handle, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<SystemError>(result);
    key.reset(new RegistryListKey(handle));
    return 0;
}

std::unique_ptr<RegistryListKey> RegistryListKey::OpenForReading(HKEY root, const std::string& path) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return nullptr;
    return std::unique_ptr<RegistryListKey>(new RegistryListKey(handle));
}

RegistryListKey::~RegistryListKey() { RegCloseKey(key_); }

SystemError RegistryListKey::ReadAll(std::vector<Value>& values) const {
    values.clear();
    DWORD max_name = 0, max_data = 0;
    LONG result = RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &max_name,
                                   &max_data, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return static_cast<SystemError>(result);
    std::string name(max_name + 1, '\0');
    std::vector<std::uint8_t> data(max_data + 1);
    for (DWORD index = 0;;) {
        DWORD name_length = static_cast<DWORD>(name.size());
        DWORD data_size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        result = RegEnumValueA(key_, index, name.data(), &name_length, nullptr, &type, data.data(), &data_size);
        if (result == ERROR_NO_MORE_ITEMS) return 0;
        if (result == ERROR_MORE_DATA) {
            // Another writer made a value longer meanwhile: grow and try again.
            if (name.size() > std::numeric_limits<DWORD>::max() / 4 || data.size() > std::numeric_limits<DWORD>::max() / 4)
                return static_cast<SystemError>(result);
            name.resize(name.size() * 2);
            data.resize(data.size() * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) return static_cast<SystemError>(result);
        values.push_back({name.substr(0, name_length), type, {data.begin(), data.begin() + data_size}});
        ++index;
    }
}

SystemError RegistryListKey::Write(const Value& value) {
    if (value.bytes.size() > std::numeric_limits<DWORD>::max()) return ERROR_INVALID_PARAMETER;
    return static_cast<SystemError>(RegSetValueExA(key_, value.name.c_str(), 0, value.type, value.bytes.data(),
                                                   static_cast<DWORD>(value.bytes.size())));
}

SystemError RegistryListKey::Remove(const std::string& name) {
    return static_cast<SystemError>(RegDeleteValueA(key_, name.c_str()));
}

void RegistryListKey::RemoveSubkeys() {
    // Deleting while enumerating shifts the indexes; always take the first.
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key_, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
        if (RegDeleteTreeA(key_, name) != ERROR_SUCCESS) return;
    }
}

}  // namespace cs

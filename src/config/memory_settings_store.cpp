#include "config/memory_settings_store.h"

namespace cs {

MemorySettingsStore::MemorySettingsStore() : key_(std::make_shared<Key>()) {}

MemorySettingsStore::MemorySettingsStore(std::shared_ptr<Key> key) : key_(std::move(key)) {}

std::unique_ptr<MemorySettingsStore> MemorySettingsStore::Handle() const {
    return std::unique_ptr<MemorySettingsStore>(new MemorySettingsStore(key_));
}

std::optional<StoredValue> MemorySettingsStore::Read(const std::string& name) const {
    const auto it = key_->values.find(name);
    if (it == key_->values.end()) return std::nullopt;
    return it->second;
}

void MemorySettingsStore::WriteDword(const std::string& name, std::uint32_t value) {
    WriteRaw(name, ValueType::Dword,
             {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
              static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void MemorySettingsStore::WriteBinary(const std::string& name, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    WriteRaw(name, ValueType::Binary, std::vector<std::uint8_t>(bytes, bytes + size));
}

void MemorySettingsStore::WriteString(const std::string& name, const std::string& text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    WriteRaw(name, ValueType::String, std::move(bytes));
}

std::uint32_t MemorySettingsStore::ValueCount() const {
    return static_cast<std::uint32_t>(key_->values.size());
}

std::unique_ptr<SettingsStore> MemorySettingsStore::OpenSubkey(const std::string& name, bool create) {
    auto it = key_->subkeys.find(name);
    if (it == key_->subkeys.end()) {
        if (!create) return nullptr;
        it = key_->subkeys.emplace(name, std::make_shared<Key>()).first;
    }
    return std::unique_ptr<SettingsStore>(new MemorySettingsStore(it->second));
}

void MemorySettingsStore::WriteRaw(const std::string& name, ValueType type, std::vector<std::uint8_t> bytes) {
    key_->values[name] = StoredValue{type, std::move(bytes)};
}

void MemorySettingsStore::DeleteValue(const std::string& name) { key_->values.erase(name); }

std::vector<std::string> MemorySettingsStore::ValueNames() const {
    std::vector<std::string> names;
    for (const auto& [name, value] : key_->values) names.push_back(name);
    return names;
}

std::vector<std::string> MemorySettingsStore::SubkeyNames() const {
    std::vector<std::string> names;
    for (const auto& [name, key] : key_->subkeys) names.push_back(name);
    return names;
}

}  // namespace cs

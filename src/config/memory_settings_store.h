#pragma once
// A settings key held in memory: for tests, and wherever settings are wanted
// without the registry. Like a registry handle, a MemorySettingsStore is a
// handle onto a key; Handle() and OpenSubkey() give further handles onto the
// same data.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config/settings_store.h"

namespace cs {

class MemorySettingsStore final : public SettingsStore {
public:
    MemorySettingsStore();  // a new, empty key

    // Another handle onto this key.
    std::unique_ptr<MemorySettingsStore> Handle() const;

    std::optional<StoredValue> Read(const std::string& name) const override;
    void WriteDword(const std::string& name, std::uint32_t value) override;
    void WriteBinary(const std::string& name, const void* data, std::size_t size) override;
    void WriteString(const std::string& name, const std::string& text) override;
    std::uint32_t ValueCount() const override;
    std::unique_ptr<SettingsStore> OpenSubkey(const std::string& name, bool create) override;

    // Stores any type and bytes, as another program could.
    void WriteRaw(const std::string& name, ValueType type, std::vector<std::uint8_t> bytes);
    void DeleteValue(const std::string& name);
    std::vector<std::string> ValueNames() const;  // sorted
    std::vector<std::string> SubkeyNames() const;  // sorted

private:
    struct Key {
        std::map<std::string, StoredValue> values;
        std::map<std::string, std::shared_ptr<Key>> subkeys;
    };
    explicit MemorySettingsStore(std::shared_ptr<Key> key);
    std::shared_ptr<Key> key_;
};

}  // namespace cs

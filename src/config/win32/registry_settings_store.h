#pragma once
// The settings store on the registry. Every failure is silent: a value that
// cannot be read is missing, a write that fails is dropped.
#include <windows.h>

#include <memory>
#include <string_view>

#include "config/settings_store.h"

namespace cs {

class RegistrySettingsStore final : public SettingsStore {
public:
    // Opens parent\path for reading and writing, creating it when asked;
    // without create a key that allows reading only is opened read-only.
    // Null when the key cannot be opened.
    static std::unique_ptr<RegistrySettingsStore> Open(HKEY parent, const std::string& path, bool create);

    ~RegistrySettingsStore() override;
    RegistrySettingsStore(const RegistrySettingsStore&) = delete;
    RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

    std::optional<StoredValue> Read(const std::string& name) const override;
    void WriteDword(const std::string& name, std::uint32_t value) override;
    void WriteBinary(const std::string& name, const void* data, std::size_t size) override;
    void WriteString(const std::string& name, const std::string& text) override;
    std::uint32_t ValueCount() const override;
    std::unique_ptr<SettingsStore> OpenSubkey(const std::string& name, bool create) override;

    HKEY key() const { return key_; }

private:
    explicit RegistrySettingsStore(HKEY key) : key_(key) {}
    HKEY key_;
};

// The settings key under HKEY_CURRENT_USER, read and write, created when
// missing; null when it cannot be opened.
std::unique_ptr<SettingsStore> OpenSettingsKey();

// The first-run marker kept with the settings key.
bool IsFirstRunDoneInRegistry(std::string_view version);
void MarkFirstRunDoneInRegistry(std::string_view version);

}  // namespace cs

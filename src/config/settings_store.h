#pragma once
// The seam between the settings logic and where settings live: the registry
// on Windows, an in-memory map in tests. One SettingsStore is one open key.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cs {

enum class ValueType : std::uint32_t { String = 1, Binary = 3, Dword = 4, Other = 0xFFFFFFFFu };

struct StoredValue {
    ValueType type = ValueType::Other;
    std::vector<std::uint8_t> bytes;  // raw data as stored (strings with their NUL if stored)
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Reads a value with its type and all its bytes; nothing when it is
    // missing or cannot be read. Whether it fits a field is the caller's call.
    virtual std::optional<StoredValue> Read(const std::string& name) const = 0;
    virtual void WriteDword(const std::string& name, std::uint32_t value) = 0;
    virtual void WriteBinary(const std::string& name, const void* data, std::size_t size) = 0;
    virtual void WriteString(const std::string& name, const std::string& text) = 0;
    // Number of values in the key (for the stored lists).
    virtual std::uint32_t ValueCount() const = 0;
    // Opens a subkey; null when it does not exist or cannot be opened.
    virtual std::unique_ptr<SettingsStore> OpenSubkey(const std::string& name, bool create) = 0;
};

}  // namespace cs

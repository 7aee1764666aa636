#pragma once
// A stored list's registry key for the list dialog, with every failure
// reported as the system's error code.
#include <windows.h>

#include <memory>
#include <string>

#include "config/stored_file_list.h"

namespace cs {

class RegistryListKey final : public ListKey {
public:
    // root\path with full access, created when missing.
    static SystemError Create(HKEY root, const std::string& path, std::unique_ptr<RegistryListKey>& key);
    // root\path for reading; null when it is missing or cannot be opened.
    static std::unique_ptr<RegistryListKey> OpenForReading(HKEY root, const std::string& path);

    ~RegistryListKey() override;
    RegistryListKey(const RegistryListKey&) = delete;
    RegistryListKey& operator=(const RegistryListKey&) = delete;

    SystemError ReadAll(std::vector<Value>& values) const override;
    SystemError Write(const Value& value) override;
    SystemError Remove(const std::string& name) override;
    void RemoveSubkeys() override;

private:
    explicit RegistryListKey(HKEY key) : key_(key) {}
    HKEY key_;
};

}  // namespace cs

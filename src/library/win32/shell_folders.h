#pragma once
// The user's special folders through SHGetFolderPathA, found at run time so
// that a system without the library still runs (with no fallback folders).
#include "library/picture_lists.h"

namespace cs {

class Win32SpecialFolders final : public SpecialFolders {
public:
    Win32SpecialFolders();
    ~Win32SpecialFolders() override;
    Win32SpecialFolders(const Win32SpecialFolders&) = delete;
    Win32SpecialFolders& operator=(const Win32SpecialFolders&) = delete;

    std::optional<std::string> FolderPath(int csidl) override;

private:
    void* library_ = nullptr;  // HMODULE
    void* get_folder_path_ = nullptr;
};

}  // namespace cs

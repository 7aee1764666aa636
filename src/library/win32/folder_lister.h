#pragma once
// Folder listing with FindFirstFileA/FindNextFileA.
#include "library/picture_lists.h"

namespace cs {

class Win32DirectoryLister final : public DirectoryLister {
public:
    bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) override;
    // The volume serial number and file index: the same for a folder and
    // every link or junction that leads to it.
    std::optional<std::string> FolderIdentity(const std::string& folder) override;
};

}  // namespace cs

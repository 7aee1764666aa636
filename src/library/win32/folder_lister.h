#pragma once
// Folder listing with FindFirstFileA/FindNextFileA.
#include "library/picture_lists.h"

namespace cs {

class Win32DirectoryLister final : public DirectoryLister {
public:
    bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) override;
};

}  // namespace cs

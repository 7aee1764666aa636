#pragma once
// Folder listing with opendir/readdir, for the Linux program.
#include "library/picture_lists.h"

namespace cs {

class PosixDirectoryLister final : public DirectoryLister {
public:
    char Separator() const override { return '/'; }
    // Links count as what they lead to; a link that leads nowhere, as a file.
    bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) override;
    // The device and inode: the same for a folder and every link to it.
    std::optional<std::string> FolderIdentity(const std::string& folder) override;
};

}  // namespace cs

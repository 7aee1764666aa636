#include "library/posix/directory_lister_posix.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace cs {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool IsFolder(const std::string& folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    // Only links and file systems that do not say need a look at the entry.
    struct stat info{};
    return stat((folder + entry.d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool PosixDirectoryLister::List(const std::string& folder, std::vector<DirectoryEntry>& entries) {
    entries.clear();
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return false;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        entries.push_back({std::string(name), IsFolder(folder, *entry)});
    }
    return true;
}

std::optional<std::string> PosixDirectoryLister::FolderIdentity(const std::string& folder) {
    struct stat info{};
    if (stat(folder.c_str(), &info) != 0) return std::nullopt;
    return std::to_string(static_cast<unsigned long long>(info.st_dev)) + ":" +
           std::to_string(static_cast<unsigned long long>(info.st_ino));
}

}  // namespace cs

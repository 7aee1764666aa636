#include "library/win32/folder_lister.h"

#include <windows.h>

namespace cs {
namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool Win32DirectoryLister::List(const std::string& folder, std::vector<DirectoryEntry>& entries) {
    entries.clear();
    const std::string pattern = folder + "*";
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) return false;
    do {
        // The name is terminated within its array by the system; bound it
        // all the same.
        const std::size_t length = strnlen(data.cFileName, sizeof data.cFileName);
        entries.push_back({std::string(data.cFileName, length),
                           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find.get(), &data));
    return true;
}

}  // namespace cs

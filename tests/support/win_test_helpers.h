#pragma once
// A throwaway registry key and folder for the Windows tests.
#include <windows.h>

#include <string>

namespace cs::test {

// HKCU\Software\<name>-<process id>, deleted with everything below it.
class TemporaryKey {
public:
    explicit TemporaryKey(const char* name)
        : path_(std::string("Software\\") + name + "-" + std::to_string(GetCurrentProcessId())) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ~TemporaryKey() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A folder (path ending in a backslash) removed with its contents.
class TemporaryFolder {
public:
    explicit TemporaryFolder(std::string path) : path_(std::move(path)) {
        if (path_.back() != '\\') path_ += '\\';
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TemporaryFolder() { Remove(path_); }
    const std::string& path() const { return path_; }

    std::string Folder(const std::string& relative) const {
        const std::string full = path_ + relative + "\\";
        CreateDirectoryA(full.c_str(), nullptr);
        return full;
    }
    std::string File(const std::string& relative) const {
        const std::string full = path_ + relative;
        HANDLE h = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        return full;
    }

private:
    static void Remove(const std::string& folder) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(folder + name + "\\");
                else
                    DeleteFileA((folder + name).c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }
    std::string path_;
};

inline std::string TempRoot() {
    char path[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

}  // namespace cs::test

#include "library/win32/shell_folders.h"

#include <windows.h>

#include <cstring>

#include "base/encoded_text.h"

namespace cs {
namespace {

using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

}  // namespace

Win32SpecialFolders::Win32SpecialFolders() {
    static constexpr EncodedText kLibrary("SHFolder.dll");
    static constexpr EncodedText kFunction("SHGetFolderPathA");
    HMODULE library = LoadLibraryA(kLibrary.Decode().c_str());
    if (!library) return;
    library_ = library;
    get_folder_path_ = reinterpret_cast<void*>(GetProcAddress(library, kFunction.Decode().c_str()));
}

Win32SpecialFolders::~Win32SpecialFolders() {
    if (library_) FreeLibrary(static_cast<HMODULE>(library_));
}

std::optional<std::string> Win32SpecialFolders::FolderPath(int csidl) {
    if (!get_folder_path_) return std::nullopt;
    const auto get_folder_path = reinterpret_cast<GetFolderPathFn>(get_folder_path_);
    char path[MAX_PATH + 1] = {};
    if (FAILED(get_folder_path(nullptr, csidl, nullptr, 0 /* current path */, path))) return std::nullopt;
    path[MAX_PATH] = '\0';
    if (path[0] == '\0') return std::nullopt;
    return std::string(path);
}

}  // namespace cs

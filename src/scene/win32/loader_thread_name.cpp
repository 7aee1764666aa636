#include <windows.h>

#include "scene/picture_loader.h"

namespace cs {

void NameThisThreadAsLoader() {
    // Windows 10 1607 and later; older systems go without the name.
    using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return;
    const auto set_description =
        reinterpret_cast<SetDescription>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")));
    if (set_description) set_description(GetCurrentThread(), L"picture loader");
}

}  // namespace cs

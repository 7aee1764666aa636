#include <windows.h>
#include <pthread.h>

#include "scene/picture_loader.h"

namespace cs {

void NameLoaderThread(std::thread& thread) {
    // Windows 10 1607 and later; older systems go without the name.
    using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set_description =
        kernel ? reinterpret_cast<SetDescription>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")))
               : nullptr;
    HANDLE handle = reinterpret_cast<HANDLE>(pthread_gethandle(thread.native_handle()));
    if (set_description && handle) set_description(handle, L"picture loader");
}

}  // namespace cs

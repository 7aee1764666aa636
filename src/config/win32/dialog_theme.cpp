#include "base/encoded_text.h"
#include "config/win32/settings_dialog_context.h"

namespace cs {

void EnableTabPageTexture(HWND window) {
    static constexpr EncodedText kLibrary("uxtheme.dll");
    static constexpr EncodedText kFunction("EnableThemeDialogTexture");
    constexpr DWORD kEnableTab = 6;  // ETDT_ENABLETAB
    // Loaded for the call only: older systems have no themes at all.
    HMODULE library = LoadLibraryA(kLibrary.Decode().c_str());
    if (!library) return;
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    if (auto enable = reinterpret_cast<EnableTexture>(
            reinterpret_cast<void*>(GetProcAddress(library, kFunction.Decode().c_str()))))
        enable(window, kEnableTab);
    FreeLibrary(library);
}

}  // namespace cs

#include "diag/win32/browser_launch.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "diag/browser_command.h"

namespace cs {

bool OpenDocument(const std::string& target) {
    const HINSTANCE result = ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
    return OpenInBrowser(target, false);
}

bool OpenInBrowser(const std::string& address, bool wait) {
    // The command and the failure text grow with the address rather than
    // being cut at a fixed buffer size: a cut address would open the wrong
    // page or show the user a useless one.
    const std::string failure = BrowserFailureText(address);
    HKEY key = nullptr;
    bool started = false;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        char registered[260] = {};
        LONG size = sizeof registered;
        const bool read = RegQueryValueA(key, nullptr, registered, &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (read) {
            registered[sizeof registered - 1] = '\0';
            std::string command = BrowserCommandLine(registered, address);
            std::vector<char> line(command.begin(), command.end());
            line.push_back('\0');
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION process{};
            if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process)) {
                if (wait) WaitForSingleObject(process.hProcess, INFINITE);
                CloseHandle(process.hThread);
                CloseHandle(process.hProcess);
                started = true;
            }
        }
    }
    if (!started) MessageBoxA(nullptr, failure.c_str(), "Error Opening Web Browser", MB_OK);
    return started;
}

}  // namespace cs

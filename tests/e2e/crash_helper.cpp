// Test helper for the crash reports, run under Wine beside the program:
//   crash_helper crash TITLE   starts a thread at an invalid address in the
//                              process that owns the window TITLE
//   crash_helper text TITLE    prints the texts of the window TITLE's
//                              static controls (a message box's message)
//   crash_helper running       prints 1 while the system's screen-saver-
//                              running flag is set, else 0
// Faults are made from outside so the program itself needs no trigger.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
    char name[32];
    GetClassNameA(child, name, sizeof(name));
    if (_stricmp(name, "Static") == 0) {
        char text[8192];
        if (GetWindowTextA(child, text, sizeof(text)) > 0) std::printf("%s\n", text);
    }
    return TRUE;
}

int Crash(HWND window) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, process_id);
    if (!process) return 3;
    // An address where no code can be: the new thread faults at its start.
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(0x10), nullptr,
                                       0, nullptr);
    CloseHandle(process);
    if (!thread) return 4;
    CloseHandle(thread);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "running") == 0) {
        BOOL running = FALSE;
        if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return 5;
        std::printf("%d\n", running ? 1 : 0);
        return 0;
    }
    if (argc != 3) return 2;
    HWND window = FindWindowA(nullptr, argv[2]);
    if (!window) return 1;
    if (std::strcmp(argv[1], "crash") == 0) return Crash(window);
    if (std::strcmp(argv[1], "text") == 0) {
        EnumChildWindows(window, PrintStatic, 0);
        return 0;
    }
    return 2;
}

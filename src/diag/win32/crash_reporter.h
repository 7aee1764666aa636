#pragma once
// The crash filter: on an unhandled exception it writes a minidump, tells
// the user (at once in the settings, through a log file elsewhere, shown by
// the next settings start) and lets the process end without the system's
// own error dialog.
#include <windows.h>

#include <cstddef>

namespace cs {

// SetUnhandledExceptionFilter with our filter: the first thing start-up does.
void InstallCrashFilter();
// Set once the mode is known: the settings show the report at once, every
// other mode writes the log (nobody may be at the screen).
void SetCrashReportShownAtOnce(bool at_once);

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers);

// A change to the system that must not outlive the process, undone by the
// filter before it writes anything (nullptr: nothing to undo). It runs in
// the faulting process, so it may only make a system call or two.
void SetCrashUndo(void (*undo)());

// The filter's dump type: the minidump with the process's handle data.
inline constexpr int kDumpWithHandleData = 4;

// Writes a minidump of this process to file_name (ANSI); a DumpResult.
// The debug help library is loaded on the first call; a failed load is
// remembered and not tried again in this process.
int WriteDump(int dump_type, const char* file_name, DWORD thread_id, EXCEPTION_POINTERS* pointers);

// A report left by a crashed earlier run, shown once and deleted.
void ShowLastCrash();

// What the reporter takes from outside; tests replace pieces of it.
struct CrashReporterHooks {
    // The dump library: first as an already loaded module, then loaded from
    // the debugging tools' folder, then from the system's search path.
    const char* library_names[3] = {"DBGHELP.DLL", "C:\\Program Files\\Debugging Tools for Windows\\dbghelp.dll",
                                    "DBGHELP.DLL"};
    // The report folders, each ending in a backslash (or empty for the
    // current folder): the program's own, then the fallback. False when
    // there is none.
    bool (*program_folder)(char* out, std::size_t size) = nullptr;
    bool (*fallback_folder)(char* out, std::size_t size) = nullptr;
    int (*message_box)(HWND owner, const char* text, const char* caption, UINT type) = nullptr;
};
CrashReporterHooks& CrashReporter();
// Forgets the remembered library load (tests load and fail it many times).
void ResetDumpLibrary();

}  // namespace cs

#include "diag/win32/crash_reporter.h"

#include <dbghelp.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "diag/crash_report.h"

static_assert(cs::kDumpWithHandleData == MiniDumpWithHandleData);

namespace cs {
namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

constexpr int kMaxName = MAX_PATH;
constexpr std::size_t kReportSize = 4096;
constexpr std::size_t kMaxLogBytes = 64 * 1024;

MiniDumpWriteDumpFn g_write_dump = nullptr;
int g_library_result = 0;  // 0 before any attempt, then 2, 5 or 6
bool g_shown_at_once = false;
LONG g_in_filter = 0;
void (*volatile g_crash_undo)() = nullptr;

bool ProgramFolder(char* out, std::size_t size) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) path[0] = '\0';
    return FolderOfPath(out, size, path);
}

bool LocalAppDataFolder(char* out, std::size_t size) {
    char base[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)) || !base[0])
        return false;
    const std::size_t length = std::strlen(base);
    const bool slash = base[length - 1] == '\\';
    if (length + 1 + sizeof(kFallbackReportFolder) > size) return false;
    std::memcpy(out, base, length);
    std::size_t at = length;
    if (!slash) out[at++] = '\\';
    std::memcpy(out + at, kFallbackReportFolder, sizeof(kFallbackReportFolder));
    return true;
}

int ShowMessage(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}

// The report file in the program's folder (first) or the fallback folder.
bool ReportPathIn(int place, ReportFile file, char* out, std::size_t size) {
    CrashReporterHooks& hooks = CrashReporter();
    char folder[kMaxName + 1] = {};
    auto* lookup = place == 0 ? hooks.program_folder : hooks.fallback_folder;
    if (!lookup || !lookup(folder, sizeof(folder))) return false;
    return ReportFilePath(out, size, folder, file);
}

// The fallback folder may not exist yet; its parent does.
void CreateFolderOf(const char* path) {
    char folder[kMaxName + 1];
    if (FolderOfPath(folder, sizeof(folder), path) && folder[0]) CreateDirectoryA(folder, nullptr);
}

struct DumpJob {
    const wchar_t* file;
    int dump_type;
    DWORD thread_id;
    EXCEPTION_POINTERS* pointers;
    int result;
    DWORD error;
};

DWORD WINAPI DumpWorker(void* parameter) noexcept {
    DumpJob& job = *static_cast<DumpJob*>(parameter);
    HANDLE file = CreateFileW(job.file, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        job.error = GetLastError();
        job.result = kDumpOpenFailed;
        return 0;
    }
    MINIDUMP_EXCEPTION_INFORMATION exception{};
    exception.ThreadId = job.thread_id;
    exception.ExceptionPointers = job.pointers;
    exception.ClientPointers = TRUE;
    const BOOL written = g_write_dump(GetCurrentProcess(), GetCurrentProcessId(), file,
                                      static_cast<MINIDUMP_TYPE>(job.dump_type),
                                      job.pointers ? &exception : nullptr, nullptr, nullptr);
    job.result = written == TRUE ? kDumpSucceeded : kDumpWriteFailed;
    CloseHandle(file);
    job.error = GetLastError();
    return 0;
}

int LoadDumpLibrary() {
    const CrashReporterHooks& hooks = CrashReporter();
    HMODULE library = GetModuleHandleA(hooks.library_names[0]);
    if (!library) library = LoadLibraryA(hooks.library_names[1]);
    if (!library) library = LoadLibraryA(hooks.library_names[2]);
    if (!library) return g_library_result = kDumpLibraryNotFound;
    g_write_dump = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "MiniDumpWriteDump")));
    return g_library_result = g_write_dump ? kDumpSucceeded : kDumpLibraryMissingExport;
}

// Writes the dump into the program's folder, or the fallback folder when
// the first cannot be written. path gets the file the report names: the
// program's, unless the fallback was written or failed for another reason.
int WriteDumpFile(EXCEPTION_POINTERS* pointers, char* path, std::size_t size) {
    int result = kDumpOpenFailed;
    for (int place = 0; place < 2 && result == kDumpOpenFailed; ++place) {
        char candidate[kMaxName + 1];
        if (!ReportPathIn(place, ReportFile::Dump, candidate, sizeof(candidate))) continue;
        if (place == 1) CreateFolderOf(candidate);
        result = WriteDump(kDumpWithHandleData, candidate, GetCurrentThreadId(), pointers);
        if (place == 0 || result != kDumpOpenFailed) lstrcpynA(path, candidate, static_cast<int>(size));
    }
    return result;
}

bool WriteLog(const char* text) {
    for (int place = 0; place < 2; ++place) {
        char path[kMaxName + 1];
        if (!ReportPathIn(place, ReportFile::Log, path, sizeof(path))) continue;
        if (place == 1) CreateFolderOf(path);
        HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
        CloseHandle(file);
        return true;
    }
    return false;
}

// Shows and deletes one log; false when there is none at path.
bool ShowLog(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    // Our logs are a few hundred bytes; a huge file is not ours to show whole.
    const DWORD wanted = static_cast<DWORD>(size.QuadPart > static_cast<LONGLONG>(kMaxLogBytes)
                                                ? kMaxLogBytes
                                                : (size.QuadPart < 0 ? 0 : size.QuadPart));
    std::vector<char> text(wanted + 1, '\0');
    DWORD read = 0;
    if (wanted && !ReadFile(file, text.data(), wanted, &read, nullptr)) read = 0;
    CloseHandle(file);
    text[read] = '\0';
    const std::string message = LastCrashMessage(text.data());
    CrashReporter().message_box(GetDesktopWindow(), message.c_str(), "Fatal Program Warning", MB_ICONWARNING);
    DeleteFileA(path);
    return true;
}

}  // namespace

CrashReporterHooks& CrashReporter() {
    static CrashReporterHooks hooks{.program_folder = ProgramFolder,
                                    .fallback_folder = LocalAppDataFolder,
                                    .message_box = ShowMessage};
    return hooks;
}

void ResetDumpLibrary() {
    g_write_dump = nullptr;
    g_library_result = 0;
}

void InstallCrashFilter() {
    CrashReporter();
    SetUnhandledExceptionFilter(CrashFilter);
}

void SetCrashReportShownAtOnce(bool at_once) { g_shown_at_once = at_once; }

void SetCrashUndo(void (*undo)()) { g_crash_undo = undo; }

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    // A second fault (another thread, or one inside this filter) just ends
    // the process: one report is all the user can use.
    if (InterlockedExchange(&g_in_filter, 1) != 0) return EXCEPTION_EXECUTE_HANDLER;
    // First what the system must not keep, in case the report faults too.
    if (void (*undo)() = g_crash_undo) {
        g_crash_undo = nullptr;
        undo();
    }
    char dump_path[kMaxName + 1] = {};
    const int result = WriteDumpFile(pointers, dump_path, sizeof(dump_path));
    static char report[kReportSize];
    FormatCrashReport(report, sizeof(report), result, dump_path);
    if (g_shown_at_once)
        CrashReporter().message_box(GetDesktopWindow(), report, "Fatal Program Error", MB_ICONERROR);
    else
        WriteLog(report);
    InterlockedExchange(&g_in_filter, 0);
    return EXCEPTION_EXECUTE_HANDLER;
}

int WriteDump(int dump_type, const char* file_name, DWORD thread_id, EXCEPTION_POINTERS* pointers) {
    if (!file_name || IsBadStringPtrA(file_name, kMaxName)) return kDumpBadParameter;
    const int length = static_cast<int>(strnlen(file_name, kMaxName));
    HANDLE heap = GetProcessHeap();
    auto* wide = static_cast<wchar_t*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 2 * static_cast<SIZE_T>(length) + 2));
    if (!wide) return kDumpBadParameter;
    int result = kDumpBadParameter;
    DWORD error = 0;
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, file_name, length, wide, length + 1) > 0) {
        const bool readable = !IsBadStringPtrW(wide, kMaxName) &&
                              !(pointers && IsBadReadPtr(pointers, sizeof(void*)));
        if (readable) {
            if (!g_write_dump && g_library_result != 0) {
                result = g_library_result;
            } else if (!g_write_dump && LoadDumpLibrary() != kDumpSucceeded) {
                result = g_library_result;
            } else {
                DumpJob job{wide, dump_type, thread_id, pointers, kDumpThreadFailed, 0};
                HANDLE worker = CreateThread(nullptr, 0, DumpWorker, &job, 0, nullptr);
                if (worker) {
                    WaitForSingleObject(worker, INFINITE);
                    CloseHandle(worker);
                } else {
                    job.error = GetLastError();
                }
                result = job.result;
                error = job.error;
            }
        }
    }
    HeapFree(heap, 0, wide);
    SetLastError(error);
    return result;
}

void ShowLastCrash() {
    for (int place = 0; place < 2; ++place) {
        char path[kMaxName + 1];
        if (ReportPathIn(place, ReportFile::Log, path, sizeof(path))) ShowLog(path);
    }
}

}  // namespace cs

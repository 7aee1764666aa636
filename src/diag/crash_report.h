#pragma once
// What a crash leaves behind: the names of the dump and log files, the
// outcome of writing the dump, and the text that tells the user about it.
// Everything here works on fixed buffers, because it runs inside the crash
// filter where the heap may be what broke.
#include <cstddef>
#include <string>
#include <string_view>

namespace cs {

// The outcome of writing the dump.
enum DumpResult : int {
    kDumpThreadFailed = 1,
    kDumpSucceeded = 2,
    kDumpWriteFailed = 3,
    kDumpOpenFailed = 4,
    kDumpLibraryMissingExport = 5,
    kDumpLibraryNotFound = 6,
    kDumpBadParameter = 7,
};

// The result's name for the report ("INVALID_ERROR" for unknown values).
const char* DumpResultName(int result);

// The report for a dump result, with the dump file's path, cut to fit size
// and always terminated.
void FormatCrashReport(char* out, std::size_t size, int result, const char* dump_path);

// What the settings show after a crash of an earlier run: our heading, then
// the log's text.
std::string LastCrashMessage(std::string_view log_text);

enum class ReportFile { Dump, Log };

// The report file of that kind in folder (which ends in a backslash, or is
// empty for the current folder). False, with out emptied, when it would not
// fit in size.
bool ReportFilePath(char* out, std::size_t size, const char* folder, ReportFile file);

// The folder of a program path, up to and including its last backslash;
// empty when it has none. False when it would not fit in size.
bool FolderOfPath(char* out, std::size_t size, const char* path);

// Below the user's local application data folder: where the reports go when
// the program's own folder cannot be written.
inline constexpr char kFallbackReportFolder[] = "Cube Saver\\";

}  // namespace cs

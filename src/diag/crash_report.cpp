#include "diag/crash_report.h"

#include <cstdio>
#include <cstring>

#include "base/encoded_text.h"

namespace cs {
namespace {

constexpr char kLastCrashHeading[] =
    "A fatal program error occured the last time this program was run.  The details of the error are below.\r\n\r\n";

// Copies the parts one after the other; false (and out emptied) when they do
// not fit.
bool Join(char* out, std::size_t size, std::initializer_list<std::string_view> parts) {
    std::size_t length = 0;
    for (std::string_view part : parts) length += part.size();
    if (size == 0) return false;
    if (length >= size) {
        out[0] = '\0';
        return false;
    }
    char* p = out;
    for (std::string_view part : parts) {
        std::memcpy(p, part.data(), part.size());
        p += part.size();
    }
    *p = '\0';
    return true;
}

}  // namespace

const char* DumpResultName(int result) {
    switch (result) {
    case kDumpThreadFailed: return "DEATH_ERROR";
    case kDumpSucceeded: return "DUMP_SUCCEEDED";
    case kDumpWriteFailed: return "MINIDUMPWRITEDUMP_FAILED";
    case kDumpOpenFailed: return "OPEN_DUMP_FAILED";
    case kDumpLibraryMissingExport: return "DBGHELP_MISSING_EXPORTS";
    case kDumpLibraryNotFound: return "DBGHELP_NOT_FOUND";
    case kDumpBadParameter: return "BAD_PARAM";
    default: return "INVALID_ERROR";
    }
}

void FormatCrashReport(char* out, std::size_t size, int result, const char* dump_path) {
    if (!out || size == 0) return;
    if (!dump_path) dump_path = "";
    switch (result) {
    case kDumpSucceeded:
        std::snprintf(out, size,
                      "A fatal program error occured, and a diagnostic file was written to\r\n\r\n%s\r\n\r\n"
                      "Please send this file to Quillmark Graphics support with a few words on what the "
                      "computer was doing.\r\n\r\nPlease also install the latest drivers for your video card: "
                      "outdated drivers cause a large share of OpenGL problems.",
                      dump_path);
        break;
    case kDumpLibraryNotFound:
    case kDumpLibraryMissingExport:
        std::snprintf(out, size,
                      "A fatal program error occured, and the diagnostic file\r\n\r\n%s\r\n\r\n"
                      "could not be created because %s.\r\n\r\n"
                      "Please install the debugging tools for your version of Windows from Microsoft, then run "
                      "the program again to obtain a diagnostic file to send to Quillmark Graphics support.",
                      dump_path,
                      result == kDumpLibraryNotFound ? "DBGHELP.DLL is not on this system"
                                                     : "the DBGHELP.DLL on this system is the wrong version");
        break;
    default:
        std::snprintf(out, size,
                      "A fatal program error occured, and the diagnostic file\r\n\r\n%s\r\n\r\n"
                      "could not be created.  The reason the file could not be created was %s.\r\n\r\n"
                      "Please take a screenshot of this message, write down the steps that lead to the error, "
                      "and send both to Quillmark Graphics support.",
                      dump_path, DumpResultName(result));
        break;
    }
}

std::string LastCrashMessage(std::string_view log_text) {
    std::string message(kLastCrashHeading);
    message.append(log_text);
    return message;
}

bool ReportFilePath(char* out, std::size_t size, const char* folder, ReportFile file) {
    static constexpr EncodedText kReportName("Cube Saver crash");
    // Decoded into a fixed buffer: no allocation inside the crash filter.
    char name[decltype(kReportName)::kSize];
    const std::string_view decoded = kReportName.DecodeInto(name);
    return Join(out, size, {folder ? folder : "", "Zeph ", decoded, file == ReportFile::Dump ? ".dmp" : ".log"});
}

bool FolderOfPath(char* out, std::size_t size, const char* path) {
    const char* slash = path ? std::strrchr(path, '\\') : nullptr;
    const std::string_view folder = slash ? std::string_view(path, static_cast<std::size_t>(slash - path) + 1) : "";
    return Join(out, size, {folder});
}

}  // namespace cs

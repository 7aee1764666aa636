// The crash filter in this process: the report folders point into a
// temporary folder, the message box is recorded, and an exception is made up
// from the current context (the filter's own work does not depend on how the
// fault came about; the end-to-end test makes real ones).
#include "diag/win32/crash_reporter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "diag/crash_report.h"

namespace cs {
namespace {

std::string g_program_folder;
std::string g_fallback_folder;
struct Box {
    std::string text, caption;
    UINT type;
};
std::vector<Box> g_boxes;

bool Copy(const std::string& folder, char* out, std::size_t size) {
    if (folder.size() + 1 > size) return false;
    std::memcpy(out, folder.c_str(), folder.size() + 1);
    return true;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string ReportPath(const std::string& folder, ReportFile file) {
    char path[MAX_PATH];
    ReportFilePath(path, sizeof(path), folder.c_str(), file);
    return path;
}

class CrashReporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "cubesaver-crash-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(root_.c_str(), nullptr);
        g_program_folder = root_ + "program\\";
        CreateDirectoryA(g_program_folder.c_str(), nullptr);
        g_fallback_folder = root_ + "fallback\\";
        g_boxes.clear();
        saved_ = CrashReporter();
        CrashReporter().program_folder = [](char* out, std::size_t size) { return Copy(g_program_folder, out, size); };
        CrashReporter().fallback_folder = [](char* out, std::size_t size) {
            return Copy(g_fallback_folder, out, size);
        };
        CrashReporter().message_box = [](HWND, const char* text, const char* caption, UINT type) {
            g_boxes.push_back({text, caption, type});
            return IDOK;
        };
        ResetDumpLibrary();
        SetCrashReportShownAtOnce(false);
        RtlCaptureContext(&context_);
        record_.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
        record_.ExceptionAddress = reinterpret_cast<void*>(0x10);
        pointers_ = {&record_, &context_};
    }
    void TearDown() override {
        CrashReporter() = saved_;
        ResetDumpLibrary();
        SetCrashReportShownAtOnce(false);
        for (const std::string& folder : {g_program_folder, g_fallback_folder}) {
            DeleteFileA(ReportPath(folder, ReportFile::Dump).c_str());
            DeleteFileA(ReportPath(folder, ReportFile::Log).c_str());
            RemoveDirectoryA(folder.c_str());
        }
        RemoveDirectoryA(root_.c_str());
    }

    std::string root_;
    CrashReporterHooks saved_;
    CONTEXT context_{};
    EXCEPTION_RECORD record_{};
    EXCEPTION_POINTERS pointers_{};
};

TEST_F(CrashReporterTest, ACrashOutsideTheSettingsLeavesDumpAndLogAndTheNextSettingsStartShowsTheLogOnce) {
    EXPECT_EQ(CrashFilter(&pointers_), EXCEPTION_EXECUTE_HANDLER);
    const std::string dump = ReportPath(g_program_folder, ReportFile::Dump);
    const std::string log = ReportPath(g_program_folder, ReportFile::Log);
    ASSERT_TRUE(FileExists(dump));
    EXPECT_GT(ReadAll(dump).size(), 0u);
    const std::string text = ReadAll(log);
    EXPECT_EQ(text.rfind("A fatal program error occured, and a diagnostic file was written to", 0), 0u) << text;
    EXPECT_NE(text.find(dump), std::string::npos);
    EXPECT_TRUE(g_boxes.empty());

    ShowLastCrash();
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].caption, "Fatal Program Warning");
    EXPECT_EQ(g_boxes[0].type, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(g_boxes[0].text, LastCrashMessage(text));
    EXPECT_FALSE(FileExists(log));
    EXPECT_TRUE(FileExists(dump));
    ShowLastCrash();
    EXPECT_EQ(g_boxes.size(), 1u);
}

TEST_F(CrashReporterTest, ACrashInTheSettingsIsShownAtOnceAndWritesNoLog) {
    // No dump library: writing a real dump takes seconds here and is
    // covered above.
    for (const char*& name : CrashReporter().library_names) name = "no-such-dump-library.dll";
    SetCrashReportShownAtOnce(true);
    EXPECT_EQ(CrashFilter(&pointers_), EXCEPTION_EXECUTE_HANDLER);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].caption, "Fatal Program Error");
    EXPECT_EQ(g_boxes[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(g_boxes[0].text.rfind("A fatal program error occured, ", 0), 0u);
    EXPECT_NE(g_boxes[0].text.find("DBGHELP.DLL is not on this system"), std::string::npos);
    EXPECT_FALSE(FileExists(ReportPath(g_program_folder, ReportFile::Log)));
}

TEST_F(CrashReporterTest, WithoutTheDumpLibraryTheReportSaysSoAndTheFailedLoadIsRemembered) {
    for (const char*& name : CrashReporter().library_names) name = "no-such-dump-library.dll";
    EXPECT_EQ(CrashFilter(&pointers_), EXCEPTION_EXECUTE_HANDLER);
    EXPECT_FALSE(FileExists(ReportPath(g_program_folder, ReportFile::Dump)));
    EXPECT_NE(ReadAll(ReportPath(g_program_folder, ReportFile::Log)).find("DBGHELP.DLL is not on this system"),
              std::string::npos);

    CrashReporter().library_names[0] = saved_.library_names[0];
    CrashReporter().library_names[2] = saved_.library_names[2];
    EXPECT_EQ(WriteDump(kDumpWithHandleData, ReportPath(g_program_folder, ReportFile::Dump).c_str(), 0, nullptr),
              kDumpLibraryNotFound);
}

TEST_F(CrashReporterTest, AnUnwritableProgramFolderSendsTheReportsToTheFallbackWhereTheSettingsFindThem) {
    g_program_folder = root_ + "missing\\deeper\\";
    EXPECT_EQ(CrashFilter(&pointers_), EXCEPTION_EXECUTE_HANDLER);
    const std::string dump = ReportPath(g_fallback_folder, ReportFile::Dump);
    const std::string log = ReportPath(g_fallback_folder, ReportFile::Log);
    ASSERT_TRUE(FileExists(dump));
    const std::string text = ReadAll(log);
    EXPECT_NE(text.find(dump), std::string::npos) << text;

    ShowLastCrash();
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, LastCrashMessage(text));
    EXPECT_FALSE(FileExists(log));
}

TEST_F(CrashReporterTest, NowhereToWriteEndsInTheOpenFailureTextAndNoLog) {
    g_program_folder = root_ + "missing\\deeper\\";
    g_fallback_folder = root_ + "missing\\too\\";
    SetCrashReportShownAtOnce(true);
    EXPECT_EQ(CrashFilter(&pointers_), EXCEPTION_EXECUTE_HANDLER);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_NE(g_boxes[0].text.find(ReportPath(g_program_folder, ReportFile::Dump)), std::string::npos);
    EXPECT_NE(g_boxes[0].text.find("was OPEN_DUMP_FAILED."), std::string::npos);
}

EXCEPTION_POINTERS* g_nested = nullptr;

TEST_F(CrashReporterTest, AFaultInsideTheFilterEndsTheProcessWithoutASecondReport) {
    for (const char*& name : CrashReporter().library_names) name = "no-such-dump-library.dll";
    SetCrashReportShownAtOnce(true);
    g_nested = &pointers_;
    CrashReporter().message_box = [](HWND, const char* text, const char* caption, UINT type) {
        g_boxes.push_back({text, caption, type});
        if (g_boxes.size() == 1) {
            EXPECT_EQ(CrashFilter(g_nested), EXCEPTION_EXECUTE_HANDLER);
        }
        return IDOK;
    };
    EXPECT_EQ(CrashFilter(&pointers_), EXCEPTION_EXECUTE_HANDLER);
    EXPECT_EQ(g_boxes.size(), 1u);
}

TEST_F(CrashReporterTest, UnreadableParametersAreRefused) {
    EXPECT_EQ(WriteDump(kDumpWithHandleData, nullptr, 0, nullptr), kDumpBadParameter);
    EXPECT_EQ(WriteDump(kDumpWithHandleData, "", 0, nullptr), kDumpBadParameter);
    EXPECT_EQ(WriteDump(kDumpWithHandleData, ReportPath(g_program_folder, ReportFile::Dump).c_str(), 0,
                        reinterpret_cast<EXCEPTION_POINTERS*>(0x10)),
              kDumpBadParameter);
}

}  // namespace
}  // namespace cs

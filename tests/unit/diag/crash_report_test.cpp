// The crash report's file names and texts.
#include "diag/crash_report.h"

#include <gtest/gtest.h>

#include <string>

namespace cs {
namespace {

std::string Report(int result, const char* path) {
    char text[4096];
    FormatCrashReport(text, sizeof(text), result, path);
    return text;
}

TEST(CrashReport, EachResultGetsItsText) {
    const std::string prefix = "A fatal program error occured, ";
    const char* path = "C:\\Saver\\Zeph x.dmp";
    for (int result = 0; result <= 8; ++result) {
        const std::string text = Report(result, path);
        EXPECT_EQ(text.rfind(prefix, 0), 0u) << result;
        EXPECT_NE(text.find(path), std::string::npos) << result;
        EXPECT_EQ(text.find('@'), std::string::npos) << result;
        EXPECT_EQ(text.find("http"), std::string::npos) << result;
    }
    EXPECT_NE(Report(kDumpSucceeded, path).find("video card"), std::string::npos);
    EXPECT_NE(Report(kDumpLibraryNotFound, path).find("DBGHELP.DLL is not on this system"), std::string::npos);
    EXPECT_NE(Report(kDumpLibraryMissingExport, path).find("wrong version"), std::string::npos);
    EXPECT_NE(Report(kDumpOpenFailed, path).find("The reason the file could not be created was OPEN_DUMP_FAILED."),
              std::string::npos);
    EXPECT_NE(Report(kDumpThreadFailed, path).find("was DEATH_ERROR."), std::string::npos);
    EXPECT_NE(Report(42, path).find("was INVALID_ERROR."), std::string::npos);
}

TEST(CrashReport, ALongPathIsCutNotOverrun) {
    const std::string path(259, 'p');
    char text[64];
    text[63] = 'x';
    FormatCrashReport(text, 60, kDumpOpenFailed, path.c_str());
    EXPECT_EQ(std::string(text).size(), 59u);
    EXPECT_EQ(text[63], 'x');
}

TEST(CrashReport, FileNamesSitInTheProgramsFolder) {
    char folder[260];
    ASSERT_TRUE(FolderOfPath(folder, sizeof(folder), "C:\\Program Files\\Saver\\CubeSaver.scr"));
    EXPECT_STREQ(folder, "C:\\Program Files\\Saver\\");
    ASSERT_TRUE(FolderOfPath(folder, sizeof(folder), "CubeSaver.scr"));
    EXPECT_STREQ(folder, "");

    char path[260];
    ASSERT_TRUE(ReportFilePath(path, sizeof(path), "C:\\Saver\\", ReportFile::Dump));
    const std::string dump = path;
    ASSERT_TRUE(ReportFilePath(path, sizeof(path), "C:\\Saver\\", ReportFile::Log));
    const std::string log = path;
    EXPECT_EQ(dump.rfind("C:\\Saver\\Zeph ", 0), 0u);
    EXPECT_EQ(dump.substr(dump.size() - 4), ".dmp");
    EXPECT_EQ(log, dump.substr(0, dump.size() - 4) + ".log");
    ASSERT_TRUE(ReportFilePath(path, sizeof(path), "", ReportFile::Log));
    EXPECT_EQ(std::string(path).rfind("Zeph ", 0), 0u);

    const std::string deep(250, 'd');
    EXPECT_FALSE(ReportFilePath(path, sizeof(path), deep.c_str(), ReportFile::Dump));
    EXPECT_STREQ(path, "");
}

TEST(CrashReport, LastCrashMessageLeadsWithTheHeading) {
    EXPECT_EQ(LastCrashMessage("details"),
              "A fatal program error occured the last time this program was run.  The details of the error are "
              "below.\r\n\r\ndetails");
}

}  // namespace
}  // namespace cs

// The system report from the probes, under Wine: every line comes from the
// machine, the OpenGL strings from a real context on Wine's renderer.
#include <windows.h>

#include <gtest/gtest.h>

#include "diag/win32/support_actions.h"
#include "diag/win32/system_probes.h"

namespace cs {
namespace {

TEST(SystemReportWinTest, BuildsEveryLineOnWinesRenderer) {
    const std::string report = BuildSystemReportFor(nullptr);
    EXPECT_TRUE(report.starts_with("Windows:     ")) << report;
    EXPECT_NE(report.find("\r\nProcessor:   "), std::string::npos) << report;
    EXPECT_NE(report.find(" MHz\r\nMemory:      "), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nResolution:  "), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nGL_VENDOR:   "), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nGL_RENDERER: "), std::string::npos) << report;
    EXPECT_NE(report.find("\r\nGL_VERSION:  "), std::string::npos) << report;
    EXPECT_EQ(report.find("There was an error"), std::string::npos) << report;
    EXPECT_TRUE(report.ends_with("\r\n"));
    // The memory line is not zero on any machine that runs this.
    EXPECT_EQ(report.find("Memory:      0 MB"), std::string::npos) << report;
}

TEST(SystemReportWinTest, TheProbeCanRunTwiceForOneOwner) {
    // A window keeps its first pixel format; the report must not depend on
    // lending the same window twice.
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(BuildSystemReportFor(owner).find("There was an error"), std::string::npos);
    EXPECT_EQ(BuildSystemReportFor(owner).find("There was an error"), std::string::npos);
    DestroyWindow(owner);
}

TEST(SystemReportWinTest, ProcessorHasAVendorNameAndAClock) {
    const ProcessorIdentity id = ProbeProcessor();
    EXPECT_EQ(id.vendor.size(), 12u);
    EXPECT_FALSE(id.name.empty());
    EXPECT_GT(id.clock_hz, 0u);
    EXPECT_GT(id.family, 0u);
}

}  // namespace
}  // namespace cs

#pragma once
// What the settings dialog's About page and its opening do with the system
// report: show it, mail it to support, or warn about the software renderer.
#include <windows.h>

#include <string>

namespace cs {

// Builds the report with a short-lived hidden window for its OpenGL probe:
// a window takes one pixel format for its whole life, so the owner itself
// is never lent.
std::string BuildSystemReportFor(HWND owner);

// The "System Info" box, with the warning paragraph under the software renderer.
void ShowSystemInfo(HWND owner);
// Opens the support mail with the report.
void EmailSupport(HWND owner, const std::string& version_text);
// The "Slow performance detected" warning, only under the software renderer.
void WarnIfSoftwareRenderer(HWND owner);

}  // namespace cs

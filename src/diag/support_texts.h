#pragma once
// The program's own texts about support: where to write, and what the
// settings dialog says when Windows draws OpenGL in software.
#include <string>

namespace cs {

// "mailto:" and the support address.
std::string SupportMailAddress();

// Appended to the "System Info" report when the software renderer is in use.
std::string SoftwareRendererReportWarning();

inline constexpr const char* kSlowPerformanceCaption = "Slow performance detected";
// The message of the slow-renderer check at the dialog's opening.
std::string SlowPerformanceMessage();

}  // namespace cs

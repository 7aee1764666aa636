#pragma once
// The system report from the machine it runs on.
#include <windows.h>

#include <string>

#include "diag/processor_names.h"
#include "diag/system_report.h"

namespace cs {

// Builds the whole report. The window lends its device context to a
// short-lived OpenGL context that reads the driver's strings.
std::string BuildSystemReport(HWND window);

// The parts, for tests and for the report above.
std::string ProbeWindowsLine();
ProcessorIdentity ProbeProcessor();  // name and clock filled in
std::optional<OpenGlStrings> ProbeOpenGl(HWND window);

}  // namespace cs

#include "diag/system_report.h"

#include <cstdio>

namespace cs {

std::string MemoryLine(std::uint64_t total_bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "Memory:      %d MB\r\n", static_cast<int>(total_bytes >> 20));
    return text;
}

std::string FormatSystemReport(const SystemFacts& facts) {
    std::string report = facts.windows_line;
    report += "Processor:   ";
    report += facts.processor ? *facts.processor
                              : std::string("CPU:         There was an error getting your CPU info, please fill this in.");
    report += "\r\n";
    report += MemoryLine(facts.total_memory_bytes);
    char text[96];
    std::snprintf(text, sizeof text, "Resolution:  %dx%dx%d %dHz\r\n", facts.display.width, facts.display.height,
                  facts.display.bits_per_pixel, facts.display.frequency);
    report += text;
    if (facts.opengl) {
        report += "GL_VENDOR:   " + facts.opengl->vendor + "\r\n";
        report += "GL_RENDERER: " + facts.opengl->renderer + "\r\n";
        report += "GL_VERSION:  " + facts.opengl->version;
    } else {
        report += "OpenGL: There was an error getting your OpenGL info, please fill this in.";
    }
    report += "\r\n";
    return report;
}

bool ReportShowsSoftwareRenderer(std::string_view report) {
    return report.find("GDI Generic") != std::string_view::npos;
}

}  // namespace cs

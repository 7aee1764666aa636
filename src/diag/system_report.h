#pragma once
// The system report: Windows version, processor, memory, display mode and
// OpenGL driver as one text. The facts are gathered by the platform probes;
// what is said about them, and what is said when one is missing, is here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cs {

struct OpenGlStrings {
    std::string vendor;
    std::string renderer;
    std::string version;
};

struct DisplayModeFacts {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    int frequency = 0;
};

struct SystemFacts {
    std::string windows_line;                 // the whole first line, see WindowsReportLine
    std::optional<std::string> processor;     // "name clock MHz"; nothing when identifying it failed
    std::uint64_t total_memory_bytes = 0;
    DisplayModeFacts display;
    std::optional<OpenGlStrings> opengl;      // nothing when no context could be made
};

// "Memory:      %d MB\r\n" with the bytes shifted right by 20 (truncated).
std::string MemoryLine(std::uint64_t total_bytes);

std::string FormatSystemReport(const SystemFacts& facts);

// Whether a report names Windows' slow software OpenGL renderer.
bool ReportShowsSoftwareRenderer(std::string_view report);

}  // namespace cs

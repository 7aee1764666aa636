// The system report's texts: version names, processor names, the memory
// line, the fallbacks, and the choice of the probe's pixel format.
#include <gtest/gtest.h>

#include "diag/pixel_format_choice.h"
#include "diag/processor_names.h"
#include "diag/system_report.h"
#include "diag/windows_version.h"

namespace cs {
namespace {

std::string Name(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    return WindowsVersionName({platform, major, minor, build, ""});
}

TEST(WindowsVersionTest, NamesFromTheTableWithItsBuildBounds) {
    EXPECT_EQ(Name(1, 4, 0, 950), "Windows 95");
    EXPECT_EQ(Name(1, 4, 0, 1080), "Windows 95 SP1");
    EXPECT_EQ(Name(1, 4, 0, 1081), "Windows 95 OSR2");
    EXPECT_EQ(Name(1, 4, 0, 949), "unknown Windows version");
    EXPECT_EQ(Name(1, 4, 10, 1998), "Windows 98");
    EXPECT_EQ(Name(1, 4, 10, 2182), "Windows 98 SP1");
    EXPECT_EQ(Name(1, 4, 10, 2183), "Windows 98 SE");
    EXPECT_EQ(Name(1, 4, 10, 0x04000000u + 2222u), "Windows 98 SE");  // only the low 16 bits count
    EXPECT_EQ(Name(1, 4, 90, 3000), "Windows ME");
    EXPECT_EQ(Name(2, 3, 51, 1057), "Windows NT 3.51");
    EXPECT_EQ(Name(2, 4, 0, 1381), "Windows NT 4");
    EXPECT_EQ(Name(2, 5, 0, 2195), "Windows 2000");
    EXPECT_EQ(Name(2, 5, 1, 2600), "Windows XP");
    EXPECT_EQ(Name(2, 5, 2, 3790), "unknown Windows version");
    EXPECT_EQ(Name(2, 10, 0, 19045), "unknown Windows version");
    EXPECT_EQ(Name(3, 7, 0, 1), "Windows CE");
    EXPECT_EQ(Name(0, 3, 11, 1), "unknown Windows version");
}

TEST(WindowsVersionTest, ReportLineWithNumberServerFlagAndFallbacks) {
    const WindowsVersionInfo xp{2, 5, 1, 2600, "Service Pack 2"};
    EXPECT_EQ(WindowsReportLine(&xp, xp, false), "Windows:     Windows XP 5.1.2600 Service Pack 2\r\n");
    const WindowsVersionInfo w2k{2, 5, 0, 2195, ""};
    EXPECT_EQ(WindowsReportLine(&w2k, w2k, IsServerProductType("serverNT")),
              "Windows:     Windows 2000 Server 5.0.2195 \r\n");
    const WindowsVersionInfo w2003{2, 5, 2, 3790, ""};
    EXPECT_EQ(WindowsReportLine(&w2003, w2003, true), "Windows:     unknown Windows version Server 5.2.3790 \r\n");
    EXPECT_EQ(WindowsReportLine(nullptr, WindowsVersionInfo{}, false), "Windows:     unknown Windows version \r\n");
    EXPECT_FALSE(IsServerProductType("WinNT"));
    EXPECT_FALSE(IsServerProductType("SERVERNTX"));
}

ProcessorIdentity Part(const char* vendor, std::uint32_t type, std::uint32_t family, std::uint32_t model,
                       std::uint32_t brand) {
    ProcessorIdentity id;
    id.vendor = vendor;
    DecodeProcessorSignature(id, (type << 12) | (family << 8) | (model << 4) | 3, brand);
    return id;
}

TEST(ProcessorNamesTest, TypePrefixAndModelTexts) {
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 0, 6, 8, 2)), "Original OEM Intel Pentium III");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 6, 8, 0)), "Intel Pentium III core unknown model,");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 6, 10, 0)), "Intel Pentium III core unknown model");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 1, 6, 11, 7)), "Overdrive Intel Celeron mobile Tualatin core 0.13\xB5m");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 15, 2, 10)), "Intel Pentium 4 Northwood");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 15, 2, 11)), "Intel Pentium 4 Northwood Xeon");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 15, 0, 8)), "Intel Pentium 4 Willamette (A-Step)");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 4, 9, 0)), "Intel i486 DX4");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 5, 8, 0)), "Intel Pentium MMX (P55C core), 0.25 \xB5m");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 6, 3, 0)), "Intel Pentium II Model 3 core, 0.28\xB5m");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 6, 15, 0)), "Intel Pentium Pro (Unknown model)");
    EXPECT_EQ(ProcessorName(Part("GenuineIntel", 3, 7, 0, 0)), "Intel (Unknown model)");
    EXPECT_EQ(ProcessorName(Part("AuthenticAMD", 2, 6, 4, 0)), "Dual-capable AMD Athlon (Thunderbird core)");
    EXPECT_EQ(ProcessorName(Part("AuthenticAMD", 3, 5, 13, 0)), "AMD K6-2+ or K6-III+ 0.18 \xB5m");
    EXPECT_EQ(ProcessorName(Part("AuthenticAMD", 3, 5, 4, 0)), "AMD K5 or K6 (Unknown model)");
    EXPECT_EQ(ProcessorName(Part("AuthenticAMD", 3, 15, 1, 0)), "AMD (Unknown model)");
    EXPECT_EQ(ProcessorName(Part("CentaurHauls", 0, 6, 8, 2)), "Unknown");
    EXPECT_EQ(ProcessorName(Part("", 0, 6, 8, 2)), "Unknown");
}

TEST(ProcessorNamesTest, ClockInWholeMegahertz) {
    EXPECT_EQ(ProcessorText("Unknown", 2'394'600'000ull), "Unknown 2395 MHz");
    EXPECT_EQ(ProcessorText("Intel i386", 0), "Intel i386 0 MHz");
}

TEST(SystemReportTest, LinesInOrderWithTheirFallbacks) {
    SystemFacts facts;
    facts.windows_line = "Windows:     Windows XP 5.1.2600 \r\n";
    facts.processor = "Unknown 1000 MHz";
    facts.total_memory_bytes = 512ull * 1024 * 1024 - 1;
    facts.display = {1024, 768, 32, 60};
    facts.opengl = OpenGlStrings{"Mesa", "llvmpipe", "4.5"};
    EXPECT_EQ(FormatSystemReport(facts),
              "Windows:     Windows XP 5.1.2600 \r\n"
              "Processor:   Unknown 1000 MHz\r\n"
              "Memory:      511 MB\r\n"
              "Resolution:  1024x768x32 60Hz\r\n"
              "GL_VENDOR:   Mesa\r\n"
              "GL_RENDERER: llvmpipe\r\n"
              "GL_VERSION:  4.5\r\n");
    EXPECT_FALSE(ReportShowsSoftwareRenderer(FormatSystemReport(facts)));

    facts.processor.reset();
    facts.opengl.reset();
    const std::string fallback = FormatSystemReport(facts);
    EXPECT_NE(fallback.find("Processor:   CPU:         There was an error getting your CPU info, please fill this in.\r\n"),
              std::string::npos);
    EXPECT_TRUE(fallback.ends_with(
        "Resolution:  1024x768x32 60Hz\r\nOpenGL: There was an error getting your OpenGL info, please fill this in.\r\n"));

    facts.opengl = OpenGlStrings{"Microsoft Corporation", "GDI Generic", "1.1.0"};
    EXPECT_TRUE(ReportShowsSoftwareRenderer(FormatSystemReport(facts)));
}

TEST(SystemReportTest, MemoryLineTruncatesToWholeMegabytes) {
    EXPECT_EQ(MemoryLine(0), "Memory:      0 MB\r\n");
    EXPECT_EQ(MemoryLine((1ull << 20) - 1), "Memory:      0 MB\r\n");
    EXPECT_EQ(MemoryLine(16ull << 30), "Memory:      16384 MB\r\n");
}

PixelFormatTraits Format(int color, int depth, bool generic, bool accelerated = false) {
    PixelFormatTraits f;
    f.supports_opengl = f.draws_to_window = f.double_buffered = f.rgba = true;
    f.generic = generic;
    f.generic_accelerated = accelerated;
    f.color_bits = color;
    f.depth_bits = depth;
    return f;
}

TEST(PixelFormatChoiceTest, HardwareFirstThenTheFirstOfTheBest) {
    EXPECT_EQ(PixelFormatScore(Format(32, 24, false)), 32 + 48 - 8 + 2000);
    EXPECT_EQ(PixelFormatScore(Format(16, 16, true, true)), 16 + 32 + 1000);
    EXPECT_EQ(PixelFormatScore(Format(24, 16, true)), 24 + 32 - 4);
    PixelFormatTraits single = Format(32, 24, false);
    single.double_buffered = false;
    EXPECT_EQ(PixelFormatScore(single), 0);

    EXPECT_EQ(ChoosePixelFormatNumber({Format(32, 24, true), Format(16, 16, false), Format(16, 16, false)}), 2);
    EXPECT_EQ(ChoosePixelFormatNumber({single}), std::nullopt);
    EXPECT_EQ(ChoosePixelFormatNumber({}), std::nullopt);
}

}  // namespace
}  // namespace cs

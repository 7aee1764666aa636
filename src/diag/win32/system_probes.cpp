#include "diag/win32/system_probes.h"

#include <cpuid.h>
#include <cstring>
#include <x86intrin.h>

#include <GL/gl.h>

#include <vector>

#include "diag/pixel_format_choice.h"
#include "diag/windows_version.h"

namespace cs {
namespace {

WindowsVersionInfo FromOsVersion(const OSVERSIONINFOA& v) {
    return {v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber, v.szCSDVersion};
}

bool ServerProductType() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return false;
    char value[64] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    const bool read = RegQueryValueExA(key, "ProductType", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                          ERROR_SUCCESS && type == REG_SZ;
    RegCloseKey(key);
    return read && IsServerProductType(value);
}

// The clock runs over 50 ms with the process pinned to one processor at the
// highest priority, so the time-stamp counter and the performance counter
// see the same stretch of time.
std::uint64_t MeasureClock(bool has_tsc) {
    LARGE_INTEGER frequency;
    if (!has_tsc || !QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0) return 0;
    HANDLE process = GetCurrentProcess();
    HANDLE thread = GetCurrentThread();
    const DWORD priority_class = GetPriorityClass(process);
    const int thread_priority = GetThreadPriority(thread);
    DWORD_PTR process_mask = 0, system_mask = 0;
    const bool have_mask = GetProcessAffinityMask(process, &process_mask, &system_mask);

    SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    SetProcessAffinityMask(process, 1);
    unsigned a, b, c, d;
    __cpuid(0, a, b, c, d);
    LARGE_INTEGER p0, p1;
    QueryPerformanceCounter(&p0);
    const std::uint64_t t0 = __rdtsc();
    Sleep(50);
    QueryPerformanceCounter(&p1);
    const std::uint64_t t1 = __rdtsc();
    if (have_mask) SetProcessAffinityMask(process, process_mask);
    SetThreadPriority(thread, thread_priority);
    SetPriorityClass(process, priority_class);

    const long double seconds =
        static_cast<long double>(p1.QuadPart - p0.QuadPart) / static_cast<long double>(frequency.QuadPart);
    if (seconds <= 0) return 0;
    return static_cast<std::uint64_t>(static_cast<long double>(t1 - t0) / seconds);
}

PixelFormatTraits TraitsOf(const PIXELFORMATDESCRIPTOR& pfd) {
    PixelFormatTraits t;
    t.supports_opengl = pfd.dwFlags & PFD_SUPPORT_OPENGL;
    t.draws_to_window = pfd.dwFlags & PFD_DRAW_TO_WINDOW;
    t.double_buffered = pfd.dwFlags & PFD_DOUBLEBUFFER;
    t.rgba = pfd.iPixelType == PFD_TYPE_RGBA;
    t.generic = pfd.dwFlags & PFD_GENERIC_FORMAT;
    t.generic_accelerated = pfd.dwFlags & PFD_GENERIC_ACCELERATED;
    t.color_bits = pfd.cColorBits;
    t.depth_bits = pfd.cDepthBits;
    return t;
}

// The pixel format for the report's context; 0 after a failure was shown.
int SetReportPixelFormat(HDC dc) {
    std::vector<PixelFormatTraits> formats;
    PIXELFORMATDESCRIPTOR pfd{};
    for (int i = 1; DescribePixelFormat(dc, i, sizeof pfd, &pfd) != 0; ++i) formats.push_back(TraitsOf(pfd));
    int number = 0;
    if (const std::optional<int> best = ChoosePixelFormatNumber(formats)) {
        if (!DescribePixelFormat(dc, *best, sizeof pfd, &pfd)) {
            MessageBoxA(nullptr, "DescribePixelFormat() failed.", "Error", MB_OK);
            return 0;
        }
        number = *best;
    } else {
        pfd = PIXELFORMATDESCRIPTOR{};
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_GENERIC_ACCELERATED;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 24;
        pfd.cDepthBits = 32;
        pfd.iLayerType = PFD_MAIN_PLANE;
        number = ChoosePixelFormat(dc, &pfd);
        if (number == 0) {
            MessageBoxA(nullptr, "ChoosePixelFormat() failed.", "Error", MB_OK);
            return 0;
        }
    }
    if (!SetPixelFormat(dc, number, &pfd)) {
        MessageBoxA(nullptr, "SetPixelFormat() failed.", "Error", MB_OK);
        return 0;
    }
    return number;
}

std::string GlText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

std::string ProbeWindowsLine() {
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof basic;
    const bool have_name = GetVersionExA(&basic);

    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    WindowsVersionInfo number;
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
        number = FromOsVersion(*reinterpret_cast<OSVERSIONINFOA*>(&extended));
    } else {
        OSVERSIONINFOA again{};
        again.dwOSVersionInfoSize = sizeof again;
        if (GetVersionExA(&again)) number = FromOsVersion(again);
    }
    const WindowsVersionInfo name = FromOsVersion(basic);
    const bool server = number.platform_id == VER_PLATFORM_WIN32_NT && ServerProductType();
    return WindowsReportLine(have_name ? &name : nullptr, number, server);
}

ProcessorIdentity ProbeProcessor() {
    ProcessorIdentity id;
    // Every x86-64 processor has CPUID; __get_cpuid_max answers 0 where it
    // is missing, and the record then stays empty.
    unsigned a = 0, b = 0, c = 0, d = 0;
    id.max_standard_leaf = __get_cpuid_max(0, nullptr);
    if (id.max_standard_leaf == 0) return id;
    __cpuid(0, a, b, c, d);
    char vendor[13] = {};
    std::memcpy(vendor, &b, 4);
    std::memcpy(vendor + 4, &d, 4);
    std::memcpy(vendor + 8, &c, 4);
    id.vendor = vendor;
    id.max_extended_leaf = __get_cpuid_max(0x80000000u, nullptr);
    __cpuid(1, a, b, c, d);
    DecodeProcessorSignature(id, a, b);
    const bool has_tsc = d & (1u << 4);
    id.name = ProcessorName(id);
    id.clock_hz = MeasureClock(has_tsc);
    return id;
}

std::optional<OpenGlStrings> ProbeOpenGl(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return std::nullopt;
    std::optional<OpenGlStrings> strings;
    if (SetReportPixelFormat(dc)) {
        if (HGLRC context = wglCreateContext(dc)) {
            if (wglMakeCurrent(dc, context)) {
                strings = OpenGlStrings{GlText(GL_VENDOR), GlText(GL_RENDERER), GlText(GL_VERSION)};
                wglMakeCurrent(dc, nullptr);
            }
            wglDeleteContext(context);
        }
    }
    ReleaseDC(window, dc);
    return strings;
}

std::string BuildSystemReport(HWND window) {
    SystemFacts facts;
    facts.windows_line = ProbeWindowsLine();
    const ProcessorIdentity processor = ProbeProcessor();
    facts.processor = ProcessorText(processor.name, processor.clock_hz);
    MEMORYSTATUS memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    facts.total_memory_bytes = memory.dwTotalPhys;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode))
        facts.display = {static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight),
                         static_cast<int>(mode.dmBitsPerPel), static_cast<int>(mode.dmDisplayFrequency)};
    facts.opengl = ProbeOpenGl(window);
    return FormatSystemReport(facts);
}

}  // namespace cs

#include "diag/windows_version.h"

#include <cstdio>

namespace cs {
namespace {

constexpr const char* kUnknown = "unknown Windows version";

const char* Windows9xName(std::uint32_t minor, std::uint32_t build) {
    if (minor < 10) {
        if (build == 950) return "Windows 95";
        if (build > 950 && build <= 1080) return "Windows 95 SP1";
        if (build > 1080) return "Windows 95 OSR2";
        return kUnknown;
    }
    if (minor == 10) {
        if (build == 1998) return "Windows 98";
        if (build > 1998 && build <= 2182) return "Windows 98 SP1";
        if (build > 2182) return "Windows 98 SE";
        return kUnknown;
    }
    if (minor == 90) return "Windows ME";
    return kUnknown;
}

const char* WindowsNtName(std::uint32_t major, std::uint32_t minor) {
    if (major == 3 && minor == 51) return "Windows NT 3.51";
    if (major == 4 && minor == 0) return "Windows NT 4";
    if (major == 5 && minor == 0) return "Windows 2000";
    if (major == 5 && minor == 1) return "Windows XP";
    return kUnknown;
}

}  // namespace

std::string WindowsVersionName(const WindowsVersionInfo& version) {
    const std::uint32_t build = version.build & 0xFFFFu;
    switch (version.platform_id) {
    case 1: return version.major == 4 ? Windows9xName(version.minor, build) : kUnknown;
    case 2: return WindowsNtName(version.major, version.minor);
    case 3: return "Windows CE";
    default: return kUnknown;
    }
}

std::string WindowsVersionNumber(const WindowsVersionInfo& version) {
    if (version.platform_id == 0) return {};
    char text[200];
    std::snprintf(text, sizeof text, "%u.%u.%u %s", version.major, version.minor, version.build & 0xFFFFu,
                  version.service_pack.c_str());
    return text;
}

bool IsServerProductType(std::string_view product_type) {
    constexpr std::string_view kServer = "SERVERNT";
    if (product_type.size() != kServer.size()) return false;
    for (std::size_t i = 0; i < kServer.size(); ++i) {
        char c = product_type[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != kServer[i]) return false;
    }
    return true;
}

std::string WindowsReportLine(const WindowsVersionInfo* name_version, const WindowsVersionInfo& number_version,
                              bool server) {
    std::string line = "Windows:     ";
    line += name_version ? WindowsVersionName(*name_version) : kUnknown;
    if (server) line += " Server";
    line += " ";
    line += WindowsVersionNumber(number_version);
    line += "\r\n";
    return line;
}

}  // namespace cs

#pragma once
// The first line of the system report: the Windows version as a name and a
// number, from what GetVersionExA answers.
#include <cstdint>
#include <string>
#include <string_view>

namespace cs {

struct WindowsVersionInfo {
    std::uint32_t platform_id = 0;  // 0 Win32s, 1 Windows 9x, 2 NT, 3 CE
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;        // only the low 16 bits count
    std::string service_pack;       // szCSDVersion
};

// "Windows XP", "Windows 98 SE" and so on; "unknown Windows version" for any
// version the table does not know.
std::string WindowsVersionName(const WindowsVersionInfo& version);
// "major.minor.build service-pack"; empty for Win32s.
std::string WindowsVersionNumber(const WindowsVersionInfo& version);
// Whether the registry's "ProductType" names a server ("SERVERNT", any case).
bool IsServerProductType(std::string_view product_type);

// "Windows:     " name [" Server"] " " number "\r\n"; a failed version query
// gives only the unknown name.
std::string WindowsReportLine(const WindowsVersionInfo* name_version, const WindowsVersionInfo& number_version,
                              bool server);

}  // namespace cs

#include "diag/processor_names.h"

#include <cstdio>

namespace cs {
namespace {

// "\xB5" is followed by "m" through string-literal concatenation so the
// escape does not swallow the next hexadecimal letter.
#define MICRO "\xB5" "m"

const char* IntelModel(std::uint32_t family, std::uint32_t model, std::uint32_t brand) {
    switch (family) {
    case 3: return "Intel i386";
    case 4:
        switch (model) {
        case 0: return "Intel i486 DX-25/33";
        case 1: return "Intel i486 DX-50";
        case 2: return "Intel i486 SX";
        case 3: return "Intel i486 DX2 with i487 numeric coprocessor";
        case 4: return "Intel i486 SL";
        case 5: return "Intel i486 SX2";
        case 7: return "Intel i486 write-back enhanced DX2";
        case 8:
        case 9: return "Intel i486 DX4";
        default: return "Intel i486 (Unknown model)";
        }
    case 5:
        switch (model) {
        case 0: return "Intel Pentium (P5 A-Step core)";
        case 1: return "Intel Pentium 60/66 (P5 core)";
        case 2: return "Intel Pentium 75-200 (P54C core)";
        case 3: return "Intel Pentium for 486 (P24T overdrive core)";
        case 4: return "Intel Pentium MMX (P55C core)";
        case 7: return "Intel Pentium (P54C core)";
        case 8: return "Intel Pentium MMX (P55C core), 0.25 " MICRO;
        default: return "Intel Pentium (Unknown P5-model)";
        }
    case 6:
        switch (model) {
        case 0: return "Intel Pentium Pro (P6 A-Step core)";
        case 1: return "Intel Pentium Pro (P6 core)";
        case 3: return "Intel Pentium II Model 3 core, 0.28" MICRO;
        case 5: return "Intel Pentium II/Xeon/Celeron Model 5 core, 0.25" MICRO;
        case 6: return "Intel Pentium II";
        case 7: return "Intel Pentium III/Pentium III Xeon 0.25" MICRO " with external L2 cache";
        case 8:
        case 10:
            switch (brand) {
            case 1: return "Intel Celeron";
            case 2: return "Intel Pentium III";
            case 3: return "Intel Pentium III Xeon";
            default: return model == 8 ? "Intel Pentium III core unknown model," : "Intel Pentium III core unknown model";
            }
        case 11:
            switch (brand) {
            case 3: return "Intel Celeron Tualatin core 0.13" MICRO;
            case 4: return "Intel Pentium III Tualatin core 0.13" MICRO;
            case 7: return "Intel Celeron mobile Tualatin core 0.13" MICRO;
            default: return "Intel Pentium III Tualatin core unknown model 0.13" MICRO;
            }
        default: return "Intel Pentium Pro (Unknown model)";
        }
    case 15:
        switch (model) {
        case 0: return brand == 8 ? "Intel Pentium 4 Willamette (A-Step)" : "Intel Pentium 4 Willamette Xeon (A-Step)";
        case 1: return brand == 8 ? "Intel Pentium 4 Willamette" : "Intel Pentium 4 Willamette Xeon";
        case 2: return brand == 9 || brand == 10 ? "Intel Pentium 4 Northwood" : "Intel Pentium 4 Northwood Xeon";
        default: return "Intel Pentium 4 (Unknown model)";
        }
    default: return "Intel (Unknown model)";
    }
}

const char* AmdModel(std::uint32_t family, std::uint32_t model) {
    switch (family) {
    case 4:
        switch (model) {
        case 3: return "AMD 80486 DX2";
        case 7: return "AMD 80486 write-back enhanced DX2";
        case 8: return "AMD 80486 DX4";
        case 9: return "AMD 80486 write-back enhanced DX4";
        case 14: return "AMD 5x86";
        case 15: return "AMD 5x86 write-back enhanced";
        default: return "AMD 80486 or 5x86 (Unknown model)";
        }
    case 5:
        switch (model) {
        case 0: return "AMD K5 SSA5 (PR75, PR90, PR100)";
        case 1: return "AMD K5 5k86 (PR120, PR133)";
        case 2: return "AMD K5 5k86 (PR166)";
        case 3: return "AMD K5 5k86 (PR200)";
        case 6: return "AMD K6 0.30 " MICRO;
        case 7: return "AMD K6 0.25 " MICRO;
        case 8: return "AMD K6-2";
        case 9: return "AMD K6-III";
        case 13: return "AMD K6-2+ or K6-III+ 0.18 " MICRO;
        default: return "AMD K5 or K6 (Unknown model)";
        }
    case 6:
        switch (model) {
        case 1: return "AMD Athlon 0.25 " MICRO;
        case 2: return "AMD Athlon 0.18 " MICRO;
        case 3: return "AMD Duron (Spitfire core)";
        case 4: return "AMD Athlon (Thunderbird core)";
        case 6: return "AMD Athlon MP/Mobile Athlon (Palomino core)";
        case 7: return "AMD Mobile Duron (Morgan core)";
        default: return "AMD K7 (Unknown model)";
        }
    default: return "AMD (Unknown model)";
    }
}

#undef MICRO

const char* TypePrefix(std::uint32_t type) {
    switch (type) {
    case 0: return "Original OEM ";
    case 1: return "Overdrive ";
    case 2: return "Dual-capable ";
    default: return "";
    }
}

}  // namespace

void DecodeProcessorSignature(ProcessorIdentity& id, std::uint32_t eax, std::uint32_t ebx) {
    id.stepping = eax & 0xFu;
    id.model = (eax >> 4) & 0xFu;
    id.family = (eax >> 8) & 0xFu;
    id.type = (eax >> 12) & 0x3u;
    id.brand_index = ebx & 0xFFu;
}

std::string ProcessorName(const ProcessorIdentity& id) {
    const std::string_view vendor(id.vendor);
    const bool amd = vendor.starts_with("Auth");
    const bool intel = vendor.starts_with("Genu");
    if (!amd && !intel) return "Unknown";
    std::string name = TypePrefix(id.type);
    name += amd ? AmdModel(id.family, id.model) : IntelModel(id.family, id.model, id.brand_index);
    return name;
}

std::string ProcessorText(const std::string& name, std::uint64_t clock_hz) {
    // The clock is scaled in single precision, as the report always has.
    const float megahertz = static_cast<float>(clock_hz) * 1e-6f;
    char text[64];
    std::snprintf(text, sizeof text, " %.0f MHz", static_cast<double>(megahertz));
    return name + text;
}

}  // namespace cs

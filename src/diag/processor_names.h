#pragma once
// The processor line of the system report: a name looked up from what CPUID
// says about the part, and the measured clock.
#include <cstdint>
#include <string>

namespace cs {

struct ProcessorIdentity {
    std::uint64_t clock_hz = 0;
    std::string name;
    std::string vendor;               // 12 characters from leaf 0 (EBX, EDX, ECX)
    std::uint32_t max_standard_leaf = 0;
    std::uint32_t max_extended_leaf = 0;
    std::uint32_t family = 0;         // leaf 1 EAX bits 8-11
    std::uint32_t model = 0;          // bits 4-7
    std::uint32_t stepping = 0;       // bits 0-3
    std::uint32_t type = 0;           // bits 12-13
    std::uint32_t brand_index = 0;    // leaf 1 EBX bits 0-7
};

// Fills family, model, stepping, type and brand index from leaf 1's EAX and EBX.
void DecodeProcessorSignature(ProcessorIdentity& id, std::uint32_t eax, std::uint32_t ebx);

// The name for a vendor: the type prefix and the model text for the two
// vendors the tables know, "Unknown" for any other. The texts keep the
// single ANSI byte 0xB5 for the micro sign.
std::string ProcessorName(const ProcessorIdentity& id);

// "name clock MHz", the clock in whole megahertz.
std::string ProcessorText(const std::string& name, std::uint64_t clock_hz);

}  // namespace cs

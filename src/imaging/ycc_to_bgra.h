#pragma once
// JPEG's colour conversion (JFIF's YCbCr to RGB) in the fixed-point form
// libjpeg uses, so that samples converted here match the library's own.
#include <cstdint>

namespace cs {

// `count` pixels from three lines of samples into B G R A.
void YccToBgra(const std::uint8_t* y, const std::uint8_t* cb, const std::uint8_t* cr, std::int32_t count,
               std::uint8_t* bgra);

}  // namespace cs

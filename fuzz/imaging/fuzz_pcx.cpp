// Feeds arbitrary bytes to the PCX decoder as the program decodes, then
// checks both resampling paths on what decodes.
#include <cstddef>
#include <cstdint>

#include "fuzz_decoder.h"
#include "fuzz_resize.h"
#include "imaging/pcx_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A header alone promises a whole picture (cut-off data decodes quietly),
    // so every input costs what its size claims: a lower limit than the
    // other targets' keeps the runs per second useful.
    cs::fuzz::LimitPictureSize();
    cs::SetBitmapPixelLimit(std::uint64_t{1} << 18);
    cs::fuzz::DecodeInput<cs::PcxDecoder>(data, size);
    cs::fuzz::ResizeBothWays<cs::PcxDecoder>(data, size);
    return 0;
}

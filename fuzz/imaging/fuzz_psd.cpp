// Feeds arbitrary bytes to the PSD decoder as the program decodes, then
// checks both resampling paths on what decodes.
#include <cstddef>
#include <cstdint>

#include "fuzz_decoder.h"
#include "fuzz_resize.h"
#include "imaging/psd_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cs::fuzz::DecodeInput<cs::PsdDecoder>(data, size);
    cs::fuzz::ResizeBothWays<cs::PsdDecoder>(data, size);
    return 0;
}

#include "fuzz_decoder.h"
#include "imaging/tga_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return cs::fuzz::DecodeInput<cs::TgaDecoder>(data, size);
}

#include "imaging/pl_exception.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "imaging/decoder_trace.h"
#include "imaging/platform.h"

namespace cs {

PLTextException::PLTextException(std::int32_t code, std::string text) : code_(code), text_(std::move(text)) {
    RestoreDefaultErrorMode();
}

void ThrowDecoderError(std::int32_t code, const std::string& message) {
    std::string text = "Decoder error: " + message + "\n";
    DecoderTrace::Write(0, text);
    throw PLTextException(code, std::move(text));
}

void ThrowDecoderErrorf(std::int32_t code, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    ThrowDecoderError(code, buffer);
}

void ThrowPlainError(std::int32_t code, const std::string& text) {
    throw PLTextException(code, text);
}

}  // namespace cs

#include "imaging/decoder_trace.h"

#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

namespace cs {
namespace {

int g_level = 0;

std::string& FileNameStorage() {
    static std::string name;
    return name;
}

}  // namespace

void DecoderTrace::SetLevel(int level) { g_level = level; }
int DecoderTrace::Level() { return g_level; }
void DecoderTrace::SetFileName(std::string fileName) { FileNameStorage() = std::move(fileName); }
const std::string& DecoderTrace::FileName() { return FileNameStorage(); }

bool DecoderTrace::Enabled(int level) { return g_level >= level && !FileNameStorage().empty(); }

void DecoderTrace::Write(int level, const std::string& text) {
    if (!Enabled(level)) return;
    // Opened per message so the file is complete even if the process dies.
    if (std::FILE* f = std::fopen(FileNameStorage().c_str(), "a")) {
        std::fputs(text.c_str(), f);
        std::fclose(f);
    }
}

void DecoderTrace::Writef(int level, const char* format, ...) {
    if (!Enabled(level)) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length >= 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        Write(level, std::string(buffer.data(), static_cast<std::size_t>(length)));
    }
    va_end(args);
}

}  // namespace cs

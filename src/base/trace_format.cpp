#include <cstdarg>
#include <cstdio>

#include "base/trace.h"

namespace cs {

void Tracef(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    TraceLine(buffer);
}

}  // namespace cs

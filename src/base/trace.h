#pragma once
// Trace lines for the debugger output. On Windows they go to
// OutputDebugStringA; on the host build to standard error when
// CUBESAVER_TRACE is set in the environment (tests and tools only).
#include <string>

namespace cs {

void TraceLine(const std::string& text);
// printf-style convenience; the text is cut at 1024 characters.
void Tracef(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace cs

#include <cstdio>
#include <cstdlib>

#include "base/trace.h"

namespace cs {

void TraceLine(const std::string& text) {
    static const bool enabled = std::getenv("CUBESAVER_TRACE") != nullptr;
    if (enabled) std::fputs(text.c_str(), stderr);
}

}  // namespace cs

#include <windows.h>

#include "base/trace.h"

namespace cs {

void TraceLine(const std::string& text) { OutputDebugStringA(text.c_str()); }

}  // namespace cs

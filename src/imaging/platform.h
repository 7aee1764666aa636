#pragma once
// The few operating-system calls of the decoding layer that are not part of
// a class (win32/ on Windows, platform_host.cpp elsewhere).

namespace cs {

// SetErrorMode(0) on Windows; nothing elsewhere.
void RestoreDefaultErrorMode();

}  // namespace cs

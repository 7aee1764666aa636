#pragma once
// Status codes shared by every subsystem: 0 success, 1 nothing to do or
// already done, and the COM failure codes (negative). The values are the
// HRESULT values; the Windows build checks them against <winerror.h>.
#include <cstdint>

namespace cs {

using Status = std::int32_t;

namespace status {
inline constexpr Status kOk = 0;
inline constexpr Status kNothingToDo = 1;
inline constexpr Status kFail = static_cast<Status>(0x80004005u);
inline constexpr Status kPointer = static_cast<Status>(0x80004003u);
inline constexpr Status kOutOfMemory = static_cast<Status>(0x8007000Eu);
inline constexpr Status kInvalidArg = static_cast<Status>(0x80070057u);
}  // namespace status

constexpr bool Failed(Status s) { return s < 0; }
constexpr bool Succeeded(Status s) { return s >= 0; }

// A short English text for a status, for traces and test output.
const char* StatusText(Status s);

}  // namespace cs

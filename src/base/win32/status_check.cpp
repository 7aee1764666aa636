// The portable status values must be the system's own.
#include <windows.h>
#include <winerror.h>

#include "base/status.h"

static_assert(cs::status::kFail == E_FAIL);
static_assert(cs::status::kPointer == E_POINTER);
static_assert(cs::status::kOutOfMemory == E_OUTOFMEMORY);
static_assert(cs::status::kInvalidArg == E_INVALIDARG);
static_assert(cs::status::kNothingToDo == S_FALSE);

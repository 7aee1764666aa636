#include <windows.h>

#include "imaging/platform.h"

namespace cs {

void RestoreDefaultErrorMode() { SetErrorMode(0); }

}  // namespace cs

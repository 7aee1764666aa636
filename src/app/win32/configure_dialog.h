#pragma once
#include <windows.h>

namespace cs {

// The modal settings dialog (template 106) owned by parent.
void RunConfigureDialog(HINSTANCE instance, HWND parent);

}  // namespace cs

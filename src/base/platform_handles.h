#pragma once
// Window and device-context handles as the portable code sees them: the same
// pointer types <windows.h> declares (HWND is HWND__*, HDC is HDC__*), so the
// Win32 code passes its handles straight through without casts.
struct HWND__;
struct HDC__;

namespace cs {
using WindowHandle = HWND__*;
using DeviceContextHandle = HDC__*;
}  // namespace cs

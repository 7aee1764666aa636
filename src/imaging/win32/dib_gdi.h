#pragma once
// GDI access to a DibBitmap's packed block: drawing for the file-list
// preview, loading from a bitmap resource and copying for the clipboard.
#include <windows.h>

#include "imaging/bitmap.h"

namespace cs::win32 {

// Throws code 4 "Opening resource %i failed" when the RT_BITMAP resource
// cannot be found or loaded, and what DibBitmap::CreateFromPacked throws.
void CreateDibFromResource(DibBitmap& dib, HMODULE module, int id);

// At natural size with its top-left corner at (x, y).
void DrawDib(const DibBitmap& dib, HDC dc, int x, int y, DWORD rop = SRCCOPY);
void DrawDibStretched(const DibBitmap& dib, HDC dc, int x, int y, int width, int height, DWORD rop = SRCCOPY);
// Width and height multiplied by factor, both truncated.
void DrawDibScaled(const DibBitmap& dib, HDC dc, int x, int y, double factor, DWORD rop = SRCCOPY);
// The source rectangle, in top-down rows, drawn at (x, y).
void DrawDibPart(const DibBitmap& dib, HDC dc, int x, int y, const RECT& source);

// A moveable global block holding the packed bitmap (as CF_DIB wants it).
// Throws code 10 "Can't allocate global memory block." on failure.
HGLOBAL CopyDibToGlobal(const DibBitmap& dib);

}  // namespace cs::win32

#include "imaging/win32/dib_gdi.h"

#include <cstring>
#include <string>

#include "imaging/pl_exception.h"

namespace cs::win32 {
namespace {

const BITMAPINFO* Info(const DibBitmap& dib) { return reinterpret_cast<const BITMAPINFO*>(dib.PackedData()); }

}  // namespace

void CreateDibFromResource(DibBitmap& dib, HMODULE module, int id) {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    HGLOBAL loaded = info != nullptr ? LoadResource(module, info) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) ThrowDecoderError(plerr::kCannotOpen, "Opening resource " + std::to_string(id) + " failed");
    dib.CreateFromPacked(static_cast<const std::uint8_t*>(data), SizeofResource(module, info));
}

void DrawDib(const DibBitmap& dib, HDC dc, int x, int y, DWORD rop) {
    DrawDibStretched(dib, dc, x, y, dib.Width(), dib.Height(), rop);
}

void DrawDibStretched(const DibBitmap& dib, HDC dc, int x, int y, int width, int height, DWORD rop) {
    StretchDIBits(dc, x, y, width, height, 0, 0, dib.Width(), dib.Height(), dib.Bits(), Info(dib), DIB_RGB_COLORS,
                  rop);
}

void DrawDibScaled(const DibBitmap& dib, HDC dc, int x, int y, double factor, DWORD rop) {
    DrawDibStretched(dib, dc, x, y, static_cast<int>(dib.Width() * factor), static_cast<int>(dib.Height() * factor),
                     rop);
}

void DrawDibPart(const DibBitmap& dib, HDC dc, int x, int y, const RECT& source) {
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(source.right - source.left),
                      static_cast<DWORD>(source.bottom - source.top), source.left, dib.Height() - source.bottom, 0,
                      static_cast<UINT>(dib.Height()), dib.Bits(), Info(dib), DIB_RGB_COLORS);
}

HGLOBAL CopyDibToGlobal(const DibBitmap& dib) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, dib.PackedSize());
    void* target = block != nullptr ? GlobalLock(block) : nullptr;
    if (target == nullptr) {
        if (block != nullptr) GlobalFree(block);
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kNoGlobalMemory);
    }
    std::memcpy(target, dib.PackedData(), dib.PackedSize());
    GlobalUnlock(block);
    return block;
}

}  // namespace cs::win32

// DibBitmap's packed block handed to GDI, read back from a memory DC.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/pl_exception.h"
#include "imaging/win32/dib_gdi.h"

namespace cs {
namespace {

// A 32-bit top-down DIB section selected into a memory DC, cleared to black.
class Canvas {
public:
    Canvas(int width, int height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        std::memset(bits_, 0, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    // R, G, B of the pixel as 0xRRGGBB.
    unsigned At(int x, int y) {
        GdiFlush();
        const std::uint8_t* p = bits_ + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
        return static_cast<unsigned>(p[2] << 16 | p[1] << 8 | p[0]);
    }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    std::uint8_t* bits_ = nullptr;
};

// 2 x 2: top row red, green; bottom row blue, white.
void Quad(DibBitmap& dib) {
    dib.Create(2, 2, 32, false);
    const Pixel32 top[2] = {{0, 0, 255, 255}, {0, 255, 0, 255}};
    const Pixel32 bottom[2] = {{255, 0, 0, 255}, {255, 255, 255, 255}};
    std::memcpy(dib.Row(0), top, 8);
    std::memcpy(dib.Row(1), bottom, 8);
}

TEST(DibGdi, DrawPutsTheTopRowOnTop) {
    DibBitmap dib;
    Quad(dib);
    Canvas canvas(8, 8);
    win32::DrawDib(dib, canvas.dc(), 1, 1);
    EXPECT_EQ(canvas.At(1, 1), 0xFF0000u);
    EXPECT_EQ(canvas.At(2, 1), 0x00FF00u);
    EXPECT_EQ(canvas.At(1, 2), 0x0000FFu);
    EXPECT_EQ(canvas.At(2, 2), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(0, 0), 0u);
}

TEST(DibGdi, StretchedAndScaledDrawingCoverTheirArea) {
    DibBitmap dib;
    Quad(dib);
    Canvas canvas(8, 8);
    win32::DrawDibScaled(dib, canvas.dc(), 0, 0, 2.9);  // 5 x 5
    EXPECT_EQ(canvas.At(0, 0), 0xFF0000u);
    EXPECT_EQ(canvas.At(4, 4), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(5, 5), 0u);
    win32::DrawDibStretched(dib, canvas.dc(), 6, 0, 2, 8);
    EXPECT_EQ(canvas.At(7, 7), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(6, 0), 0xFF0000u);
}

TEST(DibGdi, DrawPartTakesTopDownSourceRows) {
    DibBitmap dib;
    Quad(dib);
    Canvas canvas(4, 4);
    const RECT bottomRight{1, 1, 2, 2};
    win32::DrawDibPart(dib, canvas.dc(), 0, 0, bottomRight);
    EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.At(1, 0), 0u);
    const RECT topRow{0, 0, 2, 1};
    win32::DrawDibPart(dib, canvas.dc(), 2, 2, topRow);
    EXPECT_EQ(canvas.At(2, 2), 0xFF0000u);
    EXPECT_EQ(canvas.At(3, 2), 0x00FF00u);
}

TEST(DibGdi, EightBitPaletteIsTheColourTable) {
    DibBitmap dib;
    dib.Create(1, 1, 8, false);
    dib.Palette()[9] = Pixel32{0x30, 0x20, 0x10, 0};
    dib.Row(0)[0] = 9;
    Canvas canvas(2, 2);
    win32::DrawDib(dib, canvas.dc(), 0, 0);
    EXPECT_EQ(canvas.At(0, 0), 0x102030u);
}

TEST(DibGdi, GlobalCopyHoldsThePackedBitmap) {
    DibBitmap dib;
    Quad(dib);
    HGLOBAL block = win32::CopyDibToGlobal(dib);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), dib.PackedSize());
    const void* p = GlobalLock(block);
    EXPECT_EQ(std::memcmp(p, dib.PackedData(), dib.PackedSize()), 0);
    GlobalUnlock(block);
    GlobalFree(block);

    DibBitmap again;
    again.CreateFromPacked(dib.PackedData(), dib.PackedSize());
    EXPECT_EQ(std::memcmp(again.Row(1), dib.Row(1), 8), 0);
}

TEST(DibGdi, MissingBitmapResourceIsCodeFour) {
    DibBitmap dib;
    try {
        win32::CreateDibFromResource(dib, GetModuleHandleA(nullptr), 777);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 4);
    }
}

}  // namespace
}  // namespace cs

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/bitmap.h"
#include "imaging/pl_exception.h"
#include "test_support.h"

namespace cs {
namespace {

using test::PixelAt;

std::uint32_t U32At(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

template <typename B>
class BitmapKinds : public ::testing::Test {};
using Kinds = ::testing::Types<PlainBitmap, DibBitmap>;
TYPED_TEST_SUITE(BitmapKinds, Kinds);

TYPED_TEST(BitmapKinds, NewBitmapIsSixteenSquareAtEightBitsWithGreyRamp) {
    TypeParam b;
    EXPECT_EQ(b.Width(), 16);
    EXPECT_EQ(b.Height(), 16);
    EXPECT_EQ(b.BitsPerPixel(), 8);
    ASSERT_EQ(b.PaletteSize(), 256u);
    EXPECT_EQ(b.Palette()[0], (Pixel32{0, 0, 0, 255}));
    EXPECT_EQ(b.Palette()[128], (Pixel32{128, 128, 128, 255}));
    EXPECT_EQ(b.Palette()[255], (Pixel32{255, 255, 255, 255}));
}

TYPED_TEST(BitmapKinds, OneBitPaletteIsBlackAndWhiteAndRowsRoundUp) {
    TypeParam b;
    b.Create(9, 2, 1, false);
    ASSERT_EQ(b.PaletteSize(), 2u);
    EXPECT_EQ(b.Palette()[0], (Pixel32{0, 0, 0, 255}));
    EXPECT_EQ(b.Palette()[1], (Pixel32{255, 255, 255, 255}));
    EXPECT_EQ(Bitmap::RowBytes(9, 1), 2u);
    EXPECT_EQ(Bitmap::RowBytes(8, 1), 1u);
    EXPECT_EQ(Bitmap::RowBytes(5, 24), 15u);
}

TYPED_TEST(BitmapKinds, CreateRecordsFormatZeroesRowsAndHasNoPaletteAboveEightBits) {
    TypeParam b;
    b.Create(3, 5, 32, true, {72, 96});
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 5);
    EXPECT_TRUE(b.HasAlpha());
    EXPECT_EQ(b.GetResolution(), (Resolution{72, 96}));
    EXPECT_EQ(b.Palette(), nullptr);
    EXPECT_EQ(b.PaletteSize(), 0u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(b, x, y), Pixel32{});
}

TYPED_TEST(BitmapKinds, RefusesNegativeSizesBadDepthsAndTooManyPixels) {
    TypeParam b;
    auto codeOf = [&](auto&& call) {
        try {
            call();
        } catch (const PLTextException& e) {
            return e.GetCode();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([&] { b.Create(-1, 4, 32, false); }), 2);
    EXPECT_EQ(codeOf([&] { b.Create(4, 4, 16, false); }), 2);
    EXPECT_EQ(codeOf([&] { b.Create(1 << 15, (1 << 13) + 1, 32, false); }), 10);
    try {
        b.Create(65536, 65536, 8, false);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_STREQ(e.GetText(), "Decoder error: Out of memory creating bitmap.\n");
    }
}

TYPED_TEST(BitmapKinds, LockCountRisesAndFalls) {
    TypeParam b;
    {
        BitmapLock lock(b, true, true);
        EXPECT_EQ(b.LockCount(), 1);
    }
    EXPECT_EQ(b.LockCount(), 0);
}

TEST(PlainBitmap, RowsAreTopDownWithoutPadding) {
    PlainBitmap b;
    b.Create(3, 4, 8, false);
    EXPECT_EQ(b.BytesPerRow(), 3u);
    for (int y = 1; y < 4; ++y) EXPECT_EQ(b.Row(y) - b.Row(y - 1), 3);
}

TEST(DibBitmap, PackedLayoutHasHeaderTableAndBottomUpPaddedRows) {
    DibBitmap b;
    b.Create(3, 4, 8, false);
    EXPECT_EQ(b.BytesPerRow(), 4u);
    const std::uint8_t* p = b.PackedData();
    EXPECT_EQ(U32At(p), 40u);
    EXPECT_EQ(U32At(p + 4), 3u);
    EXPECT_EQ(U32At(p + 8), 4u);
    EXPECT_EQ(p[12] | p[13] << 8, 1);
    EXPECT_EQ(p[14] | p[15] << 8, 8);
    for (int at = 16; at < 40; at += 4) EXPECT_EQ(U32At(p + at), 0u) << at;
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(b.Palette()), p + 40);
    EXPECT_EQ(b.Bits(), p + 40 + 256 * 4);
    EXPECT_EQ(b.PackedSize(), 40u + 1024u + 16u);
    // Top row last in memory.
    EXPECT_EQ(b.Row(3), b.Bits());
    EXPECT_EQ(b.Row(0), b.Bits() + 3 * 4);

    b.Create(5, 2, 24, false);
    EXPECT_EQ(b.BytesPerRow(), 16u);
    EXPECT_EQ(b.Bits(), b.PackedData() + 40);
}

TEST(DibBitmap, CreateFromPackedCopiesAndHonoursShortColourTables) {
    DibBitmap source;
    source.Create(2, 2, 8, false);
    source.Row(0)[0] = 7;
    source.Row(1)[1] = 9;
    source.Palette()[7] = Pixel32{1, 2, 3, 0};

    DibBitmap copy;
    copy.CreateFromPacked(source.PackedData(), source.PackedSize());
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_EQ(copy.Row(0)[0], 7);
    EXPECT_EQ(copy.Row(1)[1], 9);
    EXPECT_EQ(copy.Palette()[7], (Pixel32{1, 2, 3, 0}));

    // Two colours used: the rows follow two table entries, not 256.
    test::ByteWriter w;
    w.U32(40).U32(2).U32(1).U16(1).U16(8).U32(0).U32(0).U32(0).U32(0).U32(2).U32(0);
    w.U8(10).U8(20).U8(30).U8(0).U8(40).U8(50).U8(60).U8(0);
    w.U8(1).U8(0).U8(0).U8(0);
    const test::Bytes packed = w.Take();
    copy.CreateFromPacked(packed.data(), packed.size());
    EXPECT_EQ(copy.Palette()[1], (Pixel32{40, 50, 60, 0}));
    EXPECT_EQ(copy.Row(0)[0], 1);
    EXPECT_EQ(U32At(copy.PackedData() + 32), 0u);

    EXPECT_THROW(copy.CreateFromPacked(packed.data(), packed.size() - 1), PLTextException);
    test::Bytes topDown = packed;
    topDown[11] = 0xFF;  // negative height
    EXPECT_THROW(copy.CreateFromPacked(topDown.data(), topDown.size()), PLTextException);
}

// The conversions make bitmap and the preview rely on.
class Conversion : public ::testing::Test {
protected:
    PlainBitmap source;
    PlainBitmap target;
};

TEST_F(Conversion, EightBitsToThirtyTwoTakesAllFourPaletteBytes) {
    source.Create(2, 1, 8, false, {50, 60});
    source.Palette()[3] = Pixel32{1, 2, 3, 4};
    source.Row(0)[0] = 3;
    source.Row(0)[1] = 255;
    target.CreateCopy(source, 32);
    EXPECT_EQ(target.BitsPerPixel(), 32);
    EXPECT_FALSE(target.HasAlpha());
    EXPECT_EQ(target.GetResolution(), (Resolution{50, 60}));
    EXPECT_EQ(PixelAt(target, 0, 0), (Pixel32{1, 2, 3, 4}));
    EXPECT_EQ(PixelAt(target, 1, 0), (Pixel32{255, 255, 255, 255}));
}

TEST_F(Conversion, OneBitToThirtyTwoAndEightUsesBothPaletteEntries) {
    source.Create(10, 1, 1, false);
    source.Palette()[0] = Pixel32{10, 20, 30, 255};
    source.Palette()[1] = Pixel32{40, 50, 60, 255};
    source.Row(0)[0] = 0b10000001;
    source.Row(0)[1] = 0b01000000;
    target.CreateCopy(source, 32);
    const bool expected[10] = {1, 0, 0, 0, 0, 0, 0, 1, 0, 1};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(PixelAt(target, x, 0), expected[x] ? (Pixel32{40, 50, 60, 255}) : (Pixel32{10, 20, 30, 255})) << x;
    }
    PlainBitmap eight;
    eight.CreateCopy(source, 8);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(eight.Row(0)[x], expected[x] ? 1 : 0);
    EXPECT_EQ(eight.Palette()[1], (Pixel32{40, 50, 60, 255}));
}

TEST_F(Conversion, TwentyFourAndThirtyTwoBitsRoundTrip) {
    source.Create(2, 1, 24, false);
    const std::uint8_t bgr[6] = {1, 2, 3, 4, 5, 6};
    std::memcpy(source.Row(0), bgr, 6);
    target.CreateCopy(source, 32);
    EXPECT_EQ(PixelAt(target, 1, 0), (Pixel32{4, 5, 6, 255}));
    PlainBitmap back;
    back.CreateCopy(target, 24);
    EXPECT_EQ(std::memcmp(back.Row(0), bgr, 6), 0);
}

TEST_F(Conversion, ToOneBitMarksDarkPixelsWithBlackAsEntryOne) {
    source.Create(3, 1, 32, true);
    const Pixel32 pixels[3] = {{127, 127, 127, 0}, {127, 128, 0, 0}, {255, 255, 255, 0}};
    std::memcpy(source.Row(0), pixels, sizeof pixels);
    target.CreateCopy(source, 1);
    EXPECT_FALSE(target.HasAlpha());
    EXPECT_EQ(target.Row(0)[0], 0b10000000);
    EXPECT_EQ(target.Palette()[0], (Pixel32{255, 255, 255, 255}));
    EXPECT_EQ(target.Palette()[1], (Pixel32{0, 0, 0, 255}));
}

TEST_F(Conversion, PlainCopyKeepsTargetClassPaletteAndAlpha) {
    source.Create(3, 2, 8, true, {1, 2});
    source.Palette()[5] = Pixel32{9, 9, 9, 9};
    source.Row(1)[2] = 5;
    DibBitmap dib;
    dib.CreateCopy(source);
    EXPECT_EQ(dib.BytesPerRow(), 4u);
    EXPECT_EQ(dib.Row(1)[2], 5);
    EXPECT_EQ(dib.Palette()[5], (Pixel32{9, 9, 9, 9}));
    EXPECT_TRUE(dib.HasAlpha());
    EXPECT_EQ(dib.GetResolution(), (Resolution{1, 2}));

    // Onto itself: nothing happens; converting itself goes through a copy.
    source.CreateCopy(source);
    EXPECT_EQ(source.Row(1)[2], 5);
    source.CreateCopy(source, 32);
    EXPECT_EQ(PixelAt(source, 2, 1), (Pixel32{9, 9, 9, 9}));
}

TEST_F(Conversion, DownToEightBitsPicksTheNearestCubeColour) {
    source.Create(2, 1, 32, false);
    const Pixel32 pixels[2] = {{0, 0, 255, 255}, {250, 250, 250, 255}};
    std::memcpy(source.Row(0), pixels, sizeof pixels);
    target.CreateCopy(source, 8);
    EXPECT_EQ(target.Palette()[target.Row(0)[0]], (Pixel32{0, 0, 255, 255}));
    EXPECT_EQ(target.Palette()[target.Row(0)[1]], (Pixel32{255, 255, 255, 255}));
}

TEST(BitmapPixelLimit, CanBeLoweredButNeverRaised) {
    PlainBitmap b;
    SetBitmapPixelLimit(100);
    EXPECT_THROW(b.Create(11, 10, 8, false), PLTextException);
    EXPECT_NO_THROW(b.Create(10, 10, 8, false));
    SetBitmapPixelLimit(kMaxBitmapPixels * 2);
    EXPECT_EQ(BitmapPixelLimit(), kMaxBitmapPixels);
}

}  // namespace
}  // namespace cs

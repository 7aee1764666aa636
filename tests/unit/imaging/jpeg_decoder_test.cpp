#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/jpeg_decoder.h"
#include "imaging/pl_exception.h"
#include "test_support.h"

namespace cs {
namespace {

using test::Bytes;
using test::DecodeBytes;
using test::JpegRecipe;
using test::MakeJpeg;
using test::PixelAt;

JpegRecipe Solid(int width, int height, std::initializer_list<std::uint8_t> components) {
    JpegRecipe s;
    s.width = width;
    s.height = height;
    s.components = static_cast<int>(components.size());
    for (int i = 0; i < width * height; ++i) s.pixels.insert(s.pixels.end(), components);
    return s;
}

void ExpectNear(const Pixel32& p, int b, int g, int r) {
    EXPECT_NEAR(p.b, b, 3);
    EXPECT_NEAR(p.g, g, 3);
    EXPECT_NEAR(p.r, r, 3);
}

TEST(JpegDecoder, ColourPictureBecomesOpaqueThirtyTwoBits) {
    auto r = DecodeBytes(MakeJpeg(Solid(17, 9, {200, 100, 50})));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(r->bitmap.Width(), 17);
    EXPECT_EQ(r->bitmap.Height(), 9);
    EXPECT_FALSE(r->bitmap.HasAlpha());
    for (auto [x, y] : {std::pair{0, 0}, {16, 8}, {8, 4}}) {
        ExpectNear(PixelAt(r->bitmap, x, y), 50, 100, 200);
        EXPECT_EQ(PixelAt(r->bitmap, x, y).a, 255);
    }
}

TEST(JpegDecoder, GreyscaleIsEightBitsWithTheGreyRamp) {
    auto r = DecodeBytes(MakeJpeg(Solid(8, 8, {77})), 0);
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(r->bitmap.BitsPerPixel(), 8);
    EXPECT_NEAR(r->bitmap.Row(3)[3], 77, 2);
    EXPECT_EQ(r->bitmap.Palette()[77], (Pixel32{77, 77, 77, 255}));
}

TEST(JpegDecoder, CmykPutsCyanMagentaYellowIntoRedGreenBlue) {
    auto r = DecodeBytes(MakeJpeg(Solid(8, 8, {30, 90, 150, 210})));
    ASSERT_TRUE(r->ok) << r->text;
    ExpectNear(PixelAt(r->bitmap, 4, 4), 150, 90, 30);
}

TEST(JpegDecoder, ProgressiveMatchesBaseline) {
    JpegRecipe s = Solid(24, 16, {10, 200, 120});
    for (int i = 0; i < 24 * 16 * 3; i += 7) s.pixels[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    auto baseline = DecodeBytes(MakeJpeg(s));
    s.progressive = true;
    auto progressive = DecodeBytes(MakeJpeg(s));
    ASSERT_TRUE(baseline->ok && progressive->ok);
    EXPECT_EQ(test::HashBitmap(baseline->bitmap), test::HashBitmap(progressive->bitmap));
}

TEST(JpegDecoder, DensityFallsBackToSeventyTwo) {
    JpegRecipe s = Solid(8, 8, {1, 2, 3});
    s.xDensity = 300;
    s.yDensity = 150;
    EXPECT_EQ(DecodeBytes(MakeJpeg(s))->bitmap.GetResolution(), (Resolution{300, 150}));
    s.densityUnit = 2;  // per centimetre: the unit is not looked at
    EXPECT_EQ(DecodeBytes(MakeJpeg(s))->bitmap.GetResolution(), (Resolution{300, 150}));
    s.xDensity = s.yDensity = 1;
    EXPECT_EQ(DecodeBytes(MakeJpeg(s))->bitmap.GetResolution(), (Resolution{72, 72}));
    s.xDensity = 0;
    s.yDensity = 2;
    EXPECT_EQ(DecodeBytes(MakeJpeg(s))->bitmap.GetResolution(), (Resolution{72, 2}));
    s.jfif = false;
    EXPECT_EQ(DecodeBytes(MakeJpeg(s))->bitmap.GetResolution(), (Resolution{72, 72}));
}

TEST(JpegDecoder, EightBitsFromAColourPictureIsRefused) {
    auto r = DecodeBytes(MakeJpeg(Solid(8, 8, {1, 2, 3})), 8);
    EXPECT_EQ(r->code, 6);
    EXPECT_EQ(r->text, "Image bit depth doesn't match request.");
}

TEST(JpegDecoder, DataCutShortStillDecodesToTheFullSize) {
    JpegRecipe s = Solid(64, 64, {0, 0, 0});
    for (std::size_t i = 0; i < s.pixels.size(); ++i) s.pixels[i] = static_cast<std::uint8_t>(std::rand());
    const Bytes full = MakeJpeg(s);
    auto r = DecodeBytes(test::Truncated(full, full.size() * 2 / 3));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(r->bitmap.Width(), 64);
    EXPECT_EQ(r->bitmap.Height(), 64);
}

TEST(JpegDecoder, LibraryErrorsAreCodeSixAndTheDecoderStaysUsable) {
    const Bytes full = MakeJpeg(Solid(8, 8, {1, 2, 3}));
    // A frame type the library does not decode.
    Bytes lossless = full;
    for (std::size_t i = 2; i + 1 < lossless.size(); ++i)
        if (lossless[i] == 0xFF && lossless[i + 1] == 0xC0) lossless[i + 1] = 0xC3;
    auto refused = DecodeBytes(lossless);
    EXPECT_EQ(refused->code, 6);
    EXPECT_EQ(refused->text.rfind("Decoder error: ", 0), 0u) << refused->text;
    EXPECT_EQ(refused->text.substr(refused->text.size() - 2), "\n\n");
    // Cut inside the headers: the fake end of image leaves no picture, and
    // the library says so.
    auto cut = DecodeBytes(test::Truncated(full, 30));
    EXPECT_EQ(cut->code, 6);
    EXPECT_EQ(cut->text.rfind("Decoder error: ", 0), 0u) << cut->text;
    EXPECT_EQ(cut->text.substr(cut->text.size() - 2), "\n\n");

    JpegDecoder decoder;
    PlainBitmap bitmap;
    const Bytes bogus = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x11, 0x00};
    EXPECT_THROW(decoder.DecodeFromMemory(bogus.data(), bogus.size(), bitmap, 32), PLTextException);
    decoder.DecodeFromMemory(full.data(), full.size(), bitmap, 32);
    EXPECT_EQ(bitmap.Width(), 8);
    EXPECT_EQ(bitmap.LockCount(), 0);
}

// The file without the segments of one marker before its first scan.
Bytes WithoutSegments(const Bytes& jpeg, std::uint8_t marker) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    std::size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF && jpeg[i + 1] != 0xDA) {
        const std::size_t length = static_cast<std::size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3];
        if (jpeg[i + 1] != marker) out.insert(out.end(), jpeg.begin() + i, jpeg.begin() + i + 2 + length);
        i += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + i, jpeg.end());
    return out;
}

// The library keeps tables from one picture to the next for streams that
// leave them out; a picture must decode the same whatever came before it.
TEST(JpegDecoder, APictureNeverBorrowsTheTablesOfTheOneBefore) {
    const Bytes full = MakeJpeg(Solid(16, 16, {200, 100, 50}));
    const Bytes withoutTables = WithoutSegments(full, 0xDB);
    ASSERT_LT(withoutTables.size(), full.size());
    const PLTextException alone = test::DecodeErrorWith<JpegDecoder>(withoutTables);
    EXPECT_EQ(alone.GetCode(), 6);

    JpegDecoder decoder;
    PlainBitmap bitmap;
    decoder.DecodeFromMemory(full.data(), full.size(), bitmap, 32);
    try {
        decoder.DecodeFromMemory(withoutTables.data(), withoutTables.size(), bitmap, 32);
        ADD_FAILURE() << "decoded with the previous picture's tables";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), alone.GetCode());
        EXPECT_STREQ(e.GetText(), alone.GetText());
    }
}

}  // namespace
}  // namespace cs

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cstring>

#include "imaging/pl_exception.h"
#include "imaging/png_decoder.h"
#include "test_support.h"

namespace cs {
namespace {

using test::Bytes;
using test::DecodeBytes;
using test::HashBitmap;
using test::MakePng;
using test::PixelAt;
using test::PngRecipe;

// Rewrites the PLTE chunk to its first `entries` entries.
Bytes ShortenPalette(const Bytes& png, std::size_t entries) {
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::size_t length = std::size_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], "PLTE", 4) == 0) {
            test::ByteWriter chunk;
            chunk.U32BE(static_cast<std::uint32_t>(entries * 3)).Text("PLTE");
            chunk.bytes().insert(chunk.bytes().end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                                 png.begin() + static_cast<std::ptrdiff_t>(at + 8 + entries * 3));
            chunk.U32BE(static_cast<std::uint32_t>(crc32(0, chunk.bytes().data() + 4, static_cast<uInt>(entries * 3 + 4))));
            Bytes out(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(at));
            out.insert(out.end(), chunk.bytes().begin(), chunk.bytes().end());
            out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 12 + length), png.end());
            return out;
        }
        at += 12 + length;
    }
    return png;
}

PngRecipe Rgb(int width, int height) {
    PngRecipe s;
    s.width = width;
    s.height = height;
    s.colourType = PNG_COLOR_TYPE_RGB;
    for (int i = 0; i < width * height; ++i) {
        s.samples.push_back(static_cast<std::uint8_t>(i * 7));
        s.samples.push_back(static_cast<std::uint8_t>(i * 13 + 1));
        s.samples.push_back(static_cast<std::uint8_t>(255 - i));
    }
    return s;
}

TEST(PngDecoder, RgbBecomesOpaqueThirtyTwoBitsInBgrOrder) {
    auto r = DecodeBytes(MakePng(Rgb(3, 2)));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(r->bitmap.BitsPerPixel(), 32);
    EXPECT_FALSE(r->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{255, 1, 0, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 2, 1), (Pixel32{250, 66, 35, 255}));
    EXPECT_EQ(r->bitmap.GetResolution(), (Resolution{0, 0}));
}

TEST(PngDecoder, RgbaAndGreyAlphaKeepTheirAlpha) {
    PngRecipe s;
    s.width = 2;
    s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    s.samples = {1, 2, 3, 4, 5, 6, 7, 8};
    auto rgba = DecodeBytes(MakePng(s));
    ASSERT_TRUE(rgba->ok) << rgba->text;
    EXPECT_TRUE(rgba->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(rgba->bitmap, 1, 0), (Pixel32{7, 6, 5, 8}));

    s.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    s.samples = {100, 50, 200, 0};
    auto ga = DecodeBytes(MakePng(s));
    ASSERT_TRUE(ga->ok) << ga->text;
    EXPECT_TRUE(ga->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(ga->bitmap, 0, 0), (Pixel32{100, 100, 100, 50}));
    EXPECT_EQ(PixelAt(ga->bitmap, 1, 0), (Pixel32{200, 200, 200, 0}));

    // Sixteen-bit grey with alpha: both samples lose their low byte.
    s.bitDepth = 16;
    s.samples = {100, 9, 50, 9, 200, 9, 0, 9};
    auto ga16 = DecodeBytes(MakePng(s));
    ASSERT_TRUE(ga16->ok) << ga16->text;
    EXPECT_EQ(HashBitmap(ga16->bitmap), HashBitmap(ga->bitmap));
}

TEST(PngDecoder, PalettePictureAtThirtyTwoBitsHasOpaquePaletteColours) {
    PngRecipe s;
    s.width = 3;
    s.colourType = PNG_COLOR_TYPE_PALETTE;
    s.paletteRgb = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    s.samples = {2, 0, 1};
    s.withTrns = true;  // transparency is not applied
    auto r = DecodeBytes(MakePng(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(r->bitmap.BitsPerPixel(), 32);
    EXPECT_FALSE(r->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{90, 80, 70, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0), (Pixel32{30, 20, 10, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 2, 0), (Pixel32{60, 50, 40, 255}));

    auto native = DecodeBytes(MakePng(s), 0);
    ASSERT_TRUE(native->ok);
    EXPECT_EQ(native->bitmap.BitsPerPixel(), 8);
    EXPECT_EQ(native->bitmap.Row(0)[0], 2);
}

TEST(PngDecoder, PackedPaletteAndIndicesBeyondThePalette) {
    PngRecipe s;
    s.width = 4;
    s.colourType = PNG_COLOR_TYPE_PALETTE;
    s.bitDepth = 4;
    s.paletteRgb = {255, 0, 0, 0, 255, 0};
    s.samples = {0x01, 0x10};
    auto r = DecodeBytes(MakePng(s), 0);
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(Bytes(r->bitmap.Row(0), r->bitmap.Row(0) + 4), (Bytes{0, 1, 1, 0}));
    EXPECT_EQ(r->bitmap.Palette()[1], (Pixel32{0, 255, 0, 255}));

    // An index the file's palette does not cover reads a defined entry of
    // the bitmap's own 256-entry palette, or libpng refuses the file. (The
    // library will not write such a file: shorten the palette afterwards.)
    s.samples = {0x0F, 0x00};
    s.paletteRgb.assign(16 * 3, 0);
    auto beyond = DecodeBytes(ShortenPalette(MakePng(s), 2));
    if (beyond->ok) {
        EXPECT_EQ(PixelAt(beyond->bitmap, 1, 0), (Pixel32{15, 15, 15, 255}));
    } else {
        EXPECT_EQ(beyond->code, 2);
    }
}

TEST(PngDecoder, GreyDepthsGetARampOverTheirOwnRange) {
    PngRecipe s;
    s.width = 4;
    s.colourType = PNG_COLOR_TYPE_GRAY;
    s.bitDepth = 2;
    s.samples = {0b00011011};
    auto r = DecodeBytes(MakePng(s));
    ASSERT_TRUE(r->ok) << r->text;
    const std::uint8_t levels[4] = {0, 85, 170, 255};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(r->bitmap, x, 0), (Pixel32{levels[x], levels[x], levels[x], 255}));

    s.bitDepth = 1;
    s.width = 3;
    s.samples = {0b10100000};
    r = DecodeBytes(MakePng(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0).r, 255);
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0).r, 0);
}

TEST(PngDecoder, SixteenBitGreyEqualsItsEightBitTwin) {
    PngRecipe eight;
    eight.width = 5;
    eight.colourType = PNG_COLOR_TYPE_GRAY;
    eight.samples = {0, 1, 127, 128, 255};
    PngRecipe sixteen = eight;
    sixteen.bitDepth = 16;
    sixteen.samples.clear();
    for (std::uint8_t v : eight.samples) {
        sixteen.samples.push_back(v);
        sixteen.samples.push_back(0xC3);
    }
    auto a = DecodeBytes(MakePng(eight), 0);
    auto b = DecodeBytes(MakePng(sixteen), 0);
    ASSERT_TRUE(a->ok && b->ok);
    EXPECT_EQ(HashBitmap(a->bitmap), HashBitmap(b->bitmap));
    EXPECT_EQ(b->bitmap.Row(0)[2], 127);
}

TEST(PngDecoder, InterlacedEqualsProgressive) {
    PngRecipe s = Rgb(11, 9);
    auto plain = DecodeBytes(MakePng(s));
    s.interlaced = true;
    auto interlaced = DecodeBytes(MakePng(s));
    ASSERT_TRUE(plain->ok && interlaced->ok) << interlaced->text;
    EXPECT_EQ(HashBitmap(plain->bitmap), HashBitmap(interlaced->bitmap));
}

TEST(PngDecoder, ResolutionOnlyFromMetres) {
    PngRecipe s = Rgb(1, 1);
    s.pixelsPerMetre = 2835;
    EXPECT_EQ(DecodeBytes(MakePng(s))->bitmap.GetResolution(), (Resolution{72, 72}));
    s.pixelsPerMetre = 3780;
    EXPECT_EQ(DecodeBytes(MakePng(s))->bitmap.GetResolution(), (Resolution{96, 96}));
    s.pixelsPerMetre.reset();
    s.pixelsPerUnknown = 2835;
    EXPECT_EQ(DecodeBytes(MakePng(s))->bitmap.GetResolution(), (Resolution{0, 0}));
}

TEST(PngDecoder, TruncationIsReportedByTheReadRoutine) {
    const Bytes full = MakePng(Rgb(40, 30));
    ASSERT_TRUE(DecodeBytes(full)->ok);
    // In the signature's aftermath, in IHDR, in the image data, before IEND.
    for (std::size_t size : {10u, 20u, 40u, static_cast<unsigned>(full.size() / 2),
                             static_cast<unsigned>(full.size() - 12), static_cast<unsigned>(full.size() - 1)}) {
        auto r = DecodeBytes(test::Truncated(full, size));
        EXPECT_EQ(r->code, 11) << size;
        EXPECT_EQ(r->text, "End of file reached while decoding.\n") << size;
    }
}

TEST(PngDecoder, AncillaryChunkLongerThanTheDataEndsItBeforeAllocating) {
    // Found by fuzzing: a text chunk claiming 1.4 GB made libpng allocate
    // that much before reading it.
    const Bytes png = MakePng(Rgb(2, 2));
    test::ByteWriter w;
    w.bytes().assign(png.begin(), png.begin() + 33);  // signature and IHDR
    w.U32BE(0x56000000).Text("tEXt").Text("date").U8(0).Text("2026");
    w.bytes().insert(w.bytes().end(), png.begin() + 33, png.end());
    auto r = DecodeBytes(w.Take());
    EXPECT_EQ(r->code, 11);
    EXPECT_EQ(r->text, "End of file reached while decoding.\n");
}

TEST(PngDecoder, LibraryErrorsAreCodeTwoWithTheLibrarysMessage) {
    Bytes crc = MakePng(Rgb(2, 2));
    crc[29] ^= 0xFF;  // IHDR's checksum
    auto r = DecodeBytes(crc);
    EXPECT_EQ(r->code, 2);
    EXPECT_EQ(r->text.rfind("Decoder error: ", 0), 0u) << r->text;
    EXPECT_EQ(r->text.back(), '\n');

    Bytes zeroWidth = MakePng(Rgb(2, 2));
    zeroWidth[16] = zeroWidth[17] = zeroWidth[18] = zeroWidth[19] = 0;
    EXPECT_EQ(DecodeBytes(zeroWidth)->code, 2);

    // The same decoder object goes on decoding after a failure.
    PngDecoder decoder;
    PlainBitmap bitmap;
    EXPECT_THROW(decoder.DecodeFromMemory(crc.data(), crc.size(), bitmap, 32), PLTextException);
    const Bytes good = MakePng(Rgb(2, 2));
    decoder.DecodeFromMemory(good.data(), good.size(), bitmap, 32);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.LockCount(), 0);
}

}  // namespace
}  // namespace cs

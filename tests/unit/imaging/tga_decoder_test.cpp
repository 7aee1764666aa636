#include <gtest/gtest.h>

#include "imaging/pl_exception.h"
#include "imaging/tga_decoder.h"
#include "test_support.h"

namespace cs {
namespace {

using test::Bytes;
using test::ByteWriter;
using test::DecodeBytes;
using test::DecoderText;
using test::PixelAt;
using test::MakeTga;
using test::TgaRecipe;

TEST(TgaDecoder, RowOrderFollowsDescriptorBitFive) {
    TgaRecipe s;
    s.width = 1;
    s.height = 2;
    s.data = {1, 2, 3, 4, 5, 6};
    auto bottomUp = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(bottomUp->ok) << bottomUp->text;
    EXPECT_FALSE(bottomUp->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(bottomUp->bitmap, 0, 0), (Pixel32{4, 5, 6, 255}));
    EXPECT_EQ(PixelAt(bottomUp->bitmap, 0, 1), (Pixel32{1, 2, 3, 255}));
    EXPECT_EQ(bottomUp->bitmap.GetResolution(), (Resolution{0, 0}));

    s.descriptor = 0x20 | 0x10;  // top to bottom; the right-to-left bit is ignored
    auto topDown = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(topDown->ok) << topDown->text;
    EXPECT_EQ(PixelAt(topDown->bitmap, 0, 0), (Pixel32{1, 2, 3, 255}));
    EXPECT_EQ(PixelAt(topDown->bitmap, 0, 1), (Pixel32{4, 5, 6, 255}));
}

TEST(TgaDecoder, ImageIdIsSkippedAndThirtyTwoBitsKeepAlpha) {
    TgaRecipe s;
    s.id = "made by hand";
    s.depth = 32;
    s.width = 2;
    s.data = {1, 2, 3, 4, 5, 6, 7, 8};
    auto r = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_TRUE(r->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{1, 2, 3, 4}));
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0), (Pixel32{5, 6, 7, 8}));
}

TEST(TgaDecoder, FifteenAndSixteenBitPixels) {
    const unsigned v = 0b1'10101'01010'10101;
    const Pixel32 colour{(v & 0x1F) << 3, (v >> 2) & 0xF8, (v >> 7) & 0xF8, 255};
    TgaRecipe s;
    s.width = 2;
    s.depth = 15;
    s.data = {v & 0xFF, v >> 8, 0, 0};
    auto r15 = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(r15->ok) << r15->text;
    EXPECT_FALSE(r15->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(r15->bitmap, 0, 0), colour);

    // Sixteen bits are flagged as alpha; the attribute bit is the opacity
    // when the descriptor announces attribute bits.
    s.depth = 16;
    s.descriptor = 1;
    auto r16 = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(r16->ok) << r16->text;
    EXPECT_TRUE(r16->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(r16->bitmap, 0, 0), colour);
    EXPECT_EQ(PixelAt(r16->bitmap, 1, 0), (Pixel32{0, 0, 0, 0}));
    // Without attribute bits the picture stays opaque.
    s.descriptor = 0;
    auto opaque = DecodeBytes(MakeTga(s));
    EXPECT_EQ(PixelAt(opaque->bitmap, 1, 0), (Pixel32{0, 0, 0, 255}));
}

TEST(TgaDecoder, ColourMapEntriesLandAtTheirIndexModuloTheTable) {
    TgaRecipe s;
    s.type = 1;
    s.mapType = 1;
    s.first = 255;
    s.mapLength = 2;
    s.mapBits = 24;
    s.map = {10, 20, 30, 40, 50, 60};
    s.depth = 8;
    s.width = 3;
    s.data = {255, 0, 1};
    auto r = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{10, 20, 30, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0), (Pixel32{40, 50, 60, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 2, 0), (Pixel32{1, 1, 1, 255}));  // grey ramp where the map gives nothing

    // A map with 16-bit entries goes through the same pixel reader.
    s.first = 0;
    s.mapLength = 1;
    s.mapBits = 16;
    s.map = {0x1F, 0x00};
    s.data = {0, 0, 0};
    r = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{0xF8, 0, 0, 255}));
}

TEST(TgaDecoder, GreyscaleIgnoresAColourMapAndTrueColourSkipsOne) {
    TgaRecipe s;
    s.type = 3;
    s.mapType = 1;
    s.mapLength = 1;
    s.mapBits = 24;
    s.map = {10, 20, 30};
    s.depth = 8;
    s.data = {0};
    auto grey = DecodeBytes(MakeTga(s), 0);
    ASSERT_TRUE(grey->ok) << grey->text;
    EXPECT_EQ(grey->bitmap.BitsPerPixel(), 8);
    EXPECT_EQ(grey->bitmap.Palette()[0], (Pixel32{0, 0, 0, 255}));

    s.type = 2;
    s.depth = 24;
    s.data = {7, 8, 9};
    auto colour = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(colour->ok) << colour->text;
    EXPECT_EQ(PixelAt(colour->bitmap, 0, 0), (Pixel32{7, 8, 9, 255}));
}

TEST(TgaDecoder, RunLengthPacketsAreCutAtTheRowEnd) {
    TgaRecipe s;
    s.type = 10;
    s.width = 3;
    s.height = 2;
    s.descriptor = 0x20;
    // Row 0: a run of 5 (cut after 3). Row 1: a raw packet of 2 then a raw
    // packet of 2 of which one pixel is left over.
    s.data = {0x84, 1, 1, 1, 0x01, 2, 2, 2, 3, 3, 3, 0x01, 4, 4, 4, 9, 9, 9};
    auto r = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(r->ok) << r->text;
    for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(r->bitmap, x, 0), (Pixel32{1, 1, 1, 255})) << x;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 1), (Pixel32{2, 2, 2, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 1, 1), (Pixel32{3, 3, 3, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 2, 1), (Pixel32{4, 4, 4, 255}));
}

TEST(TgaDecoder, RunLengthGreyAndColourMappedUseOneBytePixels) {
    TgaRecipe s;
    s.type = 11;
    s.depth = 8;
    s.width = 4;
    s.data = {0x81, 200, 0x01, 10, 20};
    auto r = DecodeBytes(MakeTga(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0), (Pixel32{200, 200, 200, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 3, 0), (Pixel32{20, 20, 20, 255}));
}

TEST(TgaDecoder, TypeWithoutImageDataFailsAfterTheTargetWasCreated) {
    for (std::uint8_t type : {0, 4, 8, 12, 255}) {
        TgaRecipe s;
        s.type = type;
        s.width = 5;
        s.height = 3;
        s.data.assign(45, 0);
        TgaDecoder decoder;
        PlainBitmap bitmap;
        const Bytes bytes = MakeTga(s);
        try {
            decoder.DecodeFromMemory(bytes.data(), bytes.size(), bitmap, 32);
            FAIL() << int(type);
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.GetCode(), 2);
            EXPECT_STREQ(e.GetText(), "Decoder error: Unknown TGA image type.\n");
        }
        EXPECT_EQ(bitmap.Width(), 5);
        EXPECT_EQ(bitmap.Height(), 3);
        EXPECT_EQ(bitmap.LockCount(), 0);
    }
}

TEST(TgaDecoder, SizesAndDepthsNothingCanDecodeAreRefused) {
    TgaRecipe s;
    s.width = 0;
    auto r = DecodeBytes(MakeTga(s));
    EXPECT_EQ(r->code, 2);
    EXPECT_EQ(r->text, DecoderText("Invalid image dimensions."));

    // Reached through the decoder itself (detection would not pass them).
    TgaDecoder decoder;
    PlainBitmap bitmap;
    auto codeOf = [&](const TgaRecipe& recipe) {
        const Bytes bytes = MakeTga(recipe);
        try {
            decoder.DecodeFromMemory(bytes.data(), bytes.size(), bitmap, 32);
        } catch (const PLTextException& e) {
            return e.GetCode();
        }
        return 0;
    };
    TgaRecipe depth12;
    depth12.depth = 12;
    depth12.data.assign(8, 0);
    EXPECT_EQ(codeOf(depth12), 2);
    TgaRecipe map12;
    map12.mapType = 1;
    map12.mapLength = 2;
    map12.mapBits = 12;
    map12.map.assign(4, 0);
    map12.data = {0, 0, 0};
    EXPECT_EQ(codeOf(map12), 2);
}

TEST(TgaDecoder, HeaderPromisingMorePixelsThanTheDataHoldsIsRefusedBeforeAllocating) {
    TgaRecipe s;
    s.width = 16000;
    s.height = 16000;
    s.data = {1, 2, 3};
    auto raw = DecodeBytes(MakeTga(s));
    EXPECT_EQ(raw->code, 11);  // the file is cut; memory was never the problem
    EXPECT_EQ(raw->text, "End of file reached while decoding.\n");
    s.type = 10;
    s.width = s.height = 65535;  // over the pixel limit
    EXPECT_EQ(DecodeBytes(MakeTga(s))->code, 10);
}

TEST(TgaDecoder, TruncationEndsTheDataWithCodeEleven) {
    TgaRecipe s;
    s.id = "abc";
    s.type = 9;
    s.mapType = 1;
    s.mapLength = 2;
    s.mapBits = 24;
    s.map = {1, 2, 3, 4, 5, 6};
    s.depth = 8;
    s.width = 130;
    s.height = 2;
    s.data = {0xFF, 1, 0x81, 0, 0xFF, 1, 0x81, 0};
    const Bytes full = MakeTga(s);
    ASSERT_TRUE(DecodeBytes(full)->ok);
    // Header, image id, colour map, then the packets.
    for (std::size_t size : {17u, 19u, 22u, 26u, 27u, 28u, 30u, static_cast<unsigned>(full.size() - 1)}) {
        Bytes cut = test::Truncated(full, size);
        TgaDecoder decoder;
        PlainBitmap bitmap;
        try {
            decoder.DecodeFromMemory(cut.data(), cut.size(), bitmap, 32);
            ADD_FAILURE() << size;
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.GetCode(), 11) << size;
            EXPECT_STREQ(e.GetText(), "End of file reached while decoding.\n");
        }
    }
}

TEST(TgaDecoder, BytesThatFitTheTestAreTakenAsTgaWhateverTheyAre) {
    Bytes bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 'A', 'B', 'C'};
    auto r = DecodeBytes(bytes);
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{'A', 'B', 'C', 255}));
}

}  // namespace
}  // namespace cs

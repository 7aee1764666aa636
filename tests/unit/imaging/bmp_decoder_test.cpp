#include <gtest/gtest.h>

#include "imaging/bmp_decoder.h"
#include "imaging/pl_exception.h"
#include "test_support.h"

namespace cs {
namespace {

using test::Bytes;
using test::ByteWriter;
using test::DecodeBytes;
using test::DecoderText;
using test::PixelAt;
using test::BmpRecipe;
using test::MakeBmp;
using test::StoredRows;

TEST(BmpDecoder, TwentyFourBitsOfWidthOneReadThreeBytesAndOneFiller) {
    BmpRecipe s;
    s.height = 2;
    s.data = {1, 2, 3, 0, 4, 5, 6, 0};  // bottom row first
    auto r = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_FALSE(r->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{4, 5, 6, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 0, 1), (Pixel32{1, 2, 3, 255}));
    EXPECT_EQ(r->bitmap.GetResolution(), (Resolution{150, 150}));
}

TEST(BmpDecoder, ThirtyTwoBitsCarryAlphaUnchanged) {
    BmpRecipe s;
    s.bits = 32;
    s.width = 2;
    s.data = {1, 2, 3, 0, 5, 6, 7, 128};
    auto r = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_TRUE(r->bitmap.HasAlpha());
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{1, 2, 3, 0}));
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0), (Pixel32{5, 6, 7, 128}));
}

TEST(BmpDecoder, OneBitRowsReadMostSignificantBitFirstWithPartialLastByte) {
    BmpRecipe s;
    s.bits = 1;
    s.width = 10;
    s.table = {{0, 0, 200}, {0, 200, 0}};
    s.data = StoredRows({{0b10000000, 0b01111111}});
    auto r = DecodeBytes(MakeBmp(s), 0);
    ASSERT_TRUE(r->ok) << r->text;
    ASSERT_EQ(r->bitmap.BitsPerPixel(), 8);
    const int expected[10] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(r->bitmap.Row(0)[x], expected[x]) << x;
    EXPECT_EQ(r->bitmap.Palette()[1], (Pixel32{0, 200, 0, 255}));
}

TEST(BmpDecoder, FourBitOddWidthTakesTheLastHighNibble) {
    BmpRecipe s;
    s.bits = 4;
    s.width = 3;
    s.data = StoredRows({{0x12, 0x3F}});
    auto r = DecodeBytes(MakeBmp(s), 0);
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(r->bitmap.Row(0)[0], 1);
    EXPECT_EQ(r->bitmap.Row(0)[1], 2);
    EXPECT_EQ(r->bitmap.Row(0)[2], 3);
    // No colour table entries given beyond the 16 a 4-bit file has.
    EXPECT_EQ(r->bitmap.Palette()[3], (Pixel32{0, 0, 0, 255}));
}

TEST(BmpDecoder, ColourTableLengthFollowsColoursUsed) {
    BmpRecipe s;
    s.bits = 8;
    s.width = 2;
    s.coloursUsed = 2;
    s.table = {{1, 2, 3}, {4, 5, 6}};
    s.data = StoredRows({{1, 200}});
    auto r = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{4, 5, 6, 255}));
    // An index past the file's table reads the palette, never past it.
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0), (Pixel32{200, 200, 200, 255}));

    // More than 256 entries: all are read over, the pixels follow them.
    s.coloursUsed = 300;
    s.table.assign(300, {9, 9, 9});
    s.table[1] = {7, 7, 7};
    r = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{7, 7, 7, 255}));
}

TEST(BmpDecoder, SixteenBitsAreFiveFiveFiveUnlessTheGreenMaskSaysOtherwise) {
    const std::uint16_t v = 0x7FFF & 0b0'10101'01010'10101;
    BmpRecipe s;
    s.bits = 16;
    s.data = StoredRows({{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}});
    auto plain = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(plain->ok) << plain->text;
    EXPECT_EQ(PixelAt(plain->bitmap, 0, 0),
              (Pixel32{(v << 3) & 0xF8, (v >> 2) & 0xF8, (v >> 7) & 0xF8, 255}));

    s.compression = 3;
    ByteWriter masks;
    masks.U32(0xF800).U32(0x07E0).U32(0x001F);
    s.masksAfterHeader = masks.Take();
    auto rgb565 = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(rgb565->ok) << rgb565->text;
    EXPECT_EQ(PixelAt(rgb565->bitmap, 0, 0),
              (Pixel32{(v << 3) & 0xF8, (v >> 3) & 0xF8, (v >> 8) & 0xF8, 255}));

    ByteWriter masks555;
    masks555.U32(0x7C00).U32(0x03E0).U32(0x001F);
    s.masksAfterHeader = masks555.Take();
    EXPECT_EQ(test::HashBitmap(DecodeBytes(MakeBmp(s))->bitmap), test::HashBitmap(plain->bitmap));

    // A version 5 header carries its masks inside; nothing more is read.
    s.masksAfterHeader.clear();
    s.headerSize = 124;
    s.headerMasks = {0xF800, 0x07E0, 0x001F};
    auto v5 = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(v5->ok) << v5->text;
    EXPECT_EQ(test::HashBitmap(v5->bitmap), test::HashBitmap(rgb565->bitmap));
}

TEST(BmpDecoder, OsTwoHeaderReadsThreeByteTableAndFindsDataThroughItsOffset) {
    BmpRecipe s;
    s.headerSize = 12;
    s.bits = 8;
    s.width = 2;
    s.table.assign(256, {0, 0, 0});
    s.table[5] = {10, 20, 30};
    s.gap = 6;
    s.arrayHeaders = 2;
    s.data = StoredRows({{5, 0}});
    auto r = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{10, 20, 30, 255}));
    EXPECT_EQ(PixelAt(r->bitmap, 1, 0), (Pixel32{0, 0, 0, 255}));
    EXPECT_EQ(r->bitmap.GetResolution(), (Resolution{150, 150}));
}

TEST(BmpDecoder, GapBeforeThePixelsIsSkippedForAnyHeader) {
    BmpRecipe s;
    s.gap = 10;
    s.data = StoredRows({{1, 2, 3}});
    auto r = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{1, 2, 3, 255}));
}

TEST(BmpDecoder, ResolutionFromPixelsPerMetreWithOneHundredFiftyFallback) {
    BmpRecipe s;
    s.data = StoredRows({{0, 0, 0}});
    auto dpi = [&](std::int32_t x, std::int32_t y) {
        s.ppmX = x;
        s.ppmY = y;
        return DecodeBytes(MakeBmp(s))->bitmap.GetResolution();
    };
    EXPECT_EQ(dpi(3780, 2835), (Resolution{96, 72}));
    EXPECT_EQ(dpi(0, -5), (Resolution{150, 150}));
    EXPECT_EQ(dpi(50, 79), (Resolution{150, 2}));  // 1.27 and 2.0066 dpi
}

TEST(BmpDecoder, FinalRowMayLackItsFiller) {
    BmpRecipe s;
    s.height = 2;
    s.data = StoredRows({{1, 2, 3}, {4, 5, 6}}, false);
    auto r = DecodeBytes(MakeBmp(s));
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(PixelAt(r->bitmap, 0, 0), (Pixel32{1, 2, 3, 255}));
}

TEST(BmpDecoder, Rle8RunsLiteralsEscapesAndCutRuns) {
    BmpRecipe s;
    s.bits = 8;
    s.compression = 1;
    s.width = 4;
    s.height = 3;
    // Bottom row: run of 2 x 7, literal 3 bytes (odd: one pad byte), end of
    // row. Middle row: a run of 9 cut at the row end. Top row: end of bitmap.
    s.data = {2, 7, 0, 3, 1, 2, 3, 0, 0, 0, 9, 5, 0, 0, 0, 1};
    auto r = DecodeBytes(MakeBmp(s), 0);
    ASSERT_TRUE(r->ok) << r->text;
    const Bytes rows[3] = {{0, 0, 0, 0}, {5, 5, 5, 5}, {7, 7, 1, 2}};
    for (int y = 0; y < 3; ++y) EXPECT_EQ(Bytes(r->bitmap.Row(y), r->bitmap.Row(y) + 4), rows[y]) << y;

    // A literal longer than the row is cut too, and its bytes are still
    // consumed.
    s.height = 1;
    s.data = {0, 5, 1, 2, 3, 4, 5, 0, 2, 9, 0, 1};
    r = DecodeBytes(MakeBmp(s), 0);
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(Bytes(r->bitmap.Row(0), r->bitmap.Row(0) + 4), (Bytes{1, 2, 3, 4}));
}

TEST(BmpDecoder, Rle4ScratchRowCarriesPixelsTheNextRowLeavesOut) {
    BmpRecipe s;
    s.bits = 4;
    s.compression = 2;
    s.width = 5;
    s.height = 2;
    // Bottom row: run of 5 alternating 1/2, end of row. Top row: literal of
    // 3 nibbles 3,4,5 (2 bytes, even: no pad), end of bitmap.
    s.data = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    auto r = DecodeBytes(MakeBmp(s), 0);
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(Bytes(r->bitmap.Row(1), r->bitmap.Row(1) + 5), (Bytes{1, 2, 1, 2, 1}));
    EXPECT_EQ(Bytes(r->bitmap.Row(0), r->bitmap.Row(0) + 5), (Bytes{3, 4, 5, 2, 1}));

    // An odd byte count of a literal is followed by one pad byte.
    s.height = 1;
    s.data = {0, 5, 0x12, 0x34, 0x50, 0xFF, 0, 1};
    r = DecodeBytes(MakeBmp(s), 0);
    ASSERT_TRUE(r->ok) << r->text;
    EXPECT_EQ(Bytes(r->bitmap.Row(0), r->bitmap.Row(0) + 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST(BmpDecoder, DeltaEscapeIsRefusedInBothRleKinds) {
    for (std::uint16_t bits : {4, 8}) {
        BmpRecipe s;
        s.bits = bits;
        s.compression = bits == 8 ? 1 : 2;
        s.width = 4;
        s.height = 2;
        s.data = {2, 1, 0, 0, 0, 2, 1, 1, 0, 1};
        auto r = DecodeBytes(MakeBmp(s));
        EXPECT_EQ(r->code, 6) << bits;
        EXPECT_EQ(r->text, DecoderText("Encountered delta escape.")) << bits;
    }
}

TEST(BmpDecoder, HeaderErrors) {
    BmpRecipe s;
    s.data = StoredRows({{0, 0, 0}});

    s.arrayHeaders = 1;
    s.signature = "XY";
    auto r = DecodeBytes(MakeBmp(s));
    EXPECT_EQ(r->code, 1);
    EXPECT_EQ(r->text, DecoderText("Bitmap decoder: This isn't a bitmap."));
    s.arrayHeaders = 0;
    s.signature = "BM";

    s.bits = 2;
    r = DecodeBytes(MakeBmp(s));
    EXPECT_EQ(r->code, 2);
    EXPECT_EQ(r->text, DecoderText("Decoding bmp: Illegal bpp value."));
    EXPECT_EQ(r->bitmap.Width(), 1);  // the target was created first
    s.bits = 24;

    for (auto [w, h] : {std::pair{0, 1}, {1, 0}, {1, -1}, {-3, 2}}) {
        s.width = w;
        s.height = h;
        r = DecodeBytes(MakeBmp(s));
        EXPECT_EQ(r->code, 2) << w << "x" << h;
        EXPECT_EQ(r->text, DecoderText("Invalid image dimensions."));
    }

    Bytes odd = MakeBmp(BmpRecipe{});
    odd[14] = 8;  // an info header size nothing knows
    EXPECT_EQ(DecodeBytes(odd)->code, 2);
}

TEST(BmpDecoder, HeaderPromisingMorePixelsThanTheDataHoldsIsRefusedBeforeAllocating) {
    BmpRecipe s;
    s.width = 16000;
    s.height = 16000;  // under the pixel limit, but 768 MB of pixel data
    s.data = StoredRows({{1, 2, 3}});
    auto r = DecodeBytes(MakeBmp(s));
    EXPECT_EQ(r->code, 11);  // the file is cut; memory was never the problem
    EXPECT_EQ(r->text, "End of file reached while decoding.\n");
    EXPECT_EQ(r->bitmap.Width(), 16);  // untouched

    s.width = 100000;
    s.height = 100000;  // over the pixel limit
    EXPECT_EQ(DecodeBytes(MakeBmp(s))->code, 10);

    // Run-length data can describe any size in a few bytes: only the limit
    // applies, and a modest size decodes.
    s.bits = 8;
    s.compression = 1;
    s.width = 2000;
    s.height = 1000;
    s.data = {0, 1};
    EXPECT_TRUE(DecodeBytes(MakeBmp(s))->ok);
}

TEST(BmpDecoder, TruncationEndsTheDataWithCodeEleven) {
    BmpRecipe s;
    s.bits = 8;
    s.compression = 1;
    s.width = 4;
    s.height = 2;
    s.table.assign(4, {1, 1, 1});
    s.coloursUsed = 4;
    s.data = {4, 1, 0, 0, 4, 2, 0, 1};
    const Bytes full = MakeBmp(s);
    ASSERT_TRUE(DecodeBytes(full)->ok);
    // In the file header, the info header, the colour table, the RLE data.
    for (std::size_t size : {3u, 12u, 20u, 53u, 60u, 70u, 72u, static_cast<unsigned>(full.size() - 1)}) {
        auto r = DecodeBytes(test::Truncated(full, size));
        EXPECT_EQ(r->code, 11) << size;
        EXPECT_EQ(r->text, "End of file reached while decoding.\n") << size;
    }
}

TEST(BmpDecoder, DecodesDirectlyWithoutTheFrontEnd) {
    BmpRecipe s;
    s.data = StoredRows({{9, 8, 7}});
    const Bytes bytes = MakeBmp(s);
    BmpDecoder decoder;
    DibBitmap bitmap;
    decoder.DecodeFromMemory(bytes.data(), bytes.size(), bitmap, 32);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), (Pixel32{9, 8, 7, 255}));
    EXPECT_EQ(bitmap.LockCount(), 0);

    const Bytes notBmp = {'X', 'Y', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    try {
        decoder.DecodeFromMemory(notBmp.data(), notBmp.size(), bitmap, 32);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 1);
    }
}

}  // namespace
}  // namespace cs

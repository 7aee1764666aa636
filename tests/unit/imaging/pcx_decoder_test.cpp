// PCX files are built byte by byte here: a header, run-length data and,
// for 256 colours, the palette after it.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/auto_decoder.h"
#include "imaging/bitmap.h"
#include "imaging/pcx_decoder.h"
#include "imaging/pl_exception.h"

#include "test_support.h"

namespace cs {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::DecodeErrorWith;
using test::ExpectDecoderError;

struct PcxRecipe {
    int bits = 8;
    int planes = 3;
    int xmin = 0, ymin = 0;
    int width = 2, height = 2;
    int bytesPerLine = 2;
    int hres = 0, vres = 0;
    std::array<std::array<std::uint8_t, 3>, 16> colourMap{};  // R, G, B
    int manufacturer = 10;
    int encoding = 1;
};

void PutLe16(Bytes& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

Bytes Header(const PcxRecipe& s) {
    Bytes h(128, 0);
    h[0] = static_cast<std::uint8_t>(s.manufacturer);
    h[1] = 5;
    h[2] = static_cast<std::uint8_t>(s.encoding);
    h[3] = static_cast<std::uint8_t>(s.bits);
    PutLe16(h, 4, s.xmin);
    PutLe16(h, 6, s.ymin);
    PutLe16(h, 8, s.xmin + s.width - 1);
    PutLe16(h, 10, s.ymin + s.height - 1);
    PutLe16(h, 12, s.hres);
    PutLe16(h, 14, s.vres);
    for (std::size_t i = 0; i < 16; ++i)
        for (std::size_t c = 0; c < 3; ++c) h[16 + 3 * i + c] = s.colourMap[i][c];
    h[65] = static_cast<std::uint8_t>(s.planes);
    PutLe16(h, 66, s.bytesPerLine);
    return h;
}

// Run-length codes the bytes the way writers do: runs of 2 or more and any
// byte of 0xC0 or above become a count and a value.
Bytes Encode(const Bytes& raw) {
    Bytes out;
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t n = 1;
        while (i + n < raw.size() && raw[i + n] == raw[i] && n < 63) ++n;
        if (n > 1 || raw[i] >= 0xC0) {
            out.push_back(static_cast<std::uint8_t>(0xC0 | n));
            out.push_back(raw[i]);
        } else {
            out.push_back(raw[i]);
        }
        i += n;
    }
    return out;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Palette256() {
    Bytes p{0x0C};
    for (int i = 0; i < 256; ++i) {
        p.push_back(static_cast<std::uint8_t>(i));        // R
        p.push_back(static_cast<std::uint8_t>(255 - i));  // G
        p.push_back(static_cast<std::uint8_t>(i / 2));    // B
    }
    return p;
}

void Decode(const Bytes& file, Bitmap& target, int requestedBits = 0) {
    PcxDecoder decoder;
    decoder.DecodeFromMemory(file.data(), file.size(), target, requestedBits);
}

PLTextException DecodeError(const Bytes& file) { return DecodeErrorWith<PcxDecoder>(file); }

void ExpectError(const Bytes& file, int code, const std::string& message) {
    ExpectDecoderError<PcxDecoder>(file, code, message);
}

Pixel32 At(const Bitmap& b, int x, int y) {
    Pixel32 p;
    std::memcpy(&p, b.Row(y) + 4 * x, 4);
    return p;
}

Pixel32 Rgb(int r, int g, int b) {
    return Pixel32{static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(r), 255};
}

// --- valid pictures --------------------------------------------------------

TEST(PcxDecoder, TrueColourTakesPlanesAsRedGreenBlueAndIgnoresLinePadding) {
    PcxRecipe s;
    s.width = 5;
    s.height = 2;
    s.bytesPerLine = 6;
    s.xmin = 10;
    s.ymin = 20;
    s.hres = 300;
    s.vres = 150;
    Bytes raw;
    for (int y = 0; y < 2; ++y)
        for (int plane = 0; plane < 3; ++plane)
            for (int x = 0; x < 6; ++x) raw.push_back(static_cast<std::uint8_t>(x == 5 ? 0xEE : 10 * x + plane + 100 * y));
    PlainBitmap b;
    Decode(Concat(Header(s), Encode(raw)), b);
    ASSERT_EQ(b.Width(), 5);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.BitsPerPixel(), 32);
    EXPECT_FALSE(b.HasAlpha());
    EXPECT_EQ(b.GetResolution(), (Resolution{300, 150}));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(At(b, x, y), Rgb(10 * x + 100 * y, 10 * x + 1 + 100 * y, 10 * x + 2 + 100 * y));
}

TEST(PcxDecoder, PaletteOf256ColoursFollowsTheDataWhateverItsMarker) {
    PcxRecipe s;
    s.planes = 1;
    s.width = 3;
    s.height = 2;
    s.bytesPerLine = 4;
    const Bytes raw{0, 7, 255, 9, 200, 200, 200, 1};
    Bytes palette = Palette256();
    palette[0] = 0x00;  // not the usual marker: never examined
    PlainBitmap b;
    Decode(Concat(Concat(Header(s), Encode(raw)), palette), b);
    EXPECT_EQ(At(b, 0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(At(b, 1, 0), Rgb(7, 248, 3));
    EXPECT_EQ(At(b, 2, 0), Rgb(255, 0, 127));
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(b, x, 1), Rgb(200, 55, 100));
}

TEST(PcxDecoder, SixteenColoursInFourPlanesUseTheHeaderColourMap) {
    PcxRecipe s;
    s.bits = 1;
    s.planes = 4;
    s.width = 16;
    s.height = 1;
    s.bytesPerLine = 2;
    for (int i = 0; i < 16; ++i) s.colourMap[i] = {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(i), 0x42};
    // Pixel x gets index x: plane p holds bit p of each index, high bit first.
    Bytes raw;
    for (int plane = 0; plane < 4; ++plane) {
        std::uint16_t bits = 0;
        for (int x = 0; x < 16; ++x)
            if ((x >> plane) & 1) bits |= static_cast<std::uint16_t>(0x8000 >> x);
        raw.push_back(static_cast<std::uint8_t>(bits >> 8));
        raw.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    }
    PlainBitmap b;
    Decode(Concat(Header(s), Encode(raw)), b);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(At(b, x, 0), Rgb(x * 16, x, 0x42)) << x;
}

TEST(PcxDecoder, TwoAndThreeBitPlanesIndexTheHeaderMap) {
    for (int planes : {2, 3}) {
        PcxRecipe s;
        s.bits = 1;
        s.planes = planes;
        s.width = 8;
        s.height = 1;
        s.bytesPerLine = 1;
        for (int i = 0; i < 16; ++i) s.colourMap[i] = {static_cast<std::uint8_t>(i), 0, 0};
        Bytes raw{0xAA, 0xCC, 0xF0};  // indices x ^ ... : bit p of x
        raw.resize(static_cast<std::size_t>(planes));
        PlainBitmap b;
        Decode(Concat(Header(s), Encode(raw)), b);
        for (int x = 0; x < 8; ++x) {
            int index = 0;
            for (int p = 0; p < planes; ++p) index |= ((raw[p] >> (7 - x)) & 1) << p;
            EXPECT_EQ(At(b, x, 0), Rgb(index, 0, 0)) << planes << " planes, x " << x;
        }
    }
}

TEST(PcxDecoder, MonochromeIsBlackAndWhiteWhateverTheHeaderSays) {
    PcxRecipe s;
    s.bits = 1;
    s.planes = 1;
    s.width = 10;
    s.height = 1;
    s.bytesPerLine = 2;
    s.colourMap[0] = {1, 2, 3};
    s.colourMap[1] = {4, 5, 6};
    PlainBitmap b;
    Decode(Concat(Header(s), Encode({0xA0, 0x40})), b);
    const Pixel32 white = Rgb(255, 255, 255), black = Rgb(0, 0, 0);
    const Pixel32 expected[10] = {white, black, white, black, black, black, black, black, black, white};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(At(b, x, 0), expected[x]) << x;
}

TEST(PcxDecoder, PackedTwoAndFourBitPixelsGoHighBitsFirst) {
    PcxRecipe s;
    s.planes = 1;
    s.height = 1;
    for (int i = 0; i < 16; ++i) s.colourMap[i] = {0, static_cast<std::uint8_t>(i), 0};

    s.bits = 2;
    s.width = 5;
    s.bytesPerLine = 2;
    PlainBitmap two;
    Decode(Concat(Header(s), Encode({0x1B, 0x80})), two);  // 0 1 2 3 | 2
    const int twoBit[5] = {0, 1, 2, 3, 2};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(two, x, 0), Rgb(0, twoBit[x], 0)) << x;

    s.bits = 4;
    s.width = 3;
    PlainBitmap four;
    Decode(Concat(Header(s), Encode({0x5A, 0xF0})), four);
    const int fourBit[3] = {5, 10, 15};
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(four, x, 0), Rgb(0, fourBit[x], 0)) << x;
}

TEST(PcxDecoder, RunsMayCarryOnIntoTheNextLine) {
    PcxRecipe s;
    s.planes = 1;
    s.width = 4;
    s.height = 3;
    s.bytesPerLine = 4;
    // One run of 10 bytes over two and a half lines, then two literal bytes.
    const Bytes data{0xCA, 0x05, 0x06, 0x07};
    PlainBitmap b;
    Decode(Concat(Concat(Header(s), data), Palette256()), b);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(At(b, i % 4, i / 4), i < 10 ? Rgb(5, 250, 2) : Rgb(i - 4, 259 - i, (i - 4) / 2)) << i;
}

TEST(PcxDecoder, ThirtyTwoBitRequestKeepsTheDepthAndEightIsRefused) {
    PcxRecipe s;
    const Bytes file = Concat(Header(s), Encode(Bytes(12, 0x33)));
    PlainBitmap b;
    Decode(file, b, 32);
    EXPECT_EQ(b.BitsPerPixel(), 32);
    try {
        Decode(file, b, 8);
        FAIL() << "no error";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 6);
        EXPECT_STREQ(e.GetText(), "Image bit depth doesn't match request.");
    }
}

TEST(PcxDecoder, DibTargetGetsTheSamePixels) {
    PcxRecipe s;
    s.width = 3;
    s.bytesPerLine = 3;
    Bytes raw;
    for (int i = 0; i < 18; ++i) raw.push_back(static_cast<std::uint8_t>(i * 7));
    const Bytes file = Concat(Header(s), Encode(raw));
    PlainBitmap plain;
    DibBitmap dib;
    Decode(file, plain);
    Decode(file, dib);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(At(dib, x, y), At(plain, x, y));
}

TEST(PcxDecoder, RecognisedByContentThroughTheFrontEnd) {
    PcxRecipe s;
    s.width = 1;
    s.height = 1;
    s.bytesPerLine = 1;
    const Bytes file = Concat(Header(s), Bytes{0x11, 0x22, 0x33});
    PlainBitmap b;
    AutoDecoder decoder;
    decoder.DecodeFromMemory(file.data(), file.size(), b, 32);
    EXPECT_EQ(At(b, 0, 0), Rgb(0x11, 0x22, 0x33));
}

// --- errors ----------------------------------------------------------------

TEST(PcxDecoder, HeaderErrors) {
    PcxRecipe s;
    s.manufacturer = 11;
    ExpectError(Concat(Header(s), Bytes(12)), 1, "Error decoding pcx: Not a PCX file.");
    s = {};
    s.encoding = 0;
    ExpectError(Concat(Header(s), Bytes(12)), 1, "File has unknown encoding scheme.");
}

TEST(PcxDecoder, PlaneAndDepthCombinationsOutsideTheTable) {
    const Bytes data(64, 0);
    for (int planes : {0, 5, 8}) {
        PcxRecipe s;
        s.bits = 1;
        s.planes = planes;
        ExpectError(Concat(Header(s), data), 2, "Can't handle image with more than 4 planes.");
    }
    const std::pair<int, int> others[] = {{2, 2}, {4, 4}, {8, 2}, {8, 4}, {8, 0}, {3, 1}, {16, 1}, {24, 1}, {0, 1}};
    for (auto [bits, planes] : others) {
        PcxRecipe s;
        s.bits = bits;
        s.planes = planes;
        ExpectError(Concat(Header(s), data), 2, "Can't handle bits per pixel image with planes.");
    }
}

TEST(PcxDecoder, SeveralPlanesOfMoreThanOneBitAreRefusedAfterUnpacking) {
    for (int bits : {2, 4}) {
        PcxRecipe s;
        s.bits = bits;
        s.planes = 3;
        s.bytesPerLine = 1;
        ExpectError(Concat(Header(s), Encode(Bytes(6, 1))), 7, "Can't handle more than 1 bit per pixel.");
        // A broken run is found first.
        ExpectError(Concat(Header(s), Bytes{0xC7, 1}), 7, "repeat count spans end of image.");
        // Truncated data is still unpacked quietly before the refusal.
        ExpectError(Concat(Header(s), Bytes{1}), 7, "Can't handle more than 1 bit per pixel.");
    }
}

TEST(PcxDecoder, RunLongerThanTheRestOfTheImage) {
    PcxRecipe s;  // 2 x 2, 3 planes of 2 bytes: 12 bytes in all
    ExpectError(Concat(Header(s), Bytes{0xCD, 0x01}), 7, "repeat count spans end of image.");
    ExpectError(Concat(Header(s), Bytes{0xCB, 0x01, 0xC2, 0x01}), 7, "repeat count spans end of image.");
    // Exactly filling the image is fine.
    PlainBitmap b;
    EXPECT_NO_THROW(Decode(Concat(Header(s), Bytes{0xCB, 0x01, 0xC1, 0x02}), b));
}

TEST(PcxDecoder, DimensionsAreCheckedBeforeAnythingIsAllocated) {
    PcxRecipe s;
    s.xmin = 5;
    s.width = 0;  // x max = x min - 1
    ExpectError(Concat(Header(s), Bytes(12)), 2, "Invalid image dimensions.");
    s = {};
    s.ymin = 100;
    s.height = -50;
    ExpectError(Concat(Header(s), Bytes(12)), 2, "Invalid image dimensions.");
    // 65536 x 65536 is 2^32 pixels, far above the bitmap limit.
    s = {};
    s.width = 65536;
    s.height = 65536;
    s.bytesPerLine = 65535;
    ExpectError(Concat(Header(s), Bytes(12)), 10, "Out of memory creating bitmap.");
}

TEST(PcxDecoder, LinesTooShortForTheWidthAreRefused) {
    PcxRecipe s;
    s.width = 5;
    s.bytesPerLine = 4;
    ExpectError(Concat(Header(s), Bytes(64)), 2, "Error decoding pcx: Bytes per line too small for image width.");
    s = {};
    s.bits = 1;
    s.planes = 4;
    s.width = 17;
    s.bytesPerLine = 2;
    ExpectError(Concat(Header(s), Bytes(64)), 2, "Error decoding pcx: Bytes per line too small for image width.");
    s.bytesPerLine = 0;
    ExpectError(Concat(Header(s), Bytes(64)), 2, "Error decoding pcx: Bytes per line too small for image width.");
}

// --- truncated files -------------------------------------------------------

TEST(PcxDecoder, ShortHeaderEndsTheData) {
    const Bytes header = Header(PcxRecipe{});
    for (std::size_t n : {0u, 1u, 64u, 127u}) {
        const PLTextException e = DecodeError(Bytes(header.begin(), header.begin() + static_cast<long>(n)));
        EXPECT_EQ(e.GetCode(), 11) << n;
        EXPECT_STREQ(e.GetText(), "End of file reached while decoding.\n");
    }
}

TEST(PcxDecoder, TruncatedImageDataDecodesWhatIsThere) {
    PcxRecipe s;
    s.width = 4;
    s.height = 4;
    s.bytesPerLine = 4;
    Bytes raw;
    for (int i = 0; i < 48; ++i) raw.push_back(static_cast<std::uint8_t>(i < 12 ? 0x10 + i : 0x80));
    const Bytes data = Encode(raw);  // 12 literal bytes for row 0, then runs
    const Bytes file = Concat(Header(s), data);
    for (std::size_t cut : {std::size_t{0}, std::size_t{5}, std::size_t{12}, std::size_t{13}, data.size() - 1}) {
        PlainBitmap b;
        ASSERT_NO_THROW(Decode(Bytes(file.begin(), file.begin() + static_cast<long>(128 + cut)), b)) << cut;
        ASSERT_EQ(b.Width(), 4);
        // Row 0 is complete once all its 12 bytes are there.
        if (cut >= 12) {
            for (int x = 0; x < 4; ++x) EXPECT_EQ(At(b, x, 0), Rgb(0x10 + x, 0x14 + x, 0x18 + x));
        }
        // The last row is never complete: what was not read is black.
        EXPECT_EQ(At(b, 3, 3), Rgb(0, 0, 0)) << cut;
    }
}

TEST(PcxDecoder, TruncatedSixteenColourPictureShowsColourZeroBeyondTheData) {
    PcxRecipe s;
    s.bits = 1;
    s.planes = 4;
    s.width = 8;
    s.height = 2;
    s.bytesPerLine = 1;
    s.colourMap[0] = {9, 8, 7};
    s.colourMap[15] = {1, 2, 3};
    PlainBitmap b;
    Decode(Concat(Header(s), Bytes{0xC4, 0xFF}), b);  // first row only
    EXPECT_EQ(At(b, 0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(At(b, 0, 1), Rgb(9, 8, 7));
}

TEST(PcxDecoder, TruncatedPictureWithPaletteAfterItEndsTheData) {
    PcxRecipe s;
    s.planes = 1;
    s.width = 4;
    s.height = 2;
    s.bytesPerLine = 4;
    const Bytes complete = Concat(Concat(Header(s), Encode({1, 2, 3, 4, 5, 6, 7, 8})), Palette256());
    for (std::size_t cut : {130u, 136u, 137u, 300u, static_cast<unsigned>(complete.size() - 1)}) {
        const PLTextException e = DecodeError(Bytes(complete.begin(), complete.begin() + static_cast<long>(cut)));
        EXPECT_EQ(e.GetCode(), 11) << cut;
        EXPECT_STREQ(e.GetText(), "End of file reached while decoding.\n");
    }
    // The indices waiting for the palette are not left in the target as colours.
    PlainBitmap b;
    EXPECT_THROW(Decode(Bytes(complete.begin(), complete.begin() + 140), b), PLTextException);
    ASSERT_EQ(b.Width(), 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(b, x, y), (Pixel32{0, 0, 0, 0})) << x << "," << y;
}

}  // namespace
}  // namespace cs

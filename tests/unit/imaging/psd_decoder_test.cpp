// PSD files are built section by section here: header, colour mode data,
// image resources, layer section and the run-length composite.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/auto_decoder.h"
#include "imaging/bitmap.h"
#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"
#include "imaging/psd_decoder.h"

#include "test_support.h"

namespace cs {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::DecodeErrorWith;
using test::ExpectDecoderError;

void Be16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
void Be32(Bytes& b, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
}
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
void Append(Bytes& b, const char* text) { b.insert(b.end(), text, text + std::strlen(text)); }

// PackBits as writers produce it: runs of 3 or more, literals otherwise.
Bytes PackBits(const Bytes& raw) {
    Bytes out;
    std::size_t i = 0;
    while (i < raw.size()) {
        std::size_t run = 1;
        while (i + run < raw.size() && raw[i + run] == raw[i] && run < 128) ++run;
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(257 - run));
            out.push_back(raw[i]);
            i += run;
            continue;
        }
        std::size_t start = i;
        while (i < raw.size() && i - start < 128) {
            if (i + 2 < raw.size() && raw[i] == raw[i + 1] && raw[i] == raw[i + 2]) break;
            ++i;
        }
        out.push_back(static_cast<std::uint8_t>(i - start - 1));
        out.insert(out.end(), raw.begin() + static_cast<long>(start), raw.begin() + static_cast<long>(i));
    }
    return out;
}

struct Resource {
    int id;
    std::string name;
    Bytes data;
};

Bytes ResolutionBlockData(std::uint32_t h, std::uint32_t v) {
    Bytes d;
    Be32(d, h);
    Be16(d, 1);
    Be16(d, 2);
    Be32(d, v);
    Be16(d, 1);
    Be16(d, 2);
    return d;
}

struct PsdRecipe {
    int channels = 3;
    std::uint32_t width = 8;
    std::uint32_t height = 2;
    int mode = 3;
    Bytes colourData;
    std::vector<Resource> resources;
    Bytes layerSection;  // without its length field
    int compression = 1;
    // channel-major rows of raw bytes; packed when width >= 8
    std::vector<Bytes> rows;
    const char* signature = "8BPS";
};

// A channel's rows: value = base + x + 16 * y.
std::vector<Bytes> Gradient(int channels, int width, int height) {
    std::vector<Bytes> rows;
    for (int c = 0; c < channels; ++c)
        for (int y = 0; y < height; ++y) {
            Bytes row;
            for (int x = 0; x < width; ++x) row.push_back(static_cast<std::uint8_t>(40 * c + x + 16 * y));
            rows.push_back(row);
        }
    return rows;
}

Bytes Build(const PsdRecipe& s) {
    Bytes f;
    Append(f, s.signature);
    Be16(f, 1);
    Append(f, Bytes(6, 0));
    Be16(f, s.channels);
    Be32(f, s.height);
    Be32(f, s.width);
    Be16(f, 8);
    Be16(f, s.mode);

    Be32(f, static_cast<std::uint32_t>(s.colourData.size()));
    Append(f, s.colourData);

    Bytes res;
    for (const Resource& r : s.resources) {
        Append(res, "8BIM");
        Be16(res, r.id);
        res.push_back(static_cast<std::uint8_t>(r.name.size()));
        Append(res, r.name.c_str());
        if (r.name.size() % 2 == 0) res.push_back(0);
        Be32(res, static_cast<std::uint32_t>(r.data.size()));
        Append(res, r.data);
        if (r.data.size() % 2 == 1) res.push_back(0);
    }
    Be32(f, static_cast<std::uint32_t>(res.size()));
    Append(f, res);

    Be32(f, static_cast<std::uint32_t>(s.layerSection.size()));
    Append(f, s.layerSection);

    Be16(f, s.compression);
    if (s.width >= 8) {
        std::vector<Bytes> packed;
        for (const Bytes& row : s.rows) packed.push_back(PackBits(row));
        for (const Bytes& p : packed) Be16(f, static_cast<int>(p.size()));
        for (const Bytes& p : packed) Append(f, p);
    } else {
        for (std::size_t i = 0; i < s.rows.size(); ++i) Be16(f, 0x7777);  // not used for narrow pictures
        for (const Bytes& row : s.rows) Append(f, row);
    }
    return f;
}

PsdRecipe Rgb(int channels, int width = 8, int height = 2) {
    PsdRecipe s;
    s.channels = channels;
    s.width = static_cast<std::uint32_t>(width);
    s.height = static_cast<std::uint32_t>(height);
    s.rows = Gradient(channels, width, height);
    return s;
}

void Decode(PsdDecoder& decoder, const Bytes& file, Bitmap& target, int requestedBits = 0) {
    decoder.DecodeFromMemory(file.data(), file.size(), target, requestedBits);
}

void Decode(const Bytes& file, Bitmap& target, int requestedBits = 0) {
    PsdDecoder decoder;
    Decode(decoder, file, target, requestedBits);
}

PLTextException DecodeError(const Bytes& file) { return DecodeErrorWith<PsdDecoder>(file); }

void ExpectError(const Bytes& file, int code, const std::string& message) {
    ExpectDecoderError<PsdDecoder>(file, code, message);
}

void ExpectEndOfData(const Bytes& file) {
    const PLTextException e = DecodeError(file);
    EXPECT_EQ(e.GetCode(), 11);
    EXPECT_STREQ(e.GetText(), "End of file reached while decoding.\n");
}

Pixel32 At(const Bitmap& b, int x, int y) {
    Pixel32 p;
    std::memcpy(&p, b.Row(y) + 4 * x, 4);
    return p;
}

// One layer record with the given channels and extra data.
Bytes LayerRecord(int channels, std::uint32_t extra) {
    Bytes l;
    for (int i = 0; i < 4; ++i) Be32(l, static_cast<std::uint32_t>(i * 10));
    Be16(l, channels);
    for (int c = 0; c < channels; ++c) {
        Be16(l, c == channels - 1 ? 0xFFFF : c);
        Be32(l, 1234);
    }
    Append(l, "8BIMnorm");
    l.push_back(255);
    l.push_back(0);
    l.push_back(1);
    l.push_back(0);
    Be32(l, extra);
    Append(l, Bytes(extra, 0xAB));
    return l;
}

Bytes LayerSection(int count, const Bytes& records, std::size_t channelData) {
    Bytes info;
    Be16(info, count);
    Append(info, records);
    Append(info, Bytes(channelData, 0xCD));
    Bytes section;
    Be32(section, static_cast<std::uint32_t>(info.size()));
    Append(section, info);
    Be32(section, 0);  // global mask info
    return section;
}

// --- valid pictures --------------------------------------------------------

TEST(PsdDecoder, RgbChannelsGoToRedGreenBlueWithoutAlpha) {
    PlainBitmap b;
    Decode(Build(Rgb(3, 9, 3)), b);
    ASSERT_EQ(b.Width(), 9);
    ASSERT_EQ(b.Height(), 3);
    EXPECT_EQ(b.BitsPerPixel(), 32);
    EXPECT_FALSE(b.HasAlpha());
    EXPECT_EQ(b.GetResolution(), (Resolution{0, 0}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) {
            const Pixel32 p = At(b, x, y);
            EXPECT_EQ(p.r, x + 16 * y);
            EXPECT_EQ(p.g, 40 + x + 16 * y);
            EXPECT_EQ(p.b, 80 + x + 16 * y);
        }
}

TEST(PsdDecoder, FourthChannelIsAlphaAndFurtherOnesAreDropped) {
    for (int channels : {4, 5}) {
        PlainBitmap b;
        Decode(Build(Rgb(channels)), b);
        EXPECT_TRUE(b.HasAlpha());
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(At(b, x, 1).a, 120 + x + 16);
            EXPECT_EQ(At(b, x, 1).r, x + 16);
        }
    }
}

TEST(PsdDecoder, GreyscaleAndIndexedGiveEightBitPictures) {
    PsdRecipe grey;
    grey.mode = 1;
    grey.channels = 1;
    grey.rows = Gradient(1, 8, 2);
    PlainBitmap g;
    Decode(Build(grey), g);
    EXPECT_EQ(g.BitsPerPixel(), 8);
    EXPECT_EQ(g.Palette()[200], (Pixel32{200, 200, 200, 255}));
    EXPECT_EQ(g.Row(1)[3], 19);

    PsdRecipe indexed = grey;
    indexed.mode = 2;
    for (int plane = 0; plane < 3; ++plane)
        for (int i = 0; i < 256; ++i) indexed.colourData.push_back(static_cast<std::uint8_t>(plane == 0 ? i : plane == 1 ? 255 - i : 7));
    PlainBitmap p;
    Decode(Build(indexed), p);
    EXPECT_EQ(p.BitsPerPixel(), 8);
    EXPECT_EQ(p.Palette()[19], (Pixel32{7, 236, 19, 255}));
    EXPECT_EQ(p.Row(1)[3], 19);

    // Asked for 32 bits, indexed pixels arrive as their palette colours.
    PlainBitmap wide;
    Decode(Build(indexed), wide, 32);
    EXPECT_EQ(At(wide, 3, 1), (Pixel32{7, 236, 19, 255}));
}

TEST(PsdDecoder, IndexedWithoutColourDataUsesGreysNotTheLastFilesPalette) {
    PsdRecipe s;
    s.mode = 2;
    s.channels = 1;
    s.rows = Gradient(1, 8, 2);
    s.colourData = Bytes(768, 9);
    s.resources = {{1005, "", ResolutionBlockData(300u << 16, 300u << 16)}};
    PsdDecoder decoder;
    PlainBitmap first;
    Decode(decoder, Build(s), first);
    EXPECT_EQ(first.Palette()[5], (Pixel32{9, 9, 9, 255}));
    EXPECT_EQ(first.GetResolution(), (Resolution{300, 300}));

    s.colourData.clear();
    s.resources.clear();
    PlainBitmap second;
    Decode(decoder, Build(s), second);
    EXPECT_EQ(second.Palette()[5], (Pixel32{5, 5, 5, 255}));
    EXPECT_EQ(second.GetResolution(), (Resolution{0, 0}));
}

// Colour mode data of another length (duotone data, say) is stepped over
// whole, so the sections after it are still found.
TEST(PsdDecoder, ColourModeDataIsSkippedByItsLength) {
    PsdRecipe s = Rgb(3);
    s.colourData = Bytes(100, 0x42);
    s.resources = {{1005, "", ResolutionBlockData(72u << 16, 72u << 16)}};
    PlainBitmap b;
    Decode(Build(s), b);
    EXPECT_EQ(b.GetResolution(), (Resolution{72, 72}));
    EXPECT_EQ(At(b, 1, 1).b, 80 + 1 + 16);

    PsdRecipe indexed;
    indexed.mode = 2;
    indexed.channels = 1;
    indexed.rows = Gradient(1, 8, 2);
    for (int i = 0; i < 1000; ++i) indexed.colourData.push_back(static_cast<std::uint8_t>(i < 768 ? i / 3 : 0xEE));
    PlainBitmap p;
    Decode(Build(indexed), p);
    EXPECT_EQ(p.Palette()[3], (Pixel32{171, 86, 1, 255}));  // red 3/3, green 259/3, blue 515/3
}

TEST(PsdDecoder, ResolutionComesFromBlock1005AmongOthers) {
    PsdRecipe s = Rgb(3);
    s.resources = {
        {1000, "odd", Bytes(5, 1)},     // odd name and odd data: both padded
        {1005, "", ResolutionBlockData(72u << 16, (96u << 16) + 0x8000u)},
        {1036, "even", Bytes(10, 2)},
    };
    PlainBitmap b;
    Decode(Build(s), b);
    EXPECT_EQ(b.GetResolution(), (Resolution{72, 96}));
    EXPECT_EQ(At(b, 7, 1).b, 80 + 7 + 16);
}

TEST(PsdDecoder, ShortResolutionBlockIsSkippedWhole) {
    PsdRecipe s = Rgb(3);
    s.resources = {{1005, "", Bytes(6, 0x11)}, {1005, "", ResolutionBlockData(150u << 16, 150u << 16)}};
    PlainBitmap b;
    Decode(Build(s), b);
    EXPECT_EQ(b.GetResolution(), (Resolution{150, 150}));
}

TEST(PsdDecoder, LayersAreSkippedToTheEndOfTheirSection) {
    PsdRecipe s = Rgb(3);
    Bytes records = LayerRecord(4, 20);
    Append(records, LayerRecord(2, 0));
    for (int count : {2, -2}) {
        s.layerSection = LayerSection(count, records, 37);
        PlainBitmap b;
        Decode(Build(s), b);
        EXPECT_EQ(At(b, 2, 1).g, 40 + 2 + 16) << count;
    }
    // An empty layer information block, and a section of global mask data only.
    Bytes empty;
    Be32(empty, 0);
    Append(empty, Bytes(14, 0x55));
    s.layerSection = empty;
    PlainBitmap b;
    Decode(Build(s), b);
    EXPECT_EQ(At(b, 2, 1).g, 40 + 2 + 16);
}

TEST(PsdDecoder, LayerRecordsReachingPastTheirSectionAreNotFollowed) {
    PsdRecipe s = Rgb(3);
    // Claims 50 layers, holds one: the composite must still be found.
    s.layerSection = LayerSection(50, LayerRecord(3, 4), 0);
    PlainBitmap b;
    Decode(Build(s), b);
    EXPECT_EQ(At(b, 5, 0).r, 5);
    // A record whose extra data would run past the section.
    Bytes record = LayerRecord(1, 0);
    record[record.size() - 1] = 0x40;
    s.layerSection = LayerSection(1, record, 8);
    PlainBitmap c;
    Decode(Build(s), c);
    EXPECT_EQ(At(c, 5, 0).r, 5);
}

TEST(PsdDecoder, NarrowPicturesAreReadAsPlainRows) {
    for (int width : {1, 3, 7}) {
        PlainBitmap b;
        Decode(Build(Rgb(3, width, 3)), b);
        ASSERT_EQ(b.Width(), width);
        for (int x = 0; x < width; ++x) EXPECT_EQ(At(b, x, 2).g, 40 + x + 32);
    }
}

// Writers that pack narrow rows too give a count table that matches the data.
TEST(PsdDecoder, NarrowPicturesWithPackedRowsAreUnpacked) {
    for (int width : {1, 5, 7}) {
        PsdRecipe s = Rgb(3, width, 3);
        s.rows[4][0] = s.rows[4][1 % width] = s.rows[4][width - 1];  // some runs among the literals
        Bytes f = Build(s);
        // Build writes narrow rows plain: rebuild the composite packed.
        f.resize(f.size() - static_cast<std::size_t>(9 * width) - 18);
        std::vector<Bytes> packed;
        for (const Bytes& row : s.rows) packed.push_back(PackBits(row));
        for (const Bytes& p : packed) Be16(f, static_cast<int>(p.size()));
        for (const Bytes& p : packed) Append(f, p);
        PlainBitmap b;
        Decode(f, b);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(At(b, x, y).r, s.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
                EXPECT_EQ(At(b, x, y).g, s.rows[static_cast<std::size_t>(3 + y)][static_cast<std::size_t>(x)]);
            }
        // Cut inside the packed rows: still packed, so the data ends early.
        ExpectEndOfData(Bytes(f.begin(), f.end() - 2));
    }
}

TEST(PsdDecoder, PackBitsIsCutAtTheRowAndAtItsOwnData) {
    PsdRecipe s;
    s.mode = 1;
    s.channels = 1;
    s.width = 8;
    s.height = 2;
    Bytes f = Build(s);  // no rows yet: counts and data by hand below
    // Row 0: a run of 100 (cut at 8), a no-op header, then a literal that
    // the row's count cuts short. Row 1: a literal of 6 of which its count
    // holds only 3.
    const Bytes row0{static_cast<std::uint8_t>(257 - 100), 0x21, 0x80, 0x05, 0x01};
    const Bytes row1{0x05, 0x31, 0x32, 0x33};
    Be16(f, static_cast<int>(row0.size()));
    Be16(f, static_cast<int>(row1.size()));
    Append(f, row0);
    Append(f, row1);
    PlainBitmap b;
    Decode(f, b);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(b.Row(0)[x], 0x21) << x;
    const std::uint8_t expected1[8] = {0x31, 0x32, 0x33, 0, 0, 0, 0, 0};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(b.Row(1)[x], expected1[x]) << x;
}

TEST(PsdDecoder, RecognisedByContentThroughTheFrontEnd) {
    const Bytes file = Build(Rgb(3));
    PlainBitmap b;
    AutoDecoder decoder;
    decoder.DecodeFromMemory(file.data(), file.size(), b, 32);
    EXPECT_EQ(At(b, 4, 1).g, 40 + 4 + 16);
}

// --- errors ----------------------------------------------------------------

TEST(PsdDecoder, SignatureErrors) {
    PsdRecipe s = Rgb(3);
    s.signature = "8BPX";
    ExpectError(Build(s), 2, "PSD decoder: This isn't a photoshop file.");

    s = Rgb(3);
    s.resources = {{1005, "", ResolutionBlockData(1, 1)}};
    Bytes f = Build(s);
    const std::size_t block = 26 + 4 + 4;
    ASSERT_EQ(std::memcmp(&f[block], "8BIM", 4), 0);
    f[block + 3] = 'X';
    ExpectError(f, 2, "PSD decoder: Wrong signature in resource data block.");
}

TEST(PsdDecoder, OnlyGreyIndexedAndRgbModes) {
    for (int mode : {0, 4, 7, 8, 9}) {
        PsdRecipe s = Rgb(4);
        s.mode = mode;
        ExpectError(Build(s), 6, "This PSD color mode is not supported.");
    }
}

TEST(PsdDecoder, OnlyRunLengthCompression) {
    const std::string tracePath = ::testing::TempDir() + "psd_trace.txt";
    std::remove(tracePath.c_str());
    DecoderTrace::SetLevel(2);
    DecoderTrace::SetFileName(tracePath);
    for (int compression : {0, 2, 3}) {
        PsdRecipe s = Rgb(3);
        s.compression = compression;
        ExpectError(Build(s), 2, "PSD decoder: Compression type not supported.");
    }
    PsdRecipe s = Rgb(3);
    s.compression = 4;
    ExpectError(Build(s), 2, "PSD decoder: Compression unknown.");
    DecoderTrace::SetFileName("");
    DecoderTrace::SetLevel(0);

    std::ifstream in(tracePath);
    std::stringstream text;
    text << in.rdbuf();
    const std::string t = text.str();
    const std::size_t none = t.find("No compression\n");
    ASSERT_NE(none, std::string::npos) << t;
    EXPECT_LT(none, t.find("Decoder error: PSD decoder: Compression type not supported.\n"));
    EXPECT_NE(t.find("ZIP compression, no prediction\n"), std::string::npos);
    EXPECT_NE(t.find("ZIP compression, prediction\n"), std::string::npos);
    EXPECT_NE(t.find("Number of layers: 0\n"), std::string::npos);
    std::remove(tracePath.c_str());
}

TEST(PsdDecoder, DimensionsAndChannelsAreCheckedBeforeAllocating) {
    PsdRecipe s = Rgb(3);
    s.width = 0;
    ExpectError(Build(s), 2, "Invalid image dimensions.");
    s = Rgb(3);
    s.height = 0x80000000u;  // negative as a signed field
    ExpectError(Build(s), 10, "Out of memory creating bitmap.");
    s = Rgb(3);
    s.width = 40000;
    s.height = 40000;
    ExpectError(Build(s), 10, "Out of memory creating bitmap.");
    s = Rgb(3);
    s.channels = 0;
    s.rows.clear();
    ExpectError(Build(s), 2, "PSD decoder: Image has no channels.");
}

TEST(PsdDecoder, HugePictureFromATinyFileEndsTheDataBeforeAllocating) {
    // 16384 x 16384 fits the limit but its row counts alone need 96 KiB.
    PsdRecipe s = Rgb(3);
    s.width = 16384;
    s.height = 16384;
    ExpectEndOfData(Build(s));
}

// --- truncated files -------------------------------------------------------

TEST(PsdDecoder, TruncationAnywhereEndsTheData) {
    PsdRecipe s = Rgb(4, 12, 3);
    s.colourData = Bytes(768, 1);
    s.resources = {{1005, "res", ResolutionBlockData(72u << 16, 72u << 16)}};
    s.layerSection = LayerSection(1, LayerRecord(2, 6), 10);
    const Bytes f = Build(s);
    PlainBitmap whole;
    ASSERT_NO_THROW(Decode(f, whole));
    // Header, colour data, resources, layers, compression, counts, rows.
    for (std::size_t cut : {10ul, 26ul, 28ul, 500ul, 800ul, 820ul, f.size() - 200, f.size() - 60, f.size() - 1}) {
        ASSERT_LT(cut, f.size());
        ExpectEndOfData(Bytes(f.begin(), f.begin() + static_cast<long>(cut)));
    }
}

}  // namespace
}  // namespace cs

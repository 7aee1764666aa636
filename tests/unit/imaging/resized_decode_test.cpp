// Decoding straight to a resized picture must give the bytes of decoding the
// whole picture and resizing it afterwards: for JPEG, whose rows are
// resampled band by band as they are decoded, and for the formats that are
// decoded whole first.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/auto_decoder.h"
#include "imaging/bilinear_resize.h"
#include "imaging/jpeg_decoder.h"
#include "test_support.h"

#include <jpeglib.h>

namespace cs {
namespace {

using test::Bytes;

// The outcome of one decode, comparable across the two ways of making it.
struct Outcome {
    bool ok = false;
    int code = 0;
    std::string text;
    std::uint64_t hash = 0;
    Resolution resolution;
};

void ExpectSame(const Outcome& a, const Outcome& b, const std::string& what) {
    EXPECT_EQ(a.ok, b.ok) << what;
    EXPECT_EQ(a.code, b.code) << what;
    EXPECT_EQ(a.text, b.text) << what;
    EXPECT_EQ(a.hash, b.hash) << what;
    EXPECT_EQ(a.resolution, b.resolution) << what;
}

template <typename Make>
Outcome Run(Make make) {
    Outcome o;
    PlainBitmap bitmap;
    try {
        make(bitmap);
        o.ok = true;
        o.hash = test::HashBitmap(bitmap);
        o.resolution = bitmap.GetResolution();
    } catch (const PLTextException& e) {
        o.code = e.GetCode();
        o.text = e.GetText();
    }
    return o;
}

// The plain way: the whole picture at 32 bits, then BilinearResize when the
// chosen size differs.
Outcome DecodeThenResize(const Bytes& file, const SizeChooser& choose) {
    return Run([&](PlainBitmap& out) {
        AutoDecoder().DecodeFromMemory(file.data(), file.size(), out, 32);
        const PictureSize size = choose(out.Width(), out.Height());
        if (size != PictureSize{out.Width(), out.Height()}) out.ApplyFilter(BilinearResize(size.width, size.height));
    });
}

Outcome DecodeResized(const Bytes& file, const SizeChooser& choose, DecodeScale scale = DecodeScale::kFull) {
    return Run([&](PlainBitmap& out) {
        AutoDecoder().DecodeResizedFromMemory(file.data(), file.size(), out, choose, nullptr, scale);
    });
}

Bytes NoisyJpeg(int width, int height, int components, bool progressive = false) {
    test::JpegRecipe s;
    s.width = width;
    s.height = height;
    s.components = components;
    s.progressive = progressive;
    s.xDensity = 240;
    s.yDensity = 120;
    std::mt19937 rng(static_cast<unsigned>(width * 131 + height * 7 + components));
    for (int i = 0; i < width * height * components; ++i)
        s.pixels.push_back(static_cast<std::uint8_t>((i * 5 + static_cast<int>(rng() % 40)) & 0xFF));
    return test::MakeJpeg(s);
}

Bytes RgbaPng(int width, int height) {
    test::PngRecipe s;
    s.width = width;
    s.height = height;
    s.colourType = 6;
    for (int i = 0; i < width * height * 4; ++i) s.samples.push_back(static_cast<std::uint8_t>(i * 37));
    return test::MakePng(s);
}

// A palette or grey PNG (8 bits per pixel in the bitmap), noisy, with a
// resolution, optionally interlaced.
Bytes IndexedPng(int width, int height, int colourType, int bitDepth, bool interlaced = false) {
    test::PngRecipe s;
    s.width = width;
    s.height = height;
    s.colourType = colourType;
    s.bitDepth = bitDepth;
    s.interlaced = interlaced;
    s.pixelsPerMetre = 3780;
    for (int i = 0; i < 5 && colourType == 3; ++i) {
        s.paletteRgb.push_back(static_cast<std::uint8_t>(i * 50));
        s.paletteRgb.push_back(7);
        s.paletteRgb.push_back(200);
    }
    const int perByte = 8 / bitDepth;
    std::mt19937 rng(static_cast<unsigned>(width + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; x += perByte) {
            std::uint8_t packed = 0;
            for (int k = 0; k < perByte; ++k) packed = static_cast<std::uint8_t>(packed << bitDepth | rng() % 5);
            s.samples.push_back(packed);
        }
    return test::MakePng(s);
}

struct Picture {
    const char* name;
    Bytes file;
};

Bytes GreyBmp() {
    test::BmpRecipe s;
    s.width = 5;
    s.height = 3;
    s.bits = 8;
    s.data = Bytes(24, 9);
    return test::MakeBmp(s);
}

std::vector<Picture> Pictures() {
    // Heights that end mid-band and span several bands of 16 rows.
    return {{"jpeg rgb", NoisyJpeg(37, 45, 3)},          {"jpeg grey", NoisyJpeg(20, 33, 1)},
            {"jpeg cmyk", NoisyJpeg(19, 17, 4)},         {"jpeg progressive", NoisyJpeg(30, 16, 3, true)},
            {"jpeg one pixel", NoisyJpeg(1, 1, 3)},      {"png with alpha", RgbaPng(23, 19)},
            {"png palette", IndexedPng(24, 35, 3, 4)},   {"png grey", IndexedPng(17, 20, 0, 8)},
            {"png interlaced", IndexedPng(16, 18, 3, 8, true)}, {"bmp grey", GreyBmp()}};
}

TEST(DecodeResized, GivesTheBytesOfDecodingWholeThenResizing) {
    const std::vector<std::pair<const char*, SizeChooser>> choices = {
        {"same size", [](std::int32_t w, std::int32_t h) { return PictureSize{w, h}; }},
        {"one pixel", [](std::int32_t, std::int32_t) { return PictureSize{1, 1}; }},
        {"halved", [](std::int32_t w, std::int32_t h) { return PictureSize{(w + 1) / 2, (h + 1) / 2}; }},
        {"enlarged", [](std::int32_t w, std::int32_t h) { return PictureSize{w * 3, h * 2 + 1}; }},
        {"one row", [](std::int32_t w, std::int32_t) { return PictureSize{w + 5, 1}; }},
    };
    for (const Picture& picture : Pictures()) {
        for (const auto& [choice, choose] : choices) {
            const std::string what = std::string(picture.name) + ", " + choice;
            const Outcome plain = DecodeThenResize(picture.file, choose);
            ASSERT_TRUE(plain.ok) << what << ": " << plain.text;
            ExpectSame(DecodeResized(picture.file, choose), plain, what);
        }
    }
}

TEST(DecodeResized, CutAndDamagedFilesEndAsTheWholeDecodeDoes) {
    const SizeChooser halve = [](std::int32_t w, std::int32_t h) { return PictureSize{(w + 1) / 2, (h + 1) / 2}; };
    for (const Bytes& file :
         {NoisyJpeg(40, 40, 3), NoisyJpeg(40, 40, 3, true), NoisyJpeg(33, 20, 1), IndexedPng(40, 40, 3, 8)}) {
        for (std::size_t keep : {std::size_t{2}, std::size_t{100}, file.size() / 2, file.size() - 3}) {
            const Bytes cut = test::Truncated(file, keep);
            ExpectSame(DecodeResized(cut, halve), DecodeThenResize(cut, halve), "cut to " + std::to_string(keep));
        }
        Bytes damaged = file;
        for (std::size_t i = file.size() / 3; i < file.size() / 3 + 12; ++i) damaged[i] = 0xFF;
        ExpectSame(DecodeResized(damaged, halve), DecodeThenResize(damaged, halve), "damaged");
    }
}

TEST(DecodeResized, TheChooserSeesTheDecodedSizeOnceAndMayRefuse) {
    const Bytes file = NoisyJpeg(37, 45, 3);
    std::vector<PictureSize> seen;
    PlainBitmap out;
    AutoDecoder decoder;
    decoder.DecodeResizedFromMemory(file.data(), file.size(), out, [&](std::int32_t w, std::int32_t h) {
        seen.push_back({w, h});
        return PictureSize{8, 8};
    });
    EXPECT_EQ(seen, (std::vector<PictureSize>{{37, 45}}));
    EXPECT_EQ(out.Width(), 8);

    // A refusal stops the decode with the chooser's own exception, and the
    // same decoder goes on to decode the next picture correctly.
    struct Refused {};
    EXPECT_THROW(decoder.DecodeResizedFromMemory(file.data(), file.size(), out,
                                                 [](std::int32_t, std::int32_t) -> PictureSize { throw Refused{}; }),
                 Refused);
    const SizeChooser same = [](std::int32_t w, std::int32_t h) { return PictureSize{w, h}; };
    PlainBitmap again;
    decoder.DecodeResizedFromMemory(file.data(), file.size(), again, same);
    EXPECT_EQ(test::HashBitmap(again), DecodeThenResize(file, same).hash);

    // A chosen size the resampling cannot make is refused as BilinearResize
    // refuses it.
    for (auto [size, code] : {std::pair{PictureSize{0, 5}, 2}, {PictureSize{7000000, 45}, 10}}) {
        try {
            decoder.DecodeResizedFromMemory(file.data(), file.size(), out,
                                            [&](std::int32_t, std::int32_t) { return size; });
            ADD_FAILURE() << "no refusal";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.GetCode(), code);
        }
    }
}

TEST(DecodeResized, ReductionIsTheLargestThatKeepsThePictureAtLeastTheFittedSize) {
    EXPECT_EQ(DecodeReductionFor({1024, 1024}, {512, 512}), 2);  // exactly twice
    EXPECT_EQ(DecodeReductionFor({1023, 1024}, {512, 512}), 1);  // one pixel less
    EXPECT_EQ(DecodeReductionFor({4096, 2730}, {512, 341}), 8);
    EXPECT_EQ(DecodeReductionFor({4095, 2730}, {512, 341}), 4);
    EXPECT_EQ(DecodeReductionFor({600, 4000}, {76, 512}), 4);    // tall: the height decides
    EXPECT_EQ(DecodeReductionFor({60000, 40000}, {512, 341}), 8);
    EXPECT_EQ(DecodeReductionFor({300, 200}, {512, 341}), 1);    // smaller: never below 1:1
}

TEST(DecodeResized, ReducedJpegIsDecodedSmallerAndResampledToTheChosenSize) {
    // The receiver sees the reduced size, rounded up, and the chooser the
    // whole one.
    const Bytes file = NoisyJpeg(130, 67, 3);
    std::vector<PictureSize> chosen;
    struct Recording : ResizingReceiver {
        using ResizingReceiver::ResizingReceiver;
        void Begin(std::int32_t w, std::int32_t h, bool alpha, Resolution r) override {
            begun = {w, h};
            ResizingReceiver::Begin(w, h, alpha, r);
        }
        PictureSize begun;
    };
    PlainBitmap out;
    Recording receiver(out, [&](std::int32_t w, std::int32_t h) {
        chosen.push_back({w, h});
        return PictureSize{30, 15};
    }, ResizePath::kFast, DecodeScale::kReduced);
    MemorySource source;
    ASSERT_EQ(source.Open(file.data(), file.size()), 0);
    ASSERT_TRUE(JpegDecoder().DecodeRows(source, receiver));
    receiver.Finish();
    EXPECT_EQ(chosen, (std::vector<PictureSize>{{130, 67}}));
    EXPECT_EQ(receiver.begun, (PictureSize{33, 17}));  // a quarter
    EXPECT_EQ(out.Width(), 30);
    EXPECT_EQ(out.Height(), 15);

    // Cut half-way, the reduced decode ends as the whole one does; other
    // formats are never reduced.
    const SizeChooser quarter = [](std::int32_t w, std::int32_t h) { return PictureSize{w / 4, h / 4}; };
    const Bytes cut = test::Truncated(file, file.size() / 2);
    const Outcome reduced = DecodeResized(cut, quarter, DecodeScale::kReduced);
    ASSERT_TRUE(reduced.ok) << reduced.text;
    const Bytes png = IndexedPng(64, 64, 3, 8);
    ExpectSame(DecodeResized(png, quarter, DecodeScale::kReduced), DecodeThenResize(png, quarter), "png");
}

// A receiver that keeps every row it is handed, with the band sizes.
class KeepingReceiver : public RowReceiver {
public:
    int ReductionFor(std::int32_t, std::int32_t) override { return reduction; }
    void Begin(std::int32_t width, std::int32_t height, bool hasAlpha, Resolution resolution) override {
        size = {width, height};
        alpha = hasAlpha;
        this->resolution = resolution;
    }
    void TakeRows(const std::uint8_t* const* rows, int count) override {
        bands.push_back(count);
        for (int i = 0; i < count; ++i) pixels.emplace_back(rows[i], rows[i] + size.width * 4);
    }
    PictureSize size;
    bool alpha = true;
    Resolution resolution;
    std::vector<int> bands;
    std::vector<std::vector<std::uint8_t>> pixels;
    int reduction = 1;
};

TEST(JpegDecoder, RowsHandedOverMatchTheWholeDecodeBandByBand) {
    for (int components : {1, 3, 4}) {
        const Bytes file = NoisyJpeg(21, 40, components);
        KeepingReceiver receiver;
        MemorySource source;
        ASSERT_EQ(source.Open(file.data(), file.size()), 0);
        ASSERT_TRUE(JpegDecoder().DecodeRows(source, receiver));
        EXPECT_EQ(receiver.size, (PictureSize{21, 40}));
        EXPECT_FALSE(receiver.alpha);
        EXPECT_EQ(receiver.resolution, (Resolution{240, 120}));
        EXPECT_EQ(receiver.bands, (std::vector<int>{16, 16, 8}));

        auto whole = test::DecodeBytes(file, 32);
        ASSERT_TRUE(whole->ok);
        ASSERT_EQ(receiver.pixels.size(), 40u);
        for (int y = 0; y < 40; ++y)
            ASSERT_EQ(std::memcmp(receiver.pixels[static_cast<std::size_t>(y)].data(), whole->bitmap.Row(y), 21 * 4), 0)
                << components << " components, row " << y;
    }
}

// The library's own decode at 1/8, as the decoder sets it up, rows of B G R A.
std::vector<std::vector<std::uint8_t>> LibraryEighth(const Bytes& file) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    error.output_message = [](j_common_ptr) {};
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_FLOAT;
    info.do_fancy_upsampling = FALSE;
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    std::vector<std::vector<std::uint8_t>> rows(info.output_height, std::vector<std::uint8_t>(info.output_width * 4));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rows[info.output_scanline].data();
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return rows;
}

// The largest difference of any sample between two pictures, over the
// first one's size.
int LargestDifference(const std::vector<std::vector<std::uint8_t>>& a, const std::vector<std::vector<std::uint8_t>>& b) {
    int largest = 0;
    for (std::size_t y = 0; y < a.size(); ++y)
        for (std::size_t i = 0; i < a[y].size(); ++i) largest = std::max(largest, std::abs(a[y][i] - b[y][i]));
    return largest;
}

// Rows of B G R A at half the size, each pixel the rounded mean of four; an
// odd last row or column is left out.
std::vector<std::vector<std::uint8_t>> Halved(const std::vector<std::vector<std::uint8_t>>& rows) {
    const std::size_t width = rows.empty() ? 0 : rows[0].size() / 4 / 2;
    std::vector<std::vector<std::uint8_t>> out(rows.size() / 2, std::vector<std::uint8_t>(width * 4));
    for (std::size_t y = 0; y < out.size(); ++y)
        for (std::size_t i = 0; i < width * 4; ++i) {
            const std::size_t left = (i / 4) * 8 + i % 4;
            const int sum = rows[2 * y][left] + rows[2 * y][left + 4] + rows[2 * y + 1][left] + rows[2 * y + 1][left + 4];
            out[y][i] = static_cast<std::uint8_t>((sum + 2) / 4);
        }
    return out;
}

// Where 1/8 will do, a JPEG comes at 1/4 from its blocks' quarters: two
// by two of them average to the library's own 1/8, but for rounding and
// for the 2x2 chroma, which the library takes two samples a block of and
// the quarters one.
TEST(JpegDecoder, AnEighthComesAsAQuarterWhoseBlocksAverageToTheLibrarysEighth) {
    struct Case {
        const char* name;
        int width, height, components, lumaH, lumaV, restart;
        int tolerance;
    };
    // Sizes that end inside an MCU.
    for (const Case& c : {Case{"4:4:4", 83, 41, 3, 1, 1, 0, 2}, Case{"4:2:2", 150, 97, 3, 2, 1, 0, 2},
                          Case{"4:2:2 with restarts", 150, 97, 3, 2, 1, 3, 2}, Case{"grey", 71, 66, 1, 0, 0, 5, 2},
                          Case{"grey at 2x2", 71, 66, 1, 2, 2, 0, 2}, Case{"1x2", 64, 90, 3, 1, 2, 1, 2},
                          Case{"4:2:0", 200, 120, 3, 2, 2, 7, 40}}) {
        test::JpegRecipe s;
        s.width = c.width;
        s.height = c.height;
        s.components = c.components;
        s.lumaH = c.lumaH;
        s.lumaV = c.lumaV;
        s.restartInterval = c.restart;
        std::mt19937 rng(7);
        for (int i = 0; i < c.width * c.height * c.components; ++i)
            s.pixels.push_back(static_cast<std::uint8_t>((i / 3 % c.width) * 2 + static_cast<int>(rng() % 60)));
        const Bytes file = test::MakeJpeg(s);
        KeepingReceiver receiver;
        receiver.reduction = 8;
        MemorySource source;
        ASSERT_EQ(source.Open(file.data(), file.size()), 0);
        ASSERT_TRUE(JpegDecoder().DecodeRows(source, receiver)) << c.name;
        const auto library = LibraryEighth(file);
        ASSERT_EQ(receiver.size, (PictureSize{(c.width + 3) / 4, (c.height + 3) / 4})) << c.name;
        EXPECT_LE(LargestDifference(Halved(receiver.pixels), library), c.tolerance) << c.name;

        // Cut inside the scan, and with bytes of the scan spoilt: as the
        // library makes it, grey from the cut on; and never a read or write
        // out of bounds.
        const Bytes cut = test::Truncated(file, file.size() * 2 / 3);
        KeepingReceiver cutReceiver;
        cutReceiver.reduction = 8;
        ASSERT_EQ(source.Open(cut.data(), cut.size()), 0);
        ASSERT_TRUE(JpegDecoder().DecodeRows(source, cutReceiver)) << c.name;
        EXPECT_LE(LargestDifference(Halved(cutReceiver.pixels), LibraryEighth(cut)), c.tolerance) << c.name << " cut";
        // A scan naming Huffman table 15 (the header allows up to 15, the
        // library 3) is the library's to refuse.
        Bytes badTable = file;
        for (std::size_t i = 0; i + 6 < badTable.size(); ++i)
            if (badTable[i] == 0xFF && badTable[i + 1] == 0xDA) {
                badTable[i + 6] = 0xFF;
                break;
            }
        ASSERT_EQ(source.Open(badTable.data(), badTable.size()), 0);
        EXPECT_THROW(JpegDecoder().DecodeRows(source, cutReceiver), PLTextException) << c.name;
        for (unsigned seed = 0; seed < 20; ++seed) {
            Bytes spoilt = file;
            std::mt19937 spoil(seed);
            for (int k = 0; k < 8; ++k) spoilt[file.size() / 2 + spoil() % (file.size() / 2 - 2)] = static_cast<std::uint8_t>(spoil());
            KeepingReceiver spoiltReceiver;
            spoiltReceiver.reduction = 8;
            ASSERT_EQ(source.Open(spoilt.data(), spoilt.size()), 0);
            try {
                JpegDecoder().DecodeRows(source, spoiltReceiver);
            } catch (const PLTextException&) {
            }
        }
    }
}

TEST(JpegDecoder, QuartersOfABlockLieWhereTheyAre) {
    // Each 8x8 block darkest at the top left, then top right, bottom left,
    // bottom right (40, 90, 140, 190): the quarters keep the order and come
    // near those, though the block's higher frequencies are left out.
    test::JpegRecipe s;
    s.width = 32;
    s.height = 16;
    s.components = 1;
    s.quality = 100;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            s.pixels.push_back(static_cast<std::uint8_t>(40 + (x % 8 >= 4 ? 50 : 0) + (y % 8 >= 4 ? 100 : 0)));
    const Bytes file = test::MakeJpeg(s);
    KeepingReceiver receiver;
    receiver.reduction = 8;
    MemorySource source;
    ASSERT_EQ(source.Open(file.data(), file.size()), 0);
    ASSERT_TRUE(JpegDecoder().DecodeRows(source, receiver));
    ASSERT_EQ(receiver.size, (PictureSize{8, 4}));
    for (std::size_t y = 0; y < 4; y += 2)
        for (std::size_t x = 0; x < 8; x += 2) {
            const auto at = [&](std::size_t dx, std::size_t dy) { return receiver.pixels[y + dy][(x + dx) * 4]; };
            EXPECT_LT(at(0, 0), at(1, 0));
            EXPECT_LT(at(1, 0), at(0, 1));
            EXPECT_LT(at(0, 1), at(1, 1));
            EXPECT_NEAR(at(0, 0), 40, 20);
            EXPECT_NEAR(at(1, 1), 190, 20);
        }
}

}  // namespace
}  // namespace cs

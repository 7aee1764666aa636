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

Outcome DecodeResized(const Bytes& file, const SizeChooser& choose) {
    return Run([&](PlainBitmap& out) { AutoDecoder().DecodeResizedFromMemory(file.data(), file.size(), out, choose); });
}

Bytes NoisyJpeg(int width, int height, int components, bool progressive = false) {
    test::JpegSpec s;
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
    test::PngSpec s;
    s.width = width;
    s.height = height;
    s.colourType = 6;
    for (int i = 0; i < width * height * 4; ++i) s.samples.push_back(static_cast<std::uint8_t>(i * 37));
    return test::MakePng(s);
}

struct Picture {
    const char* name;
    Bytes file;
};

Bytes GreyBmp() {
    test::BmpSpec s;
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
            {"bmp grey", GreyBmp()}};
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

TEST(DecodeResized, CutAndDamagedJpegsEndAsTheWholeDecodeDoes) {
    const SizeChooser halve = [](std::int32_t w, std::int32_t h) { return PictureSize{(w + 1) / 2, (h + 1) / 2}; };
    for (const Bytes& file : {NoisyJpeg(40, 40, 3), NoisyJpeg(40, 40, 3, true), NoisyJpeg(33, 20, 1)}) {
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

// A receiver that keeps every row it is handed, with the band sizes.
class KeepingReceiver : public RowReceiver {
public:
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

}  // namespace
}  // namespace cs

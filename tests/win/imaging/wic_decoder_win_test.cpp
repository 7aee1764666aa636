// Pictures through the system's codecs, with the codecs Wine brings.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "imaging/auto_decoder.h"
#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"
#include "imaging/win32/wic_codecs.h"
#include "support/win_test_helpers.h"
#include "test_support.h"

namespace cs {
namespace {

using test::Bytes;
using test::ByteWriter;
using test::PixelAt;

struct Rgb {
    std::uint8_t r, g, b;
};

// An uncompressed RGB TIFF, one strip; orientation 0 leaves the tag out.
Bytes Tiff(std::uint32_t width, std::uint32_t height, const std::vector<Rgb>& pixels, int orientation = 0) {
    const std::uint16_t entries = orientation ? 10 : 9;
    const std::uint32_t ifd = 8, bits_at = ifd + 2 + entries * 12 + 4, data_at = bits_at + 6;
    ByteWriter w;
    w.U8('I').U8('I').U16(42).U32(ifd).U16(entries);
    auto entry = [&](unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
        w.U16(tag).U16(type).U32(count).U32(value);
    };
    entry(256, 4, 1, width);
    entry(257, 4, 1, height);
    entry(258, 3, 3, bits_at);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 2);
    entry(273, 4, 1, data_at);
    if (orientation) entry(274, 3, 1, orientation);
    entry(277, 3, 1, 3);
    entry(278, 4, 1, height);
    entry(279, 4, 1, width * height * 3);
    w.U32(0).U16(8).U16(8).U16(8);
    for (const Rgb& p : pixels) w.U8(p.r).U8(p.g).U8(p.b);
    return w.Take();
}

// A GIF of two colours whose codes never grow past three bits: a clear code
// before every second pixel.
Bytes Gif(std::uint16_t width, std::uint16_t height, Rgb first, Rgb second, const std::vector<int>& indices) {
    ByteWriter w;
    w.Text("GIF89a").U16(width).U16(height).U8(0x80).U8(0).U8(0);
    w.U8(first.r).U8(first.g).U8(first.b).U8(second.r).U8(second.g).U8(second.b);
    w.U8(0x2C).U16(0).U16(0).U16(width).U16(height).U8(0).U8(2);
    Bytes codes;
    std::uint32_t bits = 0;
    int used = 0;
    auto put = [&](unsigned code) {
        bits |= code << used;
        used += 3;
        while (used >= 8) {
            codes.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            used -= 8;
        }
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0) put(4);
        put(static_cast<unsigned>(indices[i]));
    }
    put(5);
    if (used > 0) codes.push_back(static_cast<std::uint8_t>(bits));
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
        w.U8(static_cast<unsigned>(n));
        w.Append(Bytes(codes.begin() + at, codes.begin() + at + n));
    }
    w.U8(0).U8(0x3B);
    return w.Take();
}

// A 32-bit icon of one colour.
Bytes Icon(int size, Rgb colour) {
    const std::uint32_t mask_row = ((size + 31) / 32) * 4;
    const std::uint32_t image = 40 + size * size * 4 + mask_row * size;
    ByteWriter w;
    w.U16(0).U16(1).U16(1).U8(size).U8(size).U8(0).U8(0).U16(1).U16(32).U32(image).U32(22);
    w.U32(40).U32(size).U32(size * 2).U16(1).U16(32).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    for (int i = 0; i < size * size; ++i) w.U8(colour.b).U8(colour.g).U8(colour.r).U8(255);
    w.Fill(mask_row * size, 0);
    return w.Take();
}

// A DXT1 texture of one 4 x 4 block of pure red.
Bytes RedDds() {
    ByteWriter w;
    w.Text("DDS ").U32(124).U32(0x1 | 0x2 | 0x4 | 0x1000 | 0x80000).U32(4).U32(4).U32(8).U32(0).U32(1);
    w.Fill(44, 0);
    w.U32(32).U32(0x4).Text("DXT1").U32(0).U32(0).U32(0).U32(0).U32(0);
    w.U32(0x1000).U32(0).U32(0).U32(0).U32(0);
    w.U16(0xF800).U16(0xF800).U32(0);
    return w.Take();
}

struct Outcome {
    int code = 0;
    PlainBitmap bitmap;
};

std::unique_ptr<Outcome> Decode(const Bytes& bytes, const SizeChooser& choose = nullptr) {
    static const std::unique_ptr<SystemCodecs> codecs = MakeWicCodecs();
    auto outcome = std::make_unique<Outcome>();
    try {
        AutoDecoder decoder(codecs.get());
        decoder.DecodeUprightFromMemory(bytes.data(), bytes.size(), outcome->bitmap,
                                        choose ? choose : [](std::int32_t w, std::int32_t h) {
                                            return PictureSize{w, h};
                                        });
    } catch (const PLTextException& e) {
        outcome->code = e.GetCode();
    }
    return outcome;
}

bool Near(Pixel32 p, Rgb c) {
    return std::abs(p.r - c.r) < 8 && std::abs(p.g - c.g) < 8 && std::abs(p.b - c.b) < 8;
}

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

TEST(WicCodecs, ListTheFormatsOfTheInstalledDecoders) {
    const auto codecs = MakeWicCodecs();
    auto reads = [&](const std::string& extension) {
        for (const auto& format : codecs->Formats())
            for (const auto& e : format.extensions)
                if (e == extension) return true;
        return false;
    };
    for (const char* extension : {"gif", "tif", "tiff", "ico", "dds", "jxr", "png", "jpg", "bmp"})
        EXPECT_TRUE(reads(extension)) << extension;
    EXPECT_FALSE(reads("heic"));
    for (const auto& format : codecs->Formats()) EXPECT_EQ(format.name.find(" Decoder"), std::string::npos);
}

TEST(WicDecoder, ReadsSystemFormatsThroughTheFrontEnd) {
    const auto gif = Decode(Gif(3, 2, kRed, kBlue, {0, 1, 0, 1, 1, 0}));
    ASSERT_EQ(gif->code, 0);
    EXPECT_EQ(gif->bitmap.Width(), 3);
    EXPECT_EQ(gif->bitmap.Height(), 2);
    EXPECT_TRUE(Near(PixelAt(gif->bitmap, 0, 0), kRed));
    EXPECT_TRUE(Near(PixelAt(gif->bitmap, 1, 0), kBlue));
    EXPECT_TRUE(Near(PixelAt(gif->bitmap, 2, 1), kRed));

    const auto tiff = Decode(Tiff(2, 2, {kRed, kGreen, kBlue, kRed}));
    ASSERT_EQ(tiff->code, 0);
    EXPECT_TRUE(Near(PixelAt(tiff->bitmap, 1, 0), kGreen));
    EXPECT_TRUE(Near(PixelAt(tiff->bitmap, 0, 1), kBlue));

    const auto icon = Decode(Icon(16, kGreen));
    ASSERT_EQ(icon->code, 0);
    EXPECT_EQ(icon->bitmap.Width(), 16);
    EXPECT_TRUE(Near(PixelAt(icon->bitmap, 8, 8), kGreen));

    const auto dds = Decode(RedDds());
    ASSERT_EQ(dds->code, 0);
    EXPECT_EQ(dds->bitmap.Width(), 4);
    EXPECT_TRUE(Near(PixelAt(dds->bitmap, 3, 3), kRed));
}

TEST(WicDecoder, DecodesNoBiggerThanNeededAndTurnsUpright) {
    // 64 x 48 into 8 x 6: reduced by the system's scaler, then resampled.
    const auto small = Decode(Tiff(64, 48, std::vector<Rgb>(64 * 48, kBlue)),
                                 [](std::int32_t, std::int32_t) { return PictureSize{8, 6}; });
    ASSERT_EQ(small->code, 0);
    EXPECT_EQ(small->bitmap.Width(), 8);
    EXPECT_TRUE(Near(PixelAt(small->bitmap, 4, 3), kBlue));

    // Stored on its side (orientation 6: turn a quarter clockwise): the
    // stored top-left red pixel ends top right, and the chooser sees the
    // upright size.
    std::vector<Rgb> pixels(4 * 2, kBlue);
    pixels[0] = kRed;
    PictureSize seen;
    const auto turned = Decode(Tiff(4, 2, pixels, 6), [&](std::int32_t w, std::int32_t h) {
        seen = {w, h};
        return PictureSize{w, h};
    });
    ASSERT_EQ(turned->code, 0);
    EXPECT_EQ(seen, (PictureSize{2, 4}));
    ASSERT_EQ(turned->bitmap.Width(), 2);
    EXPECT_TRUE(Near(PixelAt(turned->bitmap, 1, 0), kRed));
    EXPECT_TRUE(Near(PixelAt(turned->bitmap, 0, 0), kBlue));
}

TEST(WicDecoder, BadPicturesFailWithTheFrontEndsCodes) {
    Bytes random(4096);
    std::uint32_t x = 12345;
    for (auto& b : random) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 24);
    random[0] = 0x17;  // no format's signature
    EXPECT_EQ(Decode(random)->code, plerr::kUnknownFileType);  // a .heic without its codec

    const Bytes gif = Gif(8, 8, kRed, kBlue, std::vector<int>(64, 1));
    EXPECT_NE(Decode(test::Truncated(gif, 30))->code, 0);  // cut before the picture
    Bytes scrambled = gif;
    for (std::size_t i = 30; i < scrambled.size(); ++i) scrambled[i] = 0xFF;
    EXPECT_NE(Decode(scrambled)->code, 0);

    const int empty = Decode(Gif(0, 0, kRed, kBlue, {}))->code;
    EXPECT_TRUE(empty == plerr::kMalformed || empty == plerr::kNotSupported) << empty;

    // A header claiming 100,000 x 100,000 pixels is refused before anything
    // is allocated for it, as the own decoders refuse it.
    EXPECT_EQ(Decode(Tiff(100000, 100000, {kRed}))->code, plerr::kOutOfMemory);
    EXPECT_EQ(Decode(Gif(65535, 65535, kRed, kBlue, {0, 1}))->code, plerr::kOutOfMemory);
    for (const Bytes& whole : {Tiff(2, 2, {kRed, kGreen, kBlue, kRed}), Icon(16, kGreen), RedDds()})
        for (const std::size_t size : {whole.size() / 2, std::size_t{12}})
            EXPECT_NE(Decode(test::Truncated(whole, size))->code, 0) << whole.size() << " cut to " << size;
}

TEST(WicDecoder, OwnFormatsKeepTheirOwnDecoders) {
    // A JPEG cut after its start still reports the own decoder's error.
    const std::string trace = test::TempRoot() + "wic-trace-" + std::to_string(GetCurrentProcessId()) + ".txt";
    DecoderTrace::SetFileName(trace);
    DecoderTrace::SetLevel(2);
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
    const int code = Decode(jpeg)->code;
    EXPECT_EQ(Decode(Gif(1, 1, kRed, kBlue, {0}))->code, 0);
    DecoderTrace::SetFileName("");
    DecoderTrace::SetLevel(0);
    std::ifstream in(trace);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(trace.c_str());
    EXPECT_NE(code, 0);
    EXPECT_NE(text.find("JPEG file recognized.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("System codec recognized.\n"), std::string::npos) << text;
}

TEST(WicDecoder, AThreadLeavesCOMAsItFoundIt) {
    std::thread([] {
        EXPECT_EQ(Decode(Icon(16, kBlue))->code, 0);
        // Released when the decode ended: the thread can start COM afresh.
        const HRESULT fresh = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(fresh, S_OK);
        if (SUCCEEDED(fresh)) CoUninitialize();
    }).join();
}

}  // namespace
}  // namespace cs

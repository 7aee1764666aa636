// A golden table over a generated set of pictures in every variant the
// decoders handle, corrupt ones included: size, outcome and a hash of the
// 32-bit pixels. A change in any decoder's output shows up here. Run with
// CS_GOLDEN_PRINT=1 to print the table after an intended change.
#include <gtest/gtest.h>

#include <png.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "test_support.h"

namespace cs {
namespace {

using namespace test;

constexpr int kW = 13;
constexpr int kH = 7;

// The source picture: RGBA, rows top first.
std::array<std::uint8_t, 4> Source(int x, int y) {
    return {static_cast<std::uint8_t>(x * 19 + y * 3), static_cast<std::uint8_t>(255 - y * 36),
            static_cast<std::uint8_t>((x * y * 11) & 0xFF), static_cast<std::uint8_t>(x * 20)};
}

std::uint8_t Index(int x, int y, int colours) { return static_cast<std::uint8_t>((x + 2 * y) % colours); }

std::vector<std::array<std::uint8_t, 3>> Table(int colours) {
    std::vector<std::array<std::uint8_t, 3>> t;
    for (int i = 0; i < colours; ++i)
        t.push_back({static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 91), static_cast<std::uint8_t>(255 - i * 5)});
    return t;
}

Bytes Bmp(std::uint16_t bits, std::uint32_t compression = 0, std::uint32_t headerSize = 40, bool maskWords = true) {
    BmpRecipe s;
    s.width = kW;
    s.height = kH;
    s.bits = bits;
    s.compression = compression;
    s.headerSize = headerSize;
    s.ppmX = 2835;
    s.ppmY = 3780;
    if (bits <= 8) s.table = Table(1 << bits);
    std::vector<Bytes> rows;
    for (int y = 0; y < kH; ++y) {
        Bytes row;
        for (int x = 0; x < kW; ++x) {
            const auto p = Source(x, y);
            switch (bits) {
                case 1:
                    if (x % 8 == 0) row.push_back(0);
                    row.back() |= static_cast<std::uint8_t>(Index(x, y, 2) << (7 - x % 8));
                    break;
                case 4:
                    if (x % 2 == 0) row.push_back(static_cast<std::uint8_t>(Index(x, y, 16) << 4));
                    else row.back() |= Index(x, y, 16);
                    break;
                case 8: row.push_back(Index(x, y, 256)); break;
                case 16: {
                    const unsigned v = (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3);
                    row.push_back(static_cast<std::uint8_t>(v));
                    row.push_back(static_cast<std::uint8_t>(v >> 8));
                    break;
                }
                default:
                    row.insert(row.end(), {p[2], p[1], p[0]});
                    if (bits == 32) row.push_back(p[3]);
            }
        }
        rows.push_back(row);
    }
    if (compression == 1 && bits == 8) {
        for (int y = kH - 1; y >= 0; --y) {
            for (int x = 0; x < kW;) {
                int n = 1;
                while (x + n < kW && rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x + n)] == rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) ++n;
                s.data.push_back(static_cast<std::uint8_t>(n));
                s.data.push_back(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
                x += n;
            }
            s.data.insert(s.data.end(), {0, 0});
        }
        s.data.insert(s.data.end(), {0, 1});
    } else {
        s.data = StoredRows(rows);
    }
    if (bits == 16 && compression == 3 && maskWords) {
        ByteWriter masks;
        masks.U32(0x7C00).U32(0x03E0).U32(0x001F);
        s.masksAfterHeader = masks.Take();
    }
    return MakeBmp(s);
}

Bytes Tga(std::uint8_t type, std::uint8_t depth, std::uint8_t descriptor = 0) {
    TgaRecipe s;
    s.type = type;
    s.depth = depth;
    s.descriptor = descriptor;
    s.width = kW;
    s.height = kH;
    const bool mapped = type == 1 || type == 9;
    if (mapped) {
        s.mapType = 1;
        s.mapLength = 40;
        s.mapBits = 24;
        for (const auto& e : Table(40)) s.map.insert(s.map.end(), e.begin(), e.end());
    }
    const bool topDown = descriptor & 0x20;
    for (int r = 0; r < kH; ++r) {
        const int y = topDown ? r : kH - 1 - r;
        std::vector<Bytes> pixels;
        for (int x = 0; x < kW; ++x) {
            const auto p = Source(x / 3 * 3, y);  // runs of three for the RLE packets
            if (depth == 8) {
                pixels.push_back({mapped ? Index(x / 3, y, 40) : p[1]});
            } else if (depth == 15 || depth == 16) {
                const unsigned v = (p[3] >= 128 ? 0x8000u : 0u) | (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3);
                pixels.push_back({static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
            } else if (depth == 24) {
                pixels.push_back({p[2], p[1], p[0]});
            } else {
                pixels.push_back({p[2], p[1], p[0], p[3]});
            }
        }
        if (type < 9) {
            for (const Bytes& p : pixels) s.data.insert(s.data.end(), p.begin(), p.end());
            continue;
        }
        for (int x = 0; x < kW;) {
            int n = 1;
            while (x + n < kW && n < 128 && pixels[static_cast<std::size_t>(x + n)] == pixels[static_cast<std::size_t>(x)]) ++n;
            if (n > 1) {
                s.data.push_back(static_cast<std::uint8_t>(0x80 | (n - 1)));
                s.data.insert(s.data.end(), pixels[static_cast<std::size_t>(x)].begin(), pixels[static_cast<std::size_t>(x)].end());
            } else {
                s.data.push_back(0);
                s.data.insert(s.data.end(), pixels[static_cast<std::size_t>(x)].begin(), pixels[static_cast<std::size_t>(x)].end());
            }
            x += n;
        }
    }
    return MakeTga(s);
}

Bytes Png(int colourType, int bitDepth, bool interlaced = false) {
    PngRecipe s;
    s.width = kW;
    s.height = kH;
    s.colourType = colourType;
    s.bitDepth = bitDepth;
    s.interlaced = interlaced;
    s.pixelsPerMetre = 3780;
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        for (const auto& e : Table(1 << bitDepth)) s.paletteRgb.insert(s.paletteRgb.end(), e.begin(), e.end());
    }
    for (int y = 0; y < kH; ++y) {
        int bitsInRow = 0;
        for (int x = 0; x < kW; ++x) {
            const auto p = Source(x, y);
            std::vector<std::uint8_t> samples;
            switch (colourType) {
                case PNG_COLOR_TYPE_GRAY: samples = {p[1]}; break;
                case PNG_COLOR_TYPE_PALETTE: samples = {Index(x, y, 1 << bitDepth)}; break;
                case PNG_COLOR_TYPE_GRAY_ALPHA: samples = {p[1], p[3]}; break;
                case PNG_COLOR_TYPE_RGB: samples = {p[0], p[1], p[2]}; break;
                default: samples = {p[0], p[1], p[2], p[3]};
            }
            for (std::uint8_t v : samples) {
                if (bitDepth == 16) {
                    s.samples.insert(s.samples.end(), {v, static_cast<std::uint8_t>(v ^ 0x5A)});
                } else if (bitDepth == 8) {
                    s.samples.push_back(v);
                } else {
                    const unsigned value = colourType == PNG_COLOR_TYPE_PALETTE ? v : v >> (8 - bitDepth);
                    if (bitsInRow % 8 == 0) s.samples.push_back(0);
                    s.samples.back() |= static_cast<std::uint8_t>(value << (8 - bitDepth - bitsInRow % 8));
                    bitsInRow += bitDepth;
                }
            }
        }
    }
    return MakePng(s);
}

Bytes Jpeg(int components, bool progressive = false) {
    JpegRecipe s;
    s.width = kW;
    s.height = kH;
    s.components = components;
    s.progressive = progressive;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const auto p = Source(x, y);
            for (int c = 0; c < components; ++c) s.pixels.push_back(p[static_cast<std::size_t>(c)]);
        }
    return MakeJpeg(s);
}

// Flips bytes at positions picked by a fixed generator, past `from`.
Bytes Damaged(Bytes bytes, std::size_t from, unsigned seed, int count) {
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t at = from + (seed >> 8) % (bytes.size() - from);
        bytes[at] = static_cast<std::uint8_t>(bytes[at] ^ (seed >> 3 | 1));
    }
    return bytes;
}

struct Golden {
    const char* name;
    int width;
    int height;
    int code;  // 0: decoded
    std::uint64_t hash;  // 0: not compared (lossy codec, exact values depend on the library build)
};

// Equal hashes across formats are expected: the same pixels reach the
// bitmap through different decoders (bmp-24 = png-rgb-8, tga-3-8 =
// png-grey-8, bmp-8 = bmp-8-rle = bmp-os2-8, ...).
const Golden kGolden[] = {
    {"bmp-1", 13, 7, 0, 0x30bcff17a1c2efabull},
    {"bmp-4", 13, 7, 0, 0x538f7486b350de15ull},
    {"bmp-8", 13, 7, 0, 0x0fd351fcda0787a5ull},
    {"bmp-8-rle", 13, 7, 0, 0x0fd351fcda0787a5ull},
    {"bmp-16", 13, 7, 0, 0x5072753decdab8dcull},
    {"bmp-16-555-masks", 13, 7, 0, 0x5072753decdab8dcull},
    {"bmp-24", 13, 7, 0, 0x894aee3c718565f8ull},
    {"bmp-24-v5", 13, 7, 0, 0x894aee3c718565f8ull},
    {"bmp-32", 13, 7, 0, 0xc7840b5e0e64d9bcull},
    {"bmp-os2-8", 13, 7, 0, 0x0fd351fcda0787a5ull},
    {"tga-1-8", 13, 7, 0, 0xdce2273101314dadull},
    {"tga-2-15", 13, 7, 0, 0xbfff0cae70054054ull},
    {"tga-2-16", 13, 7, 0, 0xaedfefb45fb50878ull},
    {"tga-2-24", 13, 7, 0, 0x5ae2cebc7f57f8f8ull},
    {"tga-2-32-top", 13, 7, 0, 0x09c806437cd888ccull},
    {"tga-3-8", 13, 7, 0, 0xdab96697d20446d9ull},
    {"tga-9-8", 13, 7, 0, 0xdce2273101314dadull},
    {"tga-10-24", 13, 7, 0, 0x5ae2cebc7f57f8f8ull},
    {"tga-10-32-top", 13, 7, 0, 0x09c806437cd888ccull},
    {"tga-11-8", 13, 7, 0, 0xdab96697d20446d9ull},
    {"png-grey-4", 13, 7, 0, 0x8b00f74cfdd07cccull},
    {"png-grey-8", 13, 7, 0, 0xdab96697d20446d9ull},
    {"png-grey-16", 13, 7, 0, 0xdab96697d20446d9ull},
    {"png-palette-2", 13, 7, 0, 0xd6c732032b319751ull},
    {"png-palette-8", 13, 7, 0, 0xc9abe0fee7efa851ull},
    {"png-grey-alpha-8", 13, 7, 0, 0xadc1aa696054004dull},
    {"png-rgb-8", 13, 7, 0, 0x894aee3c718565f8ull},
    {"png-rgb-16-interlaced", 13, 7, 0, 0x894aee3c718565f8ull},
    {"png-rgba-8", 13, 7, 0, 0xc7840b5e0e64d9bcull},
    {"png-rgba-16", 13, 7, 0, 0xc7840b5e0e64d9bcull},
    {"jpeg-grey", 13, 7, 0, 0x0000000000000000ull},
    {"jpeg-rgb", 13, 7, 0, 0x0000000000000000ull},
    {"jpeg-rgb-progressive", 13, 7, 0, 0x0000000000000000ull},
    {"jpeg-cmyk", 13, 7, 0, 0x0000000000000000ull},
    {"bmp-1-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-1-damaged", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-4-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-4-damaged", 13, 7, 0, 0x6e95c56812b1a35cull},
    {"bmp-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-8-damaged", 13, 7, 0, 0x0fd351fcda0787a5ull},
    {"bmp-8-rle-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-8-rle-damaged", 13, 7, 0, 0x0fd351fcda0787a5ull},
    {"bmp-16-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-16-damaged", 13, 7, 0, 0x07fd0f7a69c0c6dcull},
    {"bmp-16-555-masks-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-16-555-masks-damaged", 13, 7, 0, 0x078eaddb32d61064ull},
    {"bmp-24-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-24-damaged", 13, 7, 0, 0xe47f47dd145fa467ull},
    {"bmp-24-v5-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-24-v5-damaged", 13, 7, 0, 0x52441b8ff07e378bull},
    {"bmp-32-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-32-damaged", 13, 7, 0, 0x62f8c7e6d238cc34ull},
    {"bmp-os2-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-os2-8-damaged", 2, 7, 0, 0x9a2035c29fea3e52ull},
    {"tga-1-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-1-8-damaged", 13, 7, 0, 0x26411dca2d5c63b1ull},
    {"tga-2-15-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-2-15-damaged", 13, 7, 0, 0xc2b34e8ee472deecull},
    {"tga-2-16-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-2-16-damaged", 13, 7, 0, 0x61670a9257fe33e0ull},
    {"tga-2-24-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-2-24-damaged", 13, 7, 0, 0x100b251ad7ab7b04ull},
    {"tga-2-32-top-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-2-32-top-damaged", 13, 7, 0, 0xbfb747f774847e60ull},
    {"tga-3-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-3-8-damaged", 13, 7, 0, 0x9596f5be52677b86ull},
    {"tga-9-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-9-8-damaged", 13, 7, 0, 0x97199a40b55fa1b4ull},
    {"tga-10-24-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-10-24-damaged", 13, 7, 0, 0x118740abed87f9ffull},
    {"tga-10-32-top-half", 0, 0, 11, 0x0000000000000000ull},
    {"tga-10-32-top-damaged", 13, 7, 0, 0x615770bad0f2b290ull},
    {"tga-11-8-half", 0, 0, 8, 0x0000000000000000ull},
    {"tga-11-8-damaged", 0, 0, 8, 0x0000000000000000ull},
    {"png-grey-4-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-grey-4-damaged", 0, 0, 8, 0x0000000000000000ull},
    {"png-grey-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-grey-8-damaged", 0, 0, 8, 0x0000000000000000ull},
    {"png-grey-16-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-grey-16-damaged", 0, 0, 2, 0x0000000000000000ull},
    {"png-palette-2-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-palette-2-damaged", 0, 0, 2, 0x0000000000000000ull},
    {"png-palette-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-palette-8-damaged", 0, 0, 2, 0x0000000000000000ull},
    {"png-grey-alpha-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-grey-alpha-8-damaged", 0, 0, 2, 0x0000000000000000ull},
    {"png-rgb-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-rgb-8-damaged", 0, 0, 2, 0x0000000000000000ull},
    {"png-rgb-16-interlaced-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-rgb-16-interlaced-damaged", 0, 0, 2, 0x0000000000000000ull},
    {"png-rgba-8-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-rgba-8-damaged", 0, 0, 11, 0x0000000000000000ull},
    {"png-rgba-16-half", 0, 0, 11, 0x0000000000000000ull},
    {"png-rgba-16-damaged", 0, 0, 2, 0x0000000000000000ull},
    {"jpeg-grey-half", 0, 0, 6, 0x0000000000000000ull},
    {"jpeg-grey-damaged", 0, 0, 6, 0x0000000000000000ull},
    {"jpeg-rgb-half", 0, 0, 6, 0x0000000000000000ull},
    {"jpeg-rgb-damaged", 0, 0, 6, 0x0000000000000000ull},
    {"jpeg-rgb-progressive-half", 13, 7, 0, 0x0000000000000000ull},
    {"jpeg-rgb-progressive-damaged", 0, 0, 6, 0x0000000000000000ull},
    {"jpeg-cmyk-half", 0, 0, 6, 0x0000000000000000ull},
    {"jpeg-cmyk-damaged", 0, 0, 6, 0x0000000000000000ull},
    {"bmp-8-cut-in-table", 0, 0, 11, 0x0000000000000000ull},
    {"bmp-16-555-masks-missing", 0, 0, 11, 0x0000000000000000ull},
    {"tga-1-8-cut-in-map", 0, 0, 11, 0x0000000000000000ull},
    {"tga-2-24-cut-in-pixels", 0, 0, 11, 0x0000000000000000ull},
    {"jpeg-rgb-cut-in-header", 0, 0, 6, 0x0000000000000000ull},
};

std::vector<std::pair<std::string, Bytes>> Cases() {
    std::vector<std::pair<std::string, Bytes>> c = {
        {"bmp-1", Bmp(1)},
        {"bmp-4", Bmp(4)},
        {"bmp-8", Bmp(8)},
        {"bmp-8-rle", Bmp(8, 1)},
        {"bmp-16", Bmp(16)},
        {"bmp-16-555-masks", Bmp(16, 3)},
        {"bmp-24", Bmp(24)},
        {"bmp-24-v5", Bmp(24, 0, 124)},
        {"bmp-32", Bmp(32)},
        {"bmp-os2-8", Bmp(8, 0, 12)},
        {"tga-1-8", Tga(1, 8)},
        {"tga-2-15", Tga(2, 15)},
        {"tga-2-16", Tga(2, 16, 1)},
        {"tga-2-24", Tga(2, 24)},
        {"tga-2-32-top", Tga(2, 32, 0x28)},
        {"tga-3-8", Tga(3, 8)},
        {"tga-9-8", Tga(9, 8)},
        {"tga-10-24", Tga(10, 24)},
        {"tga-10-32-top", Tga(10, 32, 0x28)},
        {"tga-11-8", Tga(11, 8)},
        {"png-grey-4", Png(PNG_COLOR_TYPE_GRAY, 4)},
        {"png-grey-8", Png(PNG_COLOR_TYPE_GRAY, 8)},
        {"png-grey-16", Png(PNG_COLOR_TYPE_GRAY, 16)},
        {"png-palette-2", Png(PNG_COLOR_TYPE_PALETTE, 2)},
        {"png-palette-8", Png(PNG_COLOR_TYPE_PALETTE, 8)},
        {"png-grey-alpha-8", Png(PNG_COLOR_TYPE_GRAY_ALPHA, 8)},
        {"png-rgb-8", Png(PNG_COLOR_TYPE_RGB, 8)},
        {"png-rgb-16-interlaced", Png(PNG_COLOR_TYPE_RGB, 16, true)},
        {"png-rgba-8", Png(PNG_COLOR_TYPE_RGB_ALPHA, 8)},
        {"png-rgba-16", Png(PNG_COLOR_TYPE_RGB_ALPHA, 16)},
        {"jpeg-grey", Jpeg(1)},
        {"jpeg-rgb", Jpeg(3)},
        {"jpeg-rgb-progressive", Jpeg(3, true)},
        {"jpeg-cmyk", Jpeg(4)},
    };
    const std::size_t intact = c.size();
    for (std::size_t i = 0; i < intact; ++i) {
        const Bytes b = c[i].second;
        const std::string name = c[i].first;
        c.push_back({name + "-half", Truncated(b, b.size() / 2)});
        c.push_back({name + "-damaged", Damaged(b, 2, static_cast<unsigned>(i) + 1, 4)});
    }
    // Cut where a size check, not a read, meets the end: each must say the
    // file ends early, never that memory ran out.
    c.push_back({"bmp-8-cut-in-table", Truncated(Bmp(8), 14 + 40 + 100)});
    c.push_back({"bmp-16-555-masks-missing", Bmp(16, 3, 40, false)});
    c.push_back({"tga-1-8-cut-in-map", Truncated(Tga(1, 8), 18 + 60)});
    c.push_back({"tga-2-24-cut-in-pixels", Truncated(Tga(2, 24), 18 + 3 * kW * kH - 1)});
    c.push_back({"jpeg-rgb-cut-in-header", Truncated(Jpeg(3), 120)});
    return c;
}

TEST(GoldenTable, EveryCaseDecodesAsRecorded) {
    const bool print = std::getenv("CS_GOLDEN_PRINT") != nullptr;
    std::size_t matched = 0;
    for (const auto& [name, bytes] : Cases()) {
        auto r = DecodeBytes(bytes);
        const bool lossy = name.rfind("jpeg", 0) == 0;
        const std::uint64_t hash = r->ok && !lossy ? HashBitmap(r->bitmap) : 0;
        if (print) {
            std::printf("    {\"%s\", %d, %d, %d, 0x%016" PRIx64 "ull},\n", name.c_str(), r->ok ? r->bitmap.Width() : 0,
                        r->ok ? r->bitmap.Height() : 0, r->code, hash);
            continue;
        }
        const Golden* g = nullptr;
        for (const Golden& candidate : kGolden)
            if (name == candidate.name) g = &candidate;
        ASSERT_NE(g, nullptr) << "no golden entry for " << name;
        ++matched;
        EXPECT_EQ(r->code, g->code) << name << ": " << r->text;
        if (r->ok) {
            EXPECT_EQ(r->bitmap.Width(), g->width) << name;
            EXPECT_EQ(r->bitmap.Height(), g->height) << name;
        }
        EXPECT_EQ(hash, g->hash) << name;
    }
    if (!print) {
        EXPECT_EQ(matched, std::size(kGolden));
    }
}

}  // namespace
}  // namespace cs

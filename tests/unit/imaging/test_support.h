#pragma once
// Building picture files byte by byte (and PNG/JPEG through the libraries)
// and decoding them, for the imaging tests.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "imaging/bitmap.h"
#include "imaging/pl_exception.h"

namespace cs::test {

using Bytes = std::vector<std::uint8_t>;

class ByteWriter {
public:
    ByteWriter& U8(unsigned v);
    ByteWriter& U16(unsigned v);    // little-endian
    ByteWriter& U32(std::uint32_t v);
    ByteWriter& U16BE(unsigned v);
    ByteWriter& U32BE(std::uint32_t v);
    ByteWriter& Text(const char* text);  // without the terminating zero
    ByteWriter& Append(const Bytes& bytes);
    ByteWriter& Fill(std::size_t count, std::uint8_t value);
    std::size_t Size() const { return bytes_.size(); }
    Bytes& bytes() { return bytes_; }
    Bytes Take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

Bytes Truncated(const Bytes& bytes, std::size_t size);

// The outcome of one decode through AutoDecoder into a PlainBitmap.
struct Decoded {
    bool ok = false;
    int code = 0;
    std::string text;
    PlainBitmap bitmap;
};
// requestedBits as the decoders take it (0 keeps the decoded depth).
std::unique_ptr<Decoded> DecodeBytes(const Bytes& bytes, int requestedBits = 32);

// "Decoder error: " + message + "\n", the form of every prefixed error.
std::string DecoderText(const std::string& message);

// The exception one decoder throws for file (recorded as a test failure,
// with an empty exception returned, when it decodes).
template <class Decoder>
PLTextException DecodeErrorWith(const Bytes& file) {
    PlainBitmap target;
    try {
        Decoder().DecodeFromMemory(file.data(), file.size(), target, 0);
    } catch (const PLTextException& e) {
        return e;
    }
    ADD_FAILURE() << "decoded without an error";
    return PLTextException(0, "");
}

// That decoder refuses file with the code and the prefixed message.
template <class Decoder>
void ExpectDecoderError(const Bytes& file, int code, const std::string& message) {
    const PLTextException e = DecodeErrorWith<Decoder>(file);
    EXPECT_EQ(e.GetCode(), code);
    EXPECT_EQ(std::string(e.GetText()), DecoderText(message));
}

// The pixel at (x, y) of a 32-bit bitmap.
Pixel32 PixelAt(const Bitmap& bitmap, int x, int y);
// FNV-1a over the size, depth, alpha flag, the rows' pixel bytes and the
// palette: equal hashes mean equal pictures.
std::uint64_t HashBitmap(const Bitmap& bitmap);

// Rows given top first, unpadded; stored bottom-up, each padded to 4 bytes
// (the last one too unless padLast is false).
Bytes StoredRows(const std::vector<Bytes>& topFirst, bool padLast = true);

// A BMP file. Without a colours-used count a table of 2^bits entries is
// written (zeros where `table` gives none).
struct BmpRecipe {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::vector<std::array<std::uint8_t, 3>> table;  // B, G, R
    std::uint32_t coloursUsed = 0;
    std::int32_t ppmX = 0;
    std::int32_t ppmY = 0;
    Bytes masksAfterHeader;
    std::array<std::uint32_t, 3> headerMasks{};  // for headers of 52 bytes and more
    Bytes data;
    int arrayHeaders = 0;
    std::uint32_t gap = 0;  // bytes between the headers and the pixel data
    const char* signature = "BM";
};
Bytes MakeBmp(const BmpRecipe& recipe);

struct TgaRecipe {
    std::string id;
    std::uint8_t mapType = 0;
    std::uint8_t type = 2;
    std::uint16_t first = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapBits = 0;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::uint8_t depth = 24;
    std::uint8_t descriptor = 0;
    Bytes map;
    Bytes data;
};
Bytes MakeTga(const TgaRecipe& recipe);

// PNG through libpng. `samples` holds the rows top first, each sample
// already at `bitDepth` (16-bit samples big-endian, sub-byte samples
// packed), exactly as the PNG stores them before filtering.
struct PngRecipe {
    int width = 1;
    int height = 1;
    int colourType = 2;
    int bitDepth = 8;
    bool interlaced = false;
    Bytes samples;
    std::vector<std::uint8_t> paletteRgb;  // 3 bytes per entry, colour type 3
    std::optional<std::uint32_t> pixelsPerMetre;  // pHYs in metres when set
    std::optional<std::uint32_t> pixelsPerUnknown;  // pHYs without unit
    bool withTrns = false;
};
Bytes MakePng(const PngRecipe& recipe);

// JPEG through libjpeg. components 1 (grey), 3 (RGB) or 4 (CMYK); pixels are
// interleaved components, rows top first.
struct JpegRecipe {
    int width = 1;
    int height = 1;
    int components = 3;
    Bytes pixels;
    bool jfif = true;
    int densityUnit = 1;
    int xDensity = 1;
    int yDensity = 1;
    bool progressive = false;
    int quality = 95;
    int lumaH = 0;  // the first component's sampling factors, 0: the library's
    int lumaV = 0;
    int restartInterval = 0;  // MCUs
};
Bytes MakeJpeg(const JpegRecipe& recipe);

// 32 x 16 at quality 100, its quadrants red, green (top), blue, white
// (bottom): which way it was turned shows at a glance.
Bytes QuadrantJpeg();

// The TIFF structure of an Exif block whose IFD0 holds the orientation tag
// (one SHORT) and nothing else, in either byte order. `ifdOffset`, the
// entry count and the tag's value count can be set to lie.
struct ExifRecipe {
    bool littleEndian = true;
    std::uint32_t orientation = 1;
    std::uint32_t ifdOffset = 8;
    std::uint32_t entryCount = 1;
    std::uint32_t valueCount = 1;
    std::uint32_t nextIfd = 0;
};
Bytes ExifTiff(const ExifRecipe& recipe);
// The JPEG with an APP1 "Exif" segment holding `tiff` right after its start
// marker; `declaredLength` overrides the segment's length field.
Bytes WithExif(const Bytes& jpeg, const Bytes& tiff, std::optional<std::uint16_t> declaredLength = {});

}  // namespace cs::test

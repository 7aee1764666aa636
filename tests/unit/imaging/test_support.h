#pragma once
// Building picture files byte by byte (and PNG/JPEG through the libraries)
// and decoding them, for the imaging tests.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

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

// The pixel at (x, y) of a 32-bit bitmap.
Pixel32 PixelAt(const Bitmap& bitmap, int x, int y);
// FNV-1a over the size, depth, alpha flag, the rows' pixel bytes and the
// palette: equal hashes mean equal pictures.
std::uint64_t HashBitmap(const Bitmap& bitmap);

// PNG through libpng. `samples` holds the rows top first, each sample
// already at `bitDepth` (16-bit samples big-endian, sub-byte samples
// packed), exactly as the PNG stores them before filtering.
struct PngSpec {
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
Bytes MakePng(const PngSpec& spec);

// JPEG through libjpeg. components 1 (grey), 3 (RGB) or 4 (CMYK); pixels are
// interleaved components, rows top first.
struct JpegSpec {
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
};
Bytes MakeJpeg(const JpegSpec& spec);

}  // namespace cs::test

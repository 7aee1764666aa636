// TGA: colour-mapped, true-colour and greyscale pictures, uncompressed
// (types 1-3) or run-length encoded (types 9-11).
#include "imaging/tga_decoder.h"

#include <algorithm>
#include <cstring>

#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

struct TgaHeader {
    std::uint8_t idLength = 0;
    std::uint8_t colourMapType = 0;
    std::uint8_t imageType = 0;
    std::uint16_t firstIndex = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntryBits = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t pixelDepth = 0;
    std::uint8_t descriptor = 0;
};

TgaHeader ReadHeader(DataSource& source) {
    const std::uint8_t* p = source.Read(18);
    auto u16 = [p](int at) { return static_cast<std::uint16_t>(p[at] | p[at + 1] << 8); };
    TgaHeader h;
    h.idLength = p[0];
    h.colourMapType = p[1];
    h.imageType = p[2];
    h.firstIndex = u16(3);
    h.mapLength = u16(5);
    h.mapEntryBits = p[7];
    h.width = u16(12);
    h.height = u16(14);
    h.pixelDepth = p[16];
    h.descriptor = p[17];
    return h;
}

// Bytes of one stored value of `bits` bits; 0 for sizes no reader handles.
std::size_t ValueBytes(unsigned bits) {
    switch (bits) {
        case 8: return 1;
        case 15:
        case 16: return 2;
        case 24: return 3;
        case 32: return 4;
        default: return 0;
    }
}

class PixelReader {
public:
    // The attribute bit of 16-bit values means opacity only when the
    // descriptor says the picture has attribute bits; otherwise it is
    // usually left 0 and would make the whole picture transparent.
    PixelReader(unsigned bits, bool attributeIsAlpha) : bits_(bits), attributeIsAlpha_(attributeIsAlpha) {}

    std::size_t Bytes() const { return ValueBytes(bits_); }

    Pixel32 operator()(const std::uint8_t* p) const {
        switch (bits_) {
            case 8: return Pixel32{p[0], p[0], p[0], 255};
            case 15:
            case 16: {
                const unsigned v = static_cast<unsigned>(p[0] | p[1] << 8);
                Pixel32 px{static_cast<std::uint8_t>((v & 0x1F) << 3), static_cast<std::uint8_t>((v >> 2) & 0xF8),
                           static_cast<std::uint8_t>((v >> 7) & 0xF8), 255};
                if (bits_ == 16 && attributeIsAlpha_) px.a = (v & 0x8000) ? 255 : 0;
                return px;
            }
            case 24: return Pixel32{p[0], p[1], p[2], 255};
            default: return Pixel32{p[0], p[1], p[2], p[3]};
        }
    }

private:
    unsigned bits_;
    bool attributeIsAlpha_;
};

class RowWriter {
public:
    RowWriter(bool indexed, const PixelReader& reader) : indexed_(indexed), reader_(reader) {}

    std::size_t PixelBytes() const { return indexed_ ? 1 : reader_.Bytes(); }

    void Put(std::uint8_t* row, std::int32_t x, const std::uint8_t* stored) const {
        if (indexed_) {
            row[x] = stored[0];
        } else {
            const Pixel32 p = reader_(stored);
            std::memcpy(row + 4 * static_cast<std::size_t>(x), &p, 4);
        }
    }

private:
    bool indexed_;
    const PixelReader& reader_;
};

void DecodeRow(DataSource& source, const RowWriter& writer, std::uint8_t* row, std::int32_t width, bool rle) {
    const std::size_t pixelBytes = writer.PixelBytes();
    if (!rle) {
        const std::uint8_t* in = source.Read(pixelBytes * static_cast<std::size_t>(width));
        for (std::int32_t x = 0; x < width; ++x) writer.Put(row, x, in + pixelBytes * static_cast<std::size_t>(x));
        return;
    }
    // Every row starts with a fresh packet; a packet running past the row
    // end is cut there and its remaining pixels go unused.
    std::int32_t x = 0;
    while (x < width) {
        const std::uint8_t header = source.ReadByte();
        const std::int32_t count = (header & 0x7F) + 1;
        const std::int32_t used = std::min(count, width - x);
        if (header & 0x80) {
            const std::uint8_t* value = source.Read(pixelBytes);
            for (std::int32_t i = 0; i < used; ++i) writer.Put(row, x + i, value);
        } else {
            const std::uint8_t* values = source.Read(pixelBytes * static_cast<std::size_t>(count));
            for (std::int32_t i = 0; i < used; ++i) writer.Put(row, x + i, values + pixelBytes * static_cast<std::size_t>(i));
        }
        x += used;
    }
}

}  // namespace

void TgaDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    DecoderTrace::Write(2, "Decoding TGA.\n");
    const TgaHeader h = ReadHeader(source);
    source.Skip(h.idLength);

    const unsigned depth = h.pixelDepth;
    const bool indexed = depth <= 8;
    if (!indexed && ValueBytes(depth) == 0) ThrowDecoderErrorf(plerr::kMalformed, "Unsupported TGA pixel depth %u.", depth);
    const bool hasMap = h.colourMapType != 0;
    if (hasMap && h.mapLength != 0 && ValueBytes(h.mapEntryBits) == 0) {
        ThrowDecoderErrorf(plerr::kMalformed, "Unsupported TGA colour map entry size %u.", h.mapEntryBits);
    }

    const bool attributeIsAlpha = (h.descriptor & 0x0F) != 0;
    const PixelReader pixelReader(depth, attributeIsAlpha);
    const PixelReader mapReader(h.mapEntryBits, attributeIsAlpha);
    const RowWriter writer(indexed, pixelReader);

    CheckImageSize(h.width, h.height);
    const std::uint64_t mapBytes = hasMap ? std::uint64_t{h.mapLength} * mapReader.Bytes() : 0;
    const std::uint64_t pixelBytes = writer.PixelBytes();
    const bool rle = h.imageType >= 9 && h.imageType <= 11;
    if (h.imageType >= 1 && h.imageType <= 3) {
        CheckDataFor(source, mapBytes + std::uint64_t{h.width} * h.height * pixelBytes);
    }

    target.Create(h.width, h.height, indexed ? 8 : 32, depth == 16 || depth == 32);

    if (hasMap && h.mapLength != 0) {
        const std::uint8_t* entries = source.Read(static_cast<std::size_t>(mapBytes));
        // A true-colour picture may carry a colour map too; it has no
        // palette to receive it.
        if (Pixel32* palette = target.Palette()) {
            for (unsigned i = 0; i < h.mapLength; ++i) {
                palette[(h.firstIndex + i) % 256] = mapReader(entries + i * mapReader.Bytes());
            }
        }
    }
    if (h.imageType == 3 || h.imageType == 11) target.SetGreyPalette();
    if (!(h.imageType >= 1 && h.imageType <= 3) && !rle) ThrowDecoderError(plerr::kMalformed, "Unknown TGA image type.");

    BitmapLock lock(target, false, true);
    const bool topDown = (h.descriptor & 0x20) != 0;
    const std::int32_t height = h.height;
    for (std::int32_t r = 0; r < height; ++r) {
        DecodeRow(source, writer, target.Row(topDown ? r : height - 1 - r), h.width, rle);
    }
}

}  // namespace cs

// Windows and OS/2 bitmaps: 1, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8.
#include "imaging/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

std::uint32_t U32At(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::uint16_t U16At(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

bool IsSignature(const std::uint8_t* p) {
    for (const char* sig : {"BM", "BA", "CI", "CP", "IC"})
        if (p[0] == sig[0] && p[1] == sig[1]) return true;
    return false;
}

struct InfoHeader {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::int32_t xPixelsPerMetre = 0;
    std::int32_t yPixelsPerMetre = 0;
    std::uint32_t coloursUsed = 0;
    bool masksInHeader = false;  // the V2 and later headers carry the masks
    std::array<std::uint32_t, 3> masks{};
    std::size_t tableEntrySize = 4;
};

InfoHeader ReadInfoHeader(DataSource& source) {
    InfoHeader h;
    h.size = source.ReadU32LE();
    if (h.size == 12) {
        h.width = source.ReadU16LE();
        h.height = source.ReadU16LE();
        source.Skip(2);  // planes
        h.bitCount = source.ReadU16LE();
        h.tableEntrySize = 3;
        return h;
    }
    // Headers of 16 to 39 bytes are the short OS/2 2.x kind: the fields they
    // hold are where the 40-byte header has them, the rest count as 0.
    if (h.size < 16) ThrowDecoderErrorf(plerr::kMalformed, "Bitmap decoder: Unsupported header size %u.", h.size);
    std::array<std::uint8_t, 56> bytes{};
    const std::size_t kept = std::min<std::size_t>(h.size, bytes.size());
    std::memcpy(bytes.data() + 4, source.Read(kept - 4), kept - 4);
    if (h.size > kept) source.Skip(h.size - kept);
    h.width = static_cast<std::int32_t>(U32At(&bytes[4]));
    h.height = static_cast<std::int32_t>(U32At(&bytes[8]));
    h.bitCount = U16At(&bytes[14]);
    h.compression = U32At(&bytes[16]);
    h.xPixelsPerMetre = static_cast<std::int32_t>(U32At(&bytes[24]));
    h.yPixelsPerMetre = static_cast<std::int32_t>(U32At(&bytes[28]));
    h.coloursUsed = U32At(&bytes[32]);
    if (h.size >= 52) {
        h.masksInHeader = true;
        for (int i = 0; i < 3; ++i) h.masks[i] = U32At(&bytes[40 + 4 * i]);
    }
    return h;
}

bool LegalBitCount(std::uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Stored rows are padded to a multiple of 4 bytes.
std::uint64_t Stride(std::int64_t width, std::uint16_t bits) {
    return (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
}

std::uint64_t PackedRowBytes(std::int64_t width, std::uint16_t bits) {
    return (static_cast<std::uint64_t>(width) * bits + 7) / 8;
}

class RowReader {
public:
    RowReader(DataSource& source, std::int64_t width, std::uint16_t bits, std::int32_t rows)
        : source_(source),
          rowBytes_(static_cast<std::size_t>(PackedRowBytes(width, bits))),
          filler_(static_cast<std::size_t>(Stride(width, bits)) - rowBytes_),
          rowsLeft_(rows) {}

    // The next stored row's pixel bytes. The filler after the last row may
    // be missing from the file: the picture is complete without it.
    const std::uint8_t* Next() {
        const std::uint8_t* row = source_.Read(rowBytes_);
        --rowsLeft_;
        source_.Skip(rowsLeft_ > 0 ? filler_ : std::min(filler_, source_.Remaining()));
        return row;
    }

private:
    DataSource& source_;
    std::size_t rowBytes_;
    std::size_t filler_;
    std::int32_t rowsLeft_;
};

void DecodeRle8(DataSource& source, Bitmap& target) {
    DecoderTrace::Write(2, "Decoding RLE8-compressed bitmap.\n");
    const std::int32_t width = target.Width();
    std::int32_t y = target.Height() - 1;
    std::int32_t x = 0;
    while (y >= 0) {
        const std::uint8_t count = source.ReadByte();
        if (count != 0) {
            const std::uint8_t value = source.ReadByte();
            const std::int32_t n = std::min<std::int32_t>(count, width - x);
            std::memset(target.Row(y) + x, value, static_cast<std::size_t>(n));
            x += n;
            continue;
        }
        const std::uint8_t escape = source.ReadByte();
        if (escape == 0) {
            --y;
            x = 0;
        } else if (escape == 1) {
            break;
        } else if (escape == 2) {
            ThrowDecoderError(plerr::kNotSupported, "Encountered delta escape.");
        } else {
            const std::uint8_t* bytes = source.Read(escape);
            const std::int32_t n = std::min<std::int32_t>(escape, width - x);
            std::memcpy(target.Row(y) + x, bytes, static_cast<std::size_t>(n));
            x += n;
            if (escape & 1) source.Skip(1);
        }
    }
}

// Pixels a row leaves unwritten keep the previous row's values, so the
// scratch row is deliberately not cleared between rows.
void DecodeRle4(DataSource& source, Bitmap& target) {
    DecoderTrace::Write(2, "Decoding RLE4-compressed bitmap.\n");
    const std::int32_t width = target.Width();
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(width), 0);
    std::int32_t y = target.Height() - 1;
    std::int32_t x = 0;
    auto put = [&](std::uint8_t index) {
        if (x < width) scratch[static_cast<std::size_t>(x++)] = index;
    };
    while (y >= 0) {
        const std::uint8_t count = source.ReadByte();
        if (count != 0) {
            const std::uint8_t value = source.ReadByte();
            for (int i = 0; i < count && x < width; ++i) put(i % 2 == 0 ? value >> 4 : value & 0x0F);
            continue;
        }
        const std::uint8_t escape = source.ReadByte();
        if (escape == 0 || escape == 1) {
            std::memcpy(target.Row(y), scratch.data(), scratch.size());
            if (escape == 1) break;
            --y;
            x = 0;
        } else if (escape == 2) {
            ThrowDecoderError(plerr::kNotSupported, "Encountered delta escape.");
        } else {
            const std::size_t bytes = (escape + 1u) / 2;
            const std::uint8_t* data = source.Read(bytes);
            for (int i = 0; i < escape; ++i) put(i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 0x0F);
            if (bytes & 1) source.Skip(1);
        }
    }
}

void DecodeUncompressed(DataSource& source, Bitmap& target, std::uint16_t bits, std::uint32_t green) {
    const std::int32_t width = target.Width();
    const std::int32_t height = target.Height();
    const bool layout565 = green != 0x03E0;
    RowReader rows(source, width, bits, height);
    for (std::int32_t y = height - 1; y >= 0; --y) {
        const std::uint8_t* in = rows.Next();
        std::uint8_t* out = target.Row(y);
        switch (bits) {
            case 1:
                for (std::int32_t x = 0; x < width; ++x) out[x] = (in[x / 8] >> (7 - x % 8)) & 1;
                break;
            case 4:
                for (std::int32_t x = 0; x < width; ++x) out[x] = x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F;
                break;
            case 8: std::memcpy(out, in, static_cast<std::size_t>(width)); break;
            case 16:
                for (std::int32_t x = 0; x < width; ++x, out += 4) {
                    const unsigned v = U16At(in + 2 * x);
                    out[0] = static_cast<std::uint8_t>((v << 3) & 0xF8);
                    out[1] = static_cast<std::uint8_t>((layout565 ? v >> 3 : v >> 2) & 0xF8);
                    out[2] = static_cast<std::uint8_t>((layout565 ? v >> 8 : v >> 7) & 0xF8);
                    out[3] = 255;
                }
                break;
            case 24:
                for (std::int32_t x = 0; x < width; ++x, out += 4, in += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                    out[3] = 255;
                }
                break;
            case 32: std::memcpy(out, in, static_cast<std::size_t>(width) * 4); break;
        }
    }
}

std::int32_t BmpDpi(std::int32_t pixelsPerMetre, std::int32_t dpi) {
    return pixelsPerMetre < 1 || dpi <= 1 ? 150 : dpi;
}

}  // namespace

void BmpDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    const std::uint8_t* signature = source.Read(2);
    while (signature[0] == 'B' && signature[1] == 'A') {
        source.Skip(12);  // size, offset of the next, screen width and height
        signature = source.Read(2);
    }
    if (!IsSignature(signature)) ThrowDecoderError(plerr::kWrongSignature, "Bitmap decoder: This isn't a bitmap.");
    DecoderTrace::Write(2, "Bitmap file signature found\n");
    source.Skip(8);  // file size and two reserved words
    const std::uint32_t dataOffset = source.ReadU32LE();

    const InfoHeader header = ReadInfoHeader(source);
    const std::uint16_t bits = header.bitCount;

    std::array<Pixel32, 256> table{};
    std::size_t tableEntries = 0;
    if (bits <= 8) {
        DecoderTrace::Write(3, "Reading palette.\n");
        const std::uint64_t entries = header.coloursUsed != 0 ? header.coloursUsed : std::uint64_t{1} << bits;
        const std::uint8_t* bytes = source.Read(static_cast<std::size_t>(entries * header.tableEntrySize));
        // Entries past 256 can never be indexed: read over, not kept.
        tableEntries = static_cast<std::size_t>(std::min<std::uint64_t>(entries, table.size()));
        for (std::size_t i = 0; i < tableEntries; ++i) {
            const std::uint8_t* e = bytes + i * header.tableEntrySize;
            table[i] = Pixel32{e[0], e[1], e[2], 255};
        }
    }
    DecoderTrace::Write(2, "Bitmap header is ok.\n");

    const bool rle = (bits == 4 || bits == 8) && header.compression != 0;
    std::uint32_t greenMask = 0x03E0;
    if (bits == 16 && header.compression != 0) {
        if (header.masksInHeader) {
            greenMask = header.masks[1];
        } else {
            source.Skip(4);
            greenMask = source.ReadU32LE();
            source.Skip(4);
        }
    }
    // Pixel data that starts later than where the headers end (a gap, or a
    // mask block the header does not describe) is found through the offset.
    if (dataOffset > source.Position() && dataOffset <= source.Size()) source.Skip(dataOffset - source.Position());

    CheckImageSize(header.width, header.height);
    if (LegalBitCount(bits) && !rle) {
        const auto height = static_cast<std::uint64_t>(header.height);
        CheckDataFor(source, Stride(header.width, bits) * (height - 1) + PackedRowBytes(header.width, bits));
    }

    const auto width = static_cast<std::int32_t>(header.width);
    const auto height = static_cast<std::int32_t>(header.height);
    target.Create(width, height, bits > 8 ? 32 : 8, bits == 32);
    if (bits <= 8) {
        for (std::size_t i = 0; i < tableEntries; ++i) target.Palette()[i] = table[i];
    }

    BitmapLock lock(target, false, true);
    switch (bits) {
        case 1: DecoderTrace::Write(2, "Decoding 1 bit per pixel bitmap.\n"); break;
        case 4:
            if (!rle) DecoderTrace::Write(2, "Decoding uncompressed 4 bit per pixel bitmap.\n");
            break;
        case 8:
            if (!rle) DecoderTrace::Write(2, "Decoding uncompressed 8 bit per pixel bitmap.\n");
            break;
        case 16:
        case 24:
        case 32: DecoderTrace::Write(2, "Decoding true-color bitmap.\n"); break;
        default: ThrowDecoderError(plerr::kMalformed, "Decoding bmp: Illegal bpp value.");
    }
    if (rle && bits == 8) {
        DecodeRle8(source, target);
    } else if (rle) {
        DecodeRle4(source, target);
    } else {
        DecodeUncompressed(source, target, bits, greenMask);
    }

    target.SetResolution({BmpDpi(header.xPixelsPerMetre, DpiFromPixelsPerMetre(header.xPixelsPerMetre)),
                          BmpDpi(header.yPixelsPerMetre, DpiFromPixelsPerMetre(header.yPixelsPerMetre))});
    DecoderTrace::Write(3, "Decoding finished.\n");
}

}  // namespace cs

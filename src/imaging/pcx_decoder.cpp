#include "imaging/pcx_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

constexpr std::size_t kHeaderSize = 128;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

struct Header {
    int bits = 0;
    int planes = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bytesPerLine = 0;
    Resolution resolution;
    std::array<Pixel32, 16> colourMap{};
};

Header ParseHeader(const std::uint8_t* h) {
    if (h[0] != 10) ThrowDecoderError(plerr::kWrongSignature, "Error decoding pcx: Not a PCX file.");
    if (h[2] != 1) ThrowDecoderError(plerr::kWrongSignature, "File has unknown encoding scheme.");
    Header header;
    header.bits = h[3];
    header.width = std::int64_t{Le16(h + 8)} - Le16(h + 4) + 1;
    header.height = std::int64_t{Le16(h + 10)} - Le16(h + 6) + 1;
    header.resolution = {Le16(h + 12), Le16(h + 14)};
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint8_t* rgb = h + 16 + 3 * i;
        header.colourMap[i] = Pixel32{rgb[2], rgb[1], rgb[0], 255};
    }
    header.planes = h[65];
    header.bytesPerLine = Le16(h + 66);
    return header;
}

// Unpacks the run-length stream one scan line (all planes) at a time. A run
// may carry on into the next line, but never past the end of the image.
class RunDecoder {
public:
    RunDecoder(std::span<const std::uint8_t> data, std::uint64_t imageBytes) : data_(data), left_(imageBytes) {}

    // Fills `line`; whatever the data no longer covers is left 0.
    void NextLine(std::vector<std::uint8_t>& line) {
        std::size_t filled = 0;
        const std::size_t size = line.size();
        while (filled < size) {
            if (runLeft_ > 0) {
                const std::size_t n = std::min<std::size_t>(runLeft_, size - filled);
                std::memset(line.data() + filled, runValue_, n);
                filled += n;
                runLeft_ -= static_cast<unsigned>(n);
                continue;
            }
            if (ended_ || used_ >= data_.size()) {
                ended_ = true;
                break;
            }
            const std::uint8_t c = data_[used_++];
            if (c < 0xC0) {
                line[filled++] = c;
                --left_;
                continue;
            }
            if (used_ >= data_.size()) {  // the run's value is missing
                ended_ = true;
                break;
            }
            const unsigned count = c & 0x3Fu;
            runValue_ = data_[used_++];
            if (count > left_) ThrowDecoderError(plerr::kDecoderLimit, "repeat count spans end of image.");
            left_ -= count;
            runLeft_ = count;
        }
        if (filled < size) std::memset(line.data() + filled, 0, size - filled);
    }

    std::size_t BytesUsed() const { return used_; }

private:
    std::span<const std::uint8_t> data_;
    std::size_t used_ = 0;
    std::uint64_t left_;  // image bytes not yet produced or promised to a run
    unsigned runLeft_ = 0;
    std::uint8_t runValue_ = 0;
    bool ended_ = false;
};

// Index of pixel x in a line of 1, 2, 4 or 8-bit packed pixels, high bits first.
unsigned PackedIndex(const std::uint8_t* plane, std::int64_t x, int bits) {
    switch (bits) {
        case 8: return plane[x];
        case 4: return (plane[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0Fu;
        case 2: return (plane[x / 4] >> (6 - 2 * (x % 4))) & 0x03u;
        default: return (plane[x / 8] >> (7 - x % 8)) & 0x01u;
    }
}

void StorePixel(std::uint8_t* row, std::int64_t x, const Pixel32& p) { std::memcpy(row + 4 * x, &p, 4); }

}  // namespace

void PcxDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    DecoderTrace::Write(2, "Decoding PCX.\n");
    const Header header = ParseHeader(source.Read(kHeaderSize));
    CheckImageSize(header.width, header.height);
    const auto width = static_cast<std::int32_t>(header.width);
    const auto height = static_cast<std::int32_t>(header.height);
    target.Create(width, height, 32, false, Resolution{});

    const int bits = header.bits;
    const int planes = header.planes;
    if (bits == 1) {
        if (planes < 1 || planes > 4)
            ThrowDecoderError(plerr::kMalformed, "Can't handle image with more than 4 planes.");
    } else if (!((bits == 2 || bits == 4 || bits == 8) && (planes == 1 || planes == 3))) {
        ThrowDecoderError(plerr::kMalformed, "Can't handle bits per pixel image with planes.");
    }
    // 2 or 4 bits in 3 planes passes the check above but has no way to be
    // drawn; its data is still unpacked first so that a broken run reports
    // as such.
    const bool drawable = planes == 1 || bits == 1 || bits == 8;
    const std::uint64_t neededPerPlane = (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits) + 7) / 8;
    // Shorter lines would make the pixels at the right read past their plane.
    if (drawable && header.bytesPerLine < neededPerPlane)
        ThrowDecoderError(plerr::kMalformed, "Error decoding pcx: Bytes per line too small for image width.");

    std::array<Pixel32, 256> colours;
    colours.fill(Pixel32{0, 0, 0, 255});
    std::copy(header.colourMap.begin(), header.colourMap.end(), colours.begin());
    if (bits == 1 && planes == 1) {
        colours[0] = Pixel32{0, 0, 0, 255};
        colours[1] = Pixel32{255, 255, 255, 255};
    }
    // The 256-colour palette follows the image data, so those pictures keep
    // their indices in the first bytes of each 32-bit row until it is read.
    const bool paletteAfterData = bits == 8 && planes == 1;

    std::vector<std::uint8_t> line(static_cast<std::size_t>(planes) * header.bytesPerLine);
    const std::size_t bpl = header.bytesPerLine;
    RunDecoder runs(source.LookAhead(source.Remaining()), static_cast<std::uint64_t>(line.size()) * height);
    {
        BitmapLock lock(target, false, true);
        for (std::int32_t y = 0; y < height; ++y) {
            runs.NextLine(line);
            if (!drawable) continue;
            std::uint8_t* row = target.Row(y);
            const std::uint8_t* p0 = line.data();
            if (paletteAfterData) {
                std::memcpy(row, p0, static_cast<std::size_t>(width));
            } else if (bits == 8) {  // 3 planes: one per colour
                const std::uint8_t* p1 = p0 + bpl;
                const std::uint8_t* p2 = p1 + bpl;
                for (std::int32_t x = 0; x < width; ++x) StorePixel(row, x, Pixel32{p2[x], p1[x], p0[x], 255});
            } else if (planes == 1) {
                for (std::int32_t x = 0; x < width; ++x) StorePixel(row, x, colours[PackedIndex(p0, x, bits)]);
            } else {  // 1 bit in 2 to 4 planes: plane p gives bit p of the index
                for (std::int32_t x = 0; x < width; ++x) {
                    unsigned index = 0;
                    for (int p = 0; p < planes; ++p)
                        index |= PackedIndex(p0 + static_cast<std::size_t>(p) * bpl, x, 1) << p;
                    StorePixel(row, x, colours[index]);
                }
            }
        }
    }
    source.Skip(runs.BytesUsed());
    if (!drawable) ThrowDecoderError(plerr::kDecoderLimit, "Can't handle more than 1 bit per pixel.");

    if (paletteAfterData) {
        try {
            source.Skip(1);  // the palette marker, whatever its value
            const std::uint8_t* rgb = source.Read(768);
            for (std::size_t i = 0; i < 256; ++i)
                colours[i] = Pixel32{rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 255};
        } catch (...) {
            // Leave no half-decoded indices behind in the target.
            for (std::int32_t y = 0; y < height; ++y) std::memset(target.Row(y), 0, static_cast<std::size_t>(width) * 4);
            throw;
        }
        BitmapLock lock(target, false, true);
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = target.Row(y);
            // Backwards, so that each index is read before its pixel covers it.
            for (std::int32_t x = width - 1; x >= 0; --x) StorePixel(row, x, colours[row[x]]);
        }
    }
    target.SetResolution(header.resolution);
}

}  // namespace cs

#include "imaging/psd_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

constexpr std::size_t kHeaderSize = 26;
constexpr std::uint16_t kResolutionBlock = 1005;

std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
std::uint32_t Be32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}

bool TopBitSet(std::uint32_t v) { return (v & 0x80000000u) != 0; }

// Unpacks one PackBits row of `n` bytes into exactly out.size() bytes. Runs
// are cut at the row's end and at the end of the row's own data; what they
// leave uncovered is 0.
void UnpackBitsRow(const std::uint8_t* in, std::size_t n, std::span<std::uint8_t> out) {
    std::size_t i = 0;
    std::size_t o = 0;
    while (i < n && o < out.size()) {
        const std::uint8_t h = in[i++];
        if (h == 0x80) continue;
        if (h > 0x80) {
            if (i >= n) break;
            const std::uint8_t value = in[i++];
            const std::size_t count = std::min<std::size_t>(257u - h, out.size() - o);
            std::memset(out.data() + o, value, count);
            o += count;
        } else {
            const std::size_t count = std::min({std::size_t{h} + 1, n - i, out.size() - o});
            std::memcpy(out.data() + o, in + i, count);
            o += count;
            i += std::size_t{h} + 1;
        }
    }
    if (o < out.size()) std::memset(out.data() + o, 0, out.size() - o);
}

// True when `n` bytes of PackBits make exactly `width` bytes, neither cut
// short nor spilling over.
bool ExactPackBitsRow(const std::uint8_t* in, std::size_t n, std::size_t width) {
    std::size_t i = 0;
    std::size_t o = 0;
    while (i < n) {
        const std::uint8_t h = in[i++];
        if (h == 0x80) continue;
        const std::size_t produced = h > 0x80 ? 257u - h : std::size_t{h} + 1;
        const std::size_t consumed = h > 0x80 ? 1 : produced;
        if (n - i < consumed || width - o < produced) return false;
        i += consumed;
        o += produced;
    }
    return o == width;
}

// Pictures narrower than 8 pixels keep their rows as plain bytes, but
// writers that pack every row regardless are common; their rows are
// recognised by a count table that describes the data exactly (as far as
// the data goes: a cut-off file of packed rows must still end as one).
bool NarrowRowsArePacked(const std::uint8_t* counts, std::uint64_t rows, std::span<const std::uint8_t> data,
                         std::size_t width) {
    std::size_t at = 0;
    for (std::uint64_t r = 0; r < rows; ++r) {
        const std::size_t n = Be16(counts + 2 * r);
        if (data.size() - at < n) return r > 0;
        if (!ExactPackBitsRow(data.data() + at, n, width)) return false;
        at += n;
    }
    return true;
}

}  // namespace

void PsdDecoder::ReadColourModeData(DataSource& source) {
    const std::uint32_t length = source.ReadU32BE();
    if (length == 0) return;
    // Indexed files hold exactly the 768-byte palette here; other modes keep
    // other data of other lengths, which is stepped over whole so that the
    // sections after it are still found.
    const std::uint8_t* data = source.Read(length);
    if (length < 768) return;
    for (std::size_t i = 0; i < 256; ++i) palette_[i] = Pixel32{data[512 + i], data[256 + i], data[i], 255};
    hasPalette_ = true;
}

void PsdDecoder::ReadImageResources(DataSource& source) {
    const std::uint32_t length = source.ReadU32BE();
    if (length == 0 || TopBitSet(length)) return;
    std::uint64_t counted = 0;
    while (counted < length) {
        if (std::memcmp(source.Read(4), "8BIM", 4) != 0)
            ThrowDecoderError(plerr::kMalformed, "PSD decoder: Wrong signature in resource data block.");
        const std::uint16_t id = source.ReadU16BE();
        const std::uint8_t nameLength = source.ReadByte();
        const std::uint8_t* name = source.Read(nameLength);
        DecoderTrace::Write(2, "Reading resource:" + std::string(reinterpret_cast<const char*>(name), nameLength) + "\n");
        const std::size_t nameFill = nameLength % 2 == 0 ? 1 : 0;
        source.Skip(nameFill);
        const std::uint32_t size = source.ReadU32BE();
        const std::size_t dataFill = size % 2;
        const std::uint8_t* data = source.Read(std::size_t{size} + dataFill);
        // A resolution block too short for its fields is skipped like any other.
        if (id == kResolutionBlock && size >= 16)
            resolution_ = Resolution{static_cast<std::int32_t>(Be32(data) / 65536),
                                     static_cast<std::int32_t>(Be32(data + 8) / 65536)};
        counted += 11u + nameLength + nameFill + size + dataFill;
    }
}

void PsdDecoder::ReadLayerSection(DataSource& source) {
    layerSectionLength_ = source.ReadU32BE();
    layerSectionStart_ = source.Position();
    if (layerSectionLength_ == 0 || TopBitSet(layerSectionLength_)) {
        DecoderTrace::Writef(2, "Number of layers: %i\n", 0);
        return;
    }
    const std::uint64_t end = layerSectionStart_ + std::uint64_t{layerSectionLength_};
    // The descriptions are only counted, never drawn: any that would reach
    // past the section are left unread rather than read from the image data.
    auto fits = [&](std::uint64_t n) { return source.Position() + n <= end && n <= source.Remaining(); };
    int count = 0;
    if (fits(6)) {
        const auto infoLength = static_cast<std::int32_t>(source.ReadU32BE());
        if (infoLength > 0) count = std::abs(static_cast<int>(static_cast<std::int16_t>(source.ReadU16BE())));
    }
    DecoderTrace::Writef(2, "Number of layers: %i\n", count);
    for (int i = 0; i < count; ++i) {
        if (!fits(18)) break;
        Layer layer;
        const std::uint8_t* bounds = source.Read(16);
        layer.top = static_cast<std::int32_t>(Be32(bounds));
        layer.left = static_cast<std::int32_t>(Be32(bounds + 4));
        layer.bottom = static_cast<std::int32_t>(Be32(bounds + 8));
        layer.right = static_cast<std::int32_t>(Be32(bounds + 12));
        const std::uint16_t channels = source.ReadU16BE();
        if (!fits(std::uint64_t{channels} * 6 + 16)) break;
        layer.channels.reserve(channels);
        for (std::uint16_t c = 0; c < channels; ++c) {
            const std::uint8_t* entry = source.Read(6);
            layer.channels.push_back({static_cast<std::int16_t>(Be16(entry)), Be32(entry + 2)});
        }
        const std::uint8_t* blend = source.Read(12);
        std::memcpy(layer.blendSignature.data(), blend, 4);
        std::memcpy(layer.blendKey.data(), blend + 4, 4);
        layer.opacity = blend[8];
        layer.clipping = blend[9];
        layer.flags = blend[10];
        if (!fits(4)) break;
        layer.extraLength = source.ReadU32BE();
        if (!fits(layer.extraLength)) break;
        source.Skip(layer.extraLength);
        layers_.push_back(std::move(layer));
    }
    if (source.Position() < end) source.Skip(static_cast<std::size_t>(end - source.Position()));
}

void PsdDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    // A decoder is used for many files: nothing of the last one may leak in.
    struct Reset {
        PsdDecoder& d;
        explicit Reset(PsdDecoder& decoder) : d(decoder) { Clear(); }
        ~Reset() { Clear(); }
        void Clear() {
            d.palette_.fill(Pixel32{});
            d.hasPalette_ = false;
            d.resolution_ = Resolution{};
            d.layerSectionStart_ = 0;
            d.layerSectionLength_ = 0;
            d.layers_.clear();
            d.layers_.shrink_to_fit();
        }
    } reset(*this);

    const std::uint8_t* header = source.Read(kHeaderSize);
    if (std::memcmp(header, "8BPS", 4) != 0)
        ThrowDecoderError(plerr::kMalformed, "PSD decoder: This isn't a photoshop file.");
    const int channels = Be16(header + 12);
    const std::int64_t height = Be32(header + 14);
    const std::int64_t width = Be32(header + 18);
    const int mode = Be16(header + 24);

    ReadColourModeData(source);
    ReadImageResources(source);
    ReadLayerSection(source);

    if (mode < 1 || mode > 3) ThrowDecoderError(plerr::kNotSupported, "This PSD color mode is not supported.");
    if (channels == 0) ThrowDecoderError(plerr::kMalformed, "PSD decoder: Image has no channels.");
    CheckImageSize(width, height);

    const std::uint16_t compression = source.ReadU16BE();
    static const char* const kCompressionNames[] = {"No compression\n", "RLE compression\n",
                                                    "ZIP compression, no prediction\n",
                                                    "ZIP compression, prediction\n"};
    if (compression > 3) ThrowDecoderError(plerr::kMalformed, "PSD decoder: Compression unknown.");
    DecoderTrace::Write(2, kCompressionNames[compression]);
    if (compression != 1) ThrowDecoderError(plerr::kMalformed, "PSD decoder: Compression type not supported.");

    ReadComposite(target, source, mode, channels, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
}

void PsdDecoder::ReadComposite(Bitmap& target, DataSource& source, int mode, int channels, std::int32_t width,
                               std::int32_t height) {
    const std::uint64_t rows = static_cast<std::uint64_t>(channels) * static_cast<std::uint64_t>(height);

    // The whole composite is accounted for before the target is created, so
    // that a short file cannot make it allocate a picture it cannot fill.
    if (rows * 2 > source.Remaining()) ThrowPlainError(plerr::kEndOfData, pltext::kEndOfData);
    const std::uint8_t* counts = source.Read(static_cast<std::size_t>(rows * 2));
    const bool packed =
        width >= 8 || NarrowRowsArePacked(counts, rows, source.LookAhead(source.Remaining()), static_cast<std::size_t>(width));
    std::uint64_t dataBytes = 0;
    if (packed) {
        for (std::uint64_t r = 0; r < rows; ++r) dataBytes += Be16(counts + 2 * r);
    } else {
        dataBytes = rows * static_cast<std::uint64_t>(width);
    }
    if (dataBytes > source.Remaining()) ThrowPlainError(plerr::kEndOfData, pltext::kEndOfData);

    if (mode == 3) {
        target.Create(width, height, 32, channels > 3, resolution_);
    } else {
        target.Create(width, height, 8, false, resolution_);
        if (mode == 2 && hasPalette_) std::memcpy(target.Palette(), palette_.data(), sizeof palette_);
    }

    BitmapLock lock(target, false, true);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(width));
    static constexpr int kByteOfChannel[4] = {2, 1, 0, 3};  // R, G, B, A in a B, G, R, A pixel
    const int channelsKept = mode == 3 ? 4 : 1;
    for (int c = 0; c < channels; ++c) {
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint64_t r = static_cast<std::uint64_t>(c) * static_cast<std::uint64_t>(height) +
                                    static_cast<std::uint64_t>(y);
            const bool kept = c < channelsKept;
            std::span<std::uint8_t> out = kept && mode != 3 ? std::span<std::uint8_t>(target.Row(y), line.size())
                                                            : std::span<std::uint8_t>(line);
            if (packed) {
                const std::uint16_t n = Be16(counts + 2 * r);
                const std::uint8_t* bytes = source.Read(n);
                if (kept) UnpackBitsRow(bytes, n, out);
            } else {
                const std::uint8_t* plain = source.Read(static_cast<std::size_t>(width));
                if (kept) std::memcpy(out.data(), plain, out.size());
            }
            if (kept && mode == 3) {
                std::uint8_t* px = target.Row(y) + kByteOfChannel[c];
                for (std::int32_t x = 0; x < width; ++x) px[4 * x] = line[static_cast<std::size_t>(x)];
            }
        }
    }
}

}  // namespace cs

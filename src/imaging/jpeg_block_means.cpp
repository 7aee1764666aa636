#include "imaging/jpeg_block_means.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

namespace cs {

namespace {

// Bits of look-ahead of the code tables: 12 passed over the most codes a
// look-up on camera pictures (10 to 14 tried).
constexpr int kLookBits = 12;
constexpr std::uint32_t kLookSize = 1u << kLookBits;

// A Huffman code set up for decoding.
struct HuffmanLookup {
    // Codes longer than kLookBits, the canonical way: the largest code of
    // each length (-1: none) and where its symbols start.
    std::int32_t maxCode[17] = {};
    std::int32_t symbolOffset[17] = {};
    std::uint8_t symbols[256] = {};
    // By the next kLookBits bits: the length << 8 | symbol of the code they
    // begin with; 0 when that code is longer.
    std::uint16_t first[kLookSize] = {};
    // For AC codes, by the next kLookBits bits: in bits 0 to 7 how many bits
    // the whole codes (with their magnitude bits) in them take, in bits 8
    // to 14 how many coefficients they pass, bit 15 set when the last of
    // them ends the block; bits 16 to 31 the same for the first code alone.
    // 0 when the first code is longer than kLookBits.
    std::uint32_t packed[kLookSize] = {};
    // For AC codes, by the next kLookBits bits, when they hold the first
    // code and its magnitude bits whole: in bits 0 to 7 how many bits those
    // take, in bits 8 to 15 the symbol, in bits 16 to 31 the coefficient
    // (16 bits, signed). 0 otherwise.
    std::uint32_t valued[kLookSize] = {};
};

// The magnitude category (low 4 bits) and the run of zeros before it.
constexpr bool EndsBlock(int symbol) { return symbol == 0x00 || ((symbol & 15) == 0 && (symbol >> 4) != 15); }
// Coefficients an AC code passes: the run and the coefficient, or 16 zeros.
constexpr int Advance(int symbol) { return EndsBlock(symbol) ? 0 : (symbol & 15) == 0 ? 16 : (symbol >> 4) + 1; }

// The JPEG sign convention: a magnitude of `category` bits whose leading
// bit is 0 stands for a negative value.
constexpr std::int32_t Extend(std::int32_t magnitude, int category) {
    return magnitude < (1 << (category - 1)) ? magnitude - (1 << category) + 1 : magnitude;
}

std::uint32_t PackedField(int bits, int advance, bool ends) {
    return static_cast<std::uint32_t>(bits) | static_cast<std::uint32_t>(advance) << 8 | (ends ? 0x8000u : 0u);
}

// False for counts that overflow their lengths (not a prefix code), more
// than 256 symbols, or a DC category above 15.
bool BuildLookup(const StoredHuffmanTable& stored, bool ac, HuffmanLookup& out) {
    std::uint8_t lengthAt[kLookSize] = {};
    std::uint8_t symbolAt[kLookSize] = {};
    std::int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = stored.counts[length - 1];
        if (index + count > 256) return false;
        out.symbolOffset[length] = index - code;
        for (int i = 0; i < count; ++i, ++index, ++code) {
            const std::uint8_t symbol = stored.symbols[index];
            if (code >= (1 << length) || (!ac && symbol > 15)) return false;
            out.symbols[index] = symbol;
            if (length <= kLookBits) {
                const int shift = kLookBits - length;
                for (std::uint32_t fill = 0; fill < (1u << shift); ++fill) {
                    const std::uint32_t at = static_cast<std::uint32_t>(code) << shift | fill;
                    lengthAt[at] = static_cast<std::uint8_t>(length);
                    symbolAt[at] = symbol;
                }
            }
        }
        out.maxCode[length] = count != 0 ? code - 1 : -1;
        code <<= 1;
    }
    for (std::uint32_t at = 0; at < kLookSize; ++at) {
        const int length = lengthAt[at];
        if (length == 0) continue;
        const int symbol = symbolAt[at];
        out.first[at] = static_cast<std::uint16_t>(length << 8 | symbol);
        if (!ac) continue;
        const int ownBits = length + (symbol & 15);
        if (ownBits <= kLookBits) {
            const int category = symbol & 15;
            const auto magnitude = static_cast<std::int32_t>((at >> (kLookBits - ownBits)) & ((1u << category) - 1));
            const std::int32_t value = category == 0 ? 0 : Extend(magnitude, category);
            out.valued[at] = static_cast<std::uint32_t>(ownBits) | static_cast<std::uint32_t>(symbol) << 8 |
                             static_cast<std::uint32_t>(static_cast<std::uint16_t>(value)) << 16;
        }
        bool ends = EndsBlock(symbol);
        int bits = ownBits;
        int advance = Advance(symbol);
        const std::uint32_t alone = PackedField(bits, advance, ends);
        // Further whole codes that lie inside the look-ahead.
        while (!ends && bits < kLookBits) {
            const int room = kLookBits - bits;
            const std::uint32_t rest = (at << bits) & (kLookSize - 1);
            const int nextLength = lengthAt[rest];
            const int nextSymbol = symbolAt[rest];
            if (nextLength == 0 || nextLength + (nextSymbol & 15) > room) break;
            if (advance + Advance(nextSymbol) > 63) break;
            bits += nextLength + (nextSymbol & 15);
            advance += Advance(nextSymbol);
            ends = EndsBlock(nextSymbol);
        }
        out.packed[at] = PackedField(bits, advance, ends) | alone << 16;
    }
    return true;
}

std::uint64_t LoadBigEndian64(const std::uint8_t* at) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value = value << 8 | at[i];
    return value;
}

// True when one of the eight bytes is 0xFF.
constexpr bool HasByteFF(std::uint64_t bytes) {
    const std::uint64_t inverted = ~bytes;
    return ((inverted - 0x0101010101010101u) & ~inverted & 0x8080808080808080u) != 0;
}

// Reads a scan's entropy-coded data from its top bit down, dropping the
// zero byte stuffed after each 0xFF. A refill loads eight bytes at once
// where none of them is 0xFF, as nearly all are, and keeps what the buffer
// has room for; otherwise it goes a byte at a time. Either way the buffer
// holds at least 56 bits after it. From a marker or the end of the data on
// it reads zeros, as libjpeg does, and counts them, so that reading into
// them shows.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : end_(data + size) {}

    // Reads from `at`, a byte of the data, on.
    void StartAt(const std::uint8_t* at) {
        next_ = at;
        buffer_ = 0;
        count_ = 0;
        zeros_ = 0;
        ended_ = false;
        Refill();
    }
    void Refill() {
        if (end_ - next_ >= 8) [[likely]] {
            const std::uint64_t bytes = LoadBigEndian64(next_);
            if (!HasByteFF(bytes)) [[likely]] {
                // Bits already in the buffer are loaded again in place.
                buffer_ |= bytes >> count_;
                next_ += (63 - count_) >> 3;
                count_ |= 56;
                return;
            }
        }
        RefillByBytes();
    }
    void RefillIfLow() {
        if (count_ < 32) Refill();
    }
    // 1 to 32 bits.
    std::uint32_t Peek(unsigned bits) const { return static_cast<std::uint32_t>(buffer_ >> (64 - bits)); }
    void Drop(unsigned bits) {
        buffer_ <<= bits;
        count_ -= bits;
    }
    // Whether any of the zeros read after the data's end were taken.
    bool ReadPastData() const { return count_ < zeros_; }
    // The next byte not yet in the buffer: never past a marker.
    const std::uint8_t* Next() const { return next_; }

private:
    void RefillByBytes() {
        buffer_ = count_ == 0 ? 0 : buffer_ & (~std::uint64_t{0} << (64 - count_));
        while (count_ < 56) {
            std::uint64_t byte = 0;
            bool real = false;
            while (!ended_ && next_ < end_ && !real) {
                if (*next_ != 0xFF) {
                    byte = *next_++;
                    real = true;
                } else if (end_ - next_ >= 2 && next_[1] == 0x00) {
                    byte = 0xFF;
                    next_ += 2;
                    real = true;
                } else if (end_ - next_ >= 2 && next_[1] == 0xFF) {
                    ++next_;  // a fill byte before a marker
                } else {
                    ended_ = true;  // a marker, or a lone 0xFF at the end
                }
            }
            if (!real) {
                ended_ = true;
                zeros_ += 8;
            }
            buffer_ |= byte << (56 - count_);
            count_ += 8;
        }
    }

    const std::uint8_t* end_;
    const std::uint8_t* next_ = nullptr;
    std::uint64_t buffer_ = 0;
    unsigned count_ = 0;
    unsigned zeros_ = 0;  // of the last count_ bits, zeros read after the end
    bool ended_ = false;
};

// The data of the restart interval after the marker at or after `from`;
// null when another marker or the end comes first.
const std::uint8_t* AfterRestartMarker(const std::uint8_t* from, const std::uint8_t* end) {
    for (const std::uint8_t* at = from; end - at >= 2; ++at) {
        if (at[0] != 0xFF || at[1] == 0x00 || at[1] == 0xFF) continue;
        return at[1] >= 0xD0 && at[1] <= 0xD7 ? at + 2 : nullptr;
    }
    return nullptr;
}

// A code longer than the look-ahead; needs 16 bits in the reader. An
// invalid code reads as symbol 0, as libjpeg takes it.
int DecodeLongCode(const HuffmanLookup& table, BitReader& bits) {
    const std::uint32_t next16 = bits.Peek(16);
    for (int length = kLookBits + 1; length <= 16; ++length) {
        const auto code = static_cast<std::int32_t>(next16 >> (16 - length));
        if (code <= table.maxCode[length]) {
            bits.Drop(static_cast<unsigned>(length));
            return table.symbols[(table.symbolOffset[length] + code) & 255];
        }
    }
    bits.Drop(16);
    return 0;
}

// The next code's symbol; needs 16 bits in the reader.
int DecodeSymbol(const HuffmanLookup& table, BitReader& bits) {
    const std::uint16_t entry = table.first[bits.Peek(kLookBits)];
    if (entry == 0) return DecodeLongCode(table, bits);
    bits.Drop(entry >> 8);
    return entry & 0xFF;
}

// A value of `category` (1 to 15) bits; refills the reader first.
std::int32_t ReadMagnitude(BitReader& bits, int category) {
    bits.RefillIfLow();
    const auto value = static_cast<std::int32_t>(bits.Peek(static_cast<unsigned>(category)));
    bits.Drop(static_cast<unsigned>(category));
    return Extend(value, category);
}

int DecodeDcDifference(const HuffmanLookup& table, BitReader& bits) {
    bits.RefillIfLow();
    const int category = DecodeSymbol(table, bits) & 15;
    return category == 0 ? 0 : ReadMagnitude(bits, category);
}

// Reads a block's AC codes one at a time as far as the coefficients right
// of, below and diagonal to the first (zigzag positions 1, 2 and 4) and
// keeps those three. Returns the next coefficient; 64 when the block ended.
std::uint32_t ReadLowCoefficients(const HuffmanLookup& table, BitReader& bits, std::int32_t (&low)[3]) {
    low[0] = low[1] = low[2] = 0;
    std::uint32_t next = 1;
    while (next <= 4) {
        bits.RefillIfLow();
        const std::uint32_t entry = table.valued[bits.Peek(kLookBits)];
        int symbol = 0;
        std::int32_t value = 0;
        if (entry != 0) [[likely]] {
            bits.Drop(entry & 0xFF);
            symbol = static_cast<int>((entry >> 8) & 0xFF);
            value = static_cast<std::int16_t>(entry >> 16);
        } else {
            symbol = DecodeSymbol(table, bits);
            if ((symbol & 15) != 0) value = ReadMagnitude(bits, symbol & 15);
        }
        if (EndsBlock(symbol)) return 64;
        if ((symbol & 15) == 0) {
            next += 16;
            continue;
        }
        next += static_cast<std::uint32_t>(symbol >> 4);
        if (next == 1) low[0] = value;
        if (next == 2) low[1] = value;
        if (next == 4) low[2] = value;
        ++next;
    }
    return next;
}

// Passes over the AC codes of one block from coefficient `next` (1 to 63).
void SkipAcCodes(const HuffmanLookup& table, BitReader& bits, std::uint32_t next) {
    for (;;) {
        bits.Refill();
        // A look-up drops at most 27 bits, so a refill serves two.
        for (int lookup = 0; lookup < 2; ++lookup) {
            const std::uint32_t entry = table.packed[bits.Peek(kLookBits)];
            if (entry != 0) [[likely]] {
                const std::uint32_t advance = (entry >> 8) & 0x7F;
                if (next + advance < 64) [[likely]] {
                    bits.Drop(entry & 0xFF);
                    if (entry & 0x8000) return;
                    next += advance;
                    continue;
                }
                // The codes run on past this block: the first alone.
                bits.Drop((entry >> 16) & 0xFF);
                if (entry & 0x80000000u) return;
                next += (entry >> 24) & 0x7F;
                if (next >= 64) return;
                continue;
            }
            bits.RefillIfLow();
            const int symbol = DecodeLongCode(table, bits);
            bits.Drop(static_cast<unsigned>(symbol & 15));
            if (EndsBlock(symbol)) return;
            next += static_cast<std::uint32_t>(Advance(symbol));
            if (next >= 64) return;
            break;  // refill before the next look-up
        }
    }
}

// A component's quantisers as shares of a sample, in 1/65536: a sample is
// 128 plus the first coefficient times `mean`, plus or minus (left or
// right, top or bottom) the three low ones times theirs for a quarter.
struct SampleWeights {
    std::int64_t mean;
    std::int64_t low[3];
};

SampleWeights WeightsOf(const ScanComponent& component) {
    // The inverse DCT's cosine of frequency 1 averaged over half a block,
    // with the transform's scale: 1/(4 sqrt 2) of it for a coefficient of
    // one direction, 1/4 of its square for the diagonal one.
    constexpr double kHalfMean = 0.6407288619353766;  // (cos pi/16 + cos 3pi/16 + cos 5pi/16 + cos 7pi/16) / 4
    constexpr double kOneWay = kHalfMean / 5.656854249492381;
    constexpr double kBothWays = kHalfMean * kHalfMean / 4;
    const auto share = [](double weight, int quantiser) {
        return static_cast<std::int64_t>(weight * quantiser * 65536.0 + (weight >= 0 ? 0.5 : -0.5));
    };
    return {std::int64_t{component.dcQuantiser} * 8192,
            {share(kOneWay, component.lowQuantisers[0]), share(kOneWay, component.lowQuantisers[1]),
             share(kBothWays, component.lowQuantisers[2])}};
}

std::uint8_t Sample(std::int64_t fixed) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(((fixed + 32768) >> 16) + 128, 0, 255));
}

// The block's mean: as a 1x1 inverse DCT gives it, the 16-bit coefficient
// dequantised being eight times the mean less 128.
std::uint8_t BlockMean(std::int32_t dc, const SampleWeights& weights) {
    return Sample(std::int64_t{static_cast<std::int16_t>(dc)} * weights.mean);
}

// The block's quarters into two rows of two samples.
void WriteQuarters(std::int32_t dc, const std::int32_t (&low)[3], const SampleWeights& weights, std::uint8_t* top,
                   std::uint8_t* bottom) {
    const std::int64_t mean = std::int64_t{static_cast<std::int16_t>(dc)} * weights.mean;
    const std::int64_t across = low[0] * weights.low[0];
    const std::int64_t down = low[1] * weights.low[1];
    const std::int64_t diagonal = low[2] * weights.low[2];
    top[0] = Sample(mean + across + down + diagonal);
    top[1] = Sample(mean - across + down - diagonal);
    bottom[0] = Sample(mean + across - down - diagonal);
    bottom[1] = Sample(mean - across - down + diagonal);
}

}  // namespace

bool ReadBlockMeans(const std::uint8_t* data, std::size_t size, const SequentialScan& scan, BlockSamples samples,
                    std::vector<BlockPlane>& planes) {
    const std::size_t components = scan.components.size();
    if (components == 0 || components > 4 || scan.width <= 0 || scan.height <= 0) return false;
    std::map<std::pair<const std::uint8_t*, bool>, std::unique_ptr<HuffmanLookup>> lookups;  // by counts
    struct Reading {
        const HuffmanLookup* dc;
        const HuffmanLookup* ac;
        int h;
        int v;
    };
    std::vector<Reading> readings;
    int hMax = 1;
    int vMax = 1;
    for (const ScanComponent& component : scan.components) {
        if (component.dcTable.counts == nullptr || component.dcTable.symbols == nullptr ||
            component.acTable.counts == nullptr || component.acTable.symbols == nullptr)
            return false;
        // A scan of one component has blocks, not MCUs, whatever its factors.
        const int h = components == 1 ? 1 : component.hSampling;
        const int v = components == 1 ? 1 : component.vSampling;
        if (h < 1 || h > 4 || v < 1 || v > 4) return false;
        Reading reading{nullptr, nullptr, h, v};
        for (const bool ac : {false, true}) {
            const StoredHuffmanTable& stored = ac ? component.acTable : component.dcTable;
            auto& lookup = lookups[{stored.counts, ac}];
            if (!lookup) {
                lookup = std::make_unique<HuffmanLookup>();
                if (!BuildLookup(stored, ac, *lookup)) return false;
            }
            (ac ? reading.ac : reading.dc) = lookup.get();
        }
        readings.push_back(reading);
        hMax = std::max(hMax, h);
        vMax = std::max(vMax, v);
    }
    std::vector<SampleWeights> weights;
    for (const ScanComponent& component : scan.components) weights.push_back(WeightsOf(component));
    const int mcuColumns = (scan.width + 8 * hMax - 1) / (8 * hMax);
    const int mcuRows = (scan.height + 8 * vMax - 1) / (8 * vMax);
    planes.assign(components, {});
    for (std::size_t c = 0; c < components; ++c) {
        planes[c].side = c == 0 && samples == BlockSamples::kLumaQuarters ? 2 : 1;
        planes[c].columns = mcuColumns * readings[c].h * planes[c].side;
        planes[c].rows = mcuRows * readings[c].v * planes[c].side;
        planes[c].samples.assign(static_cast<std::size_t>(planes[c].columns) * static_cast<std::size_t>(planes[c].rows),
                                 std::uint8_t{128});
    }

    BitReader bits(data, size);
    bits.StartAt(data);
    std::int32_t predictions[4] = {};
    bool exhausted = false;  // this interval's data ran out: its remaining blocks stay grey
    int untilRestart = scan.restartInterval;
    for (int mcuRow = 0; mcuRow < mcuRows; ++mcuRow) {
        for (int mcuColumn = 0; mcuColumn < mcuColumns; ++mcuColumn) {
            if (scan.restartInterval > 0) {
                if (untilRestart == 0) {
                    const std::uint8_t* const interval = AfterRestartMarker(bits.Next(), data + size);
                    exhausted = interval == nullptr;
                    if (!exhausted) bits.StartAt(interval);
                    std::fill(std::begin(predictions), std::end(predictions), 0);
                    untilRestart = scan.restartInterval;
                }
                --untilRestart;
            }
            if (exhausted) continue;
            for (std::size_t c = 0; c < components; ++c) {
                const Reading& reading = readings[c];
                BlockPlane& plane = planes[c];
                const auto columns = static_cast<std::size_t>(plane.columns);
                const int side = plane.side;
                for (int y = 0; y < reading.v; ++y) {
                    std::uint8_t* row = plane.samples.data() +
                                        static_cast<std::size_t>((mcuRow * reading.v + y) * side) * columns +
                                        static_cast<std::size_t>(mcuColumn * reading.h * side);
                    for (int x = 0; x < reading.h; ++x) {
                        // Wraps rather than overflows on corrupt data.
                        predictions[c] = static_cast<std::int32_t>(static_cast<std::uint32_t>(predictions[c]) +
                                                                   static_cast<std::uint32_t>(DecodeDcDifference(*reading.dc, bits)));
                        if (side == 1) {
                            row[x] = BlockMean(predictions[c], weights[c]);
                            SkipAcCodes(*reading.ac, bits, 1);
                            continue;
                        }
                        std::int32_t low[3];
                        const std::uint32_t next = ReadLowCoefficients(*reading.ac, bits, low);
                        if (next < 64) SkipAcCodes(*reading.ac, bits, next);
                        WriteQuarters(predictions[c], low, weights[c], row + 2 * x, row + columns + 2 * x);
                    }
                }
            }
            // Past the interval's data this MCU was read from zeros, as
            // libjpeg reads it; the blocks after it stay grey.
            if (bits.ReadPastData()) exhausted = true;
        }
    }
    return true;
}

}  // namespace cs

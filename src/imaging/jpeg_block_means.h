#pragma once
// A picture decoded at 1/8 of its size keeps one sample of each 8x8 block:
// its mean, which the block's first (DC) coefficient alone gives. Reading a
// sequential Huffman-coded scan for those coefficients only, with the codes
// of the other 63 passed over several to a table look-up and never turned
// into coefficients, costs about two thirds of a library decode at 1/8 and
// gives the same samples. The texture loader's big JPEGs come this way.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace cs {

// A Huffman table as a JPEG file stores it: how many codes there are of each
// length from 1 to 16 bits, then the symbols in the order of their codes.
struct HuffmanTableSpec {
    std::uint8_t counts[16] = {};
    std::uint8_t symbols[256] = {};
};

struct ScanComponent {
    int hSampling = 1;
    int vSampling = 1;
    int dcQuantiser = 1;  // the first entry of the component's quantisation table
    const HuffmanTableSpec* dcTable = nullptr;
    const HuffmanTableSpec* acTable = nullptr;
};

// A scan that holds every component of the picture, interleaved.
struct SequentialScan {
    std::int32_t width = 0;   // the picture's, in pixels
    std::int32_t height = 0;
    int restartInterval = 0;  // in MCUs; 0: no restart markers
    std::vector<ScanComponent> components;
};

// One component's block means as samples, `columns` x `rows` blocks row by
// row, as many as whole MCUs hold.
struct BlockPlane {
    int columns = 0;
    int rows = 0;
    std::vector<std::uint8_t> samples;
};

// Reads the entropy-coded data starting at `data` (just past the scan's
// header; it ends at `size` or at the first marker that is not a restart
// marker) into one plane a component. False, with nothing read, for a
// Huffman table that is not a valid code or a scan this cannot read (more
// than four components, sampling factors outside 1 to 4). Data that ends
// early leaves the blocks from there on mid-grey, as libjpeg does; corrupt
// codes read as the nearest thing they can and never outside the data.
bool ReadBlockMeans(const std::uint8_t* data, std::size_t size, const SequentialScan& scan,
                    std::vector<BlockPlane>& planes);

}  // namespace cs

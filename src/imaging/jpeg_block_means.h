#pragma once
// A picture decoded at 1/8 of its size keeps one sample of each 8x8 block:
// its mean, which the block's first (DC) coefficient alone gives. Reading a
// sequential Huffman-coded scan for that coefficient only (or for the first
// four, see BlockSamples), with the codes of the rest passed over several to
// a table look-up and never turned into coefficients, costs well under a
// library decode at 1/8. The texture loader's big JPEGs come this way.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace cs {

// A Huffman table as a JPEG file stores it, where it lies: how many codes
// there are of each length from 1 to 16 bits (16 counts), then the symbols
// in the order of their codes (room for 256).
struct StoredHuffmanTable {
    const std::uint8_t* counts = nullptr;
    const std::uint8_t* symbols = nullptr;
};

struct ScanComponent {
    int hSampling = 1;
    int vSampling = 1;
    int dcQuantiser = 1;  // the first entry of the component's quantisation table
    // The entries of the coefficients right of, below and diagonal to the
    // first (natural order 1, 8 and 9), for quarters of blocks.
    int lowQuantisers[3] = {1, 1, 1};
    StoredHuffmanTable dcTable;
    StoredHuffmanTable acTable;
};

// A scan that holds every component of the picture, interleaved.
struct SequentialScan {
    std::int32_t width = 0;   // the picture's, in pixels
    std::int32_t height = 0;
    int restartInterval = 0;  // in MCUs; 0: no restart markers
    std::vector<ScanComponent> components;
};

// What a block gives: its mean, or for the first component (the luma,
// which carries the detail) the means of its four 4x4 quarters, which the
// coefficients right of, below and diagonal to the first give closely (the
// higher ones, small in a photograph, left out) at little more cost.
enum class BlockSamples { kMeans, kLumaQuarters };

// One component's samples, `columns` x `rows` row by row, `side` (1 or 2)
// a block each way, as many as whole MCUs hold.
struct BlockPlane {
    int columns = 0;
    int rows = 0;
    int side = 1;
    std::vector<std::uint8_t> samples;
};

// Reads the entropy-coded data starting at `data` (just past the scan's
// header; it ends at `size` or at the first marker that is not a restart
// marker) into one plane a component. False, with nothing read, for a
// Huffman table that is not a valid code or a scan this cannot read (more
// than four components, sampling factors outside 1 to 4). Data that ends
// early leaves the blocks from there on mid-grey, as libjpeg does; corrupt
// codes read as the nearest thing they can and never outside the data.
bool ReadBlockMeans(const std::uint8_t* data, std::size_t size, const SequentialScan& scan, BlockSamples samples,
                    std::vector<BlockPlane>& planes);

}  // namespace cs

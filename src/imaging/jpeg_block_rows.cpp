#include "imaging/jpeg_block_rows.h"

#include <algorithm>
#include <vector>

#include "imaging/jpeg_block_means.h"
#include "imaging/ycc_to_bgra.h"

namespace cs {

namespace {

// Rows handed to the receiver at a time, as the library's rows are.
constexpr std::int32_t kBandRows = 16;

// The first scan as ReadBlockMeans takes it, its tables where the library
// keeps them. False when a table it names is missing.
bool DescribeScan(const jpeg_decompress_struct& info, SequentialScan& scan) {
    scan.width = static_cast<std::int32_t>(info.image_width);
    scan.height = static_cast<std::int32_t>(info.image_height);
    scan.restartInterval = static_cast<int>(info.restart_interval);
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        const JHUFF_TBL* dc = info.dc_huff_tbl_ptrs[component.dc_tbl_no];
        const JHUFF_TBL* ac = info.ac_huff_tbl_ptrs[component.ac_tbl_no];
        if (dc == nullptr || ac == nullptr) return false;
        const UINT16* quantisers = info.quant_tbl_ptrs[component.quant_tbl_no]->quantval;  // natural order
        // The library's counts start at length 0, which has none.
        scan.components.push_back({component.h_samp_factor, component.v_samp_factor, quantisers[0],
                                   {quantisers[1], quantisers[8], quantisers[9]},
                                   {dc->bits + 1, dc->huffval},
                                   {ac->bits + 1, ac->huffval}});
    }
    return true;
}

// Spreads the planes' samples over the output's rows at 1/4 of the
// picture's size: each sample over the pixels its block (or quarter) covers.
class BlockSpreader {
public:
    BlockSpreader(const std::vector<BlockPlane>& planes, const SequentialScan& scan, std::int32_t width)
        : planes_(planes), width_(width) {
        const bool single = scan.components.size() == 1;
        for (const ScanComponent& component : scan.components) {
            hMax_ = std::max(hMax_, single ? 1 : component.hSampling);
            vMax_ = std::max(vMax_, single ? 1 : component.vSampling);
        }
        for (std::size_t c = 0; c < planes.size(); ++c) {
            // A pixel of the output is a quarter of a block of the most
            // finely sampled component.
            const int h = (single ? 1 : scan.components[c].hSampling) * planes[c].side;
            const int v = (single ? 1 : scan.components[c].vSampling) * planes[c].side;
            vScales_.push_back(v);
            std::vector<std::int32_t>& columns = columnOf_.emplace_back(static_cast<std::size_t>(width));
            for (std::int32_t x = 0; x < width; ++x) columns[static_cast<std::size_t>(x)] = x * h / (2 * hMax_);
        }
    }

    // Output row y, one line of `width` samples a component after another.
    void Row(std::int32_t y, std::uint8_t* lines) const {
        for (std::size_t c = 0; c < planes_.size(); ++c, lines += width_) {
            const BlockPlane& plane = planes_[c];
            const std::uint8_t* source =
                plane.samples.data() + static_cast<std::size_t>(y * vScales_[c] / (2 * vMax_)) * static_cast<std::size_t>(plane.columns);
            const std::int32_t* columns = columnOf_[c].data();
            for (std::int32_t x = 0; x < width_; ++x) lines[x] = source[columns[x]];
        }
    }

private:
    const std::vector<BlockPlane>& planes_;
    std::int32_t width_;
    int hMax_ = 1;
    int vMax_ = 1;
    std::vector<int> vScales_;
    std::vector<std::vector<std::int32_t>> columnOf_;
};

void GreyToBgra(const std::uint8_t* grey, std::int32_t width, std::uint8_t* out) {
    for (std::int32_t x = 0; x < width; ++x, out += 4) {
        out[0] = out[1] = out[2] = grey[x];
        out[3] = 255;
    }
}

}  // namespace

bool BlockQuartersReadable(const jpeg_decompress_struct& info) {
    if (info.progressive_mode || info.arith_code || info.data_precision != 8 || info.CCIR601_sampling) return false;
    const bool grey = info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE;
    const bool ycc = info.num_components == 3 && info.jpeg_color_space == JCS_YCbCr;
    if (!(grey || ycc) || info.comps_in_scan != info.num_components) return false;
    if (info.Ss != 0 || info.Se != 63 || info.Ah != 0 || info.Al != 0) return false;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        // The scan in the frame's order, so each component once, and table
        // numbers as the header gave them (up to 15) in range.
        if (info.cur_comp_info[c] != &component || component.dc_tbl_no < 0 || component.dc_tbl_no >= NUM_HUFF_TBLS ||
            component.ac_tbl_no < 0 || component.ac_tbl_no >= NUM_HUFF_TBLS)
            return false;
        if (info.max_h_samp_factor % component.h_samp_factor != 0 ||
            info.max_v_samp_factor % component.v_samp_factor != 0 || component.quant_tbl_no < 0 ||
            component.quant_tbl_no >= NUM_QUANT_TBLS || info.quant_tbl_ptrs[component.quant_tbl_no] == nullptr)
            return false;
    }
    return true;
}

bool SendBlockQuarters(const jpeg_decompress_struct& info, Resolution resolution, ProgressSink* progress,
                       RowReceiver& receiver) {
    SequentialScan scan;
    std::vector<BlockPlane> planes;
    if (!DescribeScan(info, scan) ||
        !ReadBlockMeans(info.src->next_input_byte, info.src->bytes_in_buffer, scan, BlockSamples::kLumaQuarters, planes))
        return false;

    // As the library rounds a reduced size: up.
    const auto width = static_cast<std::int32_t>((info.image_width + 3) / 4);
    const auto height = static_cast<std::int32_t>((info.image_height + 3) / 4);
    receiver.Begin(width, height, false, resolution);
    const std::size_t rowBytes = Bitmap::RowBytes(width, 32);
    std::vector<std::uint8_t> band(kBandRows * rowBytes);
    std::vector<std::uint8_t> lines(planes.size() * static_cast<std::size_t>(width));
    const std::uint8_t* rows[kBandRows];
    const BlockSpreader spreader(planes, scan, width);
    for (std::int32_t top = 0; top < height; top += kBandRows) {
        const int count = static_cast<int>(std::min<std::int32_t>(kBandRows, height - top));
        for (int i = 0; i < count; ++i) {
            std::uint8_t* out = band.data() + static_cast<std::size_t>(i) * rowBytes;
            spreader.Row(top + i, lines.data());
            if (planes.size() == 1) {
                GreyToBgra(lines.data(), width, out);
            } else {
                YccToBgra(lines.data(), lines.data() + width, lines.data() + 2 * width, width, out);
            }
            rows[i] = out;
        }
        receiver.TakeRows(rows, count);
        if (progress != nullptr) progress->OnProgress(static_cast<double>(top + count) / height);
    }
    return true;
}

}  // namespace cs

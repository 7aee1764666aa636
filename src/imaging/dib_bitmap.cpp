#include "imaging/bitmap.h"

#include <algorithm>
#include <cstring>

#include "imaging/pl_exception.h"

namespace cs {
namespace {

void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::size_t DibStride(std::int32_t width, std::uint16_t bits) {
    return (Bitmap::RowBytes(width, bits) + 3) & ~std::size_t{3};
}

}  // namespace

DibBitmap::DibBitmap() { Create(16, 16, 8, false); }

std::size_t DibBitmap::MemoryUsed() const {
    return sizeof(*this) + block_.size() + rows_.size() * sizeof(std::uint8_t*);
}

std::size_t DibBitmap::BytesPerRow() const { return DibStride(Width(), BitsPerPixel()); }

void DibBitmap::AllocateStorage(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                                bool hasAlpha) {
    const std::size_t entries = bitsPerPixel <= 8 ? std::size_t{1} << bitsPerPixel : 0;
    bitsOffset_ = kInfoHeaderSize + entries * sizeof(Pixel32);
    // Create has checked the pixel count, so this cannot overflow.
    block_.assign(bitsOffset_ + DibStride(width, bitsPerPixel) * static_cast<std::size_t>(height), 0);

    std::uint8_t* h = block_.data();
    PutU32(h + 0, kInfoHeaderSize);
    PutU32(h + 4, static_cast<std::uint32_t>(width));
    PutU32(h + 8, static_cast<std::uint32_t>(height));
    PutU16(h + 12, 1);
    PutU16(h + 14, bitsPerPixel);
    // Compression, image size, both pixels-per-metre fields and both colour
    // counts stay 0.

    palette_ = entries != 0 ? reinterpret_cast<Pixel32*>(h + kInfoHeaderSize) : nullptr;
    RecordFormat(width, height, bitsPerPixel, hasAlpha);
    BuildRowTable();
    SetGreyPalette();
}

void DibBitmap::FreeStorage() {
    ClearFormat();
    block_ = {};
    bitsOffset_ = 0;
}

void DibBitmap::BuildRowTable() {
    const std::size_t stride = BytesPerRow();
    const auto height = static_cast<std::size_t>(Height());
    rows_.resize(height);
    std::uint8_t* bits = block_.data() + bitsOffset_;
    for (std::size_t i = 0; i < height; ++i) rows_[i] = bits + (height - 1 - i) * stride;
}

void DibBitmap::CreateFromPacked(const std::uint8_t* packed, std::size_t size) {
    if (packed == nullptr || size < kInfoHeaderSize) ThrowDecoderError(plerr::kMalformed, "Packed bitmap is too short.");
    const std::uint32_t headerSize = GetU32(packed);
    const auto width = static_cast<std::int32_t>(GetU32(packed + 4));
    const auto height = static_cast<std::int32_t>(GetU32(packed + 8));
    const std::uint16_t planes = GetU16(packed + 12);
    const std::uint16_t bits = GetU16(packed + 14);
    const std::uint32_t compression = GetU32(packed + 16);
    const std::uint32_t coloursUsed = GetU32(packed + 32);
    if (headerSize != kInfoHeaderSize || planes != 1 || compression != 0 ||
        !(bits == 1 || bits == 8 || bits == 24 || bits == 32)) {
        ThrowDecoderError(plerr::kMalformed, "Unsupported packed bitmap format.");
    }
    if (width < 1 || height < 1) ThrowDecoderError(plerr::kMalformed, pltext::kBadDimensions);

    const std::size_t fullTable = bits <= 8 ? std::size_t{1} << bits : 0;
    const std::size_t tableEntries = coloursUsed != 0 ? std::min<std::size_t>(coloursUsed, fullTable) : fullTable;
    const std::uint64_t rowsBytes = std::uint64_t{DibStride(width, bits)} * static_cast<std::uint64_t>(height);
    const std::uint64_t needed = kInfoHeaderSize + tableEntries * 4 + rowsBytes;
    if (needed > size) ThrowDecoderError(plerr::kMalformed, "Packed bitmap is too short.");

    Create(width, height, bits, false);
    // The header's own fields (resolution, colour counts) travel with it,
    // except the colour count, which now describes a full table.
    std::memcpy(block_.data(), packed, kInfoHeaderSize);
    PutU32(block_.data() + 32, 0);
    if (tableEntries != 0) std::memcpy(palette_, packed + kInfoHeaderSize, tableEntries * sizeof(Pixel32));
    std::memcpy(block_.data() + bitsOffset_, packed + kInfoHeaderSize + tableEntries * 4,
                static_cast<std::size_t>(rowsBytes));
}

}  // namespace cs

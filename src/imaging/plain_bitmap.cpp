#include "imaging/bitmap.h"

namespace cs {

PlainBitmap::PlainBitmap() { Create(16, 16, 8, false); }

std::size_t PlainBitmap::MemoryUsed() const {
    return sizeof(*this) + pixels_.size() + palette_storage_.size() * sizeof(Pixel32) +
           rows_.size() * sizeof(std::uint8_t*);
}

void PlainBitmap::AllocateStorage(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                                  bool hasAlpha) {
    // Create has checked the pixel count, so this product cannot overflow.
    pixels_.assign(RowBytes(width, bitsPerPixel) * static_cast<std::size_t>(height), 0);
    if (bitsPerPixel <= 8) palette_storage_.assign(std::size_t{1} << bitsPerPixel, Pixel32{});
    palette_ = bitsPerPixel <= 8 ? palette_storage_.data() : nullptr;
    RecordFormat(width, height, bitsPerPixel, hasAlpha);
    BuildRowTable();
    SetGreyPalette();
}

void PlainBitmap::FreeStorage() {
    ClearFormat();
    pixels_ = {};
    palette_storage_ = {};
}

void PlainBitmap::BuildRowTable() {
    const std::size_t stride = BytesPerRow();
    rows_.resize(static_cast<std::size_t>(Height()));
    for (std::size_t y = 0; y < rows_.size(); ++y) rows_[y] = pixels_.data() + y * stride;
}

}  // namespace cs

#pragma once
// In-memory pictures of the decoding layer: 1, 8, 24 or 32 bits per pixel,
// 32-bit pixels as bytes B, G, R, A, and a row table whose entry 0 is always
// the top row wherever the storage keeps it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/pl_object.h"

namespace cs {

class BitmapFilter;

// One 32-bit pixel, and equally one palette entry (the layout of an RGBQUAD).
struct Pixel32 {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t a = 0;
    friend bool operator==(const Pixel32&, const Pixel32&) = default;
};
static_assert(sizeof(Pixel32) == 4);

// Dots per inch; 0 when the picture records none.
struct Resolution {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Resolution&, const Resolution&) = default;
};

// No bitmap may have more pixels than this (2^28: 1 GiB at 32 bits). Creating
// a larger one throws code 10 before anything is allocated. Tools and fuzzers
// may lower the limit for the whole process; it can never be raised above
// the default.
inline constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 28;
void SetBitmapPixelLimit(std::uint64_t pixels);
std::uint64_t BitmapPixelLimit();

class Bitmap : public PLObject {
public:
    Bitmap() = default;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap() override = default;

    // Frees the storage, allocates it anew for the format (rows zeroed,
    // palette a grey ramp when bits <= 8) and records the resolution.
    // Throws PLTextException: code 2 for a negative size or a depth other
    // than 1, 8, 24, 32; code 10 when the pixel limit is exceeded or the
    // storage cannot be allocated.
    virtual void Create(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                        bool hasAlpha, Resolution resolution = {});
    virtual std::size_t MemoryUsed() const = 0;
    // Distance in bytes between the starts of two rows in storage.
    virtual std::size_t BytesPerRow() const;
    virtual void Lock(bool read, bool write);
    virtual void Unlock();

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::uint16_t BitsPerPixel() const { return bitsPerPixel_; }
    bool HasAlpha() const { return hasAlpha_; }
    void SetHasAlpha(bool hasAlpha) { hasAlpha_ = hasAlpha; }
    Resolution GetResolution() const { return resolution_; }
    void SetResolution(Resolution resolution) { resolution_ = resolution; }
    int LockCount() const { return lockCount_; }

    // 2^bits entries when bits <= 8, otherwise none (nullptr, 0).
    Pixel32* Palette() { return palette_; }
    const Pixel32* Palette() const { return palette_; }
    std::size_t PaletteSize() const;
    void SetPaletteEntry(std::size_t index, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                         std::uint8_t a = 255);
    // Entry i = (255 / (n - 1)) * i in B, G and R, A = 255; does nothing
    // when the bitmap has no palette.
    void SetGreyPalette();

    // Row y counted from the top of the picture.
    std::uint8_t* Row(std::int32_t y) { return rows_[static_cast<std::size_t>(y)]; }
    const std::uint8_t* Row(std::int32_t y) const { return rows_[static_cast<std::size_t>(y)]; }
    std::uint8_t* const* RowTable() { return rows_.data(); }

    // Bytes that hold one row's pixels, without any padding.
    static std::size_t RowBytes(std::int32_t width, std::uint16_t bitsPerPixel);

    // Makes this bitmap a copy of source converted to bitsPerPixel (0 = the
    // source's depth). Conversions: 1/8/24 -> 32, 1/8/32 -> 24, 8/24/32 -> 1,
    // 1 -> 8, and a fixed 3-3-2 colour cube for 24/32 -> 8. The resolution is
    // copied; the alpha flag carries over only to 32 bits. Copying a bitmap
    // onto itself at its own depth does nothing.
    void CreateCopy(const Bitmap& source, std::uint16_t bitsPerPixel = 0);

    // Applies the filter in place; defined with the filters.
    void ApplyFilter(const BitmapFilter& filter);

protected:
    virtual void AllocateStorage(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                                 bool hasAlpha) = 0;
    virtual void FreeStorage() = 0;
    virtual void BuildRowTable() = 0;

    // For subclasses' AllocateStorage: records the format before the row
    // table is built.
    void RecordFormat(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                      bool hasAlpha);
    void ClearFormat();

    std::vector<std::uint8_t*> rows_;
    Pixel32* palette_ = nullptr;  // points into the subclass's storage

private:
    void ConvertFrom(const Bitmap& source);

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::uint16_t bitsPerPixel_ = 0;
    bool hasAlpha_ = false;
    Resolution resolution_;
    int lockCount_ = 0;
};

// Holds a bitmap locked for the lifetime of the guard, so that a decoder
// that throws half-way still unlocks its target.
class BitmapLock {
public:
    BitmapLock(Bitmap& bitmap, bool read, bool write) : bitmap_(bitmap) { bitmap_.Lock(read, write); }
    ~BitmapLock() { bitmap_.Unlock(); }
    BitmapLock(const BitmapLock&) = delete;
    BitmapLock& operator=(const BitmapLock&) = delete;

private:
    Bitmap& bitmap_;
};

// Rows top-down in one block with no padding; the palette in a block of its
// own. A new one is 16 x 16 at 8 bits.
class PlainBitmap : public Bitmap {
public:
    PlainBitmap();
    ~PlainBitmap() override = default;

    std::size_t MemoryUsed() const override;

protected:
    void AllocateStorage(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                         bool hasAlpha) override;
    void FreeStorage() override;
    void BuildRowTable() override;

private:
    std::vector<std::uint8_t> pixels_;
    std::vector<Pixel32> palette_storage_;
};

// The whole picture as one packed device-independent bitmap: a 40-byte
// BITMAPINFOHEADER, a colour table of 2^bits entries for bit counts up to
// 8, then the rows bottom-up, each padded to a multiple of 4 bytes. The
// block can be handed to GDI as it is (see win32/dib_gdi.h). A new one is
// 16 x 16 at 8 bits.
class DibBitmap : public Bitmap {
public:
    static constexpr std::size_t kInfoHeaderSize = 40;

    DibBitmap();
    ~DibBitmap() override = default;

    std::size_t MemoryUsed() const override;
    std::size_t BytesPerRow() const override;

    // Copies a packed bitmap (BITMAPINFOHEADER, colour table, rows). The
    // header must be the 40-byte kind, uncompressed, bottom-up, at 1, 8, 24
    // or 32 bits; a colours-used count below 2^bits is honoured. Throws
    // code 2 for anything else or when `size` is too short for the header's
    // content, code 10 as Create does.
    void CreateFromPacked(const std::uint8_t* packed, std::size_t size);

    const std::uint8_t* PackedData() const { return block_.data(); }
    std::size_t PackedSize() const { return block_.size(); }
    // Start of the rows (the bottom row first).
    const std::uint8_t* Bits() const { return block_.data() + bitsOffset_; }
    std::uint8_t* Bits() { return block_.data() + bitsOffset_; }

protected:
    void AllocateStorage(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
                         bool hasAlpha) override;
    void FreeStorage() override;
    void BuildRowTable() override;

private:
    std::vector<std::uint8_t> block_;
    std::size_t bitsOffset_ = 0;
};

}  // namespace cs

#include "imaging/bitmap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>

#include "imaging/pl_exception.h"

namespace cs {
namespace {

std::atomic<std::uint64_t> g_pixelLimit{kMaxBitmapPixels};

bool ValidDepth(std::uint16_t bits) { return bits == 1 || bits == 8 || bits == 24 || bits == 32; }

// Index i of a 3-3-2 colour cube: red in the top three bits.
Pixel32 CubeColour(unsigned i) {
    Pixel32 p;
    p.r = static_cast<std::uint8_t>(((i >> 5) & 7) * 255 / 7);
    p.g = static_cast<std::uint8_t>(((i >> 2) & 7) * 255 / 7);
    p.b = static_cast<std::uint8_t>((i & 3) * 255 / 3);
    p.a = 255;
    return p;
}

std::uint8_t CubeIndex(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    auto level = [](std::uint8_t v, int steps) { return (v * steps + 127) / 255; };
    return static_cast<std::uint8_t>((level(r, 7) << 5) | (level(g, 7) << 2) | level(b, 3));
}

}  // namespace

void SetBitmapPixelLimit(std::uint64_t pixels) { g_pixelLimit = std::min(pixels, kMaxBitmapPixels); }
std::uint64_t BitmapPixelLimit() { return g_pixelLimit; }

void Bitmap::Create(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel, bool hasAlpha,
                    Resolution resolution) {
    if (width < 0 || height < 0) ThrowDecoderError(plerr::kMalformed, pltext::kBadDimensions);
    if (!ValidDepth(bitsPerPixel)) ThrowDecoderErrorf(plerr::kMalformed, "Unsupported bit depth %u.", bitsPerPixel);
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > BitmapPixelLimit()) {
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
    }
    FreeStorage();
    try {
        AllocateStorage(width, height, bitsPerPixel, hasAlpha);
    } catch (const std::bad_alloc&) {
        FreeStorage();
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
    } catch (const std::length_error&) {
        FreeStorage();
        ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
    }
    resolution_ = resolution;
}

std::size_t Bitmap::BytesPerRow() const { return RowBytes(width_, bitsPerPixel_); }

std::size_t Bitmap::RowBytes(std::int32_t width, std::uint16_t bitsPerPixel) {
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    std::size_t bytes = w * bitsPerPixel / 8;
    if (bitsPerPixel == 1 && w % 8 != 0) ++bytes;
    return bytes;
}

void Bitmap::Lock(bool, bool) { ++lockCount_; }
void Bitmap::Unlock() { --lockCount_; }

std::size_t Bitmap::PaletteSize() const {
    return palette_ != nullptr ? std::size_t{1} << bitsPerPixel_ : 0;
}

void Bitmap::SetPaletteEntry(std::size_t index, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    if (index >= PaletteSize()) return;
    palette_[index] = Pixel32{b, g, r, a};
}

void Bitmap::SetGreyPalette() {
    const std::size_t n = PaletteSize();
    if (n < 2) return;
    const unsigned step = 255 / static_cast<unsigned>(n - 1);
    for (std::size_t i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(step * i);
        palette_[i] = Pixel32{v, v, v, 255};
    }
}

void Bitmap::RecordFormat(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel, bool hasAlpha) {
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    hasAlpha_ = hasAlpha;
}

void Bitmap::ClearFormat() {
    width_ = 0;
    height_ = 0;
    rows_.clear();
    palette_ = nullptr;
}

void Bitmap::CreateCopy(const Bitmap& source, std::uint16_t bitsPerPixel) {
    const std::uint16_t depth = bitsPerPixel == 0 ? source.BitsPerPixel() : bitsPerPixel;
    if (depth == source.BitsPerPixel()) {
        if (&source == this) return;
        Create(source.Width(), source.Height(), depth, source.HasAlpha(), source.GetResolution());
        const std::size_t rowBytes = RowBytes(source.Width(), depth);
        for (std::int32_t y = 0; y < source.Height(); ++y) std::memcpy(Row(y), source.Row(y), rowBytes);
        if (PaletteSize() != 0) std::memcpy(palette_, source.Palette(), PaletteSize() * sizeof(Pixel32));
        return;
    }
    if (&source == this) {
        // Converting in place needs the old pixels while the new ones are
        // written: go through a copy.
        PlainBitmap copy;
        copy.CreateCopy(source);
        CreateCopy(copy, depth);
        return;
    }
    Create(source.Width(), source.Height(), depth, depth == 32 && source.HasAlpha(), source.GetResolution());
    ConvertFrom(source);
}

void Bitmap::ConvertFrom(const Bitmap& source) {
    const std::int32_t w = source.Width();
    const std::uint16_t from = source.BitsPerPixel();
    const std::uint16_t to = bitsPerPixel_;
    const Pixel32* palette = source.Palette();
    static const Pixel32 kTwoTone[2] = {{0, 0, 0, 255}, {255, 255, 255, 255}};
    if (palette == nullptr) palette = kTwoTone;  // only reachable for 1 bit

    // The source pixel as B, G, R, A whatever its depth.
    auto pixelAt = [&](const std::uint8_t* row, std::int32_t x) -> Pixel32 {
        switch (from) {
            case 1: return palette[(row[x / 8] >> (7 - x % 8)) & 1];
            case 8: return palette[row[x]];
            case 24: return Pixel32{row[3 * x], row[3 * x + 1], row[3 * x + 2], 255};
            default: return reinterpret_cast<const Pixel32*>(row)[x];
        }
    };

    if (to == 1) {
        palette_[0] = Pixel32{255, 255, 255, 255};
        palette_[1] = Pixel32{0, 0, 0, 255};
    } else if (to == 8 && from == 1) {
        palette_[0] = palette[0];
        palette_[1] = palette[1];
    } else if (to == 8) {
        for (unsigned i = 0; i < 256; ++i) palette_[i] = CubeColour(i);
    }

    for (std::int32_t y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* out = Row(y);
        if (to == 1) std::memset(out, 0, RowBytes(w, 1));
        for (std::int32_t x = 0; x < w; ++x) {
            switch (to) {
                case 32: {
                    const Pixel32 p = pixelAt(in, x);
                    std::memcpy(out + 4 * x, &p, 4);
                    break;
                }
                case 24: {
                    const Pixel32 p = pixelAt(in, x);
                    out[3 * x] = p.b;
                    out[3 * x + 1] = p.g;
                    out[3 * x + 2] = p.r;
                    break;
                }
                case 8:
                    if (from == 1) {
                        out[x] = (in[x / 8] >> (7 - x % 8)) & 1;
                    } else {
                        const Pixel32 p = pixelAt(in, x);
                        out[x] = CubeIndex(p.r, p.g, p.b);
                    }
                    break;
                case 1: {
                    const Pixel32 p = pixelAt(in, x);
                    if (p.r < 128 && p.g < 128 && p.b < 128) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                    break;
                }
            }
        }
    }
}

}  // namespace cs

#pragma once
// Recognising a picture by its first bytes.
#include <cstddef>
#include <cstdint>
#include <span>

namespace cs {

enum class PictureFormat {
    Unknown,
    Bmp,
    Tga,
    Gif,
    Tiff,
    Pict,
    Jpeg,
    Png,
    EpsTiff,
    Pcx,
    Pgm,
    Ppm,
    Psd,
};

// How many leading bytes DetectPictureFormat can look at. The PICT test
// reaches past the first 512 bytes.
inline constexpr std::size_t kDetectionBytes = 526;

// `head` holds the leading bytes (fewer when the data is shorter), `size`
// the size of the whole data. A test that needs a byte `head` does not hold
// does not match.
PictureFormat DetectPictureFormat(std::span<const std::uint8_t> head, std::size_t size);

}  // namespace cs

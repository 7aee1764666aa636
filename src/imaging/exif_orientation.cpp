#include "imaging/exif_orientation.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace cs {
namespace {

// IFD0 comes right after the TIFF header in every camera's files; a block
// that puts it further out is not worth following.
constexpr std::size_t kMaxTiffBytes = 8192;
// The segments before the first scan that are looked through.
constexpr std::size_t kMaxHeaderBytes = 256 * 1024;

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

class TiffReader {
public:
    TiffReader(std::span<const std::uint8_t> data, bool littleEndian) : data_(data), little_(littleEndian) {}

    bool Has(std::uint64_t at, std::uint64_t bytes) const { return at <= data_.size() && bytes <= data_.size() - at; }
    std::uint32_t U16(std::size_t at) const {
        const std::uint8_t* p = data_.data() + at;
        return little_ ? p[0] | p[1] << 8 : p[0] << 8 | p[1];
    }
    std::uint32_t U32(std::size_t at) const {
        return little_ ? U16(at) | U16(at + 2) << 16 : U16(at) << 16 | U16(at + 2);
    }
    std::size_t Size() const { return data_.size(); }

private:
    std::span<const std::uint8_t> data_;
    bool little_;
};

// The orientation in IFD0 of the TIFF structure of an Exif block.
int OrientationInTiff(std::span<const std::uint8_t> tiff) {
    if (tiff.size() < 8) return 1;
    bool little = false;
    if (tiff[0] == 'I' && tiff[1] == 'I') {
        little = true;
    } else if (!(tiff[0] == 'M' && tiff[1] == 'M')) {
        return 1;
    }
    const TiffReader r(tiff.first(std::min(tiff.size(), kMaxTiffBytes)), little);
    if (r.U16(2) != 42) return 1;
    const std::uint32_t ifd = r.U32(4);
    if (ifd < 8 || !r.Has(ifd, 2)) return 1;
    // Entries a lying count puts beyond the data are never read.
    const std::uint64_t entries = std::min<std::uint64_t>(r.U16(ifd), (r.Size() - ifd - 2) / 12);
    for (std::uint64_t k = 0; k < entries; ++k) {
        const std::size_t entry = ifd + 2 + static_cast<std::size_t>(k) * 12;
        if (r.U16(entry) != kOrientationTag) continue;
        // One SHORT, held in the entry itself.
        if (r.U16(entry + 2) != kShortType || r.U32(entry + 4) != 1) return 1;
        const std::uint32_t value = r.U16(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

// Where upright pixel (x, y) is found in the stored picture of width w and
// height h.
std::pair<std::int32_t, std::int32_t> StoredPixel(int orientation, std::int32_t x, std::int32_t y, std::int32_t w,
                                                  std::int32_t h) {
    switch (orientation) {
        case 2: return {w - 1 - x, y};
        case 3: return {w - 1 - x, h - 1 - y};
        case 4: return {x, h - 1 - y};
        case 5: return {y, x};
        case 6: return {y, h - 1 - x};
        case 7: return {w - 1 - y, h - 1 - x};
        case 8: return {w - 1 - y, x};
        default: return {x, y};
    }
}

}  // namespace

int ReadExifOrientation(std::span<const std::uint8_t> file) {
    file = file.first(std::min(file.size(), kMaxHeaderBytes));
    if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) return 1;
    std::size_t i = 2;
    while (i + 4 <= file.size()) {
        if (file[i] != 0xFF) return 1;
        const std::uint8_t marker = file[i + 1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return 1;  // the image data: no metadata after it
        const std::size_t length = static_cast<std::size_t>(file[i + 2]) << 8 | file[i + 3];
        if (length < 2) return 1;
        const std::size_t body = i + 4;
        const std::size_t end = std::min(i + 2 + length, file.size());
        constexpr std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
        if (marker == 0xE1 && end >= body + sizeof kExif && std::memcmp(file.data() + body, kExif, sizeof kExif) == 0)
            return OrientationInTiff(file.subspan(body + sizeof kExif, end - body - sizeof kExif));
        i += 2 + length;
    }
    return 1;
}

bool OrientationTurns(int orientation) { return orientation >= 5 && orientation <= 8; }

PictureSize UprightSize(PictureSize stored, int orientation) {
    return OrientationTurns(orientation) ? PictureSize{stored.height, stored.width} : stored;
}

void OrientBitmap(Bitmap& bitmap, int orientation) {
    if (orientation < 2 || orientation > 8 || bitmap.BitsPerPixel() != 32) return;
    PlainBitmap stored;
    stored.CreateCopy(bitmap);
    const std::int32_t w = stored.Width();
    const std::int32_t h = stored.Height();
    const PictureSize upright = UprightSize({w, h}, orientation);
    Resolution resolution = stored.GetResolution();
    if (OrientationTurns(orientation)) std::swap(resolution.x, resolution.y);
    bitmap.Create(upright.width, upright.height, 32, stored.HasAlpha(), resolution);
    BitmapLock lock(bitmap, false, true);
    for (std::int32_t y = 0; y < upright.height; ++y) {
        std::uint8_t* out = bitmap.Row(y);
        for (std::int32_t x = 0; x < upright.width; ++x, out += 4) {
            const auto [sx, sy] = StoredPixel(orientation, x, y, w, h);
            std::memcpy(out, stored.Row(sy) + static_cast<std::size_t>(sx) * 4, 4);
        }
    }
}

}  // namespace cs

#include "imaging/picture_format.h"

#include <cstring>
#include <initializer_list>

namespace cs {
namespace {

class Head {
public:
    explicit Head(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Has(std::size_t count) const { return bytes_.size() >= count; }
    // A byte beyond the data never matches anything.
    int At(std::size_t i) const { return i < bytes_.size() ? bytes_[i] : -1; }
    bool StartsWith(const char* text) const { return Matches(0, text, std::strlen(text)); }
    bool Matches(std::size_t offset, const void* bytes, std::size_t count) const {
        return Has(offset + count) && std::memcmp(bytes_.data() + offset, bytes, count) == 0;
    }
    std::uint32_t U32LE(std::size_t offset) const {
        const auto* p = bytes_.data() + offset;
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    }

private:
    std::span<const std::uint8_t> bytes_;
};

bool OneOf(int value, std::initializer_list<int> set) {
    for (int v : set)
        if (v == value) return true;
    return false;
}

bool IsBmp(const Head& h) {
    for (const char* sig : {"BA", "BM", "IC", "CP", "CI"})
        if (h.StartsWith(sig)) return true;
    return false;
}

bool IsTga(const Head& h) {
    return h.Has(17) && h.At(1) <= 1 && (h.At(2) <= 3 || (h.At(2) >= 9 && h.At(2) <= 11)) &&
           OneOf(h.At(7), {0, 8, 15, 16, 24, 32}) && OneOf(h.At(16), {8, 15, 16, 24, 32});
}

bool IsPict(const Head& h, std::size_t size) {
    static const std::uint8_t kVersion2[] = {0x00, 0x11, 0x02, 0xFF};
    static const std::uint8_t kVersion1[] = {0x00, 0x11, 0x01};
    static const std::uint8_t kVersion1Op[] = {0x11, 0x01, 0x01, 0x00};
    return size > 540 && (h.Matches(522, kVersion2, 4) || h.Matches(522, kVersion1, 3) ||
                          h.Matches(522, kVersion1Op, 4));
}

bool IsEpsWithTiff(const Head& h) {
    static const std::uint8_t kForward[] = {0xC5, 0xD0, 0xD3, 0xC6};
    static const std::uint8_t kBackward[] = {0xC6, 0xD3, 0xD0, 0xC5};
    return (h.Matches(0, kForward, 4) || h.Matches(0, kBackward, 4)) && h.Has(28) && h.U32LE(20) != 0 &&
           h.U32LE(24) != 0;
}

}  // namespace

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> head, std::size_t size) {
    const Head h(head);
    static const std::uint8_t kTiffIntel[] = {0x49, 0x49, 0x2A, 0x00};
    static const std::uint8_t kTiffMotorola[] = {0x4D, 0x4D, 0x00, 0x2A};
    static const std::uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF};
    static const std::uint8_t kPng[] = {0x89, 'P', 'N', 'G'};

    if (IsBmp(h)) return PictureFormat::Bmp;
    if (IsTga(h)) return PictureFormat::Tga;
    if (h.StartsWith("GIF8")) return PictureFormat::Gif;
    if (h.Matches(0, kTiffIntel, 4) || h.Matches(0, kTiffMotorola, 4)) return PictureFormat::Tiff;
    if (IsPict(h, size)) return PictureFormat::Pict;
    if (h.Matches(0, kJpeg, 3)) return PictureFormat::Jpeg;
    if (h.Matches(0, kPng, 4)) return PictureFormat::Png;
    if (IsEpsWithTiff(h)) return PictureFormat::EpsTiff;
    if (h.At(0) == 0x0A && h.At(2) == 1) return PictureFormat::Pcx;
    if (h.At(0) == 'P' && (h.At(1) == '2' || h.At(1) == '5')) return PictureFormat::Pgm;
    if (h.At(0) == 'P' && (h.At(1) == '3' || h.At(1) == '6')) return PictureFormat::Ppm;
    if (h.StartsWith("8BPS")) return PictureFormat::Psd;
    return PictureFormat::Unknown;
}

}  // namespace cs

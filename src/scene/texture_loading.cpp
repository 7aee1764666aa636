#include "scene/texture_loading.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <new>
#include <vector>

#include "imaging/auto_decoder.h"
#include "imaging/bilinear_resize.h"
#include "imaging/bitmap.h"
#include "imaging/pl_exception.h"
#include "scene/resource_pack.h"

namespace cs {
namespace {

// No texture is made larger than the decoding layer's biggest bitmap.
bool TexelsFit(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxBitmapPixels;
}

enum class Decode { kOk, kFailed, kOutOfMemory };

template <typename Fn>
Decode DecodeWith(Fn decode, PictureLoadError* error) {
    try {
        decode();
        return Decode::kOk;
    } catch (const PLTextException& e) {
        if (error != nullptr) *error = {e.GetCode(), e.GetText()};
        return Decode::kFailed;
    } catch (const std::bad_alloc&) {
        return Decode::kOutOfMemory;
    }
}

// The file, or when it cannot be decoded the resource of that name, as a
// 32-bit bitmap resampled to the size `choose` picks from its upright size
// and turned upright. The file's error is the one reported.
Decode DecodePicture(const std::string& path, const ResourceStore& resources, const SizeChooser& choose,
                     PlainBitmap& bitmap, PictureLoadError* error) {
    AutoDecoder decoder;
    Decode result = DecodeWith([&] { decoder.DecodeUprightFromFile(path.c_str(), bitmap, choose); }, error);
    if (result != Decode::kFailed) return result;
    const std::span<const std::uint8_t> resource = resources.Find(path.c_str());
    if (resource.empty()) return Decode::kFailed;
    return DecodeWith([&] { decoder.DecodeUprightFromMemory(resource.data(), resource.size(), bitmap, choose); },
                      nullptr);
}

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, Status& failure) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        failure = status::kFail;
        return false;
    }
    try {
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::bad_alloc&) {
        failure = status::kOutOfMemory;
        return false;
    }
    if (file.bad() || bytes.empty()) {
        failure = status::kFail;
        return false;
    }
    return true;
}

}  // namespace

int PowerOfTwoFloor(int n) {
    int p = 1;
    while (n / 2 >= p) p *= 2;
    return p;
}

PictureGeometry ComputePictureGeometry(int w, int h, int width, int height, bool letterbox, bool power_of_two) {
    int tw;
    int th;
    if (power_of_two) {
        tw = PowerOfTwoFloor(w);
        th = PowerOfTwoFloor(h);
    } else if (width > 0 && height > 0) {
        tw = width;
        th = height;
    } else {
        return {w, h, w, h, 0, 0};
    }
    PictureGeometry g{tw, th, tw, th, 0, 0};
    if (!letterbox) return g;
    if (w < h) {
        // A side of less than one texel would be no picture at all.
        const int scaled = std::max<std::int64_t>(1, std::int64_t{w} * th / h);
        g = {th, th, scaled, th, (th - scaled) / 2, 0};
    } else {
        const int scaled = std::max<std::int64_t>(1, std::int64_t{tw} * h / w);
        g = {tw, tw, tw, scaled, 0, (tw - scaled) / 2};
    }
    return g;
}

bool HasTexExtension(const std::string& path) {
    if (path.size() <= 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".tex";
}

std::string AlphaCompanionPath(const std::string& path) {
    if (path.size() < 4) return {};
    return path.substr(0, path.size() - 4) + "_a." + path.substr(path.size() - 3);
}

Status MergeAlpha(Texture& picture, const Texture& alpha) {
    if (!picture.HasPixels() || !alpha.HasPixels() || picture.Width() != alpha.Width() ||
        picture.Height() != alpha.Height()) {
        return status::kNothingToDo;
    }
    const std::size_t count = static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Height());
    const int from = picture.Channels();
    const int step = alpha.Channels();
    std::vector<std::uint8_t> rgba;
    try {
        rgba.resize(count * 4);
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
    const std::uint8_t* src = picture.Pixels().data();
    const std::uint8_t* a = alpha.Pixels().data();
    for (std::size_t i = 0; i < count; ++i) {
        rgba[4 * i] = src[from * i];
        rgba[4 * i + 1] = src[from * i + 1];
        rgba[4 * i + 2] = src[from * i + 2];
        rgba[4 * i + 3] = a[step * i];
    }
    return picture.SetPixels(picture.Width(), picture.Height(), 4, std::move(rgba));
}

Status ResampleTexture(Texture* texture, int width, int height, bool bilinear, bool swap_red_blue) {
    if (texture == nullptr) return status::kPointer;
    if (!texture->HasPixels() || width < 1 || height < 1) return status::kFail;
    const int old_w = texture->Width();
    const int old_h = texture->Height();
    if (width == old_w && height == old_h) return status::kNothingToDo;
    if (!TexelsFit(width, height)) return status::kOutOfMemory;

    const int ch = texture->Channels();
    std::vector<std::uint8_t> out;
    try {
        out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(ch));
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
    const std::uint8_t* in = texture->Pixels().data();
    const float rx = static_cast<float>(old_w) / static_cast<float>(width);
    const float ry = static_cast<float>(old_h) / static_cast<float>(height);
    const auto at = [&](int x, int y) { return in + (static_cast<std::size_t>(y) * old_w + x) * ch; };
    // The positions advance by adding the ratio, and float rounding may
    // carry the last one onto the edge: clamp them into the picture.
    const auto clamp = [](float pos, int limit) { return std::min(static_cast<int>(pos), limit - 1); };

    std::uint8_t* dst = out.data();
    float sy = 0.0f;
    for (int j = 0; j < height; ++j, sy += ry) {
        const int y0 = clamp(sy, old_h);
        const int y1 = y0 + 1 < old_h ? y0 + 1 : y0;
        const float fy = sy - static_cast<float>(y0);
        float sx = 0.0f;
        for (int i = 0; i < width; ++i, sx += rx, dst += ch) {
            const int x0 = clamp(sx, old_w);
            if (!bilinear) {
                std::copy_n(at(x0, y0), ch, dst);
            } else {
                const int x1 = x0 + 1 < old_w ? x0 + 1 : x0;
                const float fx = sx - static_cast<float>(x0);
                for (int c = 0; c < ch; ++c) {
                    const auto top = static_cast<std::uint8_t>(fx * at(x1, y0)[c] + (1.0f - fx) * at(x0, y0)[c]);
                    const auto bottom = static_cast<std::uint8_t>(fx * at(x1, y1)[c] + (1.0f - fx) * at(x0, y1)[c]);
                    dst[c] = static_cast<std::uint8_t>((1.0f - fy) * top + fy * bottom);
                }
            }
            if (swap_red_blue) std::swap(dst[0], dst[2]);
        }
    }
    const Status s = texture->SetPixels(width, height, ch, std::move(out));
    return Failed(s) ? s : status::kOk;
}

namespace {

Status LoadPicture(Texture* texture, const char* path, int width, int height, std::uint8_t border_r,
                   std::uint8_t border_g, std::uint8_t border_b, bool letterbox, bool no_companion, bool power_of_two,
                   const ResourceStore& resources, PictureLoadError* error) {
    if (texture == nullptr) return status::kPointer;
    texture->Clear();
    if (path == nullptr) return status::kPointer;
    const std::string name = path;
    if (HasTexExtension(name)) return status::kFail;

    // The geometry follows from the decoded size, and the picture is
    // resampled while it is decoded: a camera picture is never held whole.
    PictureGeometry g;
    const SizeChooser fit = [&](std::int32_t w, std::int32_t h) {
        g = ComputePictureGeometry(w, h, width, height, letterbox, power_of_two);
        if (!TexelsFit(g.texture_width, g.texture_height) || !ResizeScratchFits(h, g.picture_width))
            throw std::bad_alloc();
        return PictureSize{g.picture_width, g.picture_height};
    };
    PlainBitmap picture;
    switch (DecodePicture(name, resources, fit, picture, error)) {
        case Decode::kOk: break;
        case Decode::kFailed: return status::kFail;
        case Decode::kOutOfMemory: return status::kOutOfMemory;
    }

    const std::size_t tw = static_cast<std::size_t>(g.texture_width);
    const std::size_t th = static_cast<std::size_t>(g.texture_height);
    std::vector<std::uint8_t> rgb;
    try {
        rgb.resize(tw * th * 3);
    } catch (const std::bad_alloc&) {
        return status::kOutOfMemory;
    }
    if (letterbox) {
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            rgb[i] = border_r;
            rgb[i + 1] = border_g;
            rgb[i + 2] = border_b;
        }
    }
    // The bitmap runs top-down, the texture bottom-up.
    for (int y = 0; y < g.picture_height; ++y) {
        const std::uint8_t* src = picture.Row(y);
        const std::size_t row = th - 1 - static_cast<std::size_t>(g.offset_y) - static_cast<std::size_t>(y);
        std::uint8_t* dst = rgb.data() + (row * tw + static_cast<std::size_t>(g.offset_x)) * 3;
        for (int x = 0; x < g.picture_width; ++x, src += 4, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    if (Status s = texture->SetPixels(g.texture_width, g.texture_height, 3, std::move(rgb)); Failed(s)) return s;
    texture->SetName(name);
    if (no_companion) return status::kOk;

    const std::string companion_path = AlphaCompanionPath(name);
    Status merged = status::kOk;
    if (!companion_path.empty()) {
        Texture companion;
        if (LoadPicture(&companion, companion_path.c_str(), width, height, border_r, border_g, border_b, letterbox,
                        true, power_of_two, resources, nullptr) == status::kOk) {
            merged = MergeAlpha(*texture, companion);
        }
    }
    // Only the file's own name counts: a folder such as "my-album" must not
    // turn every picture in it into its own alpha mask.
    const std::size_t slash = name.find_last_of("/\\");
    const std::string file_name = slash == std::string::npos ? name : name.substr(slash + 1);
    if (Succeeded(merged) && file_name.find("-a") != std::string::npos) merged = MergeAlpha(*texture, *texture);
    if (Failed(merged)) {
        texture->Clear();
        return merged;
    }
    return status::kOk;
}

}  // namespace

Status LoadPictureTexture(Texture* texture, const char* path, int width, int height, std::uint8_t border_r,
                          std::uint8_t border_g, std::uint8_t border_b, bool letterbox, bool no_companion,
                          bool power_of_two, const ResourceStore& resources, PictureLoadError* error) {
    PictureLoadError decoding{};
    const Status s = LoadPicture(texture, path, width, height, border_r, border_g, border_b, letterbox, no_companion,
                                 power_of_two, resources, &decoding);
    if (error != nullptr && Failed(s)) *error = decoding.code != 0 ? decoding : PictureLoadError{s, StatusText(s)};
    if (Failed(s) && texture != nullptr) texture->Clear();
    return s;
}

Status FindNamedTexture(Texture* texture, const char* name, const ResourceStore& resources) {
    if (texture == nullptr) return status::kPointer;
    if (name == nullptr) return status::kPointer;
    Status last = status::kFail;

    const std::span<const std::uint8_t> resource = resources.Find(name);
    if (!resource.empty()) {
        last = ReadResourcePack(resource, texture);
        if (last == status::kOk) {
            texture->SetName(name);
            return status::kOk;
        }
    }
    if (!HasTexExtension(name)) {
        last = LoadPictureTexture(texture, name, -1, -1, 0, 0, 0, false, false, true, resources);
        if (last == status::kOk) return status::kOk;
    }
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(name, bytes, last)) last = ReadResourcePack(bytes, texture);
    if (last != status::kOk) texture->Clear();
    return last;
}

}  // namespace cs

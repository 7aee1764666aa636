#include "pam.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace picturetool {

std::string EncodePam(const PamImage& image) {
    std::string out = "P7\nWIDTH " + std::to_string(image.width) + "\nHEIGHT " + std::to_string(image.height) +
                      "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    out.append(reinterpret_cast<const char*>(image.rgba.data()), image.rgba.size());
    return out;
}

bool DecodePam(const std::string& bytes, PamImage& image, std::string& error) {
    if (bytes.compare(0, 3, "P7\n") != 0) {
        error = "not a PAM file";
        return false;
    }
    std::size_t pos = 3;
    long long width = -1, height = -1, depth = -1, maxval = -1;
    std::string tupleType;
    for (;;) {
        const std::size_t end = bytes.find('\n', pos);
        if (end == std::string::npos) {
            error = "PAM header has no ENDHDR";
            return false;
        }
        std::istringstream line(bytes.substr(pos, end - pos));
        pos = end + 1;
        std::string key;
        if (!(line >> key) || key[0] == '#') continue;
        if (key == "ENDHDR") break;
        if (key == "TUPLTYPE") {
            line >> tupleType;
            continue;
        }
        long long value = -1;
        if (!(line >> value)) {
            error = "bad PAM header line " + key;
            return false;
        }
        if (key == "WIDTH") width = value;
        else if (key == "HEIGHT") height = value;
        else if (key == "DEPTH") depth = value;
        else if (key == "MAXVAL") maxval = value;
    }
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX) {
        error = "PAM size missing or out of range";
        return false;
    }
    if (maxval != 255 || (depth != 3 && depth != 4)) {
        error = "only 8-bit RGB and RGB_ALPHA PAM files are read";
        return false;
    }
    const auto pixels = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
    if (pixels > cs::BitmapPixelLimit()) {
        error = "PAM picture too large";
        return false;
    }
    const unsigned long long dataBytes = pixels * static_cast<unsigned long long>(depth);
    if (bytes.size() - pos < dataBytes) {
        error = "PAM data ends early";
        return false;
    }
    image.width = static_cast<std::int32_t>(width);
    image.height = static_cast<std::int32_t>(height);
    image.rgba.resize(pixels * 4);
    const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data() + pos);
    for (unsigned long long i = 0; i < pixels; ++i, in += depth) {
        std::uint8_t* out = &image.rgba[i * 4];
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = depth == 4 ? in[3] : 255;
    }
    return true;
}

bool WritePamFile(const std::string& path, const PamImage& image, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = EncodePam(image);
    if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (file) file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ReadPamFile(const std::string& path, PamImage& image, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return DecodePam(bytes, image, error);
}

PamImage PamFromBitmap(const cs::Bitmap& bitmap) {
    if (bitmap.BitsPerPixel() != 32) {
        cs::PlainBitmap converted;
        converted.CreateCopy(bitmap, 32);
        return PamFromBitmap(converted);
    }
    PamImage image;
    image.width = bitmap.Width();
    image.height = bitmap.Height();
    image.rgba.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4);
    std::uint8_t* out = image.rgba.data();
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* in = bitmap.Row(y);
        for (std::int32_t x = 0; x < image.width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = bitmap.HasAlpha() ? in[3] : 255;
        }
    }
    return image;
}

void BitmapFromPam(const PamImage& image, cs::Bitmap& bitmap, bool hasAlpha) {
    bitmap.Create(image.width, image.height, 32, hasAlpha);
    const std::uint8_t* in = image.rgba.data();
    for (std::int32_t y = 0; y < image.height; ++y) {
        std::uint8_t* out = bitmap.Row(y);
        for (std::int32_t x = 0; x < image.width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
    }
}

}  // namespace picturetool

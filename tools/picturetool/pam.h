#pragma once
// PAM (portable arbitrary map) pictures as picturetool reads and writes them:
// 8-bit samples, RGB_ALPHA (depth 4) written; RGB (depth 3) and RGB_ALPHA
// read, rows top first.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace picturetool {

struct PamImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes: R, G, B, A
};

// The PAM bytes for the image.
std::string EncodePam(const PamImage& image);
// Parses PAM bytes; on failure returns false with a reason in `error`.
bool DecodePam(const std::string& bytes, PamImage& image, std::string& error);

bool WritePamFile(const std::string& path, const PamImage& image, std::string& error);
bool ReadPamFile(const std::string& path, PamImage& image, std::string& error);

// A 32-bit bitmap as RGBA. Without the alpha flag the fourth byte carries no
// meaning, and A is written as 255.
PamImage PamFromBitmap(const cs::Bitmap& bitmap);
// Creates the bitmap at 32 bits from the image (alpha flag as given).
void BitmapFromPam(const PamImage& image, cs::Bitmap& bitmap, bool hasAlpha);

}  // namespace picturetool

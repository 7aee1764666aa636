#include "glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace assetgen {

// Space to underscore, then the apostrophe, the lowercase letters, braces,
// bar, double quote and tilde: 96 cells.
const char kFontCells[97] =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_"
    "'abcdefghijklmnopqrstuvwxyz{|}\"~";
static_assert(sizeof(kFontCells) == 97);

struct FontFace::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Impl() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

FontFace::FontFace(const std::string& path, int pixel_size) : impl_(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType cannot start");
    if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0)
        throw std::runtime_error("cannot open the font " + path);
    if (FT_Set_Pixel_Sizes(impl_->face, 0, static_cast<FT_UInt>(pixel_size)) != 0)
        throw std::runtime_error("the font " + path + " has no size " + std::to_string(pixel_size));
}

FontFace::~FontFace() = default;

int FontFace::Ascent() const { return static_cast<int>(std::lround(impl_->face->size->metrics.ascender / 64.0)); }
int FontFace::Descent() const { return static_cast<int>(std::lround(-impl_->face->size->metrics.descender / 64.0)); }

float FontFace::Measure(const std::string& text) const {
    float width = 0.0f;
    for (unsigned char c : text) {
        if (FT_Load_Char(impl_->face, c, FT_LOAD_DEFAULT) != 0) continue;
        width += static_cast<float>(impl_->face->glyph->advance.x) / 64.0f;
    }
    return width;
}

void FontFace::Draw(Canvas& canvas, const std::string& text, float x, int baseline, const Color& color,
                    bool into_alpha, int clip_left, int clip_top, int clip_right, int clip_bottom) const {
    clip_left = std::max(clip_left, 0);
    clip_top = std::max(clip_top, 0);
    clip_right = std::min(clip_right, canvas.Width());
    clip_bottom = std::min(clip_bottom, canvas.Height());
    float pen = x;
    for (unsigned char c : text) {
        if (FT_Load_Char(impl_->face, c, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = impl_->face->glyph;
        const FT_Bitmap& bitmap = g->bitmap;
        const int left = static_cast<int>(std::lround(pen)) + g->bitmap_left;
        const int top = baseline - g->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const int y = top + static_cast<int>(row);
            if (y < clip_top || y >= clip_bottom) continue;
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int px = left + static_cast<int>(col);
                if (px < clip_left || px >= clip_right) continue;
                const float coverage = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col] / 255.0f;
                if (into_alpha) {
                    canvas.SetAlpha(px, y, std::max(canvas.Alpha(px, y), coverage));
                } else {
                    canvas.Blend(px, y, color, coverage);
                }
            }
        }
        pen += static_cast<float>(g->advance.x) / 64.0f;
    }
}

Canvas PaintFontAtlas(const std::string& mono_font_path) {
    constexpr int kSize = 256;
    constexpr int kColumns = 12;
    constexpr int kRows = 8;
    constexpr int kCellHeight = kSize / kRows;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            canvas.Set(x, y, {1.0f, 1.0f, 1.0f});
            canvas.SetAlpha(x, y, 0.0f);
        }
    const FontFace face(mono_font_path, 22);
    const int baseline_offset = (kCellHeight - (face.Ascent() + face.Descent())) / 2 + face.Ascent();
    for (int cell = 0; cell < kColumns * kRows; ++cell) {
        const int column = cell % kColumns;
        const int row = cell / kColumns;
        // Cells are 21 1/3 texels wide; a texel of margin on every side
        // keeps linear filtering from reaching into the neighbours.
        const int left = static_cast<int>(std::ceil(column * kSize / static_cast<float>(kColumns)));
        const int right = static_cast<int>(std::floor((column + 1) * kSize / static_cast<float>(kColumns)));
        const int top = row * kCellHeight;
        const std::string glyph(1, kFontCells[cell]);
        const float centre = (column + 0.5f) * kSize / static_cast<float>(kColumns);
        face.Draw(canvas, glyph, centre - face.Measure(glyph) / 2.0f, top + baseline_offset, {1, 1, 1}, true,
                  left + 1, top + 1, right - 1, top + kCellHeight - 1);
    }
    return canvas;
}

Canvas PaintDefaultPicture(const std::string& sans_path, const std::string& sans_bold_path) {
    constexpr int kSize = 256;
    Canvas canvas(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        const Color row = Mix({0.12f, 0.20f, 0.36f}, {0.04f, 0.06f, 0.15f}, static_cast<float>(y) / (kSize - 1));
        for (int x = 0; x < kSize; ++x) canvas.Set(x, y, row);
    }
    // A framed picture with a hill and a sun: what is missing.
    const Color frame{0.85f, 0.90f, 1.0f};
    const int fx0 = 88, fy0 = 26, fx1 = 168, fy1 = 86;
    for (int y = fy0; y <= fy1; ++y)
        for (int x = fx0; x <= fx1; ++x) {
            const bool border = x < fx0 + 3 || x > fx1 - 3 || y < fy0 + 3 || y > fy1 - 3;
            if (border) {
                canvas.Set(x, y, frame);
                continue;
            }
            const float hill = fy1 - 6 - 22.0f * std::exp(-std::pow((x - 140.0f) / 22.0f, 2.0f)) -
                               10.0f * std::exp(-std::pow((x - 105.0f) / 16.0f, 2.0f));
            const float sun = std::hypot(x - 110.0f, y - 45.0f);
            Color c{0.30f, 0.48f, 0.78f};
            if (sun < 8.0f) c = {1.0f, 0.86f, 0.40f};
            if (static_cast<float>(y) > hill) c = {0.32f, 0.62f, 0.36f};
            canvas.Set(x, y, c);
        }

    const Color white{1.0f, 1.0f, 1.0f};
    const Color soft{0.80f, 0.86f, 0.96f};
    const auto centred = [&](const FontFace& face, const std::string& text, int baseline, const Color& color) {
        face.Draw(canvas, text, (kSize - face.Measure(text)) / 2.0f, baseline, color, false, 0, 0, kSize, kSize);
    };
    const FontFace bold(sans_bold_path, 21);
    const FontFace regular(sans_path, 16);
    centred(bold, "No pictures chosen", 124, white);
    centred(regular, "Open the screen saver's", 160, soft);
    centred(regular, "settings and choose the", 182, soft);
    centred(regular, "pictures or folders", 204, soft);
    centred(regular, "to show on the cube.", 226, soft);
    return canvas;
}

}  // namespace assetgen

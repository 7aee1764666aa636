#pragma once
// Text painted with FreeType: the overlay font's atlas and the default
// picture's notice.
#include <memory>
#include <string>

#include "canvas.h"

namespace assetgen {

class FontFace {
public:
    // Throws std::runtime_error when the file is not a usable font.
    FontFace(const std::string& path, int pixel_size);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Pixels above and below the baseline that the face's glyphs reach.
    int Ascent() const;
    int Descent() const;
    // Width of the text with the face's advances.
    float Measure(const std::string& text) const;
    // Paints the text with its left end at x and its baseline at y,
    // clipped to [clip_left, clip_right) x [clip_top, clip_bottom). With
    // into_alpha the coverage goes into the alpha channel instead of
    // blending the colour.
    void Draw(Canvas& canvas, const std::string& text, float x, int baseline, const Color& color, bool into_alpha,
              int clip_left, int clip_top, int clip_right, int clip_bottom) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The cell characters of the overlay font, in cell order.
extern const char kFontCells[97];

// 256 x 256, 12 x 8 cells of 256/12 by 32 texels: white everywhere, each
// glyph's anti-aliased shape in alpha.
Canvas PaintFontAtlas(const std::string& mono_font_path);

// 256 x 256: the notice asking for pictures.
Canvas PaintDefaultPicture(const std::string& sans_path, const std::string& sans_bold_path);

}  // namespace assetgen

#pragma once
// Text over the picture: the bitmap font's glyph table, the quads a line of
// text is drawn with, the picture names shown, and the frame-rate count.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "timing/stopwatch.h"
#include "scene/mesh.h"

namespace cs {

// Texture coordinates of each character's cell in the 12 x 8 font: corners
// bottom-left, bottom-right, top-right, top-left (u, v each). Characters
// without a cell have all zeros, which samples the font's corner texel.
class GlyphTable {
public:
    static constexpr int kColumns = 12;
    static constexpr int kRows = 8;
    GlyphTable();
    const std::array<float, 8>& For(unsigned char c) const;
    // The cell a character is drawn from, or -1.
    int CellOf(unsigned char c) const { return c < 128 ? cells_[c] : -1; }

private:
    std::array<std::array<float, 8>, 128> coords_{};
    std::array<int, 128> cells_{};
};
const GlyphTable& Glyphs();

// Alignment flags of DrawText.
enum TextFlags : unsigned { kTextLeft = 0, kTextCentred = 1, kTextRightAligned = 2 };

// The quads for a line: character k spans x + k .. x + k + 1 and y .. y + 1
// after the alignment shift. False (and no mesh) for an empty text.
bool BuildTextMesh(std::string_view text, float x, float y, unsigned flags, Mesh& mesh);

// The name shown for a picture: after the last backslash (or, in a path
// without one, the last slash), without the extension, or the whole name
// when there is neither; at most 260 characters.
std::string PictureDisplayName(std::string_view name);

// Frames drawn in the last completed second.
class FrameRateCounter {
public:
    explicit FrameRateCounter(ClockSource& clock = SystemClock()) : clock_(clock) {}
    // Counts one drawn frame; answers the figure to show.
    int CountFrame();

private:
    Stopwatch clock_;
    bool started_ = false;
    int counted_ = 0;
    int shown_ = 0;
};

}  // namespace cs

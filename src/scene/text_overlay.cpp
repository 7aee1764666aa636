#include "scene/text_overlay.h"

#include "base/encoded_text.h"
#include "base/utf8_text.h"

namespace cs {
namespace {

// The font's cells in order: space to underscore, then the characters the
// upper half of ASCII needs that the first half of the font lacks.
constexpr EncodedText kFontCells(
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_'abcdefghijklmnopqrstuvwxyz{|}\"~");
constexpr std::size_t kMaxDisplayName = 260;

}  // namespace

GlyphTable::GlyphTable() {
    cells_.fill(-1);
    const std::string cells = kFontCells.Decode();
    // In cell order, so a character listed twice keeps its later cell.
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const auto c = static_cast<unsigned char>(cells[i]);
        if (c >= 128) continue;
        const int column = static_cast<int>(i) % kColumns;
        const int row = static_cast<int>(i) / kColumns;
        const float u0 = static_cast<float>(column) / kColumns;
        const float u1 = u0 + 1.0f / kColumns;
        const float top = 1.0f - static_cast<float>(row) / kRows;
        const float bottom = top - 1.0f / kRows;
        coords_[c] = {u0, bottom, u1, bottom, u1, top, u0, top};
        cells_[c] = static_cast<int>(i);
    }
}

const std::array<float, 8>& GlyphTable::For(unsigned char c) const {
    static const std::array<float, 8> none{};
    return c < 128 ? coords_[c] : none;
}

const GlyphTable& Glyphs() {
    static const GlyphTable table;
    return table;
}

bool BuildTextMesh(std::string_view text, float x, float y, unsigned flags, Mesh& mesh) {
    if (text.empty()) return false;
    // One cell per character, however many bytes it takes: a name in Greek
    // shows one fallback cell per letter.
    const auto count = static_cast<std::uint32_t>(CharacterCount(text));
    const auto length = static_cast<float>(count);
    if (flags & kTextCentred) x -= length / 2;
    if (flags & kTextRightAligned) x -= length;

    if (Failed(mesh.Create(PrimitiveKind::kQuads, count))) return false;
    mesh.CreateVertexArrays(count * 4, mesh_flags::kPositions | mesh_flags::kTexCoords);
    const GlyphTable& glyphs = Glyphs();
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::size_t bytes = CharacterBytes(text);
        const auto c = static_cast<unsigned char>(bytes == 1 ? text[0] : 0x80);
        text.remove_prefix(bytes);
        const float left = x + static_cast<float>(k);
        const float corners[4][2] = {{left, y}, {left + 1, y}, {left + 1, y + 1}, {left, y + 1}};
        const std::array<float, 8>& uv = glyphs.For(c);
        for (std::uint32_t v = 0; v < 4; ++v) {
            const std::uint32_t vertex = 4 * k + v;
            mesh.positions[3 * vertex] = corners[v][0];
            mesh.positions[3 * vertex + 1] = corners[v][1];
            mesh.positions[3 * vertex + 2] = 0.0f;
            mesh.tex_coords[2 * vertex] = uv[2 * v];
            mesh.tex_coords[2 * vertex + 1] = uv[2 * v + 1];
            mesh.indices[vertex] = vertex;
        }
    }
    return true;
}

std::string PictureDisplayName(std::string_view name) {
    // The Windows lists' paths have backslashes; the Linux program's have
    // only slashes.
    std::size_t slash = name.rfind('\\');
    if (slash == std::string_view::npos) slash = name.rfind('/');
    if (slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
        const std::size_t dot = name.rfind('.');
        if (dot != std::string_view::npos) name = name.substr(0, dot);
    }
    return std::string(FirstCharacters(name, kMaxDisplayName));
}

int FrameRateCounter::CountFrame() {
    ++counted_;
    if (!started_) {
        clock_.Start();
        started_ = true;
    } else if (clock_.ElapsedSeconds() > 1.0L) {
        clock_.Restart();
        shown_ = counted_;
        counted_ = 0;
    }
    return shown_;
}

}  // namespace cs

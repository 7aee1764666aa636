#include "scene/text_overlay.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace cs {
namespace {

TEST(GlyphTable, CellsInFontOrder) {
    const GlyphTable& g = Glyphs();
    EXPECT_EQ(g.CellOf(' '), 0);
    EXPECT_EQ(g.CellOf('0'), 16);
    EXPECT_EQ(g.CellOf('A'), 33);
    EXPECT_EQ(g.CellOf('_'), 63);
    EXPECT_EQ(g.CellOf('\''), 64);  // the later of its two cells
    EXPECT_EQ(g.CellOf('a'), 65);
    EXPECT_EQ(g.CellOf('z'), 90);
    EXPECT_EQ(g.CellOf('{'), 91);
    EXPECT_EQ(g.CellOf('|'), 92);
    EXPECT_EQ(g.CellOf('}'), 93);
    EXPECT_EQ(g.CellOf('"'), 94);
    EXPECT_EQ(g.CellOf('~'), 95);
    EXPECT_EQ(g.CellOf('`'), -1);
    EXPECT_EQ(g.CellOf('\t'), -1);
    EXPECT_EQ(g.CellOf(127), -1);
    // Cells 2 and 7 are never used by any character.
    for (int c = 0; c < 128; ++c) {
        EXPECT_NE(g.CellOf(static_cast<unsigned char>(c)), 2);
        EXPECT_NE(g.CellOf(static_cast<unsigned char>(c)), 7);
    }
}

TEST(GlyphTable, CoordinatesOfACell) {
    // 'A' is cell 33: column 9, row 2.
    const auto& a = Glyphs().For('A');
    EXPECT_FLOAT_EQ(a[0], 9.0f / 12);          // bottom-left u
    EXPECT_FLOAT_EQ(a[1], 1.0f - 3.0f / 8);    // bottom-left v
    EXPECT_FLOAT_EQ(a[2], 10.0f / 12);         // bottom-right u
    EXPECT_FLOAT_EQ(a[5], 1.0f - 2.0f / 8);    // top-right v
    EXPECT_FLOAT_EQ(a[6], 9.0f / 12);          // top-left u
    // Accented letters and other codes above 127 sample the corner texel.
    for (unsigned char c : {static_cast<unsigned char>(0xE9), static_cast<unsigned char>(200), static_cast<unsigned char>('`')})
        for (float f : Glyphs().For(c)) EXPECT_EQ(f, 0.0f);
}

TEST(TextMesh, QuadsAndAlignment) {
    Mesh mesh;
    ASSERT_TRUE(BuildTextMesh("PAUSED", 92, 48, kTextLeft, mesh));
    EXPECT_EQ(mesh.Kind(), PrimitiveKind::kQuads);
    EXPECT_EQ(mesh.indices.size(), 24u);
    EXPECT_EQ(mesh.indices[23], 23u);
    EXPECT_FLOAT_EQ(mesh.positions[0], 92.0f);
    EXPECT_FLOAT_EQ(mesh.positions[1], 48.0f);
    EXPECT_FLOAT_EQ(mesh.positions[3 * 22], 98.0f);  // last quad's top-right x
    EXPECT_FLOAT_EQ(mesh.positions[3 * 22 + 1], 49.0f);

    Mesh right;
    ASSERT_TRUE(BuildTextMesh("12:34", 99, 47, kTextRightAligned, right));
    EXPECT_FLOAT_EQ(right.positions[0], 94.0f);
    EXPECT_FLOAT_EQ(right.positions[3 * 18], 99.0f);  // ends exactly at x = 99

    Mesh centred;
    ASSERT_TRUE(BuildTextMesh("abcd", 25, 23.5f, kTextCentred, centred));
    EXPECT_FLOAT_EQ(centred.positions[0], 23.0f);
    EXPECT_TRUE(centred.DrawableArrays());

    Mesh empty;
    EXPECT_FALSE(BuildTextMesh("", 0, 0, kTextLeft, empty));

    // "Ω写a": a two-byte and a three-byte character take one fallback cell
    // each, right-aligned by characters, not bytes.
    Mesh wide;
    ASSERT_TRUE(BuildTextMesh("\xCE\xA9\xE5\x86\x99" "a", 10, 0, kTextRightAligned, wide));
    EXPECT_EQ(wide.indices.size(), 12u);
    EXPECT_FLOAT_EQ(wide.positions[0], 7.0f);
    for (int v = 0; v < 8; ++v) EXPECT_EQ(wide.tex_coords[v], 0.0f);
    EXPECT_EQ(wide.tex_coords[16], Glyphs().For('a')[0]);
}

TEST(DisplayName, FolderAndExtensionGoOnlyAfterASeparator) {
    EXPECT_EQ(PictureDisplayName("C:\\Photos\\Summer.2005.jpg"), "Summer.2005");
    EXPECT_EQ(PictureDisplayName("holiday.jpg"), "holiday.jpg");
    EXPECT_EQ(PictureDisplayName("C:\\Photos\\noext"), "noext");
    EXPECT_EQ(PictureDisplayName("/home/ann/Pictures/Summer.2005.jpg"), "Summer.2005");
    EXPECT_EQ(PictureDisplayName("C:\\Photos\\2005/Summer.jpg"), "2005/Summer");
    EXPECT_EQ(PictureDisplayName("C:\\dir.d\\file"), "file");
    EXPECT_EQ(PictureDisplayName(std::string(400, 'x')).size(), 260u);
    // Cut after 260 characters, never inside one.
    std::string japanese;
    for (int i = 0; i < 300; ++i) japanese += "\xE5\x86\x99";
    EXPECT_EQ(PictureDisplayName("C:\\" + japanese + ".jpg"), japanese.substr(0, 780));
}

TEST(FrameRate, CountsCompletedSeconds) {
    testing::FakeClock clock;
    FrameRateCounter counter(clock);
    int shown = 0;
    for (int i = 0; i < 60; ++i) {
        shown = counter.CountFrame();
        clock.AdvanceMicroseconds(16'700);
    }
    EXPECT_EQ(shown, 0);  // the first second has not ended yet
    for (int i = 0; i < 30; ++i) {
        shown = counter.CountFrame();
        clock.AdvanceMilliseconds(34);
    }
    EXPECT_GE(shown, 60);
    EXPECT_LE(shown, 62);
}

}  // namespace
}  // namespace cs

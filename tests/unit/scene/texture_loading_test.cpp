#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "imaging/exif_orientation.h"
#include "scene/named_textures.h"
#include "scene/resource_pack.h"
#include "scene/texture_loading.h"
#include "scene_test_support.h"
#include "unit/imaging/test_support.h"

namespace cs {
namespace {

using scene_test::Bytes;
using scene_test::TempDir;

// The texel (x, y) counted from the top of the picture.
std::vector<std::uint8_t> TexelFromTop(const Texture& t, int x, int y) {
    const std::size_t row = static_cast<std::size_t>(t.Height() - 1 - y);
    const std::size_t i = (row * t.Width() + x) * t.Channels();
    return {t.Pixels().begin() + static_cast<std::ptrdiff_t>(i),
            t.Pixels().begin() + static_cast<std::ptrdiff_t>(i) + t.Channels()};
}

TEST(PictureGeometry, LetterboxStretchAndPowerOfTwo) {
    const PictureGeometry wide = ComputePictureGeometry(4000, 3000, 512, 512, true, false);
    EXPECT_EQ(wide.texture_width, 512);
    EXPECT_EQ(wide.texture_height, 512);
    EXPECT_EQ(wide.picture_width, 512);
    EXPECT_EQ(wide.picture_height, 384);
    EXPECT_EQ(wide.offset_x, 0);
    EXPECT_EQ(wide.offset_y, 64);

    const PictureGeometry tall = ComputePictureGeometry(3000, 4000, 512, 512, true, false);
    EXPECT_EQ(tall.picture_width, 384);
    EXPECT_EQ(tall.picture_height, 512);
    EXPECT_EQ(tall.offset_x, 64);
    EXPECT_EQ(tall.offset_y, 0);

    const PictureGeometry stretched = ComputePictureGeometry(4000, 3000, 512, 512, false, false);
    EXPECT_EQ(stretched.picture_width, 512);
    EXPECT_EQ(stretched.picture_height, 512);

    // An odd free width: the extra texel goes after the picture.
    const PictureGeometry odd = ComputePictureGeometry(3, 4, 8, 8, true, false);
    EXPECT_EQ(odd.picture_width, 6);
    EXPECT_EQ(odd.offset_x, 1);
    // A hair-thin picture keeps one column.
    EXPECT_EQ(ComputePictureGeometry(1, 5000, 512, 512, true, false).picture_width, 1);

    const PictureGeometry none = ComputePictureGeometry(300, 200, -1, -1, true, false);
    EXPECT_EQ(none.texture_width, 300);
    EXPECT_EQ(none.picture_height, 200);

    const PictureGeometry pow2 = ComputePictureGeometry(1000, 600, -1, -1, false, true);
    EXPECT_EQ(pow2.texture_width, 512);
    EXPECT_EQ(pow2.texture_height, 512);
    EXPECT_EQ(PowerOfTwoFloor(1), 1);
    EXPECT_EQ(PowerOfTwoFloor(2), 2);
    EXPECT_EQ(PowerOfTwoFloor(1023), 512);
    EXPECT_EQ(PowerOfTwoFloor(1024), 1024);
    EXPECT_EQ(PowerOfTwoFloor(0x7FFFFFFF), 0x40000000);
}

TEST(TextureNames, TexExtensionAndCompanionPath) {
    EXPECT_TRUE(HasTexExtension("photo.tex"));
    EXPECT_TRUE(HasTexExtension("photo.TeX"));
    EXPECT_FALSE(HasTexExtension(".tex"));
    EXPECT_FALSE(HasTexExtension("photo.text"));
    EXPECT_EQ(AlphaCompanionPath("dir/name.jpg"), "dir/name_a.jpg");
    EXPECT_EQ(AlphaCompanionPath("dir/name.jpeg"), "dir/name._a.peg");
    EXPECT_EQ(AlphaCompanionPath("abc"), "");
}

TEST(LoadPictureTexture, LetterboxedRowsRunBottomUpInTheBorderColour) {
    TempDir dir;
    // 4 x 2: top row red, green, blue, white; bottom row black.
    std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    rgb.resize(24, 0);
    scene_test::WriteFileBytes(dir.Path("p.bmp"), scene_test::Bmp24(4, 2, rgb));
    Texture t;
    // At 4 x 4 nothing is scaled: the picture sits one row down.
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("p.bmp").c_str(), 4, 4, 3, 4, 5, true, true, false), status::kOk);
    EXPECT_EQ(t.Width(), 4);
    EXPECT_EQ(t.Height(), 4);
    EXPECT_EQ(t.Channels(), 3);
    EXPECT_EQ(t.Name(), dir.Path("p.bmp"));
    EXPECT_EQ(TexelFromTop(t, 0, 0), (std::vector<std::uint8_t>{3, 4, 5}));
    EXPECT_EQ(TexelFromTop(t, 0, 1), (std::vector<std::uint8_t>{255, 0, 0}));
    EXPECT_EQ(TexelFromTop(t, 2, 1), (std::vector<std::uint8_t>{0, 0, 255}));
    EXPECT_EQ(TexelFromTop(t, 3, 2), (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_EQ(TexelFromTop(t, 3, 3), (std::vector<std::uint8_t>{3, 4, 5}));
    // The last texture row is the picture's top: texture bytes start at the
    // bottom border.
    EXPECT_EQ(t.Pixels()[0], 3);

    // Stretched, the border never shows.
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("p.bmp").c_str(), 8, 8, 3, 4, 5, false, true, false), status::kOk);
    EXPECT_EQ(t.Width(), 8);
    EXPECT_EQ(TexelFromTop(t, 0, 0)[0], 255);
}

// A JPEG of one colour.
Bytes SolidJpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    test::JpegRecipe s;
    s.width = width;
    s.height = height;
    for (int i = 0; i < width * height; ++i) s.pixels.insert(s.pixels.end(), {r, g, b});
    return test::MakeJpeg(s);
}

bool Near(const std::vector<std::uint8_t>& texel, std::vector<std::uint8_t> want) {
    for (std::size_t c = 0; c < want.size(); ++c)
        if (std::abs(texel[c] - want[c]) > 3) return false;
    return true;
}

TEST(LoadPictureTexture, AJpegDecodedReducedIsLetterboxedAndCentredAsBefore) {
    TempDir dir;
    // 1024 x 600 into 256: decoded at a quarter, the picture 256 x 150 at
    // row 53, exactly where the whole decode put it.
    scene_test::WriteFileBytes(dir.Path("wide.jpg"), SolidJpeg(1024, 600, 200, 40, 90));
    Texture t;
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("wide.jpg").c_str(), 256, 256, 3, 4, 5, true, true, false), status::kOk);
    ASSERT_EQ(t.Width(), 256);
    ASSERT_EQ(t.Height(), 256);
    for (int x : {0, 128, 255}) {
        EXPECT_EQ(TexelFromTop(t, x, 52), (std::vector<std::uint8_t>{3, 4, 5})) << x;
        EXPECT_TRUE(Near(TexelFromTop(t, x, 53), {200, 40, 90})) << x;
        EXPECT_TRUE(Near(TexelFromTop(t, x, 202), {200, 40, 90})) << x;
        EXPECT_EQ(TexelFromTop(t, x, 203), (std::vector<std::uint8_t>{3, 4, 5})) << x;
    }
    // Smaller than the texture: not reduced, enlarged as before.
    scene_test::WriteFileBytes(dir.Path("small.jpg"), SolidJpeg(40, 64, 10, 220, 30));
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("small.jpg").c_str(), 256, 256, 3, 4, 5, true, true, false), status::kOk);
    EXPECT_EQ(TexelFromTop(t, 47, 100), (std::vector<std::uint8_t>{3, 4, 5}));  // 160 wide at 48
    EXPECT_TRUE(Near(TexelFromTop(t, 48, 100), {10, 220, 30}));
    EXPECT_TRUE(Near(TexelFromTop(t, 207, 100), {10, 220, 30}));
    EXPECT_EQ(TexelFromTop(t, 208, 100), (std::vector<std::uint8_t>{3, 4, 5}));
}

// The colours at the centres of the upright picture's quadrants (top left,
// top right, bottom left, bottom right) as letters, "?" for none.
std::string Quadrants(const Texture& t, bool upright_is_tall) {
    const int w = upright_is_tall ? 16 : 32;
    const int h = upright_is_tall ? 32 : 16;
    const int ox = (32 - w) / 2;
    const int oy = (32 - h) / 2;
    std::string out;
    for (auto [fx, fy] : {std::pair{1, 1}, {3, 1}, {1, 3}, {3, 3}}) {
        const auto c = TexelFromTop(t, ox + w * fx / 4, oy + h * fy / 4);
        const bool r = c[0] > 200, g = c[1] > 200, b = c[2] > 200;
        out += r && g && b ? 'W' : r && !g && !b ? 'R' : g && !r && !b ? 'G' : b && !r && !g ? 'B' : '?';
    }
    return out;
}

TEST(LoadPictureTexture, ExifOrientationTurnsJpegsUprightInBothByteOrders) {
    TempDir dir;
    const Bytes plain = test::QuadrantJpeg();
    const char* upright[9] = {"", "RGBW", "GRWB", "WBGR", "BWRG", "RBGW", "BRWG", "WGBR", "GWRB"};
    for (bool little : {true, false}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            test::ExifRecipe exif;
            exif.littleEndian = little;
            exif.orientation = static_cast<std::uint32_t>(orientation);
            scene_test::WriteFileBytes(dir.Path("o.jpg"), test::WithExif(plain, test::ExifTiff(exif)));
            Texture t;
            ASSERT_EQ(LoadPictureTexture(&t, dir.Path("o.jpg").c_str(), 32, 32, 0, 0, 0, true, true, false), status::kOk);
            EXPECT_EQ(Quadrants(t, orientation >= 5), upright[orientation]) << orientation << (little ? " II" : " MM");
        }
    }
}

TEST(LoadPictureTexture, MalformedExifShowsThePictureAsStored) {
    TempDir dir;
    const Bytes plain = test::QuadrantJpeg();
    const auto recipe = [](auto change) {
        test::ExifRecipe s;
        s.orientation = 6;
        change(s);
        return test::ExifTiff(s);
    };
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"IFD past the end", test::WithExif(plain, recipe([](auto& s) { s.ifdOffset = 0xFFFFFFF0u; }))},
        {"IFD inside the header", test::WithExif(plain, recipe([](auto& s) { s.ifdOffset = 2; }))},
        {"value count overflows", test::WithExif(plain, recipe([](auto& s) { s.valueCount = 0xFFFFFFFFu; }))},
        {"value 0", test::WithExif(plain, recipe([](auto& s) { s.orientation = 0; }))},
        {"value 9", test::WithExif(plain, recipe([](auto& s) { s.orientation = 9; }))},
        {"file cut inside the block", test::Truncated(test::WithExif(plain, recipe([](auto&) {})), 2 + 4 + 6 + 16)},
        {"segment too short for its TIFF", test::WithExif(plain, recipe([](auto&) {}), 2 + 6 + 12)},
    };
    for (const auto& [what, file] : cases) {
        EXPECT_EQ(ReadExifOrientation(file), 1) << what;
        scene_test::WriteFileBytes(dir.Path("m.jpg"), file);
        Texture t;
        // A cut file or a lying segment length takes the picture with it:
        // then it fails to decode, and that is all.
        if (LoadPictureTexture(&t, dir.Path("m.jpg").c_str(), 32, 32, 0, 0, 0, true, true, false) == status::kOk) {
            EXPECT_EQ(Quadrants(t, false), "RGBW") << what;
        }
    }
    // An entry count past the data and an IFD that names itself as the next
    // are read no further than the one entry there is.
    EXPECT_EQ(ReadExifOrientation(test::WithExif(plain, recipe([](auto& s) {
                  s.entryCount = 0xFFFF;
                  s.nextIfd = 8;
              }))),
              6);
    EXPECT_EQ(ReadExifOrientation(plain), 1);
}

TEST(LoadPictureTexture, FailuresLeaveTheTextureEmpty) {
    TempDir dir;
    scene_test::WriteFileBytes(dir.Path("p.TEX"), scene_test::SolidBmp(2, 2, 1, 2, 3));
    scene_test::WriteFileBytes(dir.Path("bad.bmp"), Bytes{'B', 'M', 1, 2, 3});
    Texture t;
    ASSERT_EQ(t.SetPixels(1, 1, 3, Bytes{1, 2, 3}), status::kOk);
    EXPECT_EQ(LoadPictureTexture(&t, dir.Path("p.TEX").c_str(), 4, 4, 0, 0, 0, true, true, false), status::kFail);
    EXPECT_FALSE(t.HasPixels());
    PictureLoadError error;
    EXPECT_EQ(LoadPictureTexture(&t, dir.Path("missing.bmp").c_str(), 4, 4, 0, 0, 0, true, true, false,
                                 ProgramResources(), &error),
              status::kFail);
    EXPECT_EQ(error.code, 4);  // the decoder's own code: cannot open
    EXPECT_NE(error.text.find("missing.bmp"), std::string::npos);
    EXPECT_EQ(LoadPictureTexture(&t, dir.Path("bad.bmp").c_str(), 4, 4, 0, 0, 0, true, true, false), status::kFail);
    EXPECT_EQ(t.Width(), 0);
    // A texture past the bitmap limit is out of memory, and the picture is
    // refused as soon as its size is known.
    scene_test::WriteFileBytes(dir.Path("p.bmp"), scene_test::SolidBmp(2, 2, 1, 2, 3));
    EXPECT_EQ(LoadPictureTexture(&t, dir.Path("p.bmp").c_str(), 70000, 70000, 0, 0, 0, false, true, false),
              status::kOutOfMemory);
    EXPECT_FALSE(t.HasPixels());
    EXPECT_EQ(LoadPictureTexture(&t, nullptr, 4, 4, 0, 0, 0, true, true, false), status::kPointer);
    EXPECT_EQ(LoadPictureTexture(nullptr, "x.bmp", 4, 4, 0, 0, 0, true, true, false), status::kPointer);
}

TEST(LoadPictureTexture, UndecodableFileFallsBackToTheResourceOfThatName) {
    MemoryResourceStore resources;
    resources.Add("logo.bmp", scene_test::SolidBmp(4, 4, 10, 20, 30));
    Texture t;
    ASSERT_EQ(LoadPictureTexture(&t, "logo.bmp", -1, -1, 0, 0, 0, false, true, false, resources), status::kOk);
    EXPECT_EQ(t.Width(), 4);
    EXPECT_EQ(TexelFromTop(t, 1, 1), (std::vector<std::uint8_t>{10, 20, 30}));
}

TEST(LoadPictureTexture, AlphaCompanionOfTheSameSizeOnlyAndTheDashASelfMerge) {
    TempDir dir;
    scene_test::WriteFileBytes(dir.Path("photo.bmp"), scene_test::SolidBmp(8, 4, 200, 100, 50));
    scene_test::WriteFileBytes(dir.Path("photo_a.bmp"), scene_test::SolidBmp(8, 4, 77, 0, 0));
    scene_test::WriteFileBytes(dir.Path("other.bmp"), scene_test::SolidBmp(8, 4, 200, 100, 50));
    scene_test::WriteFileBytes(dir.Path("other_a.bmp"), scene_test::SolidBmp(16, 4, 77, 0, 0));
    scene_test::WriteFileBytes(dir.Path("glow-a.bmp"), scene_test::SolidBmp(4, 4, 90, 1, 2));
    Texture t;
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("photo.bmp").c_str(), -1, -1, 0, 0, 0, false, false, true), status::kOk);
    EXPECT_EQ(t.Channels(), 4);
    EXPECT_EQ(TexelFromTop(t, 7, 3), (std::vector<std::uint8_t>{200, 100, 50, 77}));
    // With no-companion the companion is not looked at.
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("photo.bmp").c_str(), -1, -1, 0, 0, 0, false, true, true), status::kOk);
    EXPECT_EQ(t.Channels(), 3);
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("other.bmp").c_str(), -1, -1, 0, 0, 0, false, false, true), status::kOk);
    EXPECT_EQ(t.Channels(), 3);
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("glow-a.bmp").c_str(), -1, -1, 0, 0, 0, false, false, true), status::kOk);
    EXPECT_EQ(TexelFromTop(t, 0, 0), (std::vector<std::uint8_t>{90, 1, 2, 90}));
    // A "-a" in a folder name does not count.
    std::filesystem::create_directory(dir.Path("my-album"));
    scene_test::WriteFileBytes(dir.Path("my-album/plain.bmp"), scene_test::SolidBmp(4, 4, 90, 1, 2));
    ASSERT_EQ(LoadPictureTexture(&t, dir.Path("my-album/plain.bmp").c_str(), -1, -1, 0, 0, 0, false, false, true),
              status::kOk);
    EXPECT_EQ(t.Channels(), 3);
}

TEST(FindNamedTexture, LookupOrder) {
    TempDir dir;
    Texture record;
    ASSERT_EQ(record.SetPixels(2, 2, 3, Bytes(12, 42)), status::kOk);
    record.SetName("stored.bmp");
    Bytes container;
    ASSERT_EQ(WriteResourcePack(record, container), status::kOk);

    MemoryResourceStore resources;
    resources.Add("SKY.TEX", container);
    Texture t;
    // 1. A resource container, named as asked.
    ASSERT_EQ(FindNamedTexture(&t, "sky.tex", resources), status::kOk);
    EXPECT_EQ(t.Name(), "sky.tex");
    EXPECT_EQ(t.Width(), 2);

    // 2. A picture file, rounded down to powers of two, stretched.
    scene_test::WriteFileBytes(dir.Path("pic.bmp"), scene_test::SolidBmp(5, 3, 9, 8, 7));
    ASSERT_EQ(FindNamedTexture(&t, dir.Path("pic.bmp").c_str(), resources), status::kOk);
    EXPECT_EQ(t.Width(), 4);
    EXPECT_EQ(t.Height(), 2);
    EXPECT_EQ(t.Name(), dir.Path("pic.bmp"));

    // 3. A container file keeps the name in its record; a ".tex" file is
    // never decoded as a picture.
    scene_test::WriteFileBytes(dir.Path("asset.TEX"), container);
    ASSERT_EQ(FindNamedTexture(&t, dir.Path("asset.TEX").c_str(), resources), status::kOk);
    EXPECT_EQ(t.Name(), "stored.bmp");
    scene_test::WriteFileBytes(dir.Path("photo.tex"), scene_test::SolidBmp(4, 4, 1, 1, 1));
    EXPECT_TRUE(Failed(FindNamedTexture(&t, dir.Path("photo.tex").c_str(), resources)));
    EXPECT_FALSE(t.HasPixels());
    EXPECT_EQ(FindNamedTexture(&t, dir.Path("nothing.bmp").c_str(), resources), status::kFail);
}

TEST(NamedTextureList, LoadsOnceFindsByTheAskedNameAndRemoves) {
    TempDir dir;
    Texture record;
    ASSERT_EQ(record.SetPixels(1, 1, 3, Bytes{1, 2, 3}), status::kOk);
    record.SetName("inside.bmp");
    Bytes container;
    ASSERT_EQ(WriteResourcePack(record, container), status::kOk);
    scene_test::WriteFileBytes(dir.Path("x.tex"), container);

    NamedTextureList list;
    const MemoryResourceStore none;
    Texture* first = nullptr;
    Texture* second = nullptr;
    ASSERT_EQ(list.Load(dir.Path("x.tex").c_str(), &first, none), status::kOk);
    ASSERT_EQ(list.Load(dir.Path("x.tex").c_str(), &second, none), status::kNothingToDo);
    EXPECT_EQ(first, second);
    EXPECT_EQ(list.size(), 1u);
    Texture* missing = first;
    EXPECT_EQ(list.Load(dir.Path("X.tex").c_str(), &missing, none), status::kFail);  // case counts
    EXPECT_EQ(missing, nullptr);
    EXPECT_NE(list.Remove(dir.Path("x.tex")), nullptr);
    EXPECT_EQ(list.Remove(dir.Path("x.tex")), nullptr);
    EXPECT_EQ(list.size(), 0u);
}

TEST(ResampleTexture, SameSizeNearestBilinearAndSwap) {
    Texture t;
    ASSERT_EQ(t.SetPixels(2, 1, 4, Bytes{0, 10, 200, 100, 100, 20, 0, 200}), status::kOk);
    t.SetNeedsUpload(false);
    EXPECT_EQ(ResampleTexture(&t, 2, 1, true, false), status::kNothingToDo);
    EXPECT_FALSE(t.NeedsUpload());
    EXPECT_EQ(ResampleTexture(&t, 0, 1, true, false), status::kFail);
    EXPECT_EQ(ResampleTexture(nullptr, 1, 1, true, false), status::kPointer);

    Texture bilinear;
    ASSERT_EQ(CopyBySerializing(t, bilinear), status::kOk);
    ASSERT_EQ(ResampleTexture(&bilinear, 4, 1, true, false), status::kOk);
    EXPECT_TRUE(bilinear.NeedsUpload());
    // Source positions 0, 0.5, 1, 1.5: the last column has no right
    // neighbour. Every channel is interpolated, alpha included.
    EXPECT_EQ(bilinear.Pixels(), (Bytes{0, 10, 200, 100, 50, 15, 100, 150, 100, 20, 0, 200, 100, 20, 0, 200}));

    Texture swapped;
    ASSERT_EQ(CopyBySerializing(t, swapped), status::kOk);
    ASSERT_EQ(ResampleTexture(&swapped, 4, 1, true, true), status::kOk);
    EXPECT_EQ(swapped.Pixels()[4], 100);
    EXPECT_EQ(swapped.Pixels()[6], 50);

    Texture nearest;
    ASSERT_EQ(CopyBySerializing(t, nearest), status::kOk);
    ASSERT_EQ(ResampleTexture(&nearest, 3, 2, false, false), status::kOk);
    EXPECT_EQ(nearest.Width(), 3);
    EXPECT_EQ(nearest.Height(), 2);
    // Positions 0, 0.67, 1.33 truncate to columns 0, 0, 1.
    EXPECT_EQ(nearest.Pixels()[4], 0);
    EXPECT_EQ(nearest.Pixels()[8], 100);
    EXPECT_EQ(nearest.Pixels()[12], 0);

    Texture empty;
    EXPECT_EQ(ResampleTexture(&empty, 4, 4, true, false), status::kFail);
    EXPECT_EQ(ResampleTexture(&t, 1 << 20, 1 << 20, true, false), status::kOutOfMemory);
}

}  // namespace
}  // namespace cs

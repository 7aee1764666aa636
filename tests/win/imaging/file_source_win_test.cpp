// FileSource through the real file mapping, and the decode entry points
// that use it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/auto_decoder.h"
#include "imaging/data_source.h"
#include "imaging/pl_exception.h"
#include "test_support.h"

namespace cs {
namespace {

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char base[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, base), 0u);
        folder_ = std::string(base) + "imaging-win-test-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    void TearDown() override {
        for (const std::string& f : files_) DeleteFileA(f.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = folder_ + "\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        files_.push_back(path);
        return path;
    }
    std::string folder_;
    std::vector<std::string> files_;
};

// 2 x 1 at 24 bits.
std::vector<std::uint8_t> SmallBmp() {
    std::vector<std::uint8_t> b(62, 0);
    const std::uint8_t header[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                   2,   0,   0,  0, 1, 0, 0, 0, 1, 0, 24, 0};
    std::memcpy(b.data(), header, sizeof header);
    const std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6};
    std::memcpy(b.data() + 54, pixels, sizeof pixels);
    return b;
}

using FileSourceMapping = TempFolder;

TEST_F(FileSourceMapping, MapsTheWholeFileReadOnly) {
    std::vector<std::uint8_t> bytes(100000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
    const std::string path = Write("data.bin", bytes);
    FileSource source;
    ASSERT_EQ(source.Open(path.c_str()), 0);
    EXPECT_EQ(source.Size(), bytes.size());
    EXPECT_EQ(source.Name(), path);
    EXPECT_EQ(std::memcmp(source.WholeData(), bytes.data(), bytes.size()), 0);
    source.Read(99999);
    EXPECT_THROW(source.Read(2), PLTextException);
    source.Close();
    // Closed: the file can be deleted at once.
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(FileSourceMapping, OpenFailuresMapToTheirCodes) {
    FileSource source;
    EXPECT_EQ(source.Open((folder_ + "\\missing.bmp").c_str()), 4);
    EXPECT_EQ(source.Open((folder_ + "\\no folder\\missing.bmp").c_str()), 3);
    EXPECT_EQ(source.Open(Write("empty.bmp", {}).c_str()), 5);  // an empty file cannot be mapped

    // Held open by someone who shares nothing.
    const std::string locked = Write("locked.bmp", SmallBmp());
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(source.Open(locked.c_str()), 5);
    CloseHandle(holder);
    EXPECT_EQ(source.Open(locked.c_str()), 0);
}

TEST_F(FileSourceMapping, DecodeFromFileReportsTheOpenResultWithTheName) {
    const std::string path = Write("small.jpg", SmallBmp());  // a bitmap, whatever the name says
    AutoDecoder decoder;
    PlainBitmap bitmap;
    decoder.DecodeFromFile(path.c_str(), bitmap, 32);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Row(0)[4], 4);

    const std::string missing = folder_ + "\\gone.png";
    try {
        decoder.DecodeFromFile(missing.c_str(), bitmap, 32);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 4);
        EXPECT_EQ(std::string(e.GetText()), "Decoder error: Opening " + missing + " failed\n");
    }
}

TEST(ResourceSourceOpen, MissingResourceIsCodeFour) {
    ResourceSource source;
    EXPECT_EQ(source.Open(GetModuleHandleA(nullptr), 4242), 4);
    AutoDecoder decoder;
    PlainBitmap bitmap;
    try {
        decoder.DecodeFromResource(GetModuleHandleA(nullptr), 4242, bitmap, 32);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 4);
        EXPECT_STREQ(e.GetText(), "Decoder error: Opening resource 4242 failed\n");
    }
}

using UprightDecode = TempFolder;

// The file-list preview decodes through the texture path's code into a
// DIB: a photo stored sideways arrives upright and fitted.
TEST_F(UprightDecode, AnExifJpegArrivesUprightInADib) {
    test::ExifRecipe exif;
    exif.littleEndian = false;
    exif.orientation = 6;  // to be turned a quarter clockwise
    const std::string path = Write("sideways.jpg", test::WithExif(test::QuadrantJpeg(), test::ExifTiff(exif)));
    DibBitmap dib;
    AutoDecoder().DecodeUprightFromFile(path.c_str(), dib, [](std::int32_t w, std::int32_t h) {
        EXPECT_EQ(w, 16);
        EXPECT_EQ(h, 32);
        return PictureSize{8, 16};
    });
    ASSERT_EQ(dib.Width(), 8);
    ASSERT_EQ(dib.Height(), 16);
    // B G R of the quadrant centres: blue, red above white, green.
    const auto colour = [&](int x, int y) {
        const std::uint8_t* p = dib.Row(y) + x * 4;
        return (p[2] > 200 ? 4 : 0) | (p[1] > 200 ? 2 : 0) | (p[0] > 200 ? 1 : 0);
    };
    EXPECT_EQ(colour(2, 4), 1);
    EXPECT_EQ(colour(6, 4), 4);
    EXPECT_EQ(colour(2, 12), 7);
    EXPECT_EQ(colour(6, 12), 2);
}

}  // namespace
}  // namespace cs

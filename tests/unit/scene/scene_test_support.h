#pragma once
// Small builders shared by the scene tests: picture files written byte by
// byte, and little-endian records.
#include <cstdint>
#include <string>
#include <vector>

namespace cs::scene_test {

using Bytes = std::vector<std::uint8_t>;

// A 24-bit BMP of the picture given top row first as R, G, B triples.
Bytes Bmp24(int width, int height, const std::vector<std::uint8_t>& rgb_top_down);
// A BMP filled with one colour.
Bytes SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// A fresh folder for one test's files, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

}  // namespace cs::scene_test

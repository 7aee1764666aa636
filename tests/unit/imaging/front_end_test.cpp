// Data sources, format detection and the decode entry points.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "imaging/auto_decoder.h"
#include "imaging/data_source.h"
#include "imaging/decoder_trace.h"
#include "imaging/picture_format.h"
#include "imaging/pl_exception.h"
#include "imaging/system_codecs.h"
#include "test_support.h"

namespace cs {
namespace {

using test::Bytes;
using test::ByteWriter;
using test::DecodeBytes;
using test::DecoderText;

// A small valid 24-bit BMP (2 x 1).
Bytes SmallBmp() {
    ByteWriter w;
    w.Text("BM").U32(62).U32(0).U32(54);
    w.U32(40).U32(2).U32(1).U16(1).U16(24).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0);
    w.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U16(0);
    return w.Take();
}

TEST(DataSource, ReadAdvancesAndThrowsPlainEndOfDataWithoutMoving) {
    const Bytes data = {1, 2, 3, 4, 5};
    MemorySource source;
    EXPECT_EQ(source.Open(data.data(), data.size()), 0);
    EXPECT_EQ(source.Name(), "Mem");
    EXPECT_EQ(source.ReadU16LE(), 0x0201);
    EXPECT_EQ(source.Position(), 2u);
    try {
        source.Read(4);
        FAIL();
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.GetCode(), 11);
        EXPECT_STREQ(e.GetText(), "End of file reached while decoding.\n");
    }
    EXPECT_EQ(source.Position(), 2u);
    EXPECT_THROW(source.Read(SIZE_MAX), PLTextException);  // no wrap-around
    EXPECT_EQ(source.Read(3)[2], 5);
    EXPECT_EQ(source.Remaining(), 0u);
}

TEST(DataSource, BigEndianHelpersAndLookAheadStopAtTheEnd) {
    const Bytes data = {0x12, 0x34, 0x56, 0x78, 0x9A};
    MemorySource source;
    source.Open(data.data(), data.size());
    EXPECT_EQ(source.LookAhead(512).size(), 5u);
    EXPECT_EQ(source.ReadU32BE(), 0x12345678u);
    EXPECT_EQ(source.LookAhead(512).size(), 1u);
    EXPECT_EQ(source.Position(), 4u);
    source.Close();
    EXPECT_TRUE(source.LookAhead(4).empty());
}

TEST(DataSource, ProgressIsReportedEachTimeAKilobyteBoundaryIsCrossed) {
    struct Sink : ProgressSink {
        std::vector<double> seen;
        void OnProgress(double fraction) override { seen.push_back(fraction); }
    } sink;
    const Bytes data(4096, 0);
    MemorySource source(&sink);
    source.Open(data.data(), data.size());
    source.Read(1000);
    EXPECT_TRUE(sink.seen.empty());
    source.Read(48);
    source.Read(2048);
    ASSERT_EQ(sink.seen.size(), 2u);
    EXPECT_DOUBLE_EQ(sink.seen[0], 1048.0 / 4096);
    EXPECT_DOUBLE_EQ(sink.seen[1], 3096.0 / 4096);
}

struct DetectCase {
    const char* name;
    Bytes head;
    std::size_t size;  // 0: the head's own size
    PictureFormat expected;
};

Bytes WithBytes(std::size_t size, std::initializer_list<std::pair<std::size_t, std::uint8_t>> set) {
    Bytes b(size, 0x20);
    for (auto [at, value] : set) b[at] = value;
    return b;
}

TEST(Detection, FollowsTheTableInOrder) {
    Bytes pict(600, 0x20);
    pict[522] = 0x00, pict[523] = 0x11, pict[524] = 0x02, pict[525] = 0xFF;
    Bytes pictV1 = pict;
    pictV1[524] = 0x01, pictV1[525] = 0x77;
    Bytes eps = WithBytes(40, {{0, 0xC5}, {1, 0xD0}, {2, 0xD3}, {3, 0xC6}, {20, 1}, {24, 1}});
    Bytes epsNoPreview = eps;
    for (int i = 24; i < 28; ++i) epsNoPreview[i] = 0;
    // Bytes that fit both the TGA test and "BM": the bitmap test comes first.
    Bytes bmTga = WithBytes(20, {{0, 'B'}, {1, 'M'}, {2, 2}, {7, 0}, {16, 24}});
    Bytes tga = WithBytes(20, {{1, 0}, {2, 2}, {7, 0}, {16, 24}});
    Bytes tgaBadDepth = tga;
    tgaBadDepth[16] = 12;
    const DetectCase cases[] = {
        {"BA", {'B', 'A'}, 0, PictureFormat::Bmp},
        {"BM", {'B', 'M'}, 0, PictureFormat::Bmp},
        {"IC", {'I', 'C'}, 0, PictureFormat::Bmp},
        {"CP", {'C', 'P'}, 0, PictureFormat::Bmp},
        {"CI", {'C', 'I'}, 0, PictureFormat::Bmp},
        {"bmp before tga", bmTga, 0, PictureFormat::Bmp},
        {"tga", tga, 0, PictureFormat::Tga},
        {"tga rle grey", WithBytes(20, {{1, 1}, {2, 11}, {7, 8}, {16, 8}}), 0, PictureFormat::Tga},
        {"tga bad depth", tgaBadDepth, 0, PictureFormat::Unknown},
        {"gif", {'G', 'I', 'F', '8', '9', 'a'}, 0, PictureFormat::Gif},
        {"tiff intel", {0x49, 0x49, 0x2A, 0x00}, 0, PictureFormat::Tiff},
        {"tiff motorola", {0x4D, 0x4D, 0x00, 0x2A}, 0, PictureFormat::Tiff},
        {"pict 2", pict, 0, PictureFormat::Pict},
        {"pict 1", pictV1, 0, PictureFormat::Pict},
        {"pict too small", pict, 540, PictureFormat::Unknown},
        {"jpeg", {0xFF, 0xD8, 0xFF, 0xE0}, 0, PictureFormat::Jpeg},
        {"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A}, 0, PictureFormat::Png},
        {"eps", eps, 0, PictureFormat::EpsTiff},
        {"eps without preview", epsNoPreview, 0, PictureFormat::Unknown},
        {"pcx", {0x0A, 0x05, 0x01, 0x08}, 0, PictureFormat::Pcx},
        {"pgm", {'P', '5', '\n'}, 0, PictureFormat::Pgm},
        {"ppm", {'P', '3', '\n'}, 0, PictureFormat::Ppm},
        {"psd", {'8', 'B', 'P', 'S', 0, 1}, 0, PictureFormat::Psd},
        {"text", {'h', 'e', 'l', 'l', 'o'}, 0, PictureFormat::Unknown},
        {"empty", {}, 0, PictureFormat::Unknown},
    };
    for (const DetectCase& c : cases) {
        const std::size_t size = c.size != 0 ? c.size : c.head.size();
        EXPECT_EQ(DetectPictureFormat(c.head, size), c.expected) << c.name;
    }
}

TEST(Detection, MissingBytesNeverMatch) {
    // Cut off before the byte a test needs: no match, no read past the end.
    const Bytes tga = WithBytes(17, {{1, 0}, {2, 2}, {7, 0}, {16, 24}});
    EXPECT_EQ(DetectPictureFormat(std::span(tga).first(16), 16), PictureFormat::Unknown);
    const Bytes eps = WithBytes(28, {{0, 0xC5}, {1, 0xD0}, {2, 0xD3}, {3, 0xC6}, {20, 1}, {24, 1}});
    EXPECT_EQ(DetectPictureFormat(std::span(eps).first(27), 27), PictureFormat::Unknown);
    const Bytes pcx = {0x0A, 0x05};
    EXPECT_EQ(DetectPictureFormat(pcx, pcx.size()), PictureFormat::Unknown);
    const Bytes jpegStart = {0xFF, 0xD8};
    EXPECT_EQ(DetectPictureFormat(jpegStart, 2), PictureFormat::Unknown);
    // A PICT signature claimed by the size but missing from the bytes.
    EXPECT_EQ(DetectPictureFormat(Bytes(100, 0), 600), PictureFormat::Unknown);
}

TEST(AutoDecoder, RefusesFormatsItCannotDecodeAndUnknownData) {
    auto gif = DecodeBytes({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
    EXPECT_EQ(gif->code, 6);
    EXPECT_EQ(gif->text, DecoderText("Library not compiled for this file type."));
    for (const Bytes& b : {Bytes{0x49, 0x49, 0x2A, 0x00, 8, 0}, Bytes{'P', '6', '\n'}, Bytes{'P', '2', '\n'}}) {
        EXPECT_EQ(DecodeBytes(b)->code, 6);
    }
    auto text = DecodeBytes({'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't', '\n'});
    EXPECT_EQ(text->code, 8);
    EXPECT_EQ(text->text, DecoderText("Unknown file type."));
    EXPECT_EQ(DecodeBytes({})->code, 8);
}

TEST(AutoDecoder, DepthAboveTheRequestIsRefusedWithThePlainText) {
    auto r = DecodeBytes(SmallBmp(), 8);
    EXPECT_EQ(r->code, 6);
    EXPECT_EQ(r->text, "Image bit depth doesn't match request.");
    EXPECT_TRUE(DecodeBytes(SmallBmp(), 0)->ok);
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/imaging-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        for (const std::string& f : files_) std::remove(f.c_str());
        rmdir((folder_ + "/sub").c_str());
        rmdir(folder_.c_str());
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = folder_ + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        files_.push_back(path);
        return path;
    }
    std::string folder_;
    std::vector<std::string> files_;
};

using FileDecoding = TempFolder;

TEST_F(FileDecoding, FormatComesFromTheContentNotTheName) {
    test::JpegRecipe recipe;
    recipe.width = 4;
    recipe.height = 2;
    const std::string jpegAsBmp = Write("photo.bmp", test::MakeJpeg(recipe));
    const std::string bmpAsJpeg = Write("picture.jpg", SmallBmp());
    AutoDecoder decoder;
    PlainBitmap bitmap;
    decoder.DecodeFromFile(jpegAsBmp.c_str(), bitmap, 32);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.GetResolution(), (Resolution{72, 72}));  // a JPEG's resolution, not a BMP's
    decoder.DecodeFromFile(bmpAsJpeg.c_str(), bitmap, 32);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.GetResolution(), (Resolution{150, 150}));
    EXPECT_EQ(test::PixelAt(bitmap, 1, 0), (Pixel32{4, 5, 6, 255}));
}

TEST_F(FileDecoding, OpenFailuresCarryTheirCodeAndTheFileName) {
    auto failure = [](const std::string& path) {
        AutoDecoder decoder;
        PlainBitmap bitmap;
        try {
            decoder.DecodeFromFile(path.c_str(), bitmap, 32);
        } catch (const PLTextException& e) {
            return std::make_pair(static_cast<int>(e.GetCode()), std::string(e.GetText()));
        }
        return std::make_pair(0, std::string());
    };
    const std::string missing = folder_ + "/missing.png";
    EXPECT_EQ(failure(missing), std::make_pair(4, DecoderText("Opening " + missing + " failed")));
    EXPECT_EQ(failure(folder_ + "/nofolder/missing.png").first, 3);
    EXPECT_EQ(failure(folder_).first, 5);                          // a folder
    EXPECT_EQ(failure(Write("empty.bmp", {})).first, 5);          // cannot be mapped
    EXPECT_EQ(failure(Write("text.txt", {'h', 'i', '\n'})).first, 8);
    EXPECT_EQ(failure("").first, 4);
    // A FIFO with a picture's name is refused at once, not waited on.
    const std::string fifo = folder_ + "/fifo.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    files_.push_back(fifo);
    EXPECT_EQ(failure(fifo).first, 5);
}

TEST_F(FileDecoding, FileSourceMapsTheWholeFileAndClosesCleanly) {
    const Bytes bytes = SmallBmp();
    const std::string path = Write("small.bmp", bytes);
    FileSource source;
    ASSERT_EQ(source.Open(path.c_str()), 0);
    EXPECT_EQ(source.Name(), path);
    EXPECT_EQ(source.Size(), bytes.size());
    EXPECT_EQ(std::memcmp(source.WholeData(), bytes.data(), bytes.size()), 0);
    source.Close();
    EXPECT_EQ(source.Size(), 0u);
    EXPECT_EQ(source.Open(path.c_str()), 0);  // reopen after close
}

TEST_F(FileDecoding, TraceFileReceivesMessagesUpToItsLevel) {
    const std::string trace = folder_ + "/trace.txt";
    files_.push_back(trace);
    DecoderTrace::SetFileName(trace);
    DecoderTrace::SetLevel(2);
    const std::string path = Write("small.bmp", SmallBmp());
    AutoDecoder decoder;
    PlainBitmap bitmap;
    decoder.DecodeFromFile(path.c_str(), bitmap, 32);
    EXPECT_THROW(decoder.DecodeFromMemory(reinterpret_cast<const std::uint8_t*>("xx"), 2, bitmap, 32),
                 PLTextException);
    DecoderTrace::SetFileName("");
    DecoderTrace::SetLevel(0);

    std::ifstream in(trace);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("--- Decoding file " + path + ". ---\n"), std::string::npos);
    EXPECT_NE(text.find("Windows bitmap recognized.\nBitmap file signature found\nBitmap header is ok.\n"
                        "Decoding true-color bitmap.\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Decoding finished."), std::string::npos);  // level 3
    EXPECT_NE(text.find("Decoder error: Unknown file type.\n"), std::string::npos);
}

// System codecs that read GIF and data starting "FAKE", as one grey pixel.
class FakeCodecs final : public SystemCodecs {
public:
    class Decoder final : public SystemDecoder {
    public:
        bool Recognises(DataSource& source) override {
            const auto head = source.LookAhead(4);
            const std::string start(head.begin(), head.end());
            return start == "GIF8" || start == "FAKE";
        }
        void DecodeInto(Bitmap& target, DataSource& source) override {
            target.Create(1, 1, 32, false);
            BitmapLock lock(target, false, true);
            std::fill_n(target.Row(0), 4, 0x80);
        }
    };
    const std::vector<SystemPictureFormat>& Formats() const override { return formats_; }
    std::unique_ptr<SystemDecoder> MakeDecoder() const override { return std::make_unique<Decoder>(); }
    std::unique_ptr<CodecThreadLease> LeaseThread() const override { return nullptr; }

private:
    std::vector<SystemPictureFormat> formats_;
};

// By content alone: a file named for one format and holding another goes to
// the decoder of what it holds; the system's codecs get only what the own
// decoders do not read, and where they refuse it too the front end's codes
// stay.
TEST_F(FileDecoding, ChoosesTheDecoderByContentNotByName) {
    const FakeCodecs codecs;
    ByteWriter tiff;
    tiff.U8(0x49).U8(0x49).U8(0x2A).U8(0).Fill(60, 0);
    ByteWriter fake;
    fake.Text("FAKE").Fill(60, 1);
    ByteWriter gif;
    gif.Text("GIF89a").Fill(60, 0);
    const struct {
        const char* name;
        Bytes bytes;
        int code_with;      // 0: decoded
        int width_with;     // as decoded with the codecs
        int code_without;   // and without them
    } cases[] = {
        {"bitmap.gif", SmallBmp(), 0, 2, 0},
        {"photo.heic", SmallBmp(), 0, 2, 0},
        {"anim.jpg", gif.Take(), 0, 1, 6},
        {"scan.tif", tiff.Take(), 6, 0, 6},
        {"phone.heic", fake.Take(), 0, 1, 8},
        {"notes.gif", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, 8, 0, 8},
    };
    for (const auto& c : cases) {
        const std::string path = Write(c.name, c.bytes);
        for (const bool with : {true, false}) {
            AutoDecoder decoder(with ? &codecs : nullptr);
            PlainBitmap bitmap;
            int code = 0;
            try {
                decoder.DecodeUprightFromFile(path.c_str(), bitmap, [](std::int32_t w, std::int32_t h) {
                    return PictureSize{w, h};
                });
            } catch (const PLTextException& e) {
                code = e.GetCode();
            }
            EXPECT_EQ(code, with ? c.code_with : c.code_without) << c.name << (with ? " with codecs" : " without");
            if (with && code == 0) {
                EXPECT_EQ(bitmap.Width(), c.width_with) << c.name;
            }
        }
    }
}

TEST(SystemCodecs, ExtensionListsSplitAtSemicolonsAndCommas) {
    EXPECT_EQ(ParseCodecExtensions(".tif;.tiff"), (std::vector<std::string>{"tif", "tiff"}));
    EXPECT_EQ(ParseCodecExtensions(".GIF, .gif,,*.Jxr ;"), (std::vector<std::string>{"gif", "jxr"}));
    EXPECT_TRUE(ParseCodecExtensions(" ; , . ").empty());
}

}  // namespace
}  // namespace cs

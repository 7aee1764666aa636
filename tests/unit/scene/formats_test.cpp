#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "scene/resource_pack.h"

namespace cs {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A TEX record written field by field, independently of the writer.
Bytes TexRecord(std::uint32_t w, std::uint32_t h, std::uint32_t ch, const char* name, std::size_t pixel_bytes,
                std::uint8_t magic = 'G', std::uint8_t version = 1) {
    Bytes b{magic, version};
    Put32(b, w);
    Put32(b, h);
    Put32(b, ch);
    const std::uint32_t len = static_cast<std::uint32_t>(std::strlen(name) + 1);
    Put32(b, len);
    Put32(b, 1);
    Put32(b, len);
    b.insert(b.end(), name, name + len);
    for (std::size_t i = 0; i < pixel_bytes; ++i) b.push_back(static_cast<std::uint8_t>(i * 7));
    return b;
}

Bytes Stored(const Bytes& record, std::uint8_t header = 8) {
    Bytes b{header, 1, 0, 0xCC};
    Put32(b, 0xDEADBEEF);  // not used when stored
    b.resize(header, 0);
    b.insert(b.end(), record.begin(), record.end());
    return b;
}

Bytes Compressed(const Bytes& record, std::uint32_t declared) {
    uLongf length = compressBound(static_cast<uLong>(record.size()));
    Bytes z(length);
    EXPECT_EQ(compress2(z.data(), &length, record.data(), static_cast<uLong>(record.size()), 9), Z_OK);
    z.resize(length);
    Bytes b{8, 1, 1, 0xCC};
    Put32(b, declared);
    b.insert(b.end(), z.begin(), z.end());
    return b;
}

// A mesh whose unused fields all hold something worth losing.
void FillOddMesh(Mesh& m) {
    ASSERT_EQ(m.Create(PrimitiveKind::kTriangles, 1), status::kOk);
    m.CreateVertexArrays(3, mesh_flags::kNormals | mesh_flags::kTexCoords | mesh_flags::kTexCoords2 |
                                mesh_flags::kColors);
    for (std::size_t i = 0; i < m.positions.size(); ++i) m.positions[i] = 0.5f * static_cast<float>(i);
    for (std::size_t i = 0; i < m.tex_coords2.size(); ++i) m.tex_coords2[i] = -1.25f * static_cast<float>(i);
    for (std::size_t i = 0; i < m.face_normals.size(); ++i) m.face_normals[i] = 1e-30f * static_cast<float>(i);
    m.face_normals[8] = std::numeric_limits<float>::quiet_NaN();
    m.indices[0] = 2;
    m.indices[1] = 1;
    m.positions.Append(9.0f);  // capacity now runs ahead of the count
    m.SetMaterialName(0, "0123456789ABCDEF");  // all 16 bytes, no terminator
    m.SetMaterialName(1, "sky.tex");
    m.SetName("Odd");
    m.bounds_min = {-1, -2, -3};
    m.bounds_max = {4, 5, 6};
    m.reference_point = {0.25f, 0.5f, 0.75f};
    m.diagonal = 12.5f;
}

TEST(ResourcePack, StoredPayloadIsReadDirectlyAndDeclaredSizeIgnored) {
    Texture t;
    EXPECT_EQ(ReadResourcePack(Stored(TexRecord(2, 1, 3, "a.bmp", 6)), &t), status::kOk);
    EXPECT_EQ(t.Width(), 2);
    EXPECT_EQ(t.Height(), 1);
    EXPECT_EQ(t.Name(), "a.bmp");
    EXPECT_EQ(t.Pixels(), (Bytes{0, 7, 14, 21, 28, 35}));
    EXPECT_TRUE(t.NeedsUpload());
    // A longer header moves the payload along.
    EXPECT_EQ(ReadResourcePack(Stored(TexRecord(1, 1, 4, "b", 4), 12), &t), status::kOk);
    EXPECT_EQ(t.Channels(), 4);
}

TEST(ResourcePack, CompressedPayloadIsInflatedAndLongerDeclaredSizeIsFine) {
    const Bytes record = TexRecord(3, 2, 3, "c.bmp", 18);
    Texture t;
    EXPECT_EQ(ReadResourcePack(Compressed(record, static_cast<std::uint32_t>(record.size())), &t), status::kOk);
    EXPECT_EQ(t.PixelBytes(), 18u);
    EXPECT_EQ(ReadResourcePack(Compressed(record, static_cast<std::uint32_t>(record.size()) + 100), &t), status::kOk);
}

TEST(ResourcePack, CorruptContainersFailWithTheirCodesAndLeaveTheTargetEmpty) {
    const Bytes record = TexRecord(3, 2, 3, "c.bmp", 18);
    Bytes truncated = Compressed(record, static_cast<std::uint32_t>(record.size()));
    truncated.resize(truncated.size() - 6);
    Bytes garbage = Compressed(record, static_cast<std::uint32_t>(record.size()));
    garbage[9] ^= 0xFF;
    struct Case {
        const char* what;
        Bytes data;
        Status expected;
    } cases[] = {
        {"bad magic", Stored(TexRecord(1, 1, 3, "x", 3, 'H')), status::kFail},
        {"version 2", Stored(TexRecord(1, 1, 3, "x", 3, 'G', 2)), status::kFail},
        {"two channels", Stored(TexRecord(1, 1, 2, "x", 2)), status::kFail},
        {"pixels beyond the data", Stored(TexRecord(4, 4, 3, "x", 47)), status::kFail},
        {"oversized texture", Stored(TexRecord(0xFFFFFFFF, 0xFFFFFFFF, 4, "x", 16)), status::kFail},
        {"header longer than data", Bytes{200, 1, 0, 0xCC, 0, 0, 0, 0}, status::kFail},
        {"two bytes", Bytes{8, 1}, status::kFail},
        {"compressed without size", Bytes{3, 1, 1}, status::kFail},
        {"truncated zlib stream", truncated, status::kInvalidArg},
        {"corrupt zlib stream", garbage, status::kInvalidArg},
        {"declared size too small", Compressed(record, static_cast<std::uint32_t>(record.size()) - 1), status::kInvalidArg},
        {"declared size absurd", Compressed(record, 0xFFFFFFFF), status::kOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Texture t;
        ASSERT_EQ(ReadResourcePack(Stored(TexRecord(1, 1, 3, "old", 3)), &t), status::kOk);
        EXPECT_EQ(ReadResourcePack(c.data, &t), c.expected);
        if (c.expected != status::kOk) {
            EXPECT_FALSE(t.HasPixels());
            EXPECT_EQ(t.Width(), 0);
        }
    }
    Texture t;
    EXPECT_EQ(ReadResourcePack(Stored(TexRecord(1, 1, 3, "x", 3)), static_cast<Texture*>(nullptr)), status::kPointer);
    EXPECT_EQ(ReadResourcePack(std::span<const std::uint8_t>(), &t), status::kPointer);
}

TEST(ResourcePack, MalformedBlocksAreRefusedBeforeAllocating) {
    Mesh good;
    FillOddMesh(good);
    Bytes record;
    ASSERT_EQ(WriteRecord(good, record), status::kOk);
    // The first block (positions) starts right after the 96-byte header.
    Bytes low_capacity = record;
    low_capacity[96] = 1;  // capacity 1, count 10
    low_capacity[97] = low_capacity[98] = low_capacity[99] = 0;
    Bytes huge_count = record;
    huge_count[104] = huge_count[105] = huge_count[106] = huge_count[107] = 0xFF;
    huge_count[96] = huge_count[97] = huge_count[98] = huge_count[99] = 0xFF;
    for (const Bytes& bad : {low_capacity, huge_count}) {
        Mesh m;
        FillOddMesh(m);
        EXPECT_EQ(ReadRecord(bad, &m), status::kFail);
        EXPECT_TRUE(m.Empty());
        EXPECT_TRUE(m.positions.empty());
        EXPECT_EQ(m.Name(), "");
    }
}

TEST(ResourcePack, EveryTruncationOfARecordFailsCleanly) {
    Mesh mesh;
    FillOddMesh(mesh);
    Texture texture;
    ASSERT_EQ(texture.SetPixels(2, 2, 4, Bytes(16, 9)), status::kOk);
    texture.SetName("t.bmp");
    Bytes mesh_record, tex_record;
    ASSERT_EQ(WriteRecord(mesh, mesh_record), status::kOk);
    ASSERT_EQ(WriteRecord(texture, tex_record), status::kOk);
    for (std::size_t n = 0; n < mesh_record.size(); ++n) {
        Mesh m;
        const Bytes cut(mesh_record.begin(), mesh_record.begin() + static_cast<std::ptrdiff_t>(n));
        ASSERT_EQ(ReadResourcePack(Stored(cut), &m), status::kFail) << n;
        ASSERT_TRUE(m.positions.empty());
    }
    for (std::size_t n = 0; n < tex_record.size(); ++n) {
        Texture t;
        const Bytes cut(tex_record.begin(), tex_record.begin() + static_cast<std::ptrdiff_t>(n));
        ASSERT_EQ(ReadResourcePack(Stored(cut), &t), status::kFail) << n;
        ASSERT_FALSE(t.HasPixels());
    }
}

TEST(Serialize, RoundTripCarriesEveryFieldThroughByteForByte) {
    Mesh mesh;
    FillOddMesh(mesh);
    Bytes first, second;
    ASSERT_EQ(WriteRecord(mesh, first), status::kOk);
    Mesh copy;
    ASSERT_EQ(ReadRecord(first, &copy), status::kOk);
    ASSERT_EQ(WriteRecord(copy, second), status::kOk);
    EXPECT_EQ(first, second);
    EXPECT_EQ(copy.MaterialName(0), "0123456789ABCDEF");
    EXPECT_EQ(copy.positions.Capacity(), mesh.positions.Capacity());
    EXPECT_GT(copy.positions.Capacity(), copy.positions.size());
    EXPECT_TRUE(std::isnan(copy.face_normals[8]));
    EXPECT_EQ(copy.diagonal, 12.5f);

    // Version 0 textures and name bytes after the terminator survive too.
    Bytes tex = TexRecord(1, 1, 3, "ab", 3, 'G', 0);
    tex[14] = 4;  // capacity and count 4: "ab", NUL, 'z'
    tex[22] = 4;
    tex.insert(tex.begin() + 29, 'z');
    Texture t;
    ASSERT_EQ(ReadRecord(tex, &t), status::kOk);
    EXPECT_EQ(t.RecordVersion(), 0);
    Bytes again;
    ASSERT_EQ(WriteRecord(t, again), status::kOk);
    EXPECT_EQ(again, tex);
}

TEST(Serialize, MeasureMatchesWriteAndHeaderlessMovesOnlyTheData) {
    Mesh mesh;
    FillOddMesh(mesh);
    Serializer measure = Serializer::Measurer();
    mesh.Serialize(measure);
    Bytes record;
    ASSERT_EQ(WriteRecord(mesh, record), status::kOk);
    EXPECT_EQ(measure.Position(), record.size());

    Serializer headerless = Serializer::Measurer();
    mesh.Serialize(headerless, true);
    std::size_t elements = 0;
    for (auto* a : {&mesh.positions, &mesh.normals, &mesh.tex_coords, &mesh.tex_coords2, &mesh.colors, &mesh.face_normals})
        elements += a->size();
    EXPECT_EQ(headerless.Position(), 4 * (elements + mesh.indices.size()));

    Texture t;
    ASSERT_EQ(t.SetPixels(2, 1, 3, Bytes{1, 2, 3, 4, 5, 6}), status::kOk);
    Bytes pixels(6);
    Serializer w = Serializer::Writer(pixels);
    t.Serialize(w, true);
    EXPECT_EQ(pixels, (Bytes{1, 2, 3, 4, 5, 6}));
    // Writing a texture whose pixels were released is refused.
    t.ReleasePixels();
    Bytes out;
    EXPECT_EQ(WriteRecord(t, out), status::kFail);
}

TEST(Serialize, CopyGoesThroughTheRecordAndDropsResolvedTextures) {
    Mesh mesh;
    FillOddMesh(mesh);
    Texture material;
    mesh.SetMaterialTexture(0, &material);
    Mesh copy;
    ASSERT_EQ(CopyBySerializing(mesh, copy), status::kOk);
    EXPECT_EQ(copy.MaterialTexture(0), nullptr);
    EXPECT_EQ(copy.positions, mesh.positions);
    EXPECT_EQ(copy.Name(), "Odd");
}

TEST(Mesh, IndexCountsPerKind) {
    const std::uint32_t n = 5;
    const std::pair<PrimitiveKind, std::uint32_t> table[] = {
        {PrimitiveKind::kNone, 0},          {PrimitiveKind::kPoints, 5},        {PrimitiveKind::kLineStrip, 6},
        {PrimitiveKind::kLineLoop, 5},      {PrimitiveKind::kLines, 10},        {PrimitiveKind::kTriangleStrip, 7},
        {PrimitiveKind::kTriangleFan, 7},   {PrimitiveKind::kTriangles, 15},    {PrimitiveKind::kQuadStrip, 12},
        {PrimitiveKind::kQuads, 20},
    };
    for (auto [kind, count] : table) EXPECT_EQ(IndexCountFor(kind, n), count);
    EXPECT_FALSE(IndexCountFor(static_cast<PrimitiveKind>(10), 1));
    EXPECT_FALSE(IndexCountFor(PrimitiveKind::kTriangles, 0x7FFFFFFF));

    Mesh m;
    ASSERT_EQ(m.Create(PrimitiveKind::kQuads, 3), status::kOk);
    EXPECT_EQ(m.indices.size(), 12u);
    EXPECT_EQ(m.face_normals.size(), 36u);
    m.CreateVertexArrays(4, mesh_flags::kTexCoords);
    EXPECT_EQ(m.Flags(), mesh_flags::kPositions | mesh_flags::kTexCoords);
    EXPECT_EQ(m.positions.size(), 12u);
    EXPECT_EQ(m.tex_coords.size(), 8u);
    EXPECT_TRUE(m.normals.empty());
    EXPECT_EQ(m.Create(static_cast<PrimitiveKind>(42), 1), status::kInvalidArg);
}

TEST(Mesh, MaterialNamesAndDrawableArrays) {
    Mesh m;
    Texture t;
    EXPECT_EQ(m.SetMaterialName(2, "x"), status::kInvalidArg);
    EXPECT_EQ(m.SetMaterialName(-1, "x"), status::kInvalidArg);
    EXPECT_EQ(m.SetMaterialName(0, nullptr), status::kPointer);
    ASSERT_EQ(m.SetMaterialName(0, "SKY.TEX"), status::kOk);
    m.SetMaterialTexture(0, &t);
    ASSERT_EQ(m.SetMaterialName(0, "SKY.TEX"), status::kOk);
    EXPECT_EQ(m.MaterialTexture(0), &t);  // same text keeps the binding
    ASSERT_EQ(m.SetMaterialName(0, "CHROME.TEX-and-a-long-tail"), status::kOk);
    EXPECT_EQ(m.MaterialTexture(0), nullptr);
    EXPECT_EQ(m.MaterialName(0), "CHROME.TEX-and-a");

    ASSERT_EQ(m.Create(PrimitiveKind::kTriangles, 1), status::kOk);
    m.CreateVertexArrays(3, mesh_flags::kNormals);
    m.indices[2] = 2;
    EXPECT_TRUE(m.DrawableArrays());
    m.indices[2] = 3;  // one past the last vertex
    EXPECT_FALSE(m.DrawableArrays());
    m.indices[2] = 0;
    m.normals.Resize(6);  // too short for three vertices
    EXPECT_FALSE(m.DrawableArrays());
}

}  // namespace
}  // namespace cs

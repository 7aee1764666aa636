#include "test_support.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>
#include <png.h>

#include "imaging/auto_decoder.h"
#include "imaging/pl_exception.h"

namespace cs::test {

ByteWriter& ByteWriter::U8(unsigned v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    return *this;
}
ByteWriter& ByteWriter::U16(unsigned v) { return U8(v & 0xFF).U8((v >> 8) & 0xFF); }
ByteWriter& ByteWriter::U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
ByteWriter& ByteWriter::U16BE(unsigned v) { return U8((v >> 8) & 0xFF).U8(v & 0xFF); }
ByteWriter& ByteWriter::U32BE(std::uint32_t v) { return U16BE(v >> 16).U16BE(v & 0xFFFF); }
ByteWriter& ByteWriter::Text(const char* text) {
    while (*text) U8(static_cast<unsigned char>(*text++));
    return *this;
}
ByteWriter& ByteWriter::Append(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteWriter& ByteWriter::Fill(std::size_t count, std::uint8_t value) {
    bytes_.insert(bytes_.end(), count, value);
    return *this;
}

Bytes QuadrantJpeg() {
    JpegRecipe s;
    s.width = 32;
    s.height = 16;
    s.quality = 100;
    const std::uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const int q = (y >= 8 ? 2 : 0) + (x >= 16 ? 1 : 0);
            s.pixels.insert(s.pixels.end(), colours[q], colours[q] + 3);
        }
    return MakeJpeg(s);
}

Bytes ExifTiff(const ExifRecipe& recipe) {
    ByteWriter w;
    const bool le = recipe.littleEndian;
    const auto u16 = [&](unsigned v) { le ? w.U16(v) : w.U16BE(v); };
    const auto u32 = [&](std::uint32_t v) { le ? w.U32(v) : w.U32BE(v); };
    w.Text(le ? "II" : "MM");
    u16(42);
    u32(recipe.ifdOffset);
    u16(recipe.entryCount);
    u16(0x0112);
    u16(3);
    u32(recipe.valueCount);
    u16(recipe.orientation);
    u16(0);
    u32(recipe.nextIfd);
    return w.Take();
}

Bytes WithExif(const Bytes& jpeg, const Bytes& tiff, std::optional<std::uint16_t> declaredLength) {
    ByteWriter segment;
    segment.U8(0xFF).U8(0xE1).U16BE(declaredLength.value_or(static_cast<std::uint16_t>(2 + 6 + tiff.size())));
    segment.Text("Exif").U8(0).U8(0).Append(tiff);
    // The segment goes right after the start-of-image marker.
    Bytes out = jpeg;
    out.insert(out.begin() + 2, segment.bytes().begin(), segment.bytes().end());
    return out;
}

Bytes Truncated(const Bytes& bytes, std::size_t size) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(size, bytes.size())));
}

std::unique_ptr<Decoded> DecodeBytes(const Bytes& bytes, int requestedBits) {
    auto result = std::make_unique<Decoded>();
    try {
        AutoDecoder decoder;
        decoder.DecodeFromMemory(bytes.data(), bytes.size(), result->bitmap, requestedBits);
        result->ok = true;
    } catch (const PLTextException& e) {
        result->code = e.GetCode();
        result->text = e.GetText();
    }
    return result;
}

std::string DecoderText(const std::string& message) { return "Decoder error: " + message + "\n"; }

Pixel32 PixelAt(const Bitmap& bitmap, int x, int y) {
    Pixel32 p;
    std::memcpy(&p, bitmap.Row(y) + 4 * x, 4);
    return p;
}

std::uint64_t HashBitmap(const Bitmap& bitmap) {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
    };
    const std::int32_t header[4] = {bitmap.Width(), bitmap.Height(), bitmap.BitsPerPixel(), bitmap.HasAlpha()};
    mix(header, sizeof header);
    const std::size_t rowBytes = Bitmap::RowBytes(bitmap.Width(), bitmap.BitsPerPixel());
    for (int y = 0; y < bitmap.Height(); ++y) mix(bitmap.Row(y), rowBytes);
    if (bitmap.PaletteSize() != 0) mix(bitmap.Palette(), bitmap.PaletteSize() * sizeof(Pixel32));
    return h;
}

Bytes StoredRows(const std::vector<Bytes>& topFirst, bool padLast) {
    Bytes out;
    for (std::size_t i = topFirst.size(); i-- > 0;) {
        out.insert(out.end(), topFirst[i].begin(), topFirst[i].end());
        if (i != 0 || padLast) out.resize((out.size() + 3) & ~std::size_t{3}, 0);
    }
    return out;
}

Bytes MakeBmp(const BmpRecipe& recipe) {
    BmpRecipe s = recipe;
    // Without a colours-used count the table has 2^bits entries.
    if (s.bits <= 8 && s.coloursUsed == 0) s.table.resize(std::size_t{1} << s.bits, {0, 0, 0});
    const std::size_t entry = s.headerSize == 12 ? 3 : 4;
    const std::size_t offset = 14 * (s.arrayHeaders + 1) + s.headerSize + s.masksAfterHeader.size() +
                               s.table.size() * entry + s.gap;
    ByteWriter w;
    for (int i = 0; i < s.arrayHeaders; ++i) w.Text("BA").U32(0).U32(0).U16(640).U16(480);
    w.Text(s.signature).U32(static_cast<std::uint32_t>(offset + s.data.size())).U16(0).U16(0);
    w.U32(static_cast<std::uint32_t>(offset));
    if (s.headerSize == 12) {
        w.U32(12).U16(static_cast<unsigned>(s.width)).U16(static_cast<unsigned>(s.height)).U16(1).U16(s.bits);
    } else {
        w.U32(s.headerSize).U32(static_cast<std::uint32_t>(s.width)).U32(static_cast<std::uint32_t>(s.height));
        w.U16(1).U16(s.bits).U32(s.compression).U32(0);
        w.U32(static_cast<std::uint32_t>(s.ppmX)).U32(static_cast<std::uint32_t>(s.ppmY)).U32(s.coloursUsed).U32(0);
        if (s.headerSize >= 52) {
            for (std::uint32_t m : s.headerMasks) w.U32(m);
            w.Fill(s.headerSize - 52, 0);
        } else {
            w.Fill(s.headerSize - 40, 0);
        }
    }
    w.Append(s.masksAfterHeader);
    for (const auto& e : s.table) {
        w.U8(e[0]).U8(e[1]).U8(e[2]);
        if (entry == 4) w.U8(0);
    }
    w.Fill(s.gap, 0xEE);
    w.Append(s.data);
    return w.Take();
}

Bytes MakeTga(const TgaRecipe& s) {
    ByteWriter w;
    w.U8(static_cast<unsigned>(s.id.size())).U8(s.mapType).U8(s.type).U16(s.first).U16(s.mapLength).U8(s.mapBits);
    w.U16(0).U16(0).U16(s.width).U16(s.height).U8(s.depth).U8(s.descriptor);
    w.Text(s.id.c_str()).Append(s.map).Append(s.data);
    return w.Take();
}

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

}  // namespace

Bytes MakePng(const PngRecipe& recipe) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fprintf(stderr, "MakePng failed\n");
        std::abort();
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(recipe.width), static_cast<png_uint_32>(recipe.height), recipe.bitDepth,
                 recipe.colourType, recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    if (recipe.colourType == PNG_COLOR_TYPE_PALETTE) {
        for (std::size_t i = 0; i + 2 < recipe.paletteRgb.size(); i += 3) {
            palette.push_back(png_color{recipe.paletteRgb[i], recipe.paletteRgb[i + 1], recipe.paletteRgb[i + 2]});
        }
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (recipe.withTrns) {
        png_byte alphas[1] = {0};
        png_color_16 colour{};
        if (recipe.colourType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, alphas, 1, nullptr);
        } else {
            png_set_tRNS(png, info, nullptr, 0, &colour);
        }
    }
    if (recipe.pixelsPerMetre) png_set_pHYs(png, info, *recipe.pixelsPerMetre, *recipe.pixelsPerMetre, PNG_RESOLUTION_METER);
    if (recipe.pixelsPerUnknown) {
        png_set_pHYs(png, info, *recipe.pixelsPerUnknown, *recipe.pixelsPerUnknown, PNG_RESOLUTION_UNKNOWN);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(static_cast<std::size_t>(recipe.height));
    Bytes samples = recipe.samples;
    samples.resize(rowBytes * rows.size());
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = samples.data() + y * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes MakeJpeg(const JpegRecipe& recipe) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(recipe.width);
    info.image_height = static_cast<JDIMENSION>(recipe.height);
    info.input_components = recipe.components;
    info.in_color_space = recipe.components == 1 ? JCS_GRAYSCALE : recipe.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, recipe.quality, TRUE);
    if (recipe.progressive) jpeg_simple_progression(&info);
    if (recipe.lumaH != 0) info.comp_info[0].h_samp_factor = recipe.lumaH;
    if (recipe.lumaV != 0) info.comp_info[0].v_samp_factor = recipe.lumaV;
    info.restart_interval = static_cast<unsigned int>(recipe.restartInterval);
    info.write_JFIF_header = recipe.jfif ? TRUE : FALSE;
    info.density_unit = static_cast<UINT8>(recipe.densityUnit);
    info.X_density = static_cast<UINT16>(recipe.xDensity);
    info.Y_density = static_cast<UINT16>(recipe.yDensity);
    jpeg_start_compress(&info, TRUE);
    Bytes pixels = recipe.pixels;
    const std::size_t stride = static_cast<std::size_t>(recipe.width) * static_cast<std::size_t>(recipe.components);
    pixels.resize(stride * static_cast<std::size_t>(recipe.height));
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = pixels.data() + info.next_scanline * stride;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace cs::test

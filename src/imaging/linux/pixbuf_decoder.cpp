#include "imaging/linux/pixbuf_decoder.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "imaging/bilinear_resize.h"
#include "imaging/exif_orientation.h"
#include "imaging/pl_exception.h"

namespace cs {
namespace {

// The formats the program takes through gdk-pixbuf, by the loaders' names.
// Others that it also reads (icons, cursors, vector drawings) are not photos.
constexpr const char* kTakenFormats[] = {"gif", "tiff", "webp", "heif", "avif", "jxl"};

bool Taken(const char* name) {
    return name != nullptr && std::any_of(std::begin(kTakenFormats), std::end(kTakenFormats),
                                          [&](const char* wanted) { return std::strcmp(wanted, name) == 0; });
}

struct LoaderDeleter {
    void operator()(GdkPixbufLoader* loader) const {
        // A loader that failed or was not closed is closed before it goes.
        gdk_pixbuf_loader_close(loader, nullptr);
        g_object_unref(loader);
    }
};

struct SizeRequest {
    const SizeChooser* choose = nullptr;
    PictureSize wanted{};
    bool too_big = false;
};

// Called once the loader knows the picture's size, before it decodes.
void OnSizePrepared(GdkPixbufLoader* loader, gint width, gint height, gpointer data) {
    auto& request = *static_cast<SizeRequest*>(data);
    const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(width, 0)) * static_cast<std::uint64_t>(std::max(height, 0));
    if (width < 1 || height < 1 || pixels > BitmapPixelLimit()) {
        // Refused after the loader ends; it only makes a dot meanwhile.
        request.too_big = true;
        gdk_pixbuf_loader_set_size(loader, 1, 1);
        return;
    }
    request.wanted = {width, height};
    if (request.choose) request.wanted = (*request.choose)(width, height);
    // No bigger than needed: loaders that can scale while decoding do so.
    if (request.wanted.width < width && request.wanted.height < height)
        gdk_pixbuf_loader_set_size(loader, request.wanted.width, request.wanted.height);
}

// The orientation the loader read from the picture's own tags (TIFF's, or
// Exif in the formats that carry it): 1 to 8 as Exif counts them.
int StoredOrientation(GdkPixbuf* pixbuf) {
    const gchar* option = gdk_pixbuf_get_option(pixbuf, "orientation");
    const int orientation = option ? std::atoi(option) : 1;
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

// The first frame of an animation, as 32-bit rows in the bitmaps' BGRA order,
// as stored; answers the orientation it is to be shown in.
int Decode(DataSource& source, Bitmap& target, const SizeChooser* choose) {
    std::unique_ptr<GdkPixbufLoader, LoaderDeleter> loader(gdk_pixbuf_loader_new());
    SizeRequest request{choose};
    g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(OnSizePrepared), &request);
    const auto data = source.LookAhead(source.Remaining());
    GError* error = nullptr;
    const bool read = gdk_pixbuf_loader_write(loader.get(), data.data(), data.size(), &error) &&
                      gdk_pixbuf_loader_close(loader.get(), &error);
    std::string message = error ? error->message : "the loader read nothing";
    if (error) g_error_free(error);
    if (request.too_big) ThrowDecoderError(plerr::kOutOfMemory, pltext::kOutOfMemoryBitmap);
    GdkPixbuf* pixbuf = read ? gdk_pixbuf_loader_get_pixbuf(loader.get()) : nullptr;
    if (!pixbuf) ThrowDecoderError(plerr::kMalformed, message);
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
        (channels != 3 && channels != 4))
        ThrowDecoderError(plerr::kNotSupported, pltext::kNotCompiled);

    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    target.Create(width, height, 32, alpha);
    BitmapLock lock(target, false, true);
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
    const auto stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf));
    for (int y = 0; y < height; ++y) {
        const guchar* in = pixels + stride * static_cast<std::size_t>(y);
        std::uint8_t* out = target.Row(y);
        for (int x = 0; x < width; ++x, in += channels, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = alpha ? in[3] : 255;
        }
    }
    return StoredOrientation(pixbuf);
}

// The first bytes settle which loader reads the data.
constexpr std::size_t kSniffBytes = 4096;

class PixbufDecoder final : public SystemDecoder {
public:
    // Whether the loader that the data's first bytes choose is one of the
    // taken formats'.
    bool Recognises(DataSource& source) override {
        std::unique_ptr<GdkPixbufLoader, LoaderDeleter> loader(gdk_pixbuf_loader_new());
        const auto head = source.LookAhead(kSniffBytes);
        GError* error = nullptr;
        bool written = gdk_pixbuf_loader_write(loader.get(), head.data(), head.size(), &error);
        if (error) g_error_free(error);
        error = nullptr;
        // A short file chooses its loader when it is closed.
        if (written && head.size() < kSniffBytes && !gdk_pixbuf_loader_get_format(loader.get())) {
            gdk_pixbuf_loader_close(loader.get(), &error);
            if (error) g_error_free(error);
        }
        GdkPixbufFormat* format = written ? gdk_pixbuf_loader_get_format(loader.get()) : nullptr;
        if (!format) return false;
        gchar* name = gdk_pixbuf_format_get_name(format);
        const bool taken = Taken(name);
        g_free(name);
        return taken;
    }

    // Plain decodes keep the picture as stored, as the six decoders do.
    void DecodeInto(Bitmap& target, DataSource& source) override { Decode(source, target, nullptr); }

    // The loaders give the orientation only with the pixels: the size is
    // chosen again for the picture as it is shown, the picture made at that
    // size on its side, then turned, as the JPEG decoder's pictures are.
    void MakeUprightBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose) override {
        PictureSize stored{};
        const SizeChooser remember = [&](std::int32_t width, std::int32_t height) {
            stored = {width, height};
            return choose(width, height);
        };
        const int orientation = Decode(source, target, &remember);
        const PictureSize upright = UprightSize(stored, orientation);
        PictureSize wanted = choose(upright.width, upright.height);
        if (OrientationTurns(orientation)) wanted = {wanted.height, wanted.width};
        if (wanted != PictureSize{target.Width(), target.Height()})
            BilinearResize(wanted.width, wanted.height).Apply(target, target);
        OrientBitmap(target, orientation);
    }

    void MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose, DecodeScale) override {
        PictureSize wanted{};
        const SizeChooser remember = [&](std::int32_t width, std::int32_t height) {
            wanted = choose(width, height);
            return wanted;
        };
        Decode(source, target, &remember);
        // Loaders that cannot scale give the whole picture: the resampler
        // brings it to the chosen size, as for every other picture.
        if (wanted != PictureSize{target.Width(), target.Height()})
            BilinearResize(wanted.width, wanted.height).Apply(target, target);
    }
};

// Nothing to prepare on a thread: the loaders need no per-thread set-up.
class NoThreadLease final : public CodecThreadLease {};

class PixbufCodecs final : public SystemCodecs {
public:
    PixbufCodecs() {
        GSList* formats = gdk_pixbuf_get_formats();
        for (GSList* item = formats; item; item = item->next) {
            auto* format = static_cast<GdkPixbufFormat*>(item->data);
            gchar* name = gdk_pixbuf_format_get_name(format);
            SystemPictureFormat entry;
            if (Taken(name) && !gdk_pixbuf_format_is_disabled(format)) {
                for (const char* c = name; *c; ++c)
                    entry.name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(*c))));
                gchar** extensions = gdk_pixbuf_format_get_extensions(format);
                for (gchar** extension = extensions; extension && *extension; ++extension)
                    for (std::string& parsed : ParseCodecExtensions(*extension)) entry.extensions.push_back(parsed);
                g_strfreev(extensions);
            }
            g_free(name);
            if (!entry.extensions.empty()) formats_.push_back(std::move(entry));
        }
        g_slist_free(formats);
    }

    const std::vector<SystemPictureFormat>& Formats() const override { return formats_; }
    std::unique_ptr<SystemDecoder> MakeDecoder() const override { return std::make_unique<PixbufDecoder>(); }
    std::unique_ptr<CodecThreadLease> LeaseThread() const override { return std::make_unique<NoThreadLease>(); }

private:
    std::vector<SystemPictureFormat> formats_;
};

}  // namespace

std::unique_ptr<SystemCodecs> MakePixbufCodecs() { return std::make_unique<PixbufCodecs>(); }

}  // namespace cs

// JPEG through libjpeg's 6b interface. libjpeg reports fatal errors through
// a routine that must not return; it long-jumps back to the C++ side, which
// then aborts the decompression and throws. No C++ exception ever crosses
// the library's frames.
#include "imaging/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#if !defined(JCS_EXTENSIONS)
#error "The JPEG decoder needs libjpeg-turbo's colour-space extensions."
#endif

#include "imaging/decoder_trace.h"
#include "imaging/jpeg_block_rows.h"
#include "imaging/pl_exception.h"

namespace cs {

struct JpegDecoder::State {
    jpeg_decompress_struct info{};
    struct ErrorManager {
        jpeg_error_mgr manager;  // first, so the library's pointer is ours
        std::jmp_buf jump;
        char message[JMSG_LENGTH_MAX];
    } error{};
    struct Source {
        jpeg_source_mgr manager;  // first, as for the error manager
        bool ranOut;              // the data ended before the library was done
    } source{};
    struct Progress {
        jpeg_progress_mgr manager;  // first, as above
        ProgressSink* sink;
    } progress{};
    bool fastDecoding = true;
    bool created = false;
    bool used = false;  // a picture has been decoded with this decompressor
};

namespace {

using State = JpegDecoder::State;

const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

void ErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<decltype(State::error)*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

void QuietOutput(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}

// The whole picture is in memory from the start, so running out means the
// data is cut short: warn (quietly) and end the image there.
boolean FillInputBuffer(j_decompress_ptr info) {
    reinterpret_cast<decltype(State::source)*>(info->src)->ranOut = true;
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = kFakeEndOfImage;
    info->src->bytes_in_buffer = sizeof kFakeEndOfImage;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    if (static_cast<unsigned long>(count) > info->src->bytes_in_buffer) {
        FillInputBuffer(info);
        return;
    }
    info->src->next_input_byte += count;
    info->src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void ReportProgress(j_common_ptr info) {
    auto* progress = reinterpret_cast<decltype(State::progress)*>(info->progress);
    const jpeg_progress_mgr& m = progress->manager;
    if (progress->sink == nullptr || m.pass_limit <= 0 || m.total_passes <= 0) return;
    const double fraction =
        (static_cast<double>(m.pass_counter) / static_cast<double>(m.pass_limit) + m.completed_passes) /
        m.total_passes;
    progress->sink->OnProgress(fraction);
}

// Runs one library call. The long jump lands in this frame, which holds no
// object with a destructor; the call's own frames are C or trivial lambdas.
template <typename Call>
bool Guarded(State& state, Call&& call) {
    if (setjmp(state.error.jump) != 0) return false;
    call();
    return true;
}

// A file cut inside its headers or tables ends in the fake end-of-image
// marker, so the library reports what it then lacks in its own words.
[[noreturn]] void ThrowLibraryError(State& state) {
    ThrowDecoderError(plerr::kNotSupported, std::string(state.error.message) + "\n");
}

// Rows handed to a RowReceiver at a time: a few hundred kilobytes for a
// camera picture, so the band stays in the processor's cache.
constexpr JDIMENSION kBandRows = 16;

// Reads the next `count` rows.
void ReadRows(State& s, JSAMPARRAY rows, JDIMENSION count) {
    for (JDIMENSION done = 0; done < count;) {
        JDIMENSION got = 0;
        if (!Guarded(s, [&] { got = jpeg_read_scanlines(&s.info, rows + done, count - done); })) ThrowLibraryError(s);
        // The source never suspends, so no rows means there are none left.
        if (got == 0) ThrowPlainError(plerr::kEndOfData, pltext::kEndOfData);
        done += got;
    }
}

// Output in the library's own layout as B G R A: grey into all three, and
// of three or more components the first three into R, G, B (so CMYK
// stores C, M, Y raw).
void ConvertToBgra(const JSAMPLE* in, int components, std::int32_t width, std::uint8_t* out) {
    for (std::int32_t x = 0; x < width; ++x, in += components, out += 4) {
        const bool grey = components == 1;
        out[0] = grey ? in[0] : in[2];
        out[1] = grey ? in[0] : in[1];
        out[2] = in[0];
        out[3] = 255;
    }
}

Resolution JpegResolution(const jpeg_decompress_struct& info) {
    return {info.X_density > 1 ? info.X_density : 72, info.Y_density > 1 ? info.Y_density : 72};
}

void CreateDecompressor(State& s) {
    if (!Guarded(s, [&] { jpeg_create_decompress(&s.info); })) ThrowLibraryError(s);
    s.created = true;
}

// Runs a decompression from its start to the end, aborting it on any
// failure so that the decompressor can be used again. The body returns
// whether the library decoded the picture (and so has a decompression to
// finish) or the picture came another way.
template <typename Body>
void Decompress(State& s, Body body) {
    try {
        if (!body()) {
            jpeg_abort_decompress(&s.info);
            return;
        }
        if (!Guarded(s, [&] { jpeg_finish_decompress(&s.info); })) ThrowLibraryError(s);
    } catch (...) {
        jpeg_abort_decompress(&s.info);
        throw;
    }
}

}  // namespace

JpegDecoder::JpegDecoder() : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.info.err = jpeg_std_error(&s.error.manager);
    s.error.manager.error_exit = ErrorExit;
    s.error.manager.output_message = QuietOutput;  // warnings are shown nowhere
    CreateDecompressor(s);

    s.source.manager.init_source = InitSource;
    s.source.manager.fill_input_buffer = FillInputBuffer;
    s.source.manager.skip_input_data = SkipInputData;
    s.source.manager.resync_to_restart = jpeg_resync_to_restart;
    s.source.manager.term_source = TermSource;
    s.progress.manager.progress_monitor = ReportProgress;
}

JpegDecoder::~JpegDecoder() {
    if (state_->created) jpeg_destroy_decompress(&state_->info);
}

void JpegDecoder::SetFastDecoding(bool fast) { state_->fastDecoding = fast; }

// Points the library at the source's data and reads the header, up to the
// first scan's data.
void JpegDecoder::ReadHeader(DataSource& source, RowReceiver* receiver) {
    State& s = *state_;
    j_decompress_ptr info = &s.info;
    // The library keeps the last picture's Huffman and quantisation tables
    // for a stream that leaves them out, so a damaged picture would decode
    // with another's tables, differently after each predecessor. Every
    // picture after the first gets a fresh decompressor instead.
    if (s.used) {
        jpeg_destroy_decompress(info);
        s.created = false;
        CreateDecompressor(s);
    }
    s.used = true;
    s.source.manager.next_input_byte = source.WholeData() + source.Position();
    s.source.manager.bytes_in_buffer = source.Remaining();
    s.source.ranOut = false;
    info->src = &s.source.manager;
    s.progress.sink = source.Sink();
    info->progress = s.progress.sink != nullptr ? &s.progress.manager : nullptr;

    if (!Guarded(s, [&] { jpeg_read_header(info, TRUE); })) ThrowLibraryError(s);
    if (s.fastDecoding) info->do_fancy_upsampling = FALSE;
    info->dct_method = JDCT_FLOAT;
    CheckImageSize(info->image_width, info->image_height);
    if (receiver != nullptr) {
        const int reduction = receiver->ReductionFor(static_cast<std::int32_t>(info->image_width),
                                                     static_cast<std::int32_t>(info->image_height));
        if (reduction == 2 || reduction == 4 || reduction == 8) {
            info->scale_num = 1;
            info->scale_denom = static_cast<unsigned int>(reduction);
        }
    }
}

// RGB output, and greyscale when `greyAsBgra` is set, is asked for as
// B G R A straight from the library's colour conversion; any other output
// (greyscale, CMYK, unknown spaces) comes in its own layout.
void JpegDecoder::StartOutput(bool greyAsBgra) {
    State& s = *state_;
    j_decompress_ptr info = &s.info;
    if (info->out_color_space == JCS_RGB || (greyAsBgra && info->out_color_space == JCS_GRAYSCALE))
        info->out_color_space = JCS_EXT_BGRA;
    if (!Guarded(s, [&] { jpeg_start_decompress(info); })) ThrowLibraryError(s);
    const int components = info->output_components;
    if (components != 1 && components < 3)
        ThrowDecoderErrorf(plerr::kNotSupported, "JPEG with %d colour components.", components);
}

void JpegDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    State& s = *state_;
    j_decompress_ptr info = &s.info;
    Decompress(s, [&] {
        ReadHeader(source, nullptr);
        StartOutput(false);
        const auto width = static_cast<std::int32_t>(info->output_width);
        const auto height = static_cast<std::int32_t>(info->output_height);
        const int components = info->output_components;
        target.Create(width, height, components == 1 ? 8 : 32, false, JpegResolution(*info));
        BitmapLock lock(target, false, true);
        if (components == 1 || info->out_color_space == JCS_EXT_BGRA) {
            // The library only writes through the row pointers, never to the table.
            ReadRows(s, const_cast<JSAMPARRAY>(target.RowTable()), info->output_height);
            return true;
        }
        std::vector<JSAMPLE> buffer(static_cast<std::size_t>(width) * static_cast<std::size_t>(components));
        JSAMPROW bufferRow = buffer.data();
        for (std::int32_t y = 0; y < height; ++y) {
            ReadRows(s, &bufferRow, 1);
            ConvertToBgra(buffer.data(), components, width, target.Row(y));
        }
        return true;
    });
}

bool JpegDecoder::DecodeRows(DataSource& source, RowReceiver& receiver) {
    State& s = *state_;
    j_decompress_ptr info = &s.info;
    Decompress(s, [&] {
        ReadHeader(source, &receiver);
        // Where 1/8 will do, the quarters of the blocks come at little more
        // than the cost of their means.
        if (info->scale_denom == 8 && !s.source.ranOut && BlockQuartersReadable(*info) &&
            SendBlockQuarters(*info, JpegResolution(*info), s.progress.sink, receiver))
            return false;
        StartOutput(true);
        const auto width = static_cast<std::int32_t>(info->output_width);
        const int components = info->output_components;
        const bool converted = info->out_color_space != JCS_EXT_BGRA;
        receiver.Begin(width, static_cast<std::int32_t>(info->output_height), false, JpegResolution(*info));

        const std::size_t bgraBytes = Bitmap::RowBytes(width, 32);
        const std::size_t rawBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
        std::vector<JSAMPLE> band(kBandRows * bgraBytes);
        std::vector<JSAMPLE> raw(converted ? kBandRows * rawBytes : 0);
        JSAMPROW bandRows[kBandRows];
        JSAMPROW rawRows[kBandRows];
        for (JDIMENSION i = 0; i < kBandRows; ++i) {
            bandRows[i] = band.data() + i * bgraBytes;
            rawRows[i] = converted ? raw.data() + i * rawBytes : nullptr;
        }
        while (info->output_scanline < info->output_height) {
            const JDIMENSION count = std::min(kBandRows, info->output_height - info->output_scanline);
            if (!converted) {
                ReadRows(s, bandRows, count);
            } else {
                ReadRows(s, rawRows, count);
                for (JDIMENSION i = 0; i < count; ++i) ConvertToBgra(rawRows[i], components, width, bandRows[i]);
            }
            receiver.TakeRows(bandRows, static_cast<int>(count));
        }
        return true;
    });
    return true;
}

}  // namespace cs

// JPEG through libjpeg's 6b interface. libjpeg reports fatal errors through
// a routine that must not return; it long-jumps back to the C++ side, which
// then aborts the decompression and throws. No C++ exception ever crosses
// the library's frames.
#include "imaging/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "imaging/decoder_trace.h"
#include "imaging/pl_exception.h"

namespace cs {

struct JpegDecoder::State {
    jpeg_decompress_struct info{};
    struct ErrorManager {
        jpeg_error_mgr manager;  // first, so the library's pointer is ours
        std::jmp_buf jump;
        char message[JMSG_LENGTH_MAX];
    } error{};
    jpeg_source_mgr sourceManager{};
    struct Progress {
        jpeg_progress_mgr manager;  // first, as above
        ProgressSink* sink;
    } progress{};
    bool fastDecoding = true;
    bool created = false;
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

[[noreturn]] void ThrowLibraryError(State& state) {
    ThrowDecoderError(plerr::kNotSupported, std::string(state.error.message) + "\n");
}

}  // namespace

JpegDecoder::JpegDecoder() : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.info.err = jpeg_std_error(&s.error.manager);
    s.error.manager.error_exit = ErrorExit;
    s.error.manager.output_message = QuietOutput;  // warnings are shown nowhere
    if (!Guarded(s, [&] { jpeg_create_decompress(&s.info); })) ThrowLibraryError(s);
    s.created = true;

    s.sourceManager.init_source = InitSource;
    s.sourceManager.fill_input_buffer = FillInputBuffer;
    s.sourceManager.skip_input_data = SkipInputData;
    s.sourceManager.resync_to_restart = jpeg_resync_to_restart;
    s.sourceManager.term_source = TermSource;
    s.progress.manager.progress_monitor = ReportProgress;
}

JpegDecoder::~JpegDecoder() {
    if (state_->created) jpeg_destroy_decompress(&state_->info);
}

void JpegDecoder::SetFastDecoding(bool fast) { state_->fastDecoding = fast; }

void JpegDecoder::DecodeInto(Bitmap& target, DataSource& source) {
    State& s = *state_;
    j_decompress_ptr info = &s.info;
    s.sourceManager.next_input_byte = source.WholeData() + source.Position();
    s.sourceManager.bytes_in_buffer = source.Remaining();
    info->src = &s.sourceManager;
    s.progress.sink = source.Sink();
    info->progress = s.progress.sink != nullptr ? &s.progress.manager : nullptr;

    try {
        if (!Guarded(s, [&] { jpeg_read_header(info, TRUE); })) ThrowLibraryError(s);
        if (s.fastDecoding) info->do_fancy_upsampling = FALSE;
        info->dct_method = JDCT_FLOAT;
        CheckImageSize(info->image_width, info->image_height);
        if (!Guarded(s, [&] { jpeg_start_decompress(info); })) ThrowLibraryError(s);

        const auto width = static_cast<std::int32_t>(info->output_width);
        const auto height = static_cast<std::int32_t>(info->output_height);
        const int components = info->output_components;
        if (components == 1) {
            target.Create(width, height, 8, false);
            BitmapLock lock(target, false, true);
            while (info->output_scanline < info->output_height) {
                JSAMPROW row = target.Row(static_cast<std::int32_t>(info->output_scanline));
                if (!Guarded(s, [&] { jpeg_read_scanlines(info, &row, 1); })) ThrowLibraryError(s);
            }
        } else {
            if (components < 3) ThrowDecoderErrorf(plerr::kNotSupported, "JPEG with %d colour components.", components);
            target.Create(width, height, 32, false);
            BitmapLock lock(target, false, true);
            std::vector<JSAMPLE> buffer(static_cast<std::size_t>(width) * static_cast<std::size_t>(components));
            JSAMPROW bufferRow = buffer.data();
            while (info->output_scanline < info->output_height) {
                std::uint8_t* out = target.Row(static_cast<std::int32_t>(info->output_scanline));
                if (!Guarded(s, [&] { jpeg_read_scanlines(info, &bufferRow, 1); })) ThrowLibraryError(s);
                // RGB goes straight across; CMYK puts C, M, Y into R, G, B.
                const JSAMPLE* in = buffer.data();
                for (std::int32_t x = 0; x < width; ++x, in += components, out += 4) {
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                    out[3] = 255;
                }
            }
        }
        if (!Guarded(s, [&] { jpeg_finish_decompress(info); })) ThrowLibraryError(s);
    } catch (...) {
        jpeg_abort_decompress(info);
        throw;
    }

    target.SetResolution({info->X_density > 1 ? info->X_density : 72, info->Y_density > 1 ? info->Y_density : 72});
}

}  // namespace cs

// picturetool resize IN.pam W H OUT.pam: resamples a picture with the
// filter the texture loader and the preview use, alpha bytes included.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command.h"
#include "imaging/bilinear_resize.h"
#include "imaging/pl_exception.h"
#include "pam.h"

namespace picturetool {
namespace {

int RunResize(std::span<char* const> args);

const Command kResize{"resize", "IN.pam WIDTH HEIGHT OUT.pam", RunResize};
const CommandRegistration kRegistration(kResize);

// A positive decimal size, nothing else.
bool ParseSize(const char* text, int& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < 1 || v > 0x7FFFFFFFL) return false;
    value = static_cast<int>(v);
    return true;
}

int RunResize(std::span<char* const> args) {
    int width = 0;
    int height = 0;
    if (args.size() != 4 || !ParseSize(args[1], width) || !ParseSize(args[2], height)) return UsageError(kResize);

    PamImage in;
    std::string error;
    if (!ReadPamFile(args[0], in, error)) {
        std::fprintf(stderr, "picturetool: %s\n", error.c_str());
        return kExitFailure;
    }
    cs::PlainBitmap resized;
    try {
        cs::PlainBitmap source;
        BitmapFromPam(in, source, true);
        cs::BilinearResize(width, height).Apply(source, resized);
    } catch (const cs::PLTextException& e) {
        std::string text = e.GetText();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::fprintf(stderr, "error %d: %s\n", e.GetCode(), text.c_str());
        return kExitFailure;
    }
    if (!WritePamFile(args[3], PamFromBitmap(resized), error)) {
        std::fprintf(stderr, "picturetool: %s\n", error.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace
}  // namespace picturetool

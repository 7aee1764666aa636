// picturetool decode FILE OUT.pam: decodes FILE as the texture loader does
// (format recognised from the content, 32 bits requested, a PlainBitmap) and
// writes it as PAM.
#include <cstdio>
#include <string>

#include "command.h"
#include "imaging/auto_decoder.h"
#include "imaging/pl_exception.h"
#include "pam.h"

namespace picturetool {
namespace {

int RunDecode(std::span<char* const> args);

const Command kDecode{"decode", "FILE OUT.pam", RunDecode};
const CommandRegistration kRegistration(kDecode);

int RunDecode(std::span<char* const> args) {
    if (args.size() != 2) return UsageError(kDecode);
    cs::PlainBitmap bitmap;
    try {
        cs::AutoDecoder decoder;
        decoder.DecodeFromFile(args[0], bitmap, 32);
    } catch (const cs::PLTextException& e) {
        std::string text = e.GetText();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::fprintf(stderr, "error %d: %s\n", e.GetCode(), text.c_str());
        return kExitFailure;
    }
    std::string error;
    if (!WritePamFile(args[1], PamFromBitmap(bitmap), error)) {
        std::fprintf(stderr, "picturetool: %s\n", error.c_str());
        return kExitFailure;
    }
    const cs::Resolution dpi = bitmap.GetResolution();
    std::printf("w=%d h=%d alpha=%d dpi=%d,%d\n", bitmap.Width(), bitmap.Height(), bitmap.HasAlpha() ? 1 : 0, dpi.x,
                dpi.y);
    return kExitOk;
}

}  // namespace
}  // namespace picturetool

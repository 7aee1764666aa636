// picturetool texture FILE SIZE OUT.pam [--stretch] [--border RRGGBB]: the
// picture as the saver's loader makes it into a face texture (SIZE x SIZE,
// letterboxed in the border colour unless --stretch, no alpha companion),
// written as an RGB PAM from the picture's top row down.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "command.h"
#include "scene/texture.h"
#include "scene/texture_loading.h"

namespace picturetool {
namespace {

int RunTexture(std::span<char* const> args);

const Command kTexture{"texture", "FILE SIZE OUT.pam [--stretch] [--border RRGGBB]", RunTexture};
const CommandRegistration kRegistration(kTexture);

bool ParseSize(const char* text, int& size) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 16384) return false;
    size = static_cast<int>(value);
    return true;
}

bool ParseColour(const std::string& text, unsigned& rgb) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    rgb = static_cast<unsigned>(std::stoul(text, nullptr, 16));
    return true;
}

int RunTexture(std::span<char* const> args) {
    if (args.size() < 3) return UsageError(kTexture);
    int size = 0;
    if (!ParseSize(args[1], size)) return UsageError(kTexture);
    bool letterbox = true;
    unsigned border = 0x030303;
    for (std::size_t i = 3; i < args.size(); ++i) {
        const std::string arg = args[i];
        if (arg == "--stretch") {
            letterbox = false;
        } else if (arg == "--border" && i + 1 < args.size() && ParseColour(args[i + 1], border)) {
            ++i;
        } else {
            return UsageError(kTexture);
        }
    }

    cs::Texture texture;
    cs::PictureLoadError error;
    const cs::Status status = cs::LoadPictureTexture(
        &texture, args[0], size, size, static_cast<std::uint8_t>(border >> 16), static_cast<std::uint8_t>(border >> 8),
        static_cast<std::uint8_t>(border), letterbox, true, false, cs::ProgramResources(), &error);
    if (cs::Failed(status)) {
        std::string text = error.text;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::fprintf(stderr, "error %d: %s\n", error.code, text.c_str());
        return kExitFailure;
    }

    std::string pam = "P7\nWIDTH " + std::to_string(texture.Width()) + "\nHEIGHT " +
                      std::to_string(texture.Height()) + "\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
    const std::size_t row = static_cast<std::size_t>(texture.Width()) * 3;
    // The texture keeps the picture's bottom row first.
    for (int y = texture.Height() - 1; y >= 0; --y)
        pam.append(reinterpret_cast<const char*>(texture.Pixels().data()) + static_cast<std::size_t>(y) * row, row);
    std::ofstream out(args[2], std::ios::binary | std::ios::trunc);
    out.write(pam.data(), static_cast<std::streamsize>(pam.size()));
    if (!out) {
        std::fprintf(stderr, "picturetool: cannot write %s\n", args[2]);
        return kExitFailure;
    }
    std::printf("w=%d h=%d\n", texture.Width(), texture.Height());
    return kExitOk;
}

}  // namespace
}  // namespace picturetool

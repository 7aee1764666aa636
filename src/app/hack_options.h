#pragma once
// The Linux program's command line, in the style of the hacks XScreenSaver
// runs: single-dash flags (a double dash works too), the settings as flags,
// and where to draw.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"

namespace cs {

enum class HackTarget {
    Unspecified,  // XSCREENSAVER_WINDOW when set, else a window of our own
    Root,         // the (virtual) root window
    OwnWindow,    // a window of our own
    WindowId,     // an existing window, by number
};

struct HackOptions {
    HackTarget target = HackTarget::Unspecified;
    std::uint32_t window_id = 0;
    std::string pictures;  // empty: the default folder
    CubeSettings cube;
    GeneralSettings general;
    bool help = false;
};

struct HackParse {
    std::optional<HackOptions> options;  // none: error says why
    std::string error;
};

// Parses the arguments after the program's name.
HackParse ParseHackOptions(const std::vector<std::string_view>& arguments);

// A window number as XScreenSaver writes it: decimal or 0x hexadecimal,
// not 0, at most 32 bits. None for anything else.
std::optional<std::uint32_t> ParseWindowId(std::string_view text);

// The usage text, for -help and after an error.
std::string HackUsage(std::string_view program);

}  // namespace cs

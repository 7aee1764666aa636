#pragma once
// Reading the one command-line switch the system (or the user) starts the
// saver with.
#include <cstdint>
#include <string_view>

namespace cs {

enum class ScreenMode : int {
    Configure = 1,
    ChangePassword = 2,
    Preview = 3,
    Saver = 4,
    Windowed = 5,
};

struct CommandLine {
    ScreenMode mode = ScreenMode::Configure;
    // The window number given after p, c or a; 0 for none.
    std::intptr_t parent_window = 0;
    // True for a bare c: the owner is the foreground window, which only the
    // platform side can ask for.
    bool parent_is_foreground = false;
    // The size after w; what is not given stays 0.
    int windowed_width = 0;
    int windowed_height = 0;
};

// Skips the program's own name (quoted or up to the first space) and the
// spaces after it.
std::string_view SkipProgramName(std::string_view raw);

// Parses the arguments that follow the program name. Only the first switch
// is read; malformed numbers read as 0.
CommandLine ParseArguments(std::string_view arguments);

}  // namespace cs

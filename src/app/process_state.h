#pragma once
// Process-wide start-up state: set once by the entry point, read by the
// window and dialog procedures.
#include "app/command_line.h"

namespace cs {

class ScreenSaverApp;

struct ProcessState {
    void* instance = nullptr;  // the module instance handle
    ScreenMode mode = ScreenMode::Configure;
    int windowed_width = 0;
    int windowed_height = 0;
    ScreenSaverApp* app = nullptr;  // the one application object
};

ProcessState& Process();

}  // namespace cs

#include "app/display_mode.h"

#include <cstdio>

namespace cs {

std::string DisplayChangeErrorText(long result, const DisplayModeRecord& r) {
    const char* format;
    switch (result) {
    case kChangeRestart: format = "You must change your video mode to %dx%dx%d %dHz and then restart\n"; break;
    case kChangeBadMode: format = "The video mode %dx%dx%d %dHz is not supported\n"; break;
    case kChangeFailed: format = "Hardware failed to change to %dx%dx%d %dHz\n"; break;
    default: format = "Failed to change to %dx%dx%d %dHz - unknown reason\n"; break;
    }
    char text[160];
    std::snprintf(text, sizeof text, format, r.width, r.height, r.color_depth, r.refresh_rate);
    return text;
}

bool SwitchDisplayMode(DisplaySettings& display, const DisplayModeRequest& request) {
    if (request.width == 0 || request.height == 0 || request.color_depth == 0) {
        display.RestoreNormalMode();
        return true;
    }

    DisplayModeRecord record;
    // A mode the display no longer offers is still attempted with the last
    // enumerated record, as the driver may accept parts of it below.
    display.FindMode(request, record);
    if (display.ChangeTemporarily(record) == kChangeSuccessful) return true;

    // The driver's own refresh rate.
    display.FindMode(request, record);
    record.fields = kFieldBitsPerPel | kFieldPelsWidth | kFieldPelsHeight;
    if (display.ChangeTemporarily(record) == kChangeSuccessful) return true;

    // Some drivers change depth and size only one at a time.
    record.fields = kFieldBitsPerPel;
    long result = display.ChangeTemporarily(record);
    if (result != kChangeSuccessful) {
        display.ShowError(DisplayChangeErrorText(result, record));
        return false;
    }
    record.fields = kFieldPelsWidth | kFieldPelsHeight;
    result = display.ChangeTemporarily(record);
    if (result == kChangeSuccessful) return true;
    display.RestoreNormalMode();
    display.ShowError(DisplayChangeErrorText(result, record));
    return false;
}

}  // namespace cs

#pragma once
// The three display-mode lists of the Options page (resolution, colour depth,
// refresh rate), built from the modes the display driver lists. Kept apart
// from the controls so the choice of entries and selections can be tested
// without a display.
#include <optional>
#include <string>
#include <vector>

namespace cs {

struct DisplayModeInfo {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    int frequency = 0;
};

// Modes of 15 bits or fewer, or smaller than 640 x 480, are never offered.
bool IsOfferedDisplayMode(const DisplayModeInfo& mode);

// One list entry: its text and the number(s) it stands for.
struct ModeListEntry {
    std::string text;
    int first = 0;   // width, bits per pixel or hertz
    int second = 0;  // height for a resolution, else 0
};

struct ModeList {
    std::vector<ModeListEntry> entries;
    std::optional<std::size_t> selected;
};

// Entry texts. The dialog reads a picked entry's numbers from the list it
// built, never back from the text.
std::string ResolutionText(int width, int height);
std::string DepthText(int bits_per_pixel);
std::string RefreshText(int frequency);

// One entry per offered size, in the order the driver lists them, the stored
// size selected; the first entry when the stored size is not offered.
ModeList BuildResolutionList(const std::vector<DisplayModeInfo>& modes, int width, int height);

struct DepthAndRefreshLists {
    ModeList depths;
    ModeList refresh_rates;
};

// The depths and refresh rates offered at width x height, the stored ones
// selected; a list whose stored value is not offered selects its last entry.
DepthAndRefreshLists BuildDepthAndRefreshLists(const std::vector<DisplayModeInfo>& modes, int width, int height,
                                               int bits_per_pixel, int frequency);

}  // namespace cs

#include "config/display_mode_lists.h"

#include <algorithm>
#include <cstdio>

namespace cs {
namespace {

// Entries are told apart by the numbers they stand for, not by their text:
// a text that merely begins like another ("640 x 480" and "640 x 4800") is a
// different entry.
void AddUnique(ModeList& list, ModeListEntry entry, bool select) {
    auto same = [&](const ModeListEntry& e) { return e.first == entry.first && e.second == entry.second; };
    auto found = std::find_if(list.entries.begin(), list.entries.end(), same);
    if (found == list.entries.end()) {
        list.entries.push_back(std::move(entry));
        found = list.entries.end() - 1;
    }
    if (select) list.selected = static_cast<std::size_t>(found - list.entries.begin());
}

void SelectLastWhenNone(ModeList& list) {
    if (!list.selected && !list.entries.empty()) list.selected = list.entries.size() - 1;
}

}  // namespace

bool IsOfferedDisplayMode(const DisplayModeInfo& mode) {
    return mode.bits_per_pixel > 15 && mode.width >= 640 && mode.height >= 480;
}

std::string ResolutionText(int width, int height) {
    char text[32];
    std::snprintf(text, sizeof text, "%d x %d", width, height);
    return text;
}

std::string DepthText(int bits_per_pixel) {
    char text[32];
    std::snprintf(text, sizeof text, "%d bits", bits_per_pixel);
    return text;
}

std::string RefreshText(int frequency) {
    char text[32];
    std::snprintf(text, sizeof text, "%d Hz", frequency);
    return text;
}

ModeList BuildResolutionList(const std::vector<DisplayModeInfo>& modes, int width, int height) {
    ModeList list;
    for (const DisplayModeInfo& mode : modes) {
        if (!IsOfferedDisplayMode(mode)) continue;
        AddUnique(list, {ResolutionText(mode.width, mode.height), mode.width, mode.height},
                  mode.width == width && mode.height == height);
    }
    if (!list.selected && !list.entries.empty()) list.selected = 0;
    return list;
}

DepthAndRefreshLists BuildDepthAndRefreshLists(const std::vector<DisplayModeInfo>& modes, int width, int height,
                                               int bits_per_pixel, int frequency) {
    DepthAndRefreshLists lists;
    for (const DisplayModeInfo& mode : modes) {
        if (!IsOfferedDisplayMode(mode) || mode.width != width || mode.height != height) continue;
        AddUnique(lists.depths, {DepthText(mode.bits_per_pixel), mode.bits_per_pixel, 0},
                  mode.bits_per_pixel == bits_per_pixel);
        AddUnique(lists.refresh_rates, {RefreshText(mode.frequency), mode.frequency, 0}, mode.frequency == frequency);
    }
    SelectLastWhenNone(lists.depths);
    SelectLastWhenNone(lists.refresh_rates);
    return lists;
}

}  // namespace cs

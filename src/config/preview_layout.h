#pragma once
// What the list dialog's preview shows: the picture's size in the frame and
// the info text under it.
#include <string>
#include <string_view>

namespace cs {

struct PreviewSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PreviewSize&, const PreviewSize&) = default;
};

// The picture's size scaled to touch the frame on one side while keeping
// its aspect ratio, up or down; a frame of no height keeps the picture's
// size. Never negative.
PreviewSize FitToFrame(int frame_width, int frame_height, int picture_width, int picture_height);

// The extension of the path's file name with its dot, or "none found".
std::string FormatText(std::string_view path);

// What the preview says of a file that no decoder on this computer reads:
// "No decoder for .heic on this computer".
std::string NoDecoderText(std::string_view path);

// "Item %d of %d\nFormat: %s\nDimensions: %d x %d"; item is 1-based, 0 when
// not exactly one entry is selected.
std::string PreviewInfoText(int item, int count, std::string_view shown_path, int picture_width,
                            int picture_height);

}  // namespace cs

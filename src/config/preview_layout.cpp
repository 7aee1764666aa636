#include "config/preview_layout.h"

#include <algorithm>
#include <cstdio>

namespace cs {

PreviewSize FitToFrame(int frame_width, int frame_height, int picture_width, int picture_height) {
    // A picture of no height has no ratio; it fails later at the resize.
    if (frame_height == 0 || picture_height <= 0) return {picture_width, picture_height};
    const double ratio = static_cast<double>(picture_width) / picture_height;
    PreviewSize size;
    if (picture_width < picture_height) {
        size = {std::min(static_cast<int>(ratio * frame_height), frame_width), frame_height};
    } else {
        size = {frame_width, std::min(static_cast<int>(frame_width / ratio), frame_height)};
    }
    return {std::max(size.width, 0), std::max(size.height, 0)};
}

std::string FormatText(std::string_view path) {
    // Only the file name counts: a dot in a folder name is no extension.
    const std::size_t slash = path.rfind('\\');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string("none found") : std::string(name.substr(dot));
}

std::string NoDecoderText(std::string_view path) {
    const std::string format = FormatText(path);
    const bool named = format.size() > 1 && format[0] == '.';
    return "No decoder for " + (named ? format.substr(0, 64) : std::string("this file")) + " on this computer";
}

std::string PreviewInfoText(int item, int count, std::string_view shown_path, int picture_width,
                            int picture_height) {
    const std::string format = FormatText(shown_path);
    char text[160];
    std::snprintf(text, sizeof text, "Item %d of %d\nFormat: %.64s\nDimensions: %d x %d", item, count,
                  format.c_str(), picture_width, picture_height);
    return text;
}

}  // namespace cs

#include "config/file_list_filters.h"

#include <initializer_list>
#include <utility>

namespace cs {
namespace {

std::string JoinFilter(std::initializer_list<std::pair<const char*, const char*>> entries) {
    std::string filter;
    for (const auto& [label, pattern] : entries) {
        filter += label;
        filter += '\0';
        filter += pattern;
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

}  // namespace

std::string PictureFileFilter() {
    return JoinFilter({
        {"Picture Files (bmp jpg tga psd pcx png)", "*.bmp;*.jpg;*.tga;*.psd;*.pcx;*.png;"},
        {"Bitmap (bmp)", "*.bmp"},
        {"JPEG (jpg)", "*.jpg"},
        {"TGA Image (tga)", "*.tga"},
        {"PSD Image (psd)", "*.psd"},
        {"PCX Image (pcx)", "*.pcx"},
        {"PNG Image (png)", "*.png"},
    });
}

std::string MusicFileFilter() {
    return JoinFilter({
        {"Music Files (mp3 wma wav)", "*.mp3;*.wma;*.wav;"},
        {"MPEG Audio (mp3)", "*.mp3"},
        {"Windows Media (wma)", "*.wma"},
        {"Wave (wav)", "*.wav"},
    });
}

}  // namespace cs

#include "config/file_list_filters.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace cs {
namespace {

using FilterEntries = std::vector<std::pair<std::string, std::string>>;

std::string JoinFilter(const FilterEntries& entries) {
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

const char* const kOwnPictureExtensions[] = {"bmp", "jpg", "tga", "psd", "pcx", "png"};

bool IsOwnFormat(const SystemPictureFormat& format) {
    for (const std::string& extension : format.extensions)
        for (const char* own : kOwnPictureExtensions)
            if (extension == own || extension == "jpeg") return true;
    return false;
}

}  // namespace

std::string PictureFileFilter(const std::vector<SystemPictureFormat>& system_formats) {
    std::vector<std::string> all(std::begin(kOwnPictureExtensions), std::end(kOwnPictureExtensions));
    FilterEntries formats;
    for (const SystemPictureFormat& format : system_formats) {
        std::string names;
        std::string pattern;
        for (const std::string& extension : format.extensions) {
            if (std::find(all.begin(), all.end(), extension) == all.end()) all.push_back(extension);
            names += (names.empty() ? "" : " ") + extension;
            pattern += (pattern.empty() ? "*." : ";*.") + extension;
        }
        if (!IsOwnFormat(format) && !pattern.empty()) formats.emplace_back(format.name + " Image (" + names + ")", pattern);
    }
    std::string names;
    std::string pattern;
    for (const std::string& extension : all) {
        names += (names.empty() ? "" : " ") + extension;
        pattern += "*." + extension + ";";
    }
    FilterEntries entries = {
        {"Picture Files (" + names + ")", pattern},
        {"Bitmap (bmp)", "*.bmp"},
        {"JPEG (jpg)", "*.jpg"},
        {"TGA Image (tga)", "*.tga"},
        {"PSD Image (psd)", "*.psd"},
        {"PCX Image (pcx)", "*.pcx"},
        {"PNG Image (png)", "*.png"},
    };
    entries.insert(entries.end(), formats.begin(), formats.end());
    return JoinFilter(entries);
}

std::string MusicFileFilter() {
    return JoinFilter(FilterEntries{
        {"Music Files (mp3 wma wav)", "*.mp3;*.wma;*.wav;"},
        {"MPEG Audio (mp3)", "*.mp3"},
        {"Windows Media (wma)", "*.wma"},
        {"Wave (wav)", "*.wav"},
    });
}

}  // namespace cs

#include "library/picture_folder_settings.h"

namespace cs {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Calls line(text) for each line until it answers with a value.
template <typename Reader>
std::optional<std::string> FirstLine(std::string_view text, Reader line) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (auto value = line(text.substr(0, end))) return value;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return std::nullopt;
}

}  // namespace

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::optional<std::string> ImageDirectorySetting(std::string_view settings_text, std::string_view home) {
    constexpr std::string_view kName = "imageDirectory:";
    return FirstLine(settings_text, [&](std::string_view line) -> std::optional<std::string> {
        line = Trim(line);
        if (!line.starts_with(kName)) return std::nullopt;
        std::string_view value = Trim(line.substr(kName.size()));
        if (value.empty()) return std::nullopt;
        std::string path(value);
        if (value == "~" || value.starts_with("~/")) path = std::string(home) + std::string(value.substr(1));
        return WithoutTrailingSlashes(std::move(path));
    });
}

std::optional<std::string> XdgPicturesFolder(std::string_view user_dirs_text, std::string_view home) {
    constexpr std::string_view kName = "XDG_PICTURES_DIR=";
    const auto found = FirstLine(user_dirs_text, [&](std::string_view line) -> std::optional<std::string> {
        line = Trim(line);
        if (!line.starts_with(kName)) return std::nullopt;
        std::string_view value = line.substr(kName.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME")) return std::string(home) + std::string(value.substr(5));
        // The file only holds absolute paths or ones under $HOME.
        if (!value.starts_with("/")) return std::nullopt;
        return std::string(value);
    });
    if (!found) return std::nullopt;
    std::string folder = WithoutTrailingSlashes(*found);
    if (folder == WithoutTrailingSlashes(std::string(home))) return std::nullopt;
    return folder;
}

}  // namespace cs

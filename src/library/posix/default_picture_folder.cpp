#include "library/posix/default_picture_folder.h"

#include <cstdlib>
#include <fstream>

#include "library/picture_folder_settings.h"

namespace cs {
namespace {

// Settings files are small; anything past this is not read.
constexpr std::streamsize kLargestSettingsFile = 1 << 20;

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(static_cast<std::size_t>(kLargestSettingsFile), '\0');
    in.read(text.data(), kLargestSettingsFile);
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

}  // namespace

std::string DefaultPictureFolder() {
    const char* home_variable = std::getenv("HOME");
    if (!home_variable || home_variable[0] != '/') return {};
    const std::string home = home_variable;
    if (auto folder = ImageDirectorySetting(ReadSmallFile(home + "/.xscreensaver"), home)) return *folder;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string config_folder = config && config[0] == '/' ? std::string(config) : home + "/.config";
    if (auto folder = XdgPicturesFolder(ReadSmallFile(config_folder + "/user-dirs.dirs"), home)) return *folder;
    return home + "/Pictures";
}

}  // namespace cs

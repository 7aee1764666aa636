#pragma once
// Where the Linux program finds pictures when it is not told: the folder
// XScreenSaver's own settings name for its picture hacks, else the user's
// pictures folder as the desktop names it.
#include <optional>
#include <string>
#include <string_view>

namespace cs {

// The imageDirectory resource of an ~/.xscreensaver text, with a leading ~
// made the home folder; none when it is missing or empty.
std::optional<std::string> ImageDirectorySetting(std::string_view settings_text, std::string_view home);

// XDG_PICTURES_DIR of a user-dirs.dirs text, with $HOME expanded; none when
// it is missing, or names the home folder itself (the desktop's way of
// saying the folder is switched off).
std::optional<std::string> XdgPicturesFolder(std::string_view user_dirs_text, std::string_view home);

// The path without the slashes at its end ("/" stays).
std::string WithoutTrailingSlashes(std::string path);

}  // namespace cs

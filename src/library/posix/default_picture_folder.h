#pragma once
// The Linux program's picture folder when no -pictures flag names one.
#include <string>

namespace cs {

// The imageDirectory of ~/.xscreensaver when set, else the desktop's
// pictures folder (user-dirs.dirs), else ~/Pictures. Empty without a home.
std::string DefaultPictureFolder();

}  // namespace cs

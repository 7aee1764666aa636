#pragma once
// The file type choices of the list dialog's open-file dialog: pairs of
// label and pattern, each NUL-terminated, the whole ending with an extra NUL.
#include <string>
#include <vector>

#include "base/system_picture_formats.h"

namespace cs {

// The own formats, and the system's: their extensions join the choice of
// all pictures, and each format not among the own ones has a choice of its
// own.
std::string PictureFileFilter(const std::vector<SystemPictureFormat>& system_formats = {});
std::string MusicFileFilter();

}  // namespace cs

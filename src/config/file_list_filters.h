#pragma once
// The file type choices of the list dialog's open-file dialog: pairs of
// label and pattern, each NUL-terminated, the whole ending with an extra NUL.
#include <string>

namespace cs {

std::string PictureFileFilter();
std::string MusicFileFilter();

}  // namespace cs

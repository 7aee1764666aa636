#pragma once
// Picture formats that the system's own codecs read besides the program's
// decoders, as the file lists and the open-file dialog need them.
#include <string>
#include <vector>

namespace cs {

struct SystemPictureFormat {
    std::string name;                     // "GIF", "TIFF", "WebP"
    std::vector<std::string> extensions;  // lower case, without the dot
};

}  // namespace cs

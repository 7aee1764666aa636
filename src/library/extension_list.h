#pragma once
// The file extensions a list accepts, lower case and without the dot.
#include <string>
#include <string_view>
#include <vector>

#include "base/system_picture_formats.h"

namespace cs {

class ExtensionList {
public:
    ExtensionList() = default;
    // Splits a comma-separated text: spaces are dropped anywhere, a comma
    // ends an entry, the text after the last comma is the last entry. Empty
    // entries are left out.
    explicit ExtensionList(std::string_view text);

    // Whether the text after the last '.' of name, in lower case, is one of
    // the entries. A name without a '.' never matches.
    bool Matches(std::string_view name) const;

    // One more entry, lowered; an empty one or one already there is left out.
    void Add(std::string_view entry);

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
};

// The own decoders' extensions and those of the system's formats.
ExtensionList PictureExtensions(const std::vector<SystemPictureFormat>& system_formats);

// The comma-separated texts of the two lists (kept encoded).
std::string PictureExtensionsText();
std::string MusicExtensionsText();

}  // namespace cs

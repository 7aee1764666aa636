#include "library/extension_list.h"

#include <algorithm>

#include "base/encoded_text.h"

namespace cs {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

ExtensionList::ExtensionList(std::string_view text) {
    std::string entry;
    auto finish = [&] {
        if (!entry.empty()) entries_.push_back(entry);
        entry.clear();
    };
    for (const char c : text) {
        if (c == ' ') continue;
        if (c == ',') {
            finish();
            continue;
        }
        // Names are lowered before comparing, so an upper-case entry would
        // never match.
        entry.push_back(LowerAscii(c));
    }
    finish();
}

void ExtensionList::Add(std::string_view entry) {
    std::string lowered;
    for (const char c : entry) lowered.push_back(LowerAscii(c));
    if (lowered.empty() || std::find(entries_.begin(), entries_.end(), lowered) != entries_.end()) return;
    entries_.push_back(std::move(lowered));
}

bool ExtensionList::Matches(std::string_view name) const {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string extension(name.substr(dot + 1));
    for (char& c : extension) c = LowerAscii(c);
    for (const auto& entry : entries_)
        if (entry == extension) return true;
    return false;
}

ExtensionList PictureExtensions(const std::vector<SystemPictureFormat>& system_formats) {
    ExtensionList extensions(PictureExtensionsText());
    for (const SystemPictureFormat& format : system_formats)
        for (const std::string& extension : format.extensions) extensions.Add(extension);
    return extensions;
}

std::string PictureExtensionsText() {
    // The six formats the decoders recognise; "jpeg" is the other common
    // spelling of JPEG file names.
    static constexpr EncodedText kText("jpg, jpeg, bmp, tga, psd, pcx, png");
    return kText.Decode();
}

std::string MusicExtensionsText() {
    static constexpr EncodedText kText("mp3, wma, wav");
    return kText.Decode();
}

}  // namespace cs

#include "library/picture_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/settings_names.h"

namespace cs {
namespace {

bool EndsInBackslash(const std::string& path) { return !path.empty() && path.back() == '\\'; }

// Appends the stored list's files, expanding folder entries without
// recursion.
void AppendStoredList(PathList& list, SettingsStore& settings_key, const std::string& list_name,
                      const ExtensionList& extensions, DirectoryLister& lister) {
    const auto list_key = settings_key.OpenSubkey(list_name, false);
    if (!list_key) return;
    for (const auto& entry : ReadStoredList(*list_key)) {
        if (EndsInBackslash(entry))
            ScanFolder(list, entry, extensions, false, lister);
        else if (extensions.Matches(entry))
            list.Append(entry);
    }
}

}  // namespace

void ScanFolder(PathList& list, const std::string& folder, const ExtensionList& extensions, bool recurse,
                DirectoryLister& lister) {
    // Without its backslash the listing pattern would match the folder's
    // neighbours instead of its contents.
    if (!EndsInBackslash(folder) || folder.size() > kMaxPathChars) return;
    std::vector<DirectoryEntry> entries;
    if (!lister.List(folder, entries)) return;

    std::vector<std::string> names;
    for (const auto& entry : entries) {
        if (entry.is_folder) {
            if (!recurse || entry.name.empty() || entry.name[0] == '.') continue;
            std::string subfolder = folder + entry.name;
            if (!EndsInBackslash(subfolder)) subfolder += '\\';
            if (subfolder.size() > kMaxPathChars) continue;
            ScanFolder(list, subfolder, extensions, true, lister);
        } else if (extensions.Matches(entry.name)) {
            names.push_back(entry.name);
        }
    }
    // std::string compares its characters as unsigned bytes, so upper case
    // sorts before lower case.
    std::stable_sort(names.begin(), names.end());
    for (const auto& name : names) list.Append(folder + name);
}

std::vector<std::string> ReadStoredList(const SettingsStore& list_key) {
    std::vector<std::string> entries;
    const std::uint32_t count = list_key.ValueCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%05u", static_cast<unsigned>(i));
        const auto value = list_key.Read(name);
        if (!value || value->type != ValueType::String) continue;
        const auto& bytes = value->bytes;
        if (bytes.size() > kMaxPathChars + 1) continue;
        const void* nul = std::memchr(bytes.data(), 0, bytes.size());
        if (!nul) continue;
        const std::size_t length = static_cast<const std::uint8_t*>(nul) - bytes.data();
        if (length == 0) continue;
        entries.emplace_back(reinterpret_cast<const char*>(bytes.data()), length);
    }
    return entries;
}

void BuildPictureList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister,
                      SpecialFolders& special_folders) {
    const ExtensionList extensions(PictureExtensionsText());
    AppendStoredList(list, settings_key, PictureListKeyName(), extensions, lister);

    constexpr int kFallbackFolders[] = {kCsidlMyPictures, kCsidlPersonal, kCsidlCommonDocuments};
    for (const bool recurse : {false, true}) {
        for (const int csidl : kFallbackFolders) {
            if (!list.Empty()) return;
            auto folder = special_folders.FolderPath(csidl);
            if (!folder || folder->empty()) continue;
            if (!EndsInBackslash(*folder)) *folder += '\\';
            ScanFolder(list, *folder, extensions, recurse, lister);
        }
    }
}

void BuildMusicList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister) {
    AppendStoredList(list, settings_key, MusicListKeyName(), ExtensionList(MusicExtensionsText()), lister);
}

}  // namespace cs

#include "library/picture_lists.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "base/utf8_text.h"
#include "config/file_list_entries.h"
#include "config/settings_names.h"
#include "config/stored_file_list.h"

namespace cs {
namespace {

bool EndsIn(const std::string& path, char separator) { return !path.empty() && path.back() == separator; }

// A folder entry that stands for its subfolders too: the folder, its
// separator and a star.
bool IsRecursiveEntry(const std::string& entry, char separator) {
    return entry.size() > 2 && entry.back() == '*' && entry[entry.size() - 2] == separator;
}

constexpr int kFallbackFolders[] = {kCsidlMyPictures, kCsidlPersonal, kCsidlCommonDocuments};
constexpr int kFallbackSteps = 2 * static_cast<int>(std::size(kFallbackFolders));

struct FolderScan {
    PathList& list;
    const ExtensionList& extensions;
    DirectoryLister& lister;
    const std::atomic<bool>* stop;
    std::set<std::string> visited;  // identities of the folders of a recursive scan

    bool Stopped() const { return stop && stop->load(); }

    // False for a folder this scan has been in already.
    bool FirstVisit(const std::string& folder) {
        return visited.insert(lister.FolderIdentity(folder).value_or(folder)).second;
    }

    void Scan(const std::string& folder, bool recurse) {
        if (Stopped()) return;
        std::vector<DirectoryEntry> entries;
        if (!lister.List(folder, entries)) return;

        std::vector<std::string> names;
        for (const auto& entry : entries) {
            if (entry.is_folder) {
                if (!recurse || entry.name.empty() || entry.name[0] == '.') continue;
                std::string subfolder = folder + entry.name;
                if (!EndsIn(subfolder, lister.Separator())) subfolder += lister.Separator();
                if (Utf16Length(subfolder) > kMaxPathChars || !FirstVisit(subfolder)) continue;
                Scan(subfolder, true);
            } else if (extensions.Matches(entry.name)) {
                names.push_back(entry.name);
            }
        }
        // std::string compares its characters as unsigned bytes, so upper case
        // sorts before lower case.
        std::stable_sort(names.begin(), names.end());
        for (const auto& name : names) list.Append(folder + name);
    }
};

std::vector<std::string> StoredEntries(SettingsStore& settings_key, const std::string& list_name) {
    const auto list_key = settings_key.OpenSubkey(list_name, false);
    return list_key ? ReadStoredList(*list_key) : std::vector<std::string>();
}

}  // namespace

void ScanFolder(PathList& list, const std::string& folder, const ExtensionList& extensions, bool recurse,
                DirectoryLister& lister, const std::atomic<bool>* stop) {
    // Without its backslash the listing pattern would match the folder's
    // neighbours instead of its contents.
    if (!EndsIn(folder, lister.Separator()) || Utf16Length(folder) > kMaxPathChars) return;
    FolderScan scan{list, extensions, lister, stop, {}};
    if (recurse) scan.FirstVisit(folder);
    scan.Scan(folder, recurse);
}

std::vector<std::string> ReadStoredList(const SettingsStore& list_key) {
    return ReadListEntries(list_key.ValueCount(), [&list_key](const std::string& name) { return list_key.Read(name); });
}

ListExpansion::ListExpansion(std::vector<std::string> stored, ExtensionList extensions, DirectoryLister& lister,
                             SpecialFolders* fallback)
    : stored_(std::move(stored)), extensions_(std::move(extensions)), lister_(&lister), fallback_(fallback) {}

bool ListExpansion::Done() const {
    return next_stored_ >= stored_.size() && (!fallback_ || found_ > 0 || next_fallback_ >= kFallbackSteps);
}

bool ListExpansion::Step(PathList& list, const std::atomic<bool>* stop) {
    const std::size_t before = list.Count();
    if (next_stored_ < stored_.size()) {
        const std::string& entry = stored_[next_stored_++];
        const char separator = lister_->Separator();
        if (EndsIn(entry, separator))
            ScanFolder(list, entry, extensions_, false, *lister_, stop);
        else if (IsRecursiveEntry(entry, separator))
            ScanFolder(list, entry.substr(0, entry.size() - 1), extensions_, true, *lister_, stop);
        else if (extensions_.Matches(entry))
            list.Append(entry);
    } else if (!Done()) {
        // Each fallback step only while nothing has been found: the three
        // folders on their own first, then the three with their subfolders.
        const int step = next_fallback_++;
        const bool recurse = step >= static_cast<int>(std::size(kFallbackFolders));
        auto folder = fallback_->FolderPath(kFallbackFolders[step % std::size(kFallbackFolders)]);
        if (folder && !folder->empty()) {
            if (!EndsIn(*folder, lister_->Separator())) *folder += lister_->Separator();
            ScanFolder(list, *folder, extensions_, recurse, *lister_, stop);
        }
    } else {
        return false;
    }
    found_ += list.Count() - before;
    return true;
}

void ListExpansion::RunUntilFirst(PathList& list, std::size_t max_steps) {
    for (std::size_t step = 0; step < max_steps && list.Empty() && Step(list, nullptr); ++step) {
    }
}

bool ListExpansion::Finish(PathList& list, const std::atomic<bool>* stop) {
    while (!(stop && stop->load()) && Step(list, stop)) {
    }
    return Done() && !(stop && stop->load());
}

ListExpansion PictureListExpansion(SettingsStore& settings_key, DirectoryLister& lister,
                                   SpecialFolders& special_folders,
                                   const std::vector<SystemPictureFormat>& system_formats) {
    return ListExpansion(StoredEntries(settings_key, PictureListKeyName()), PictureExtensions(system_formats),
                         lister, &special_folders);
}

ListExpansion MusicListExpansion(SettingsStore& settings_key, DirectoryLister& lister) {
    return ListExpansion(StoredEntries(settings_key, MusicListKeyName()), ExtensionList(MusicExtensionsText()), lister,
                         nullptr);
}

void BuildPictureList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister,
                      SpecialFolders& special_folders) {
    PictureListExpansion(settings_key, lister, special_folders).Finish(list);
}

void BuildMusicList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister) {
    MusicListExpansion(settings_key, lister).Finish(list);
}

}  // namespace cs

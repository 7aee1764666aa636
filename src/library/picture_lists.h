#pragma once
// Turning the stored picture and music lists into flat lists of files:
// folder entries are expanded into their matching files, files of the wrong
// kind are dropped, and an empty picture list falls back to the user's
// picture and document folders.
#include <optional>
#include <string>
#include <vector>

#include "library/extension_list.h"
#include "library/path_list.h"
#include "config/settings_store.h"

namespace cs {

struct DirectoryEntry {
    std::string name;  // without the folder
    bool is_folder = false;
};

// Lists a folder's entries in the order the file system gives them.
class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // folder ends in a backslash. False (and no entries) when it cannot be
    // listed.
    virtual bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) = 0;
};

// The user's special folders by their CSIDL number.
class SpecialFolders {
public:
    virtual ~SpecialFolders() = default;
    // The folder's path (normally without a trailing backslash); none when
    // the system cannot name it.
    virtual std::optional<std::string> FolderPath(int csidl) = 0;
};

inline constexpr int kCsidlMyPictures = 0x27;
inline constexpr int kCsidlPersonal = 0x05;
inline constexpr int kCsidlCommonDocuments = 0x2E;

// Appends folder's matching files to list: with recurse, everything found in
// its subfolders first (depth first, in listing order; names starting with
// '.' are passed over), then the folder's own files sorted by byte value.
// folder must end in a backslash; paths that would pass kMaxPathChars are
// left out.
void ScanFolder(PathList& list, const std::string& folder, const ExtensionList& extensions, bool recurse,
                DirectoryLister& lister);

// The entries of a stored list key: values "00000" up to the key's value
// count minus one, by name. Missing values, values that are not strings,
// longer than kMaxPathChars or unterminated are skipped, as are empty ones.
std::vector<std::string> ReadStoredList(const SettingsStore& list_key);

// Both append to list from the list subkeys of the open settings key.
void BuildPictureList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister,
                      SpecialFolders& special_folders);
void BuildMusicList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister);

}  // namespace cs

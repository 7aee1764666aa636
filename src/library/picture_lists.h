#pragma once
// Turning the stored picture and music lists into flat lists of files:
// folder entries are expanded into their matching files, files of the wrong
// kind are dropped, and an empty picture list falls back to the user's
// picture and document folders. A stored entry ending in "\\*" stands for a
// folder together with all its subfolders.
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "base/system_picture_formats.h"
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
    // folder ends in the separator. False (and no entries) when it cannot be
    // listed.
    virtual bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) = 0;
    // The character between a folder and its entries: the backslash on
    // Windows, the slash on POSIX systems. Folder paths end in it.
    virtual char Separator() const { return '\\'; }
    // What the file system knows the folder as, whatever path leads to it
    // (a link or junction gives the same answer as its target); none when
    // that cannot be told, and then the folder's path stands for it.
    virtual std::optional<std::string> FolderIdentity(const std::string& folder) { return std::nullopt; }
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
// folder must end in the lister's separator; paths that would pass kMaxPathChars are
// left out. A folder reached a second time in one recursive scan (through a
// link back up the tree) is passed over, and so is one that cannot be
// listed. With stop, a scan ends early once it is set.
void ScanFolder(PathList& list, const std::string& folder, const ExtensionList& extensions, bool recurse,
                DirectoryLister& lister, const std::atomic<bool>* stop = nullptr);

// The steps that turn a stored list into files, in the order of the list:
// each entry in turn, then (for pictures, and only while nothing has been
// found) the fallback folders. They can be run in two goes: at start only
// as far as the first file, so that the first picture need not wait for a
// large library, and the rest later, on the loader's side.
class ListExpansion {
public:
    ListExpansion(std::vector<std::string> stored, ExtensionList extensions, DirectoryLister& lister,
                  SpecialFolders* fallback);

    // Runs steps until list holds an entry or none is left, but at most
    // max_steps: a list that starts with many empty folders or folders of
    // other files opens with the built-in picture rather than keep the
    // screen dark while they are listed.
    void RunUntilFirst(PathList& list, std::size_t max_steps = 64);
    // Runs every step that is left, appending to list (which need not be
    // the list of the first go). False when stop ended it early.
    bool Finish(PathList& list, const std::atomic<bool>* stop = nullptr);
    bool Done() const;

private:
    bool Step(PathList& list, const std::atomic<bool>* stop);

    std::vector<std::string> stored_;
    ExtensionList extensions_;
    DirectoryLister* lister_;
    SpecialFolders* fallback_;
    std::size_t next_stored_ = 0;
    int next_fallback_ = 0;
    std::size_t found_ = 0;
};

// The entries of a stored list key, read as the list dialog reads them
// (ReadListEntries).
std::vector<std::string> ReadStoredList(const SettingsStore& list_key);

// The expansion of a stored list in the open settings key. Folders give the
// files of the own decoders' formats and of the system's.
ListExpansion PictureListExpansion(SettingsStore& settings_key, DirectoryLister& lister,
                                   SpecialFolders& special_folders,
                                   const std::vector<SystemPictureFormat>& system_formats = {});
ListExpansion MusicListExpansion(SettingsStore& settings_key, DirectoryLister& lister);

// Both append to list from the list subkeys of the open settings key, in one go.
void BuildPictureList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister,
                      SpecialFolders& special_folders);
void BuildMusicList(PathList& list, SettingsStore& settings_key, DirectoryLister& lister);

}  // namespace cs

#pragma once
// Entries of the picture and music lists as the list dialog edits them, and
// the rules shared with whoever expands the stored lists: what an entry
// names (a file, a folder, or a folder with everything below it), how it
// reads in the dialog's two columns, and the counts and order operations.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf8_text.h"

namespace cs {

// "C:\Photos\": the files directly in the folder.
bool IsFolderEntry(std::string_view path);
// "C:\Photos\*": the files in the folder and in all folders below it; the
// folder is the entry without its '*'.
bool IsFolderWithSubfoldersEntry(std::string_view path);
// Neither kind of folder.
bool IsFileEntry(std::string_view path);

// The entry for a folder the user picked: a backslash added when the path is
// longer than one character and lacks one, then "*" when its subfolders are
// wanted too.
std::string FolderEntryPath(std::string folder, bool with_subfolders);

struct EntryTexts {
    std::string name;
    std::string folder;
};

// A folder shows a single space as its name and its whole path as its
// folder; a file its name up to its last dot, and the folder it lies in.
EntryTexts DisplayTexts(std::string_view path);

// "1 item in the list", "%d items in the list".
std::string CountText(std::size_t count);

// The files an open-file dialog with several selections returned in buffer:
// one full path, or a folder followed by names, each NUL-terminated and the
// whole ending with an extra NUL. Names are joined to the folder with one
// backslash (none added when the folder ends with one). A result that runs
// off the end of the buffer gives nothing.
std::vector<std::string> ChosenFiles(const char* buffer, std::size_t size);

struct FileListEntry {
    std::string path;
    bool selected = false;
};

// Every selected entry moves one place towards the top (up) or the bottom
// (down) and its neighbour the other way; the entry at the edge never moves
// itself, but a selected neighbour passes it. Selection travels with the
// entries. Returns the new position of the last entry moved.
std::optional<std::size_t> MoveSelectedUp(std::vector<FileListEntry>& entries);
std::optional<std::size_t> MoveSelectedDown(std::vector<FileListEntry>& entries);

// Removes the selected entries and selects the one now at the highest
// position removed (one less when that was the last entry). Returns the
// position selected, if any.
std::optional<std::size_t> RemoveSelected(std::vector<FileListEntry>& entries);

}  // namespace cs

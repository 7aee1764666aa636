#include "config/file_list_entries.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace cs {

bool IsFolderEntry(std::string_view path) { return !path.empty() && path.back() == '\\'; }

bool IsFolderWithSubfoldersEntry(std::string_view path) { return path.size() > 2 && path.ends_with("\\*"); }

bool IsFileEntry(std::string_view path) { return !IsFolderEntry(path) && !IsFolderWithSubfoldersEntry(path); }

std::string FolderEntryPath(std::string folder, bool with_subfolders) {
    if (folder.size() > 1 && folder.back() != '\\') folder += '\\';
    if (with_subfolders) folder += '*';
    return folder;
}

EntryTexts DisplayTexts(std::string_view path) {
    if (IsFolderEntry(path)) return {" ", std::string(path)};
    if (IsFolderWithSubfoldersEntry(path)) {
        path.remove_suffix(1);
        return {" ", std::string(path) + " (and its subfolders)"};
    }
    const std::size_t slash = path.rfind('\\');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
    if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name = name.substr(0, dot);
    return {std::string(name), std::string(folder)};
}

std::string CountText(std::size_t count) {
    if (count == 1) return "1 item in the list";
    char text[48];
    std::snprintf(text, sizeof text, "%zu items in the list", count);
    return text;
}

std::vector<std::string> ChosenFiles(const char* buffer, std::size_t size) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at < size && buffer[at] != '\0') {
        const void* end = std::memchr(buffer + at, '\0', size - at);
        if (!end) return {};
        const std::size_t length = static_cast<const char*>(end) - (buffer + at);
        parts.emplace_back(buffer + at, length);
        at += length + 1;
    }
    if (at >= size) return {};  // the closing NUL is missing
    if (parts.size() <= 1) return parts;

    std::vector<std::string> files;
    const std::string& folder = parts.front();
    const bool has_backslash = IsFolderEntry(folder);
    for (std::size_t i = 1; i < parts.size(); ++i)
        files.push_back(has_backslash ? folder + parts[i] : folder + '\\' + parts[i]);
    return files;
}

std::optional<std::size_t> MoveSelectedUp(std::vector<FileListEntry>& entries) {
    std::optional<std::size_t> last_moved;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (!entries[i].selected) continue;
        std::swap(entries[i], entries[i - 1]);
        last_moved = i - 1;
    }
    return last_moved;
}

std::optional<std::size_t> MoveSelectedDown(std::vector<FileListEntry>& entries) {
    std::optional<std::size_t> last_moved;
    for (std::size_t i = entries.size(); i-- > 1;) {
        if (!entries[i - 1].selected) continue;
        std::swap(entries[i - 1], entries[i]);
        last_moved = i;
    }
    return last_moved;
}

std::optional<std::size_t> RemoveSelected(std::vector<FileListEntry>& entries) {
    std::optional<std::size_t> highest;
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (!entries[i].selected) continue;
        if (!highest) highest = i + 1 == entries.size() && i > 0 ? i - 1 : i;
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (!highest || *highest >= entries.size()) return std::nullopt;
    entries[*highest].selected = true;
    return highest;
}

}  // namespace cs

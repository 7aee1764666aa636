#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/file_list_entries.h"
#include "config/file_list_filters.h"
#include "config/preview_layout.h"
#include "config/stored_file_list.h"

namespace cs {
namespace {

std::vector<FileListEntry> Entries(const std::string& names, const std::string& selected) {
    std::vector<FileListEntry> entries;
    for (const char c : names) entries.push_back({std::string(1, c), selected.find(c) != std::string::npos});
    return entries;
}

std::string Order(const std::vector<FileListEntry>& entries) {
    std::string order;
    for (const auto& e : entries) order += e.path;
    return order;
}

std::string Selected(const std::vector<FileListEntry>& entries) {
    std::string selected;
    for (const auto& e : entries)
        if (e.selected) selected += e.path;
    return selected;
}

TEST(FileListOrderTest, MoveUpPassesTheEdgeEntry) {
    auto all = Entries("ABC", "ABC");
    EXPECT_EQ(MoveSelectedUp(all), 1u);
    EXPECT_EQ(Order(all), "BCA");
    EXPECT_EQ(Selected(all), "BCA");

    auto top = Entries("ABC", "A");
    EXPECT_FALSE(MoveSelectedUp(top));
    EXPECT_EQ(Order(top), "ABC");
    EXPECT_EQ(Selected(top), "A");

    auto apart = Entries("ABCDE", "BD");
    EXPECT_EQ(MoveSelectedUp(apart), 2u);
    EXPECT_EQ(Order(apart), "BADCE");
    EXPECT_EQ(Selected(apart), "BD");

    auto none = Entries("AB", "");
    EXPECT_FALSE(MoveSelectedUp(none));
    auto empty = Entries("", "");
    EXPECT_FALSE(MoveSelectedUp(empty));
}

TEST(FileListOrderTest, MoveDownMirrorsMoveUp) {
    auto all = Entries("ABC", "ABC");
    EXPECT_EQ(MoveSelectedDown(all), 1u);
    EXPECT_EQ(Order(all), "CAB");
    EXPECT_EQ(Selected(all), "CAB");

    auto bottom = Entries("ABC", "C");
    EXPECT_FALSE(MoveSelectedDown(bottom));
    EXPECT_EQ(Order(bottom), "ABC");

    auto apart = Entries("ABCDE", "AC");
    EXPECT_EQ(MoveSelectedDown(apart), 1u);
    EXPECT_EQ(Order(apart), "BADCE");

    auto pair = Entries("ABCD", "BC");
    MoveSelectedDown(pair);
    EXPECT_EQ(Order(pair), "ADBC");
    EXPECT_EQ(Selected(pair), "BC");
}

TEST(FileListOrderTest, RemoveSelectsTheEntryAtTheHighestRemovedPosition) {
    auto last = Entries("ABC", "C");
    EXPECT_EQ(RemoveSelected(last), 1u);
    EXPECT_EQ(Order(last), "AB");
    EXPECT_EQ(Selected(last), "B");

    auto middle = Entries("ABCD", "AB");
    EXPECT_EQ(RemoveSelected(middle), 1u);
    EXPECT_EQ(Order(middle), "CD");
    EXPECT_EQ(Selected(middle), "D");

    auto only = Entries("A", "A");
    EXPECT_FALSE(RemoveSelected(only));
    EXPECT_TRUE(only.empty());

    auto everything = Entries("ABC", "ABC");
    EXPECT_FALSE(RemoveSelected(everything));
    EXPECT_TRUE(everything.empty());

    auto none = Entries("AB", "");
    EXPECT_FALSE(RemoveSelected(none));
    EXPECT_EQ(Order(none), "AB");
}

TEST(FileListEntriesTest, DisplayTexts) {
    const auto file = DisplayTexts("C:\\My.Photos\\beach.day.jpg");
    EXPECT_EQ(file.name, "beach.day");
    EXPECT_EQ(file.folder, "C:\\My.Photos");
    const auto no_dot = DisplayTexts("C:\\Photos\\README");
    EXPECT_EQ(no_dot.name, "README");
    EXPECT_EQ(no_dot.folder, "C:\\Photos");
    const auto bare = DisplayTexts("song.mp3");
    EXPECT_EQ(bare.name, "song");
    EXPECT_EQ(bare.folder, "");
    const auto folder = DisplayTexts("C:\\Photos\\");
    EXPECT_EQ(folder.name, " ");
    EXPECT_EQ(folder.folder, "C:\\Photos\\");
    const auto tree = DisplayTexts("C:\\Photos\\*");
    EXPECT_EQ(tree.name, " ");
    EXPECT_EQ(tree.folder, "C:\\Photos\\ (and its subfolders)");
}

TEST(FileListEntriesTest, EntryKindsAndFolderPaths) {
    EXPECT_TRUE(IsFolderEntry("C:\\Photos\\"));
    EXPECT_FALSE(IsFolderWithSubfoldersEntry("C:\\Photos\\"));
    EXPECT_TRUE(IsFolderWithSubfoldersEntry("C:\\Photos\\*"));
    EXPECT_FALSE(IsFolderWithSubfoldersEntry("C:\\Photos\\*.jpg"));
    EXPECT_FALSE(IsFolderWithSubfoldersEntry("*"));
    EXPECT_TRUE(IsFileEntry("C:\\Photos\\a.jpg"));
    EXPECT_FALSE(IsFileEntry("C:\\Photos\\*"));

    EXPECT_EQ(FolderEntryPath("C:\\Photos", false), "C:\\Photos\\");
    EXPECT_EQ(FolderEntryPath("C:\\", false), "C:\\");
    EXPECT_EQ(FolderEntryPath("C:\\Photos", true), "C:\\Photos\\*");
    EXPECT_EQ(FolderEntryPath("X", false), "X");

    EXPECT_EQ(CountText(0), "0 items in the list");
    EXPECT_EQ(CountText(1), "1 item in the list");
    EXPECT_EQ(CountText(12), "12 items in the list");
}

TEST(FileListEntriesTest, ChosenFilesJoinsNamesToTheFolder) {
    const char single[] = "C:\\Photos\\a.jpg\0\0";
    EXPECT_EQ(ChosenFiles(single, sizeof single), (std::vector<std::string>{"C:\\Photos\\a.jpg"}));
    const char several[] = "C:\\Photos\0a.jpg\0b.png\0\0";
    EXPECT_EQ(ChosenFiles(several, sizeof several),
              (std::vector<std::string>{"C:\\Photos\\a.jpg", "C:\\Photos\\b.png"}));
    const char root[] = "C:\\\0a.jpg\0b.png\0\0";
    EXPECT_EQ(ChosenFiles(root, sizeof root), (std::vector<std::string>{"C:\\a.jpg", "C:\\b.png"}));
    // A full buffer without its closing NULs is no result to trust.
    const char full[] = {'C', ':', '\\', 0, 'a', '.', 'j', 'p', 'g'};
    EXPECT_TRUE(ChosenFiles(full, sizeof full).empty());
    const char unterminated_list[] = {'C', ':', '\\', 0, 'a', 0};
    EXPECT_TRUE(ChosenFiles(unterminated_list, sizeof unterminated_list).empty());
    const char nothing[4] = {};
    EXPECT_TRUE(ChosenFiles(nothing, sizeof nothing).empty());
}

TEST(PreviewLayoutTest, FitToFrame) {
    EXPECT_EQ(FitToFrame(200, 150, 800, 400), (PreviewSize{200, 100}));  // wider
    EXPECT_EQ(FitToFrame(200, 150, 300, 600), (PreviewSize{75, 150}));   // taller
    EXPECT_EQ(FitToFrame(200, 150, 40, 30), (PreviewSize{200, 150}));    // smaller: scaled up
    EXPECT_EQ(FitToFrame(200, 150, 1000, 100), (PreviewSize{200, 20}));
    EXPECT_EQ(FitToFrame(100, 150, 300, 400), (PreviewSize{100, 150}));  // taller but the frame is narrower
    EXPECT_EQ(FitToFrame(200, 0, 640, 480), (PreviewSize{640, 480}));    // no frame height
    EXPECT_EQ(FitToFrame(-5, 150, 640, 480), (PreviewSize{0, 0}));
    EXPECT_EQ(FitToFrame(200, 150, 640, 0), (PreviewSize{640, 0}));
}

TEST(PreviewLayoutTest, InfoTexts) {
    EXPECT_EQ(PreviewInfoText(1, 3, "C:\\Photos\\beach.JPG", 640, 480),
              "Item 1 of 3\nFormat: .JPG\nDimensions: 640 x 480");
    EXPECT_EQ(PreviewInfoText(0, 2, "C:\\My.Photos\\beach", 1, 2), "Item 0 of 2\nFormat: none found\nDimensions: 1 x 2");
    EXPECT_EQ(FormatText("a.tar.gz"), ".gz");
    EXPECT_EQ(NoDecoderText("C:\\Phone\\IMG_0001.heic"), "No decoder for .heic on this computer");
    EXPECT_EQ(NoDecoderText("C:\\My.Photos\\beach"), "No decoder for this file on this computer");
}

// Label and pattern pairs of an open-file filter.
std::vector<std::string> FilterParts(const std::string& filter) {
    std::vector<std::string> parts;
    for (std::size_t at = 0; at < filter.size() && filter[at] != '\0';) {
        const std::size_t end = filter.find('\0', at);
        parts.push_back(filter.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

TEST(FileListFiltersTest, SystemFormatsJoinAllPicturesAndGetChoicesOfTheirOwn) {
    EXPECT_EQ(FilterParts(PictureFileFilter())[0], "Picture Files (bmp jpg tga psd pcx png)");
    const auto parts = FilterParts(PictureFileFilter({{"JPEG", {"jpeg", "jpe", "jpg"}},
                                                      {"GIF", {"gif"}},
                                                      {"TIFF", {"tif", "tiff"}}}));
    ASSERT_EQ(parts.size(), 18u);  // seven own choices and two of the system's
    EXPECT_EQ(parts[0], "Picture Files (bmp jpg tga psd pcx png jpeg jpe gif tif tiff)");
    EXPECT_EQ(parts[1], "*.bmp;*.jpg;*.tga;*.psd;*.pcx;*.png;*.jpeg;*.jpe;*.gif;*.tif;*.tiff;");
    EXPECT_EQ(parts[14], "GIF Image (gif)");
    EXPECT_EQ(parts[17], "*.tif;*.tiff");
}

constexpr std::uint32_t kString = 1, kBinary = 3, kDword = 4;

// A list key in memory whose n-th write can be made to fail.
class FakeListKey final : public ListKey {
public:
    std::vector<Value> values;
    int failing_write = -1;  // counted from 0; -1: none fails
    int writes = 0;
    bool fail_removes = false;

    SystemError ReadAll(std::vector<Value>& out) const override {
        out = values;
        return 0;
    }
    SystemError Write(const Value& value) override {
        if (writes++ == failing_write) return 1021;
        for (auto& v : values)
            if (v.name == value.name) {
                v = value;
                return 0;
            }
        values.push_back(value);
        return 0;
    }
    SystemError Remove(const std::string& name) override {
        if (fail_removes) return 5;
        std::erase_if(values, [&](const Value& v) { return v.name == name; });
        return 0;
    }
    void RemoveSubkeys() override {}

    void Put(const std::string& name, std::uint32_t type, const std::string& bytes) {
        values.push_back({name, type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    // Name to type and bytes.
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> contents;
        for (const auto& v : values)
            contents[v.name] = std::to_string(v.type) + ":" + std::string(v.bytes.begin(), v.bytes.end());
        return contents;
    }
};

std::map<std::string, std::string> Stored(const std::vector<std::string>& paths) {
    std::map<std::string, std::string> contents;
    for (std::size_t i = 0; i < paths.size(); ++i) contents[ListValueName(i)] = "1:" + paths[i] + std::string(1, '\0');
    return contents;
}

TEST(StoredFileListTest, LoadPassesOverUnusableValues) {
    FakeListKey key;
    key.Put("00000", kString, std::string("C:\\a.jpg", 9));
    key.Put("00001", kDword, "\1\0\0\0");
    key.Put("00002", kString, std::string(300, 'x') + '\0');
    key.Put("00003", kString, std::string("\0", 1));
    key.Put("00004", kString, "C:\\b.jpg");  // no terminator
    key.Put("00005", kString, std::string("C:\\Photos\\\0junk", 15));
    // 200 characters in 600 bytes of UTF-8: within the limit.
    std::string japanese = "C:\\";
    for (int i = 0; i < 66; ++i) japanese += "\xE5\x86\x99";
    key.Put("00006", kString, japanese + '\0');
    EXPECT_EQ(LoadFileList(key), (std::vector<std::string>{"C:\\a.jpg", "C:\\b.jpg", "C:\\Photos\\", japanese}));
}

TEST(StoredFileListTest, LoadTakesTheValuesByPositionAsTheSaverDoes) {
    // The saver reads "00000" up to the value count less one by name: a value
    // of another name, or one past the count, is no part of the list.
    FakeListKey key;
    key.Put("00002", kString, std::string("C:\\c.jpg", 9));
    key.Put("stray", kString, std::string("C:\\stray.jpg", 13));
    key.Put("00000", kString, std::string("C:\\a.jpg", 9));
    key.Put("00004", kString, std::string("C:\\past.jpg", 12));
    EXPECT_EQ(LoadFileList(key), (std::vector<std::string>{"C:\\a.jpg", "C:\\c.jpg"}));
}

TEST(StoredFileListTest, SaveLeavesExactlyTheNewList) {
    FakeListKey key;
    for (int i = 0; i < 5; ++i) key.Put(ListValueName(static_cast<std::size_t>(i)), kString, "old");
    key.Put("stray", kDword, "1234");
    const std::vector<std::string> paths{"C:\\a.jpg", "C:\\Photos\\", "C:\\Photos\\*"};
    EXPECT_EQ(SaveFileList(key, paths), 0u);
    EXPECT_EQ(key.Contents(), Stored(paths));

    EXPECT_EQ(SaveFileList(key, {}), 0u);
    EXPECT_TRUE(key.values.empty());
}

TEST(StoredFileListTest, AFailedSaveKeepsTheOldList) {
    const std::vector<std::string> old_paths{"C:\\1.jpg", "C:\\2.jpg"};
    const std::vector<std::string> new_paths{"C:\\a.jpg", "C:\\b.jpg", "C:\\c.jpg"};
    for (int fail_at = 0; fail_at < 3; ++fail_at) {
        FakeListKey key;
        SaveFileList(key, old_paths);
        key.Put("stray", kBinary, "xy");
        const auto before = key.Contents();
        key.writes = 0;
        key.failing_write = fail_at;
        EXPECT_EQ(SaveFileList(key, new_paths), 1021u) << fail_at;
        EXPECT_EQ(key.Contents(), before) << fail_at;
    }
    // A surplus value that cannot be removed: the old list is written back.
    FakeListKey key;
    SaveFileList(key, new_paths);
    key.fail_removes = true;
    EXPECT_EQ(SaveFileList(key, old_paths), 5u);
    EXPECT_EQ(key.Contents(), Stored(new_paths));
}

}  // namespace
}  // namespace cs

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "library/extension_list.h"
#include "library/path_list.h"
#include "library/picture_lists.h"
#include "base/random.h"
#include "config/file_list_entries.h"
#include "config/memory_settings_store.h"
#include "config/settings_names.h"

namespace cs {
namespace {

// Folders by path (ending in a backslash), each with its entries in the
// order a file system would list them.
class FakeLister final : public DirectoryLister {
public:
    void Add(const std::string& folder, std::vector<DirectoryEntry> entries) { folders_[folder] = std::move(entries); }
    bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) override {
        listed.push_back(folder);
        const auto it = folders_.find(folder);
        if (it == folders_.end()) return false;
        entries = it->second;
        return true;
    }
    std::optional<std::string> FolderIdentity(const std::string& folder) override {
        const auto it = identities.find(folder);
        if (it == identities.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::string> listed;
    std::map<std::string, std::string> identities;  // links lead to their targets

private:
    std::map<std::string, std::vector<DirectoryEntry>> folders_;
};

class FakeSpecialFolders final : public SpecialFolders {
public:
    std::map<int, std::string> paths;
    std::optional<std::string> FolderPath(int csidl) override {
        asked.push_back(csidl);
        const auto it = paths.find(csidl);
        if (it == paths.end()) return std::nullopt;
        return it->second;
    }
    std::vector<int> asked;
};

DirectoryEntry File(const std::string& name) { return {name, false}; }
DirectoryEntry Dir(const std::string& name) { return {name, true}; }

const ExtensionList& Pictures() {
    static const ExtensionList list(PictureExtensionsText());
    return list;
}

std::vector<std::string> Entries(const PathList& list) { return list.Entries(); }

void StoreList(MemorySettingsStore& settings_key, const std::string& list_name,
               const std::vector<std::string>& entries) {
    auto list_key = settings_key.OpenSubkey(list_name, true);
    char name[32];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::snprintf(name, sizeof name, "%05zu", i);
        list_key->WriteString(name, entries[i]);
    }
}

TEST(ExtensionListTest, SplitsDropsSpacesAndMatchesCaseBlind) {
    const ExtensionList list(" jp g,BMP , ,png");
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"jpg", "bmp", "png"}));
    EXPECT_TRUE(list.Matches("C:\\a.JPG"));
    EXPECT_TRUE(list.Matches("x.tar.png"));
    EXPECT_FALSE(list.Matches("C:\\a.jpg.txt"));
    EXPECT_FALSE(list.Matches("C:\\folder.jpg\\readme"));
    EXPECT_FALSE(list.Matches("jpg"));
    EXPECT_FALSE(list.Matches("a."));
    EXPECT_FALSE(list.Matches("a.jpgx"));

    const ExtensionList music(MusicExtensionsText());
    EXPECT_EQ(music.Entries(), (std::vector<std::string>{"mp3", "wma", "wav"}));
    for (const char* name : {"a.jpg", "a.jpeg", "a.bmp", "a.tga", "a.psd", "a.pcx", "a.png"})
        EXPECT_TRUE(Pictures().Matches(name)) << name;
    EXPECT_FALSE(Pictures().Matches("a.gif"));
}

TEST(ScanFolderTest, SortsByByteValueAndPutsSubfoldersFirst) {
    FakeLister lister;
    lister.Add("C:\\P\\", {Dir("."), Dir(".."), File("b.jpg"), Dir("zsub"), File("B.jpg"), File("notes.txt"),
                           File("a.PNG"), Dir("asub"), Dir(".hidden")});
    lister.Add("C:\\P\\zsub\\", {Dir("."), Dir(".."), File("z1.bmp")});
    lister.Add("C:\\P\\asub\\", {File("a1.tga"), Dir("deep")});
    lister.Add("C:\\P\\asub\\deep\\", {File("d.pcx")});
    lister.Add("C:\\P\\.hidden\\", {File("h.jpg")});

    PathList flat;
    ScanFolder(flat, "C:\\P\\", Pictures(), false, lister);
    EXPECT_EQ(Entries(flat), (std::vector<std::string>{"C:\\P\\B.jpg", "C:\\P\\a.PNG", "C:\\P\\b.jpg"}));
    EXPECT_EQ(lister.listed, std::vector<std::string>{"C:\\P\\"});

    PathList deep;
    ScanFolder(deep, "C:\\P\\", Pictures(), true, lister);
    // Subfolders in listing order, each before its parent's own files.
    EXPECT_EQ(Entries(deep), (std::vector<std::string>{"C:\\P\\zsub\\z1.bmp", "C:\\P\\asub\\deep\\d.pcx",
                                                       "C:\\P\\asub\\a1.tga", "C:\\P\\B.jpg", "C:\\P\\a.PNG",
                                                       "C:\\P\\b.jpg"}));
}

TEST(ScanFolderTest, KeepsWithinThePathLimit) {
    FakeLister lister;
    const std::string folder = "C:\\" + std::string(240, 'f') + "\\";  // 244 characters
    lister.Add(folder, {File(std::string(15, 'n') + ".jpg"), File(std::string(10, 'n') + ".jpg"),
                        Dir(std::string(14, 's')), Dir(std::string(20, 'l'))});
    lister.Add(folder + std::string(14, 's') + "\\", {File("x.jpg")});
    lister.Add(folder + std::string(20, 'l') + "\\", {File("x.jpg")});
    PathList list;
    ScanFolder(list, folder, Pictures(), true, lister);
    // 244 + 14 + 1 = 259 is the longest folder still scanned; its file would
    // not fit. Of the folder's own files only the shorter one fits.
    EXPECT_EQ(Entries(list), std::vector<std::string>{folder + std::string(10, 'n') + ".jpg"});
    EXPECT_EQ(lister.listed.size(), 2u);

    // A folder without its backslash is not scanned at all.
    PathList none;
    ScanFolder(none, "C:\\P", Pictures(), false, lister);
    EXPECT_TRUE(none.Empty());
}

TEST(BuildPictureListTest, StoredFoldersAndFilesInListOrder) {
    MemorySettingsStore settings;
    StoreList(settings, PictureListKeyName(),
              {"C:\\Photos\\", "C:\\a.JPG", "C:\\notes.txt", "C:\\missing.png", "C:\\Photos\\two.jpg", ""});
    FakeLister lister;
    lister.Add("C:\\Photos\\", {File("two.jpg"), File("one.bmp"), Dir("sub")});
    lister.Add("C:\\Photos\\sub\\", {File("hidden.jpg")});
    FakeSpecialFolders special;
    special.paths[kCsidlMyPictures] = "C:\\My Pictures";

    PathList list;
    BuildPictureList(list, settings, lister, special);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\Photos\\one.bmp", "C:\\Photos\\two.jpg", "C:\\a.JPG",
                                                       "C:\\missing.png", "C:\\Photos\\two.jpg"}));
    EXPECT_TRUE(special.asked.empty());
}

TEST(BuildPictureListTest, ReadsUpToTheValueCountByName) {
    MemorySettingsStore settings;
    auto key = settings.OpenSubkey(PictureListKeyName(), true);
    key->WriteString("00000", "C:\\0.jpg");
    key->WriteString("00001", "C:\\1.jpg");
    key->WriteString("00003", "C:\\3.jpg");
    FakeLister lister;
    FakeSpecialFolders special;
    PathList list;
    BuildPictureList(list, settings, lister, special);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\0.jpg", "C:\\1.jpg"}));
}

TEST(BuildPictureListTest, SkipsBadValues) {
    MemorySettingsStore settings;
    auto key = settings.OpenSubkey(PictureListKeyName(), true);
    auto* list_key = static_cast<MemorySettingsStore*>(key.get());
    const std::string longest = "C:\\" + std::string(252, 'x') + ".jpg";  // 259 characters
    auto bytes = [](const std::string& s, bool nul) {
        std::vector<std::uint8_t> b(s.begin(), s.end());
        if (nul) b.push_back(0);
        return b;
    };
    list_key->WriteRaw("00000", ValueType::String, bytes(longest + "x", true));    // 260 characters
    list_key->WriteRaw("00001", ValueType::String, bytes("C:\\nul.jpg", false));  // no terminator: kept whole
    list_key->WriteRaw("00002", ValueType::Binary, bytes("C:\\bin.jpg", true));
    list_key->WriteRaw("00003", ValueType::Other, bytes("C:\\expand.jpg", true));
    list_key->WriteRaw("00004", ValueType::String, bytes(longest, true));
    list_key->WriteRaw("00005", ValueType::String, bytes(std::string(1000, 'y') + ".jpg", false));
    // The limit counts the system's UTF-16 units, not bytes: a Greek
    // path of 259 characters in 511 bytes fits, one more does not.
    std::string greek = "C:\\";
    for (int i = 0; i < 252; ++i) greek += "\xCE\xB1";
    greek += ".jpg";
    list_key->WriteRaw("00006", ValueType::String, bytes(greek, true));
    list_key->WriteRaw("00007", ValueType::String, bytes("C:\\\xCE\xB1" + greek.substr(3), true));
    FakeLister lister;
    FakeSpecialFolders special;
    PathList list;
    BuildPictureList(list, settings, lister, special);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\nul.jpg", longest, greek}));
}

TEST(BuildPictureListTest, FallsBackToSpecialFoldersFlatThenDeep) {
    MemorySettingsStore settings;  // no list stored at all
    FakeLister lister;
    lister.Add("C:\\Pics\\", {File("readme.txt"), Dir("2004")});
    lister.Add("C:\\Pics\\2004\\", {File("x.jpg")});
    lister.Add("C:\\Docs\\", {Dir("inner")});
    lister.Add("C:\\Docs\\inner\\", {File("d.png")});
    FakeSpecialFolders special;
    special.paths[kCsidlMyPictures] = "C:\\Pics";
    special.paths[kCsidlPersonal] = "C:\\Docs\\";
    // The shared documents folder cannot be found.

    PathList list;
    BuildPictureList(list, settings, lister, special);
    EXPECT_EQ(Entries(list), std::vector<std::string>{"C:\\Pics\\2004\\x.jpg"});
    EXPECT_EQ(special.asked, (std::vector<int>{0x27, 5, 0x2E, 0x27}));
    EXPECT_EQ(lister.listed, (std::vector<std::string>{"C:\\Pics\\", "C:\\Docs\\", "C:\\Pics\\", "C:\\Pics\\2004\\"}));
}

TEST(BuildPictureListTest, NothingAnywhereLeavesTheListEmpty) {
    MemorySettingsStore settings;
    StoreList(settings, PictureListKeyName(), {"C:\\notes.txt"});
    FakeLister lister;
    lister.Add("C:\\Pics\\", {File("a.txt")});
    FakeSpecialFolders special;
    special.paths[kCsidlMyPictures] = "C:\\Pics";
    PathList list;
    BuildPictureList(list, settings, lister, special);
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(special.asked.size(), 6u);
}

TEST(BuildMusicListTest, MusicFilesOnlyAndNoFallback) {
    MemorySettingsStore settings;
    StoreList(settings, MusicListKeyName(), {"D:\\Songs\\", "D:\\one.MP3", "D:\\pic.jpg"});
    FakeLister lister;
    lister.Add("D:\\Songs\\", {File("b.wav"), File("a.wma"), File("c.ogg")});
    PathList list;
    BuildMusicList(list, settings, lister);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"D:\\Songs\\a.wma", "D:\\Songs\\b.wav", "D:\\one.MP3"}));

    MemorySettingsStore empty;
    PathList none;
    BuildMusicList(none, empty, lister);
    EXPECT_TRUE(none.Empty());
}

PathList ThreeEntries() {
    PathList list;
    for (const char* p : {"a", "b", "c"}) list.Append(p);
    return list;
}

TEST(PathListTest, InOrderWraps) {
    PathList empty;
    EXPECT_FALSE(empty.NextInOrder());
    EXPECT_FALSE(empty.NextShuffled(0));

    PathList list = ThreeEntries();
    std::string seen;
    for (int i = 0; i < 5; ++i) seen += *list.NextInOrder();
    EXPECT_EQ(seen, "abcab");
    EXPECT_EQ(list.LastPicked(), 1);
}

TEST(PathListTest, ShuffleGivesEveryEntryOncePerCycle) {
    SeedRandom(4242);
    PathList list;
    for (int i = 0; i < 7; ++i) list.Append("p" + std::to_string(i));
    std::uint32_t tick = 1000;
    for (int cycle = 0; cycle < 200; ++cycle) {
        std::set<std::string> seen;
        for (int i = 0; i < 7; ++i) {
            const auto path = list.NextShuffled(tick += 17);
            ASSERT_TRUE(path);
            EXPECT_TRUE(seen.insert(*path).second) << "repeat in cycle " << cycle;
            EXPECT_EQ(list.Entries()[list.LastPicked()], *path);
        }
        EXPECT_EQ(list.BagSize(), 0u);
    }
    // A tick count near the wrap-around still picks a valid slot.
    EXPECT_TRUE(list.NextShuffled(0xFFFFFFFFu));
}

TEST(PathListTest, RemovalMidCycleDrawsFromTheRest) {
    SeedRandom(7);
    PathList list = ThreeEntries();
    const std::string first = *list.NextShuffled(5);
    list.RemoveEntry(static_cast<std::size_t>(list.LastPicked()));
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.BagSize(), 0u);
    std::set<std::string> seen;
    for (int i = 0; i < 2; ++i) seen.insert(*list.NextShuffled(11 * i));
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.count(first), 0u);
    list.RemoveEntry(99);  // out of range: nothing happens
    EXPECT_EQ(list.Count(), 2u);
}

TEST(PathListTest, RemovalKeepsTheInOrderWalkInRange) {
    PathList list = ThreeEntries();
    EXPECT_EQ(*list.NextInOrder(), "a");
    EXPECT_EQ(*list.NextInOrder(), "b");
    // The song just picked fails and goes; the walk goes on with the next.
    list.RemoveEntry(static_cast<std::size_t>(list.LastPicked()));
    EXPECT_EQ(*list.NextInOrder(), "c");
    EXPECT_EQ(*list.NextInOrder(), "a");
    // Removing the last two entries leaves nothing pointing past the end.
    list.RemoveEntry(1);
    EXPECT_EQ(*list.NextInOrder(), "a");
    list.RemoveEntry(0);
    EXPECT_FALSE(list.NextInOrder());
}

// A library of many folders: the first go lists only as far as the first
// picture, the second the rest, and picking goes on as over the whole list.
TEST(ListExpansionTest, FirstPictureFirstThenTheRestInListOrder) {
    FakeLister lister;
    lister.Add("C:\\Empty\\", {File("notes.txt")});
    lister.Add("C:\\A\\", {File("a1.jpg")});
    lister.Add("C:\\B\\", {File("b2.png"), File("b1.png")});
    MemorySettingsStore settings_key;
    StoreList(settings_key, PictureListKeyName(), {"C:\\Empty\\", "C:\\A\\", "C:\\B\\", "C:\\z.bmp"});
    FakeSpecialFolders special;
    special.paths[kCsidlMyPictures] = "C:\\Fallback";

    ListExpansion expansion = PictureListExpansion(settings_key, lister, special);
    PathList list;
    expansion.RunUntilFirst(list);
    EXPECT_EQ(lister.listed, (std::vector<std::string>{"C:\\Empty\\", "C:\\A\\"}));
    ASSERT_EQ(Entries(list), (std::vector<std::string>{"C:\\A\\a1.jpg"}));
    EXPECT_EQ(*list.NextInOrder(), "C:\\A\\a1.jpg");  // wraps: the list is one long so far

    PathList rest;
    EXPECT_TRUE(expansion.Finish(rest));
    EXPECT_TRUE(expansion.Done());
    list.AppendFrom(std::move(rest));
    PathList whole;
    BuildPictureList(whole, settings_key, lister, special);
    EXPECT_EQ(Entries(list), Entries(whole));
    EXPECT_TRUE(special.asked.empty());  // pictures were found: no fallback
    EXPECT_EQ(*list.NextInOrder(), "C:\\B\\b1.png");
    EXPECT_EQ(*list.NextInOrder(), "C:\\B\\b2.png");
    EXPECT_EQ(*list.NextInOrder(), "C:\\z.bmp");
    EXPECT_EQ(*list.NextInOrder(), "C:\\A\\a1.jpg");

    // The first go gives up after its steps; the second still finds everything.
    ListExpansion limited = PictureListExpansion(settings_key, lister, special);
    PathList opening, remaining;
    limited.RunUntilFirst(opening, 1);
    EXPECT_TRUE(opening.Empty());
    limited.Finish(remaining);
    EXPECT_EQ(Entries(remaining), Entries(whole));

    // A stop ends the second go early, and it says so.
    ListExpansion stopped = PictureListExpansion(settings_key, lister, special);
    PathList first, none;
    stopped.RunUntilFirst(first);
    const std::atomic<bool> stop{true};
    EXPECT_FALSE(stopped.Finish(none, &stop));
}

TEST(ListExpansionTest, ShuffleBagTakesTheRestIn) {
    PathList list;
    list.Append("a");
    list.SetRandomize(true);
    SeedRandom(1);
    EXPECT_EQ(*list.NextShuffled(0), "a");
    PathList rest;
    rest.Append("b");
    rest.Append("c");
    list.AppendFrom(std::move(rest));
    std::set<std::string> drawn;
    drawn.insert(*list.NextShuffled(0));
    drawn.insert(*list.NextShuffled(0));
    EXPECT_EQ(drawn, (std::set<std::string>{"b", "c"}));  // the cycle ends before "a" comes again
}

// "C:\P\*" covers the folder and every subfolder; a link back up the tree
// and an unreadable folder are passed over, a plain folder stays flat.
TEST(ListExpansionTest, FolderTreesWithLoopsAndUnreadableFolders) {
    FakeLister lister;
    lister.Add("C:\\P\\", {File("top.jpg"), Dir("2024"), Dir("loop"), Dir("locked")});
    lister.Add("C:\\P\\2024\\", {File("y.jpg"), Dir("back")});
    lister.Add("C:\\P\\2024\\back\\", {File("top.jpg"), Dir("2024"), Dir("loop"), Dir("locked")});
    lister.Add("C:\\P\\loop\\", {File("top.jpg"), Dir("2024"), Dir("loop"), Dir("locked")});
    lister.identities["C:\\P\\"] = "id-P";
    lister.identities["C:\\P\\loop\\"] = "id-P";
    lister.identities["C:\\P\\2024\\back\\"] = "id-P";
    lister.identities["C:\\P\\2024\\"] = "id-2024";
    MemorySettingsStore settings_key;
    StoreList(settings_key, PictureListKeyName(), {"C:\\P\\*", "C:\\P\\"});
    FakeSpecialFolders special;
    PathList list;
    BuildPictureList(list, settings_key, lister, special);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\P\\2024\\y.jpg", "C:\\P\\top.jpg",
                                                       "C:\\P\\top.jpg"}));
    EXPECT_TRUE(IsFolderWithSubfoldersEntry("C:\\P\\*"));
    EXPECT_FALSE(IsFolderWithSubfoldersEntry("C:\\P\\"));
    EXPECT_FALSE(IsFolderWithSubfoldersEntry("\\*"));
    EXPECT_FALSE(IsFolderWithSubfoldersEntry("C:\\P*"));
}

}  // namespace
}  // namespace cs

// The Linux program's folder listing and shuffle file, on a real file system.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "library/extension_list.h"
#include "library/posix/directory_lister_posix.h"
#include "library/posix/file_shuffle_memory.h"

namespace cs {
namespace {

namespace fs = std::filesystem;

class PosixFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/posix-library-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }
    void Touch(const std::string& name) { std::ofstream(root_ + "/" + name) << "x"; }
    std::string root_;
};

TEST_F(PosixFolder, LinksBackUpTheTreeListEveryPictureOnce) {
    fs::create_directories(root_ + "/a/b");
    Touch("top.jpg");
    Touch("a/mid.png");
    Touch("a/b/deep.bmp");
    Touch("a/b/notes.txt");
    fs::create_directory_symlink("..", root_ + "/a/b/up");
    fs::create_directory_symlink(root_, root_ + "/a/again");
    fs::create_symlink(root_ + "/missing.jpg", root_ + "/a/gone.jpg");
    PosixDirectoryLister lister;
    PathList list;
    ScanFolder(list, root_ + "/", ExtensionList(PictureExtensionsText()), true, lister);
    // Subfolders first, depth first; a broken link is a file like any other.
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{root_ + "/a/b/deep.bmp", root_ + "/a/gone.jpg", root_ + "/a/mid.png",
                                               root_ + "/top.jpg"}));
    EXPECT_EQ(lister.FolderIdentity(root_ + "/a/again/"), lister.FolderIdentity(root_ + "/"));
    EXPECT_FALSE(lister.FolderIdentity(root_ + "/none/"));
    std::vector<DirectoryEntry> entries;
    EXPECT_FALSE(lister.List(root_ + "/none/", entries));
}

TEST_F(PosixFolder, ShuffleStateSurvivesInItsFileAndADamagedFileIsNotUsed) {
    const std::string path = root_ + "/state/cubesaver/shuffle";
    FileShuffleMemory memory(path);
    EXPECT_FALSE(memory.Load());
    ShuffleState state;
    state.seed = 7;
    state.count = 100000;
    state.shown = 99999;
    state.lead = 3;
    state.fingerprint = 0x0123456789ABCDEFull;
    state.next_path = "/home/ann/Pictures/\xC3\xA9t\xC3\xA9.jpg";
    memory.Save(state);  // the folders are made on the way
    const auto loaded = memory.Load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->seed, 7u);
    EXPECT_EQ(loaded->shown, 99999u);
    EXPECT_EQ(loaded->lead, 3u);
    EXPECT_EQ(loaded->fingerprint, state.fingerprint);
    EXPECT_EQ(loaded->next_path, state.next_path);
    EXPECT_FALSE(fs::exists(path + ".new"));
    EXPECT_EQ(fs::status(root_ + "/state/cubesaver").permissions() & fs::perms::others_all, fs::perms::none);

    fs::resize_file(path, 20);  // cut inside the cycle
    EXPECT_FALSE(memory.Load());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(70000, 'x');
    EXPECT_FALSE(memory.Load());
    state.shown = state.count;  // does not hang together
    memory.Save(state);
    EXPECT_FALSE(memory.Load());

    // A state that cannot be written leaves nothing behind and no error.
    Touch("file");
    FileShuffleMemory blocked(root_ + "/file/cubesaver/shuffle");
    blocked.Save(state);
    EXPECT_FALSE(blocked.Load());
}

TEST(DefaultShuffleFile, StateHomeThenHome) {
    const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_STATE_HOME", "/s", 1);
    EXPECT_EQ(DefaultShuffleFile(), "/s/cubesaver/shuffle");
    setenv("XDG_STATE_HOME", "relative", 1);  // ignored, as the base directory rules say
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(DefaultShuffleFile(), "/home/ann/.local/state/cubesaver/shuffle");
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace cs

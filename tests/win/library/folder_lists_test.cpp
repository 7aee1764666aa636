#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "library/picture_lists.h"
#include "library/win32/folder_lister.h"
#include "library/win32/shell_folders.h"
#include "config/settings_names.h"
#include "config/win32/registry_settings_store.h"
#include "support/win_test_helpers.h"

namespace cs {
namespace {

class NoSpecialFolders final : public SpecialFolders {
public:
    std::optional<std::string> FolderPath(int) override { return std::nullopt; }
};

TEST(FolderListsTest, StoredListWithAGapIsReadUpToTheValueCount) {
    test::TemporaryKey temp("CubeSaverListTest");
    auto settings = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), true);
    ASSERT_TRUE(settings);
    {
        auto list_key = settings->OpenSubkey(PictureListKeyName(), true);
        ASSERT_TRUE(list_key);
        list_key->WriteString("00000", "C:\\nowhere\\zero.jpg");
        list_key->WriteString("00001", "C:\\nowhere\\one.png");
        list_key->WriteString("00003", "C:\\nowhere\\three.bmp");
    }
    Win32DirectoryLister lister;
    NoSpecialFolders special;
    PathList list;
    BuildPictureList(list, *settings, lister, special);
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"C:\\nowhere\\zero.jpg", "C:\\nowhere\\one.png"}));
}

TEST(FolderListsTest, FolderEntryIsExpandedWithoutSubfolders) {
    test::TemporaryFolder folder(test::TempRoot() + "cubesaver-lists-" + std::to_string(GetCurrentProcessId()));
    folder.File("c.jpg");
    folder.File("B.JPG");
    folder.File("a.png");
    folder.File("notes.txt");
    folder.File("noextension");
    folder.Folder("sub.jpg");
    folder.File("sub.jpg\\inner.jpg");

    test::TemporaryKey temp("CubeSaverFolderTest");
    auto settings = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), true);
    ASSERT_TRUE(settings);
    settings->OpenSubkey(PictureListKeyName(), true)->WriteString("00000", folder.path());
    settings->OpenSubkey(MusicListKeyName(), true)->WriteString("00000", folder.path());

    Win32DirectoryLister lister;
    NoSpecialFolders special;
    PathList pictures;
    BuildPictureList(pictures, *settings, lister, special);
    const std::string p = folder.path();
    EXPECT_EQ(pictures.Entries(), (std::vector<std::string>{p + "B.JPG", p + "a.png", p + "c.jpg"}));

    PathList music;
    BuildMusicList(music, *settings, lister);
    EXPECT_TRUE(music.Empty());

    PathList deep;
    ScanFolder(deep, p, ExtensionList(PictureExtensionsText()), true, lister);
    ASSERT_EQ(deep.Count(), 4u);
    EXPECT_EQ(deep.Entries().front(), p + "sub.jpg\\inner.jpg");
}

// Points the user's pictures folder somewhere else for the life of the
// object: the test prefix maps it to the Linux home folder, which a test has
// no business filling.
class PicturesFolderOverride {
public:
    explicit PicturesFolderOverride(const std::string& path) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
            ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD size = 0;
        if (RegQueryValueExA(key_, kValue, nullptr, &old_type_, nullptr, &size) == ERROR_SUCCESS) {
            old_.resize(size);
            had_old_ = RegQueryValueExA(key_, kValue, nullptr, &old_type_, old_.data(), &size) == ERROR_SUCCESS;
            old_.resize(size);
        }
        RegSetValueExA(key_, kValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>(path.size() + 1));
    }
    ~PicturesFolderOverride() {
        if (!key_) return;
        if (had_old_)
            RegSetValueExA(key_, kValue, 0, old_type_, old_.data(), static_cast<DWORD>(old_.size()));
        else
            RegDeleteValueA(key_, kValue);
        RegCloseKey(key_);
    }

private:
    static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const char* kValue = "My Pictures";
    HKEY key_ = nullptr;
    bool had_old_ = false;
    DWORD old_type_ = 0;
    std::vector<BYTE> old_;
};

TEST(FolderListsTest, EmptyListFallsBackToTheUsersPictures) {
    const std::string tag = "cubesaver-pictures-" + std::to_string(GetCurrentProcessId());
    test::TemporaryFolder pictures(test::TempRoot() + tag);
    const std::string base = pictures.path();
    PicturesFolderOverride override_pictures(base.substr(0, base.size() - 1));

    Win32SpecialFolders special;
    const auto pictures_folder = special.FolderPath(kCsidlMyPictures);
    ASSERT_TRUE(pictures_folder);
    ASSERT_EQ(*pictures_folder + "\\", base);

    test::TemporaryKey temp("CubeSaverFallbackTest");
    auto settings = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), true);
    ASSERT_TRUE(settings);
    Win32DirectoryLister lister;

    // Only a subfolder holds a picture: the recursive pass finds it, unless
    // the documents folders already hold pictures of their own.
    const std::string deep_picture = pictures.File(pictures.Folder("2004").substr(base.size()) + "deep.jpg");
    pictures.File("readme.txt");
    PathList deep;
    BuildPictureList(deep, *settings, lister, special);
    ASSERT_FALSE(deep.Empty());
    if (deep.Entries().front().rfind(base, 0) == 0) {
        EXPECT_EQ(deep.Entries(), std::vector<std::string>{deep_picture});
    }

    // A picture in the folder itself is found by the first, flat pass.
    const std::string picture = pictures.File("Top.JPG");
    PathList list;
    BuildPictureList(list, *settings, lister, special);
    EXPECT_EQ(list.Entries(), std::vector<std::string>{picture});
}

TEST(FolderListsTest, FolderNamedInGreekAndJapaneseSurvivesTheStoredList) {
    // The manifest's UTF-8 code page turns every ANSI call into a UTF-8 one.
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    test::TemporaryFolder folder(test::TempRoot() + "Φωτογραφίες 写真 " + std::to_string(GetCurrentProcessId()));
    const std::string sea = folder.File("θάλασσα 海.jpg");
    const std::string plain = folder.File("b.png");

    test::TemporaryKey temp("CubeSaverUnicodeTest");
    auto settings = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), true);
    ASSERT_TRUE(settings);
    settings->OpenSubkey(PictureListKeyName(), true)->WriteString("00000", folder.path());

    // The registry and the file system hold the real characters, not bytes
    // of some code page.
    const std::wstring key = std::wstring(temp.path().begin(), temp.path().end()) + L"\\Pictures";
    wchar_t stored[MAX_PATH] = {};
    DWORD size = sizeof stored;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"00000", RRF_RT_REG_SZ, nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_NE(std::wstring(stored).find(L"\\Φωτογραφίες 写真 "), std::wstring::npos);
    const std::wstring wide_sea = std::wstring(stored) + L"θάλασσα 海.jpg";
    EXPECT_NE(GetFileAttributesW(wide_sea.c_str()), INVALID_FILE_ATTRIBUTES);

    Win32DirectoryLister lister;
    NoSpecialFolders special;
    PathList list;
    BuildPictureList(list, *settings, lister, special);
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{plain, sea}));
}

}  // namespace
}  // namespace cs

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "config/stored_file_list.h"
#include "config/win32/control_tip.h"
#include "config/win32/file_list_dialog.h"
#include "config/win32/preview_worker.h"
#include "config/win32/registry_list_key.h"
#include "config/win32/registry_settings_store.h"
#include "imaging/win32/wic_codecs.h"
#include "library/picture_lists.h"
#include "resource_ids.h"
#include "support/win_test_helpers.h"

namespace cs {
namespace {

using namespace std::chrono_literals;

// Name to text of every value in root\path; "<missing>" when there is no key.
std::map<std::string, std::string> StoredValues(const std::string& path) {
    std::map<std::string, std::string> values;
    const auto key = RegistryListKey::OpenForReading(HKEY_CURRENT_USER, path);
    if (!key) return {{"<missing>", ""}};
    std::vector<ListKey::Value> all;
    key->ReadAll(all);
    for (const auto& v : all) values[v.name] = std::to_string(v.type) + ":" + std::string(v.bytes.begin(), v.bytes.end());
    return values;
}

void Store(const std::string& path, const std::vector<std::string>& entries) {
    std::unique_ptr<RegistryListKey> key;
    ASSERT_EQ(RegistryListKey::Create(HKEY_CURRENT_USER, path, key), 0u);
    for (std::size_t i = 0; i < entries.size(); ++i)
        ASSERT_EQ(key->Write({ListValueName(i), ListKey::kStringType, {entries[i].begin(), entries[i].end() + 1}}), 0u);
}

std::map<std::string, std::string> Expected(const std::vector<std::string>& entries) {
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < entries.size(); ++i) values[ListValueName(i)] = "1:" + entries[i] + std::string(1, '\0');
    return values;
}

// A 24-bit BMP of the given size, all one colour.
void WriteBmp(const std::string& path, int width, int height) {
    const int row = (width * 3 + 3) & ~3;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * height);
    std::vector<std::uint8_t> bytes(size, 0x80);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, size);
    put32(6, 0);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[27] = 0;
    bytes[28] = 24;
    bytes[29] = 0;
    for (std::size_t i = 30; i < 54; ++i) bytes[i] = 0;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

template <typename Condition>
bool WaitFor(Condition condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

HWND FindOwnWindow(const char* title) {
    HWND found = nullptr;
    WaitFor([&] {
        found = FindWindowA(nullptr, title);
        return found != nullptr;
    });
    return found;
}

// Runs the dialog on a thread of its own, as modal as in the program, and
// drives it from the test's thread through its windows.
class OpenDialog {
public:
    explicit OpenDialog(FileListDialogSetup setup) : setup_(std::move(setup)) {
        thread_ = std::thread([this] { ok_ = RunFileListDialog(nullptr, setup_); });
        dialog_ = FindOwnWindow(setup_.title.c_str());
        // The window exists before it has been set up; it shows after.
        WaitFor([this] { return IsWindowVisible(dialog_) != FALSE; });
        list_ = GetDlgItem(dialog_, IDC_FILE_LIST_LIST);
    }
    ~OpenDialog() {
        if (thread_.joinable()) {
            PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            thread_.join();
        }
    }

    HWND dialog() const { return dialog_; }
    int Count() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::string Text(int item, int column) const {
        char text[400] = {};
        ListView_GetItemText(list_, item, column, text, sizeof text);
        return text;
    }
    std::string Selection() const {
        std::string selected;
        for (int i = 0; i < Count(); ++i)
            if (ListView_GetItemState(list_, i, LVIS_SELECTED)) selected += std::to_string(i);
        return selected;
    }
    // The new entries are selected before the others are let go, so no
    // single entry is selected on the way (it would ask for a preview).
    void Select(const std::vector<int>& items) {
        std::vector<bool> wanted(static_cast<std::size_t>(Count()));
        for (const int i : items) {
            wanted[static_cast<std::size_t>(i)] = true;
            ListView_SetItemState(list_, i, LVIS_SELECTED, LVIS_SELECTED);
        }
        for (int i = 0; i < Count(); ++i)
            if (!wanted[static_cast<std::size_t>(i)]) ListView_SetItemState(list_, i, 0, LVIS_SELECTED);
    }
    std::string ItemText(int id) const {
        char text[400] = {};
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog_, id)) != FALSE; }
    void Click(int id) { SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // For buttons that end the dialog or ask a question first.
    void ClickLater(int id) { PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Finish() {
        thread_.join();
        return ok_;
    }

private:
    FileListDialogSetup setup_;
    std::thread thread_;
    std::atomic<bool> ok_{false};
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
};

FileListDialogSetup ListSetupFor(const std::string& title, const std::string& key_path, bool preview) {
    FileListDialogSetup setup = preview ? PictureListSetup() : MusicListSetup();
    setup.title = title;
    setup.key_path = key_path;
    return setup;
}

TEST(FileListDialogTest, OpensEmptyWithTheEditButtonsOff) {
    test::TemporaryKey temp("CubeSaverListMissing");
    for (const bool key_exists : {false, true}) {
        if (key_exists) Store(temp.path(), {});
        OpenDialog dialog(ListSetupFor("List Test Empty", temp.path(), false));
        EXPECT_EQ(dialog.Count(), 0);
        EXPECT_EQ(dialog.ItemText(IDC_FILE_LIST_COUNT), "0 items in the list");
        for (const int id : {IDC_FILE_LIST_MOVE_UP, IDC_FILE_LIST_MOVE_DOWN, IDC_FILE_LIST_REMOVE, IDC_FILE_LIST_REMOVE_ALL})
            EXPECT_FALSE(dialog.Enabled(id)) << id;
        // The music list has no preview: the switch is hidden and the dialog
        // ends 12 pixels right of it.
        const HWND preview_switch = GetDlgItem(dialog.dialog(), IDC_FILE_LIST_PREVIEW_SWITCH);
        EXPECT_FALSE(IsWindowVisible(preview_switch));
        RECT edge, window;
        GetWindowRect(preview_switch, &edge);
        GetWindowRect(dialog.dialog(), &window);
        EXPECT_EQ(window.right, edge.right + 12);
        dialog.ClickLater(IDCANCEL);
        EXPECT_FALSE(dialog.Finish());
        if (key_exists)
            EXPECT_EQ(StoredValues(temp.path()), Expected({}));
        else
            EXPECT_FALSE(RegistryListKey::OpenForReading(HKEY_CURRENT_USER, temp.path()));
    }
}

TEST(FileListDialogTest, OkWritesExactlyTheListShownAndCancelNothing) {
    test::TemporaryKey temp("CubeSaverListOk");
    const std::vector<std::string> old{"C:\\a.jpg", "C:\\Photos\\", "C:\\b.jpg", "C:\\Photos\\*", "C:\\c.png"};
    Store(temp.path(), old);
    {
        // A value that is no string and one too long are passed over without
        // losing what follows them.
        const auto key = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), false);
        ASSERT_TRUE(key);
        key->WriteDword("zz", 7);
        key->WriteString("zzz", std::string(300, 'x'));
        ASSERT_TRUE(key->OpenSubkey("Below", true));
    }
    {
        OpenDialog dialog(ListSetupFor("List Test Cancel", temp.path(), false));
        ASSERT_EQ(dialog.Count(), 5);
        EXPECT_EQ(dialog.Selection(), "0");
        EXPECT_EQ(dialog.ItemText(IDC_FILE_LIST_COUNT), "5 items in the list");
        EXPECT_EQ(dialog.Text(0, 0), "a");
        EXPECT_EQ(dialog.Text(1, 0), " ");
        EXPECT_EQ(dialog.Text(1, 1), "C:\\Photos\\");
        dialog.Click(IDC_FILE_LIST_REMOVE);
        EXPECT_EQ(dialog.Count(), 4);
        dialog.ClickLater(IDCANCEL);
        EXPECT_FALSE(dialog.Finish());
    }
    const auto before = StoredValues(temp.path());
    EXPECT_EQ(before.size(), 7u);

    OpenDialog dialog(ListSetupFor("List Test Ok", temp.path(), false));
    dialog.Select({2, 3});
    dialog.Click(IDC_FILE_LIST_MOVE_UP);
    EXPECT_EQ(dialog.Text(1, 0), "b");
    EXPECT_EQ(dialog.Selection(), "12");
    dialog.Select({4});
    EXPECT_FALSE(dialog.Enabled(IDC_FILE_LIST_MOVE_DOWN));
    EXPECT_TRUE(dialog.Enabled(IDC_FILE_LIST_MOVE_UP));
    dialog.Click(IDC_FILE_LIST_REMOVE);  // the last: the new last is selected
    EXPECT_EQ(dialog.Selection(), "3");
    dialog.Click(IDC_FILE_LIST_REMOVE);
    EXPECT_EQ(dialog.ItemText(IDC_FILE_LIST_COUNT), "3 items in the list");
    dialog.ClickLater(IDOK);
    EXPECT_TRUE(dialog.Finish());
    EXPECT_EQ(StoredValues(temp.path()), Expected({"C:\\a.jpg", "C:\\b.jpg", "C:\\Photos\\*"}));
    const auto key = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), false);
    EXPECT_FALSE(key->OpenSubkey("Below", false));
}

// The dialog shows, and OK keeps, exactly the entries the saver reads from
// the same key, down to a path stored without its terminator.
TEST(FileListDialogTest, ShowsTheListTheSaverReads) {
    test::TemporaryKey temp("CubeSaverListSame");
    {
        std::unique_ptr<RegistryListKey> key;
        ASSERT_EQ(RegistryListKey::Create(HKEY_CURRENT_USER, temp.path(), key), 0u);
        const std::string unterminated = "C:\\b.jpg", past = "C:\\past.jpg";
        ASSERT_EQ(key->Write({"00000", ListKey::kStringType, {'C', ':', '\\', 'a', '.', 'j', 'p', 'g', 0}}), 0u);
        ASSERT_EQ(key->Write({"00001", ListKey::kStringType, {unterminated.begin(), unterminated.end()}}), 0u);
        ASSERT_EQ(key->Write({"zz", 4, {7, 0, 0, 0}}), 0u);
        ASSERT_EQ(key->Write({"00004", ListKey::kStringType, {past.begin(), past.end() + 1}}), 0u);
    }
    const auto store = RegistrySettingsStore::Open(HKEY_CURRENT_USER, temp.path(), false);
    ASSERT_TRUE(store);
    const std::vector<std::string> saver_list = ReadStoredList(*store);
    EXPECT_EQ(saver_list, (std::vector<std::string>{"C:\\a.jpg", "C:\\b.jpg"}));

    OpenDialog dialog(ListSetupFor("List Test Same", temp.path(), false));
    ASSERT_EQ(dialog.Count(), 2);
    EXPECT_EQ(dialog.Text(1, 0), "b");
    dialog.ClickLater(IDOK);
    EXPECT_TRUE(dialog.Finish());
    EXPECT_EQ(StoredValues(temp.path()), Expected(saver_list));
}

// Names outside any single-byte code page are shown and written back as they
// were stored (the program's code page is UTF-8).
TEST(FileListDialogTest, GreekAndJapaneseNamesSurviveOk) {
    test::TemporaryKey temp("CubeSaverListNames");
    const std::vector<std::string> names{"C:\\\xce\xa6\xcf\x89\xcf\x84\xce\xbf\\\xce\xb8\xce\xac\xce\xbb\xce\xb1\xcf\x83\xcf\x83\xce\xb1.jpg",
                                         "C:\\\xe5\x86\x99\xe7\x9c\x9f\\"};
    Store(temp.path(), names);
    OpenDialog dialog(ListSetupFor("List Test Names", temp.path(), false));
    ASSERT_EQ(dialog.Count(), 2);
    EXPECT_EQ(dialog.Text(0, 0), "\xce\xb8\xce\xac\xce\xbb\xce\xb1\xcf\x83\xcf\x83\xce\xb1");
    EXPECT_EQ(dialog.Text(1, 1), names[1]);
    dialog.ClickLater(IDOK);
    EXPECT_TRUE(dialog.Finish());
    EXPECT_EQ(StoredValues(temp.path()), Expected(names));
}

TEST(FileListDialogTest, RemoveAllAsksFirst) {
    test::TemporaryKey temp("CubeSaverListRemoveAll");
    Store(temp.path(), {"C:\\a.mp3", "C:\\b.mp3"});
    OpenDialog dialog(ListSetupFor("List Test Remove All", temp.path(), false));
    for (const int answer : {IDNO, IDYES}) {
        dialog.ClickLater(IDC_FILE_LIST_REMOVE_ALL);
        const HWND question = FindOwnWindow("Remove All List Items");
        ASSERT_TRUE(question);
        PostMessageA(question, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        WaitFor([&] { return !IsWindow(question); });
        EXPECT_EQ(dialog.Count(), answer == IDYES ? 0 : 2);
    }
    EXPECT_EQ(dialog.ItemText(IDC_FILE_LIST_COUNT), "0 items in the list");
}

TEST(FileListDialogTest, ContextHelpShowsTheTipAtOnceUntilTheMouseLeaves) {
    test::TemporaryKey temp("CubeSaverListHelp");
    OpenDialog dialog(ListSetupFor("List Test Help", temp.path(), false));
    const HWND ok = GetDlgItem(dialog.dialog(), IDOK);
    const HWND tip = ControlTipOf(ok);
    ASSERT_TRUE(tip);
    auto initial_delay = [&] { return SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0); };
    EXPECT_GT(initial_delay(), 0);
    HELPINFO help{sizeof help, HELPINFO_WINDOW, IDOK, ok, 0, {}};
    SendMessageA(dialog.dialog(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(initial_delay(), 0);
    SendMessageA(dialog.dialog(), WM_SETCURSOR, reinterpret_cast<WPARAM>(ok), 0);
    EXPECT_EQ(initial_delay(), 0);  // still over the control
    SendMessageA(dialog.dialog(), WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog.dialog()), 0);
    EXPECT_GT(initial_delay(), 0);
}

// The real key, with its n-th write refused as a full registry would.
class FailingKey final : public ListKey {
public:
    FailingKey(ListKey& key, int failing_write) : key_(key), failing_write_(failing_write) {}
    SystemError ReadAll(std::vector<Value>& values) const override { return key_.ReadAll(values); }
    SystemError Write(const Value& value) override {
        if (writes_++ == failing_write_) return ERROR_NO_SYSTEM_RESOURCES;
        return key_.Write(value);
    }
    SystemError Remove(const std::string& name) override { return key_.Remove(name); }
    void RemoveSubkeys() override { key_.RemoveSubkeys(); }

private:
    ListKey& key_;
    int failing_write_;
    int writes_ = 0;
};

TEST(FileListDialogTest, AWriteFailingPartWayKeepsTheOldList) {
    test::TemporaryKey temp("CubeSaverListFail");
    const std::vector<std::string> old{"C:\\1.jpg", "C:\\2.jpg"};
    for (const int failing_write : {0, 1, 3}) {
        Store(temp.path(), old);
        std::unique_ptr<RegistryListKey> key;
        ASSERT_EQ(RegistryListKey::Create(HKEY_CURRENT_USER, temp.path(), key), 0u);
        FailingKey failing(*key, failing_write);
        EXPECT_EQ(SaveFileList(failing, {"C:\\a.jpg", "C:\\b.jpg", "C:\\c.jpg", "C:\\d.jpg"}),
                  static_cast<SystemError>(ERROR_NO_SYSTEM_RESOURCES));
        EXPECT_EQ(StoredValues(temp.path()), Expected(old)) << failing_write;
    }
}

TEST(FileListDialogTest, PreviewShowsOneSelectedPicture) {
    test::TemporaryKey temp("CubeSaverListPreview");
    test::TemporaryFolder folder(test::TempRoot() + "CubeSaverPreview-" + std::to_string(GetCurrentProcessId()));
    const std::string wide = folder.path() + "wide.bmp";
    const std::string tall = folder.path() + "tall";
    const std::string corrupt = folder.File("corrupt.bmp");
    std::ofstream(corrupt, std::ios::binary) << "BM this is not a picture";
    WriteBmp(wide, 80, 20);
    WriteBmp(tall, 10, 30);
    Store(temp.path(), {wide, folder.path(), tall, corrupt});

    std::atomic<int> decodes{0};
    FileListDialogSetup setup = ListSetupFor("List Test Preview", temp.path(), true);
    setup.decode = [&](const std::string& path, Bitmap& target, const SizeChooser& choose) {
        ++decodes;
        DecodePreviewPicture(path, target, choose);
    };
    OpenDialog dialog(setup);
    auto info = [&] { return dialog.ItemText(IDC_FILE_LIST_INFO); };
    ASSERT_TRUE(WaitFor([&] { return !info().empty(); }));
    EXPECT_EQ(info(), "Item 1 of 4\nFormat: .bmp\nDimensions: 80 x 20");
    EXPECT_EQ(decodes, 1);

    // Moving the shown picture keeps it without decoding it again.
    dialog.Click(IDC_FILE_LIST_MOVE_DOWN);
    ASSERT_TRUE(WaitFor([&] { return info() == "Item 2 of 4\nFormat: .bmp\nDimensions: 80 x 20"; })) << info();
    EXPECT_EQ(decodes, 1);

    dialog.Select({0});  // the folder
    EXPECT_EQ(info(), "");
    dialog.Select({2});
    ASSERT_TRUE(WaitFor([&] { return !info().empty(); }));
    EXPECT_EQ(info(), "Item 3 of 4\nFormat: none found\nDimensions: 10 x 30");
    dialog.Select({1, 2});
    EXPECT_EQ(info(), "");
    dialog.Select({2});
    ASSERT_TRUE(WaitFor([&] { return !info().empty(); }));
    dialog.Select({3});  // the corrupt file clears the preview and stays in the list
    EXPECT_TRUE(WaitFor([&] { return decodes == 4 && info().empty(); })) << info();
    EXPECT_EQ(dialog.Count(), 4);

    // Hidden, the preview shows nothing and decodes nothing.
    dialog.Click(IDC_FILE_LIST_PREVIEW_SWITCH);
    EXPECT_EQ(dialog.ItemText(IDC_FILE_LIST_PREVIEW_SWITCH), "Show Preview  >>");
    dialog.Select({1});
    EXPECT_EQ(info(), "");
    EXPECT_EQ(decodes, 4);
    dialog.Click(IDC_FILE_LIST_PREVIEW_SWITCH);
    EXPECT_EQ(dialog.ItemText(IDC_FILE_LIST_PREVIEW_SWITCH), "Hide Preview  <<");
    ASSERT_TRUE(WaitFor([&] { return !info().empty(); }));
    EXPECT_EQ(decodes, 5);
}

TEST(FileListDialogTest, PreviewShowsSystemFormatsAndSaysWhichHaveNoDecoder) {
    InstallSystemCodecs(MakeWicCodecs());
    test::TemporaryKey temp("CubeSaverListSystem");
    test::TemporaryFolder folder(test::TempRoot() + "CubeSaverSystem-" + std::to_string(GetCurrentProcessId()));
    const std::string gif = folder.File("dot.gif");
    const std::string heic = folder.File("phone.heic");
    static const unsigned char kOneRedPixel[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                                                 0xFF, 0, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0,
                                                 2, 2, 0x44, 0x01, 0, 0x3B};
    std::ofstream(gif, std::ios::binary).write(reinterpret_cast<const char*>(kOneRedPixel), sizeof kOneRedPixel);
    std::ofstream(heic, std::ios::binary) << "\x17 random bytes of no format at all";
    Store(temp.path(), {gif, heic});

    OpenDialog dialog(ListSetupFor("List Test System", temp.path(), true));
    auto info = [&] { return dialog.ItemText(IDC_FILE_LIST_INFO); };
    ASSERT_TRUE(WaitFor([&] { return !info().empty(); }));
    EXPECT_EQ(info(), "Item 1 of 2\nFormat: .gif\nDimensions: 1 x 1");
    dialog.Select({1});
    EXPECT_TRUE(WaitFor([&] { return info() == "No decoder for .heic on this computer"; })) << info();
    InstallSystemCodecs(nullptr);
}

TEST(FileListDialogTest, ClosingDoesNotWaitForASlowDecode) {
    test::TemporaryKey temp("CubeSaverListSlow");
    Store(temp.path(), {"C:\\slow.bmp"});
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> decoding{false};
    FileListDialogSetup setup = ListSetupFor("List Test Slow", temp.path(), true);
    setup.decode = [&](const std::string&, Bitmap&, const SizeChooser&) {
        decoding = true;
        WaitForSingleObject(release, 10000);
        throw std::runtime_error("stopped");
    };
    OpenDialog dialog(setup);
    ASSERT_TRUE(WaitFor([&] { return decoding.load(); }));
    const auto start = std::chrono::steady_clock::now();
    dialog.ClickLater(IDCANCEL);
    dialog.Finish();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    // The worker finishes after the dialog has gone, touching neither it nor
    // the freed request.
    SetEvent(release);
    Sleep(100);
    CloseHandle(release);
}

}  // namespace
}  // namespace cs

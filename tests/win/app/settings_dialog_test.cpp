// The settings dialog under Wine, in-process: opened over an in-memory
// settings key, its controls read and driven through their messages.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/cube_saver_app.h"
#include "app/process_state.h"
#include "app/win32/configure_dialog.h"
#include "config/first_run_marker.h"
#include "config/memory_settings_store.h"
#include "config/settings_values.h"
#include "config/win32/control_tip.h"
#include "resource_ids.h"

namespace cs {
namespace {

class MemoryRegistry final : public SettingsRegistry {
public:
    MemorySettingsStore root;
    std::unique_ptr<SettingsStore> OpenSettingsKey() override { return root.Handle(); }
};

// The real host with the diagnostics counted instead of shown.
class TestHost final : public AppSettingsDialogHost {
public:
    using AppSettingsDialogHost::AppSettingsDialogHost;
    int renderer_checks = 0;
    void WarnIfSoftwareRenderer(HWND) override { ++renderer_checks; }
    void ShowSystemInfo(HWND) override {}
    void EmailSupport(HWND) override {}
};

using Snapshot = std::map<std::string, std::vector<std::uint8_t>>;

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Process().mode = ScreenMode::Configure;
        // A key as a first run leaves it, with the current display mode as
        // the chosen one so that opening changes nothing by itself.
        CubeSaverApp seed;
        seed.LoadAllSettings(nullptr, registry_, 1234);
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
        Store(7, 1);
        Store(8, static_cast<std::int32_t>(mode.dmPelsWidth));
        Store(9, static_cast<std::int32_t>(mode.dmPelsHeight));
        Store(10, static_cast<std::int32_t>(mode.dmBitsPerPel));
        Store(11, static_cast<std::int32_t>(mode.dmDisplayFrequency));
    }

    void TearDown() override {
        if (dialog_) DestroyWindow(dialog_);
        Pump();
    }

    void Store(int index, std::int32_t value) {
        WriteNumberValue(registry_.root, SettingValueName(kSettingsGroup, index), value);
    }

    Snapshot Values() const {
        Snapshot out;
        for (const std::string& name : registry_.root.ValueNames()) out[name] = registry_.root.Read(name)->bytes;
        return out;
    }

    // Names of the values that differ between two snapshots.
    static std::set<std::string> Changed(const Snapshot& before, const Snapshot& after) {
        std::set<std::string> names;
        for (const auto& [name, bytes] : after) {
            const auto it = before.find(name);
            if (it == before.end() || it->second != bytes) names.insert(name);
        }
        return names;
    }

    void Open() {
        dialog_ = CreateSettingsDialog(GetModuleHandleA(nullptr), nullptr, host_);
        ASSERT_NE(dialog_, nullptr);
        Pump();
        tabs_ = GetDlgItem(dialog_, IDC_SETTINGS_TABS);
    }

    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // The page whose tab has that position (pages are made in tab order).
    HWND Page(int position) const {
        HWND child = nullptr;
        static constexpr int kMarkers[] = {IDC_CUSTOMIZE_PICTURES, IDC_CUBE_STYLE, IDC_CUSTOMIZE_MUSIC,
                                           IDC_TARGET_FRAMERATE, IDC_SYSTEM_INFO};
        while ((child = FindWindowExA(dialog_, child, "#32770", nullptr)) != nullptr)
            if (GetDlgItem(child, kMarkers[position])) return child;
        return nullptr;
    }

    void SelectTab(int position) {
        SendMessageA(tabs_, TCM_SETCURSEL, position, 0);
        NMHDR header{tabs_, IDC_SETTINGS_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(dialog_, WM_NOTIFY, IDC_SETTINGS_TABS, reinterpret_cast<LPARAM>(&header));
    }

    void Click(HWND page, int control) {
        SendMessageA(GetDlgItem(page, control), BM_CLICK, 0, 0);
        Pump();
    }

    void Pick(HWND page, int control, int index) {
        HWND list = GetDlgItem(page, control);
        SendMessageA(list, CB_SETCURSEL, index, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    static int Selected(HWND page, int control) {
        return static_cast<int>(SendDlgItemMessageA(page, control, CB_GETCURSEL, 0, 0));
    }
    // The dialog itself is never shown here; a page's own flag says which is up.
    static bool Shown(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }
    static bool Checked(HWND page, int control) { return IsDlgButtonChecked(page, control) == BST_CHECKED; }
    static std::string Text(HWND page, int control) {
        char text[64] = {};
        GetDlgItemTextA(page, control, text, sizeof text);
        return text;
    }

    void Command(int id) {
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        Pump();
    }

    MemoryRegistry registry_;
    CubeSaverApp app_;
    TestHost host_{app_, registry_};
    HWND dialog_ = nullptr;
    HWND tabs_ = nullptr;
};

TEST_F(SettingsDialogTest, EveryPageShowsTheStoredRecord) {
    Store(100, 3);   // rotation length
    Store(101, 6);   // Bouncing
    Store(102, 1);   // stretch
    Store(103, 0);   // pictures in order
    Store(104, 0);   // solid colour
    Store(106, 1);   // silver chrome
    Store(107, 9);   // show length
    Store(108, 1);   // names
    Store(109, 0);   // music in order
    Store(110, 0);   // no maximum texture size
    Store(18, 2);    // 30 fps
    Store(13, 1);    // date and time
    Store(15, 1);    // escape only
    Store(2, 0);     // no power down support
    Open();

    EXPECT_EQ(TabCtrl_GetItemCount(tabs_), 5);
    char caption[64] = {};
    GetWindowTextA(dialog_, caption, sizeof caption);
    EXPECT_STREQ(caption, "Cube Saver 2.0 Settings");
    EXPECT_EQ(Text(dialog_, IDC_VERSION_LABEL), "Version 2.0");

    HWND pictures = Page(0);
    ASSERT_NE(pictures, nullptr);
    EXPECT_TRUE(Shown(pictures));
    EXPECT_FALSE(Checked(pictures, IDC_RANDOMIZE_PICTURES));
    EXPECT_TRUE(Checked(pictures, IDC_SHOW_PICTURE_NAMES));
    EXPECT_TRUE(Checked(pictures, IDC_STRETCH_TO_FIT));
    EXPECT_FALSE(Checked(pictures, IDC_MAX_TEXTURE_SIZE));

    HWND cube = Page(1);
    EXPECT_FALSE(Shown(cube));
    EXPECT_EQ(Text(cube, IDC_SHOW_LENGTH), "9");
    EXPECT_EQ(Text(cube, IDC_ROTATION_LENGTH), "3");
    EXPECT_EQ(Selected(cube, IDC_CUBE_STYLE), 6);
    EXPECT_EQ(Selected(cube, IDC_CUBE_GLASS), 1);
    EXPECT_EQ(Selected(cube, IDC_BACKGROUND), 0);
    EXPECT_EQ(SendDlgItemMessageA(cube, IDC_CUBE_STYLE, CB_GETCOUNT, 0, 0), 8);

    EXPECT_FALSE(Checked(Page(2), IDC_RANDOMIZE_MUSIC));

    HWND options = Page(3);
    EXPECT_EQ(Selected(options, IDC_TARGET_FRAMERATE), 2);
    EXPECT_TRUE(Checked(options, IDC_SHOW_DATE_TIME));
    EXPECT_TRUE(Checked(options, IDC_EXIT_ON_ESCAPE));
    EXPECT_FALSE(Checked(options, IDC_POWER_DOWN));
    EXPECT_TRUE(Checked(options, IDC_USE_OTHER_RESOLUTION));
    EXPECT_FALSE(Shown(GetDlgItem(options, IDC_BLEND_ON_CLOSE)));
    EXPECT_GE(Selected(options, IDC_RESOLUTION), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(options, IDC_RESOLUTION)));

    SelectTab(1);
    EXPECT_TRUE(Shown(cube));
    EXPECT_FALSE(Shown(pictures));
}

TEST_F(SettingsDialogTest, OkWritesExactlyWhatWasChangedAndTheCounter) {
    Store(101, 1);
    Store(108, 0);
    const Snapshot before = Values();
    Open();
    Click(Page(0), IDC_SHOW_PICTURE_NAMES);
    Pick(Page(1), IDC_CUBE_STYLE, 7);
    Pick(Page(3), IDC_OTHER_MONITORS, 0);
    Command(IDOK);

    const Snapshot after = Values();
    EXPECT_EQ(after.at("OtherMonitors"), (std::vector<std::uint8_t>{0, 0, 0, 0}));  // "Black"
    // No run stores "OtherMonitors" before the user's first OK.
    EXPECT_EQ(Changed(before, after), (std::set<std::string>{"000_077", "000_101", "000_108", "OtherMonitors"}));
    EXPECT_EQ(app_.Cube().cube_style, 7);
    EXPECT_EQ(ReadSettingsOpenCount(registry_.root), 1u);
}

TEST_F(SettingsDialogTest, CancelWritesNothingButTheCounter) {
    const Snapshot before = Values();
    Open();
    Click(Page(0), IDC_SHOW_PICTURE_NAMES);
    Pick(Page(1), IDC_CUBE_STYLE, 7);
    Command(IDCANCEL);
    EXPECT_EQ(Changed(before, Values()), (std::set<std::string>{"000_077"}));
}

TEST_F(SettingsDialogTest, DefaultsOnOnePageLeaveTheOtherAlone) {
    Store(101, 6);
    Store(108, 1);
    Store(109, 0);
    Open();
    SelectTab(1);
    Click(Page(1), IDC_DEFAULTS);
    EXPECT_EQ(Selected(Page(1), IDC_CUBE_STYLE), 1);
    EXPECT_EQ(app_.Cube().cube_style, 1);
    EXPECT_TRUE(Checked(Page(0), IDC_SHOW_PICTURE_NAMES));
    EXPECT_EQ(app_.Cube().show_picture_names, 1);
    EXPECT_TRUE(Checked(Page(2), IDC_RANDOMIZE_MUSIC));

    Pick(Page(1), IDC_CUBE_STYLE, 5);
    SelectTab(0);
    Click(Page(0), IDC_DEFAULTS);
    EXPECT_FALSE(Checked(Page(0), IDC_SHOW_PICTURE_NAMES));
    EXPECT_EQ(app_.Cube().cube_style, 5);
    EXPECT_EQ(Selected(Page(1), IDC_CUBE_STYLE), 5);
}

TEST_F(SettingsDialogTest, DefaultsOnTheOptionsPageResetOnlyThatPage) {
    Store(13, 1);   // "Show date and time"
    Store(15, 1);   // "Exit on Escape key only"
    Store(18, 5);   // "Infinite"
    Store(108, 1);  // "Show picture names"
    registry_.root.WriteDword("OtherMonitors", 0);
    Open();
    Click(Page(2), IDC_RANDOMIZE_MUSIC);
    Pick(Page(1), IDC_CUBE_STYLE, 6);
    SelectTab(3);
    HWND options = Page(3);
    Click(options, IDC_USE_OTHER_RESOLUTION);
    Click(options, IDC_DEFAULTS);

    EXPECT_EQ(Selected(options, IDC_OTHER_MONITORS), 1);
    EXPECT_EQ(Selected(options, IDC_TARGET_FRAMERATE), 3);
    EXPECT_FALSE(Checked(options, IDC_SHOW_DATE_TIME));
    EXPECT_FALSE(Checked(options, IDC_EXIT_ON_ESCAPE));
    EXPECT_FALSE(Checked(options, IDC_USE_OTHER_RESOLUTION));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options, IDC_RESOLUTION)));
    // The other pages keep what was stored or picked.
    EXPECT_TRUE(Checked(Page(0), IDC_SHOW_PICTURE_NAMES));
    EXPECT_EQ(app_.Cube().cube_style, 6);
    EXPECT_EQ(app_.Cube().randomize_music, 0);

    Command(IDOK);
    EXPECT_EQ(registry_.root.Read("OtherMonitors")->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(app_.General().target_framerate, 3);
}

TEST_F(SettingsDialogTest, NumberFieldsStoreNumbersAsTypedAndIgnoreTheRest) {
    Open();
    HWND cube = Page(1);
    SetDlgItemTextA(cube, IDC_SHOW_LENGTH, "0");
    EXPECT_EQ(app_.Cube().show_picture_length, 0);
    SetDlgItemTextA(cube, IDC_ROTATION_LENGTH, "700");
    EXPECT_EQ(app_.Cube().rotation_length, 700);
    SetDlgItemTextA(cube, IDC_ROTATION_LENGTH, "");
    EXPECT_EQ(app_.Cube().rotation_length, 700);
    SetDlgItemTextA(cube, IDC_ROTATION_LENGTH, "x1");
    EXPECT_EQ(app_.Cube().rotation_length, 700);
}

TEST_F(SettingsDialogTest, OddStoredValuesOpenAndAreWrittenBackUnchanged) {
    Store(101, 99);
    Store(18, -1);
    Store(105, static_cast<std::int32_t>(0xFF102030u));
    Store(107, -4);
    registry_.root.WriteDword("OtherMonitors", 7);
    const Snapshot before = Values();
    Open();
    EXPECT_EQ(Selected(Page(3), IDC_OTHER_MONITORS), 1);  // read as a cube of their own
    EXPECT_EQ(Selected(Page(1), IDC_CUBE_STYLE), -1);
    EXPECT_EQ(Selected(Page(3), IDC_TARGET_FRAMERATE), -1);
    EXPECT_EQ(Text(Page(1), IDC_SHOW_LENGTH), "-4");
    // Focus moving through the lists is no pick.
    HWND style = GetDlgItem(Page(1), IDC_CUBE_STYLE);
    SendMessageA(Page(1), WM_COMMAND, MAKEWPARAM(IDC_CUBE_STYLE, CBN_SETFOCUS), reinterpret_cast<LPARAM>(style));
    Command(IDOK);
    // The numbered values keep their odd contents; "OtherMonitors" is
    // written as it was read.
    EXPECT_EQ(Changed(before, Values()), (std::set<std::string>{"000_077", "OtherMonitors"}));
    EXPECT_EQ(registry_.root.Read("OtherMonitors")->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
}

TEST_F(SettingsDialogTest, WithoutOtherResolutionTheCurrentModeIsStored) {
    Store(7, 0);
    Store(8, 0);
    Store(9, 0);
    Open();
    HWND options = Page(3);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(options, IDC_RESOLUTION)));
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    EXPECT_EQ(app_.General().resolution_width, static_cast<std::int32_t>(mode.dmPelsWidth));
    EXPECT_EQ(app_.General().resolution_height, static_cast<std::int32_t>(mode.dmPelsHeight));
    Click(options, IDC_USE_OTHER_RESOLUTION);
    EXPECT_EQ(app_.General().use_other_resolution, 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(options, IDC_RESOLUTION)));
}

// Wine answers at most the first 80 characters of a tip.
std::string TipText(HWND control) {
    HWND tip = ControlTipOf(control);
    if (!tip) return {};
    char text[1024] = {};
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = control;
    tool.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST_F(SettingsDialogTest, ControlsCarryTipsAndHelpShowsOneAtOnceUntilTheMouseLeaves) {
    Open();
    HWND max_texture = GetDlgItem(Page(0), IDC_MAX_TEXTURE_SIZE);
    EXPECT_TRUE(TipText(max_texture).starts_with("By default all images are scaled to 512x512.  Check this"));
    for (auto [page, control] : {std::pair{1, IDC_BACKGROUND_COLOR}, {1, IDC_SHOW_LENGTH}, {2, IDC_RANDOMIZE_MUSIC},
                                 {3, IDC_COLOR_DEPTH}, {3, IDC_POWER_DOWN}, {4, IDC_EMAIL_SUPPORT}})
        EXPECT_FALSE(TipText(GetDlgItem(Page(page), control)).empty()) << control;
    EXPECT_TRUE(TipText(GetDlgItem(Page(4), IDC_SYSTEM_INFO)).empty());

    HWND tip = ControlTipOf(max_texture);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 30000);
    HELPINFO help{sizeof help, HELPINFO_WINDOW, IDC_MAX_TEXTURE_SIZE, max_texture, 0, {0, 0}};
    SendMessageA(Page(0), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 0);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 0);
    // Still over the control: nothing changes. Over another one: back to normal.
    SendMessageA(Page(0), WM_SETCURSOR, reinterpret_cast<WPARAM>(max_texture), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 0);
    HWND other = GetDlgItem(Page(0), IDC_STRETCH_TO_FIT);
    SendMessageA(Page(0), WM_SETCURSOR, reinterpret_cast<WPARAM>(other), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_GT(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 0);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 30000);
}

TEST_F(SettingsDialogTest, RendererIsCheckedOnTheFirstOpeningAndNotTheSecond) {
    Open();
    EXPECT_EQ(host_.renderer_checks, 1);
    Command(IDCANCEL);
    DestroyWindow(dialog_);
    Open();
    EXPECT_EQ(host_.renderer_checks, 1);
    EXPECT_EQ(ReadSettingsOpenCount(registry_.root), 2u);
}

}  // namespace
}  // namespace cs

// The settings load and save sequences of the application object, over an
// in-memory settings key.
#include <gtest/gtest.h>

#include <map>

#include "app/cube_saver_app.h"
#include "app/process_state.h"
#include "app/settings_registry.h"
#include "config/memory_settings_store.h"
#include "config/settings_values.h"

namespace cs {
namespace {

class MemoryRegistry final : public SettingsRegistry {
public:
    MemorySettingsStore root;
    bool broken = false;
    std::unique_ptr<SettingsStore> OpenSettingsKey() override {
        if (broken) return nullptr;
        return root.Handle();
    }
};

class FakeLister final : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) override {
        const auto it = folders.find(folder);
        if (it == folders.end()) return false;
        entries = it->second;
        return true;
    }
};

class NoSpecialFolders final : public SpecialFolders {
public:
    std::optional<std::string> FolderPath(int) override { return std::nullopt; }
};

class SettingsLoadTest : public ::testing::Test {
protected:
    void SetUp() override { Process().mode = ScreenMode::Saver; }
    void TearDown() override { Process().mode = ScreenMode::Configure; }
    MemoryRegistry registry;
};

std::vector<std::string> ExpectedFirstRunValues() {
    std::vector<std::string> names;
    for (int i = 0; i <= 18; ++i)
        if (i != 6) names.push_back(SettingValueName(0, i));
    names.push_back("000_075");
    names.push_back("000_076");
    for (int i = 100; i <= 111; ++i) names.push_back(SettingValueName(0, i));
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(SettingsLoadTest, FirstRunSavesEveryValueOnceAndDrawsOnce) {
    CubeSaverApp first;
    first.LoadAllSettings(nullptr, registry, 12345);
    EXPECT_EQ(registry.root.ValueNames(), ExpectedFirstRunValues());
    const CubeSettings drawn = first.Cube();
    EXPECT_GE(drawn.rotation_length, 1);
    EXPECT_LE(drawn.rotation_length, 4);
    EXPECT_GE(drawn.show_picture_length, 1);
    EXPECT_LE(drawn.show_picture_length, 8);
    EXPECT_GE(drawn.cube_style, 0);
    EXPECT_LE(drawn.cube_style, 7);
    EXPECT_GE(drawn.cube_glass, 0);
    EXPECT_LE(drawn.cube_glass, 2);

    // A second run with another seed draws nothing new.
    for (std::uint32_t seed : {1u, 999u, 0xFFFFFFFFu}) {
        CubeSaverApp again;
        again.LoadAllSettings(nullptr, registry, seed);
        EXPECT_EQ(again.Cube().rotation_length, drawn.rotation_length);
        EXPECT_EQ(again.Cube().show_picture_length, drawn.show_picture_length);
        EXPECT_EQ(again.Cube().cube_style, drawn.cube_style);
        EXPECT_EQ(again.Cube().cube_glass, drawn.cube_glass);
    }
}

TEST_F(SettingsLoadTest, StoredValuesWinAndSaverRunsNeverWrite) {
    {
        CubeSaverApp first;
        first.LoadAllSettings(nullptr, registry, 1);
    }
    registry.root.WriteDword("000_018", 5);
    registry.root.WriteDword("000_015", 1);
    registry.root.WriteDword("000_107", 0);  // loaded as is; the scene treats it as 1
    registry.root.WriteRaw("000_002", ValueType::Binary, {0, 0, 0, 0, 0, 0, 0, 0});  // too big: ignored
    const auto before = registry.root.ValueNames();

    CubeSaverApp app;
    app.LoadAllSettings(nullptr, registry, 2);
    EXPECT_EQ(app.General().target_framerate, 5);
    EXPECT_EQ(app.General().exit_on_escape_only, 1);
    EXPECT_EQ(app.General().support_power_down, 1);
    EXPECT_EQ(app.Cube().show_picture_length, 0);
    EXPECT_EQ(registry.root.ValueNames(), before);
    EXPECT_EQ(registry.root.Read("000_018")->bytes, (std::vector<std::uint8_t>{5, 0, 0, 0}));
}

TEST_F(SettingsLoadTest, KeyThatCannotBeOpenedLeavesDefaults) {
    registry.broken = true;
    CubeSaverApp app;
    app.LoadAllSettings(nullptr, registry, 77);
    EXPECT_EQ(app.General().target_framerate, 3);
    EXPECT_EQ(app.General().support_power_down, 1);
    EXPECT_EQ(app.Cube().cube_style, 1);  // reset to the default after the seeding draws
    EXPECT_EQ(app.Cube().texture_size_cap, 1024);
}

// "OtherMonitors" takes 0 or 1; anything else reads as 1 and stays in the
// key, through the first run too, until the user presses OK.
TEST_F(SettingsLoadTest, OtherMonitorsReadsZeroOrOneAndOnlyOkWritesIt) {
    const std::string name = "OtherMonitors";
    struct Case {
        std::optional<std::uint32_t> dword;
        const char* text;
        int expected;
    } cases[] = {{std::nullopt, nullptr, 1}, {0, nullptr, 0}, {1, nullptr, 1}, {2, nullptr, 1},
                 {0xFFFFFFFF, nullptr, 1}, {std::nullopt, "0", 1}};
    for (const Case& c : cases) {
        MemoryRegistry fresh;
        if (c.dword) fresh.root.WriteDword(name, *c.dword);
        if (c.text) fresh.root.WriteString(name, c.text);
        CubeSaverApp app;
        app.LoadAllSettings(nullptr, fresh, 1);  // the first run
        EXPECT_EQ(app.General().other_monitors, c.expected);
        const auto kept = fresh.root.Read(name);
        EXPECT_EQ(kept.has_value(), c.dword || c.text);
        app.SaveSettings(nullptr, fresh);
        const auto written = fresh.root.Read(name);
        ASSERT_TRUE(written);
        EXPECT_EQ(written->type, ValueType::Dword);
        EXPECT_EQ(written->bytes, (std::vector<std::uint8_t>{static_cast<std::uint8_t>(c.expected), 0, 0, 0}));
    }
}

TEST_F(SettingsLoadTest, ListsAreBuiltOnlyOutsideConfigureMode) {
    {
        CubeSaverApp first;
        first.LoadAllSettings(nullptr, registry, 1);
    }
    auto pictures = registry.root.OpenSubkey("Pictures", true);
    pictures->WriteString("00000", "C:\\Photos\\");
    pictures->WriteString("00001", "C:\\a.JPG");
    FakeLister lister;
    lister.folders["C:\\Photos\\"] = {
        {"b.png", false}, {"B.jpg", false}, {"notes.txt", false}, {"x.TIF", false}, {"y.heic", false}};
    NoSpecialFolders none;

    // The system's codecs read TIFF here: the folder lists it too.
    CubeSaverApp saver(ListSources{&lister, &none, nullptr, {{"TIFF", {"tif", "tiff"}}}});
    saver.LoadAllSettings(nullptr, registry, 1);
    // At start only as far as the first picture; the rest follows.
    ASSERT_EQ(saver.Pictures().Count(), 3u);
    EXPECT_EQ(*saver.Pictures().NextInOrder(), "C:\\Photos\\B.jpg");
    PathList rest;
    ASSERT_TRUE(ListRemaining(saver.PictureCompletion(), rest, nullptr));
    CompleteList(saver.Pictures(), std::move(rest), saver.PictureCompletion(), 1);
    ASSERT_EQ(saver.Pictures().Count(), 4u);
    EXPECT_EQ(*saver.Pictures().NextInOrder(), "C:\\Photos\\b.png");
    EXPECT_EQ(*saver.Pictures().NextInOrder(), "C:\\Photos\\x.TIF");
    EXPECT_EQ(*saver.Pictures().NextInOrder(), "C:\\a.JPG");

    Process().mode = ScreenMode::Configure;
    CubeSaverApp dialog(ListSources{&lister, &none, nullptr, {}});
    dialog.LoadAllSettings(nullptr, registry, 1);
    EXPECT_EQ(dialog.Pictures().Count(), 0u);
}

TEST_F(SettingsLoadTest, ConstructionGivesDefaultsAndMusicShuffle) {
    CubeSaverApp app;
    EXPECT_EQ(app.Cube().randomize_music, 1);
    EXPECT_EQ(app.Cube().rotation_length, 2);
    EXPECT_EQ(app.Cube().show_picture_length, 4);
    app.Cube().randomize_music = 0;
    app.Cube().cube_style = 6;
    app.ResetDefaults(nullptr, kPicturesGroup);
    EXPECT_EQ(app.Cube().randomize_music, 1);
    EXPECT_EQ(app.Cube().cube_style, 6);  // a cube-page setting
    app.ResetDefaults(nullptr, kCubeGroup);
    EXPECT_EQ(app.Cube().cube_style, 1);
}

}  // namespace
}  // namespace cs

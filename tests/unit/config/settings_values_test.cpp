#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/random.h"
#include "config/first_run_marker.h"
#include "config/memory_settings_store.h"
#include "config/settings_defaults.h"
#include "config/settings_values.h"

namespace cs {
namespace {

// One start of a run, the way the application object strings the pieces
// together: seed, first run, defaults, then read everything back.
struct SaverRun {
    GeneralSettings general;
    CubeSettings cube;

    void LoadAll(MemorySettingsStore& key, std::uint32_t tick_count) {
        SeedRandom(tick_count);
        if (!IsFirstRunDone(key, kFirstRunVersion)) {
            SeedFirstRunCubeDefaults(cube);
            WriteGeneralSettings(general, key);
            WriteCubeSettings(cube, key, kSettingsGroup, kCubeFirstIndex);
            MarkFirstRunDone(key, kFirstRunVersion);
        }
        ResetCubeDefaults(cube, kDefaultsAllGroups);
        ReadGeneralSettings(general, key);
        ReadCubeSettings(cube, key, kSettingsGroup, kCubeFirstIndex);
    }
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

std::vector<std::uint8_t> TextBytes(const std::string& text, bool terminated = true) {
    std::vector<std::uint8_t> out(text.begin(), text.end());
    if (terminated) out.push_back(0);
    return out;
}

TEST(FirstRunTest, WritesExactlyTheSettingsValues) {
    MemorySettingsStore key;
    SaverRun run;
    run.LoadAll(key, 12345);

    std::set<std::string> expected;
    for (int i = 0; i <= 18; ++i)
        if (i != 6) expected.insert(SettingValueName(0, i));
    expected.insert("000_075");
    expected.insert("000_076");
    for (int i = 100; i <= 111; ++i) expected.insert(SettingValueName(0, i));
    const auto names = key.ValueNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    EXPECT_EQ(names.size(), 32u);

    // The four drawn settings come back through the stored values, in the
    // order of the draws.
    SeedRandom(12345);
    const int r1 = NextRandom(), r2 = NextRandom(), r3 = NextRandom(), r4 = NextRandom();
    EXPECT_EQ(run.cube.rotation_length, 1 + r1 % 4);
    EXPECT_EQ(run.cube.show_picture_length, 1 + r2 % 8);
    EXPECT_EQ(run.cube.cube_style, r3 % 8);
    EXPECT_EQ(run.cube.cube_glass, r4 % 3);
    // Everything else is at its default, and so is the stored form.
    EXPECT_EQ(run.cube.background, 2);
    EXPECT_EQ(run.cube.texture_size_cap, 1024);
    EXPECT_EQ(run.general.target_framerate, 3);
    EXPECT_EQ(run.general.support_power_down, 1);
    EXPECT_FLOAT_EQ(run.general.value_005, 1.0f);
    EXPECT_EQ(key.Read("000_005")->type, ValueType::Binary);
    EXPECT_EQ(key.Read("000_017")->bytes, Bytes({0}));
    EXPECT_EQ(key.Read("000_018")->bytes, Bytes({3, 0, 0, 0}));
    EXPECT_EQ(key.Read("000_111")->bytes, Bytes({0x00, 0x04, 0, 0}));
}

TEST(FirstRunTest, SecondRunDrawsNothing) {
    MemorySettingsStore key;
    SaverRun first;
    first.LoadAll(key, 777);

    SaverRun second;
    second.LoadAll(key, 999);
    EXPECT_EQ(second.cube.rotation_length, first.cube.rotation_length);
    EXPECT_EQ(second.cube.show_picture_length, first.cube.show_picture_length);
    EXPECT_EQ(second.cube.cube_style, first.cube.cube_style);
    EXPECT_EQ(second.cube.cube_glass, first.cube.cube_glass);
    // No draw happened after the seed.
    const int after = NextRandom();
    SeedRandom(999);
    EXPECT_EQ(after, NextRandom());
    EXPECT_EQ(key.ValueNames().size(), 32u);
}

TEST(FirstRunTest, MarkerNamesTheVersion) {
    MemorySettingsStore key;
    EXPECT_FALSE(IsFirstRunDone(key, "2.0"));
    MarkFirstRunDone(key, "1.9");
    EXPECT_FALSE(IsFirstRunDone(key, "2.0"));
    MarkFirstRunDone(key, "2.0");
    EXPECT_TRUE(IsFirstRunDone(key, "2.0"));
    EXPECT_TRUE(key.ValueNames().empty());
    // A damaged marker counts as absent.
    auto marker = key.OpenSubkey(key.SubkeyNames().at(0), false);
    ASSERT_TRUE(marker);
    auto* memory = static_cast<MemorySettingsStore*>(marker.get());
    for (const auto& name : memory->ValueNames()) memory->WriteRaw(name, ValueType::String, TextBytes("2.0", false));
    EXPECT_FALSE(IsFirstRunDone(key, "2.0"));
}

TEST(ValueFitTest, UnfitValuesKeepThePreviousField) {
    MemorySettingsStore key;
    key.WriteRaw("000_001", ValueType::Dword, Bytes({1, 0, 0, 0, 0}));   // 5 bytes
    key.WriteRaw("000_002", ValueType::Dword, Bytes({0, 0}));            // 2 bytes
    key.WriteRaw("000_003", ValueType::String, TextBytes("7"));          // wrong type
    key.WriteRaw("000_004", ValueType::Binary, Bytes({9, 0, 0, 0}));     // wrong type
    key.WriteRaw("000_005", ValueType::Binary, Bytes({0, 0, 0, 0, 0}));  // float, 5 bytes
    key.WriteRaw("000_017", ValueType::String, TextBytes(std::string(260, 'x')));  // 261 bytes
    key.WriteRaw("000_075", ValueType::String, TextBytes("abc", false));  // no terminator
    key.WriteRaw("000_076", ValueType::Dword, Bytes({0x41, 0, 0, 0}));    // wrong type
    key.WriteRaw("000_018", ValueType::Other, Bytes({5, 0, 0, 0}));
    key.WriteRaw("000_100", ValueType::Dword, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));

    GeneralSettings general;
    general.show_frame_rate = 1;
    std::strcpy(general.text_017.data(), "keep");
    std::strcpy(general.text_075.data(), "old");
    ReadGeneralSettings(general, key);
    const GeneralSettings defaults;
    EXPECT_EQ(general.show_frame_rate, 1);
    EXPECT_EQ(general.support_power_down, defaults.support_power_down);
    EXPECT_EQ(general.value_003, defaults.value_003);
    EXPECT_EQ(general.value_004, defaults.value_004);
    EXPECT_FLOAT_EQ(general.value_005, 1.0f);
    EXPECT_STREQ(general.text_017.data(), "keep");
    EXPECT_STREQ(general.text_075.data(), "old");
    EXPECT_STREQ(general.text_076.data(), "");
    EXPECT_EQ(general.target_framerate, 3);

    CubeSettings cube;
    ReadCubeSettings(cube, key, 0, 100);
    EXPECT_EQ(cube.rotation_length, 2);
}

TEST(ValueFitTest, FittingValuesReplaceTheField) {
    MemorySettingsStore key;
    key.WriteRaw("000_008", ValueType::Dword, Bytes({0x00, 0x05, 0, 0}));
    key.WriteRaw("000_011", ValueType::Dword, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    const float f = 2.5f;
    key.WriteBinary("000_005", &f, 4);
    key.WriteString("000_017", std::string(259, 'y'));  // exactly fills the buffer
    key.WriteString("000_075", "short");
    key.WriteRaw("000_076", ValueType::String, TextBytes(std::string("a\0bc", 4)));  // text ends at the first NUL
    key.WriteRaw("000_107", ValueType::Dword, Bytes({0, 0, 0, 0}));   // "Show picture length" 0
    key.WriteRaw("000_100", ValueType::Dword, Bytes({0x58, 0x02, 0, 0}));  // 600

    GeneralSettings general;
    std::strcpy(general.text_075.data(), "a much longer old text");
    ReadGeneralSettings(general, key);
    EXPECT_EQ(general.resolution_width, 1280);
    EXPECT_EQ(general.refresh_rate, -1);
    EXPECT_FLOAT_EQ(general.value_005, 2.5f);
    EXPECT_EQ(std::string(general.text_017.data()), std::string(259, 'y'));
    // The rest of the old, longer text is gone, not left behind the new one.
    EXPECT_STREQ(general.text_075.data(), "short");
    EXPECT_EQ(general.text_075[10], '\0');
    EXPECT_STREQ(general.text_076.data(), "a");

    CubeSettings cube;
    ReadCubeSettings(cube, key, 0, 100);
    EXPECT_EQ(cube.show_picture_length, 0);
    EXPECT_EQ(cube.rotation_length, 600);
}

TEST(ValueFitTest, RoundTripOfEveryField) {
    GeneralSettings general;
    general.value_000 = -7;
    general.show_frame_rate = 1;
    general.value_005 = -0.125f;
    general.resolution_height = 1024;
    general.blend_on_close = 1;
    std::strcpy(general.text_017.data(), "C:\\some path\\");
    std::strcpy(general.text_076.data(), "thirty-one characters of text!!");
    general.target_framerate = 5;
    CubeSettings cube;
    cube.background_color = 0x00FF8040;
    cube.cube_style = 7;
    cube.texture_size_cap = 4096;
    cube.randomize_music = 0;

    MemorySettingsStore key;
    WriteGeneralSettings(general, key);
    WriteCubeSettings(cube, key, 0, 100);
    GeneralSettings g2;
    CubeSettings c2;
    ReadGeneralSettings(g2, key);
    ReadCubeSettings(c2, key, 0, 100);
    EXPECT_EQ(std::memcmp(&g2, &general, sizeof general), 0);
    EXPECT_EQ(std::memcmp(&c2, &cube, sizeof cube), 0);
    EXPECT_EQ(key.Read("000_105")->bytes, Bytes({0x40, 0x80, 0xFF, 0x00}));
}

TEST(ValueFitTest, UnterminatedTextBufferIsCutToFit) {
    GeneralSettings general;
    general.text_075.fill('z');  // no NUL anywhere
    MemorySettingsStore key;
    WriteGeneralSettings(general, key);
    EXPECT_EQ(key.Read("000_075")->bytes.size(), 32u);
    GeneralSettings back;
    ReadGeneralSettings(back, key);
    EXPECT_EQ(std::string(back.text_075.data()), std::string(31, 'z'));
}

TEST(DefaultsTest, GroupsResetTheirOwnSettingsAndAlwaysTheMusicFlag) {
    CubeSettings changed;
    changed.rotation_length = 9;
    changed.cube_style = 4;
    changed.stretch_to_fit = 1;
    changed.randomize_pictures = 0;
    changed.background = 0;
    changed.background_color = 0x123456;
    changed.cube_glass = 2;
    changed.show_picture_length = 30;
    changed.show_picture_names = 1;
    changed.randomize_music = 0;
    changed.use_max_texture_size = 0;
    changed.texture_size_cap = 256;
    const CubeSettings d;

    CubeSettings pictures = changed;
    ResetCubeDefaults(pictures, kDefaultsPicturesGroup);
    EXPECT_EQ(pictures.show_picture_names, d.show_picture_names);
    EXPECT_EQ(pictures.stretch_to_fit, d.stretch_to_fit);
    EXPECT_EQ(pictures.randomize_pictures, d.randomize_pictures);
    EXPECT_EQ(pictures.use_max_texture_size, d.use_max_texture_size);
    EXPECT_EQ(pictures.texture_size_cap, d.texture_size_cap);
    EXPECT_EQ(pictures.randomize_music, 1);
    EXPECT_EQ(pictures.rotation_length, 9);
    EXPECT_EQ(pictures.show_picture_length, 30);
    EXPECT_EQ(pictures.cube_style, 4);
    EXPECT_EQ(pictures.background, 0);
    EXPECT_EQ(pictures.background_color, 0x123456);
    EXPECT_EQ(pictures.cube_glass, 2);

    CubeSettings cube = changed;
    ResetCubeDefaults(cube, kDefaultsCubeGroup);
    EXPECT_EQ(cube.rotation_length, d.rotation_length);
    EXPECT_EQ(cube.show_picture_length, d.show_picture_length);
    EXPECT_EQ(cube.cube_style, d.cube_style);
    EXPECT_EQ(cube.background, d.background);
    EXPECT_EQ(cube.background_color, d.background_color);
    EXPECT_EQ(cube.cube_glass, d.cube_glass);
    EXPECT_EQ(cube.randomize_music, 1);
    EXPECT_EQ(cube.show_picture_names, 1);
    EXPECT_EQ(cube.stretch_to_fit, 1);
    EXPECT_EQ(cube.randomize_pictures, 0);
    EXPECT_EQ(cube.use_max_texture_size, 0);
    EXPECT_EQ(cube.texture_size_cap, 256);

    CubeSettings all = changed;
    ResetCubeDefaults(all, kDefaultsAllGroups);
    EXPECT_EQ(std::memcmp(&all, &d, sizeof d), 0);
}

TEST(SettingsOpenCountTest, MissingCountsAsZeroAndIncrements) {
    MemorySettingsStore key;
    EXPECT_EQ(ReadSettingsOpenCount(key), 0u);
    EXPECT_EQ(IncrementSettingsOpenCount(key), 1u);
    EXPECT_EQ(IncrementSettingsOpenCount(key), 2u);
    EXPECT_EQ(key.Read("000_077")->type, ValueType::Dword);
    EXPECT_EQ(ReadSettingsOpenCount(key), 2u);
    key.WriteRaw("000_077", ValueType::String, TextBytes("12"));
    EXPECT_EQ(IncrementSettingsOpenCount(key), 1u);
    key.WriteDword("000_077", 0xFFFFFFFFu);
    EXPECT_EQ(IncrementSettingsOpenCount(key), 0u);
}

}  // namespace
}  // namespace cs

// The settings dialog's decisions that need no window: the display-mode
// lists, the number fields, the "Defaults" groups and the renderer check.
#include <gtest/gtest.h>

#include "config/dialog_rules.h"
#include "config/display_mode_lists.h"
#include "config/settings_defaults.h"

namespace cs {
namespace {

std::vector<std::string> Texts(const ModeList& list) {
    std::vector<std::string> out;
    for (const auto& e : list.entries) out.push_back(e.text);
    return out;
}

const std::vector<DisplayModeInfo> kModes = {
    {640, 480, 8, 60},     // too few bits
    {800, 600, 15, 60},    // too few bits
    {320, 240, 32, 60},    // too small
    {639, 480, 32, 60},    // one pixel too narrow
    {640, 479, 32, 60},    // one pixel too low
    {640, 480, 16, 60},
    {640, 480, 32, 60},
    {640, 480, 32, 75},
    {1024, 768, 32, 60},
    {1024, 768, 16, 85},
    {1024, 768, 32, 85},
};

TEST(DisplayModeListsTest, ResolutionsAreFilteredOncePerSizeWithTheStoredOneSelected) {
    const ModeList list = BuildResolutionList(kModes, 1024, 768);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"640 x 480", "1024 x 768"}));
    ASSERT_TRUE(list.selected);
    EXPECT_EQ(*list.selected, 1u);
    EXPECT_EQ(list.entries[1].first, 1024);
    EXPECT_EQ(list.entries[1].second, 768);

    // A stored size that is not offered (or none at all) shows the first entry.
    EXPECT_EQ(BuildResolutionList(kModes, 1280, 1024).selected, std::optional<std::size_t>(0));
    EXPECT_EQ(BuildResolutionList(kModes, 0, 0).selected, std::optional<std::size_t>(0));
    // A width that happens to begin like another is still its own entry.
    const ModeList odd = BuildResolutionList({{640, 480, 32, 60}, {640, 4800, 32, 60}}, 640, 4800);
    EXPECT_EQ(odd.entries.size(), 2u);
    EXPECT_EQ(odd.selected, std::optional<std::size_t>(1));
}

TEST(DisplayModeListsTest, DepthsAndRatesOfTheChosenSizeWithFallbackToTheLast) {
    DepthAndRefreshLists lists = BuildDepthAndRefreshLists(kModes, 1024, 768, 16, 85);
    EXPECT_EQ(Texts(lists.depths), (std::vector<std::string>{"32 bits", "16 bits"}));
    EXPECT_EQ(Texts(lists.refresh_rates), (std::vector<std::string>{"60 Hz", "85 Hz"}));
    EXPECT_EQ(lists.depths.selected, std::optional<std::size_t>(1));
    EXPECT_EQ(lists.refresh_rates.selected, std::optional<std::size_t>(1));

    // A rate the size does not offer gives way to the list's last entry.
    lists = BuildDepthAndRefreshLists(kModes, 640, 480, 32, 100);
    EXPECT_EQ(Texts(lists.refresh_rates), (std::vector<std::string>{"60 Hz", "75 Hz"}));
    EXPECT_EQ(lists.refresh_rates.selected, std::optional<std::size_t>(1));
    EXPECT_EQ(lists.depths.entries[*lists.depths.selected].first, 32);
}

TEST(DisplayModeListsTest, NoModePassingTheFilterLeavesEveryListEmpty) {
    const std::vector<DisplayModeInfo> poor = {{640, 480, 8, 60}, {320, 200, 32, 70}};
    const ModeList resolutions = BuildResolutionList(poor, 640, 480);
    EXPECT_TRUE(resolutions.entries.empty());
    EXPECT_FALSE(resolutions.selected);
    const DepthAndRefreshLists lists = BuildDepthAndRefreshLists(poor, 640, 480, 8, 60);
    EXPECT_TRUE(lists.depths.entries.empty());
    EXPECT_FALSE(lists.depths.selected);
    EXPECT_FALSE(lists.refresh_rates.selected);
}

TEST(DialogRulesTest, NumberFieldTakesWholeNumbersOnlyAndKeepsThemAsTyped) {
    EXPECT_EQ(ParseNumberField("4"), 4);
    EXPECT_EQ(ParseNumberField("0"), 0);       // outside 1 to 600, stored as typed
    EXPECT_EQ(ParseNumberField("9999"), 9999);
    EXPECT_EQ(ParseNumberField("-5"), -5);
    EXPECT_EQ(ParseNumberField("+7"), 7);
    EXPECT_EQ(ParseNumberField(""), std::nullopt);
    EXPECT_EQ(ParseNumberField("12a"), std::nullopt);
    EXPECT_EQ(ParseNumberField("+-3"), std::nullopt);
    EXPECT_EQ(ParseNumberField("+"), std::nullopt);
    EXPECT_EQ(ParseNumberField("99999999999"), std::nullopt);  // does not fit
    EXPECT_EQ(ParseNumberField(std::string(32, '1')), std::nullopt);
}

TEST(DialogRulesTest, DefaultsResetOnlyTheCurrentPagesGroup) {
    CubeSettings changed;
    changed.show_picture_names = 1;
    changed.cube_style = 6;
    changed.randomize_music = 0;

    CubeSettings pictures = changed;
    ResetCubeDefaults(pictures, *DefaultsGroupForPage(SettingsPageId::Pictures));
    EXPECT_EQ(pictures.show_picture_names, 0);
    EXPECT_EQ(pictures.cube_style, 6);
    EXPECT_EQ(pictures.randomize_music, 1);

    CubeSettings cube = changed;
    ResetCubeDefaults(cube, *DefaultsGroupForPage(SettingsPageId::CubeAppearance));
    EXPECT_EQ(cube.show_picture_names, 1);
    EXPECT_EQ(cube.cube_style, 1);
    EXPECT_EQ(cube.randomize_music, 1);

    EXPECT_FALSE(DefaultsGroupForPage(SettingsPageId::Music));
    EXPECT_FALSE(DefaultsGroupForPage(SettingsPageId::Options));

    // The Options page's own reset leaves what has no control there alone.
    GeneralSettings general;
    general.other_monitors = 0;
    general.target_framerate = 5;
    general.support_power_down = 0;
    general.frame_limiter = 1;
    general.resolution_width = 800;
    ResetOptionsDefaults(general);
    EXPECT_EQ(general.other_monitors, 1);
    EXPECT_EQ(general.target_framerate, 3);
    EXPECT_EQ(general.support_power_down, 1);
    EXPECT_EQ(general.frame_limiter, 1);
    EXPECT_EQ(general.resolution_width, 800);
}

TEST(DialogRulesTest, RendererIsCheckedOnTheFirstAndEveryFourthOpening) {
    for (std::uint32_t n : {1u, 4u, 8u, 12u, 400u}) EXPECT_TRUE(ShouldCheckRendererOnOpening(n)) << n;
    for (std::uint32_t n : {0u, 2u, 3u, 5u, 6u, 9u}) EXPECT_FALSE(ShouldCheckRendererOnOpening(n)) << n;
}

TEST(DialogRulesTest, ListTabsShareTheirTitlesWithTheListKeys) {
    EXPECT_EQ(SettingsPageTitle(SettingsPageId::Pictures), "Pictures");
    EXPECT_EQ(SettingsPageTitle(SettingsPageId::Music), "Music");
    EXPECT_EQ(SettingsPageTitle(SettingsPageId::CubeAppearance), "Cube Appearance");
}

}  // namespace
}  // namespace cs

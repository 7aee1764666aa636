#include <gtest/gtest.h>

#include "app/hack_options.h"

namespace cs {
namespace {

HackParse Parse(std::vector<std::string_view> arguments) { return ParseHackOptions(arguments); }

TEST(HackOptions, NoFlagsKeepTheSettingsDefaultsAndLeaveTheTargetOpen) {
    const HackParse parsed = Parse({});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->target, HackTarget::Unspecified);
    EXPECT_TRUE(parsed.options->pictures.empty());
    const CubeSettings defaults;
    EXPECT_EQ(parsed.options->cube.show_picture_length, defaults.show_picture_length);
    EXPECT_EQ(parsed.options->cube.cube_style, defaults.cube_style);
    EXPECT_EQ(parsed.options->cube.randomize_pictures, 1);
}

TEST(HackOptions, SettingsFlagsInEitherDashStyle) {
    const HackParse parsed =
        Parse({"--root", "-pictures", "/p", "-style", "bouncing-big", "--show", "600", "-turn", "1", "-background",
               "picture", "-color", "102030", "-glass", "chrome", "-names", "-clock", "-fps", "-no-shuffle"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const HackOptions& o = *parsed.options;
    EXPECT_EQ(o.target, HackTarget::Root);
    EXPECT_EQ(o.pictures, "/p");
    EXPECT_EQ(o.cube.cube_style, static_cast<int>(CubeStyle::BouncingBig));
    EXPECT_EQ(o.cube.show_picture_length, 600);
    EXPECT_EQ(o.cube.rotation_length, 1);
    EXPECT_EQ(o.cube.background, static_cast<int>(BackgroundKind::FirstPicture));
    EXPECT_EQ(o.cube.background_color, 0x302010);  // red in the low byte
    EXPECT_EQ(o.cube.cube_glass, static_cast<int>(GlassKind::SilverChrome));
    EXPECT_EQ(o.cube.show_picture_names, 1);
    EXPECT_EQ(o.general.show_date_time, 1);
    EXPECT_EQ(o.general.show_frame_rate, 1);
    EXPECT_EQ(o.cube.randomize_pictures, 0);
    // The last window flag wins; -window-id takes decimal and hexadecimal.
    EXPECT_EQ(Parse({"-window-id", "0x1a00003", "-window"}).options->target, HackTarget::OwnWindow);
    EXPECT_EQ(Parse({"-window-id", "27262979"}).options->window_id, 0x1a00003u);
    // XScreenSaver's empty folder field: the default folder.
    EXPECT_TRUE(Parse({"-pictures", ""}).options->pictures.empty());
}

TEST(HackOptions, BadFlagsAndValuesSayWhatIsWrong) {
    const auto error = [](std::vector<std::string_view> arguments) {
        const HackParse parsed = ParseHackOptions(arguments);
        EXPECT_FALSE(parsed.options);
        return parsed.error;
    };
    EXPECT_EQ(error({"-spin"}), "unknown option '-spin'");
    EXPECT_EQ(error({"---root"}), "unknown option '---root'");
    EXPECT_EQ(error({"root"}), "unexpected argument 'root'");
    EXPECT_EQ(error({"-show"}), "'-show' needs a value");
    EXPECT_EQ(error({"-show", "0"}), "'-show 0': expected whole seconds from 1 to 600");
    EXPECT_NE(error({"-turn", "601"}), "");
    EXPECT_NE(error({"-turn", "2s"}), "");
    EXPECT_NE(error({"-turn", "-1"}), "");
    EXPECT_NE(error({"-color", "fff"}), "");
    EXPECT_NE(error({"-color", "12345g"}), "");
    EXPECT_NE(error({"-color", "-12345"}), "");
    EXPECT_EQ(error({"-glass", "Sky"}), "'-glass Sky': expected none|sky|chrome");
    EXPECT_NE(error({"-style", ""}), "");
}

TEST(WindowId, DecimalOrHexNeitherZeroNorBeyond32Bits) {
    EXPECT_EQ(ParseWindowId("0x3E00001"), 0x3E00001u);
    EXPECT_EQ(ParseWindowId("4194305"), 4194305u);
    EXPECT_EQ(ParseWindowId("0xffffffff"), 0xffffffffu);
    EXPECT_FALSE(ParseWindowId("0x100000000"));
    EXPECT_FALSE(ParseWindowId("0"));
    EXPECT_FALSE(ParseWindowId("0x"));
    EXPECT_FALSE(ParseWindowId(""));
    EXPECT_FALSE(ParseWindowId("12ab"));
    EXPECT_FALSE(ParseWindowId(" 12"));
}

}  // namespace
}  // namespace cs

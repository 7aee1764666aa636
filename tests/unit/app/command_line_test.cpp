#include "app/command_line.h"

#include <gtest/gtest.h>

#include <climits>

namespace cs {
namespace {

CommandLine Parse(const char* raw) { return ParseArguments(SkipProgramName(raw)); }

TEST(CommandLine, ProgramNameIsSkippedQuotedOrNot) {
    EXPECT_EQ(SkipProgramName("\"C:\\Program Files\\Cube Saver.scr\" /s"), "/s");
    EXPECT_EQ(SkipProgramName("C:\\WINDOWS\\CUBESA~1.SCR    /p 123"), "/p 123");
    EXPECT_EQ(SkipProgramName("CubeSaver.scr"), "");
    EXPECT_EQ(SkipProgramName("\"unterminated quote /s"), "");
    EXPECT_EQ(SkipProgramName(""), "");
}

TEST(CommandLine, NoArgumentOpensTheSettingsWithoutOwner) {
    const CommandLine c = Parse("CubeSaver.scr");
    EXPECT_EQ(c.mode, ScreenMode::Configure);
    EXPECT_EQ(c.parent_window, 0);
    EXPECT_FALSE(c.parent_is_foreground);
}

TEST(CommandLine, SaverSwitchInEveryForm) {
    for (const char* line : {"x.scr /s", "x.scr -s", "x.scr s", "x.scr /S", "x.scr -S extra /p 12"})
        EXPECT_EQ(Parse(line).mode, ScreenMode::Saver) << line;
}

TEST(CommandLine, PreviewTakesTheWindowNumber) {
    for (const char* line : {"x.scr /p 5678", "x.scr /p:5678", "x.scr -P  : 5678", "x.scr p5678"}) {
        const CommandLine c = Parse(line);
        EXPECT_EQ(c.mode, ScreenMode::Preview) << line;
        EXPECT_EQ(c.parent_window, 5678) << line;
    }
    // Without a number there is no parent; the saver then creates no window.
    EXPECT_EQ(Parse("x.scr /p").parent_window, 0);
    EXPECT_EQ(Parse("x.scr /p abc").parent_window, 0);
    EXPECT_EQ(Parse("x.scr /p -12").parent_window, -12);
}

TEST(CommandLine, ConfigureOwnerIsForegroundOnlyForBareC) {
    const CommandLine bare = Parse("x.scr /c");
    EXPECT_EQ(bare.mode, ScreenMode::Configure);
    EXPECT_TRUE(bare.parent_is_foreground);
    for (const char* line : {"x.scr /c:1234", "x.scr /c 1234", "x.scr -C   1234"}) {
        const CommandLine c = Parse(line);
        EXPECT_FALSE(c.parent_is_foreground) << line;
        EXPECT_EQ(c.parent_window, 1234) << line;
    }
    // Trailing separators only: still "the text ends there"? No: it ends
    // after skipping them, so the foreground window owns the dialog.
    EXPECT_TRUE(Parse("x.scr /c:  ").parent_is_foreground);
    const CommandLine junk = Parse("x.scr /c junk");
    EXPECT_FALSE(junk.parent_is_foreground);
    EXPECT_EQ(junk.parent_window, 0);
}

TEST(CommandLine, ChangePasswordWithOwner) {
    const CommandLine c = Parse("x.scr /a 1234");
    EXPECT_EQ(c.mode, ScreenMode::ChangePassword);
    EXPECT_EQ(c.parent_window, 1234);
}

TEST(CommandLine, WindowedSize) {
    CommandLine c = Parse("x.scr /w 800x600");
    EXPECT_EQ(c.mode, ScreenMode::Windowed);
    EXPECT_EQ(c.windowed_width, 800);
    EXPECT_EQ(c.windowed_height, 600);
    c = Parse("x.scr /w");
    EXPECT_EQ(c.windowed_width, 0);
    EXPECT_EQ(c.windowed_height, 0);
    c = Parse("x.scr -W:800");
    EXPECT_EQ(c.windowed_width, 800);
    EXPECT_EQ(c.windowed_height, 0);
    c = Parse("x.scr /w 800X600");  // only a lower-case x separates
    EXPECT_EQ(c.windowed_width, 800);
    EXPECT_EQ(c.windowed_height, 0);
    c = Parse("x.scr /w 800x 600");  // %d skips white space
    EXPECT_EQ(c.windowed_height, 600);
    c = Parse("x.scr /w x600");
    EXPECT_EQ(c.windowed_width, 0);
    EXPECT_EQ(c.windowed_height, 0);
}

TEST(CommandLine, MalformedAndHugeNumbersNeverOverflow) {
    EXPECT_EQ(Parse("x.scr /p 99999999999999999999999999").parent_window, INTPTR_MAX);
    const CommandLine c = Parse("x.scr /w 99999999999x-99999999999");
    EXPECT_EQ(c.windowed_width, INT_MAX);
    EXPECT_EQ(c.windowed_height, INT_MIN);
    EXPECT_EQ(Parse("x.scr /p +").parent_window, 0);
}

TEST(CommandLine, OtherLettersAndPrefixOnlyOpenTheSettings) {
    for (const char* line : {"x.scr /x", "x.scr /g", "x.scr -G 55", "x.scr /", "x.scr -", "x.scr 7"}) {
        const CommandLine c = Parse(line);
        EXPECT_EQ(c.mode, ScreenMode::Configure) << line;
        EXPECT_EQ(c.parent_window, 0) << line;
        EXPECT_FALSE(c.parent_is_foreground) << line;
    }
}

}  // namespace
}  // namespace cs

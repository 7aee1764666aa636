#include "app/display_mode.h"

#include <gtest/gtest.h>

#include <deque>

namespace cs {
namespace {

// A display whose answers to successive change attempts are scripted.
class ScriptedDisplay final : public DisplaySettings {
public:
    std::deque<long> answers;
    std::vector<std::uint32_t> attempted_fields;
    std::vector<std::string> errors;
    int restores = 0;
    int finds = 0;

    void RestoreNormalMode() override { ++restores; }
    bool FindMode(const DisplayModeRequest& r, DisplayModeRecord& record) override {
        ++finds;
        record = {r.width, r.height, r.color_depth, r.refresh_rate,
                  kFieldBitsPerPel | kFieldPelsWidth | kFieldPelsHeight | kFieldDisplayFrequency};
        return true;
    }
    long ChangeTemporarily(const DisplayModeRecord& record) override {
        attempted_fields.push_back(record.fields);
        const long answer = answers.empty() ? kChangeFailed : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
};

const DisplayModeRequest k1024{1024, 768, 32, 85};

TEST(DisplayMode, ZeroRestoresWithoutEnumerating) {
    ScriptedDisplay display;
    EXPECT_TRUE(SwitchDisplayMode(display, {0, 0, 0, 0}));
    EXPECT_EQ(display.restores, 1);
    EXPECT_EQ(display.finds, 0);
    EXPECT_TRUE(display.attempted_fields.empty());
}

TEST(DisplayMode, RefusedRefreshRateFallsBackToDriverDefault) {
    ScriptedDisplay display;
    display.answers = {kChangeBadMode, kChangeSuccessful};
    EXPECT_TRUE(SwitchDisplayMode(display, k1024));
    ASSERT_EQ(display.attempted_fields.size(), 2u);
    EXPECT_EQ(display.attempted_fields[1], kFieldBitsPerPel | kFieldPelsWidth | kFieldPelsHeight);
    EXPECT_TRUE(display.errors.empty());
}

TEST(DisplayMode, DepthAndSizeSeparately) {
    ScriptedDisplay display;
    display.answers = {kChangeBadMode, kChangeBadMode, kChangeSuccessful, kChangeSuccessful};
    EXPECT_TRUE(SwitchDisplayMode(display, k1024));
    ASSERT_EQ(display.attempted_fields.size(), 4u);
    EXPECT_EQ(display.attempted_fields[2], kFieldBitsPerPel);
    EXPECT_EQ(display.attempted_fields[3], kFieldPelsWidth | kFieldPelsHeight);
    EXPECT_EQ(display.restores, 0);
}

TEST(DisplayMode, FailuresReportOnceWithTheirText) {
    ScriptedDisplay restart;
    restart.answers = {kChangeRestart, kChangeRestart, kChangeRestart};
    EXPECT_FALSE(SwitchDisplayMode(restart, k1024));
    ASSERT_EQ(restart.errors.size(), 1u);
    EXPECT_EQ(restart.errors[0], "You must change your video mode to 1024x768x32 85Hz and then restart\n");

    // Depth changed but size refused: the depth change is undone first.
    ScriptedDisplay half;
    half.answers = {kChangeFailed, kChangeFailed, kChangeSuccessful, kChangeBadMode};
    EXPECT_FALSE(SwitchDisplayMode(half, k1024));
    EXPECT_EQ(half.restores, 1);
    ASSERT_EQ(half.errors.size(), 1u);
    EXPECT_EQ(half.errors[0], "The video mode 1024x768x32 85Hz is not supported\n");

    EXPECT_EQ(DisplayChangeErrorText(kChangeFailed, {640, 480, 16, 60, 0}), "Hardware failed to change to 640x480x16 60Hz\n");
    EXPECT_EQ(DisplayChangeErrorText(-3, {640, 480, 16, 60, 0}), "Failed to change to 640x480x16 60Hz - unknown reason\n");
}

}  // namespace
}  // namespace cs

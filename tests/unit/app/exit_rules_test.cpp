#include "app/exit_rules.h"

#include <gtest/gtest.h>

namespace cs {
namespace {

const ExitPolicy kSaver{ScreenMode::Saver, false};
const ExitPolicy kSaverEscapeOnly{ScreenMode::Saver, true};
const ExitPolicy kWindowed{ScreenMode::Windowed, false};
const ExitPolicy kPreview{ScreenMode::Preview, false};

TEST(ExitRules, SixthPositionChangeEndsTheSaver) {
    SaverWindowState state;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(MouseMoveRequestsExit(kSaver, state, 100 + i, 50)) << i;
    // The same position again never counts.
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(MouseMoveRequestsExit(kSaver, state, 104, 50));
    EXPECT_TRUE(MouseMoveRequestsExit(kSaver, state, 105, 50));
}

TEST(ExitRules, MouseIgnoredOutsideSaverInEscapeOnlyModeAndDuringPasswordCheck) {
    SaverWindowState state;
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(MouseMoveRequestsExit(kWindowed, state, i, i));
        EXPECT_FALSE(MouseMoveRequestsExit(kSaverEscapeOnly, state, i, i));
    }
    EXPECT_EQ(state.mouse_moves, 0);
    state.in_password_check = true;
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(MouseMoveRequestsExit(kSaver, state, i, i));
}

TEST(ExitRules, KeysButtonsAndActivation) {
    SaverWindowState state;
    EXPECT_TRUE(KeyDownRequestsExit(kSaver, state));
    EXPECT_TRUE(ButtonRequestsExit(kSaver, state));
    EXPECT_FALSE(KeyDownRequestsExit(kSaverEscapeOnly, state));
    EXPECT_FALSE(ButtonRequestsExit(kSaverEscapeOnly, state));
    EXPECT_FALSE(KeyDownRequestsExit(kWindowed, state));
    EXPECT_FALSE(KeyDownRequestsExit(kPreview, state));

    // Losing activation ends the saver even in Escape-only mode.
    EXPECT_TRUE(DeactivationRequestsExit(kSaverEscapeOnly, state, false));
    EXPECT_FALSE(DeactivationRequestsExit(kSaver, state, true));
    EXPECT_FALSE(DeactivationRequestsExit(kWindowed, state, false));

    state.in_password_check = true;
    EXPECT_FALSE(KeyDownRequestsExit(kSaver, state));
    EXPECT_FALSE(DeactivationRequestsExit(kSaver, state, false));
    EXPECT_FALSE(HidesCursor(kSaver, state));
}

TEST(ExitRules, EscapeReleaseEndsWindowedAndEscapeOnlySavers) {
    EXPECT_TRUE(KeyUpEndsSaver(kWindowed, true));
    EXPECT_TRUE(KeyUpEndsSaver(kSaverEscapeOnly, true));
    EXPECT_FALSE(KeyUpEndsSaver(kSaver, true));  // key down already asked to close
    EXPECT_FALSE(KeyUpEndsSaver(kWindowed, false));
}

TEST(ExitRules, CloseNeedsARequestAndRespectsTheGracePeriod) {
    SaverWindowState state;
    state.creation_tick = 10'000;
    EXPECT_EQ(DecideClose(state, 10'500), CloseDecision::Ignore);  // not the user's doing
    state.close_requested = true;
    EXPECT_EQ(DecideClose(state, 10'500), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(state, 13'000), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(state, 13'001), CloseDecision::CheckPassword);
    state.in_password_check = true;
    EXPECT_EQ(DecideClose(state, 13'001), CloseDecision::Ignore);

    // Across the tick count's wrap.
    SaverWindowState wrapped;
    wrapped.close_requested = true;
    wrapped.creation_tick = 0xFFFFFC00u;
    EXPECT_EQ(DecideClose(wrapped, 0x00000100u), CloseDecision::Destroy);
    EXPECT_EQ(DecideClose(wrapped, 0x00001000u), CloseDecision::CheckPassword);
}

TEST(ExitRules, SystemCommandsInFullScreen) {
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::Close, 0), SystemCommandAction::Swallow);
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::NextWindow, 0), SystemCommandAction::Swallow);
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::PrevWindow, 0), SystemCommandAction::Swallow);
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::ScreenSave, 0), SystemCommandAction::Swallow);
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::MonitorPower, 1), SystemCommandAction::DisplayPowerDown);
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::MonitorPower, 2), SystemCommandAction::DisplayPowerDown);
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::MonitorPower, -1), SystemCommandAction::DisplayPowerUp);
    EXPECT_EQ(DecideSystemCommand(kSaver, SystemCommand::Other, 0), SystemCommandAction::Default);
    // Alt+F4 closes a windowed saver as any window.
    EXPECT_EQ(DecideSystemCommand(kWindowed, SystemCommand::Close, 0), SystemCommandAction::Default);
}

TEST(ExitRules, CommandKeys) {
    EXPECT_EQ(CommandForKey('Z'), SceneCommand::Previous);
    EXPECT_EQ(CommandForKey(0x25), SceneCommand::Previous);
    EXPECT_EQ(CommandForKey('A'), SceneCommand::Next);
    EXPECT_EQ(CommandForKey(0x27), SceneCommand::Next);
    EXPECT_EQ(CommandForKey('S'), SceneCommand::Spin);
    EXPECT_EQ(CommandForKey(0x26), SceneCommand::Spin);
    EXPECT_EQ(CommandForKey('P'), SceneCommand::Pause);
    EXPECT_EQ(CommandForKey(0x28), SceneCommand::Pause);
    EXPECT_EQ(CommandForKey(0x10), SceneCommand::None);  // Shift ends the saver
    EXPECT_EQ(CommandForKey('Q'), SceneCommand::None);
}

TEST(ExitRules, FadeOpacities) {
    EXPECT_EQ(OpeningFadeOpacity(0.0), 1);
    EXPECT_EQ(OpeningFadeOpacity(1.0), 61);
    EXPECT_EQ(OpeningFadeOpacity(4.2), 253);
    EXPECT_EQ(OpeningFadeOpacity(4.234), 255);
    EXPECT_EQ(OpeningFadeOpacity(100.0), 255);
    EXPECT_EQ(ClosingFadeOpacity(0.0), 255);
    EXPECT_EQ(ClosingFadeOpacity(1.0), 128);
    EXPECT_EQ(ClosingFadeOpacity(2.0), 0);
    EXPECT_EQ(ClosingFadeOpacity(9.0), 0);
}

}  // namespace
}  // namespace cs

// The music player's decisions over a scripted media-control window: when
// music starts, which notifications it acts on, and how failing songs leave.
#include "scene/music_player.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "support/fake_clock.h"

namespace cs {
namespace {

WindowHandle Handle(std::uintptr_t n) { return reinterpret_cast<WindowHandle>(n); }

// Windows numbered from 100; a song can be made to fail its play, and each
// call can send notifications to the player as the real window does.
class FakeMedia final : public MediaControl {
public:
    MusicPlayer* player = nullptr;
    std::vector<std::string> opened;
    std::set<std::string> unplayable;
    bool refuse_windows = false;
    std::uintptr_t next = 100;
    int open_windows = 0;
    std::function<void(WindowHandle)> during_create;
    std::function<void(WindowHandle)> during_stop;

    WindowHandle Create(WindowHandle, const std::string& path, std::uint32_t& error) override {
        if (refuse_windows) {
            error = 1400;
            return nullptr;
        }
        WindowHandle w = Handle(next++);
        if (during_create) during_create(w);
        opened.push_back(path);
        paths[w] = path;
        ++open_windows;
        return w;
    }
    std::intptr_t Send(WindowHandle w, MediaCommand command) override {
        if (command == MediaCommand::Stop && during_stop) during_stop(w);
        if (command == MediaCommand::Play && unplayable.count(paths[w])) {
            player->OnWindowMessage(nullptr, kNotifyErrorMessage, reinterpret_cast<std::uintptr_t>(w), 275);
            return 275;
        }
        return 0;
    }
    void Close(WindowHandle) override { --open_windows; }
    void Adopt(WindowHandle, WindowHandle) override {}

private:
    std::map<WindowHandle, std::string> paths;
};

class MusicPlayerTest : public ::testing::Test {
protected:
    MusicPlayerTest() { media_.player = &player_; }

    void Songs(std::initializer_list<const char*> songs) {
        for (const char* s : songs) player_.List().Append(s);
    }
    void StartNow(bool randomize = false) {
        player_.StartWhenDue(owner_, false, randomize);
        clock_.AdvanceMilliseconds(3100);
        player_.StartWhenDue(owner_, false, randomize);
    }
    void Notify(unsigned message, std::intptr_t lparam, WindowHandle from = nullptr) {
        const WindowHandle sender = from ? from : player_.Window();
        player_.OnWindowMessage(owner_, message, reinterpret_cast<std::uintptr_t>(sender), lparam);
    }

    testing::FakeClock clock_;
    FakeMedia media_;
    MusicPlayer player_{&media_, clock_};
    WindowHandle owner_ = Handle(1);
};

TEST(MusicNotices, StopAndNonZeroErrorsCountOtherModesAndMessagesDoNot) {
    EXPECT_EQ(ClassifyMusicMessage(kNotifyModeMessage, kModeStopped), MusicNotice::SongStopped);
    EXPECT_EQ(ClassifyMusicMessage(kNotifyModeMessage, 526), MusicNotice::None);  // playing
    EXPECT_EQ(ClassifyMusicMessage(kNotifyErrorMessage, 263), MusicNotice::SongFailed);
    EXPECT_EQ(ClassifyMusicMessage(kNotifyErrorMessage, 0), MusicNotice::None);
    EXPECT_EQ(ClassifyMusicMessage(0x0100, kModeStopped), MusicNotice::None);
}

TEST_F(MusicPlayerTest, StartsOnceMoreThanThreeSecondsAfterTheFirstCall) {
    Songs({"a.wav", "b.wav"});
    player_.StartWhenDue(owner_, false, false);
    clock_.AdvanceMilliseconds(3000);
    player_.StartWhenDue(owner_, false, false);
    EXPECT_TRUE(media_.opened.empty());
    clock_.AdvanceMilliseconds(10);
    player_.StartWhenDue(owner_, false, false);
    ASSERT_EQ(media_.opened, std::vector<std::string>{"a.wav"});
    player_.Stop();
    clock_.AdvanceMilliseconds(5000);
    player_.StartWhenDue(owner_, false, false);
    EXPECT_EQ(media_.opened.size(), 1u);
    EXPECT_EQ(player_.Window(), nullptr);
}

TEST_F(MusicPlayerTest, NeverStartsInPreviewOrWithAnEmptyListAndTriesOnlyOnce) {
    player_.StartWhenDue(owner_, true, false);
    Songs({"a.wav"});
    clock_.AdvanceMilliseconds(4000);
    player_.StartWhenDue(owner_, true, false);
    player_.StartWhenDue(owner_, false, false);
    EXPECT_TRUE(player_.Started());
    EXPECT_TRUE(media_.opened.empty());

    MusicPlayer empty(&media_, clock_);
    empty.StartWhenDue(owner_, false, false);
    clock_.AdvanceMilliseconds(4000);
    empty.StartWhenDue(owner_, false, false);
    empty.List().Append("late.wav");
    empty.StartWhenDue(owner_, false, false);
    EXPECT_TRUE(media_.opened.empty());
}

TEST_F(MusicPlayerTest, StopNotificationsPlayTheListInOrderAndWrap) {
    Songs({"a.wav", "b.wav", "c.wav"});
    StartNow();
    for (int i = 0; i < 4; ++i) Notify(kNotifyModeMessage, kModeStopped);
    EXPECT_EQ(media_.opened, (std::vector<std::string>{"a.wav", "b.wav", "c.wav", "a.wav", "b.wav"}));
    EXPECT_EQ(media_.open_windows, 1);
}

TEST_F(MusicPlayerTest, ShuffledPlayGivesEverySongOncePerCycle) {
    Songs({"a.wav", "b.wav", "c.wav"});
    StartNow(true);
    for (int i = 0; i < 5; ++i) {
        clock_.AdvanceMilliseconds(7);
        Notify(kNotifyModeMessage, kModeStopped);
    }
    ASSERT_EQ(media_.opened.size(), 6u);
    for (std::size_t cycle = 0; cycle < 2; ++cycle) {
        std::set<std::string> seen(media_.opened.begin() + 3 * cycle, media_.opened.begin() + 3 * cycle + 3);
        EXPECT_EQ(seen.size(), 3u) << "cycle " << cycle;
    }
}

TEST_F(MusicPlayerTest, NotificationsFromAWindowBeingCreatedOrFromAnotherWindowAreIgnored) {
    Songs({"a.wav", "b.wav"});
    // The window's own set-up queries fail while it is being created.
    media_.during_create = [&](WindowHandle w) {
        player_.OnWindowMessage(nullptr, kNotifyErrorMessage, reinterpret_cast<std::uintptr_t>(w), 257);
        player_.OnWindowMessage(nullptr, kNotifyErrorMessage, reinterpret_cast<std::uintptr_t>(w), 261);
        player_.OnWindowMessage(nullptr, kNotifyModeMessage, reinterpret_cast<std::uintptr_t>(w), kModeStopped);
    };
    StartNow();
    EXPECT_EQ(media_.opened, std::vector<std::string>{"a.wav"});
    EXPECT_EQ(player_.List().Count(), 2u);

    Notify(kNotifyErrorMessage, 263, Handle(7));
    Notify(kNotifyModeMessage, kModeStopped, Handle(7));
    Notify(kNotifyErrorMessage, 0);
    EXPECT_EQ(media_.opened.size(), 1u);
    EXPECT_EQ(player_.List().Count(), 2u);
}

TEST_F(MusicPlayerTest, AnErrorOfThePlayingWindowDropsItsSongAndPlaysTheNext) {
    Songs({"a.wav", "b.wav", "c.wav"});
    StartNow();
    Notify(kNotifyModeMessage, kModeStopped);  // b plays
    Notify(kNotifyErrorMessage, 296);
    EXPECT_EQ(player_.List().Entries(), (std::vector<std::string>{"a.wav", "c.wav"}));
    EXPECT_EQ(media_.opened.back(), "c.wav");
}

TEST_F(MusicPlayerTest, AnErrorForASongNoLongerInTheListDropsNothing) {
    Songs({"a.wav", "b.wav"});
    StartNow();
    Notify(kNotifyModeMessage, kModeStopped);  // b plays, last picked 1
    player_.List().RemoveEntry(1);
    Notify(kNotifyErrorMessage, 296);
    EXPECT_EQ(player_.List().Entries(), std::vector<std::string>{"a.wav"});
    EXPECT_EQ(media_.opened.back(), "a.wav");
}

TEST_F(MusicPlayerTest, SongsThatCannotPlayAreDroppedAndAllBadEndsSilent) {
    Songs({"missing.wav", "good.wav", "text.wav"});
    media_.unplayable = {"missing.wav", "text.wav"};
    StartNow();
    EXPECT_EQ(player_.List().Entries(), (std::vector<std::string>{"good.wav", "text.wav"}));
    EXPECT_NE(player_.Window(), nullptr);
    Notify(kNotifyModeMessage, kModeStopped);
    EXPECT_EQ(player_.List().Entries(), std::vector<std::string>{"good.wav"});
    EXPECT_EQ(media_.opened.back(), "good.wav");

    media_.unplayable.insert("good.wav");
    EXPECT_EQ(player_.PlayNextSong(), -1);
    EXPECT_TRUE(player_.List().Empty());
    EXPECT_EQ(player_.Window(), nullptr);
    EXPECT_EQ(media_.open_windows, 0);
}

TEST_F(MusicPlayerTest, NoWindowAtAllKeepsTheSongsAndReturnsTheSystemError) {
    Songs({"a.wav", "b.wav"});
    media_.refuse_windows = true;
    StartNow();
    EXPECT_EQ(player_.PlayNextSong(), 1400);
    EXPECT_EQ(player_.List().Count(), 2u);
}

TEST_F(MusicPlayerTest, StopIsForGoodEvenWhenTheWindowReportsTheStop) {
    Songs({"a.wav", "b.wav"});
    media_.during_stop = [&](WindowHandle w) {
        player_.OnWindowMessage(nullptr, kNotifyModeMessage, reinterpret_cast<std::uintptr_t>(w), kModeStopped);
    };
    StartNow();
    player_.Stop();
    EXPECT_EQ(player_.Window(), nullptr);
    EXPECT_EQ(media_.open_windows, 0);
    Notify(kNotifyModeMessage, kModeStopped, Handle(100));
    EXPECT_EQ(media_.opened.size(), 1u);
}

TEST_F(MusicPlayerTest, TheMusicEndsWithItsOwnerWindow) {
    Songs({"a.wav", "b.wav"});
    StartNow();
    player_.OnWindowMessage(Handle(2), kDestroyMessage, 0, 0);  // some other window
    EXPECT_NE(player_.Window(), nullptr);
    player_.OnWindowMessage(owner_, kDestroyMessage, 0, 0);
    EXPECT_EQ(player_.Window(), nullptr);
    EXPECT_EQ(media_.open_windows, 0);
}

}  // namespace
}  // namespace cs

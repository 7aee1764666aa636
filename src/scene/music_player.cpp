#include "scene/music_player.h"

#include <algorithm>
#include <limits>

#include "base/status.h"

namespace cs {
namespace {

// Marks one of our own calls into the media-control window for the time it
// runs (they nest: a stop inside a failed start).
class OwnCall {
public:
    explicit OwnCall(int& depth) : depth_(depth) { ++depth_; }
    ~OwnCall() { --depth_; }
    OwnCall(const OwnCall&) = delete;
    OwnCall& operator=(const OwnCall&) = delete;

private:
    int& depth_;
};

}  // namespace

MusicNotice ClassifyMusicMessage(unsigned message, std::intptr_t lparam) {
    if (message == kNotifyModeMessage && lparam == kModeStopped) return MusicNotice::SongStopped;
    if (message == kNotifyErrorMessage && lparam != 0) return MusicNotice::SongFailed;
    return MusicNotice::None;
}

MusicPlayer::MusicPlayer(MediaControl* media, ClockSource& clock)
    : media_(media), clock_(clock), start_clock_(clock) {}

MusicPlayer::~MusicPlayer() {
    // The window must not outlive the list its notifications point into.
    if (window_ && media_) {
        OwnCall call(own_calls_);
        media_->Close(window_);
    }
    window_ = nullptr;
}

void MusicPlayer::StartWhenDue(WindowHandle owner, bool preview, bool randomize) {
    if (!start_clock_running_) {
        start_clock_.Start();
        start_clock_running_ = true;
    }
    if (started_ || start_clock_.ElapsedSeconds() <= kMusicStartDelaySeconds) return;
    // Tried once per run, also when there is nothing to play.
    started_ = true;
    if (preview || music_list_.Empty()) return;
    music_list_.SetRandomize(randomize);
    owner_ = owner;
    Stop();
    PlayFirstPlayable(PickNext());
}

double MusicPlayer::SecondsUntilStart() {
    if (started_) return std::numeric_limits<double>::infinity();
    if (!start_clock_running_) return 0.0;
    return std::max(0.0, static_cast<double>(kMusicStartDelaySeconds - start_clock_.ElapsedSeconds()));
}

std::intptr_t MusicPlayer::PlayFile(WindowHandle owner, const std::string& path) {
    OwnCall call(own_calls_);
    if (!media_) return status::kFail;
    if (window_) {
        if (const std::intptr_t error = media_->Send(window_, MediaCommand::SeekToStart)) return error;
    } else {
        std::uint32_t error = 0;
        window_ = media_->Create(owner, path, error);
        if (!window_) return error ? static_cast<std::intptr_t>(error) : status::kFail;
    }
    return media_->Send(window_, MediaCommand::Play);
}

std::intptr_t MusicPlayer::PlayNextSong() {
    Stop();
    return PlayFirstPlayable(PickNext());
}

std::intptr_t MusicPlayer::PlayFirstPlayable(std::optional<std::string> path) {
    // A window that opened but cannot play holds a song that fails (missing,
    // not audio, no codec): it is dropped and the next one tried. Each turn
    // shortens the list, so a list of bad songs ends silent after one pass.
    while (path) {
        const std::intptr_t result = PlayFile(owner_, *path);
        if (result == 0) return 0;
        // No window at all is the system's failure, not the song's.
        if (!window_) return result;
        Stop();
        DropLastPicked();
        path = PickNext();
    }
    return -1;
}

void MusicPlayer::Stop() {
    if (!window_ || !media_) return;
    OwnCall call(own_calls_);
    media_->Send(window_, MediaCommand::Stop);
    media_->Close(window_);
    window_ = nullptr;
}

void MusicPlayer::MoveTo(WindowHandle owner) {
    if (!started_) return;
    owner_ = owner;
    if (!window_ || !media_) return;
    OwnCall call(own_calls_);
    media_->Adopt(window_, owner);
}

void MusicPlayer::OnWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wparam,
                                  std::intptr_t lparam) {
    // Stopped while the child still exists: a window closing with its parent
    // could otherwise report a stop and have the next song opened on a
    // window that is going away.
    if (message == kDestroyMessage && window && window == owner_) {
        Stop();
        owner_ = nullptr;
        return;
    }
    const MusicNotice notice = ClassifyMusicMessage(message, lparam);
    if (notice == MusicNotice::None) return;
    // Only the window that plays now speaks for the current song, and only
    // when it speaks on its own: a window being created reports its set-up
    // queries, and a window we stop reports that stop.
    if (own_calls_ > 0 || !window_ || reinterpret_cast<WindowHandle>(wparam) != window_) return;
    if (notice == MusicNotice::SongFailed) DropLastPicked();
    PlayNextSong();
}

std::optional<std::string> MusicPlayer::PickNext() {
    return music_list_.Randomize() ? music_list_.NextShuffled(clock_.TickCount()) : music_list_.NextInOrder();
}

void MusicPlayer::DropLastPicked() {
    const std::int32_t last = music_list_.LastPicked();
    // An index past the end (the list shrank since) is ignored there.
    if (last >= 0) music_list_.RemoveEntry(static_cast<std::size_t>(last));
}

}  // namespace cs

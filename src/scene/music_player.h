#pragma once
// The user's music while the saver runs: one media-control window at a time,
// a hidden child of the saver window, opened on the next song of the music
// list whenever the one before stops or fails.
#include <cstdint>
#include <optional>
#include <string>

#include "base/platform_handles.h"
#include "library/path_list.h"
#include "timing/clock_source.h"
#include "timing/stopwatch.h"

namespace cs {

// The commands the player sends to its media-control window.
enum class MediaCommand { Play, Stop, SeekToStart };

// The platform's media-control window. Every call may send notifications to
// the owner before it returns.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    // A new window playing nothing yet, opened on path; none, with the
    // system's error code in error, when no window could be made.
    virtual WindowHandle Create(WindowHandle owner, const std::string& path, std::uint32_t& error) = 0;
    // The window's answer: 0 or the media error.
    virtual std::intptr_t Send(WindowHandle window, MediaCommand command) = 0;
    virtual void Close(WindowHandle window) = 0;
    // Makes window a child of owner and sends its notifications there.
    virtual void Adopt(WindowHandle window, WindowHandle owner) = 0;
};

// Messages the media-control window sends its owner.
inline constexpr unsigned kNotifyModeMessage = 0x4C8;
inline constexpr unsigned kNotifyErrorMessage = 0x4CD;
inline constexpr std::intptr_t kModeStopped = 525;
inline constexpr unsigned kDestroyMessage = 0x0002;

// What a message to the saver window means to the music.
enum class MusicNotice { None, SongStopped, SongFailed };
MusicNotice ClassifyMusicMessage(unsigned message, std::intptr_t lparam);

// Seconds after the first frame before the music starts.
inline constexpr long double kMusicStartDelaySeconds = 3.0L;

class MusicPlayer {
public:
    explicit MusicPlayer(MediaControl* media = nullptr, ClockSource& clock = SystemClock());
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    PathList& List() { return music_list_; }

    // Called on every frame; starts the music once per run, more than
    // kMusicStartDelaySeconds after its first call, unless in preview or
    // with an empty list.
    void StartWhenDue(WindowHandle owner, bool preview, bool randomize);
    // Seconds until StartWhenDue has something to do: 0 before its first
    // call, infinity once the music was started (or given up).
    double SecondsUntilStart();
    // 0, or the error that kept path from playing.
    std::intptr_t PlayFile(WindowHandle owner, const std::string& path);
    // 0, -1 when the list is (or became) empty, or the error of a window
    // that could not be made.
    std::intptr_t PlayNextSong();
    void Stop();
    // The saver window was replaced by owner: the song goes on there (it
    // would end with its old parent).
    void MoveTo(WindowHandle owner);
    // A message to the saver window: the music's notifications are acted on,
    // and the music ends with its owner. Never consumes the message.
    void OnWindowMessage(WindowHandle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

    WindowHandle Window() const { return window_; }
    bool Started() const { return started_; }

private:
    std::optional<std::string> PickNext();
    std::intptr_t PlayFirstPlayable(std::optional<std::string> path);
    void DropLastPicked();

    PathList music_list_;
    WindowHandle window_ = nullptr;
    WindowHandle owner_ = nullptr;
    MediaControl* media_;
    ClockSource& clock_;
    Stopwatch start_clock_;
    bool start_clock_running_ = false;
    bool started_ = false;
    // Set while one of our own calls into the media-control window runs:
    // what it notifies then (its own set-up queries while it is created, the
    // stop we asked for) is answered by the call's result instead.
    int own_calls_ = 0;
};

}  // namespace cs

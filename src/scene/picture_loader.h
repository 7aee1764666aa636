#pragma once
// Decoding the next picture on a thread of its own, so that a photograph
// that takes half a second to decode never holds up a frame. The loader
// keeps one picture ready in the pending texture; the render thread takes it
// at a face switch and asks for the next one once the new face is in view.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "timing/clock_source.h"
#include "library/list_completion.h"
#include "library/path_list.h"
#include "base/status.h"
#include "scene/cube_animation.h"
#include "scene/resource_store.h"
#include "scene/texture.h"

namespace cs {

// How pictures are fitted; whether they are shuffled is the picture list's
// randomize flag.
struct PictureLoadOptions {
    bool letterbox = true;
    std::uint8_t border[3] = {3, 3, 3};
    int texture_size = 512;
};

// The border colour for letterboxed pictures: the background colour
// (0x00BBGGRR) with 3 added to each channel below 253.
void BorderFromBackground(std::int32_t background_color, std::uint8_t border[3]);

// The state shared by the render thread and the loader thread.
struct PictureHandOff {
    // The list this loader picks from, unless it deals from another cube's
    // (deck): the cubes on several monitors share one list.
    PathList pictures;
    std::shared_ptr<PictureHandOff> deck;
    // Guards pictures against the loaders of every cube that deals from it;
    // taken last, after any other lock.
    std::mutex list_lock;
    ListCompletion completion;  // the rest of the list, listed by the thread
    std::int32_t last_pick = -1;     // entry of the latest remembered-shuffle pick
    std::int32_t pending_pick = -1;  // the same for the pending texture
    std::int32_t shown_pick = -1;    // handed over, not yet counted as shown
    PictureLoadOptions options;
    std::unique_ptr<Texture> pending = std::make_unique<Texture>();
    std::atomic<bool> ready{false};
    std::atomic<bool> quit{false};
    std::atomic<bool> load_next{false};
    std::atomic<int> load_state{0};  // 0 idle, 1 decoding, 2 decoded
    std::atomic<bool> running{false};
    std::mutex lock;  // guards pending while it is filled or handed over
    // Counts the pictures the loader has put into pending (under the lock),
    // so that the render thread can tell a replaced picture from the one it
    // began uploading.
    std::uint64_t generation = 0;

    // The render thread asks for the next picture, or for the end; either
    // wakes the loader.
    void AskForNext() { Raise(load_next); }
    void AskToQuit() { Raise(quit); }
    // The loader, with nothing to do, sleeps until it is asked for either.
    void WaitForRequest();
    // The loader's last act; whoever waits for its end is woken.
    void MarkEnded();
    // Waits at most `patience` for the loader's end; true when it ended.
    bool WaitForEnd(std::chrono::milliseconds patience);

private:
    void Raise(std::atomic<bool>& flag);

    std::mutex wake_lock_;
    std::condition_variable wake_;
};

// The name shown for the built-in picture.
std::string DefaultPictureName();

// Chooses the next picture (the list's first in first-picture mode, else
// shuffled or in order) and loads it into texture at the texture size; on
// any failure, or with no picture to show, the built-in default picture.
// The status of the final load; E_POINTER without a texture.
Status LoadNextPicture(PictureHandOff& handoff, Texture* texture, bool first_picture, ClockSource& clock,
                       const ResourceStore& resources);

class PictureLoader {
public:
    explicit PictureLoader(ClockSource& clock = SystemClock(), const ResourceStore& resources = ProgramResources());
    ~PictureLoader();
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;

    PictureHandOff& HandOff() { return *handoff_; }
    // For a loader that deals from this one's list.
    const std::shared_ptr<PictureHandOff>& SharedHandOff() const { return handoff_; }
    PathList& Pictures() { return handoff_->pictures; }

    // Loads synchronously on the calling thread (start-up, before the
    // thread); the picture counts as shown.
    Status LoadNow(Texture* texture, bool first_picture);

    static constexpr std::chrono::milliseconds kStopPatience{5000};

    // Starts the thread at below-normal priority. False when no thread
    // could be made; the scene then shows the pictures it already has.
    bool Start();
    // Asks the thread to end and waits for it at most `patience`. A thread
    // still decoding after that is left to finish on its own: it keeps the
    // shared state alive, so nothing it touches is freed under it.
    void Stop(std::chrono::milliseconds patience = kStopPatience);
    bool Running() const { return handoff_->running.load(); }

    void SetPriority(LoaderPriority priority);
    // Lets a caller see when the thread has let go of the shared state.
    std::weak_ptr<const PictureHandOff> Watch() const { return handoff_; }

private:
    ClockSource* clock_;
    const ResourceStore* resources_;
    std::shared_ptr<PictureHandOff> handoff_ = std::make_shared<PictureHandOff>();
    std::thread thread_;
    // Setting a thread's priority is a call into the system; the frame
    // asks every time, but it changes seldom.
    std::optional<LoaderPriority> priority_;
};

// The hand-off whose list the loader picks from: its deck's, or its own.
PictureHandOff& DeckOf(PictureHandOff& handoff);

// A seed for a new shuffle cycle.
std::uint32_t FreshShuffleSeed(ClockSource& clock);

// Counts a handed-over picture as shown; the remembered shuffle is saved
// then, so the loader does it rather than the frame that switched faces.
// Under the hand-off lock.
void CountShownPicture(PictureHandOff& handoff, ClockSource& clock);

// The thread's work, until quit: first the rest of the picture list, then
// the pictures.
void RunPictureLoader(const std::shared_ptr<PictureHandOff>& handoff, ClockSource& clock,
                      const ResourceStore& resources) noexcept;

// Sets a thread's scheduling priority (the Win32 priority on Windows; the
// host build does not change priorities).
void SetLoaderThreadPriority(std::thread& thread, LoaderPriority priority);
// Names the calling thread as the loader for debuggers and process
// monitors, where the system can.
void NameThisThreadAsLoader();

}  // namespace cs

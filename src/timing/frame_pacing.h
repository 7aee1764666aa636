#pragma once
// Frame pacing to the "Target framerate" setting and the optional 10 ms
// frame limiter.
#include <optional>

#include "timing/clock_source.h"
#include "timing/stopwatch.h"

namespace cs {

// Seconds from one frame start to the next for a "Target framerate" index;
// nothing for "Infinite" (5 or more). Negative indexes count as 10 fps.
std::optional<float> FrameInterval(int target_framerate);

// How the main loop spends the time before a frame. The platform's waiter
// sleeps on its most precise timer and wakes early for a window message, so
// that a key still ends the saver at once.
class FrameWaiter {
public:
    virtual ~FrameWaiter() = default;
    // The finest sleep the waiter can time, in seconds (0.001 for a timer
    // of whole milliseconds).
    virtual double Resolution() const = 0;
    // Sleeps `seconds`, rounded down to the resolution; false when a window
    // message ended the sleep first.
    virtual bool Sleep(double seconds) = 0;
    // Gives up the processor for a moment.
    virtual void GiveUpTimeSlice() = 0;
};

enum class FrameWait { Due, MessageWaiting };

// Frames start one interval apart, measured from one frame start to the
// next, so the interval includes the drawing. A sleep ends a little late,
// by an amount that depends on the system's timer, and a frame that starts
// late shows: the pacer learns how late the waiter's sleeps end, wakes that
// much early and yields the last fraction of a millisecond.
class FramePacer {
public:
    // Undrawn frames under "Infinite" still come this often: a resting cube
    // must start its turn on time, not keep a processor busy.
    static constexpr double kRestingInterval = 0.01;
    // The most the pacer ever yields away instead of sleeping, beyond the
    // waiter's resolution.
    static constexpr double kLongestEarlyWake = 0.0009;
    // A rest longer than this is taken a second at a time.
    static constexpr double kLongestRest = 1.0;

    explicit FramePacer(ClockSource& clock = SystemClock());

    // Spends the time until the next frame is due: one interval after the
    // previous frame started (the first frame also waits one interval).
    // `drawing` says whether the coming frame is expected to draw; when it
    // is not, when the frame starts is invisible and the pacer only sleeps.
    // Without an interval ("Infinite") a drawing frame follows after one
    // yield. MessageWaiting: a window message came first; the caller handles
    // it and asks again, and the frame stays due at the same moment. However
    // the clock jumps, one call never sleeps longer than one interval (or
    // the frames of a rest, see RestFor).
    FrameWait WaitUntilDue(std::optional<float> interval, bool drawing, FrameWaiter& waiter);

    // The frame starts now: the next is due one interval from here.
    void FrameStarts();

    // Nothing will change for `seconds` from now (a resting cube waiting
    // for its turn): the undrawn frames of that time are let go by, and
    // the next wait sleeps to the first frame start at or after its end, so
    // that a frame still starts at one of the usual moments. A window
    // message ends the rest; the frame after it is due at the usual time.
    // Never longer than kLongestRest.
    void RestFor(double seconds);

    // How early the pacer wakes before a due frame, in seconds.
    double EarlyWake() const { return early_wake_; }
    // The last wait slept, and no window message cut a sleep short: the
    // queue was empty when the waiter last looked.
    bool LastWaitSlept() const { return last_wait_slept_; }

private:
    double Elapsed();
    void LearnLateness(double late);

    Stopwatch clock_;
    bool started_ = false;
    double early_wake_ = 0.0;
    bool last_wait_slept_ = false;
    double rest_end_ = 0.0;  // seconds after the frame start; 0: no rest
};

// The frame limiter: with the setting on, a frame less than 10 ms after the
// previous one is skipped after a 1 ms sleep (returns false); otherwise the
// clock restarts and the frame goes ahead (returns true).
bool FrameLimiterAllows(Stopwatch& limiter_clock, bool limiter_on, ClockSource& clock);

}  // namespace cs

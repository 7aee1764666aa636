#include "timing/frame_pacing.h"

#include <algorithm>
#include <cmath>

namespace cs {
namespace {

// The early wake follows about the 90th percentile of how late sleeps end:
// most frames then start on time after a short yield, and the rest start a
// fraction of a millisecond late. It moves up nine steps for every one down.
constexpr double kLatenessQuantile = 0.9;
constexpr double kLearningStep = 0.00002;
// A sleep this short costs about as much as the yields it saves.
constexpr double kShortestSleep = 0.0001;

}  // namespace

std::optional<float> FrameInterval(int target_framerate) {
    switch (target_framerate) {
    case 0: return 0.1f;
    case 1: return 0.05f;
    case 2: return 1.0f / 30.0f;
    case 3: return 1.0f / 60.0f;
    case 4: return 0.01f;
    default: break;
    }
    if (target_framerate < 0) return 0.1f;
    return std::nullopt;
}

FramePacer::FramePacer(ClockSource& clock) : clock_(clock) {}

double FramePacer::Elapsed() { return static_cast<double>(clock_.ElapsedSeconds()); }

void FramePacer::LearnLateness(double late) {
    early_wake_ += late > early_wake_ ? kLearningStep * kLatenessQuantile : -kLearningStep * (1 - kLatenessQuantile);
    early_wake_ = std::clamp(early_wake_, 0.0, kLongestEarlyWake);
}

FrameWait FramePacer::WaitUntilDue(std::optional<float> interval, bool drawing, FrameWaiter& waiter) {
    if (!started_) {
        clock_.Start();
        started_ = true;
    }
    last_wait_slept_ = false;
    if (!interval && drawing) {
        waiter.GiveUpTimeSlice();
        return FrameWait::Due;
    }
    double due = interval ? static_cast<double>(*interval) : kRestingInterval;
    if (rest_end_ > 0 && !drawing) due *= std::max(1.0, std::ceil(rest_end_ / due));
    const double resolution = waiter.Resolution();
    double sleep_budget = due;
    for (;;) {
        // A clock that went back would otherwise ask for more than a frame.
        const double remaining = std::min(due - Elapsed(), due);
        if (remaining <= 0) return FrameWait::Due;
        double sleep = std::min(remaining - (drawing ? early_wake_ : 0.0), sleep_budget);
        if (resolution > 0) sleep = std::floor(sleep / resolution) * resolution;
        if (sleep >= std::max(resolution, kShortestSleep)) {
            const double before = Elapsed();
            if (!waiter.Sleep(sleep)) {
                rest_end_ = 0.0;
                return FrameWait::MessageWaiting;
            }
            last_wait_slept_ = true;
            sleep_budget -= sleep;
            LearnLateness(Elapsed() - before - sleep);
            continue;
        }
        // Less than the waiter can time is left. An undrawn frame starts
        // now; a drawn one yields until it is due, unless the clock has
        // jumped and eaten the budget.
        if (!drawing || sleep_budget <= 0) return FrameWait::Due;
        waiter.GiveUpTimeSlice();
    }
}

void FramePacer::RestFor(double seconds) {
    if (!started_ || !(seconds > 0)) {
        rest_end_ = 0.0;
        return;
    }
    rest_end_ = Elapsed() + std::min(seconds, kLongestRest);
}

void FramePacer::FrameStarts() {
    rest_end_ = 0.0;
    if (!started_) {
        clock_.Start();
        started_ = true;
        return;
    }
    clock_.Restart();
}

bool FrameLimiterAllows(Stopwatch& limiter_clock, bool limiter_on, ClockSource& clock) {
    if (limiter_on && limiter_clock.ElapsedSeconds() < 0.01L) {
        clock.Sleep(1);
        return false;
    }
    limiter_clock.Restart();
    return true;
}

}  // namespace cs

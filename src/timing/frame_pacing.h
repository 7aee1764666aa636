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

// How long to sleep first when e seconds of the interval t have passed: half
// the remaining time, in whole milliseconds (0 when the time is up).
unsigned FirstPacingSleepMilliseconds(double elapsed, double interval);

// Waits until the frame interval has passed since the clock's last restart,
// then restarts it. The clock must have been started. With no pacing it only
// restarts the clock.
void WaitForNextFrame(Stopwatch& pacing_clock, int target_framerate, ClockSource& clock);

// The frame limiter: with the setting on, a frame less than 10 ms after the
// previous one is skipped after a 1 ms sleep (returns false); otherwise the
// clock restarts and the frame goes ahead (returns true).
bool FrameLimiterAllows(Stopwatch& limiter_clock, bool limiter_on, ClockSource& clock);

}  // namespace cs

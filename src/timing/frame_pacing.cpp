#include "timing/frame_pacing.h"

#include <cmath>

namespace cs {

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

unsigned FirstPacingSleepMilliseconds(double elapsed, double interval) {
    if (!(elapsed < interval)) return 0;
    const double half = std::trunc((interval * 1000.0 - elapsed * 1000.0) * 0.5);
    return half > 0 ? static_cast<unsigned>(half) : 0;
}

void WaitForNextFrame(Stopwatch& pacing_clock, int target_framerate, ClockSource& clock) {
    if (const auto interval = FrameInterval(target_framerate)) {
        const double t = *interval;
        const double e = static_cast<double>(pacing_clock.ElapsedSeconds());
        if (e < t) clock.Sleep(FirstPacingSleepMilliseconds(e, t));
        while (static_cast<double>(pacing_clock.ElapsedSeconds()) < t) clock.Sleep(0);
    }
    pacing_clock.Restart();
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

#pragma once
// Seconds since a start point. Prefers the performance counter, falls back to
// the tick count, and trusts the tick count whenever the two disagree by more
// than half a second (some counters jump on power-state changes or on
// multi-processor machines).
#include <cstdint>

#include "timing/clock_source.h"

namespace cs {

class Stopwatch {
public:
    explicit Stopwatch(ClockSource& clock = SystemClock()) : clock_(&clock) {}

    void Start();
    void Restart();
    long double ElapsedSeconds();

    bool UsesCounter() const { return use_counter_; }

private:
    ClockSource* clock_;
    std::int64_t frequency_ = 0;
    std::int64_t start_count_ = 0;
    std::uint32_t start_tick_ = 0;
    bool use_counter_ = false;
    std::int64_t last_count_ = 0;
    std::int64_t last_count_difference_ = 0;
    std::uint32_t last_tick_difference_ = 0;
};

}  // namespace cs

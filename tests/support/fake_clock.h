#pragma once
// A scripted clock: the tick count and the performance counter advance only
// when the test (or a sleep) says so.
#include <cstdint>
#include <vector>

#include "timing/clock_source.h"

namespace cs::testing {

class FakeClock final : public ClockSource {
public:
    std::int64_t frequency = 1'000'000;  // counts per second
    bool frequency_ok = true;
    bool counter_ok = true;
    std::int64_t counter = 0;
    std::uint32_t ticks = 0;
    // Extra counts added to the counter on top of real time (a jumping counter).
    std::int64_t counter_skew = 0;
    std::vector<std::uint32_t> sleeps;
    // Each Sleep(0) yield lets this much time pass, in microseconds.
    std::int64_t yield_microseconds = 100;

    void AdvanceMicroseconds(std::int64_t us) {
        micro_ += us;
        counter = micro_ / 1'000'000 * frequency + micro_ % 1'000'000 * frequency / 1'000'000 + counter_skew;
        ticks = static_cast<std::uint32_t>(base_ticks_ + static_cast<std::uint64_t>(micro_ / 1000));
    }
    void AdvanceMilliseconds(std::int64_t ms) { AdvanceMicroseconds(ms * 1000); }
    void SetTicks(std::uint32_t t) {
        base_ticks_ = t - static_cast<std::uint32_t>(micro_ / 1000);
        ticks = t;
    }

    bool QueryFrequency(std::int64_t& f) override {
        f = frequency_ok ? frequency : 0;
        return frequency_ok;
    }
    bool QueryCounter(std::int64_t& c) override {
        c = counter;
        return counter_ok;
    }
    std::uint32_t TickCount() override { return ticks; }
    void Sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        AdvanceMicroseconds(ms == 0 ? yield_microseconds : static_cast<std::int64_t>(ms) * 1000);
    }

private:
    std::int64_t micro_ = 0;
    std::uint32_t base_ticks_ = 0;
};

}  // namespace cs::testing

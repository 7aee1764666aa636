// The host build's clock: the monotonic clock standing in for both the
// performance counter (nanoseconds) and the tick count.
#include <time.h>

#include <thread>

#include "timing/clock_source.h"

namespace cs {
namespace {

class MonotonicClock final : public ClockSource {
public:
    bool QueryFrequency(std::int64_t& f) override {
        f = 1000000000;
        return true;
    }
    bool QueryCounter(std::int64_t& count) override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        count = static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
        return true;
    }
    std::uint32_t TickCount() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
    }
    void Sleep(std::uint32_t ms) override {
        if (ms == 0)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

}  // namespace

ClockSource& SystemClock() {
    static MonotonicClock clock;
    return clock;
}

}  // namespace cs

#include "timing/stopwatch.h"

#include <cstdlib>
#include <limits>

namespace cs {

void Stopwatch::Start() {
    frequency_ = 0;
    start_count_ = 0;
    start_tick_ = 0;
    use_counter_ = false;
    last_count_ = 0;
    last_count_difference_ = 0;
    last_tick_difference_ = 0;

    use_counter_ = clock_->QueryFrequency(frequency_) && frequency_ != 0;
    Restart();
}

void Stopwatch::Restart() {
    start_tick_ = clock_->TickCount();
    if (use_counter_) use_counter_ = clock_->QueryCounter(start_count_);
}

long double Stopwatch::ElapsedSeconds() {
    // Unsigned subtraction is right across the tick count's wrap.
    last_tick_difference_ = clock_->TickCount() - start_tick_;
    const long double tick_seconds = last_tick_difference_ * 0.001L;
    if (!use_counter_) return tick_seconds;

    if (!clock_->QueryCounter(last_count_)) {
        use_counter_ = false;
        return tick_seconds;
    }
    // Wrapping arithmetic: a counter that runs backwards or wildly must not
    // be undefined behaviour, only disagree with the tick count.
    last_count_difference_ = static_cast<std::int64_t>(static_cast<std::uint64_t>(last_count_) -
                                                       static_cast<std::uint64_t>(start_count_));
    std::int64_t milliseconds;
    if (last_count_difference_ > std::numeric_limits<std::int64_t>::max() / 1000 ||
        last_count_difference_ < std::numeric_limits<std::int64_t>::min() / 1000) {
        // count × 1000 would overflow: divide first, which loses nothing
        // that matters at these magnitudes.
        milliseconds = last_count_difference_ / frequency_ * 1000;
    } else {
        milliseconds = last_count_difference_ * 1000 / frequency_;
    }

    // Compared as 32-bit values, like the tick count itself, so that both
    // clocks agree across the tick count's wrap.
    const auto disagreement = static_cast<std::int32_t>(static_cast<std::uint32_t>(milliseconds) - last_tick_difference_);
    if (std::llabs(disagreement) > 500) return tick_seconds;

    const auto fits32 = [](std::int64_t v) {
        return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
    };
    if (!fits32(last_count_difference_) || !fits32(frequency_)) return milliseconds * 0.001L;
    return static_cast<long double>(last_count_difference_) / static_cast<long double>(frequency_);
}

}  // namespace cs

#pragma once
// Where time comes from: the high-resolution performance counter, the
// millisecond tick count and sleeping. The Windows build supplies the real
// services; tests supply scripted clocks.
#include <cstdint>

namespace cs {

class ClockSource {
public:
    virtual ~ClockSource() = default;
    virtual bool QueryFrequency(std::int64_t& counts_per_second) = 0;
    virtual bool QueryCounter(std::int64_t& count) = 0;
    virtual std::uint32_t TickCount() = 0;  // milliseconds, wraps after 49.7 days
    virtual void Sleep(std::uint32_t milliseconds) = 0;  // 0 yields the rest of the time slice
};

// The platform's clock (Win32 on Windows, the monotonic clock elsewhere).
ClockSource& SystemClock();

}  // namespace cs

#include <windows.h>

#include "timing/clock_source.h"

namespace cs {
namespace {

class Win32Clock final : public ClockSource {
public:
    bool QueryFrequency(std::int64_t& f) override {
        LARGE_INTEGER value{};
        const bool ok = QueryPerformanceFrequency(&value) != 0;
        f = ok ? value.QuadPart : 0;
        return ok;
    }
    bool QueryCounter(std::int64_t& count) override {
        LARGE_INTEGER value{};
        const bool ok = QueryPerformanceCounter(&value) != 0;
        count = value.QuadPart;
        return ok;
    }
    std::uint32_t TickCount() override { return GetTickCount(); }
    void Sleep(std::uint32_t ms) override { ::Sleep(ms); }
};

}  // namespace

ClockSource& SystemClock() {
    static Win32Clock clock;
    return clock;
}

}  // namespace cs

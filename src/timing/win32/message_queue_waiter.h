#pragma once
// The main loop's frame waiter: it sleeps on a high-resolution waitable
// timer where the system has one (Windows 10 1803 and later), otherwise on
// the millisecond timer with the system's timer period at 1 ms for as long
// as the waiter lives, and any window message wakes it. Where the timer's
// wake-ups come late now and then by milliseconds (seen under Wine, whose
// timers go through its server) but the system's own thread sleep keeps
// fine time, the last milliseconds of a sleep go to that instead.
#include <windows.h>

#include "timing/frame_pacing.h"

namespace cs {

class MessageQueueWaiter final : public FrameWaiter {
public:
    enum class Timer { HighResolutionWhereAvailable, Milliseconds };

    explicit MessageQueueWaiter(Timer timer = Timer::HighResolutionWhereAvailable);
    ~MessageQueueWaiter() override;
    MessageQueueWaiter(const MessageQueueWaiter&) = delete;
    MessageQueueWaiter& operator=(const MessageQueueWaiter&) = delete;

    bool HighResolution() const { return timer_ != nullptr; }

    double Resolution() const override;
    bool Sleep(double seconds) override;
    void GiveUpTimeSlice() override;

    // Whether the last part of a sleep goes to the fine thread sleep.
    bool FineSleep() const { return fine_delay_ != nullptr; }

    // The system's thread sleep (ntdll's), in 100 ns units.
    using ThreadSleep = LONG(NTAPI*)(BOOLEAN alertable, PLARGE_INTEGER interval);

private:
    void UseMilliseconds();
    bool SleepOnTimer(double seconds);

    HANDLE timer_ = nullptr;
    bool period_set_ = false;
    ThreadSleep fine_delay_ = nullptr;
};

}  // namespace cs

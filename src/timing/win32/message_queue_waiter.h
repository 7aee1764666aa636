#pragma once
// The main loop's frame waiter: it sleeps on a high-resolution waitable
// timer where the system has one (Windows 10 1803 and later), otherwise on
// the millisecond timer with the system's timer period at 1 ms for as long
// as the waiter lives, and any window message wakes it.
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

private:
    void UseMilliseconds();

    HANDLE timer_ = nullptr;
    bool period_set_ = false;
};

}  // namespace cs

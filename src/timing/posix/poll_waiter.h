#pragma once
// The Linux main loop's frame waiter: it sleeps in ppoll, to the
// nanosecond, on the descriptors that bring news (the X connection, the
// termination signal), and wakes for any of them.
#include <poll.h>

#include <functional>
#include <vector>

#include "timing/frame_pacing.h"

namespace cs {

class PollWaiter final : public FrameWaiter {
public:
    // already_queued: whether news has been read from the descriptors but
    // not handled yet (Xlib reads events ahead into a queue of its own);
    // a sleep then ends at once.
    PollWaiter(std::vector<int> descriptors, std::function<bool()> already_queued);

    double Resolution() const override { return 0.0; }
    bool Sleep(double seconds) override;
    void GiveUpTimeSlice() override;

private:
    bool Poll(const struct timespec* timeout);

    std::vector<pollfd> polled_;
    std::function<bool()> already_queued_;
};

}  // namespace cs

#include "timing/posix/poll_waiter.h"

#include <sched.h>

#include <cerrno>
#include <cmath>
#include <ctime>

namespace cs {

PollWaiter::PollWaiter(std::vector<int> descriptors, std::function<bool()> already_queued)
    : already_queued_(std::move(already_queued)) {
    for (int fd : descriptors) polled_.push_back({fd, POLLIN, 0});
}

// True when a descriptor has news; false when the time ran out.
bool PollWaiter::Poll(const timespec* timeout) {
    for (;;) {
        const int ready = ppoll(polled_.data(), polled_.size(), timeout, nullptr);
        if (ready > 0) return true;
        if (ready == 0) return false;
        // A signal's handler writes to a descriptor of ours: look again.
        if (errno != EINTR) return false;
    }
}

bool PollWaiter::Sleep(double seconds) {
    if (already_queued_ && already_queued_()) return false;
    if (!(seconds > 0)) return true;
    const double whole = std::floor(seconds);
    const timespec timeout{static_cast<time_t>(whole), static_cast<long>((seconds - whole) * 1e9)};
    return !Poll(&timeout);
}

void PollWaiter::GiveUpTimeSlice() { sched_yield(); }

}  // namespace cs

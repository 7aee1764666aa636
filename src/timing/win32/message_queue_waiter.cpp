#include "timing/win32/message_queue_waiter.h"

#include <mmsystem.h>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace cs {
namespace {

// Input already in the queue counts too, not only input that arrived since
// the queue was last looked at.
DWORD WaitForMessageOr(DWORD handle_count, const HANDLE* handles, DWORD milliseconds) {
    return MsgWaitForMultipleObjectsEx(handle_count, handles, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

MessageQueueWaiter::MessageQueueWaiter(Timer timer) {
    // Older systems refuse the flag; they get the millisecond timer.
    if (timer == Timer::HighResolutionWhereAvailable)
        timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (!timer_) UseMilliseconds();
}

MessageQueueWaiter::~MessageQueueWaiter() {
    if (timer_) CloseHandle(timer_);
    if (period_set_) timeEndPeriod(1);
}

void MessageQueueWaiter::UseMilliseconds() {
    if (timer_) CloseHandle(timer_);
    timer_ = nullptr;
    if (!period_set_) period_set_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

double MessageQueueWaiter::Resolution() const { return timer_ ? 0.0 : 0.001; }

bool MessageQueueWaiter::Sleep(double seconds) {
    if (!(seconds > 0)) return true;
    if (timer_) {
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(seconds * 1e7);  // relative, in 100 ns
        if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
            const DWORD woken = WaitForMessageOr(1, &timer_, INFINITE);
            if (woken == WAIT_OBJECT_0) return true;
            if (woken == WAIT_OBJECT_0 + 1) {
                CancelWaitableTimer(timer_);
                return false;
            }
        }
        // A timer that failed once is not trusted with the next frame.
        UseMilliseconds();
    }
    const auto milliseconds = static_cast<DWORD>(seconds * 1000.0);
    if (milliseconds == 0) return true;
    return WaitForMessageOr(0, nullptr, milliseconds) != WAIT_OBJECT_0;
}

void MessageQueueWaiter::GiveUpTimeSlice() { ::Sleep(0); }

}  // namespace cs

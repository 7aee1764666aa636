#include "timing/win32/message_queue_waiter.h"

#include <mmsystem.h>

#include "timing/stopwatch.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace cs {
namespace {

// The part of a sleep left to the fine thread sleep, which no window message
// ends: late timer wake-ups stay within it, and a key waits no longer.
constexpr double kFineTail = 0.004;
// A fine sleep of half a millisecond must end within this of its time.
constexpr double kFineSlack = 0.0003;

void DelayFor(MessageQueueWaiter::ThreadSleep delay, double seconds) {
    LARGE_INTEGER interval{};
    interval.QuadPart = -static_cast<LONGLONG>(seconds * 1e7);  // relative, in 100 ns
    delay(FALSE, &interval);
}

// The system's thread sleep in 100 ns units, when a few half-millisecond
// sleeps show that it keeps such time here. Where it keeps only the system
// timer's period (1 ms or 15.6 ms, as on Windows itself) it is not used, and
// finding that out costs one such period at the start.
MessageQueueWaiter::ThreadSleep FineThreadSleep() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll) return nullptr;
    const auto delay = reinterpret_cast<MessageQueueWaiter::ThreadSleep>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtDelayExecution")));
    if (!delay) return nullptr;
    for (int i = 0; i < 4; ++i) {
        Stopwatch slept;
        slept.Start();
        DelayFor(delay, 0.0005);
        if (slept.ElapsedSeconds() > 0.0005 + kFineSlack) return nullptr;
    }
    return delay;
}

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
    if (timer_) fine_delay_ = FineThreadSleep();
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
    if (!fine_delay_ || !timer_) return SleepOnTimer(seconds);
    Stopwatch slept;
    slept.Start();
    if (seconds > kFineTail && !SleepOnTimer(seconds - kFineTail)) return false;
    // The timer may have failed meanwhile; the fine sleep goes on regardless.
    const double left = seconds - static_cast<double>(slept.ElapsedSeconds());
    if (left > 0) DelayFor(fine_delay_, left);
    return true;
}

bool MessageQueueWaiter::SleepOnTimer(double seconds) {
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

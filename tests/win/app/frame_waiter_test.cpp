// The main loop's frame waiter on the real timers and message queue.
#include <windows.h>

#include <gtest/gtest.h>

#include "timing/win32/message_queue_waiter.h"

namespace cs {
namespace {

double Seconds() {
    LARGE_INTEGER frequency{}, count{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
}

class FrameWaiterTest : public ::testing::TestWithParam<MessageQueueWaiter::Timer> {
protected:
    void SetUp() override { DrainQueue(); }
    void TearDown() override { DrainQueue(); }
};

TEST_P(FrameWaiterTest, SleepsAndAMessageEndsTheSleep) {
    MessageQueueWaiter waiter(GetParam());
    if (GetParam() == MessageQueueWaiter::Timer::Milliseconds) {
        EXPECT_FALSE(waiter.HighResolution());
        EXPECT_FALSE(waiter.FineSleep());
        EXPECT_EQ(waiter.Resolution(), 0.001);
        const double before = Seconds();
        EXPECT_TRUE(waiter.Sleep(0.0004));  // less than it can time: no sleep at all
        EXPECT_LT(Seconds() - before, 0.1);
    }

    const double start = Seconds();
    EXPECT_TRUE(waiter.Sleep(0.003));
    EXPECT_GE(Seconds() - start, 0.0025);

    // A message, even one already looked at, ends a sleep that would
    // otherwise last ten seconds.
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 0, 0));
    EXPECT_FALSE(waiter.Sleep(10.0));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(waiter.Sleep(10.0));
    DrainQueue();

    // The timer of a sleep a message ended does not end the next one early.
    const double again = Seconds();
    EXPECT_TRUE(waiter.Sleep(0.02));
    EXPECT_GE(Seconds() - again, 0.015);
}

INSTANTIATE_TEST_SUITE_P(BothTimers, FrameWaiterTest,
                         ::testing::Values(MessageQueueWaiter::Timer::HighResolutionWhereAvailable,
                                           MessageQueueWaiter::Timer::Milliseconds));

}  // namespace
}  // namespace cs

// The Linux main loop's waiter, on a real pipe and the real clock. Only a
// lower bound of time is checked: a busy machine may wake a sleep late.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "timing/posix/poll_waiter.h"

namespace cs {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(PollWaiter, SleepsItsTimeUnlessNewsComesOrIsQueued) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    bool queued = false;
    PollWaiter waiter({fds[0]}, [&] { return queued; });

    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(waiter.Sleep(0.02));
    EXPECT_GE(SecondsSince(start), 0.02);
    EXPECT_TRUE(waiter.Sleep(0.0));

    // News on a descriptor ends the sleep at once, and keeps ending it
    // until it is read.
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_FALSE(waiter.Sleep(5.0));
    EXPECT_FALSE(waiter.Sleep(5.0));
    char byte;
    ASSERT_EQ(read(fds[0], &byte, 1), 1);

    // News already read into a queue of the caller's: no sleep at all.
    queued = true;
    EXPECT_FALSE(waiter.Sleep(5.0));
    close(fds[0]);
    close(fds[1]);
}

}  // namespace
}  // namespace cs

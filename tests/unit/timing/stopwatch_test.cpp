#include "timing/stopwatch.h"

#include <gtest/gtest.h>

#include "support/fake_clock.h"

namespace cs {
namespace {

using testing::FakeClock;

TEST(Stopwatch, CounterGivesFullPrecision) {
    FakeClock clock;
    clock.frequency = 3'579'545;  // a classic odd frequency
    Stopwatch watch(clock);
    watch.Start();
    clock.AdvanceMicroseconds(1'234'567);
    EXPECT_TRUE(watch.UsesCounter());
    EXPECT_NEAR(static_cast<double>(watch.ElapsedSeconds()), 1.234567, 1e-6);
}

TEST(Stopwatch, FrequencyZeroFallsBackToTicks) {
    FakeClock clock;
    clock.frequency = 0;
    Stopwatch watch(clock);
    watch.Start();
    EXPECT_FALSE(watch.UsesCounter());
    clock.AdvanceMicroseconds(2'500'700);
    // Millisecond resolution only.
    EXPECT_DOUBLE_EQ(static_cast<double>(watch.ElapsedSeconds()), 2.5);
}

TEST(Stopwatch, MissingCounterAndFailingCounterFallBackForGood) {
    FakeClock clock;
    clock.frequency_ok = false;
    Stopwatch no_counter(clock);
    no_counter.Start();
    EXPECT_FALSE(no_counter.UsesCounter());

    FakeClock flaky;
    Stopwatch watch(flaky);
    watch.Start();
    flaky.AdvanceMilliseconds(100);
    flaky.counter_ok = false;
    EXPECT_DOUBLE_EQ(static_cast<double>(watch.ElapsedSeconds()), 0.1);
    flaky.counter_ok = true;  // never trusted again
    flaky.AdvanceMicroseconds(500);
    EXPECT_FALSE(watch.UsesCounter());
    EXPECT_DOUBLE_EQ(static_cast<double>(watch.ElapsedSeconds()), 0.1);
}

TEST(Stopwatch, CounterThatJumpsIsOverruledByTicks) {
    FakeClock clock;
    Stopwatch watch(clock);
    watch.Start();
    clock.counter_skew = 3 * clock.frequency;  // three seconds ahead
    clock.AdvanceMilliseconds(250);
    EXPECT_DOUBLE_EQ(static_cast<double>(watch.ElapsedSeconds()), 0.25);
    // A disagreement of under half a second is tolerated (counter wins).
    clock.counter_skew = clock.frequency / 4;
    clock.AdvanceMicroseconds(10);
    EXPECT_NEAR(static_cast<double>(watch.ElapsedSeconds()), 0.50001, 1e-9);
    // A counter that runs backwards is also overruled.
    clock.counter_skew = -10 * clock.frequency;
    clock.AdvanceMilliseconds(1);
    EXPECT_DOUBLE_EQ(static_cast<double>(watch.ElapsedSeconds()), 0.251);
}

TEST(Stopwatch, TickCountWrapAfter49Days) {
    FakeClock clock;
    clock.frequency = 0;
    clock.SetTicks(0xFFFFFF00u);
    Stopwatch watch(clock);
    watch.Start();
    clock.AdvanceMilliseconds(1000);  // wraps through zero
    EXPECT_LT(clock.ticks, 0x1000u);
    EXPECT_DOUBLE_EQ(static_cast<double>(watch.ElapsedSeconds()), 1.0);

    // With the counter too: both clocks agree across the wrap.
    FakeClock both;
    both.SetTicks(0xFFFFFFF0u);
    Stopwatch counted(both);
    counted.Start();
    both.AdvanceMilliseconds(40);
    EXPECT_NEAR(static_cast<double>(counted.ElapsedSeconds()), 0.04, 1e-9);
}

TEST(Stopwatch, ValuesBeyond32BitsUseMilliseconds) {
    // A 10 MHz counter exceeds 32 bits after seven minutes: the result is
    // computed from whole milliseconds.
    FakeClock clock;
    clock.frequency = 10'000'000;
    Stopwatch watch(clock);
    watch.Start();
    clock.AdvanceMicroseconds(600'000'123);  // ten minutes
    EXPECT_DOUBLE_EQ(static_cast<double>(watch.ElapsedSeconds()), 600.0);

    // A frequency that does not fit in 32 bits, short interval.
    FakeClock fast;
    fast.frequency = 5'000'000'000LL;
    Stopwatch quick(fast);
    quick.Start();
    fast.AdvanceMicroseconds(1'500);
    EXPECT_DOUBLE_EQ(static_cast<double>(quick.ElapsedSeconds()), 0.001);

    // Huge counter values (days of uptime at GHz rates) must not overflow.
    FakeClock huge;
    huge.frequency = 3'000'000'000LL;
    huge.AdvanceMicroseconds(40LL * 24 * 3600 * 1'000'000);
    Stopwatch late(huge);
    late.Start();
    huge.AdvanceMilliseconds(2000);
    EXPECT_DOUBLE_EQ(static_cast<double>(late.ElapsedSeconds()), 2.0);
}

TEST(Stopwatch, RestartKeepsFrequencyAndFlag) {
    FakeClock clock;
    Stopwatch watch(clock);
    watch.Start();
    clock.AdvanceMilliseconds(700);
    watch.Restart();
    clock.AdvanceMilliseconds(30);
    EXPECT_TRUE(watch.UsesCounter());
    EXPECT_NEAR(static_cast<double>(watch.ElapsedSeconds()), 0.03, 1e-9);
}

}  // namespace
}  // namespace cs

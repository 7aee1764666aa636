#include "timing/frame_pacing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "support/fake_clock.h"

namespace cs {
namespace {

using testing::FakeClock;

TEST(FrameInterval, TableAndOutOfRangeValues) {
    EXPECT_FLOAT_EQ(*FrameInterval(0), 0.1f);
    EXPECT_FLOAT_EQ(*FrameInterval(1), 0.05f);
    EXPECT_EQ(*FrameInterval(2), 1.0f / 30.0f);
    EXPECT_EQ(*FrameInterval(3), 0.016666668f);
    EXPECT_FLOAT_EQ(*FrameInterval(4), 0.01f);
    EXPECT_FALSE(FrameInterval(5).has_value());
    EXPECT_FALSE(FrameInterval(1000).has_value());
    EXPECT_FLOAT_EQ(*FrameInterval(-1), 0.1f);  // a corrupt negative index paces at 10 fps
    EXPECT_FLOAT_EQ(*FrameInterval(INT32_MIN), 0.1f);
}

TEST(FramePacing, TenFpsWithA30msFrameSleepsAbout35msThenYields) {
    FakeClock clock;
    Stopwatch pacing(clock);
    pacing.Start();
    clock.AdvanceMilliseconds(30);  // the frame took 30 ms
    WaitForNextFrame(pacing, 0, clock);
    ASSERT_FALSE(clock.sleeps.empty());
    EXPECT_EQ(clock.sleeps.front(), 35u);
    // The rest is spent in yields only, until 100 ms have passed.
    EXPECT_TRUE(std::all_of(clock.sleeps.begin() + 1, clock.sleeps.end(), [](auto ms) { return ms == 0; }));
    EXPECT_GT(clock.sleeps.size(), 1u);
    // Restarted at the frame start: nothing has elapsed since.
    EXPECT_LT(pacing.ElapsedSeconds(), 0.001L);
    const std::uint64_t slept = std::accumulate(clock.sleeps.begin(), clock.sleeps.end(), std::uint64_t{0});
    EXPECT_EQ(slept, 35u);
}

TEST(FramePacing, SixtyFpsKeepsFrameStartsOnTheInterval) {
    FakeClock clock;
    Stopwatch pacing(clock);
    pacing.Start();
    Stopwatch wall(clock);
    wall.Start();
    std::vector<double> starts;
    for (int frame = 0; frame < 60; ++frame) {
        WaitForNextFrame(pacing, 3, clock);
        starts.push_back(static_cast<double>(wall.ElapsedSeconds()));
        clock.AdvanceMilliseconds(frame % 3 == 0 ? 9 : 2);  // drawing is part of the interval
    }
    for (std::size_t i = 1; i < starts.size(); ++i) {
        const double interval = starts[i] - starts[i - 1];
        EXPECT_GE(interval, 1.0 / 60.0 - 1e-6) << "frame " << i;
        EXPECT_LE(interval, 1.0 / 60.0 + 0.0002) << "frame " << i;  // at most one yield late
    }
}

TEST(FramePacing, LateFrameDoesNotSleepAndInfiniteOnlyRestarts) {
    FakeClock clock;
    Stopwatch pacing(clock);
    pacing.Start();
    clock.AdvanceMilliseconds(150);
    WaitForNextFrame(pacing, 0, clock);
    EXPECT_TRUE(clock.sleeps.empty());

    clock.AdvanceMilliseconds(3);
    WaitForNextFrame(pacing, 5, clock);
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_LT(pacing.ElapsedSeconds(), 0.001L);
}

TEST(FramePacing, FirstSleepIsHalfTheRemainder) {
    EXPECT_EQ(FirstPacingSleepMilliseconds(0.0, 1.0 / 60.0), 8u);
    EXPECT_EQ(FirstPacingSleepMilliseconds(0.016, 1.0 / 60.0), 0u);
    EXPECT_EQ(FirstPacingSleepMilliseconds(0.2, 0.1), 0u);
    EXPECT_EQ(FirstPacingSleepMilliseconds(0.03, 0.1), 35u);
}

TEST(FrameLimiter, SkipsFramesCloserThan10ms) {
    FakeClock clock;
    Stopwatch limiter(clock);
    limiter.Start();
    clock.AdvanceMilliseconds(4);
    EXPECT_FALSE(FrameLimiterAllows(limiter, true, clock));
    EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>{1});
    clock.AdvanceMilliseconds(6);
    EXPECT_TRUE(FrameLimiterAllows(limiter, true, clock));
    // Off: every frame goes ahead, without sleeping.
    EXPECT_TRUE(FrameLimiterAllows(limiter, false, clock));
    EXPECT_EQ(clock.sleeps.size(), 1u);
}

}  // namespace
}  // namespace cs

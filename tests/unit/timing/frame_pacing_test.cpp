#include "timing/frame_pacing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <vector>

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

// Sleeps by moving the fake clock; every sleep ends `late` seconds after it
// should, and a message can be made to cut the next one short.
class FakeWaiter final : public FrameWaiter {
public:
    explicit FakeWaiter(FakeClock& clock, double resolution = 0.0) : clock_(clock), resolution_(resolution) {}

    double Resolution() const override { return resolution_; }
    bool Sleep(double seconds) override {
        sleeps.push_back(seconds);
        if (during_sleep) during_sleep();
        if (message_after >= 0) {
            clock_.AdvanceMicroseconds(std::llround(message_after * 1e6));
            message_after = -1;
            return false;
        }
        clock_.AdvanceMicroseconds(std::llround((seconds + late) * 1e6));
        return true;
    }
    void GiveUpTimeSlice() override {
        ++yields;
        clock_.AdvanceMicroseconds(10);
    }

    double late = 0.0;
    double message_after = -1;
    std::function<void()> during_sleep;
    std::vector<double> sleeps;
    int yields = 0;

private:
    FakeClock& clock_;
    double resolution_;
};

constexpr float kSixty = 1.0f / 60.0f;

class FramePacerTest : public ::testing::Test {
protected:
    // Seconds since the test began.
    double Now() { return static_cast<double>(wall.ElapsedSeconds()); }

    // Runs frames that take `work` seconds each; the start of every frame.
    std::vector<double> RunFrames(FakeWaiter& waiter, int frames, double work, bool drawing = true) {
        std::vector<double> starts;
        for (int i = 0; i < frames; ++i) {
            while (pacer.WaitUntilDue(kSixty, drawing, waiter) != FrameWait::Due) {}
            pacer.FrameStarts();
            starts.push_back(Now());
            clock.AdvanceMicroseconds(std::llround(work * 1e6));
        }
        return starts;
    }

    FakeClock clock;
    FramePacer pacer{clock};
    Stopwatch wall = [this] {
        Stopwatch w(clock);
        w.Start();
        return w;
    }();
};

TEST_F(FramePacerTest, OneSleepForTheRemainingTimeOnAPreciseTimer) {
    FakeWaiter waiter(clock);
    pacer.FrameStarts();
    clock.AdvanceMilliseconds(5);  // the frame took 5 ms
    ASSERT_EQ(pacer.WaitUntilDue(kSixty, true, waiter), FrameWait::Due);
    ASSERT_EQ(waiter.sleeps.size(), 1u);
    EXPECT_NEAR(waiter.sleeps[0], kSixty - 0.005, 2e-6);
    EXPECT_EQ(waiter.yields, 0);
}

TEST(FramePacer, LateWakingTimersAreWokenEarlyAndOnlyTheLastMillisecondYielded) {
    // A precise timer whose sleeps end 0.3 ms late, and one of whole
    // milliseconds whose sleeps end 0.2 ms late.
    for (const double resolution : {0.0, 0.001}) {
        FakeClock clock;
        FramePacer pacer(clock);
        FakeWaiter waiter(clock, resolution);
        waiter.late = resolution > 0 ? 0.0002 : 0.0003;
        Stopwatch wall(clock);
        wall.Start();
        std::vector<double> intervals;
        double previous = 0;
        for (int frame = 0; frame < 300; ++frame) {
            waiter.sleeps.clear();
            const int yields_before = waiter.yields;
            ASSERT_EQ(pacer.WaitUntilDue(kSixty, true, waiter), FrameWait::Due);
            pacer.FrameStarts();
            const double start = static_cast<double>(wall.ElapsedSeconds());
            if (frame >= 100) {
                // Learnt: one sleep for the time to wait, and yields (of
                // 10 us each here) only within its last millisecond.
                EXPECT_EQ(waiter.sleeps.size(), 1u) << "frame " << frame << ", resolution " << resolution;
                EXPECT_LT((waiter.yields - yields_before) * 10e-6, 0.001) << "frame " << frame;
                intervals.push_back(start - previous);
            }
            previous = start;
            clock.AdvanceMicroseconds(frame % 3 == 0 ? 9000 : 2000);  // drawing is part of the interval
        }
        std::sort(intervals.begin(), intervals.end());
        EXPECT_GE(intervals.front(), kSixty - 1e-6) << "resolution " << resolution;
        EXPECT_LE(intervals.back(), kSixty + 0.00005) << "resolution " << resolution;
        EXPECT_LE(pacer.EarlyWake(), FramePacer::kLongestEarlyWake);
    }
}

TEST_F(FramePacerTest, AnUndrawnFrameOnlySleeps) {
    FakeWaiter waiter(clock, 0.001);
    waiter.late = 0.0004;
    const std::vector<double> starts = RunFrames(waiter, 50, 0.001, false);
    EXPECT_EQ(waiter.yields, 0);
    for (std::size_t i = 1; i < starts.size(); ++i) {
        // Within the timer's resolution of the moment, either way.
        EXPECT_NEAR(starts[i] - starts[i - 1], kSixty, 0.001 + 1e-6) << "frame " << i;
    }
}

TEST_F(FramePacerTest, AMessageEndsTheSleepAndTheFrameStaysDueAtTheSameMoment) {
    FakeWaiter waiter(clock);
    pacer.FrameStarts();
    const double frame_start = Now();
    waiter.message_after = 0.004;
    EXPECT_EQ(pacer.WaitUntilDue(kSixty, true, waiter), FrameWait::MessageWaiting);
    EXPECT_FALSE(pacer.LastWaitSlept());
    EXPECT_NEAR(Now() - frame_start, 0.004, 1e-6);
    clock.AdvanceMicroseconds(300);  // the message is handled
    EXPECT_EQ(pacer.WaitUntilDue(kSixty, true, waiter), FrameWait::Due);
    EXPECT_NEAR(Now() - frame_start, kSixty, 2e-5);
    // It slept to the end, so the queue was empty a moment ago.
    EXPECT_TRUE(pacer.LastWaitSlept());
}

TEST_F(FramePacerTest, InfiniteYieldsOnceButRestsBetweenUndrawnFrames) {
    FakeWaiter waiter(clock);
    pacer.FrameStarts();
    EXPECT_EQ(pacer.WaitUntilDue(std::nullopt, true, waiter), FrameWait::Due);
    EXPECT_EQ(waiter.yields, 1);
    EXPECT_TRUE(waiter.sleeps.empty());
    EXPECT_FALSE(pacer.LastWaitSlept());

    pacer.FrameStarts();
    const double start = Now();
    EXPECT_EQ(pacer.WaitUntilDue(std::nullopt, false, waiter), FrameWait::Due);
    EXPECT_NEAR(Now() - start, FramePacer::kRestingInterval, 1e-6);
}

TEST_F(FramePacerTest, ARestSleepsOnceToTheFirstFrameStartAfterItAndAMessageEndsIt) {
    FakeWaiter waiter(clock);
    pacer.FrameStarts();
    const double start = Now();
    clock.AdvanceMicroseconds(200);
    pacer.RestFor(0.05);  // ends 50.2 ms after the start: the 4th frame start
    ASSERT_EQ(pacer.WaitUntilDue(kSixty, false, waiter), FrameWait::Due);
    EXPECT_EQ(waiter.sleeps.size(), 1u);
    EXPECT_NEAR(Now() - start, 4 * kSixty, 1e-5);

    // A drawing frame, or the frame after the rest, keeps the usual interval.
    pacer.RestFor(0.05);
    pacer.FrameStarts();
    double frame_start = Now();
    ASSERT_EQ(pacer.WaitUntilDue(kSixty, false, waiter), FrameWait::Due);
    EXPECT_NEAR(Now() - frame_start, kSixty, 1e-5);
    pacer.FrameStarts();
    frame_start = Now();
    pacer.RestFor(0.05);
    ASSERT_EQ(pacer.WaitUntilDue(kSixty, true, waiter), FrameWait::Due);
    EXPECT_NEAR(Now() - frame_start, kSixty, 1e-5);
    pacer.FrameStarts();
    const double before_message = Now();
    pacer.RestFor(5.0);
    waiter.message_after = 0.3;
    EXPECT_EQ(pacer.WaitUntilDue(kSixty, false, waiter), FrameWait::MessageWaiting);
    EXPECT_EQ(pacer.WaitUntilDue(kSixty, false, waiter), FrameWait::Due);  // one interval is long past
    EXPECT_NEAR(Now() - before_message, 0.3, 1e-5);

    // However long the rest, one wait ends within kLongestRest.
    pacer.FrameStarts();
    const double before_long = Now();
    pacer.RestFor(std::numeric_limits<double>::infinity());
    ASSERT_EQ(pacer.WaitUntilDue(kSixty, false, waiter), FrameWait::Due);
    EXPECT_LE(Now() - before_long, FramePacer::kLongestRest + kSixty);
}

TEST_F(FramePacerTest, ALateFrameStartsAtOnce) {
    FakeWaiter waiter(clock);
    pacer.FrameStarts();
    clock.AdvanceMilliseconds(150);
    EXPECT_EQ(pacer.WaitUntilDue(0.1f, true, waiter), FrameWait::Due);
    EXPECT_TRUE(waiter.sleeps.empty());
    EXPECT_EQ(waiter.yields, 0);
    EXPECT_FALSE(pacer.LastWaitSlept());
}

TEST_F(FramePacerTest, AJumpingClockNeverMakesAWaitLongerThanOneInterval) {
    for (const std::int64_t jump : {-300'000, -450'000, 200'000}) {
        FakeClock clock;
        FramePacer pacer(clock);
        FakeWaiter waiter(clock);
        pacer.FrameStarts();
        clock.AdvanceMilliseconds(5);
        // The counter jumps (by less than the half second after which the
        // tick count takes over) while the pacer sleeps.
        waiter.during_sleep = [&] {
            if (waiter.sleeps.size() == 1) clock.counter_skew += jump;
        };
        Stopwatch real(clock);
        real.Start();
        const std::int64_t counter_before = clock.counter;
        EXPECT_EQ(pacer.WaitUntilDue(kSixty, true, waiter), FrameWait::Due);
        const double slept = std::accumulate(waiter.sleeps.begin(), waiter.sleeps.end(), 0.0);
        EXPECT_LE(slept, kSixty + 1e-9) << "jump " << jump;
        // The time that really passed: the counter less the jump.
        const double passed = static_cast<double>(clock.counter - counter_before - jump) / 1e6;
        EXPECT_LE(passed, kSixty + 0.0011) << "jump " << jump;
    }
}

TEST_F(FramePacerTest, TickCountAloneStillPacesToTheMillisecond) {
    FakeClock ticks_only;
    ticks_only.frequency_ok = false;
    FramePacer pacer(ticks_only);
    FakeWaiter waiter(ticks_only, 0.001);
    waiter.late = 0.0003;
    pacer.FrameStarts();
    Stopwatch real(ticks_only);
    ticks_only.frequency_ok = true;
    real.Start();
    EXPECT_EQ(pacer.WaitUntilDue(kSixty, true, waiter), FrameWait::Due);
    const double passed = static_cast<double>(real.ElapsedSeconds());
    EXPECT_GE(passed, 0.016);
    EXPECT_LE(passed, 0.0175);
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

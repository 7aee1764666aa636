#include "app/monitor_layout.h"

#include <gtest/gtest.h>

namespace cs {
namespace {

const ScreenRect kPrimary{0, 0, 1920, 1080};

TEST(MonitorLayout, OneMonitorNeedsNoCover) {
    const ScreenRect monitors[] = {kPrimary};
    EXPECT_TRUE(MonitorsToCover(monitors, kPrimary).empty());
}

TEST(MonitorLayout, EverySecondaryMonitorWhereverItSits) {
    // Right of, left of (negative x), above (negative y) and diagonally
    // above-left of the primary, listed before and after it.
    const ScreenRect left{-1280, 56, 0, 1080};
    const ScreenRect above{0, -1200, 1600, 0};
    const ScreenRect right{1920, 0, 3840, 1080};
    const ScreenRect corner{-800, -600, 0, 0};
    const ScreenRect monitors[] = {left, kPrimary, above, right, corner};
    const std::vector<ScreenRect> expected{left, above, right, corner};
    EXPECT_EQ(MonitorsToCover(monitors, kPrimary), expected);
}

TEST(MonitorLayout, MirroredDuplicateAndEmptyMonitorsAreSkipped) {
    const ScreenRect right{1920, 0, 3840, 1080};
    const ScreenRect monitors[] = {kPrimary, kPrimary, {0, 0, 1280, 720}, right, right, {100, 100, 100, 500},
                                   {5000, 0, 4000, 100}};
    const std::vector<ScreenRect> expected{right};
    EXPECT_EQ(MonitorsToCover(monitors, kPrimary), expected);
}

TEST(MonitorLayout, MonitorOverlappingThePrimaryIsCoveredWhole) {
    // Overlapping extended monitors (a duplicated part of the desktop): the
    // saver window stays above its cover, so covering the whole is safe.
    const ScreenRect overlapping{1600, 0, 3520, 1080};
    const ScreenRect monitors[] = {kPrimary, overlapping};
    const std::vector<ScreenRect> expected{overlapping};
    EXPECT_EQ(MonitorsToCover(monitors, kPrimary), expected);
}

}  // namespace
}  // namespace cs

#include "scene/cube_animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "base/random.h"

namespace cs {
namespace {

// A loader that has a picture ready whenever the test says so.
class FakeLoader final : public CubeAnimationHost {
public:
    bool ready = true;
    int switches = 0;
    int requests = 0;
    int last_face = -1;
    LoaderPriority priority = LoaderPriority::Normal;

    bool PictureReady() override { return ready; }
    void TakePendingPicture(int face) override {
        ++switches;
        last_face = face;
    }
    void RequestNextPicture() override { ++requests; }
    void SetLoaderPriority(LoaderPriority p) override { priority = p; }
};

constexpr float kFrame = 0.01f;

class CubeAnimationTest : public ::testing::Test {
protected:
    void SetUp() override { SeedRandom(4242); }

    void Begin(int style = 1, int show = 4, int rotate = 2) {
        settings.cube_style = style;
        settings.show_picture_length = show;
        settings.rotation_length = rotate;
        animation.Configure(settings);
        animation.SetStarted(true);
    }
    // Runs whole frames for the given time; answers the time of the first
    // switch seen (or -1).
    double Run(double seconds, float dt = kFrame) {
        double first_switch = -1;
        const int before = loader.switches;
        const int frames = static_cast<int>(std::lround(seconds / dt));
        for (int i = 0; i < frames; ++i) {
            animation.Advance(dt, loader);
            clock += dt;
            if (first_switch < 0 && loader.switches != before) first_switch = clock;
        }
        return first_switch;
    }

    CubeSettings settings;
    CubeAnimation animation;
    FakeLoader loader;
    double clock = 0;
};

TEST_F(CubeAnimationTest, FirstSwitchAfterSAndThenEveryRPlusS) {
    Begin(1, 4, 2);
    EXPECT_NEAR(Run(4.5), 4.0, 2 * kFrame);
    std::vector<double> switches;
    int seen = loader.switches;
    for (int i = 0; i < 3000; ++i) {
        animation.Advance(kFrame, loader);
        clock += kFrame;
        if (loader.switches != seen) {
            switches.push_back(clock);
            seen = loader.switches;
        }
    }
    ASSERT_GE(switches.size(), 4u);
    for (std::size_t i = 1; i < switches.size(); ++i) EXPECT_NEAR(switches[i] - switches[i - 1], 6.0, 2 * kFrame);
}

TEST_F(CubeAnimationTest, NextFaceIsNeverCurrentOrPrevious) {
    Begin(1, 1, 1);
    std::set<int> faces;
    for (int i = 0; i < 200; ++i) {
        const int current = animation.CurrentFace();
        const int previous = animation.PreviousFace();
        const int switches = loader.switches;
        while (loader.switches == switches) animation.Advance(kFrame, loader);
        EXPECT_NE(loader.last_face, current);
        EXPECT_NE(loader.last_face, previous);
        faces.insert(loader.last_face);
        Run(1.05);  // turn completes; the new face is current
        EXPECT_EQ(animation.CurrentFace(), loader.last_face);
    }
    EXPECT_EQ(faces.size(), 6u);  // every face gets its turn
}

TEST_F(CubeAnimationTest, TurnIsALinearSlerpEndingOnTheTarget) {
    Begin(1, 1, 2);
    Run(1.0);
    const Quaternion start = animation.Orientation();
    Run(1.0);  // half way through the turn
    ASSERT_TRUE(animation.Turning());
    const Quaternion target = FaceOrientation(animation.NextFace());
    const Quaternion halfway = Slerp(start, target, 0.5f, 0.0001f);
    EXPECT_NEAR(animation.Orientation().Dot(halfway), 1.0f, 1e-3f);
    Run(1.1);
    EXPECT_FALSE(animation.Turning());
    EXPECT_NEAR(std::abs(animation.Orientation().Dot(target)), 1.0f, 1e-6f);
}

TEST_F(CubeAnimationTest, WaitsOnItsFaceWhileNoPictureIsReady) {
    Begin(1, 2, 1);
    loader.ready = false;
    Run(30.0);
    EXPECT_EQ(loader.switches, 0);
    EXPECT_EQ(animation.CurrentFace(), 0);
    EXPECT_LT(animation.PhaseTimer(), -2.0f);
    loader.ready = true;
    Run(kFrame);
    EXPECT_EQ(loader.switches, 1);
}

TEST_F(CubeAnimationTest, RightCompletesATurnOrSkipsTheShowing) {
    Begin(1, 4, 2);
    Run(4.2);
    ASSERT_TRUE(animation.Turning());
    const int target = animation.NextFace();
    EXPECT_TRUE(animation.Key('A', loader));
    Run(kFrame);
    EXPECT_FALSE(animation.Turning());
    EXPECT_EQ(animation.CurrentFace(), target);

    // While showing: the next switch comes on the next frame with a picture.
    const int switches = loader.switches;
    EXPECT_TRUE(animation.Key(0x27, loader));
    Run(kFrame);
    EXPECT_EQ(loader.switches, switches + 1);
}

TEST_F(CubeAnimationTest, LeftTwiceReturnsToTheSameFace) {
    Begin(1, 1, 1);
    Run(2.5);  // one switch done
    Run(2.1);  // and another
    const int previous = animation.PreviousFace();
    ASSERT_NE(previous, animation.CurrentFace());
    const int requests = loader.requests;
    EXPECT_TRUE(animation.Key('Z', loader));
    EXPECT_EQ(animation.CurrentFace(), previous);
    EXPECT_EQ(loader.requests, requests + 1);
    EXPECT_TRUE(animation.Key(0x25, loader));
    EXPECT_EQ(animation.CurrentFace(), previous);
    EXPECT_NEAR(std::abs(animation.Orientation().Dot(FaceOrientation(previous))), 1.0f, 1e-6f);
}

TEST_F(CubeAnimationTest, ZoomingStaysInRangeAndHoldsForS) {
    Begin(5, 3, 1);
    EXPECT_FLOAT_EQ(animation.Depth(), -150.0f);
    float lowest = 0, highest = -1000, fastest = 0;
    double held_since = -1, longest_hold = 0;
    int turnarounds_far = 0;
    float previous_speed = 0;
    for (int i = 0; i < 6000; ++i) {  // 60 s
        animation.Advance(kFrame, loader);
        clock += kFrame;
        lowest = std::min(lowest, animation.Depth());
        highest = std::max(highest, animation.Depth());
        fastest = std::max(fastest, std::abs(animation.ZoomSpeed()));
        if (animation.Depth() == 35.0f) {
            if (held_since < 0) held_since = clock;
            longest_hold = std::max(longest_hold, clock - held_since);
        } else {
            held_since = -1;
        }
        if (previous_speed < 0 && animation.ZoomSpeed() >= 0) ++turnarounds_far;
        previous_speed = animation.ZoomSpeed();
    }
    EXPECT_LE(fastest, 50.0f);
    EXPECT_EQ(fastest, 50.0f);  // the limit is reached on the long way
    EXPECT_NEAR(highest, 35.0f, 0.01f);  // one frame of creep after the hold
    EXPECT_LT(lowest, -150.0f);  // it overshoots the far end before turning
    EXPECT_NEAR(longest_hold, 3.0, 0.05);
    EXPECT_GE(turnarounds_far, 1);
}

TEST_F(CubeAnimationTest, FixedStylesDoNotMove) {
    Begin(0, 4, 2);
    Run(10.0);
    EXPECT_FLOAT_EQ(animation.Depth(), 38.0f);
    EXPECT_FALSE(animation.Bouncing());
    Begin(4, 4, 2);
    EXPECT_FLOAT_EQ(animation.Depth(), 5.0f);
}

TEST_F(CubeAnimationTest, BounceReversesOnlyPastItsLimits) {
    Begin(6, 4, 2);
    ASSERT_TRUE(animation.Bouncing());
    Vec3 v = animation.BounceVelocity();
    EXPECT_GE(v.x, 5.0f);
    EXPECT_LE(v.x, 10.0f);
    int reversals = 0;
    for (int i = 0; i < 6000; ++i) {
        const Vec3 before = animation.BounceVelocity();
        animation.Advance(kFrame, loader);
        const Vec3 after = animation.BounceVelocity();
        const Vec3 p = animation.Bounce();
        if ((before.x > 0) != (after.x > 0)) {
            ++reversals;
            EXPECT_GT(std::abs(p.x), 25.0f);
        }
        if ((before.y > 0) != (after.y > 0)) {
            EXPECT_GT(std::abs(p.y), 19.0f);
        }
        EXPECT_GE(std::abs(after.x), 5.0f);
        EXPECT_LE(std::abs(after.x), 10.0f);
        EXPECT_LE(std::abs(p.x), 25.0f + 10.0f * kFrame + 1e-3f);
    }
    EXPECT_GE(reversals, 4);
}

TEST_F(CubeAnimationTest, SpinReturnsToRestAndASecondSpinReplacesTheFirst) {
    Begin(1, 4, 2);
    EXPECT_TRUE(animation.Key('S', loader));
    const Vec3 first = animation.SpinOffset();
    EXPECT_NE(first.x, 0.0f);
    Run(0.5);
    EXPECT_TRUE(animation.Key(0x26, loader));
    const Vec3 second = animation.SpinOffset();
    EXPECT_NE(second.x, first.x);
    Run(30.0);
    EXPECT_EQ(animation.SpinOffset().x, 0.0f);
    EXPECT_EQ(animation.SpinOffset().y, 0.0f);
    EXPECT_EQ(animation.SpinOffset().z, 0.0f);
    Run(5.0);
    EXPECT_EQ(animation.SpinOffset().x, 0.0f);  // and stays there
}

TEST_F(CubeAnimationTest, PauseFreezesThePhase) {
    Begin(5, 4, 2);
    Run(2.0);
    const float t = animation.PhaseTimer();
    const float z = animation.Depth();
    EXPECT_TRUE(animation.Key('P', loader));
    Run(10.0);
    EXPECT_EQ(animation.PhaseTimer(), t);
    EXPECT_EQ(animation.Depth(), z);
    EXPECT_EQ(loader.switches, 0);
    EXPECT_TRUE(animation.Key(0x28, loader));
    Run(kFrame);
    EXPECT_NEAR(animation.PhaseTimer(), t - kFrame, 1e-5f);
}

TEST_F(CubeAnimationTest, OtherKeysAreNotCommandsAndShowLengthZeroCountsAsOne) {
    EXPECT_FALSE(animation.Key('Q', loader));
    EXPECT_FALSE(animation.Key(0x1B, loader));
    settings.show_picture_length = 0;
    animation.Configure(settings);
    EXPECT_EQ(settings.show_picture_length, 1);
    EXPECT_FLOAT_EQ(animation.ShowLength(), 1.0f);
}

TEST_F(CubeAnimationTest, LoaderPriorityFollowsFrameTime) {
    Begin(1, 4, 2);
    animation.Advance(0.2f, loader);
    EXPECT_EQ(loader.priority, LoaderPriority::Lowest);
    animation.Advance(0.05f, loader);
    EXPECT_EQ(loader.priority, LoaderPriority::BelowNormal);
    animation.Advance(0.016f, loader);
    EXPECT_EQ(loader.priority, LoaderPriority::Normal);
    // A long dt after a rest is no sign of a busy machine.
    animation.Advance(2.0f, loader, true);
    EXPECT_EQ(loader.priority, LoaderPriority::Normal);
}

// Whatever the style, a rest the animation announces holds: the cube does not
// move and no turn starts before it ends, and the resting styles do rest.
TEST_F(CubeAnimationTest, TheCubeStaysPutForTheRestItAnnounces) {
    const Matrix4 view = Matrix4::Translation(0, 0, -100);
    for (int style = 0; style < 8; ++style) {
        Begin(style, 3, 1);
        clock = 0;
        double rest_until = -1, rested = 0;
        Matrix4 resting_model;
        int resting_switches = 0;
        for (int i = 0; i < 2000; ++i) {  // 20 s
            if (i == 700) {  // a key ends any rest; the spin has to come back first
                animation.Key('S', loader);
                rest_until = -1;
            }
            animation.Advance(kFrame, loader);
            clock += kFrame;
            if (clock < rest_until - 1e-4) {
                ASSERT_TRUE(animation.ModelMatrix(view) == resting_model) << "style " << style << " at " << clock;
                ASSERT_EQ(loader.switches, resting_switches) << "style " << style << " at " << clock;
                continue;
            }
            const float rest = animation.SecondsAtRest();
            ASSERT_GE(rest, 0.0f);
            if (rest > kFrame) {
                rest_until = clock + rest;
                rested += rest;
                resting_model = animation.ModelMatrix(view);
                resting_switches = loader.switches;
            }
        }
        const bool moves_all_the_time = style == 6 || style == 7;
        if (moves_all_the_time) {
            EXPECT_EQ(rested, 0.0) << "style " << style;
        } else {
            // Three of every four seconds, less the spin's return; the zoom only while it holds.
            EXPECT_GT(rested, style == 5 ? 2.0 : 10.0) << "style " << style;
        }
    }
    animation.Key('P', loader);
    EXPECT_TRUE(std::isinf(animation.SecondsAtRest()));
}

TEST(FaceOrientation, EachFaceMeshTurnsTowardTheViewer) {
    // Face 4 (front) needs no turn; the others are quarter or half turns.
    EXPECT_NEAR(FaceOrientation(4).w, 1.0f, 1e-6f);
    for (int i = 0; i < kCubeFaces; ++i) EXPECT_NEAR(FaceOrientation(i).Length(), 1.0f, 1e-6f);
    // The bottom face's outward normal (0, -1, 0) ends up facing +z.
    const Vec3 n = FaceOrientation(0).Rotate({0, -1, 0});
    EXPECT_NEAR(n.z, 1.0f, 1e-5f);
    const Vec3 top = FaceOrientation(3).Rotate({0, 1, 0});
    EXPECT_NEAR(top.z, 1.0f, 1e-5f);
    const Vec3 right = FaceOrientation(5).Rotate({1, 0, 0});
    EXPECT_NEAR(right.z, 1.0f, 1e-5f);
}

TEST(StaggeredTurns, CubesSideBySideTurnAtTheirOwnMoments) {
    std::vector<float> leads = {0.0f};
    for (int position = 1; position <= 5; ++position) {
        const float lead = StaggeredTurnLead(position, 4.0f);
        EXPECT_GE(lead, 0.0f);
        EXPECT_LT(lead, 4.0f);
        for (float other : leads) EXPECT_GT(std::abs(lead - other), 0.2f) << position;
        leads.push_back(lead);
    }
    EXPECT_EQ(StaggeredTurnLead(0, 4.0f), 0.0f);
}


}  // namespace
}  // namespace cs

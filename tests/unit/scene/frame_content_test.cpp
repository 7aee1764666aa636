// Whether a frame is drawn: the cube and its overlays frame after frame, as
// the scene puts them together, against the frame last drawn.
#include "scene/frame_content.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "base/random.h"

namespace cs {
namespace {

constexpr unsigned kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28;
constexpr float kFrame = 1.0f / 60.0f;

class ReadyLoader final : public CubeAnimationHost {
public:
    bool ready = true;
    std::uint64_t switches = 0;
    bool PictureReady() override { return ready; }
    void TakePendingPicture(int) override { ++switches; }
    void RequestNextPicture() override {}
    void SetLoaderPriority(LoaderPriority) override {}
};

// The scene's side: advances the cube, puts the frame's content together
// and keeps the one last drawn.
class Screen {
public:
    // 20 s showing, so that a cube at rest stays at rest for the row.
    explicit Screen(int style) {
        SeedRandom(7);
        CubeSettings settings;
        settings.cube_style = style;
        settings.show_picture_length = 20;
        settings.rotation_length = 2;
        animation.Configure(settings);
        animation.SetStarted(true);
    }

    bool Frame() {
        animation.Advance(kFrame, loader);
        FrameContent content = AnimationContent(animation, Matrix4::Translation(0, 0, -50));
        content.pictures_received = loader.switches;
        content.repaints = repaints;
        content.frame_rate_shown = frame_rate;
        content.clock = clock;
        const bool drawn = FrameChanges(on_screen, content);
        if (drawn) on_screen = content;
        return drawn;
    }
    void Run(double seconds) {
        for (int i = 0; i < std::lround(seconds / kFrame); ++i) Frame();
    }
    void Key(unsigned key) { animation.Key(key, loader); }
    // Runs until the next frame is the one that switches faces.
    void RunToTheSwitch() {
        while (animation.PhaseTimer() - kFrame > -animation.ShowLength()) Frame();
    }

    CubeAnimation animation;
    ReadyLoader loader;
    std::optional<FrameContent> on_screen;
    std::uint64_t repaints = 0;
    bool frame_rate = false;
    std::optional<LocalDateTime> clock;
};

LocalDateTime At(const char* time) { return {"1 May 2024", time, 0}; }

struct Row {
    const char* situation;
    int style;
    std::function<void(Screen&)> before;  // what happens before the frame in question
    bool drawn;
};

TEST(FrameChanges, DrawsOnlyWhatChanged) {
    const auto rest = [](Screen& s) { s.Run(1.0); };
    const Row rows[] = {
        {"huge cube at rest", 0, rest, false},
        {"large cube at rest", 1, rest, false},
        {"medium cube at rest", 2, rest, false},
        {"small cube at rest", 3, rest, false},
        {"tiny cube at rest", 4, rest, false},
        {"a stored style outside the list, at rest", 42, rest, false},
        {"zooming cube on its way in", 5, rest, true},
        {"zooming cube held at the near end", 5, [](Screen& s) { s.Run(8.0); }, false},
        {"bouncing cube", 6, rest, true},
        {"big bouncing cube", 7, rest, true},
        {"the very first frame", 1, [](Screen&) {}, true},
        {"the frame that switches faces", 1, [](Screen& s) { s.RunToTheSwitch(); }, true},
        {"the turn", 1, [](Screen& s) { s.Run(21.0); }, true},
        {"the last frame of the turn, landing on the face", 1, [](Screen& s) { s.Run(22.0 - kFrame); }, true},
        {"at rest again after the turn", 1, [](Screen& s) { s.Run(23.0); }, false},
        {"waiting past the showing period for a picture", 1,
         [](Screen& s) {
             s.loader.ready = false;
             s.Run(21.0);
         },
         false},
        {"next picture (A) at rest", 1, [](Screen& s) { s.Run(1.0), s.Key('A'); }, true},
        {"next picture (Right) at rest, none ready", 1,
         [](Screen& s) {
             s.loader.ready = false;
             s.Run(1.0), s.Key(kRight);
         },
         false},
        {"previous picture (Z) after a turn", 1, [](Screen& s) { s.Run(23.0), s.Key('Z'); }, true},
        {"previous picture (Left) with none before", 1, [](Screen& s) { s.Run(1.0), s.Key(kLeft); }, false},
        {"spin (S)", 1, [](Screen& s) { s.Run(1.0), s.Key('S'); }, true},
        {"the spin returning (Up)", 1, [](Screen& s) { s.Run(1.0), s.Key(kUp), s.Run(0.5); }, true},
        {"the spin back at rest", 1, [](Screen& s) { s.Run(1.0), s.Key('S'), s.Run(15.0); }, false},
        {"pause (P)", 1, [](Screen& s) { s.Run(1.0), s.Key('P'); }, true},
        {"paused", 1, [](Screen& s) { s.Key('P'), s.Run(1.0); }, false},
        {"paused during a turn", 1, [](Screen& s) { s.Run(21.0), s.Key('P'), s.Run(0.5); }, false},
        {"paused, bouncing", 6, [](Screen& s) { s.Key('P'), s.Run(1.0); }, false},
        {"resume (Down)", 1, [](Screen& s) { s.Key(kDown), s.Run(1.0), s.Key(kDown); }, true},
        {"date and time, same second", 1,
         [](Screen& s) {
             s.clock = At("12:00:01");
             s.Run(0.5);
         },
         false},
        {"date and time, the next second", 1,
         [](Screen& s) {
             s.clock = At("12:00:01");
             s.Run(0.5);
             s.clock = At("12:00:02");
         },
         true},
        {"date and time, the texts not to be had", 1,
         [](Screen& s) {
             s.clock = At("12:00:01");
             s.Run(0.5);
             s.clock.reset();
         },
         true},
        {"frame rate", 1,
         [](Screen& s) {
             s.frame_rate = true;
             s.Run(1.0);
         },
         true},
        {"the display woke or the window was uncovered", 1,
         [](Screen& s) {
             s.Run(1.0);
             ++s.repaints;
         },
         true},
    };
    for (const Row& row : rows) {
        Screen screen(row.style);
        row.before(screen);
        EXPECT_EQ(screen.Frame(), row.drawn) << row.situation;
    }
}

}  // namespace
}  // namespace cs

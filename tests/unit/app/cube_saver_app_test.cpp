// The cube saver between the window and its scene: when the window has lost
// its picture, the scene is told to draw it again.
#include "app/cube_saver_app.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>


#include "app/process_state.h"
#include "base/status.h"

namespace cs {
namespace {

class RecordingScene final : public SaverScene {
public:
    // R for a repaint, F for a frame, B beside, K a key, S shut down; kept
    // elsewhere (log) for a scene that goes when it fails.
    std::string calls;
    std::string* log = &calls;
    int frame_result = status::kNothingToDo;
    int beside_result = 0;

    int Start(WindowHandle, bool, CubeSettings&, const GeneralSettings&, PathList, ListCompletion) override {
        return 0;
    }
    int Frame() override {
        *log += 'F';
        return frame_result;
    }
    int StartBeside(WindowHandle, SaverScene&, int position, CubeSettings&, const GeneralSettings&) override {
        *log += 'B' + std::to_string(position);
        return beside_result;
    }
    void Repaint() override { *log += 'R'; }
    int Shutdown() override {
        *log += 'S';
        return 0;
    }
    bool Key(unsigned) override {
        *log += 'K';
        return true;
    }
    void Resize(WindowHandle) override {}
};

TEST(CubeSaverApp, TheWindowLosingItsPictureMakesTheSceneDrawAgain) {
    RecordingScene scene;
    CubeSaverApp app({}, &scene);

    // An undrawn frame is reported as such to the main loop.
    EXPECT_EQ(app.RenderFrame(nullptr, nullptr), status::kNothingToDo);
    app.OnPaint(nullptr, nullptr);
    app.OnWindowReplaced(nullptr, nullptr);
    EXPECT_EQ(scene.calls, "FRR");

    // The display going idle and coming back: the next frame repaints, once.
    scene.calls.clear();
    app.SetDisplayIdle(true);
    app.SetDisplayIdle(false);
    app.RenderFrame(nullptr, nullptr);
    app.RenderFrame(nullptr, nullptr);
    EXPECT_EQ(scene.calls, "RFF");

    // Idle again without ever waking: nothing to repaint.
    scene.calls.clear();
    app.SetDisplayIdle(true);
    app.RenderFrame(nullptr, nullptr);
    EXPECT_EQ(scene.calls, "F");
}

// The other monitors' cubes: started only beside a running first cube and
// when the settings ask for them, drawn in the same pass, each repainted on
// its own, stopped alone when it fails and all before the first cube.
TEST(CubeSaverApp, OtherMonitorsGetCubesOfTheirOwn) {
    Process().mode = ScreenMode::Saver;
    RecordingScene first;
    std::vector<RecordingScene*> made;
    std::string logs[3];
    int next_beside_result = 0;
    CubeSaverApp app({}, &first, nullptr, [&] {
        auto scene = std::make_unique<RecordingScene>();
        scene->log = &logs[made.size()];
        scene->beside_result = next_beside_result;
        made.push_back(scene.get());
        return scene;
    });
    const auto one = reinterpret_cast<WindowHandle>(1), two = reinterpret_cast<WindowHandle>(2),
               three = reinterpret_cast<WindowHandle>(3);
    EXPECT_FALSE(app.StartMonitorCube(one));  // the first cube has not started
    app.StartScene(nullptr, nullptr);
    ASSERT_TRUE(app.StartMonitorCube(one));
    next_beside_result = status::kFail;  // no OpenGL there: the monitor stays black
    EXPECT_FALSE(app.StartMonitorCube(two));
    EXPECT_FALSE(app.HasMonitorCube(two));
    next_beside_result = 0;
    ASSERT_TRUE(app.StartMonitorCube(three));
    EXPECT_EQ(logs[0], "B1");
    EXPECT_EQ(logs[1], "B2S");
    EXPECT_EQ(logs[2], "B2");

    made[0]->frame_result = status::kOk;
    EXPECT_EQ(app.RenderFrame(nullptr, nullptr), status::kOk);  // one cube drew
    app.OnPaint(three, nullptr);
    app.PreWindowMessage(nullptr, 0x0100, 'P', 0);  // pause: every cube
    EXPECT_EQ(first.calls, "FK");
    EXPECT_EQ(logs[2], "B2FRK");

    made[2]->frame_result = -1;
    app.RenderFrame(nullptr, nullptr);
    EXPECT_FALSE(app.HasMonitorCube(three));
    EXPECT_TRUE(app.HasMonitorCube(one));
    app.StopScene(nullptr, nullptr);
    EXPECT_EQ(logs[0].back(), 'S');
    EXPECT_FALSE(app.HasMonitorCube(one));

    app.General().other_monitors = 0;
    app.StartScene(nullptr, nullptr);
    EXPECT_FALSE(app.StartMonitorCube(one));
    Process().mode = ScreenMode::Configure;
}

}  // namespace
}  // namespace cs

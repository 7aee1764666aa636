// The cube saver between the window and its scene: when the window has lost
// its picture, the scene is told to draw it again.
#include "app/cube_saver_app.h"

#include <gtest/gtest.h>

#include <string>

#include "base/status.h"

namespace cs {
namespace {

class RecordingScene final : public SaverScene {
public:
    std::string calls;  // R for a repaint, F for a frame
    int frame_result = status::kNothingToDo;

    int Start(WindowHandle, bool, CubeSettings&, const GeneralSettings&, PathList, ListCompletion) override {
        return 0;
    }
    int Frame() override {
        calls += 'F';
        return frame_result;
    }
    void Repaint() override { calls += 'R'; }
    int Shutdown() override { return 0; }
    bool Key(unsigned) override { return false; }
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

}  // namespace
}  // namespace cs

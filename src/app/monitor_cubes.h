#pragma once
// The cubes of the monitors besides the primary one: each in a window of its
// own over its monitor, each with its own scene, all dealing pictures from
// the first cube's list and all drawn by the one main loop. A monitor whose
// cube cannot start keeps its window black; the others carry on.
#include <functional>
#include <memory>
#include <vector>

#include "base/platform_handles.h"
#include "config/settings.h"
#include "scene/saver_scene.h"

namespace cs {

class MonitorCubes {
public:
    using SceneMaker = std::function<std::unique_ptr<SaverScene>()>;

    explicit MonitorCubes(SceneMaker make_scene = nullptr);
    ~MonitorCubes();
    MonitorCubes(const MonitorCubes&) = delete;
    MonitorCubes& operator=(const MonitorCubes&) = delete;

    // A cube on the window beside the first one; false when there is none to
    // make, it cannot start there, or the window already has one.
    bool Start(WindowHandle window, SaverScene& first, CubeSettings& cube, const GeneralSettings& general);
    // Before the window goes.
    void Stop(WindowHandle window);
    void StopAll();
    bool Has(WindowHandle window) const { return SceneOf(window) != nullptr; }
    // The cube drawing into that window; none for other windows.
    SaverScene* SceneOf(WindowHandle window) const;
    std::size_t Count() const { return cubes_.size(); }

    // One frame of every cube; a cube whose frame fails is stopped and its
    // monitor shows black. True when any cube drew.
    bool Frame();
    // The shortest rest of the cubes (infinity without any).
    double SecondsAtRest() const;
    void RepaintAll();
    // The scene's command keys act on every cube alike.
    void Key(unsigned virtual_key);

private:
    struct Cube {
        WindowHandle window;
        std::unique_ptr<SaverScene> scene;
    };
    SceneMaker make_scene_;
    std::vector<Cube> cubes_;
};

}  // namespace cs

#include "app/monitor_cubes.h"

#include <algorithm>
#include <limits>
#include <new>

#include "base/status.h"

namespace cs {

MonitorCubes::MonitorCubes(SceneMaker make_scene) : make_scene_(std::move(make_scene)) {}

MonitorCubes::~MonitorCubes() { StopAll(); }

bool MonitorCubes::Start(WindowHandle window, SaverScene& first, CubeSettings& cube, const GeneralSettings& general) {
    if (!make_scene_ || !window || Has(window)) return false;
    try {
        std::unique_ptr<SaverScene> scene = make_scene_();
        if (!scene) return false;
        const int position = static_cast<int>(cubes_.size()) + 1;
        if (scene->StartBeside(window, first, position, cube, general) < 0) {
            scene->Shutdown();
            return false;
        }
        cubes_.push_back({window, std::move(scene)});
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void MonitorCubes::Stop(WindowHandle window) {
    const auto it = std::find_if(cubes_.begin(), cubes_.end(), [&](const Cube& c) { return c.window == window; });
    if (it == cubes_.end()) return;
    it->scene->Shutdown();
    cubes_.erase(it);
}

void MonitorCubes::StopAll() {
    for (Cube& cube : cubes_) cube.scene->Shutdown();
    cubes_.clear();
}

SaverScene* MonitorCubes::SceneOf(WindowHandle window) const {
    for (const Cube& cube : cubes_)
        if (cube.window == window) return cube.scene.get();
    return nullptr;
}

bool MonitorCubes::Frame() {
    bool drew = false;
    for (std::size_t i = 0; i < cubes_.size();) {
        const int result = cubes_[i].scene->Frame();
        if (result < 0) {
            cubes_[i].scene->Shutdown();
            cubes_.erase(cubes_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        drew = drew || result != status::kNothingToDo;
        ++i;
    }
    return drew;
}

double MonitorCubes::SecondsAtRest() const {
    double rest = std::numeric_limits<double>::infinity();
    for (const Cube& cube : cubes_) rest = std::min(rest, cube.scene->SecondsAtRest());
    return rest;
}

void MonitorCubes::RepaintAll() {
    for (Cube& cube : cubes_) cube.scene->Repaint();
}

void MonitorCubes::Key(unsigned virtual_key) {
    for (Cube& cube : cubes_) cube.scene->Key(virtual_key);
}

}  // namespace cs

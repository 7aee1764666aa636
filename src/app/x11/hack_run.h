#pragma once
// The Linux program's main loop: X events first, then a frame when one is
// due, paced as on Windows.
#include "app/x11/termination_signal.h"
#include "config/settings.h"
#include "scene/saver_scene.h"

namespace cs {

class XDisplay;

// Runs until a termination signal, Escape or q in a window of our own, or
// the end of the window. The program's exit status: 0 for each of those,
// 1 for an X error while the window is still there.
int RunHack(XDisplay& display, SaverScene& scene, const GeneralSettings& general, const TerminationSignal& signal);

}  // namespace cs

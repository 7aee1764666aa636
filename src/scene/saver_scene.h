#pragma once
// What the cube saver asks of its scene; the Windows build supplies the
// OpenGL cube, tests may supply their own.
#include "library/list_completion.h"
#include "library/path_list.h"
#include "base/platform_handles.h"
#include "config/settings.h"

namespace cs {

class SaverScene {
public:
    virtual ~SaverScene() = default;
    // Takes the picture list (built from the settings, at least as far as
    // its first picture) for its loader, with what the list still needs.
    // Negative when the scene cannot run.
    virtual int Start(WindowHandle window, bool preview, CubeSettings& cube, const GeneralSettings& general,
                      PathList pictures, ListCompletion completion) = 0;
    // Starts a scene on another monitor's window beside a started one,
    // dealing from its picture list; it shows the pictures' names but
    // neither the date and time nor the frame rate. `position` counts the
    // cubes beside the first from 1: each turns at its own moments.
    // Negative when it cannot run there (no OpenGL context, another kind of
    // scene).
    virtual int StartBeside(WindowHandle window, SaverScene& first, int position, CubeSettings& cube,
                            const GeneralSettings& general) {
        return -1;
    }
    // Negative ends the main loop; status::kNothingToDo when the frame
    // would have been the one on the screen and was not drawn.
    virtual int Frame() = 0;
    // After a frame that drew nothing: how many seconds the following frames
    // would draw nothing and have no work to do either, unless a window
    // message (a key, a repaint) comes first. 0: frames as usual.
    virtual double SecondsAtRest() const { return 0.0; }
    // The window lost its picture (uncovered, restored, replaced, or the
    // display woke): the next frame draws whether or not anything moved.
    virtual void Repaint() = 0;
    virtual int Shutdown() = 0;
    // A key-down; true when it was one of the scene's commands.
    virtual bool Key(unsigned virtual_key) = 0;
    virtual void Resize(WindowHandle window) = 0;
};

}  // namespace cs

#include "app/x11/hack_run.h"

#include <cstdio>

#include "app/x11/key_commands.h"
#include "base/status.h"
#include "timing/frame_log.h"
#include "timing/frame_pacing.h"
#include "timing/posix/poll_waiter.h"
// Last: X's macros.
#include "app/x11/x_display.h"

#include <X11/Xutil.h>

namespace cs {
namespace {

enum class Outcome { Continue, End };

Outcome HandleEvent(XDisplay& display, SaverScene& scene, XEvent& event) {
    switch (event.type) {
    case ConfigureNotify: {
        const XConfigureEvent& configure = event.xconfigure;
        if (display.IsGiven(configure.window)) display.FollowGivenSize(configure.width, configure.height);
        if (display.IsDrawable(configure.window)) {
            display.DrawableResized(configure.width, configure.height);
            scene.Resize(display.Handle());
        }
        break;
    }
    case Expose:
    case MapNotify:
        scene.Repaint();
        break;
    case DestroyNotify:
        if (display.IsGiven(event.xdestroywindow.window) || display.IsDrawable(event.xdestroywindow.window))
            return Outcome::End;
        break;
    case KeyPress: {
        if (!display.OwnWindow()) break;
        const KeySym symbol = XLookupKeysym(&event.xkey, 0);
        if (EndsProgram(symbol)) return Outcome::End;
        if (const unsigned key = SceneKeyFor(symbol)) scene.Key(key);
        break;
    }
    case ClientMessage:
        if (display.OwnWindow() && static_cast<Atom>(event.xclient.data.l[0]) == display.DeleteWindowAtom())
            return Outcome::End;
        break;
    default:
        break;
    }
    return Outcome::Continue;
}

}  // namespace

int RunHack(XDisplay& display, SaverScene& scene, const GeneralSettings& general, const TerminationSignal& signal) {
    Display* connection = display.Connection();
    FrameLog& frame_log = Frames();
    FramePacer pacer;
    PollWaiter waiter({display.ConnectionDescriptor(), signal.Descriptor()},
                      [connection] { return XPending(connection) > 0; });
    bool drawing = true;  // whether the last frame drew, and so the next will

    for (;;) {
        if (signal.Raised()) break;
        // A window that went away under us shows as an X error (or its
        // destroy event): the program ends quietly. Other errors are told.
        if (XErrorsSeen()) {
            if (display.WindowGone()) break;
            std::fprintf(stderr, "cubesaver: X error: %s\n", FirstXError().c_str());
            return 1;
        }
        if (XPending(connection) > 0) {
            XEvent event;
            XNextEvent(connection, &event);
            if (HandleEvent(display, scene, event) == Outcome::End) break;
            continue;
        }
        // News during the wait is handled first; the frame stays due.
        if (pacer.WaitUntilDue(FrameInterval(general.target_framerate), drawing, waiter) != FrameWait::Due) continue;
        pacer.FrameStarts();
        frame_log.FrameStart();
        const int rendered = scene.Frame();
        drawing = rendered != status::kNothingToDo;
        frame_log.FrameEnd(drawing);
        if (rendered < 0) break;
        if (!drawing) pacer.RestFor(scene.SecondsAtRest());
    }
    return 0;
}

}  // namespace cs

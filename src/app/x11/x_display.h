#pragma once
// The program's X connection, the window it draws on and the events it
// follows. Where XScreenSaver (or the user) gives a window, the cube is
// drawn on it when its visual suits OpenGL, otherwise on a child window of
// our own that covers it and follows its size.
#include <cstdint>
#include <string>

#include "app/hack_options.h"
#include "base/platform_handles.h"
// Last: X's headers define macros (None, Status, Bool) that clash with
// names elsewhere.
#include "scene/glx/x_window.h"

namespace cs {

class XDisplay {
public:
    XDisplay() = default;
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Connects and prepares the window the options ask for. False, with a
    // message for the user, when there is no display or no such window.
    bool Open(const HackOptions& options, std::string& error);
    // Maps a window of our own; the cube is ready to be drawn.
    void Show();

    Display* Connection() const { return record_.display; }
    int ConnectionDescriptor() const;
    WindowHandle Handle() { return &record_; }
    // A window of our own, where the command keys work.
    bool OwnWindow() const { return own_window_; }
    bool IsDrawable(Window window) const { return window == record_.window; }
    bool IsGiven(Window window) const { return window == given_; }
    // The given window changed size: a child of ours follows it.
    void FollowGivenSize(int width, int height);
    // The window we draw on changed size.
    void DrawableResized(int width, int height);

    Atom DeleteWindowAtom() const { return delete_window_; }

    // After an X error: whether the window we draw on (or the one it lives
    // in) is gone, which ends the program quietly; any other error is
    // reported.
    bool WindowGone();

private:
    bool OpenGiven(Window window, std::string& error);
    bool OpenOwn(std::string& error);
    bool ChooseGlVisual(int screen, XVisualInfo& visual) const;

    HWND__ record_;
    Window given_ = 0;      // the window XScreenSaver or the user gave; 0 for our own
    bool own_window_ = false;
    bool child_ = false;    // record_.window is a child we made inside given_
    Colormap colormap_ = 0;
    Atom delete_window_ = 0;
};

// Whether the server sent an X error since the program started (a window
// that goes away under the program shows up as one), and the first one's
// text.
bool XErrorsSeen();
std::string FirstXError();

}  // namespace cs

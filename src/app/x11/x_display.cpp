#include "app/x11/x_display.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <algorithm>
#include <optional>

namespace cs {
namespace {

constexpr int kOwnWindowWidth = 800;
constexpr int kOwnWindowHeight = 600;
constexpr char kWindowTitle[] = "Cube Saver";

// Set by the error handler. Xlib calls it on the thread that made the
// failing request's round trip: the main thread, the only one that talks
// to the server.
bool g_errors_seen = false;
char g_first_error[160] = "";

int NoteXError(Display* display, XErrorEvent* error) {
    if (!g_errors_seen) XGetErrorText(display, error->error_code, g_first_error, sizeof g_first_error);
    g_errors_seen = true;
    return 0;
}

// The server is gone (XScreenSaver's display ended, or the connection
// broke): nothing is left to draw on, and nothing to report.
int EndOnLostConnection(Display*) { _exit(0); }

bool SuitsOpenGl(Display* display, XVisualInfo& visual) {
    int value = 0;
    const auto has = [&](int attribute) { return glXGetConfig(display, &visual, attribute, &value) == 0 && value; };
    if (!has(GLX_USE_GL) || !has(GLX_RGBA) || !has(GLX_DOUBLEBUFFER)) return false;
    return glXGetConfig(display, &visual, GLX_DEPTH_SIZE, &value) == 0 && value >= 16;
}

std::string WindowNumber(Window window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(window));
    return text;
}

}  // namespace

bool XErrorsSeen() { return g_errors_seen; }

std::string FirstXError() { return g_first_error; }

bool XDisplay::WindowGone() {
    Display* display = record_.display;
    const bool errors_before = g_errors_seen;
    XSync(display, False);
    g_errors_seen = false;
    XWindowAttributes attributes{};
    bool gone = !XGetWindowAttributes(display, record_.window, &attributes);
    if (given_ && given_ != record_.window) gone = gone || !XGetWindowAttributes(display, given_, &attributes);
    XSync(display, False);
    gone = gone || g_errors_seen;
    g_errors_seen = errors_before || g_errors_seen;
    return gone;
}

XDisplay::~XDisplay() {
    Display* display = record_.display;
    if (!display) return;
    if ((own_window_ || child_) && record_.window) XDestroyWindow(display, record_.window);
    if (colormap_) XFreeColormap(display, colormap_);
    XCloseDisplay(display);
}

int XDisplay::ConnectionDescriptor() const { return ConnectionNumber(record_.display); }

bool XDisplay::ChooseGlVisual(int screen, XVisualInfo& visual) const {
    constexpr int kDepths[] = {24, 16};
    for (int depth : kDepths) {
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                            GLX_DEPTH_SIZE, depth, None};
        if (XVisualInfo* found = glXChooseVisual(record_.display, screen, attributes)) {
            visual = *found;
            XFree(found);
            return true;
        }
    }
    return false;
}

bool XDisplay::Open(const HackOptions& options, std::string& error) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        error = std::string("cannot open the display '") + (name ? name : "") + "'";
        return false;
    }
    record_.display = display;
    XSetErrorHandler(NoteXError);
    XSetIOErrorHandler(EndOnLostConnection);
    int error_base = 0, event_base = 0;
    if (!glXQueryExtension(display, &error_base, &event_base)) {
        error = "the display has no OpenGL (GLX) extension";
        return false;
    }

    // XScreenSaver runs its hacks with -root and names the window they are
    // to use in XSCREENSAVER_WINDOW: that is the root they mean.
    const char* variable = std::getenv("XSCREENSAVER_WINDOW");
    std::optional<std::uint32_t> from_environment;
    if (variable && *variable && (options.target == HackTarget::Unspecified || options.target == HackTarget::Root)) {
        from_environment = ParseWindowId(variable);
        if (!from_environment) {
            error = std::string("XSCREENSAVER_WINDOW is '") + variable + "', not a window number";
            return false;
        }
    }
    switch (options.target) {
    case HackTarget::WindowId:
        return OpenGiven(options.window_id, error);
    case HackTarget::Root:
        return OpenGiven(from_environment ? *from_environment : DefaultRootWindow(display), error);
    case HackTarget::Unspecified:
        if (from_environment) return OpenGiven(*from_environment, error);
        [[fallthrough]];
    case HackTarget::OwnWindow:
        break;
    }
    return OpenOwn(error);
}

bool XDisplay::OpenGiven(Window window, std::string& error) {
    Display* display = record_.display;
    XWindowAttributes attributes{};
    // A window number that names nothing is the user's mistake: ask in a
    // round trip of its own and tell.
    XSync(display, False);
    g_errors_seen = false;
    const Status got = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    if (!got || g_errors_seen) {
        error = "there is no window " + WindowNumber(window);
        return false;
    }
    given_ = window;
    record_.width = attributes.width;
    record_.height = attributes.height;
    // Its size, and its end, are followed.
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);

    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* own = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
    const bool suits = own && count > 0 && SuitsOpenGl(display, *own);
    if (suits) {
        record_.window = window;
        record_.visual = *own;
    }
    if (own) XFree(own);
    if (suits) return true;

    if (!ChooseGlVisual(wanted.screen, record_.visual)) {
        error = "the display offers no OpenGL visual with double buffering";
        return false;
    }
    colormap_ = XCreateColormap(display, window, record_.visual.visual, AllocNone);
    XSetWindowAttributes set{};
    set.colormap = colormap_;
    set.background_pixel = BlackPixel(display, wanted.screen);
    set.border_pixel = 0;
    // On the real root a window manager must leave it alone.
    set.override_redirect = True;
    record_.window = XCreateWindow(display, window, 0, 0, static_cast<unsigned>(std::max(1, record_.width)),
                                   static_cast<unsigned>(std::max(1, record_.height)), 0, record_.visual.depth,
                                   InputOutput, record_.visual.visual,
                                   CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect, &set);
    child_ = true;
    XSelectInput(display, record_.window, StructureNotifyMask | ExposureMask);
    XMapRaised(display, record_.window);
    return true;
}

bool XDisplay::OpenOwn(std::string& error) {
    Display* display = record_.display;
    const int screen = DefaultScreen(display);
    if (!ChooseGlVisual(screen, record_.visual)) {
        error = "the display offers no OpenGL visual with double buffering";
        return false;
    }
    const Window root = RootWindow(display, screen);
    colormap_ = XCreateColormap(display, root, record_.visual.visual, AllocNone);
    XSetWindowAttributes set{};
    set.colormap = colormap_;
    set.background_pixel = BlackPixel(display, screen);
    set.border_pixel = 0;
    set.event_mask = StructureNotifyMask | ExposureMask | KeyPressMask;
    record_.width = kOwnWindowWidth;
    record_.height = kOwnWindowHeight;
    record_.window = XCreateWindow(display, root, 0, 0, kOwnWindowWidth, kOwnWindowHeight, 0, record_.visual.depth,
                                   InputOutput, record_.visual.visual,
                                   CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &set);
    own_window_ = true;
    XStoreName(display, record_.window, kWindowTitle);
    XClassHint hint{};
    char name[] = "cubesaver";
    char class_name[] = "CubeSaver";
    hint.res_name = name;
    hint.res_class = class_name;
    XSetClassHint(display, record_.window, &hint);
    delete_window_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, record_.window, &delete_window_, 1);
    return true;
}

void XDisplay::Show() {
    if (own_window_) XMapRaised(record_.display, record_.window);
    XFlush(record_.display);
}

void XDisplay::FollowGivenSize(int width, int height) {
    if (!child_) return;
    XResizeWindow(record_.display, record_.window, static_cast<unsigned>(std::max(1, width)),
                  static_cast<unsigned>(std::max(1, height)));
}

void XDisplay::DrawableResized(int width, int height) {
    record_.width = width;
    record_.height = height;
}

}  // namespace cs

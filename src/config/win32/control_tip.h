#pragma once
// Tool tips on dialog controls, and the context help that shows a control's
// tip at once when the user asks for help on it (F1 or the caption's "?").
#include <windows.h>

namespace cs {

// Gives the control a tip of up to 300 pixels' width that stays 30 s.
// Answers the tool tip window, or null when it could not be made.
HWND ShowControlTip(HWND control, const char* text);

// The tip window attached to a control, or null.
HWND ControlTipOf(HWND control);

// Handles WM_HELP for a dialog: a control with a tip shows it at once until
// the mouse leaves that control or a key is pressed. Answers whether the
// request was for a control with a tip.
bool ShowContextHelp(const HELPINFO& help);

// To be called from WM_SETCURSOR of the dialog and its pages: the mouse is
// over `window`; leaving the control of the context help ends it.
void TrackContextHelp(HWND window);

}  // namespace cs

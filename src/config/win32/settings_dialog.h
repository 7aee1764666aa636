#pragma once
// The tabbed settings dialog of the configure mode. It edits the settings
// record in place; only OK has the record saved.
#include <windows.h>

#include <cstdint>
#include <string>

#include "config/settings.h"

namespace cs {

// What the dialog needs from the program around it: the record with its
// load, save and reset, the open counter, and the diagnostics of the About
// page.
class SettingsDialogHost {
public:
    virtual ~SettingsDialogHost() = default;
    virtual GeneralSettings& General() = 0;
    virtual CubeSettings& Cube() = 0;
    virtual void LoadAllSettings(HWND owner) = 0;
    virtual void SaveSettings(HWND owner) = 0;
    virtual void ResetDefaults(HWND owner, int group) = 0;
    // Reads the number of openings, adds one, stores it; answers the new count.
    virtual std::uint32_t CountOpening() = 0;
    virtual std::string VersionText() = 0;
    // The About page's diagnostics, and the check at some openings for the
    // slow software renderer; each shows its own messages.
    virtual void WarnIfSoftwareRenderer(HWND owner) = 0;
    virtual void ShowSystemInfo(HWND owner) = 0;
    virtual void EmailSupport(HWND owner) = 0;
};

// The modal dialog (template 106); IDOK or IDCANCEL.
INT_PTR RunSettingsDialog(HINSTANCE instance, HWND parent, SettingsDialogHost& host);

// The same dialog without its own message loop, for driving it from the
// caller's loop; OK and Cancel only hide it. The rest of the opening runs
// from a posted message. Destroy it with DestroyWindow.
HWND CreateSettingsDialog(HINSTANCE instance, HWND parent, SettingsDialogHost& host);

}  // namespace cs

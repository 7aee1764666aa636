#pragma once
// What the settings dialog and its pages share while the dialog is open.
// Internal to the dialog's files.
#include <windows.h>

#include <array>
#include <vector>

#include "config/dialog_rules.h"
#include "config/display_mode_lists.h"
#include "config/win32/settings_dialog.h"

namespace cs {

struct SettingsPage {
    HWND window = nullptr;
    std::array<char, 256> title{};
    int position = 0;  // in the tab strip
};

struct SettingsDialogContext {
    SettingsDialogHost* host = nullptr;
    HINSTANCE instance = nullptr;
    HWND dialog = nullptr;
    HWND tabs = nullptr;
    std::array<SettingsPage, kMaxSettingsPages> pages{};
    int page_count = 0;
    int current_page = 0;
    // The mode lists as shown, so a picked entry gives its numbers back.
    std::vector<DisplayModeInfo> display_modes;
    ModeList resolutions;
    DepthAndRefreshLists depth_and_refresh;
    bool modeless = false;
};

// The page with that title, or null.
HWND FindSettingsPage(const SettingsDialogContext& state, const char* title);
HWND PageWindow(const SettingsDialogContext& state, SettingsPageId page);

// Page side of the dialog (settings_pages.cpp).
INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
void AttachOptionsAndAboutTips(SettingsDialogContext& state);
void AttachListPageTips(SettingsDialogContext& state);
void FillCubeLists(SettingsDialogContext& state);
void FillOptionsLists(SettingsDialogContext& state);
void SetOptionsControls(SettingsDialogContext& state);
// The check boxes, number fields and lists of the Pictures, Cube Appearance
// and Music pages, from the record.
void SetListPageControls(SettingsDialogContext& state);
// The resolution, depth and refresh lists (and the record's display mode
// when no other resolution is asked for).
void FillDisplayModeLists(SettingsDialogContext& state);

// Platform side of the mode lists (display_modes.cpp).
std::vector<DisplayModeInfo> EnumerateDisplayModes();
DisplayModeInfo CurrentDisplayMode();

// The themed tab-page background where the theme library offers it.
void EnableTabPageTexture(HWND window);

}  // namespace cs

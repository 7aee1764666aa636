#include "config/win32/settings_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "base/version.h"
#include "config/win32/control_tip.h"
#include "config/win32/settings_dialog_context.h"
#include "config/win32/window_dpi.h"
#include "resource_ids.h"

namespace cs {
namespace {

// The rest of the opening runs once the dialog is on screen, so that the
// slow-renderer warning appears over it rather than before it.
constexpr UINT kFinishOpening = WM_APP + 1;
// Where the pages sit at 96 DPI; the tab strip around them grows with the
// dialog's DPI, and so does this offset.
constexpr int kPageX = 10;
constexpr int kPageY = 30;

constexpr int kPageTemplates[kSettingsPageCount] = {IDD_PAGE_PICTURES, IDD_PAGE_CUBE, IDD_PAGE_MUSIC,
                                                    IDD_PAGE_OPTIONS, IDD_PAGE_ABOUT};

SettingsDialogContext* StateOf(HWND dialog) {
    return reinterpret_cast<SettingsDialogContext*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void SetIcons(SettingsDialogContext& state) {
    const auto load = [&](int metric_x, int metric_y) {
        return static_cast<HICON>(LoadImageA(state.instance, MAKEINTRESOURCEA(IDI_CUBESAVER), IMAGE_ICON,
                                             GetSystemMetrics(metric_x), GetSystemMetrics(metric_y), LR_SHARED));
    };
    if (HICON big = load(SM_CXICON, SM_CYICON))
        SendMessageA(state.dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = load(SM_CXSMICON, SM_CYSMICON))
        SendMessageA(state.dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void AddPage(SettingsDialogContext& state, int template_id, const std::string& title) {
    if (state.page_count >= kMaxSettingsPages) return;
    HWND page = CreateDialogParamA(state.instance, MAKEINTRESOURCEA(template_id), state.dialog, SettingsPageProc,
                                   reinterpret_cast<LPARAM>(&state));
    if (!page) return;
    // New children go below the tab strip; pages must sit above it.
    SetWindowPos(page, HWND_TOP, ScaleForWindow(state.dialog, kPageX), ScaleForWindow(state.dialog, kPageY), 0, 0,
                 SWP_NOSIZE);
    EnableTabPageTexture(page);
    SettingsPage& entry = state.pages[state.page_count];
    entry.window = page;
    std::snprintf(entry.title.data(), entry.title.size(), "%s", title.c_str());
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = entry.title.data();
    const int count = static_cast<int>(SendMessageA(state.tabs, TCM_GETITEMCOUNT, 0, 0));
    entry.position = static_cast<int>(SendMessageA(state.tabs, TCM_INSERTITEMA, count, reinterpret_cast<LPARAM>(&item)));
    ShowWindow(page, state.page_count == 0 ? SW_SHOW : SW_HIDE);
    ++state.page_count;
}

void ShowPage(SettingsDialogContext& state, int position) {
    for (int i = 0; i < state.page_count; ++i) {
        if (state.pages[i].position != position) continue;
        if (state.current_page < state.page_count) ShowWindow(state.pages[state.current_page].window, SW_HIDE);
        ShowWindow(state.pages[i].window, SW_SHOW);
        state.current_page = i;
        return;
    }
}

std::string AboutText(const std::string& version) {
    return "Cube Saver " + version +
           "\r\nA photo screen saver that shows your own pictures on a turning cube.\r\n\r\n"
           "Copyright (C) Quillmark Graphics. All rights reserved.\r\n\r\n"
           "This copy is licensed for personal, non-commercial use only.\r\n\r\n"
           "Warning: this program is protected by copyright law. Unauthorised copying or distribution of "
           "this program, or of any part of it, is prohibited.";
}

void Initialise(SettingsDialogContext& state) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    state.tabs = GetDlgItem(state.dialog, IDC_SETTINGS_TABS);
    SetIcons(state);
    EnableTabPageTexture(state.tabs);
    for (int i = 0; i < kSettingsPageCount; ++i)
        AddPage(state, kPageTemplates[i], SettingsPageTitle(static_cast<SettingsPageId>(i)));
    SendMessageA(state.tabs, TCM_SETCURSEL, 0, 0);
    state.current_page = 0;
    PostMessageA(state.dialog, kFinishOpening, 0, 0);
}

void FinishOpening(SettingsDialogContext& state) {
    SettingsDialogHost& host = *state.host;
    AttachOptionsAndAboutTips(state);
    host.LoadAllSettings(state.dialog);
    FillOptionsLists(state);
    const std::uint32_t open_count = host.CountOpening();

    const std::string version = host.VersionText();
    SetWindowTextA(state.dialog, ("Cube Saver " + version + " Settings").c_str());
    if (HWND about = PageWindow(state, SettingsPageId::About))
        SetDlgItemTextA(about, IDC_ABOUT_TEXT, AboutText(version).c_str());
    char label[32];
    std::snprintf(label, sizeof label, "Version %s", CUBESAVER_VERSION_TEXT);
    SetDlgItemTextA(state.dialog, IDC_VERSION_LABEL, label);

    SetOptionsControls(state);
    FillDisplayModeLists(state);

    if (ShouldCheckRendererOnOpening(open_count)) host.WarnIfSoftwareRenderer(state.dialog);

    AttachListPageTips(state);
    FillCubeLists(state);
    SetListPageControls(state);
}

void Close(SettingsDialogContext& state, int result) {
    if (result == IDOK) state.host->SaveSettings(state.dialog);
    EndDialog(state.dialog, result);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* state = reinterpret_cast<SettingsDialogContext*>(lparam);
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        state->dialog = dialog;
        Initialise(*state);
        return TRUE;
    }
    SettingsDialogContext* state = StateOf(dialog);
    if (!state) return FALSE;
    switch (message) {
    case kFinishOpening:
        FinishOpening(*state);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->hwndFrom == state->tabs && header->code == TCN_SELCHANGE)
            ShowPage(*state, static_cast<int>(SendMessageA(state->tabs, TCM_GETCURSEL, 0, 0)));
        return FALSE;
    }
    case WM_HELP:
        ShowContextHelp(*reinterpret_cast<const HELPINFO*>(lparam));
        return TRUE;
    case WM_SETCURSOR:
        TrackContextHelp(reinterpret_cast<HWND>(wparam));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            Close(*state, LOWORD(wparam));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        Close(*state, IDCANCEL);
        return TRUE;
    case WM_NCDESTROY:
        if (state->modeless) delete state;
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

HWND FindSettingsPage(const SettingsDialogContext& state, const char* title) {
    for (int i = 0; i < state.page_count; ++i)
        if (std::strcmp(state.pages[i].title.data(), title) == 0) return state.pages[i].window;
    return nullptr;
}

HWND PageWindow(const SettingsDialogContext& state, SettingsPageId page) {
    return FindSettingsPage(state, SettingsPageTitle(page).c_str());
}

INT_PTR RunSettingsDialog(HINSTANCE instance, HWND parent, SettingsDialogHost& host) {
    SettingsDialogContext state;
    state.host = &host;
    state.instance = instance;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), parent, SettingsDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}

HWND CreateSettingsDialog(HINSTANCE instance, HWND parent, SettingsDialogHost& host) {
    auto* state = new SettingsDialogContext;
    state->host = &host;
    state->instance = instance;
    state->modeless = true;
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), parent, SettingsDialogProc,
                                     reinterpret_cast<LPARAM>(state));
    if (!dialog) delete state;
    return dialog;
}

}  // namespace cs

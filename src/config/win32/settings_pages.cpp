// The five pages of the settings dialog: every control writes its setting
// into the record the moment it changes.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <initializer_list>
#include <string>

#include "config/settings_defaults.h"
#include "config/win32/control_tip.h"
#include "config/win32/file_list_dialog.h"
#include "config/win32/settings_dialog_context.h"
#include "resource_ids.h"

namespace cs {
namespace {

// The two stored lists the list buttons open.
enum class ListKind { Pictures, Music };

// The list dialog writes the list itself; the settings record is untouched.
void OpenListEditor(HWND page, ListKind kind) {
    RunFileListDialog(page, kind == ListKind::Pictures ? PictureListSetup() : MusicListSetup());
}

constexpr const char* kCubeStyles[] = {"Huge cube", "Large cube", "Medium cube", "Small cube",
                                       "Tiny Cube", "Zooming",    "Bouncing",    "Bouncing Big"};
constexpr const char* kGlasses[] = {"Sky blue", "Silver chrome", "Disabled"};
constexpr const char* kBackgrounds[] = {"Solid color", "First picture in list", "Star field"};
constexpr const char* kFramerates[] = {"10 fps", "20 fps", "30 fps", "60 fps", "100 fps", "Infinite"};
// In the order of OtherMonitors.
constexpr const char* kOtherMonitors[] = {"Black", "A cube of their own"};

constexpr const char* kMaxTextureTip =
    "By default all images are scaled to 512x512.  Check this if you want images scaled to your graphics cards "
    "maximum texture size (usually this is 2048x2048 and higher).  Note this may cause performance problems.  To "
    "increase visual quality you can also increase the OpenGL rendering quality setting in the Advanced tab for "
    "most drivers.";

constexpr const char* kDefaultsTip = "Set the settings on this page back to their defaults.";

SettingsDialogContext* StateOf(HWND page) {
    return reinterpret_cast<SettingsDialogContext*>(GetWindowLongPtrA(page, DWLP_USER));
}

struct Tip {
    int control;
    const char* text;
};

void AttachTips(HWND page, std::initializer_list<Tip> tips) {
    if (!page) return;
    for (const Tip& tip : tips)
        if (HWND control = GetDlgItem(page, tip.control)) ShowControlTip(control, tip.text);
}

template <std::size_t N>
void FillList(HWND page, int control, const char* const (&entries)[N]) {
    HWND list = GetDlgItem(page, control);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const char* entry : entries) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

// A stored index the list does not have shows no entry; the record keeps it
// until the user picks one.
void SelectIndex(HWND page, int control, std::int32_t index) {
    HWND list = GetDlgItem(page, control);
    const auto count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    SendMessageA(list, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

void SetCheck(HWND page, int control, std::int32_t value) {
    CheckDlgButton(page, control, value ? BST_CHECKED : BST_UNCHECKED);
}

void SetNumberField(HWND page, int edit, int spin, std::int32_t value) {
    SendDlgItemMessageA(page, spin, UDM_SETRANGE32, kNumberFieldMin, kNumberFieldMax);
    SetDlgItemTextA(page, edit, std::to_string(value).c_str());
}

void FillModeCombo(HWND combo, const ModeList& list) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const ModeListEntry& entry : list.entries)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    SendMessageA(combo, CB_SETCURSEL, list.selected ? static_cast<WPARAM>(*list.selected) : static_cast<WPARAM>(-1), 0);
}

void FillDepthAndRefresh(SettingsDialogContext& state) {
    HWND options = PageWindow(state, SettingsPageId::Options);
    GeneralSettings& g = state.host->General();
    state.depth_and_refresh = BuildDepthAndRefreshLists(state.display_modes, g.resolution_width, g.resolution_height,
                                                        g.color_depth, g.refresh_rate);
    FillModeCombo(GetDlgItem(options, IDC_COLOR_DEPTH), state.depth_and_refresh.depths);
    FillModeCombo(GetDlgItem(options, IDC_REFRESH_RATE), state.depth_and_refresh.refresh_rates);
    // The shown entries become the record's, as if the user had picked them.
    if (const auto& depths = state.depth_and_refresh.depths; depths.selected)
        g.color_depth = depths.entries[*depths.selected].first;
    if (const auto& rates = state.depth_and_refresh.refresh_rates; rates.selected)
        g.refresh_rate = rates.entries[*rates.selected].first;
}

// The picked entry of a mode list, if the pick is one of ours.
const ModeListEntry* PickedEntry(HWND page, int control, const ModeList& list) {
    const auto index = SendDlgItemMessageA(page, control, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= list.entries.size()) return nullptr;
    return &list.entries[static_cast<std::size_t>(index)];
}

RECT SwatchRect(HWND page) {
    RECT rect{};
    HWND swatch = GetDlgItem(page, IDC_BACKGROUND_COLOR);
    GetWindowRect(swatch, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsCurrentPage(const SettingsDialogContext& state, HWND page) {
    return state.current_page < state.page_count && state.pages[state.current_page].window == page;
}

bool OverVisibleSwatch(const SettingsDialogContext& state, HWND page, POINT point) {
    if (page != PageWindow(state, SettingsPageId::CubeAppearance) || !IsCurrentPage(state, page)) return false;
    HWND swatch = GetDlgItem(page, IDC_BACKGROUND_COLOR);
    if (!swatch || !IsWindowVisible(swatch)) return false;
    const RECT rect = SwatchRect(page);
    return PtInRect(&rect, point) != FALSE;
}

void ChooseBackgroundColor(SettingsDialogContext& state, HWND page) {
    // Sixteen black custom colours, forgotten when the chooser closes.
    COLORREF custom[16] = {};
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = page;
    std::int32_t& color = state.host->Cube().background_color;
    choose.rgbResult = static_cast<COLORREF>(color) & 0x00FFFFFFu;
    choose.lpCustColors = custom;
    choose.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (ChooseColorA(&choose)) color = static_cast<std::int32_t>(choose.rgbResult);
    InvalidateRect(page, nullptr, TRUE);
    UpdateWindow(page);
}

void DrawSwatch(const SettingsDialogContext& state, const DRAWITEMSTRUCT& item) {
    const COLORREF color = static_cast<COLORREF>(state.host->Cube().background_color) & 0x00FFFFFFu;
    HBRUSH fill = CreateSolidBrush(color);
    RECT inside = item.rcItem;
    InflateRect(&inside, -1, -1);
    FillRect(item.hDC, &inside, fill);
    DeleteObject(fill);
    FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void ResetPageDefaults(SettingsDialogContext& state) {
    const auto page = static_cast<SettingsPageId>(state.current_page);
    if (page == SettingsPageId::Options) {
        ResetOptionsDefaults(state.host->General());
        SetOptionsControls(state);
        FillOptionsLists(state);
        FillDisplayModeLists(state);
        return;
    }
    if (const std::optional<int> group = DefaultsGroupForPage(page)) state.host->ResetDefaults(state.dialog, *group);
    SetListPageControls(state);
    if (page == SettingsPageId::CubeAppearance) InvalidateRect(state.pages[state.current_page].window, nullptr, TRUE);
}

std::int32_t* CheckBoxField(SettingsDialogContext& state, int control) {
    GeneralSettings& g = state.host->General();
    CubeSettings& c = state.host->Cube();
    switch (control) {
    case IDC_RANDOMIZE_PICTURES: return &c.randomize_pictures;
    case IDC_SHOW_PICTURE_NAMES: return &c.show_picture_names;
    case IDC_STRETCH_TO_FIT: return &c.stretch_to_fit;
    case IDC_MAX_TEXTURE_SIZE: return &c.use_max_texture_size;
    case IDC_RANDOMIZE_MUSIC: return &c.randomize_music;
    case IDC_SHOW_DATE_TIME: return &g.show_date_time;
    case IDC_SHOW_FRAME_RATE: return &g.show_frame_rate;
    case IDC_BLEND_ON_OPEN: return &g.blend_on_open;
    case IDC_BLEND_ON_CLOSE: return &g.blend_on_close;
    case IDC_USE_OTHER_RESOLUTION: return &g.use_other_resolution;
    case IDC_EXIT_ON_ESCAPE: return &g.exit_on_escape_only;
    case IDC_POWER_DOWN: return &g.support_power_down;
    default: return nullptr;
    }
}

std::int32_t* ListField(SettingsDialogContext& state, int control) {
    switch (control) {
    case IDC_CUBE_STYLE: return &state.host->Cube().cube_style;
    case IDC_CUBE_GLASS: return &state.host->Cube().cube_glass;
    case IDC_BACKGROUND: return &state.host->Cube().background;
    case IDC_TARGET_FRAMERATE: return &state.host->General().target_framerate;
    case IDC_OTHER_MONITORS: return &state.host->General().other_monitors;
    default: return nullptr;
    }
}

std::int32_t* NumberField(SettingsDialogContext& state, int control) {
    switch (control) {
    case IDC_SHOW_LENGTH: return &state.host->Cube().show_picture_length;
    case IDC_ROTATION_LENGTH: return &state.host->Cube().rotation_length;
    default: return nullptr;
    }
}

void OnCommand(SettingsDialogContext& state, HWND page, int control, int code) {
    if (std::int32_t* field = CheckBoxField(state, control); field && code == BN_CLICKED) {
        *field = IsDlgButtonChecked(page, control) == BST_CHECKED ? 1 : 0;
        if (control == IDC_USE_OTHER_RESOLUTION) FillDisplayModeLists(state);
        return;
    }
    // Only a real pick counts: a list that shows no entry for an odd stored
    // value must not store "nothing" when it merely gains the focus.
    if (std::int32_t* field = ListField(state, control); field && code == CBN_SELCHANGE) {
        const auto index = SendDlgItemMessageA(page, control, CB_GETCURSEL, 0, 0);
        if (index >= 0) *field = static_cast<std::int32_t>(index);
        return;
    }
    if (std::int32_t* field = NumberField(state, control); field && code == EN_CHANGE) {
        char text[32] = {};
        GetDlgItemTextA(page, control, text, sizeof text);
        if (const std::optional<std::int32_t> value = ParseNumberField(text)) *field = *value;
        return;
    }
    GeneralSettings& g = state.host->General();
    switch (control) {
    case IDC_RESOLUTION:
        if (code != CBN_SELCHANGE) return;
        if (const ModeListEntry* entry = PickedEntry(page, control, state.resolutions)) {
            g.resolution_width = entry->first;
            g.resolution_height = entry->second;
            FillDepthAndRefresh(state);
        }
        return;
    case IDC_COLOR_DEPTH:
        if (code != CBN_SELCHANGE) return;
        if (const ModeListEntry* entry = PickedEntry(page, control, state.depth_and_refresh.depths))
            g.color_depth = entry->first;
        return;
    case IDC_REFRESH_RATE:
        if (code != CBN_SELCHANGE) return;
        if (const ModeListEntry* entry = PickedEntry(page, control, state.depth_and_refresh.refresh_rates))
            g.refresh_rate = entry->first;
        return;
    case IDC_CUSTOMIZE_PICTURES:
        if (code == BN_CLICKED) OpenListEditor(page, ListKind::Pictures);
        return;
    case IDC_CUSTOMIZE_MUSIC:
        if (code == BN_CLICKED) OpenListEditor(page, ListKind::Music);
        return;
    case IDC_DEFAULTS:
        if (code == BN_CLICKED) ResetPageDefaults(state);
        return;
    case IDC_SYSTEM_INFO:
        if (code == BN_CLICKED) state.host->ShowSystemInfo(state.dialog);
        return;
    case IDC_EMAIL_SUPPORT:
        if (code == BN_CLICKED) state.host->EmailSupport(state.dialog);
        return;
    default:
        return;
    }
}

}  // namespace

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(page, DWLP_USER, lparam);
        return FALSE;
    }
    SettingsDialogContext* state = StateOf(page);
    if (!state) return FALSE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(*state, page, LOWORD(wparam), HIWORD(wparam));
        return TRUE;
    case WM_DRAWITEM:
        if (wparam == IDC_BACKGROUND_COLOR) {
            DrawSwatch(*state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        }
        return FALSE;
    case WM_SETCURSOR: {
        TrackContextHelp(reinterpret_cast<HWND>(wparam));
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(page, &point);
        if (LOWORD(lparam) == HTCLIENT && OverVisibleSwatch(*state, page, point)) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    }
    case WM_LBUTTONUP: {
        const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        if (OverVisibleSwatch(*state, page, point)) ChooseBackgroundColor(*state, page);
        return TRUE;
    }
    case WM_HELP:
        if (ShowContextHelp(*reinterpret_cast<const HELPINFO*>(lparam))) {
            SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void AttachOptionsAndAboutTips(SettingsDialogContext& state) {
    AttachTips(PageWindow(state, SettingsPageId::Options),
               {{IDC_SHOW_DATE_TIME, "Show the date and time in a corner of the screen."},
                {IDC_SHOW_FRAME_RATE, "Show how many frames are drawn each second."},
                {IDC_BLEND_ON_OPEN, "Fade the screen saver in when it starts."},
                {IDC_BLEND_ON_CLOSE, "Fade the screen saver out when it ends."},
                {IDC_TARGET_FRAMERATE, "How many frames each second the cube is drawn at.  Lower rates leave "
                                       "more time to other programs."},
                {IDC_USE_OTHER_RESOLUTION, "Switch the screen to the resolution, refresh rate and color depth "
                                           "below while the screen saver runs."},
                {IDC_OTHER_MONITORS, "What the monitors other than the main one show while the screen saver "
                                     "runs: black, or a cube of their own with the next pictures of the list."},
                {IDC_RESOLUTION, "The screen resolution while the screen saver runs."},
                {IDC_REFRESH_RATE, "The refresh rate while the screen saver runs."},
                {IDC_COLOR_DEPTH, "The color depth while the screen saver runs."},
                {IDC_EXIT_ON_ESCAPE, "End the screen saver only with the Escape key, not with the mouse or "
                                     "other keys."},
                {IDC_POWER_DOWN, "Stop drawing while the display is turned off or in low power mode."},
                {IDC_DEFAULTS, kDefaultsTip}});
    AttachTips(PageWindow(state, SettingsPageId::About),
               {{IDC_EMAIL_SUPPORT, "Write to Quillmark Graphics support.  A description of your system is "
                                    "added to the message."}});
}

void AttachListPageTips(SettingsDialogContext& state) {
    AttachTips(PageWindow(state, SettingsPageId::Pictures),
               {{IDC_CUSTOMIZE_PICTURES, "Choose the pictures and folders of pictures to show on the cube."},
                {IDC_RANDOMIZE_PICTURES, "Show the pictures in a random order instead of the list's order."},
                {IDC_SHOW_PICTURE_NAMES, "Show the name of each picture while it is on the cube."},
                {IDC_STRETCH_TO_FIT, "Stretch each picture to fill a whole face of the cube instead of "
                                     "keeping its shape."},
                {IDC_MAX_TEXTURE_SIZE, kMaxTextureTip},
                {IDC_DEFAULTS, kDefaultsTip}});
    AttachTips(PageWindow(state, SettingsPageId::CubeAppearance),
               {{IDC_SHOW_LENGTH, "How many seconds each picture is shown before the cube turns."},
                {IDC_ROTATION_LENGTH, "How many seconds the cube takes to turn to the next picture."},
                {IDC_CUBE_STYLE, "The size of the cube and how it moves."},
                {IDC_CUBE_GLASS, "The glass around the cube and what it reflects."},
                {IDC_BACKGROUND, "What is shown behind the cube."},
                {IDC_BACKGROUND_COLOR, "Click to choose the color behind the cube for a solid color background."},
                {IDC_DEFAULTS, kDefaultsTip}});
    AttachTips(PageWindow(state, SettingsPageId::Music),
               {{IDC_CUSTOMIZE_MUSIC, "Choose the songs and folders of songs to play while the screen saver runs."},
                {IDC_RANDOMIZE_MUSIC, "Play the songs in a random order instead of the list's order."}});
}

void FillCubeLists(SettingsDialogContext& state) {
    HWND cube = PageWindow(state, SettingsPageId::CubeAppearance);
    if (!cube) return;
    FillList(cube, IDC_CUBE_STYLE, kCubeStyles);
    FillList(cube, IDC_CUBE_GLASS, kGlasses);
    FillList(cube, IDC_BACKGROUND, kBackgrounds);
}

void FillOptionsLists(SettingsDialogContext& state) {
    HWND options = PageWindow(state, SettingsPageId::Options);
    if (!options) return;
    FillList(options, IDC_TARGET_FRAMERATE, kFramerates);
    SelectIndex(options, IDC_TARGET_FRAMERATE, state.host->General().target_framerate);
    FillList(options, IDC_OTHER_MONITORS, kOtherMonitors);
    SelectIndex(options, IDC_OTHER_MONITORS, state.host->General().other_monitors);
}

void SetOptionsControls(SettingsDialogContext& state) {
    HWND options = PageWindow(state, SettingsPageId::Options);
    if (!options) return;
    const GeneralSettings& g = state.host->General();
    SetCheck(options, IDC_SHOW_DATE_TIME, g.show_date_time);
    SetCheck(options, IDC_SHOW_FRAME_RATE, g.show_frame_rate);
    SetCheck(options, IDC_BLEND_ON_OPEN, g.blend_on_open);
    SetCheck(options, IDC_BLEND_ON_CLOSE, g.blend_on_close);
    SetCheck(options, IDC_USE_OTHER_RESOLUTION, g.use_other_resolution);
    SetCheck(options, IDC_EXIT_ON_ESCAPE, g.exit_on_escape_only);
    SetCheck(options, IDC_POWER_DOWN, g.support_power_down);
    ShowWindow(GetDlgItem(options, IDC_BLEND_ON_CLOSE), SW_HIDE);
}

void SetListPageControls(SettingsDialogContext& state) {
    const CubeSettings& c = state.host->Cube();
    if (HWND pictures = PageWindow(state, SettingsPageId::Pictures)) {
        SetCheck(pictures, IDC_RANDOMIZE_PICTURES, c.randomize_pictures);
        SetCheck(pictures, IDC_SHOW_PICTURE_NAMES, c.show_picture_names);
        SetCheck(pictures, IDC_STRETCH_TO_FIT, c.stretch_to_fit);
        SetCheck(pictures, IDC_MAX_TEXTURE_SIZE, c.use_max_texture_size);
    }
    if (HWND cube = PageWindow(state, SettingsPageId::CubeAppearance)) {
        // Setting the text fires the fields' change notices, which store the
        // same numbers again.
        const std::int32_t show = c.show_picture_length;
        const std::int32_t rotation = c.rotation_length;
        SetNumberField(cube, IDC_SHOW_LENGTH, IDC_SHOW_LENGTH_SPIN, show);
        SetNumberField(cube, IDC_ROTATION_LENGTH, IDC_ROTATION_LENGTH_SPIN, rotation);
        SelectIndex(cube, IDC_CUBE_STYLE, c.cube_style);
        SelectIndex(cube, IDC_CUBE_GLASS, c.cube_glass);
        SelectIndex(cube, IDC_BACKGROUND, c.background);
    }
    if (HWND music = PageWindow(state, SettingsPageId::Music)) SetCheck(music, IDC_RANDOMIZE_MUSIC, c.randomize_music);
}

void FillDisplayModeLists(SettingsDialogContext& state) {
    HWND options = PageWindow(state, SettingsPageId::Options);
    if (!options) return;
    GeneralSettings& g = state.host->General();
    const BOOL enable = g.use_other_resolution ? TRUE : FALSE;
    for (int control : {IDC_RESOLUTION, IDC_REFRESH_RATE, IDC_COLOR_DEPTH})
        EnableWindow(GetDlgItem(options, control), enable);
    if (!g.use_other_resolution || g.resolution_width == 0 || g.resolution_height == 0) {
        const DisplayModeInfo current = CurrentDisplayMode();
        g.resolution_width = current.width;
        g.resolution_height = current.height;
        g.color_depth = current.bits_per_pixel;
        g.refresh_rate = current.frequency;
    }
    state.display_modes = EnumerateDisplayModes();
    state.resolutions = BuildResolutionList(state.display_modes, g.resolution_width, g.resolution_height);
    FillModeCombo(GetDlgItem(options, IDC_RESOLUTION), state.resolutions);
    FillDepthAndRefresh(state);
}

}  // namespace cs

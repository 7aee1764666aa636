#include "config/win32/control_tip.h"

#include <commctrl.h>

#include "config/win32/window_dpi.h"

namespace cs {
namespace {

constexpr char kTipProperty[] = "CubeSaverTip";
constexpr int kTipWidth = 300;  // at 96 DPI
constexpr int kTipShowMs = 30000;

// The control whose tip the context help is showing, and the keyboard hook
// that ends it on any key.
HWND g_help_control = nullptr;
HHOOK g_key_hook = nullptr;

void EndContextHelp() {
    if (g_help_control) {
        if (HWND tip = ControlTipOf(g_help_control)) {
            SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(-1, 0));
            SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTipShowMs, 0));
        }
        g_help_control = nullptr;
    }
    if (g_key_hook) {
        UnhookWindowsHookEx(g_key_hook);
        g_key_hook = nullptr;
    }
}

// Only a key going down counts: the release of the F1 that asked for help
// comes after the help and must not end it.
LRESULT CALLBACK KeyHook(int code, WPARAM wparam, LPARAM lparam) {
    const LRESULT next = CallNextHookEx(g_key_hook, code, wparam, lparam);
    const bool key_down = (static_cast<unsigned long>(lparam) & 0x80000000ul) == 0;
    if (code == HC_ACTION && key_down) EndContextHelp();
    return next;
}

}  // namespace

HWND ShowControlTip(HWND control, const char* text) {
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "Tooltip", WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(control, GWLP_HINSTANCE)), nullptr);
    if (!tip) return nullptr;
    // The older structure size works with both versions of the common
    // controls.
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = control;
    tool.uId = 0;
    GetClientRect(control, &tool.rect);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, ScaleForWindow(control, kTipWidth));
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kTipShowMs, 0));
    SetPropA(control, kTipProperty, tip);
    return tip;
}

HWND ControlTipOf(HWND control) { return static_cast<HWND>(GetPropA(control, kTipProperty)); }

bool ShowContextHelp(const HELPINFO& help) {
    if (help.iContextType != HELPINFO_WINDOW) return false;
    HWND control = static_cast<HWND>(help.hItemHandle);
    HWND tip = ControlTipOf(control);
    if (!tip) return false;
    EndContextHelp();
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(0, 0));
    SendMessageA(tip, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(0, 0));
    SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(tip, TTM_POPUP, 0, 0);
    g_help_control = control;
    g_key_hook = SetWindowsHookExA(WH_KEYBOARD, KeyHook, nullptr, GetCurrentThreadId());
    return true;
}

void TrackContextHelp(HWND window) {
    if (g_help_control && window != g_help_control) EndContextHelp();
}

}  // namespace cs

#include "app/win32/saver_window.h"

#include "app/process_state.h"
#include "app/win32/monitor_covers.h"
#include "app/screen_saver_app.h"
#include "base/encoded_text.h"
#include "resource_ids.h"

namespace cs {

// The window procedure reaches into the framework's runtime fields.
struct SaverWindowAccess {
    static void SetDisplayIdle(ScreenSaverApp& app, bool idle) { app.SetDisplayIdle(idle); }
    static bool NotReady(const ScreenSaverApp& app) { return app.not_ready_; }
};

namespace {

constexpr EncodedText kClassName("CubeSaverWindow");
constexpr EncodedText kWindowTitle("Cube Saver");
constexpr EncodedText kPreviewTitle("Cube Saver Preview");
constexpr EncodedText kUserLibrary("USER32.dll");
constexpr EncodedText kSetLayeredAttributes("SetLayeredWindowAttributes");
constexpr EncodedText kPasswordLibrary("PASSWORD.CPL");
constexpr EncodedText kVerifyEntry("VerifyScreenSavePwd");
constexpr EncodedText kChangeLibrary("MPR.DLL");
constexpr EncodedText kChangeEntry("PwdChangePasswordA");
constexpr EncodedText kChangeProvider("SCRSAVE");

ExitPolicy CurrentPolicy() {
    ExitPolicy policy;
    policy.mode = Process().mode;
    if (const ScreenSaverApp* app = Process().app) policy.exit_on_escape_only = app->General().exit_on_escape_only != 0;
    return policy;
}

// Input on a monitor cover ends the saver as input on the main window does.
HWND ExitTarget(HWND window) {
    HWND main = SaverWindow().main_window;
    return main && IsMonitorCover(window) ? main : window;
}

void RequestExit(HWND window) {
    SaverWindow().input.close_requested = true;
    PostMessageA(ExitTarget(window), WM_CLOSE, 0, 0);
}

bool IsOwnWindow(HWND window) { return window && (window == SaverWindow().main_window || IsMonitorCover(window)); }

SystemCommand ClassifySystemCommand(WPARAM wparam) {
    switch (wparam & 0xFFF0) {
    case SC_CLOSE: return SystemCommand::Close;
    case SC_NEXTWINDOW: return SystemCommand::NextWindow;
    case SC_PREVWINDOW: return SystemCommand::PrevWindow;
    case SC_SCREENSAVE: return SystemCommand::ScreenSave;
    case SC_MONITORPOWER: return SystemCommand::MonitorPower;
    default: return SystemCommand::Other;
    }
}

LRESULT HandleCloseInSaver(HWND window) {
    SaverWindowGlobals& globals = SaverWindow();
    switch (DecideClose(globals.input, GetTickCount())) {
    case CloseDecision::Ignore:
        break;
    case CloseDecision::Destroy:
        DestroyWindow(window);
        break;
    case CloseDecision::CheckPassword: {
        globals.input.in_password_check = true;
        // The prompt needs a cursor: with the flag set WM_SETCURSOR gets
        // default handling.
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        const BOOL may_close = (globals.verify_password ? globals.verify_password : VerifyPassword)(window);
        globals.input.in_password_check = false;
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        if (may_close) DestroyWindow(window);
        break;
    }
    }
    return 0;
}

}  // namespace

SaverWindowGlobals& SaverWindow() {
    static SaverWindowGlobals globals;
    return globals;
}

void ResetSaverWindowGlobals() {
    auto verifier = SaverWindow().verify_password;
    SaverWindow() = SaverWindowGlobals{};
    SaverWindow().verify_password = verifier;
}

std::string SaverClassName() { return kClassName.Decode(); }
std::string SaverWindowTitle(bool preview) { return preview ? kPreviewTitle.Decode() : kWindowTitle.Decode(); }

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ScreenSaverApp* app = Process().app;
    SaverWindowGlobals& globals = SaverWindow();
    if (app && app->PreWindowMessage(window, message, wparam, lparam) == 1) return 1;

    const ExitPolicy policy = CurrentPolicy();
    switch (message) {
    case WM_CREATE:
        // A cover opened later does not restart the password grace period.
        if (reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams != MonitorCoverMarker())
            globals.input.creation_tick = GetTickCount();
        break;

    case WM_DESTROY:
        // The window replaced after the opening fade is destroyed too; only
        // the main window ends the loop.
        if (window == globals.main_window) PostQuitMessage(0);
        return 0;

    case WM_SIZE:
        if (IsMonitorCover(window)) {
            if (app) app->OnResize(window);
            return 0;
        }
        if (policy.mode == ScreenMode::Windowed && app) SaverWindowAccess::SetDisplayIdle(*app, wparam == SIZE_MINIMIZED);
        if (app) app->OnResize(window);
        return 0;

    case WM_ACTIVATE:
    case WM_ACTIVATEAPP: {
        // Activation moving between the main window and a monitor cover
        // stays inside the saver.
        const bool activated = message == WM_ACTIVATE
                                   ? LOWORD(wparam) != WA_INACTIVE || IsOwnWindow(reinterpret_cast<HWND>(lparam))
                                   : wparam != 0;
        // Only the main window and the covers count: the layered window that
        // the opening fade replaces loses activation to its successor.
        const bool counts = window == globals.main_window || (message == WM_ACTIVATE && IsMonitorCover(window));
        if (counts && DeactivationRequestsExit(policy, globals.input, activated)) RequestExit(window);
        break;
    }

    case WM_DISPLAYCHANGE:
        // Every top-level window hears of it; the main window moves the covers.
        if (policy.mode == ScreenMode::Saver && window == globals.main_window)
            FollowMonitorLayout(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)), window);
        break;

    case WM_PAINT:
        if (IsMonitorCover(window)) {
            if (!app || !app->HasMonitorCube(window)) break;  // the class brush paints it black
            // Its cube draws the whole window again with its next frame.
            ValidateRect(window, nullptr);
            app->OnPaint(window, nullptr);
            return 0;
        }
        if (!app || SaverWindowAccess::NotReady(*app)) {
            // Nothing to draw yet; validate so the system stops asking.
            ValidateRect(window, nullptr);
            return 0;
        }
        SaverWindowAccess::SetDisplayIdle(*app, false);
        if (HWND main = globals.main_window) {
            HDC dc = GetDC(main);
            app->OnPaint(main, dc);
            ReleaseDC(main, dc);
        }
        break;

    case WM_CLOSE:
        if (policy.mode == ScreenMode::Saver) return HandleCloseInSaver(ExitTarget(window));
        break;

    case WM_SETCURSOR:
        if (HidesCursor(policy, globals.input)) {
            SetCursor(nullptr);
            return 1;
        }
        break;

    case WM_KEYDOWN:
        if (KeyDownRequestsExit(policy, globals.input)) {
            RequestExit(window);
            return 0;
        }
        break;

    case WM_KEYUP:
        if (KeyUpEndsSaver(policy, wparam == VK_ESCAPE)) {
            PostQuitMessage(0);
            return 0;
        }
        break;

    case WM_SYSCOMMAND:
        switch (DecideSystemCommand(policy, ClassifySystemCommand(wparam), lparam)) {
        case SystemCommandAction::Swallow:
            return 0;
        case SystemCommandAction::DisplayPowerDown:
            if (app) {
                SaverWindowAccess::SetDisplayIdle(*app, true);
                app->OnDisplayPowerDown();
            }
            break;
        case SystemCommandAction::DisplayPowerUp:
            if (app) SaverWindowAccess::SetDisplayIdle(*app, false);
            break;
        case SystemCommandAction::Default:
            break;
        }
        break;

    case WM_MOUSEMOVE:
        if (MouseMoveRequestsExit(policy, globals.input, static_cast<std::int16_t>(LOWORD(lparam)),
                                  static_cast<std::int16_t>(HIWORD(lparam)))) {
            if (app) SaverWindowAccess::SetDisplayIdle(*app, false);
            RequestExit(window);
        }
        return 0;

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (ButtonRequestsExit(policy, globals.input)) {
            RequestExit(window);
            return 0;
        }
        break;

    case WM_APP:
        return VerifyPassword(window);

    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

bool RegisterSaverWindowClass(HINSTANCE instance) {
    const std::string class_name = SaverClassName();
    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = SaverWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CUBESAVER));
    wc.hCursor = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = class_name.c_str();
    if (RegisterClassA(&wc)) return true;
    // A test process registers once and creates many windows.
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

SaverWindowGeometry SaverGeometryForMode(ScreenMode mode, HWND parent, int windowed_width, int windowed_height,
                                         bool layered, int switched_width, int switched_height) {
    SaverWindowGeometry g;
    g.parent = parent;
    switch (mode) {
    case ScreenMode::Preview: {
        RECT rc{};
        if (parent) GetClientRect(parent, &rc);
        g.x = rc.left;
        g.y = rc.top;
        g.width = rc.right - rc.left;
        g.height = rc.bottom - rc.top;
        g.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        break;
    }
    case ScreenMode::Windowed:
        g.x = CW_USEDEFAULT;
        g.y = CW_USEDEFAULT;
        // A missing or nonsensical size falls back to 640 x 480.
        g.width = windowed_width > 0 ? windowed_width : 640;
        g.height = windowed_height > 0 ? windowed_height : 480;
        g.style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        g.ex_style = layered ? WS_EX_LAYERED : 0;
        break;
    default:
        g.width = switched_width > 0 ? switched_width : GetSystemMetrics(SM_CXSCREEN);
        g.height = switched_height > 0 ? switched_height : GetSystemMetrics(SM_CYSCREEN);
        g.style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        g.ex_style = WS_EX_TOPMOST | (layered ? WS_EX_LAYERED : 0);
        break;
    }
    return g;
}

HWND CreateSaverWindow(HINSTANCE instance, const SaverWindowGeometry& g, bool preview) {
    const std::string class_name = SaverClassName();
    const std::string title = SaverWindowTitle(preview);
    return CreateWindowExA(g.ex_style, class_name.c_str(), title.c_str(), g.style, g.x, g.y, g.width, g.height,
                           g.parent, nullptr, instance, nullptr);
}

BOOL VerifyPassword(HWND window) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    // The NT family asks for the password itself, at the lock screen.
    if (known && version.dwPlatformId == VER_PLATFORM_WIN32_NT) return TRUE;

    const std::string library_name = kPasswordLibrary.Decode();
    HMODULE library = LoadLibraryA(library_name.c_str());
    if (!library) return TRUE;
    using VerifyFn = BOOL(WINAPI*)(HWND);
    const std::string entry = kVerifyEntry.Decode();
    auto verify = reinterpret_cast<VerifyFn>(reinterpret_cast<void*>(GetProcAddress(library, entry.c_str())));
    const BOOL answer = verify ? verify(window) : TRUE;
    FreeLibrary(library);
    return answer;
}

void ChangePassword(HWND parent) {
    const std::string library_name = kChangeLibrary.Decode();
    HMODULE library = LoadLibraryA(library_name.c_str());
    if (!library) return;
    using ChangeFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    const std::string entry = kChangeEntry.Decode();
    if (auto change = reinterpret_cast<ChangeFn>(reinterpret_cast<void*>(GetProcAddress(library, entry.c_str())))) {
        const std::string provider = kChangeProvider.Decode();
        change(provider.c_str(), parent, 0, nullptr);
    }
    FreeLibrary(library);
}

void SetWindowAlpha(HMODULE library, HWND window, int opacity) {
    using SetAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE own = nullptr;
    if (!library) {
        const std::string user = kUserLibrary.Decode();
        library = own = LoadLibraryA(user.c_str());
    }
    if (library) {
        const std::string entry = kSetLayeredAttributes.Decode();
        if (auto set = reinterpret_cast<SetAttributesFn>(reinterpret_cast<void*>(GetProcAddress(library, entry.c_str()))))
            set(window, 0, static_cast<BYTE>(opacity < 0 ? 0 : opacity > 255 ? 255 : opacity), LWA_ALPHA);
    }
    if (own) FreeLibrary(own);
}

void ClearLayeredStyle(HWND window) {
    const LONG_PTR ex_style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    SetWindowLongPtrA(window, GWL_EXSTYLE, ex_style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
}

}  // namespace cs

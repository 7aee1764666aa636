// The real saver window under Wine: created in each mode and fed real
// messages through the queue.
#include <windows.h>

#include <set>

#include <gtest/gtest.h>

#include "app/cube_saver_app.h"
#include "app/process_state.h"
#include "app/win32/monitor_covers.h"
#include "app/win32/saver_window.h"

namespace cs {
namespace {

// The cube saver with its hooks counted.
class CountingApp final : public CubeSaverApp {
public:
    int resizes = 0;
    int power_downs = 0;
    std::set<WindowHandle> cubes;  // the other monitors' windows with a cube
    int cubes_stopped = 0;
    void OnResize(WindowHandle) override { ++resizes; }
    void OnDisplayPowerDown() override { ++power_downs; }
    bool StartMonitorCube(WindowHandle window) override { return cubes.insert(window).second; }
    void StopMonitorCube(WindowHandle window) override {
        // Its window still there: the cube lets go of it first.
        EXPECT_TRUE(IsWindow(window));
        cubes_stopped += static_cast<int>(cubes.erase(window));
    }
    bool HasMonitorCube(WindowHandle window) const override { return cubes.count(window) > 0; }
};

int g_verify_calls = 0;
BOOL g_verify_answer = TRUE;
BOOL WINAPI FakeVerify(HWND) {
    ++g_verify_calls;
    return g_verify_answer;
}

class SaverWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        if (parent_ && IsWindow(parent_)) DestroyWindow(parent_);
        Pump();
        Process().app = nullptr;
    }

    void Create(ScreenMode mode, HWND parent = nullptr) {
        ResetSaverWindowGlobals();
        SaverWindow().verify_password = FakeVerify;
        g_verify_calls = 0;
        g_verify_answer = TRUE;
        Process().mode = mode;
        Process().app = &app_;
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterSaverWindowClass(instance));
        const SaverWindowGeometry g = SaverGeometryForMode(mode, parent, 320, 240, false, 0, 0);
        window_ = CreateSaverWindow(instance, g, mode == ScreenMode::Preview);
        ASSERT_NE(window_, nullptr);
        SaverWindow().main_window = window_;
        quit_seen_ = false;
        Pump();
    }

    // Dispatches everything waiting; remembers a WM_QUIT.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit_seen_ = true;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    void Post(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
        PostMessageA(window_, message, wparam, lparam);
        Pump();
    }

    bool Alive() const { return IsWindow(window_) != FALSE; }
    // Pretends the window was created long ago, past the password grace.
    void AgeWindow() { SaverWindow().input.creation_tick = GetTickCount() - 10'000; }

    CountingApp app_;
    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    bool quit_seen_ = false;
};

TEST_F(SaverWindowTest, SixMouseMovesEndTheSaverFiveDoNot) {
    Create(ScreenMode::Saver);
    for (int i = 0; i < 5; ++i) Post(WM_MOUSEMOVE, 0, MAKELPARAM(10 + i, 20));
    for (int i = 0; i < 10; ++i) Post(WM_MOUSEMOVE, 0, MAKELPARAM(14, 20));  // same spot
    EXPECT_TRUE(Alive());
    EXPECT_FALSE(SaverWindow().input.close_requested);
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(15, 20));
    EXPECT_FALSE(Alive());  // within the grace period: no password question
    EXPECT_TRUE(quit_seen_);
    EXPECT_EQ(g_verify_calls, 0);
}

TEST_F(SaverWindowTest, CommandKeysNeverEndTheSaverOtherKeysDo) {
    Create(ScreenMode::Saver);
    for (WPARAM key : {WPARAM('Z'), WPARAM('A'), WPARAM('S'), WPARAM('P'), WPARAM(VK_LEFT), WPARAM(VK_RIGHT),
                       WPARAM(VK_UP), WPARAM(VK_DOWN)})
        Post(WM_KEYDOWN, key);
    EXPECT_TRUE(Alive());
    Post(WM_KEYDOWN, VK_SHIFT);
    EXPECT_FALSE(Alive());
}

TEST_F(SaverWindowTest, CloseIsIgnoredUnlessTheUserAskedForIt) {
    Create(ScreenMode::Saver);
    Post(WM_CLOSE);
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
    Pump();
    EXPECT_TRUE(Alive());
    Post(WM_LBUTTONDOWN);
    EXPECT_FALSE(Alive());
}

TEST_F(SaverWindowTest, AfterTheGracePeriodThePasswordDecides) {
    Create(ScreenMode::Saver);
    AgeWindow();
    g_verify_answer = FALSE;
    Post(WM_KEYDOWN, 'Q');
    EXPECT_TRUE(Alive());
    EXPECT_EQ(g_verify_calls, 1);
    EXPECT_TRUE(SaverWindow().input.close_requested);  // the next input tries again
    EXPECT_FALSE(SaverWindow().input.in_password_check);

    g_verify_answer = TRUE;
    Post(WM_RBUTTONDOWN);
    EXPECT_EQ(g_verify_calls, 2);
    EXPECT_FALSE(Alive());
}

TEST_F(SaverWindowTest, EscapeOnlyModeIgnoresEverythingButEscapeAndDeactivation) {
    Create(ScreenMode::Saver);
    app_.General().exit_on_escape_only = 1;
    for (int i = 0; i < 10; ++i) Post(WM_MOUSEMOVE, 0, MAKELPARAM(i * 7, i));
    Post(WM_KEYDOWN, 'Q');
    Post(WM_MBUTTONDOWN);
    EXPECT_TRUE(Alive());
    Post(WM_KEYUP, VK_ESCAPE);
    EXPECT_TRUE(quit_seen_);

    Create(ScreenMode::Saver);
    app_.General().exit_on_escape_only = 1;
    SendMessageA(window_, WM_ACTIVATE, WA_INACTIVE, 0);
    Pump();
    EXPECT_FALSE(Alive());
}

TEST_F(SaverWindowTest, WindowedSaverEndsOnEscapeAndOnClose) {
    Create(ScreenMode::Windowed);
    for (int i = 0; i < 10; ++i) Post(WM_MOUSEMOVE, 0, MAKELPARAM(i * 9, i));
    Post(WM_KEYDOWN, 'Q');
    Post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(Alive());
    EXPECT_FALSE(quit_seen_);
    Post(WM_KEYUP, VK_ESCAPE);
    EXPECT_TRUE(quit_seen_);

    Create(ScreenMode::Windowed);
    SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(Alive());
    EXPECT_TRUE(quit_seen_);
}

TEST_F(SaverWindowTest, DisplayPowerAndMinimisingSetDisplayIdle) {
    Create(ScreenMode::Saver);
    const std::uint32_t wakes = app_.DisplayWakes();
    SendMessageA(window_, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_TRUE(app_.DisplayIdle());
    EXPECT_EQ(app_.power_downs, 1);
    SendMessageA(window_, WM_SYSCOMMAND, SC_MONITORPOWER, static_cast<LPARAM>(-1));
    EXPECT_FALSE(app_.DisplayIdle());
    EXPECT_TRUE(Alive());
    // Waking is counted, so that the scene draws its picture again.
    EXPECT_EQ(app_.DisplayWakes(), wakes + 1);
    SendMessageA(window_, WM_SYSCOMMAND, SC_MONITORPOWER, static_cast<LPARAM>(-1));
    EXPECT_EQ(app_.DisplayWakes(), wakes + 1);

    Create(ScreenMode::Windowed);
    const int resizes = app_.resizes;
    SendMessageA(window_, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(app_.DisplayIdle());
    SendMessageA(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(320, 240));
    EXPECT_FALSE(app_.DisplayIdle());
    EXPECT_EQ(app_.resizes, resizes + 2);
    EXPECT_EQ(app_.DisplayWakes(), wakes + 2);
}

TEST_F(SaverWindowTest, CursorIsHiddenOnlyOverTheFullScreenSaver) {
    Create(ScreenMode::Saver);
    EXPECT_EQ(SendMessageA(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    SaverWindow().input.in_password_check = true;
    EXPECT_NE(SendMessageA(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
}

TEST_F(SaverWindowTest, WmAppAnswersThePasswordQuestion) {
    Create(ScreenMode::Saver);
    // The NT family (and Wine) answer yes without asking.
    EXPECT_EQ(SendMessageA(window_, WM_APP, 0, 0), TRUE);
}

TEST_F(SaverWindowTest, PreviewFillsItsParentAndIgnoresInput) {
    parent_ = CreateWindowExA(0, "STATIC", "preview host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 250, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    Create(ScreenMode::Preview, parent_);
    RECT parent_rect{}, rect{};
    GetClientRect(parent_, &parent_rect);
    GetClientRect(window_, &rect);
    EXPECT_EQ(rect.right, parent_rect.right);
    EXPECT_EQ(rect.bottom, parent_rect.bottom);
    EXPECT_EQ(GetParent(window_), parent_);
    for (int i = 0; i < 10; ++i) Post(WM_MOUSEMOVE, 0, MAKELPARAM(i * 3, i));
    Post(WM_KEYDOWN, 'Q');
    EXPECT_TRUE(Alive());
}

TEST_F(SaverWindowTest, FullScreenGeometryCoversTheScreen) {
    const SaverWindowGeometry g = SaverGeometryForMode(ScreenMode::Saver, nullptr, 0, 0, true, 0, 0);
    EXPECT_EQ(g.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(g.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(g.ex_style & WS_EX_TOPMOST);
    EXPECT_TRUE(g.ex_style & WS_EX_LAYERED);
    const SaverWindowGeometry w = SaverGeometryForMode(ScreenMode::Windowed, nullptr, 800, 0, false, 0, 0);
    EXPECT_EQ(w.width, 800);
    EXPECT_EQ(w.height, 480);
    EXPECT_FALSE(w.ex_style & WS_EX_LAYERED);
}

// The saver's cover windows placed over the given rectangle, if any.
HWND CoverAt(const ScreenRect& r) {
    struct Search {
        ScreenRect rect;
        HWND found = nullptr;
    } search{r};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            RECT rc{};
            GetWindowRect(window, &rc);
            if (IsMonitorCover(window) && ScreenRect{rc.left, rc.top, rc.right, rc.bottom} == s->rect)
                s->found = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(SaverWindowTest, MonitorCoversFollowTheLayoutAndEndTheSaverThroughTheMainWindow) {
    Create(ScreenMode::Saver);
    AgeWindow();
    const std::uint32_t created = SaverWindow().input.creation_tick;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const ScreenRect left{-800, 0, 0, 600}, above{0, -768, 1024, 0};
    const ScreenRect two[] = {left, above};
    ArrangeMonitorCovers(instance, window_, two);
    Pump();
    HWND left_cover = CoverAt(left);
    ASSERT_NE(left_cover, nullptr);
    ASSERT_NE(CoverAt(above), nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(left_cover, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(SaverWindow().input.creation_tick, created);  // no new grace period
    EXPECT_EQ(app_.cubes.size(), 2u);  // each cover asked for a cube

    // Activation moving to a cover stays inside the saver.
    SendMessageA(window_, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(left_cover));
    Pump();
    EXPECT_FALSE(SaverWindow().input.close_requested);

    // One monitor gone: the first cover moves over the one left.
    const ScreenRect one[] = {above};
    ArrangeMonitorCovers(instance, window_, one);
    Pump();
    EXPECT_EQ(CoverAt(above), left_cover);
    EXPECT_EQ(CoverAt(left), nullptr);
    EXPECT_EQ(app_.cubes_stopped, 1);
    EXPECT_TRUE(app_.HasMonitorCube(left_cover));

    // A key on the cover asks for the password (past the grace period) and
    // closes the main window, which ends the loop.
    PostMessageA(left_cover, WM_KEYDOWN, VK_SHIFT, 0);
    Pump();
    EXPECT_EQ(g_verify_calls, 1);
    EXPECT_FALSE(Alive());
    EXPECT_TRUE(quit_seen_);
    CloseMonitorCovers();
    EXPECT_FALSE(IsWindow(left_cover));
    EXPECT_TRUE(app_.cubes.empty());
}

TEST_F(SaverWindowTest, DisplayChangeRemovesCoversTheMonitorsNoLongerNeed) {
    Create(ScreenMode::Saver);
    const ScreenRect gone{-800, 0, 0, 600};
    const ScreenRect rects[] = {gone};
    ArrangeMonitorCovers(GetModuleHandleA(nullptr), window_, rects);
    HWND cover = CoverAt(gone);
    ASSERT_NE(cover, nullptr);
    // The test display has one monitor, under the main window.
    SendMessageA(window_, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_FALSE(IsWindow(cover));
    EXPECT_EQ(app_.cubes_stopped, 1);
    Pump();
    EXPECT_TRUE(Alive());
    CloseMonitorCovers();
}

}  // namespace
}  // namespace cs

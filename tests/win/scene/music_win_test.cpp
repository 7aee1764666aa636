// The music player on the real media-control window under Wine, playing
// short WAV files written here to a silent sound device (the test runs with
// a HOME whose sound configuration discards everything).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "scene/win32/media_control_window.h"
#include "support/fake_clock.h"

namespace cs {
namespace {

// The real window, with the songs it was opened on counted.
class RecordingMedia final : public MediaControl {
public:
    std::vector<std::string> opened;
    WindowHandle Create(WindowHandle owner, const std::string& path, std::uint32_t& error) override {
        opened.push_back(path);
        return real_.Create(owner, path, error);
    }
    std::intptr_t Send(WindowHandle w, MediaCommand c) override { return real_.Send(w, c); }
    void Close(WindowHandle w) override { real_.Close(w); }
    void Adopt(WindowHandle w, WindowHandle owner) override { real_.Adopt(w, owner); }

private:
    MediaControlWindow real_;
};

MusicPlayer* g_player = nullptr;
int g_stop_notices = 0;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kNotifyModeMessage && lparam == kModeStopped) ++g_stop_notices;
    if (g_player) g_player->OnWindowMessage(window, message, wparam, lparam);
    return DefWindowProcA(window, message, wparam, lparam);
}

// 8 kHz, 8-bit mono: a quarter second of a quiet square wave.
void WriteWav(const std::string& path) {
    const std::uint32_t samples = 2000;
    std::vector<std::uint8_t> data(samples);
    for (std::uint32_t i = 0; i < samples; ++i) data[i] = (i / 20) % 2 ? 140 : 116;
    auto u32 = [](std::ofstream& f, std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::ofstream& f, std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    std::ofstream f(path, std::ios::binary);
    f.write("RIFF", 4);
    u32(f, 36 + samples);
    f.write("WAVEfmt ", 8);
    u32(f, 16);
    u16(f, 1);
    u16(f, 1);
    u32(f, 8000);
    u32(f, 8000);
    u16(f, 1);
    u16(f, 8);
    f.write("data", 4);
    u32(f, samples);
    f.write(reinterpret_cast<const char*>(data.data()), samples);
}

std::string TempFolder() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    std::string folder = std::string(path) + "cubesaver-music-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

BOOL CALLBACK CountVisible(HWND window, LPARAM count) {
    if (IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

class MusicWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = TempFolder();
        song_a_ = folder_ + "a.wav";
        song_b_ = folder_ + "b.wav";
        WriteWav(song_a_);
        WriteWav(song_b_);
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MusicOwner";
        RegisterClassA(&wc);
        owner_ = CreateWindowA("MusicOwner", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               wc.hInstance, nullptr);
        ASSERT_NE(owner_, nullptr);
        g_player = &player_;
        g_stop_notices = 0;
    }
    void TearDown() override {
        player_.Stop();
        g_player = nullptr;
        DestroyWindow(owner_);
        for (const char* name : {"a.wav", "b.wav", "junk.wav"}) DeleteFileA((folder_ + name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    void Start(bool preview = false) {
        player_.StartWhenDue(owner_, preview, false);
        clock_.AdvanceMilliseconds(3100);
        player_.StartWhenDue(owner_, preview, false);
    }
    // Dispatches messages until done() or the time is up.
    template <typename Done>
    void PumpUntil(Done done, DWORD milliseconds) {
        const DWORD start = GetTickCount();
        while (!done() && GetTickCount() - start < milliseconds) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(10);
        }
    }
    HWND MediaWindow() const { return FindWindowExA(owner_, nullptr, "MCIWndClass", nullptr); }
    int VisibleThreadWindows() const {
        int count = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountVisible, reinterpret_cast<LPARAM>(&count));
        return count;
    }

    std::string folder_, song_a_, song_b_;
    HWND owner_ = nullptr;
    testing::FakeClock clock_;
    RecordingMedia media_;
    MusicPlayer player_{&media_, clock_};
};

TEST_F(MusicWinTest, TwoSongsPlayInOrderAndWrapOnTheirStopNotifications) {
    player_.List().Append(song_a_);
    player_.List().Append(song_b_);
    Start();
    ASSERT_NE(player_.Window(), nullptr);
    PumpUntil([&] { return media_.opened.size() >= 5; }, 20'000);
    ASSERT_GE(media_.opened.size(), 5u) << "stop notices: " << g_stop_notices;
    EXPECT_EQ(std::vector<std::string>(media_.opened.begin(), media_.opened.begin() + 5),
              (std::vector<std::string>{song_a_, song_b_, song_a_, song_b_, song_a_}));
    EXPECT_EQ(player_.List().Count(), 2u);
    EXPECT_GE(g_stop_notices, 4);
}

TEST_F(MusicWinTest, MissingAndNonAudioSongsAreDroppedWithoutADialog) {
    const std::string junk = folder_ + "junk.wav";
    std::ofstream(junk) << "this is a text file, not a song\n";
    player_.List().Append(folder_ + "missing.wav");
    player_.List().Append(junk);
    player_.List().Append(song_a_);
    const int visible_before = VisibleThreadWindows();
    Start();
    PumpUntil([&] { return false; }, 300);
    EXPECT_EQ(player_.List().Entries(), std::vector<std::string>{song_a_});
    EXPECT_NE(player_.Window(), nullptr);
    EXPECT_EQ(VisibleThreadWindows(), visible_before);
}

TEST_F(MusicWinTest, AnEmptyListOrPreviewNeverMakesAMediaWindow) {
    Start();
    EXPECT_EQ(MediaWindow(), nullptr);

    MusicPlayer preview(&media_, clock_);
    g_player = &preview;
    preview.List().Append(song_a_);
    preview.StartWhenDue(owner_, true, false);
    clock_.AdvanceMilliseconds(3100);
    preview.StartWhenDue(owner_, true, false);
    PumpUntil([&] { return false; }, 200);
    EXPECT_EQ(MediaWindow(), nullptr);
    EXPECT_TRUE(media_.opened.empty());
    g_player = &player_;
}

TEST_F(MusicWinTest, StoppedMusicStaysOff) {
    player_.List().Append(song_a_);
    player_.List().Append(song_b_);
    Start();
    ASSERT_NE(MediaWindow(), nullptr);
    player_.Stop();
    PumpUntil([&] { return false; }, 1500);
    EXPECT_EQ(media_.opened.size(), 1u);
    EXPECT_EQ(MediaWindow(), nullptr);
}

}  // namespace
}  // namespace cs

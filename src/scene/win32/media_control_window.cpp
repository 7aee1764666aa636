#include "scene/win32/media_control_window.h"

#include <windows.h>
#include <vfw.h>

namespace cs {

static_assert(kMediaWindowStyles ==
              (WS_CHILD | MCIWNDF_NOMENU | MCIWNDF_NOTIFYANSI | MCIWNDF_NOTIFYMODE | MCIWNDF_NOTIFYERROR |
               MCIWNDF_NOERRORDLG));
static_assert(kNotifyModeMessage == MCIWNDM_NOTIFYMODE && kNotifyErrorMessage == MCIWNDM_NOTIFYERROR);
static_assert(kModeStopped == MCI_MODE_STOP && kDestroyMessage == WM_DESTROY);

WindowHandle MediaControlWindow::Create(WindowHandle owner, const std::string& path, std::uint32_t& error) {
    SetLastError(0);
    HWND window = MCIWndCreateA(owner, nullptr, kMediaWindowStyles, path.c_str());
    error = window ? 0 : GetLastError();
    // Some implementations make a child with an owner visible whatever the
    // styles say; the music has nothing to show over the cube.
    if (window) ShowWindow(window, SW_HIDE);
    return window;
}

std::intptr_t MediaControlWindow::Send(WindowHandle window, MediaCommand command) {
    switch (command) {
    case MediaCommand::Play: return SendMessageA(window, MCI_PLAY, 0, 0);
    case MediaCommand::Stop: return SendMessageA(window, MCI_STOP, 0, 0);
    case MediaCommand::SeekToStart: return SendMessageA(window, MCI_SEEK, 0, static_cast<LPARAM>(MCIWND_START));
    }
    return 0;
}

void MediaControlWindow::Close(WindowHandle window) { SendMessageA(window, WM_CLOSE, 0, 0); }

void MediaControlWindow::Adopt(WindowHandle window, WindowHandle owner) {
    SetParent(window, owner);
    SendMessageA(window, MCIWNDM_SETOWNER, reinterpret_cast<WPARAM>(owner), 0);
}

}  // namespace cs

#pragma once
// The media-control window of the video-for-Windows library behind the
// music player.
#include "scene/music_player.h"

namespace cs {

// A hidden child of the owner without menu that sends mode changes and
// errors to its owner and shows no error dialogs of its own.
inline constexpr unsigned long kMediaWindowStyles = 0x40005188;

class MediaControlWindow final : public MediaControl {
public:
    WindowHandle Create(WindowHandle owner, const std::string& path, std::uint32_t& error) override;
    std::intptr_t Send(WindowHandle window, MediaCommand command) override;
    void Close(WindowHandle window) override;
    void Adopt(WindowHandle window, WindowHandle owner) override;
};

}  // namespace cs

#pragma once
// Whether a frame would show anything that the window does not show
// already. A resting cube used to be drawn sixty times a second, identical
// every time; now only a frame that changes something is drawn and
// presented, and the window keeps its picture in between.
#include <cstdint>
#include <optional>

#include "scene/cube_animation.h"
#include "scene/date_time.h"
#include "scene/matrix4.h"

namespace cs {

// Everything that decides what a frame shows and can change during a run.
struct FrameContent {
    Matrix4 model;                        // the cube's place, turn, zoom, bounce and spin
    int shown_face = 0;                   // whose name the name overlay shows
    bool paused = false;                  // the pause notice
    std::uint64_t pictures_received = 0;  // pictures handed to faces so far
    std::uint64_t repaints = 0;           // times the window lost its picture
    std::optional<LocalDateTime> clock;   // the date and time overlay, when shown
    bool frame_rate_shown = false;        // its figure is counted in drawn frames

    bool operator==(const FrameContent&) const = default;
};

// The animation's part of a frame, after the frame's advance.
FrameContent AnimationContent(const CubeAnimation& animation, const Matrix4& view);

// True when the frame has to be drawn: nothing drawn yet, the frame-rate
// overlay on (it counts drawn frames, so every frame is a new one), or any
// other difference from the frame on the screen.
bool FrameChanges(const std::optional<FrameContent>& on_screen, const FrameContent& next);

}  // namespace cs

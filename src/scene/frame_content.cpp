#include "scene/frame_content.h"

namespace cs {

FrameContent AnimationContent(const CubeAnimation& animation, const Matrix4& view) {
    FrameContent content;
    content.model = animation.ModelMatrix(view);
    content.shown_face = animation.CurrentFace();
    content.paused = animation.Paused();
    return content;
}

bool FrameChanges(const std::optional<FrameContent>& on_screen, const FrameContent& next) {
    return !on_screen || next.frame_rate_shown || !(*on_screen == next);
}

}  // namespace cs

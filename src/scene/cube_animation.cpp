#include "scene/cube_animation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/random.h"

namespace cs {
namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr float kSlerpThreshold = 0.0001f;
constexpr unsigned kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

float Rand01() { return static_cast<float>(NextRandom()) / 32767.0f; }

// A new bounce speed between 5 and 10 units per second.
float BounceSpeed() { return (Rand01() + 1.0f) * 5.0f; }

Quaternion FromAngles(float about_z, float about_y, float about_x) {
    return (Quaternion::AboutZ(about_z) * Quaternion::AboutY(about_y) * Quaternion::AboutX(about_x)).Normalized();
}

const std::array<Quaternion, kCubeFaces>& FaceOrientations() {
    static const std::array<Quaternion, kCubeFaces> table = {
        FromAngles(0, 0, -kPi / 2),      // bottom
        FromAngles(kPi / 2, kPi, 0),     // back
        FromAngles(kPi / 2, kPi / 2, 0), // left
        FromAngles(kPi, 0, kPi / 2),     // top
        FromAngles(0, 0, 0),             // front
        FromAngles(0, -kPi / 2, 0),      // right
    };
    return table;
}

struct StyleRow {
    float depth;
    float zoom_acceleration;
    bool bouncing;
    float limit_x, limit_y;
};

StyleRow StyleFor(int style) {
    switch (style) {
    case 0: return {38, 0, false, 0, 0};
    case 1: return {33, 0, false, 0, 0};
    case 2: return {22, 0, false, 0, 0};
    case 3: return {13, 0, false, 0, 0};
    case 4: return {5, 0, false, 0, 0};
    case 5: return {-150, 30, false, 0, 0};
    case 6: return {0, 0, true, 25, 19};
    case 7: return {12, 0, true, 17, 12};
    // A stored style outside the list shows the default "Large cube".
    default: return {33, 0, false, 0, 0};
    }
}

// One axis of the spin's return to rest.
void ReturnAxis(float& offset, float& rate, float& change, float sign, float dt) {
    if (rate < 1.5f) rate = 1.5f;
    const bool positive_spin = !(sign < 0);
    if (offset == 0.0f) return;
    if (positive_spin ? offset > 0 : offset < 0) {
        offset += positive_spin ? -rate * dt : rate * dt;
    } else {
        offset = 0.0f;
        rate = 0.0f;
        change = 0.0f;
    }
}

}  // namespace

const Quaternion& FaceOrientation(int face) {
    return FaceOrientations()[static_cast<std::size_t>(std::clamp(face, 0, kCubeFaces - 1))];
}

void CubeAnimation::Configure(CubeSettings& settings) {
    if (settings.show_picture_length <= 0) settings.show_picture_length = 1;
    show_length_ = static_cast<float>(settings.show_picture_length);
    rotation_length_ = static_cast<float>(settings.rotation_length);
    zoom_speed_ = 0.0f;
    zoom_acceleration_ = 0.0f;
    const StyleRow row = StyleFor(settings.cube_style);
    z_ = row.depth;
    zoom_acceleration_ = row.zoom_acceleration;
    bouncing_ = row.bouncing;
    if (bouncing_) {
        limit_x_ = row.limit_x;
        limit_y_ = row.limit_y;
        velocity_x_ = BounceSpeed();
        velocity_y_ = BounceSpeed();
    }
}

void CubeAnimation::Advance(float dt, CubeAnimationHost& host, bool after_rest) {
    if (!started_ || paused_) return;
    if (!after_rest)
        host.SetLoaderPriority(dt >= 0.1f ? LoaderPriority::Lowest
                               : dt >= 0.04f ? LoaderPriority::BelowNormal
                                             : LoaderPriority::Normal);
    if (bouncing_) AdvanceBounce(dt);
    AdvanceZoom(dt);
    AdvanceSpin(dt);
    AdvanceFaceTimer(dt, host);
}

float CubeAnimation::SecondsAtRest() const {
    if (!started_) return 0.0f;
    if (paused_) return std::numeric_limits<float>::infinity();
    const bool spinning = spin_offset_.x != 0.0f || spin_offset_.y != 0.0f || spin_offset_.z != 0.0f;
    // Turning, a turn just ended (the faces move on next frame), bouncing.
    if (t_ > 0 || current_face_ != next_face_ || bouncing_ || spinning) return 0.0f;
    float rest = t_ + show_length_;
    if (zoom_acceleration_ != 0.0f) {
        const bool holding = z_ >= kZoomNear && zoom_acceleration_ > 0;
        if (!holding) return 0.0f;
        rest = std::min(rest, show_length_ - hold_time_);
    }
    return std::max(rest, 0.0f);
}

void CubeAnimation::AdvanceBounce(float dt) {
    bounce_x_ += velocity_x_ * dt;
    bounce_y_ += velocity_y_ * dt;
    if (bounce_x_ < -limit_x_) velocity_x_ = BounceSpeed();
    if (bounce_y_ < -limit_y_) velocity_y_ = BounceSpeed();
    if (bounce_x_ > limit_x_) velocity_x_ = -BounceSpeed();
    if (bounce_y_ > limit_y_) velocity_y_ = -BounceSpeed();
}

void CubeAnimation::AdvanceZoom(float dt) {
    z_ += zoom_speed_ * dt;
    zoom_speed_ = std::clamp(zoom_speed_ + zoom_acceleration_ * dt, -kZoomSpeedLimit, kZoomSpeedLimit);
    if (z_ < kZoomFar && zoom_acceleration_ < 0) zoom_acceleration_ = -zoom_acceleration_;
    // Held at the near end, the cube sits exactly at kZoomNear; counting
    // those frames too keeps the hold at S seconds rather than about 2 S.
    if (z_ >= kZoomNear && zoom_acceleration_ > 0) {
        if (hold_time_ >= show_length_) {
            zoom_acceleration_ = -zoom_acceleration_;
            hold_time_ = 0.0f;
        } else {
            hold_time_ += dt;
            z_ = kZoomNear;
            zoom_speed_ = 0.0f;
        }
    }
}

void CubeAnimation::AdvanceSpin(float dt) {
    spin_rate_.x -= spin_rate_change_.x * dt;
    spin_rate_.y -= spin_rate_change_.y * dt;
    spin_rate_.z -= spin_rate_change_.z * dt;
    ReturnAxis(spin_offset_.x, spin_rate_.x, spin_rate_change_.x, spin_sign_.x, dt);
    ReturnAxis(spin_offset_.y, spin_rate_.y, spin_rate_change_.y, spin_sign_.y, dt);
    ReturnAxis(spin_offset_.z, spin_rate_.z, spin_rate_change_.z, spin_sign_.z, dt);
}

void CubeAnimation::AdvanceFaceTimer(float dt, CubeAnimationHost& host) {
    t_ -= dt;
    if (t_ <= -show_length_ && host.PictureReady()) {
        while (next_face_ == current_face_ || next_face_ == previous_face_) next_face_ = NextRandom() % kCubeFaces;
        // The host sees the timer as it was, to tell how long the picture kept it waiting.
        host.TakePendingPicture(next_face_);
        t_ = rotation_length_;
        rotation_target_ = FaceOrientation(next_face_);
        rotation_start_ = orientation_;
    } else if (t_ > 0) {
        const float u = rotation_length_ > 0 ? (rotation_length_ - t_) / rotation_length_ : 1.0f;
        orientation_ = Slerp(rotation_start_, rotation_target_, u, kSlerpThreshold);
    } else {
        orientation_ = rotation_target_;
        if (current_face_ != next_face_) {
            previous_face_ = current_face_;
            current_face_ = next_face_;
            host.RequestNextPicture();
        }
    }
}

bool CubeAnimation::Key(unsigned key, CubeAnimationHost& host) {
    switch (key) {
    case kKeyLeft:
    case 'Z':
        // Back to the face shown before, without turning.
        t_ = 0.0f;
        orientation_ = rotation_target_ = FaceOrientation(previous_face_);
        current_face_ = next_face_ = previous_face_;
        host.RequestNextPicture();
        return true;
    case kKeyRight:
    case 'A':
        if (t_ > 0) {
            t_ = 0.0f;  // the turn completes on the next frame
        } else {
            t_ = -show_length_;  // switch as soon as the next picture is ready
            orientation_ = rotation_target_;
        }
        return true;
    case kKeyUp:
    case 'S':
        StartSpin();
        return true;
    case kKeyDown:
    case 'P':
        paused_ = !paused_;
        return true;
    default:
        return false;
    }
}

void CubeAnimation::StartSpin() {
    spin_offset_.x = Rand01() * 24.0f - 12.0f;
    spin_offset_.y = Rand01() * 2.0f + spin_offset_.x - 1.0f;
    spin_offset_.z = Rand01() * 2.0f + spin_offset_.x - 1.0f;
    spin_sign_ = spin_offset_;
    spin_rate_.x = (Rand01() + 1.0f) * 5.0f;
    spin_rate_.y = (Rand01() + 1.0f) * 5.0f;
    spin_rate_.z = (Rand01() + 1.0f) * 5.0f;
    spin_rate_change_ = {2.0f, 2.0f, 2.0f};
}

Matrix4 CubeAnimation::ModelMatrix(const Matrix4& view) const {
    return view * Matrix4::Translation(bounce_x_, bounce_y_, z_) * Matrix4::RotationX(spin_offset_.x) *
           Matrix4::RotationY(spin_offset_.y) * Matrix4::RotationZ(spin_offset_.z) * Matrix4::Rotation(orientation_);
}

float StaggeredTurnLead(int position, float show_length) {
    if (position <= 0 || !(show_length > 0.0f)) return 0.0f;
    constexpr double kGoldenFraction = 0.6180339887498949;
    const double fraction = position * kGoldenFraction - std::floor(position * kGoldenFraction);
    return static_cast<float>(fraction * show_length);
}

void CubeAnimation::LeadFirstTurn(float seconds) {
    if (seconds > 0.0f) t_ = -std::min(seconds, show_length_);
}

}  // namespace cs
